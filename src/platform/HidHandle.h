#pragma once
// One opened HID interface. Owned through std::unique_ptr; destroying it closes
// the interface (pending transfers are cancelled first).

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/HidAsyncIo.h"
#include "platform/HidTypes.h"

namespace platform {

class HidHandle {
public:
    virtual ~HidHandle() = default;

    // A small number that identifies the handle in log lines.
    virtual uintptr_t Id() const = 0;

    virtual bool GetAttributes(HidAttributes* out) = 0;
    virtual bool GetCaps(HidCaps* out) = 0;

    // Feature reports: buffer[0] is the report id; len counts it.
    virtual bool GetFeature(uint8_t* buffer, size_t len) = 0;
    virtual bool SetFeature(const uint8_t* buffer, size_t len) = 0;

    // Synchronous transfers (handle opened without the overlapped flag; they also
    // work on an overlapped handle by starting and waiting). False on failure.
    virtual bool Write(const uint8_t* data, size_t len, size_t* written) = 0;
    virtual bool Read(uint8_t* buffer, size_t len, size_t* read) = 0;

    // Overlapped transfers. Null with *error set when the transfer could not be
    // started; otherwise a transfer that may already be complete. `data` must
    // stay valid until the transfer completed or was cancelled.
    virtual std::unique_ptr<HidAsyncIo> StartWrite(const uint8_t* data, size_t len, uint32_t* error) = 0;
    virtual std::unique_ptr<HidAsyncIo> StartRead(uint8_t* buffer, size_t len, uint32_t* error) = 0;

    HidHandle() = default;
    HidHandle(const HidHandle&) = delete;
    HidHandle& operator=(const HidHandle&) = delete;
};

}  // namespace platform
