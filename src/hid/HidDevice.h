#pragma once
// One opened HID interface of the keyboard: open by path or by ids (through
// discovery), close, 8-byte feature reports, 8- and 64-byte output writes, and
// input reads with a time-out. Every operation holds a system-wide named lock
// of its kind ("HidDevice::Open", "::Close", "::Read", "::Write",
// "::GetFeature", "::SetFeature") for its whole duration, so operations of one
// kind never interleave across objects, threads and processes. Failures are
// results (0 / false) and log lines, never exceptions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/HidHandle.h"
#include "platform/HidTypes.h"

namespace platform {
class Event;
class HidBackend;
}  // namespace platform

namespace hid {

class HidDevice {
public:
    // The access mode the keyboard code uses: read and write, sharing both.
    static constexpr uint32_t kDefaultAccess = 0xC0000003u;
    static constexpr int64_t kWriteTimeoutMs = 3000;

    HidDevice() = default;
    // Works on `backend` (null: the process's current one, as the default).
    explicit HidDevice(platform::HidBackend* backend) : backend_(backend) {}
    ~HidDevice() = default;
    HidDevice(HidDevice&& other) noexcept;
    HidDevice& operator=(HidDevice&&) = delete;
    HidDevice(const HidDevice&) = delete;
    HidDevice& operator=(const HidDevice&) = delete;

    // Set by the owner before the first Open.
    bool overlapped = false;       // transfers wait with time-outs
    bool separateHandles = false;  // one read-access and one write-access handle

    // Opens a path. mode: access bits (0x80000000 read, 0x40000000 write) and
    // share bits (1 read, 2 write).
    bool Open(const std::string& path, uint32_t mode);
    // Opens the first interface that discovery lists for the request; *version
    // receives that interface's HID version whenever one matched.
    bool Open(int32_t vendor, int32_t productCount, const int32_t* products, int32_t interfaceNumber,
              int32_t collectionNumber, uint16_t* version, uint32_t mode);
    // Shorthand: one product (0 = any), mode kDefaultAccess.
    bool Open(int32_t product, int32_t collectionNumber, uint16_t* version, int32_t vendor, int32_t interfaceNumber);
    void Close();
    bool IsOpen() const;

    // Output reports. 8-byte form: buffer[0] is the report id, written as is.
    size_t Write(const uint8_t (&report)[8]);
    // 64-byte form: report id 0 is put in front and 65 bytes are written.
    size_t Write(const uint8_t (&payload)[64]);
    size_t Write(const std::array<uint8_t, 8>& report) { return WriteRaw(report.data(), 8); }
    size_t Write(const std::array<uint8_t, 64>& payload);
    // Any length (the forms above use it); clamped to the output report length.
    size_t WriteRaw(const uint8_t* data, size_t len);

    // Input reports. abort (optional) ends a pending overlapped read early.
    size_t Read(uint8_t* buffer, size_t len, int64_t timeoutMs, platform::Event* abort = nullptr);
    // Reads len+1 bytes with byte 0 = reportId; copies bytes 1..len to out.
    // Returns the bytes read including the id byte.
    size_t Read(uint8_t reportId, uint8_t* out, size_t len, int64_t timeoutMs);

    // Feature reports: buffer[0] selects the report.
    bool GetFeature(uint8_t (&buffer)[8]);
    bool SetFeature(const uint8_t (&buffer)[8]);
    bool GetFeature(std::array<uint8_t, 8>& buffer);
    bool SetFeature(const std::array<uint8_t, 8>& buffer);
    bool GetFeature(uint8_t reportId, uint8_t* out, size_t len);
    bool SetFeature(uint8_t reportId, const uint8_t* data, size_t len);

    // Capabilities of the last successful open (zero before it, and when they
    // could not be read).
    platform::HidCaps Caps() const;

private:
    // The handles a transfer works on. Transfers keep their own reference, so
    // a Close from another thread (a device notice on the UI thread while the
    // worker sends) makes them fail instead of pulling the handle from under
    // them: the operation locks are per kind and do not keep Close out.
    struct Slots {
        std::shared_ptr<platform::HidHandle> handle;
        std::shared_ptr<platform::HidHandle> writeHandle;
        platform::HidCaps caps{};
    };
    platform::HidBackend& Backend() const;
    Slots Snapshot() const;
    bool OpenSlot(bool writeSlot, const std::string& path, uint32_t access, uint32_t share);
    size_t WriteLocked(const uint8_t* data, size_t len);
    size_t ReadLocked(uint8_t* buffer, size_t len, int64_t timeoutMs, platform::Event* abort);
    bool FeatureLocked(bool get, uint8_t* buffer, size_t len);

    platform::HidBackend* backend_ = nullptr;
    mutable std::mutex slotMutex_;
    platform::HidCaps caps_{};
    std::shared_ptr<platform::HidHandle> writeHandle_;  // separate mode only
    std::shared_ptr<platform::HidHandle> handle_;       // shared handle, or the read handle
};

}  // namespace hid
