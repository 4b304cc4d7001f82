#include "hid/RunableThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "hid/ThreadRunable.h"
#include "platform/sim/SimClock.h"

namespace {

// Records at which emulated time each run happened, and with what.
struct Target {
    platform::Clock* clock = nullptr;
    std::mutex mutex;
    std::vector<std::pair<int64_t, int32_t>> runs;  // (time, value1)
    std::vector<uint8_t> lastData;
    std::thread::id runThread;
    platform::Event* gate = nullptr;  // when set, runs wait for it
    platform::Event* entered = nullptr;
    IRunableThread* waitForStop = nullptr;  // when set, runs wait until the thread stops

    int32_t Work(int32_t v1, int32_t v2, const uint8_t* data, uint32_t len) {
        if (entered) entered->Set();
        if (gate) gate->Wait();
        if (waitForStop) waitForStop->Delay(-1);
        std::lock_guard lock(mutex);
        runs.emplace_back(clock ? clock->NowMs() : 0, v1);
        lastData.assign(data, data + len);
        runThread = std::this_thread::get_id();
        return v1 + v2;
    }
    std::vector<int64_t> Times(int32_t v1) {
        std::lock_guard lock(mutex);
        std::vector<int64_t> t;
        for (auto& [time, v] : runs)
            if (v == v1) t.push_back(time);
        return t;
    }
};

using Item = ThreadRunable<Target>;

std::unique_ptr<Item> MakeItem(IRunableThread& t, Target& target, int32_t v1, uint32_t interval, int32_t reps = 1,
                               bool exclusive = false) {
    auto item = std::make_unique<Item>(&t, &target, &Target::Work);
    item->value1 = v1;
    item->interval = interval;
    item->repetitions = reps;
    item->exclusive = exclusive;
    return item;
}

struct Scheduler : ::testing::Test {
    platform::sim::SimClock clock{1000};  // the tick never starts at 0
    RunableThread<0> thread{clock};
    Target target;
    void SetUp() override { target.clock = &clock; }
    std::vector<int64_t> Since(int32_t v1, int64_t origin) {
        auto t = target.Times(v1);
        for (auto& x : t) x -= origin;
        return t;
    }
};

TEST_F(Scheduler, DelayedItemRunsOnceWhenDueOnTheWorker) {
    uint8_t bytes[] = {1, 2, 3};
    auto item = MakeItem(thread, target, 7, 2000);
    item->value2 = 5;
    item->SetData(bytes, 3);
    thread.Post(std::move(item));
    thread.Start(&target);
    clock.Advance(1999);
    EXPECT_TRUE(target.Times(7).empty());
    clock.Advance(5000);
    EXPECT_EQ(Since(7, 1000), (std::vector<int64_t>{2000}));
    EXPECT_EQ(target.lastData, (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_NE(target.runThread, std::this_thread::get_id());
    EXPECT_EQ(thread.ScheduledCount(), 0u);
}

TEST_F(Scheduler, EndlessItemRepeatsEveryIntervalPlusOneTick) {
    thread.Start(&target);
    thread.Post(MakeItem(thread, target, 1, 100, -1));
    clock.Advance(1000);
    EXPECT_EQ(Since(1, 1000), (std::vector<int64_t>{100, 201, 302, 403, 504, 605, 706, 807, 908}));
    thread.Stop();
    EXPECT_EQ(thread.ScheduledCount(), 0u);
}

TEST_F(Scheduler, RepetitionCountsIncludingZero) {
    thread.Start(&target);
    thread.Post(MakeItem(thread, target, 3, 10, 3));
    thread.Post(MakeItem(thread, target, 0, 10, 0));  // 0 also runs once
    clock.Advance(500);
    EXPECT_EQ(Since(3, 1000), (std::vector<int64_t>{10, 21, 32}));
    EXPECT_EQ(Since(0, 1000), (std::vector<int64_t>{10}));
}

TEST_F(Scheduler, ExclusiveItemHoldsBackItemsBehindIt) {
    thread.Start(&target);
    thread.Post(MakeItem(thread, target, 1, 1000, 1, true));
    thread.Post(MakeItem(thread, target, 2, 10));
    clock.Advance(999);
    EXPECT_TRUE(target.Times(2).empty());
    clock.Advance(1000);
    EXPECT_EQ(Since(1, 1000), (std::vector<int64_t>{1000}));
    // The second item's interval only starts once the walk reaches it.
    EXPECT_EQ(Since(2, 1000), (std::vector<int64_t>{1010}));
}

TEST_F(Scheduler, FrontPostIsLookedAtFirst) {
    thread.Post(MakeItem(thread, target, 1, 50, 1, true));
    thread.Post(MakeItem(thread, target, 2, 10, 1, true), true);
    thread.Start(&target);
    clock.Advance(200);
    EXPECT_EQ(Since(2, 1000), (std::vector<int64_t>{10}));
    EXPECT_EQ(Since(1, 1000), (std::vector<int64_t>{60}));
}

TEST_F(Scheduler, StopDropsScheduledItemsWithoutRunning) {
    thread.Start(&target);
    thread.Post(MakeItem(thread, target, 1, 1000));
    thread.Post(MakeItem(thread, target, 2, 2000, -1));
    clock.Advance(500);
    thread.Stop();
    EXPECT_EQ(thread.ScheduledCount(), 0u);
    // Nothing left that could run after a restart.
    thread.Start(&target);
    clock.Advance(5000);
    EXPECT_TRUE(target.runs.empty());
}

TEST(RunableThreadReal, StopDropsQueuedItemsBehindARunningOne) {
    RunableThread<0> thread;
    Target target;
    platform::Event entered;
    target.waitForStop = &thread;
    target.entered = &entered;
    thread.Start(&target);
    thread.Post(MakeItem(thread, target, 1, 0));
    ASSERT_TRUE(entered.Wait(5000));
    target.entered = nullptr;
    thread.Post(MakeItem(thread, target, 2, 0));
    thread.Post(MakeItem(thread, target, 3, 0));
    while (thread.QueuedCount() < 2) std::this_thread::yield();
    thread.Stop();  // ends the running item's wait; the queued ones never start
    EXPECT_EQ(target.Times(1).size(), 1u);
    EXPECT_TRUE(target.Times(2).empty());
    EXPECT_TRUE(target.Times(3).empty());
    EXPECT_EQ(thread.QueuedCount(), 0u);
}

TEST(RunableThreadReal, WaitingPostGetsTheResult) {
    RunableThread<0> thread;
    Target target;
    thread.Start(&target);
    auto item = MakeItem(thread, target, 20, 0, 5);
    item->value2 = 22;
    item->waitTime = 5000;
    EXPECT_EQ(thread.Post(std::move(item)), 42);
    EXPECT_EQ(target.Times(20).size(), 1u);  // a waited-for item runs once
}

TEST(RunableThreadReal, AbandonedWaitIsSafeWhenTheResultComesLate) {
    auto thread = std::make_unique<RunableThread<0>>();
    Target target;
    platform::Event gate;
    target.gate = &gate;
    thread->Start(&target);
    auto item = MakeItem(*thread, target, 1, 0);
    item->waitTime = 5;
    EXPECT_EQ(thread->Post(std::move(item)), 0);  // timed out
    gate.Set();                                   // the run now finishes and reports
    while (target.Times(1).empty()) std::this_thread::yield();
    thread.reset();
    SUCCEED();  // ASan/TSan builds catch a write into released memory here
}

}  // namespace
