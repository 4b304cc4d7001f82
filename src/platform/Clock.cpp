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
        if (events.empty()) {
            if (timeoutMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(timeoutMs));
            return -1;
        }
        return Event::WaitAny(events, timeoutMs);
    }
};

}  // namespace

Clock& SteadyClock() {
    static Steady clock;
    return clock;
}

}  // namespace platform
