#include "hid/EasyThread.h"

#include "hid/ThreadIds.h"

EasyThread::EasyThread(platform::Clock& clock) : clock_(clock) {}

EasyThread::~EasyThread() { Stop(); }

void EasyThread::Lock() { dataLock_.lock(); }
void EasyThread::Unlock() { dataLock_.unlock(); }

void EasyThread::Delay(int64_t ms) {
    if (threadId_.load() == 0 || stopEvent_.IsSet()) return;
    clock_.Wait(stopEvent_, ms);
}

bool EasyThread::IsStopping() {
    // Threads these classes did not start have no id and are never the runner.
    const uint32_t self = threads::CurrentThreadId();
    return self == 0 || self != threadId_.load();
}

void EasyThread::SetParam(void* pointer, int32_t value) {
    bool expected = false;
    if (paramSet_.compare_exchange_strong(expected, true)) {
        paramValue_.store(value);
        param_.store(pointer);
    }
}

void EasyThread::Replace(Shared& slot, CallbackPtr callback) {
    Shared old;
    {
        std::lock_guard lock(callbackLock_);
        old = std::move(slot);
        slot = std::move(callback);
    }
    // `old` is deleted here, or by the thread once its current call returns.
}

void EasyThread::SetLoopCallback(CallbackPtr callback) { Replace(loop_, std::move(callback)); }
void EasyThread::SetStartCallback(CallbackPtr callback) { Replace(start_, std::move(callback)); }
void EasyThread::SetFinishCallback(CallbackPtr callback) { Replace(finish_, std::move(callback)); }

int32_t EasyThread::CallSlot(const Shared& slot, bool* present) {
    Shared copy;
    {
        std::lock_guard lock(callbackLock_);
        copy = slot;
    }
    *present = copy != nullptr;
    return copy ? copy->Call(this, owner_.load()) : 0;
}

int EasyThread::Start(void* owner) {
    std::lock_guard control(controlLock_);
    if (running_.load() && threadId_.load() != 0) {
        owner_.store(owner);
        return 0;
    }
    // Ended by itself earlier, or ending now after a nonzero callback result.
    if (thread_.joinable()) thread_.join();
    stopEvent_.Reset();
    owner_.store(owner);
    const uint32_t id = threads::NextThreadId();
    // The run flag holds the id before the thread can test it.
    threadId_.store(id);
    runId_.store(id);
    running_.store(true);
    clock_.ThreadStarting();
    try {
        thread_ = std::thread([this, id] { Run(id); });
    } catch (...) {
        threadId_.store(0);
        running_.store(false);
        clock_.ThreadEnded();
        return 1;
    }
    return 0;
}

void EasyThread::Stop() {
    const uint32_t self = threads::CurrentThreadId();
    if (self != 0 && self == runId_.load()) {
        // Called from a callback: request the stop, never wait for ourselves.
        threadId_.store(0);
        stopEvent_.Set();
        return;
    }
    std::lock_guard control(controlLock_);
    threadId_.store(0);
    stopEvent_.Set();
    if (thread_.joinable()) thread_.join();
}

void EasyThread::Run(uint32_t id) {
    threads::SetCurrentThreadId(id);
    bool present = false;
    int32_t last = CallSlot(start_, &present);
    if (last == 0) {
        while (threadId_.load() == id) {
            int32_t r = CallSlot(loop_, &present);
            if (r != 0) {
                last = r;
                uint32_t expected = id;
                threadId_.compare_exchange_strong(expected, 0);
                break;
            }
            clock_.Wait(stopEvent_, 1);
        }
    }
    if (last != -1) CallSlot(finish_, &present);
    threads::SetCurrentThreadId(0);
    running_.store(false);
    clock_.ThreadEnded();
}
