#pragma once
// The emulated drivers of the function-key service in one place, for the demo
// and tests: the keyboard's physical keys, the filter driver fed by them, the
// virtual keyboard on the emulated bus and the driver installer. While it
// lives, its filter driver, installer and a program path are the process's
// current ones, unless it is made with install = false (SimPlatform installs
// them with the rest of its set).
//
//   SimFunctionKeys fk(setup.bus.get());   // drivers as $KBCONF_SIM_DRIVERS says
//   fk.Keys().Press(7, 4);                 // the emulated keyboard's picture does this
//
// Driver states: "installed" (default: both drivers present), "missing" (the
// installer's run makes them present) or "broken" (the installer runs but
// installs nothing).

#include <memory>
#include <string>

#include "platform/ProcessRunner.h"
#include "platform/sim/SimDriverInstaller.h"
#include "platform/sim/SimFilterDriver.h"
#include "platform/sim/SimKeySource.h"
#include "platform/sim/SimVirtualKeyboard.h"

namespace platform::sim {

class SimHidBus;

class SimFunctionKeys {
public:
    // state empty: $KBCONF_SIM_DRIVERS, default "installed"; an unknown text
    // counts as "installed".
    explicit SimFunctionKeys(SimHidBus* bus, const std::string& state = {}, Clock& clock = SteadyClock(),
                             bool install = true);
    ~SimFunctionKeys();
    SimFunctionKeys(const SimFunctionKeys&) = delete;
    SimFunctionKeys& operator=(const SimFunctionKeys&) = delete;

    SimKeySource& Keys() { return keys_; }
    SimFilterDriver& Filter() { return filter_; }
    SimDriverInstaller& Installer() { return installer_; }
    SimVirtualKeyboard& VirtualKeyboard() { return *keyboard_; }

private:
    SimHidBus* bus_;
    SimKeySource keys_;
    SimFilterDriver filter_;
    std::shared_ptr<SimVirtualKeyboard> keyboard_;
    SimDriverInstaller installer_;
    bool installed_;
    FilterBackend* previousFilter_ = nullptr;
    ProcessRunner* previousRunner_ = nullptr;
    ProcessInfo previousInfo_;
};

}  // namespace platform::sim
