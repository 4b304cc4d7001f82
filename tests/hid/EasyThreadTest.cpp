#include "hid/EasyThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/sim/SimClock.h"

namespace {

// A callback owner whose behaviour each test sets up.
struct Probe {
    std::atomic<int> starts{0};
    std::atomic<int> loops{0};
    std::atomic<int> finishes{0};
    std::atomic<void*> lastOwner{nullptr};
    std::atomic<bool> sawStopping{false};
    int32_t startResult = 0;
    int32_t loopResultAt = -1;  // loop call number that returns loopResult
    int32_t loopResult = 0;
    int64_t delayMs = 0;
    bool endEveryThread = false;  // every thread's first loop call returns loopResult

    int32_t OnStart(IEasyThread* t, void* owner) {
        ++starts;
        lastOwner = owner;
        if (t->IsStopping()) sawStopping = true;
        return startResult;
    }
    int32_t OnLoop(IEasyThread* t, void* owner) {
        lastOwner = owner;
        const int n = loops++;
        if (delayMs) t->Delay(delayMs);
        return (endEveryThread || n == loopResultAt) ? loopResult : 0;
    }
    int32_t OnFinish(IEasyThread*, void*) {
        ++finishes;
        return 0;
    }
};

using Cb = EasyThread::Callback<IEasyThread, Probe>;

void Wire(EasyThread& t, Probe& p) {
    t.SetStartCallback(std::make_unique<Cb>(&p, &Probe::OnStart));
    t.SetLoopCallback(std::make_unique<Cb>(&p, &Probe::OnLoop));
    t.SetFinishCallback(std::make_unique<Cb>(&p, &Probe::OnFinish));
}

TEST(EasyThread, StopInsideLongDelayNeedsNoTimeToPass) {
    platform::sim::SimClock clock;
    EasyThread t(clock);
    Probe p;
    p.delayMs = 1000;
    Wire(t, p);
    ASSERT_EQ(t.Start(&p), 0);
    clock.WaitIdle();  // the callback now sits inside Delay(1000)
    EXPECT_EQ(p.loops.load(), 1);
    t.Stop();
    EXPECT_FALSE(t.IsRunning());
    EXPECT_EQ(clock.NowMs(), 0);  // the wait ended on the stop, not on time
    EXPECT_EQ(p.finishes.load(), 1);
}

TEST(EasyThread, StartOnRunningThreadOnlyReplacesOwner) {
    platform::sim::SimClock clock;
    EasyThread t(clock);
    Probe p;
    p.delayMs = -1;  // each loop call waits until stopped
    Wire(t, p);
    int ownerA = 0, ownerB = 0;
    ASSERT_EQ(t.Start(&ownerA), 0);
    clock.WaitIdle();
    ASSERT_EQ(t.Start(&ownerB), 0);
    EXPECT_EQ(clock.Threads(), 1);
    t.Stop();
    EXPECT_EQ(p.starts.load(), 1);
    EXPECT_EQ(p.lastOwner.load(), &ownerA);  // captured before the owner changed
    // A new start after a stop creates a new thread with the new owner.
    ASSERT_EQ(t.Start(&ownerB), 0);
    clock.WaitIdle();
    t.Stop();
    EXPECT_EQ(p.starts.load(), 2);
    EXPECT_EQ(p.lastOwner.load(), &ownerB);
}

TEST(EasyThread, CallbackResultsEndTheLoop) {
    struct Case {
        int32_t startResult, loopResultAt, loopResult;
        int loops, finishes;
    } cases[] = {
        {0, 2, 5, 3, 1},   // nonzero loop result ends the loop, finish runs
        {0, 0, -1, 1, 0},  // -1 skips the finish callback
        {7, 0, 0, 0, 1},   // a nonzero start result skips the loop
        {-1, 0, 0, 0, 0},  // and -1 there skips finish too
    };
    for (const Case& c : cases) {
        platform::sim::SimClock clock;
        EasyThread t(clock);
        Probe p;
        p.startResult = c.startResult;
        p.loopResultAt = c.loopResultAt;
        p.loopResult = c.loopResult;
        Wire(t, p);
        ASSERT_EQ(t.Start(&p), 0);
        clock.Advance(100);
        clock.WaitIdle();
        EXPECT_FALSE(t.IsRunning()) << c.startResult << "/" << c.loopResult;
        EXPECT_EQ(p.loops.load(), c.loops) << c.startResult << "/" << c.loopResult;
        EXPECT_EQ(p.finishes.load(), c.finishes) << c.startResult << "/" << c.loopResult;
        t.Stop();
    }
}

TEST(EasyThread, LoopCallsAreOneMillisecondApart) {
    platform::sim::SimClock clock;
    EasyThread t(clock);
    Probe p;
    Wire(t, p);
    t.Start(&p);
    clock.Advance(10);
    t.Stop();
    EXPECT_EQ(p.loops.load(), 11);  // at 0, 1, ..., 10
}

TEST(EasyThread, NewThreadNeverSeesItselfStopping) {
    // The id is stored before the thread runs; a thread that raced its own
    // id would find IsStopping() true in its start callback and skip its loop.
    EasyThread t;
    Probe p;
    p.startResult = 1;  // end at once
    Wire(t, p);
    for (int i = 0; i < 200; ++i) {
        t.Start(&p);
        while (t.IsRunning()) std::this_thread::yield();
    }
    t.Stop();
    EXPECT_EQ(p.starts.load(), 200);
    EXPECT_FALSE(p.sawStopping.load());
    EXPECT_TRUE(t.IsStopping());  // not the worker thread
}

TEST(EasyThread, ParamIsSetOnce) {
    EasyThread t;
    int a = 0, b = 0;
    t.SetParam(&a, 1);
    t.SetParam(&b, 2);
    EXPECT_EQ(t.Param(), &a);
    EXPECT_EQ(t.ParamValue(), 1);
}

TEST(EasyThread, StopFromOwnCallbackDoesNotDeadlock) {
    struct Self {
        EasyThread* thread;
        int32_t Loop(IEasyThread*, void*) {
            thread->Stop();
            return 0;
        }
    } self;
    EasyThread t;
    self.thread = &t;
    t.SetLoopCallback(std::make_unique<EasyThread::Callback<IEasyThread, Self>>(&self, &Self::Loop));
    t.Start(nullptr);
    t.Stop();
    EXPECT_FALSE(t.IsRunning());
}

}  // namespace

namespace {

TEST(EasyThread, StartRightAfterTheLoopEndedItselfRunsAgain) {
    // A loop that ends itself at once; a Start that comes while that thread is
    // still winding down must still give a running thread.
    platform::sim::SimClock clock;
    EasyThread t(clock);
    Probe p;
    p.endEveryThread = true;
    p.loopResult = 1;
    Wire(t, p);
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(t.Start(&p), 0);
        clock.WaitIdle();
    }
    t.Stop();
    EXPECT_EQ(p.starts.load(), 50);
    EXPECT_EQ(p.loops.load(), 50);
}

}  // namespace
