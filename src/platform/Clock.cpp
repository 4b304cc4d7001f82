#include "platform/Clock.h"

#include <chrono>
#include <thread>

#include "platform/Event.h"

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
        // A sleeping thread may wake a millisecond or more late, which a macro step
        // of a few milliseconds cannot afford. Sleep until shortly before the
        // deadline, then stay awake (yielding) for the rest of it, so that timed
        // waits end on time while idle waits (no time limit) still cost nothing.
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + milliseconds(timeoutMs);
        const int64_t sleepMs = timeoutMs - kAwakeMs;
        if (sleepMs > 0) {
            if (events.empty()) {
                std::this_thread::sleep_for(milliseconds(sleepMs));
            } else {
                const int taken = Event::WaitAny(events, sleepMs);
                if (taken >= 0) return taken;
            }
        }
        while (steady_clock::now() < deadline) {
            if (!events.empty()) {
                const int taken = Event::WaitAny(events, 0);
                if (taken >= 0) return taken;
            }
            std::this_thread::yield();
        }
        return -1;
    }

private:
    // How long before a deadline a timed wait stops sleeping.
    static constexpr int64_t kAwakeMs = 1;
};

}  // namespace

Clock& SteadyClock() {
    static Steady clock;
    return clock;
}

}  // namespace platform
