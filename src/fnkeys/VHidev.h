#pragma once
// The writer for the virtual HID keyboard (vendor 0xDEED, product 0xFEED, control
// collection 0xFF00/0x01). It keeps the four input reports (keyboard bitmap,
// mouse, consumer, system control), changes one usage at a time and sends the
// whole report after each change as one 64-byte record: 05, report id, buffer.
//
// Several threads change the reports (the filter reader for remapped keys, the
// macro thread for playback, the UI thread for ReleaseAll). A change and the
// write that sends it happen under one state lock, so the record another
// thread sends never carries half of someone else's change, and records leave
// in the order their changes were made.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "fnkeys/IVHidevProxy.h"
#include "fnkeys/VirtualReport.h"
#include "platform/HidHandle.h"

namespace platform {
class HidBackend;
}

class VHidev : public IVHidevProxy {
public:
    static constexpr uint16_t kVendorId = 0xDEED;
    static constexpr uint16_t kProductId = 0xFEED;
    static constexpr uint16_t kUsagePage = 0xFF00;
    static constexpr uint16_t kUsage = 0x01;
    static constexpr size_t kRecordSize = 64;

    static constexpr uint8_t kKeyboardId = 1;
    static constexpr uint8_t kMouseId = 2;
    static constexpr uint8_t kConsumerId = 3;
    static constexpr uint8_t kSystemId = 4;

    // The process's writer, created on first use and never freed.
    static VHidev& Instance();

    // Null backend: the process's current HID backend at each open.
    explicit VHidev(platform::HidBackend* backend = nullptr);
    ~VHidev() override;
    VHidev(const VHidev&) = delete;
    VHidev& operator=(const VHidev&) = delete;

    // 64-byte record: 05, report id, data (cut to fit). Id 0 puts the data at
    // byte 1. False when no device is open or the write failed.
    bool Write(const uint8_t* data, size_t length, uint8_t reportId) override;

    // One usage of the given page pressed or released, then its report sent.
    // False when the usage has no report or the write failed.
    bool InjectKey(uint16_t usagePage, uint16_t usage, bool pressed);
    // Playback: bit (usage) of the key bitmap set or cleared, then the
    // keyboard report sent.
    bool SetKeyboardUsage(uint8_t usage, bool pressed);
    // All four reports zeroed and sent: keyboard, mouse, consumer, system.
    void ReleaseAll();

    // Finds the device among the present HID interfaces; keeps the last match.
    bool OpenVirtualKeyboard();
    void CloseDevice();
    bool IsOpen() const;

    // Copies of the report buffers as last changed.
    std::array<uint8_t, 33> KeyboardBuffer() const;
    std::array<uint8_t, 4> MouseBuffer() const;
    std::array<uint8_t, 2> ConsumerBuffer() const;
    std::array<uint8_t, 2> SystemBuffer() const;

    // Diagnostics go to standard output unless a sink is set.
    void SetLogSink(std::function<void(const std::string&)> sink);

private:
    void Log(const char* format, ...);
    bool SendLocked(uint8_t id);

    platform::HidBackend* backend_;
    mutable std::mutex stateLock_;  // report buffers: change + send
    mutable std::mutex writeLock_;  // the device and its writes
    std::unique_ptr<platform::HidHandle> device_;
    VirtualReport<33> keyboard_{kKeyboardId, this};
    VirtualReport<4> mouse_{kMouseId, this};
    VirtualReport<2> consumer_{kConsumerId, this};
    VirtualReport<2> system_{kSystemId, this};
    std::mutex logLock_;
    std::function<void(const std::string&)> logSink_;
};
