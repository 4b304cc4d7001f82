#include "hid/RunableThreadBase.h"

#include <algorithm>

#include "hid/ThreadIds.h"

RunableThreadBase::RunableThreadBase(platform::Clock& clock) : clock_(clock) {}

RunableThreadBase::~RunableThreadBase() { Stop(); }

void RunableThreadBase::Lock() { dataLock_.lock(); }
void RunableThreadBase::Unlock() { dataLock_.unlock(); }

void RunableThreadBase::Delay(int64_t ms) {
    if (workerId_.load() == 0 || stopEvent_.IsSet()) return;
    clock_.Wait(stopEvent_, ms);
}

bool RunableThreadBase::IsStopping() {
    const uint32_t self = threads::CurrentThreadId();
    return self == 0 || self != workerId_.load();
}

void RunableThreadBase::SetParam(void* pointer, int32_t value) {
    bool expected = false;
    if (paramSet_.compare_exchange_strong(expected, true)) {
        paramValue_.store(value);
        param_.store(pointer);
    }
}

void RunableThreadBase::Replace(Shared& slot, CallbackPtr callback) {
    Shared old;
    std::lock_guard lock(callbackLock_);
    old = std::move(slot);
    slot = std::move(callback);
}

void RunableThreadBase::SetLoopCallback(CallbackPtr callback) { Replace(loop_, std::move(callback)); }
void RunableThreadBase::SetStartCallback(CallbackPtr callback) { Replace(start_, std::move(callback)); }
void RunableThreadBase::SetFinishCallback(CallbackPtr callback) { Replace(finish_, std::move(callback)); }

int32_t RunableThreadBase::CallSlot(const Shared& slot, bool* present) {
    Shared copy;
    {
        std::lock_guard lock(callbackLock_);
        copy = slot;
    }
    *present = copy != nullptr;
    return copy ? copy->Call(this, owner_.load()) : 0;
}

uint32_t RunableThreadBase::Tick() {
    // 0 marks an item whose interval has not started, so the tick never reads 0.
    auto t = static_cast<uint32_t>(clock_.NowMs());
    return t == 0 ? 1 : t;
}

int32_t RunableThreadBase::Post(std::unique_ptr<BaseRunable> item, bool atFront) {
    if (!item) return 0;
    std::shared_ptr<BaseRunable::Completion> completion;
    const uint32_t waitTime = item->waitTime;
    {
        std::lock_guard lock(queueLock_);
        if (waitTime != 0) {
            item->completion = std::make_shared<BaseRunable::Completion>();
            item->repetitions = 0;
            completion = item->completion;
        } else {
            item->completion.reset();
        }
        item->timestamp = 0;
        if (atFront)
            schedule_.push_front(std::move(item));
        else
            schedule_.push_back(std::move(item));
        scheduleEvent_.Set();
    }
    if (!completion) return 0;
    if (!clock_.Wait(completion->done, waitTime)) return 0;
    return completion->result.load();
}

int RunableThreadBase::Start(void* owner) {
    std::lock_guard control(controlLock_);
    int failed = 0;
    if (!timerRunning_.load() || timerId_.load() == 0) {
        if (timer_.joinable()) timer_.join();
        const uint32_t id = threads::NextThreadId();
        timerId_.store(id);
        timerRunId_.store(id);
        timerRunning_.store(true);
        clock_.ThreadStarting();
        try {
            timer_ = std::thread([this, id] { TimerMain(id); });
        } catch (...) {
            timerId_.store(0);
            timerRunning_.store(false);
            clock_.ThreadEnded();
            failed = 1;
        }
    }
    if (!workerRunning_.load() || workerId_.load() == 0) {
        if (worker_.joinable()) worker_.join();
        stopEvent_.Reset();
        owner_.store(owner);
        const uint32_t id = threads::NextThreadId();
        workerId_.store(id);
        workerRunId_.store(id);
        workerRunning_.store(true);
        clock_.ThreadStarting();
        try {
            worker_ = std::thread([this, id] { WorkerMain(id); });
        } catch (...) {
            workerId_.store(0);
            workerRunning_.store(false);
            clock_.ThreadEnded();
            failed = 1;
        }
    }
    owner_.store(owner);
    return failed;
}

