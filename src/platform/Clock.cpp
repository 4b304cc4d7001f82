#include "platform/Clock.h"

#include <chrono>
#include <thread>

#include "platform/Event.h"
#include "platform/TimerSlack.h"

namespace platform {
namespace {

class Steady final : public Clock {
public:
    int64_t NowMs() override { return NowUs() / 1000; }
    int64_t NowUs() override {
        using namespace std::chrono;
        return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    }
    int WaitAny(const std::vector<Event*>& events, int64_t timeoutMs) override {
        if (timeoutMs <= 0) return events.empty() ? -1 : Event::WaitAny(events, timeoutMs);
        // Macro steps of a millisecond must end on time without keeping a core
        // awake: sleep to an absolute deadline with the timer slack lowered, and
        // stay awake only for the last stretch, where a late wake-up would show.
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + milliseconds(timeoutMs);
        thread_local const bool prepared = (LowerTimerSlackOfThisThread(), true);
        (void)prepared;
        const auto wakeAt = deadline - kAwake;
        if (events.empty()) {
            std::this_thread::sleep_until(wakeAt);
        } else {
            const int taken = Event::WaitAnyUntil(events, wakeAt);
            if (taken >= 0) return taken;
        }
        while (steady_clock::now() < deadline) {
            if (!events.empty()) {
                const int taken = Event::WaitAny(events, 0);
                if (taken >= 0) return taken;
            }
            std::this_thread::yield();
        }
        return events.empty() ? -1 : Event::WaitAny(events, 0);
    }

private:
    // How long before a deadline a timed wait stops sleeping. Measured against
    // sleeping all the way: the same worst case, a third of the typical error,
    // for a few percent of a core while 1 ms steps play.
    static constexpr std::chrono::microseconds kAwake{100};
};

}  // namespace

Clock& SteadyClock() {
    static Steady clock;
    return clock;
}

}  // namespace platform
