#pragma once

#include <cstdint>

// What a callback running on an EasyThread may ask of its thread.
class IEasyThread {
public:
    virtual ~IEasyThread() = default;

    // The data lock, for data shared between the callbacks and other threads.
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    // Waits up to ms (< 0: until stopped); returns at once when a stop was requested.
    virtual void Delay(int64_t ms) = 0;
    // True when the calling thread is not (or no longer) the thread that may run.
    virtual bool IsStopping() = 0;
    // Stores the pair on the first call only.
    virtual void SetParam(void* pointer, int32_t value) = 0;
};
