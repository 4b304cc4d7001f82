#pragma once
// The real platform on Linux: hidraw and udev for the keyboard and hot plug,
// flock for named locks, the running program from /proc. With the key service
// (PlatformOptions::keyService), also the filter driver and the virtual
// keyboard, both reached through kbconf-helper (the privileged service that
// grabs the keyboard and owns the uinput devices); while the helper cannot be
// reached they are absent, as a missing driver is on any system.

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/linux/HelperConnection.h"
#include "platform/linux/HelperFilterBackend.h"
#include "platform/linux/LinuxHidBackend.h"
#include "platform/linux/LinuxSetupRunner.h"
#include "platform/linux/VirtualKeyboardBackend.h"

namespace platform::linuxos {

class LinuxPlatform final : public Platform {
public:
    explicit LinuxPlatform(const PlatformOptions& options);
    ~LinuxPlatform() override;

    std::string Name() const override { return "linux"; }

    // True when the key service is part of the set (reaching the helper is
    // decided at each open).
    bool HasFilter() const { return filter_ != nullptr; }

private:
    std::unique_ptr<linuxhid::LinuxHidBackend> hid_;
    std::shared_ptr<linuxfk::HelperConnection> helper_;
    std::unique_ptr<linuxfk::VirtualKeyboardBackend> withKeyboard_;
    std::unique_ptr<linuxfk::HelperFilterBackend> filter_;
    linuxfk::LinuxSetupRunner runner_;
};

// The factory entry of this folder.
std::unique_ptr<Platform> CreateLinuxPlatform(const PlatformOptions& options, std::string* error);

}  // namespace platform::linuxos
