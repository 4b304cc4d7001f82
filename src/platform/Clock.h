#pragma once
// Time as the worker threads and the key-action service see it: a millisecond
// tick and an interruptible wait. Production code uses SteadyClock(); tests hand
// in an emulated clock so that delays are exact and runs are repeatable.

#include <cstdint>
#include <vector>

namespace platform {

class Event;

class Clock {
public:
    virtual ~Clock() = default;

    // Milliseconds since an arbitrary start.
    virtual int64_t NowMs() = 0;
    // Microseconds on the same scale, for logs and measurements.
    virtual int64_t NowUs() = 0;

    // As Event::WaitAny: the index of the event taken, or -1 when timeoutMs
    // passed (timeoutMs < 0: no limit, 0: only test).
    virtual int WaitAny(const std::vector<Event*>& events, int64_t timeoutMs) = 0;

    // A thread that waits through this clock starts or ends. Start is announced
    // by the creator before the thread exists, end by the thread itself as its
    // last step, so that an emulated clock always knows who may still move.
    virtual void ThreadStarting() {}
    virtual void ThreadEnded() {}

    bool Wait(Event& event, int64_t timeoutMs) { return WaitAny({&event}, timeoutMs) == 0; }
    // Plain sleep.
    void Sleep(int64_t ms) { WaitAny({}, ms); }

    Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;
};

// The system's monotonic clock.
Clock& SteadyClock();

}  // namespace platform
