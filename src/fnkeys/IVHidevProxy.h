#pragma once

#include <cstddef>
#include <cstdint>

// Where a VirtualReport is sent.
class IVHidevProxy {
public:
    virtual ~IVHidevProxy() = default;
    virtual bool Write(const uint8_t* data, size_t length, uint8_t reportId) = 0;
};
