#pragma once
// The emulated virtual keyboard: a device model on the emulated HID bus with the
// identity the writer looks for (DEED:FEED, collection 0xFF00/0x01). Each
// 64-byte record (05, report id, buffer) is decoded into the report it carries
// - keyboard bitmap, mouse, consumer or system control - and the pressed state
// of every usage is kept, with a log of every report and its time.

#include <array>
#include <bitset>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/sim/SimHidDevice.h"

namespace platform::sim {

class SimVirtualKeyboard final : public SimHidDevice {
public:
    struct Report {
        int64_t us = 0;              // clock time of the write
        uint8_t id = 0;              // 1 keyboard, 2 mouse, 3 consumer, 4 system
        std::vector<uint8_t> bytes;  // the report's buffer
        // "kbd 04 e1" (pressed usages) or "kbd -", "mouse 01 00 00 00",
        // "cons 0192", "sys 0082"; "bad <bytes>" for a record that is not one.
        std::string Describe() const;
    };

    explicit SimVirtualKeyboard(Clock& clock = SteadyClock());

    HidAttributes Attributes() const override;
    std::vector<SimInterface> Interfaces() const override;
    bool OnOutput(size_t iface, const uint8_t* data, size_t len) override;

    std::vector<Report> Reports() const;
    void ClearReports();
    // Usages held now.
    std::vector<uint8_t> PressedKeys() const;
    uint8_t MouseButtons() const;
    uint16_t Consumer() const;
    uint16_t System() const;
    // True when any key, button, consumer or system usage is held.
    bool AnyPressed() const;
    // Records that did not decode (wrong size, tag or id).
    int BadRecords() const;
    // Waits (real time) until at least n reports were received.
    bool WaitForReports(size_t n, int64_t timeoutMs) const;
    size_t ReportCount() const;

private:
    Clock& clock_;
    mutable std::mutex mutex_;
    mutable std::condition_variable received_;
    std::bitset<256> keys_;
    std::array<uint8_t, 4> mouse_{};
    uint16_t consumer_ = 0;
    uint16_t system_ = 0;
    std::vector<Report> reports_;
    int bad_ = 0;
};

}  // namespace platform::sim
