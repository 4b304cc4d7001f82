#pragma once
// A work item for RunableThread: what to run, with which arguments, after how
// long, how often.

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Event.h"

class BaseRunable {
public:
    // Where a waiting poster finds the result. Shared by the poster, the item
    // and its clones, so a poster that gave up waiting leaves nothing dangling:
    // a late run writes into a cell that is still alive, and the event it
    // signals is freed only with the last of them.
    struct Completion {
        platform::Event done{true, false};
        std::atomic<int32_t> result{0};
    };

    virtual ~BaseRunable() = default;

    virtual bool IsValid() const = 0;
    // A new item with every field copied and its own copy of the data.
    virtual std::unique_ptr<BaseRunable> Clone() const = 0;
    virtual int32_t Run(int32_t value1, int32_t value2, const uint8_t* data, uint32_t dataLength) = 0;

    int32_t value1 = 0;
    int32_t value2 = 0;
    std::vector<uint8_t> data;
    uint32_t interval = 0;                   // ms between becoming scheduled and running
    int32_t repetitions = 1;                 // -1 without end; 0 also runs once
    bool exclusive = false;                  // while scheduled, items behind it are not looked at
    uint32_t timestamp = 0;                  // tick at the start of the current interval; 0 = not started
    std::shared_ptr<Completion> completion;  // set by Post when the poster waits
    uint32_t waitTime = 0;                   // ms that Post waits for the result; 0 = do not wait

    void SetData(const uint8_t* bytes, uint32_t length) { data.assign(bytes, bytes + length); }

protected:
    BaseRunable() = default;
    BaseRunable(const BaseRunable&) = default;
    BaseRunable& operator=(const BaseRunable&) = default;
};
