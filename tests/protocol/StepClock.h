#pragma once
// A clock for single-threaded tests: time stands still until the test moves it
// or the code under test sleeps, and every sleep is remembered.

#include <vector>

#include "platform/Clock.h"
#include "platform/Event.h"

class StepClock final : public platform::Clock {
public:
    explicit StepClock(int64_t startMs = 1000) : now_(startMs) {}
    int64_t NowMs() override { return now_; }
    int64_t NowUs() override { return now_ * 1000; }
    int WaitAny(const std::vector<platform::Event*>& events, int64_t timeoutMs) override {
        for (size_t i = 0; i < events.size(); ++i)
            if (events[i] && events[i]->Wait(0)) return static_cast<int>(i);
        if (timeoutMs > 0) {
            sleeps.push_back(timeoutMs);
            now_ += timeoutMs;
        }
        return -1;
    }
    void Advance(int64_t ms) { now_ += ms; }

    std::vector<int64_t> sleeps;

private:
    int64_t now_;
};
