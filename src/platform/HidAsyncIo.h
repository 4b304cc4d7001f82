#pragma once
// One overlapped transfer started on a HidHandle. It completes by itself, can be
// waited on with a time-out (reads also against an abort event), and can be
// cancelled; after Cancel returns the transfer no longer touches its buffer.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

class Event;

class HidAsyncIo {
public:
    enum WaitResult { kCompleted = 0, kAborted = 1, kTimedOut = -1 };

    virtual ~HidAsyncIo() = default;

    // True when the transfer had completed by the time it was started (the
    // "completed at once" case); false when it was pending.
    virtual bool CompletedAtOnce() const = 0;

    // Waits for completion or for `abort` (may be null), whichever comes first,
    // at most timeoutMs (< 0: no limit). Does not reset `abort`.
    virtual WaitResult Wait(int64_t timeoutMs, Event* abort = nullptr) = 0;

    // Waits for completion without limit, then gives the outcome: true and the
    // byte count on success, false (and *error) on failure or cancellation.
    virtual bool Result(size_t* bytes, uint32_t* error = nullptr) = 0;

    // Cancels the transfer if it is still pending and waits until the
    // cancellation took effect. Harmless after completion.
    virtual void Cancel() = 0;

    HidAsyncIo() = default;
    HidAsyncIo(const HidAsyncIo&) = delete;
    HidAsyncIo& operator=(const HidAsyncIo&) = delete;
};

// The synchronous form of a transfer: waits for `io` (null when it could not be
// started) and gives its byte count in *bytes (0 on failure; bytes may be null).
inline bool FinishTransfer(const std::unique_ptr<HidAsyncIo>& io, size_t* bytes) {
    uint32_t error = 0;
    size_t n = 0;
    const bool ok = io && io->Result(&n, &error);
    if (bytes) *bytes = ok ? n : 0;
    return ok;
}

}  // namespace platform
