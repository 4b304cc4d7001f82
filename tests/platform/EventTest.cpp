#include "platform/Event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

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
