#include "platform/linux/LinuxPlatform.h"

#include <cstdint>
#include <vector>

namespace platform::linuxos {
namespace {

// The keyboards whose keys the filter driver sits in front of.
constexpr uint16_t kVendor = 0x1A2C;
constexpr uint16_t kProducts[] = {0x7080, 0x7FFF};

}  // namespace

LinuxPlatform::LinuxPlatform(const PlatformOptions& options) {
    linuxhid::LinuxHidOptions hid;
    hid.lockFolder = options.lockFolder;
    hid.udevMonitor = options.hotPlug;
    hid_ = std::make_unique<linuxhid::LinuxHidBackend>(std::move(hid));
    if (options.keyService) {
        keyboard_ = linuxfk::UinputKeyboard::Create();
        std::vector<std::string> nodes;
        for (uint16_t product : kProducts)
            for (auto& node : linuxfk::EvdevFilterDriver::FindEventNodes(kVendor, product)) nodes.push_back(node);
        if (!nodes.empty()) filter_ = linuxfk::EvdevFilterDriver::Open(nodes);
    }
    withKeyboard_ = std::make_unique<linuxfk::VirtualKeyboardBackend>(*hid_, keyboard_);

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
