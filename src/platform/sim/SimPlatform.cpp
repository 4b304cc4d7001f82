#include "platform/sim/SimPlatform.h"

#include <cstdlib>

namespace platform::sim {

std::unique_ptr<SimPlatform> SimPlatform::Create(const PlatformOptions& options, std::string* error) {
    SimHidBus::Options bus;
    bus.lockFolder = options.lockFolder;
    SimSetup setup = MakeSimSetup(options.simModel, bus);
    if (!setup.bus) {
        if (error) {
            const char* env = std::getenv("KBCONF_SIM_MODEL");
            const std::string model = !options.simModel.empty() ? options.simModel : env ? env : "";
            *error = "the emulated keyboard must be 7080, 7fff or none, not \"" + model + "\"";
        }
        return nullptr;
    }
    return std::unique_ptr<SimPlatform>(new SimPlatform(std::move(setup), options));
}

SimPlatform::SimPlatform(SimSetup setup, const PlatformOptions& options) : setup_(std::move(setup)) {
    functionKeys_ = std::make_unique<SimFunctionKeys>(setup_.bus.get(), options.simDrivers, SteadyClock(),
                                                      /*install=*/false);
    Services services;
    services.hid = setup_.bus.get();
    services.filter = &functionKeys_->Filter();
    services.runner = &functionKeys_->Installer();
    services.processInfo = ThisProcessInfo();
    if (!options.modulePath.empty()) services.processInfo.modulePath = options.modulePath;
    services.lockFolder = options.lockFolder;
    Install(services);
}

SimPlatform::~SimPlatform() {
    Uninstall();
    functionKeys_.reset();  // unplugs the virtual keyboard while the bus still exists
}

std::unique_ptr<Platform> CreateSimPlatform(const PlatformOptions& options, std::string* error) {
    return SimPlatform::Create(options, error);
}

}  // namespace platform::sim
