#pragma once
// An emulated clock for repeatable runs. Time only moves when the test says so
// (AdvanceTo/Advance), and it moves one due wait at a time: before each step the
// clock waits until every thread that waits through it is blocked in such a
// wait, so a script of timed events sees exactly the same interleaving on every
// run, whatever the machine's load.
//
// Only threads announced with ThreadStarting count; the test's own thread never
// does, and it must not wait through this clock with a time-out (it would wait
// for itself). A waiter whose event is set counts as running until it has left
// its wait; that is exact for manual-reset events. An auto-reset event is taken
// inside the wait, so there is a short moment where its waiter looks blocked:
// scripts should wake threads through manual-reset events.

#include <condition_variable>
#include <cstdint>
#include <list>
#include <mutex>
#include <vector>

#include "platform/Clock.h"
#include "platform/Event.h"

namespace platform::sim {

class SimClock final : public Clock {
public:
    explicit SimClock(int64_t startMs = 0) : nowUs_(startMs * 1000) {}

    int64_t NowMs() override;
    int64_t NowUs() override;
    int WaitAny(const std::vector<Event*>& events, int64_t timeoutMs) override;
    void ThreadStarting() override;
    void ThreadEnded() override;

    // Runs time forward to t, waking each due wait in deadline order.
    void AdvanceTo(int64_t tMs);
    void Advance(int64_t ms) { AdvanceTo(NowMs() + ms); }
    // Blocks until every announced thread is blocked in a wait or has ended.
    void WaitIdle();

    int Threads() const;

private:
    struct Sleeper {
        int64_t deadlineUs;
        Event timer{true, false};
        bool fired = false;
        const std::vector<Event*>* events = nullptr;
    };

    bool IdleLocked() const;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    int64_t nowUs_;
    int actors_ = 0;
    int blocked_ = 0;
    std::list<Sleeper*> sleepers_;
};

}  // namespace platform::sim
