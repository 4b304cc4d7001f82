#pragma once
// One overlapped transfer started on a HidHandle. It completes by itself, can be
// waited on with a time-out (reads also against an abort event), and can be
// cancelled; after Cancel returns the transfer no longer touches its buffer.

#include <cstddef>
#include <cstdint>

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

}  // namespace platform
