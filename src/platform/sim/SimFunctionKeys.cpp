#include "platform/sim/SimFunctionKeys.h"

#include <cstdlib>

#include "platform/sim/SimHidBus.h"

namespace platform::sim {

SimFunctionKeys::SimFunctionKeys(SimHidBus* bus, const std::string& state, Clock& clock, bool install)
    : bus_(bus),
      filter_(&keys_, clock),
      keyboard_(std::make_shared<SimVirtualKeyboard>(clock)),
      installer_(bus, &filter_, keyboard_),
      installed_(install) {
    std::string s = state;
    if (s.empty()) {
        const char* env = std::getenv("KBCONF_SIM_DRIVERS");
        s = env ? env : "";
    }
    const bool missing = s == "missing" || s == "broken";
    filter_.SetInstalled(!missing);
    if (s == "broken") installer_.FailInside(true);
    if (!missing && bus_) bus_->Plug(keyboard_);
    if (!installed_) return;

    previousFilter_ = SetCurrentFilterBackend(&filter_);
    previousRunner_ = SetCurrentProcessRunner(&installer_);
    previousInfo_ = CurrentProcessInfo();
    // The emulated system is a 64-bit one with the program in C:\kbconf\.
    SetCurrentProcessInfo({"C:\\kbconf\\kbconf.exe", '\\', false, true});
}

SimFunctionKeys::~SimFunctionKeys() {
    if (installed_) {
        SetCurrentProcessInfo(previousInfo_);
        SetCurrentProcessRunner(previousRunner_);
        SetCurrentFilterBackend(previousFilter_);
    }
    if (bus_ && bus_->IsPlugged(keyboard_.get())) bus_->Unplug(keyboard_.get());
}

}  // namespace platform::sim
