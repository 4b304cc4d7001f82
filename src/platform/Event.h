#pragma once
// A waitable event in the style of the kernel objects the device and thread code
// is written against: manual- or auto-reset, waited on alone or as part of a set
// with a time-out. Plain standard C++, so it works the same on every backend.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <vector>

namespace platform {

class Event {
public:
    // Infinite wait, for the timeout arguments below.
    static constexpr int64_t kInfinite = -1;

    explicit Event(bool manualReset = true, bool initiallySet = false);
    ~Event();
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;

    // Waits until the event is set (consuming it when auto-reset) or the time-out
    // passes. timeoutMs < 0 waits forever; 0 only tests. True when set.
    bool Wait(int64_t timeoutMs = kInfinite);

    // Waits for the first of several events. Returns the index of the event that
    // was taken (the lowest index when several are set), or -1 on time-out.
    // Null entries are skipped.
    static int WaitAny(const std::vector<Event*>& events, int64_t timeoutMs = kInfinite);
    static int WaitAny(std::initializer_list<Event*> events, int64_t timeoutMs = kInfinite) {
        return WaitAny(std::vector<Event*>(events), timeoutMs);
    }
    // The same up to an absolute deadline of the steady clock.
    static int WaitAnyUntil(const std::vector<Event*>& events, std::chrono::steady_clock::time_point deadline);

private:
    struct Waiter {
        std::mutex mutex;
        std::condition_variable cv;
        bool woken = false;
    };

    static int WaitAnyFor(const std::vector<Event*>& events, bool limited,
                          std::chrono::steady_clock::time_point deadline);
    bool TryTake();
    void AddWaiter(Waiter* w);
    void RemoveWaiter(Waiter* w);

    const bool manualReset_;
    mutable std::mutex mutex_;
    bool set_;
    std::vector<Waiter*> waiters_;
};

}  // namespace platform
