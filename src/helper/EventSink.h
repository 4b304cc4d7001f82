#pragma once
// Where the helper writes input events: a uinput device in service, a pipe in
// tests and benchmarks. Events are kept until the frame's SYN_REPORT and then
// written together, one write per frame: each write wakes every reader.

#include <linux/input.h>

#include <cstdint>
#include <vector>

namespace kbhelper {

class EventSink {
public:
    virtual ~EventSink() = default;
    // False when the frame this event closes could not be written.
    bool Write(uint16_t type, uint16_t code, int32_t value) {
        input_event ev{};
        ev.type = type;
        ev.code = code;
        ev.value = value;
        frame_.push_back(ev);
        if (type != EV_SYN || code != SYN_REPORT) return true;
        const bool ok = WriteFrame(frame_.data(), frame_.size());
        frame_.clear();
        return ok;
    }

protected:
    virtual bool WriteFrame(const input_event* events, size_t count) = 0;

private:
    std::vector<input_event> frame_;
};

}  // namespace kbhelper
