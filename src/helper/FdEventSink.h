#pragma once
// Writes each event as one struct input_event to a file descriptor (the raw
// uinput write, without device set-up): pipes stand in for uinput with it.

#include "helper/EventSink.h"
#include "platform/linux/UniqueFd.h"

namespace kbhelper {

class FdEventSink final : public EventSink {
public:
    explicit FdEventSink(platform::linuxhid::UniqueFd fd) : fd_(std::move(fd)) {}

protected:
    bool WriteFrame(const input_event* events, size_t count) override;

private:
    platform::linuxhid::UniqueFd fd_;
};

}  // namespace kbhelper
