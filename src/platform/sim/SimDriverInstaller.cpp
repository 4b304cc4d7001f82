#include "platform/sim/SimDriverInstaller.h"

#include "platform/sim/SimFilterDriver.h"
#include "platform/sim/SimHidBus.h"
#include "platform/sim/SimVirtualKeyboard.h"

namespace platform::sim {
namespace {

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

SimDriverInstaller::SimDriverInstaller(SimHidBus* bus, SimFilterDriver* filter,
                                       std::shared_ptr<SimVirtualKeyboard> keyboard)
    : bus_(bus), filter_(filter), keyboard_(keyboard ? std::move(keyboard) : std::make_shared<SimVirtualKeyboard>()) {}

void SimDriverInstaller::AddProgram(const std::string& path) {
    std::lock_guard lock(mutex_);
    programs_.insert(path);
}

void SimDriverInstaller::FailToStart(bool fail) {
    std::lock_guard lock(mutex_);
    failToStart_ = fail;
}

void SimDriverInstaller::FailInside(bool fail) {
    std::lock_guard lock(mutex_);
    failInside_ = fail;
}

std::vector<SimDriverInstaller::Run> SimDriverInstaller::Runs() const {
    std::lock_guard lock(mutex_);
    return runs_;
}

bool SimDriverInstaller::RunAndWait(const std::string& program, const std::string& commandLine) {
    bool install = false, remove = false;
    {
        std::lock_guard lock(mutex_);
        const bool known = programs_.empty() ? (EndsWith(program, "\\devcon.exe") || EndsWith(program, "/devcon.exe"))
                                             : programs_.count(program) != 0;
        if (failToStart_ || !known) return false;
        runs_.push_back({program, commandLine});
        if (failInside_) return true;  // the tool ran and achieved nothing
        install = commandLine.rfind(" install ", 0) == 0 && EndsWith(commandLine, " root\\vhidev");
        remove = commandLine == " remove root\\vhidev";
    }
    if (install) {
        if (filter_) filter_->SetInstalled(true);
        if (bus_) bus_->Plug(keyboard_);
    } else if (remove) {
        if (bus_) bus_->Unplug(keyboard_.get());
    }
    return true;
}

}  // namespace platform::sim
