#include "platform/Event.h"

#include <algorithm>

namespace platform {

Event::Event(bool manualReset, bool initiallySet) : manualReset_(manualReset), set_(initiallySet) {}

Event::~Event() = default;

void Event::Set() {
    std::vector<Waiter*> toWake;
    {
        std::lock_guard lock(mutex_);
        set_ = true;
        toWake = waiters_;
        // Waking every waiter is fine for auto-reset too: each one re-checks with
        // TryTake, and only one of them gets the event.
        for (Waiter* w : toWake) {
            std::lock_guard wl(w->mutex);
            w->woken = true;
            w->cv.notify_one();
        }
    }
}

void Event::Reset() {
    std::lock_guard lock(mutex_);
    set_ = false;
}

bool Event::IsSet() const {
    std::lock_guard lock(mutex_);
    return set_;
}

bool Event::TryTake() {
    std::lock_guard lock(mutex_);
    if (!set_) return false;
    if (!manualReset_) set_ = false;
    return true;
}

void Event::AddWaiter(Waiter* w) {
    std::lock_guard lock(mutex_);
    waiters_.push_back(w);
}

void Event::RemoveWaiter(Waiter* w) {
    std::lock_guard lock(mutex_);
    waiters_.erase(std::remove(waiters_.begin(), waiters_.end(), w), waiters_.end());
}

bool Event::Wait(int64_t timeoutMs) { return WaitAny({this}, timeoutMs) == 0; }

int Event::WaitAny(const std::vector<Event*>& events, int64_t timeoutMs) {
    if (timeoutMs == 0) return WaitAnyFor(events, true, std::chrono::steady_clock::time_point::min());
    return WaitAnyFor(events, timeoutMs > 0, std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs));
}

int Event::WaitAnyUntil(const std::vector<Event*>& events, std::chrono::steady_clock::time_point deadline) {
    return WaitAnyFor(events, true, deadline);
}

int Event::WaitAnyFor(const std::vector<Event*>& events, bool limited, std::chrono::steady_clock::time_point deadline) {
    auto takeFirst = [&]() -> int {
        for (size_t i = 0; i < events.size(); ++i)
            if (events[i] && events[i]->TryTake()) return static_cast<int>(i);
        return -1;
    };

    int taken = takeFirst();
    if (taken >= 0 || (limited && std::chrono::steady_clock::now() >= deadline)) return taken;

    Waiter waiter;
    for (Event* e : events)
        if (e) e->AddWaiter(&waiter);

    for (;;) {
        // Registered before this check, so a Set between check and wait still wakes us.
        taken = takeFirst();
        if (taken >= 0) break;
        std::unique_lock wl(waiter.mutex);
        if (!waiter.woken) {
            if (!limited) {
                waiter.cv.wait(wl, [&] { return waiter.woken; });
            } else if (!waiter.cv.wait_until(wl, deadline, [&] { return waiter.woken; })) {
                wl.unlock();
                taken = takeFirst();
                break;
            }
        }
        waiter.woken = false;
    }

    for (Event* e : events)
        if (e) e->RemoveWaiter(&waiter);
    return taken;
}

}  // namespace platform
