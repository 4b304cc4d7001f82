#pragma once
// A scheduler: work items are posted with an interval and a repeat count; a
// timer thread moves them to the work queue when due and a worker thread runs
// them. Both threads sleep on events while there is nothing to do, so an idle
// scheduler costs no wake-ups.

#include <atomic>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#include "hid/BaseRunable.h"
#include "hid/EasyThread.h"
#include "hid/IRunableThread.h"
#include "platform/Clock.h"
#include "platform/Event.h"

class RunableThreadBase : public IRunableThread {
public:
    using CallbackPtr = std::unique_ptr<EasyThread::ICallback<IRunableThread>>;

    explicit RunableThreadBase(platform::Clock& clock = platform::SteadyClock());
    ~RunableThreadBase() override;
    RunableThreadBase(const RunableThreadBase&) = delete;
    RunableThreadBase& operator=(const RunableThreadBase&) = delete;

    void Lock() override;
    void Unlock() override;
    int32_t Post(std::unique_ptr<BaseRunable> item, bool atFront = false) override;
    void Delay(int64_t ms) override;
    bool IsStopping() override;
    void SetParam(void* pointer, int32_t value) override;
    void* Param() const { return param_.load(); }

    void SetLoopCallback(CallbackPtr callback);
    void SetStartCallback(CallbackPtr callback);
    void SetFinishCallback(CallbackPtr callback);

    // 0 on success, 1 when a thread could not be created.
    int Start(void* owner);
    // Ends both threads, then deletes every item still scheduled or queued
    // without running it.
    void Stop();

    size_t ScheduledCount() const;
    size_t QueuedCount() const;

private:
    using Shared = std::shared_ptr<EasyThread::ICallback<IRunableThread>>;
    void TimerMain(uint32_t id);
    void WorkerMain(uint32_t id);
    int32_t CallSlot(const Shared& slot, bool* present);
    void Replace(Shared& slot, CallbackPtr callback);
    uint32_t Tick();

    platform::Clock& clock_;
    std::atomic<void*> param_{nullptr};
    std::atomic<int32_t> paramValue_{0};
    std::atomic<bool> paramSet_{false};
    std::atomic<void*> owner_{nullptr};
    std::recursive_mutex dataLock_;
    mutable std::mutex queueLock_;
    std::mutex callbackLock_;
    std::mutex controlLock_;
    std::atomic<uint32_t> workerId_{0};
    std::atomic<uint32_t> workerRunId_{0};
    std::atomic<bool> workerRunning_{false};
    std::thread worker_;
    Shared loop_;
    Shared start_;
    Shared finish_;
    std::list<std::unique_ptr<BaseRunable>> queue_;
    platform::Event stopEvent_{true, false};
    // Set while the work queue holds items (worker) / when the schedule changed
    // (timer); both manual-reset and reset under the queue lock.
    platform::Event workEvent_{true, false};
    platform::Event scheduleEvent_{true, false};
    std::atomic<uint32_t> timerId_{0};
    std::atomic<uint32_t> timerRunId_{0};
    std::atomic<bool> timerRunning_{false};
    std::thread timer_;
    std::list<std::unique_ptr<BaseRunable>> schedule_;
};
