#include "platform/sim/SimClock.h"

#include <algorithm>

namespace platform::sim {

int64_t SimClock::NowMs() { return NowUs() / 1000; }

int64_t SimClock::NowUs() {
    std::lock_guard lock(mutex_);
    return nowUs_;
}

int SimClock::Threads() const {
    std::lock_guard lock(mutex_);
    return actors_;
}

void SimClock::ThreadStarting() {
    std::lock_guard lock(mutex_);
    ++actors_;
}

void SimClock::ThreadEnded() {
    std::lock_guard lock(mutex_);
    --actors_;
    changed_.notify_all();
}

int SimClock::WaitAny(const std::vector<Event*>& events, int64_t timeoutMs) {
    if (timeoutMs == 0) return Event::WaitAny(events, 0);

    Sleeper sleeper;
    {
        std::lock_guard lock(mutex_);
        // No limit: a deadline nobody reaches, so the sleeper still counts as blocked.
        sleeper.deadlineUs = timeoutMs < 0 ? INT64_MAX : nowUs_ + timeoutMs * 1000;
        sleeper.events = &events;
        sleepers_.push_back(&sleeper);
        ++blocked_;
        changed_.notify_all();
    }
    std::vector<Event*> all(events);
    all.push_back(&sleeper.timer);
    int index = Event::WaitAny(all, Event::kInfinite);
    {
        std::lock_guard lock(mutex_);
        sleepers_.remove(&sleeper);
        // A sleeper woken by the clock was already counted as running again.
        if (!sleeper.fired) --blocked_;
        changed_.notify_all();
    }
    if (index == static_cast<int>(events.size())) {
        // Woken by time; an event set at the very same moment still wins.
        int late = Event::WaitAny(events, 0);
        return late;
    }
    return index;
}

bool SimClock::IdleLocked() const {
    if (blocked_ < actors_) return false;
    for (const Sleeper* s : sleepers_) {
        if (s->fired) continue;
        for (const Event* e : *s->events)
            if (e && e->IsSet()) return false;  // about to wake
    }
    return true;
}

void SimClock::WaitIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return IdleLocked(); });
}

void SimClock::AdvanceTo(int64_t tMs) {
    const int64_t targetUs = tMs * 1000;
    for (;;) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return IdleLocked(); });
        Sleeper* next = nullptr;
        for (Sleeper* s : sleepers_)
            if (!s->fired && s->deadlineUs <= targetUs && (!next || s->deadlineUs < next->deadlineUs)) next = s;
        if (!next) {
            nowUs_ = std::max(nowUs_, targetUs);
            return;
        }
        nowUs_ = std::max(nowUs_, next->deadlineUs);
        next->fired = true;
        --blocked_;
        next->timer.Set();
    }
}

}  // namespace platform::sim
