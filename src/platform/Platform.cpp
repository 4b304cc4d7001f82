#include "platform/Platform.h"

#include "platform/FilterDriver.h"
#include "platform/HidBackend.h"
#include "platform/NamedLock.h"

namespace platform {

Platform::Platform() = default;

Platform::~Platform() { Uninstall(); }

void Platform::Install(const Services& services) {
    if (installed_) return;
    previous_.processInfo = CurrentProcessInfo();
    previous_.lockFolder = NamedLock::InstallFolder(services.lockFolder);
    SetCurrentProcessInfo(services.processInfo);
    previous_.runner = SetCurrentProcessRunner(services.runner);
    previous_.filter = SetCurrentFilterBackend(services.filter);
    previous_.hid = SetCurrentHid(services.hid);
    installed_ = true;
}

void Platform::Uninstall() {
    if (!installed_) return;
    installed_ = false;
    NamedLock::InstallFolder(previous_.lockFolder);
    SetCurrentProcessInfo(previous_.processInfo);
    SetCurrentProcessRunner(previous_.runner);
    SetCurrentFilterBackend(previous_.filter);
    SetCurrentHid(previous_.hid);
}

}  // namespace platform
