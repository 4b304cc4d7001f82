#pragma once
// Where the helper writes input events: a uinput device in service, a pipe in
// tests and benchmarks.

#include <cstdint>

namespace kbhelper {

class EventSink {
public:
    virtual ~EventSink() = default;
    // False when the event could not be written.
    virtual bool Write(uint16_t type, uint16_t code, int32_t value) = 0;
};

}  // namespace kbhelper
