#include "platform/linux/LinuxPlatform.h"

#include <cstdlib>

namespace platform::linuxos {

LinuxPlatform::LinuxPlatform(const PlatformOptions& options) {
    linuxhid::LinuxHidOptions hid;
    hid.lockFolder = options.lockFolder;
    hid.udevMonitor = options.hotPlug;
    hid_ = std::make_unique<linuxhid::LinuxHidBackend>(std::move(hid));
    if (options.keyService) {
        // $KBCONF_HELPER_SOCKET: another helper's socket (one started by hand).
        const char* socket = std::getenv("KBCONF_HELPER_SOCKET");
        helper_ =
            std::make_shared<linuxfk::HelperConnection>(socket && *socket ? socket : linuxfk::helperwire::kSocketPath);
        filter_ = std::make_unique<linuxfk::HelperFilterBackend>(helper_);
    }
    withKeyboard_ = std::make_unique<linuxfk::VirtualKeyboardBackend>(*hid_, helper_);

    Services services;
    services.hid = withKeyboard_.get();
    services.filter = filter_.get();
    services.runner = &runner_;
    services.processInfo = ThisProcessInfo();
    if (!options.modulePath.empty()) services.processInfo.modulePath = options.modulePath;
    services.lockFolder = options.lockFolder;
    Install(services);
}

LinuxPlatform::~LinuxPlatform() { Uninstall(); }

std::unique_ptr<Platform> CreateLinuxPlatform(const PlatformOptions& options, std::string*) {
    return std::make_unique<LinuxPlatform>(options);
}

}  // namespace platform::linuxos
