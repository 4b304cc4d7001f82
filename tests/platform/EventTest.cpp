#include "platform/Event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/Clock.h"

using platform::Event;

TEST(Event, ManualResetStaysSetAutoResetIsTakenOnce) {
    Event manual(true), autoReset(false);
    manual.Set();
    autoReset.Set();
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(autoReset.Wait(0));
    EXPECT_FALSE(autoReset.Wait(0));
    manual.Reset();
    EXPECT_FALSE(manual.Wait(0));
}

TEST(Event, WaitAnyReturnsLowestSetIndexOrTimeout) {
    Event a, b, c;
    EXPECT_EQ(Event::WaitAny({&a, &b, &c}, 0), -1);
    EXPECT_EQ(Event::WaitAny({&a, &b, &c}, 5), -1);
    c.Set();
    b.Set();
    EXPECT_EQ(Event::WaitAny({&a, nullptr, &b, &c}, 0), 2);
}

TEST(Event, SetFromAnotherThreadWakesWaiter) {
    Event stop(true), data(false);
    std::thread t([&] { data.Set(); });
    EXPECT_EQ(Event::WaitAny({&stop, &data}, Event::kInfinite), 1);
    t.join();
}

TEST(Event, AutoResetWakesExactlyOneOfTwoWaiters) {
    Event e(false);
    std::atomic<int> woke{0};
    auto waiter = [&] {
        if (e.Wait(200)) ++woke;
    };
    std::thread t1(waiter), t2(waiter);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    e.Set();
    t1.join();
    t2.join();
    EXPECT_EQ(woke.load(), 1);
}

TEST(Event, WaitAnyUntilTakesASetEventAndReturnsAtAPastDeadline) {
    Event a, b;
    const auto past = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    EXPECT_EQ(Event::WaitAnyUntil({&a, &b}, past), -1);
    b.Set();
    EXPECT_EQ(Event::WaitAnyUntil({&a, &b}, past), 1);
}

// Timed waits sleep most of the way and stay awake for the end: whichever
// part ends them, they never end before their deadline, and an event ends
// them at once.
TEST(SteadyClock, TimedWaitsNeverEndEarly) {
    platform::Clock& clock = platform::SteadyClock();
    Event never;
    for (int64_t ms : {1, 2, 5}) {
        const int64_t t0 = clock.NowUs();
        EXPECT_EQ(clock.WaitAny({&never}, ms), -1);
        EXPECT_GE(clock.NowUs() - t0, ms * 1000) << ms;
        const int64_t t1 = clock.NowUs();
        clock.Sleep(ms);
        EXPECT_GE(clock.NowUs() - t1, ms * 1000) << ms;
    }
    Event set;
    set.Set();
    EXPECT_EQ(clock.WaitAny({&never, &set}, 60000), 1);
}
