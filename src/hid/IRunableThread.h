#pragma once

#include <cstdint>
#include <memory>

class BaseRunable;

// What callbacks and work items may ask of a RunableThread.
class IRunableThread {
public:
    virtual ~IRunableThread() = default;

    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    // Schedules the item (the thread owns it from now on). Returns the run's
    // result when the item has a wait time and it ran within it, else 0.
    virtual int32_t Post(std::unique_ptr<BaseRunable> item, bool atFront = false) = 0;
    virtual void Delay(int64_t ms) = 0;
    virtual bool IsStopping() = 0;
    virtual void SetParam(void* pointer, int32_t value) = 0;
};
