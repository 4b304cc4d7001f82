#pragma once
// A uinput device made with libevdev: a copy of a grabbed node (every
// capability it has: keys above 255, buttons, relative and absolute axes), or
// one of the two virtual devices (keys, pointer).

#include <memory>

#include "helper/EventSink.h"

struct libevdev;
struct libevdev_uinput;

namespace kbhelper {

class UinputDevice final : public EventSink {
public:
    ~UinputDevice() override;
    UinputDevice(const UinputDevice&) = delete;
    UinputDevice& operator=(const UinputDevice&) = delete;

    // Null when /dev/uinput cannot be used.
    static std::unique_ptr<UinputDevice> CopyOf(const libevdev* node);
    static std::unique_ptr<UinputDevice> VirtualKeys();
    static std::unique_ptr<UinputDevice> VirtualPointer();

protected:
    bool WriteFrame(const input_event* events, size_t count) override;

private:
    explicit UinputDevice(libevdev_uinput* device) : device_(device) {}
    static std::unique_ptr<UinputDevice> Create(const libevdev* description);

    libevdev_uinput* device_;
};

}  // namespace kbhelper
