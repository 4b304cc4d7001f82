#pragma once
// One callback run over and over on its own thread, with an interruptible wait,
// a data lock and a stop flag. Stop: the run flag (threadId) goes to 0, the stop
// event is signalled, and the stopper waits for the thread to end.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "hid/IEasyThread.h"
#include "platform/Clock.h"
#include "platform/Event.h"

class EasyThread : public IEasyThread {
public:
    template <class I = IEasyThread>
    class ICallback {
    public:
        virtual ~ICallback() = default;
        virtual int32_t Call(I* thread, void* owner) = 0;
    };

    // Binds a member function of an object (not necessarily the owner).
    template <class I, class T>
    class Callback : public ICallback<I> {
    public:
        using Member = int32_t (T::*)(I*, void*);
        Callback(T* object, Member member) : object_(object), member_(member) {}
        int32_t Call(I* thread, void* owner) override { return (object_->*member_)(thread, owner); }

    private:
        T* object_;
        Member member_;
    };

    using CallbackPtr = std::unique_ptr<ICallback<IEasyThread>>;

    explicit EasyThread(platform::Clock& clock = platform::SteadyClock());
    ~EasyThread() override;
    EasyThread(const EasyThread&) = delete;
    EasyThread& operator=(const EasyThread&) = delete;

    void Lock() override;
    void Unlock() override;
    void Delay(int64_t ms) override;
    bool IsStopping() override;
    void SetParam(void* pointer, int32_t value) override;

    void* Param() const { return param_.load(); }
    int32_t ParamValue() const { return paramValue_.load(); }

    // Each replaces (and deletes) the current callback under the callback lock.
    void SetLoopCallback(CallbackPtr callback);
    void SetStartCallback(CallbackPtr callback);
    void SetFinishCallback(CallbackPtr callback);

    // 0 on success, 1 when the thread could not be created. A running thread
    // only gets the new owner.
    int Start(void* owner);
    // Clears the run flag, signals the stop event and waits for the thread.
    // Must not be called from the thread itself (it then only requests the stop).
    void Stop();
    bool IsRunning() const { return running_.load(); }

    // The stop event, for callbacks that wait on it together with other events.
    platform::Event& StopEvent() { return stopEvent_; }
    platform::Clock& GetClock() { return clock_; }

private:
    using Shared = std::shared_ptr<ICallback<IEasyThread>>;
    void Run(uint32_t id);
    // Calls a callback held by a copy taken under the callback lock, so that a
    // replacement never deletes a callback while it runs.
    int32_t CallSlot(const Shared& slot, bool* present);
    void Replace(Shared& slot, CallbackPtr callback);

    platform::Clock& clock_;
    std::atomic<void*> param_{nullptr};
    std::atomic<int32_t> paramValue_{0};
    std::atomic<bool> paramSet_{false};
    std::atomic<void*> owner_{nullptr};
    std::recursive_mutex dataLock_;
    std::mutex callbackLock_;
    std::atomic<uint32_t> threadId_{0};
    std::atomic<bool> running_{false};
    std::atomic<uint32_t> runId_{0};  // id of the thread last created
    std::mutex controlLock_;          // Start and Stop from different threads
    std::thread thread_;
    Shared loop_;
    Shared start_;
    Shared finish_;
    platform::Event stopEvent_{true, false};
};
