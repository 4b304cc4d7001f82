#pragma once
// The real platform on Linux: hidraw and udev for the keyboard and hot plug,
// flock for named locks, the running program from /proc. With the key service
// (PlatformOptions::keyService), also the keyboard's evdev nodes intercepted
// by the filter driver and a uinput device as the virtual keyboard; either is
// simply absent when the system does not allow it (no keyboard plugged at
// start, no access to /dev/uinput), as a missing driver is on any system.

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/linux/EvdevFilterDriver.h"
#include "platform/linux/LinuxHidBackend.h"
#include "platform/linux/LinuxProcessRunner.h"
#include "platform/linux/UinputKeyboard.h"
#include "platform/linux/VirtualKeyboardBackend.h"

namespace platform::linuxos {

class LinuxPlatform final : public Platform {
public:
    explicit LinuxPlatform(const PlatformOptions& options);
    ~LinuxPlatform() override;

    std::string Name() const override { return "linux"; }

    // True when the filter driver and the virtual keyboard could be set up.
    bool HasFilter() const { return filter_ != nullptr; }
    bool HasVirtualKeyboard() const { return keyboard_ != nullptr; }

private:
    std::unique_ptr<linuxhid::LinuxHidBackend> hid_;
    std::shared_ptr<linuxfk::UinputKeyboard> keyboard_;
    std::unique_ptr<linuxfk::VirtualKeyboardBackend> withKeyboard_;
    std::unique_ptr<linuxfk::EvdevFilterDriver> filter_;
    linuxfk::LinuxProcessRunner runner_;
};

// The factory entry of this folder.
std::unique_ptr<Platform> CreateLinuxPlatform(const PlatformOptions& options, std::string* error);

}  // namespace platform::linuxos