void RunableThreadBase::Stop() {
    const uint32_t self = threads::CurrentThreadId();
    if (self != 0 && (self == workerRunId_.load() || self == timerRunId_.load())) {
        workerId_.store(0);
        timerId_.store(0);
        stopEvent_.Set();
        return;
    }
    std::list<std::unique_ptr<BaseRunable>> dropped;
    {
        std::lock_guard control(controlLock_);
        workerId_.store(0);
        timerId_.store(0);
        stopEvent_.Set();
        if (timer_.joinable()) timer_.join();
        if (worker_.joinable()) worker_.join();
        std::lock_guard lock(queueLock_);
        dropped.splice(dropped.end(), schedule_);
        dropped.splice(dropped.end(), queue_);
        workEvent_.Reset();
    }
    // Deleted without running; a poster still waiting simply times out.
}

size_t RunableThreadBase::ScheduledCount() const {
    std::lock_guard lock(queueLock_);
    return schedule_.size();
}

size_t RunableThreadBase::QueuedCount() const {
    std::lock_guard lock(queueLock_);
    return queue_.size();
}

void RunableThreadBase::TimerMain(uint32_t id) {
    threads::SetCurrentThreadId(id);
    while (timerId_.load() == id) {
        int64_t wait = platform::Event::kInfinite;
        {
            std::lock_guard lock(queueLock_);
            scheduleEvent_.Reset();
            const uint32_t now = Tick();
            for (auto it = schedule_.begin(); it != schedule_.end();) {
                BaseRunable& item = **it;
                if (item.timestamp == 0) item.timestamp = now;
                const uint32_t elapsed = now - item.timestamp;
                if (elapsed >= item.interval) {
                    item.timestamp = 0;
                    if (item.repetitions != 0 && item.repetitions != -1) --item.repetitions;
                    queue_.push_back(item.Clone());
                    workEvent_.Set();
                    if (item.repetitions == 0) {
                        it = schedule_.erase(it);
                        continue;
                    }
                    // Its next interval starts on the following scan, a tick later.
                    wait = 1;
                } else {
                    const int64_t left = item.interval - elapsed;
                    wait = wait < 0 ? left : std::min(wait, left);
                }
                if (item.exclusive) break;
                ++it;
            }
        }
        clock_.WaitAny({&stopEvent_, &scheduleEvent_}, wait);
    }
    timerRunning_.store(false);
    clock_.ThreadEnded();
}

void RunableThreadBase::WorkerMain(uint32_t id) {
    threads::SetCurrentThreadId(id);
    bool present = false;
    int32_t last = CallSlot(start_, &present);
    if (last == 0) {
        while (workerId_.load() == id) {
            std::unique_ptr<BaseRunable> item;
            {
                std::lock_guard lock(queueLock_);
                if (!queue_.empty()) {
                    item = std::move(queue_.front());
                    queue_.pop_front();
                }
                if (queue_.empty()) workEvent_.Reset();
            }
            const bool ran = item != nullptr;
            if (ran) {
                const int32_t result = item->IsValid() ? item->Run(item->value1, item->value2, item->data.data(),
                                                                   static_cast<uint32_t>(item->data.size()))
                                                       : 0;
                if (item->completion) {
                    item->completion->result.store(result);
                    item->completion->done.Set();
                }
                item.reset();
            }
            const int32_t r = CallSlot(loop_, &present);
            if (present) {
                if (r != 0) {
                    last = r;
                    uint32_t expected = id;
                    workerId_.compare_exchange_strong(expected, 0);
                    break;
                }
            } else if (!ran) {
                clock_.WaitAny({&stopEvent_, &workEvent_}, platform::Event::kInfinite);
            }
        }
    }
    if (last != -1) CallSlot(finish_, &present);
    threads::SetCurrentThreadId(0);
    workerRunning_.store(false);
    clock_.ThreadEnded();
}
