#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "fnkeys/IVHidevProxy.h"

// One input report of the virtual keyboard: its id, the bytes last sent, and
// where it is written.
template <size_t N>
struct VirtualReport {
    uint8_t reportId;
    std::array<uint8_t, N> buffer{};
    IVHidevProxy* proxy = nullptr;

    explicit VirtualReport(uint8_t id, IVHidevProxy* to = nullptr) : reportId(id), proxy(to) {}
    bool Send() const { return proxy && proxy->Write(buffer.data(), N, reportId); }
    void Clear() { buffer.fill(0); }
};
