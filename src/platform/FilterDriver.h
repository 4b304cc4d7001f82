#pragma once
// The seam to the key filter driver: a device file on which control requests are
// sent, one of which (the key request) the driver keeps pending until a key
// event is there. One backend is current per process; the sim backend emulates
// the driver in process, the linux backend intercepts an evdev keyboard.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class Event;

// Open flags, with the values the device code combines.
inline constexpr uint32_t kFileShareRead = 0x1u;
inline constexpr uint32_t kFileShareWrite = 0x2u;
inline constexpr uint32_t kOpenExisting = 3;
inline constexpr uint32_t kAttributeNormal = 0x80u;
inline constexpr uint32_t kFlagOverlapped = 0x40000000u;
inline constexpr uint32_t kGenericRead = 0x80000000u;
inline constexpr uint32_t kGenericWrite = 0x40000000u;

// Access bits of a control code (bits 14-15): what the handle must allow.
inline constexpr uint32_t ControlAccess(uint32_t code) { return (code >> 14) & 3u; }
inline constexpr uint32_t kControlAccessRead = 1u;
inline constexpr uint32_t kControlAccessWrite = 2u;

enum class FilterResult {
    kCompleted,              // done at once, output written
    kCompletedAfterPending,  // the driver kept it pending; it has completed since
    kRefused,                // the driver (or the handle) refused it
    kCancelled,              // pending, then cancelled; no output
};

// One open handle on the driver's device. Destroying it cancels its pending
// requests first.
class FilterChannel {
public:
    virtual ~FilterChannel() = default;

    // Sends a control request. When the driver keeps it pending, waits until it
    // completes or `cancel` (may be null) is signalled, and then cancels it. An
    // event that completes the request while the cancel arrives is never lost:
    // completion wins. Does not reset `cancel`.
    virtual FilterResult Control(uint32_t code, const uint8_t* in, size_t inLen, uint8_t* out, size_t outLen,
                                 Event* cancel) = 0;

    // Cancels every request pending on this handle, from any thread.
    virtual void CancelAll() = 0;

    FilterChannel() = default;
    FilterChannel(const FilterChannel&) = delete;
    FilterChannel& operator=(const FilterChannel&) = delete;
};

class FilterBackend {
public:
    virtual ~FilterBackend() = default;
    // Null (and *error, when given) when the device cannot be opened.
    virtual std::unique_ptr<FilterChannel> Open(const std::string& path, uint32_t access, uint32_t share,
                                                uint32_t disposition, uint32_t flags, uint32_t* error) = 0;

    FilterBackend() = default;
    FilterBackend(const FilterBackend&) = delete;
    FilterBackend& operator=(const FilterBackend&) = delete;
};

// The current backend; until one is set, one without a driver (every open fails).
FilterBackend& CurrentFilterBackend();
// Makes `backend` current (null: back to none); returns the previous one.
FilterBackend* SetCurrentFilterBackend(FilterBackend* backend);

}  // namespace platform
