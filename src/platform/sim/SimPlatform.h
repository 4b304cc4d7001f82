#pragma once
// The emulated platform: the emulated keyboard ($KBCONF_SIM_MODEL or the
// options' model) and mouse on an emulated HID bus, and the emulated drivers
// ($KBCONF_SIM_DRIVERS): key source, filter driver, virtual keyboard on the
// bus, driver installer. Reports and driver requests go to $KBCONF_SIM_LOG when
// set. The module path is the running program's, so data files are found
// beside it as on a real system.

#include <memory>
#include <string>

#include "platform/Platform.h"
#include "platform/sim/SimFunctionKeys.h"
#include "platform/sim/SimSetup.h"

namespace platform::sim {

class SimPlatform final : public Platform {
public:
    // Null (and *error) when the model text is not one of "7080", "7fff", "none".
    static std::unique_ptr<SimPlatform> Create(const PlatformOptions& options, std::string* error = nullptr);
    ~SimPlatform() override;

    std::string Name() const override { return "sim"; }

    SimSetup& Setup() { return setup_; }                        // bus, keyboard, mouse
    SimFunctionKeys& FunctionKeys() { return *functionKeys_; }  // key source, filter, virtual keyboard, installer

private:
    SimPlatform(SimSetup setup, const PlatformOptions& options);

    SimSetup setup_;
    std::unique_ptr<SimFunctionKeys> functionKeys_;
};

// The factory entry of this folder.
std::unique_ptr<Platform> CreateSimPlatform(const PlatformOptions& options, std::string* error);

}  // namespace platform::sim
