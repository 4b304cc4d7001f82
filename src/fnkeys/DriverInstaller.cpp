#include "fnkeys/DriverInstaller.h"

#include "fnkeys/VHidev.h"

DriverInstaller::DriverInstaller(VHidev& vhid, platform::ProcessRunner* runner, const platform::ProcessInfo* info,
                                 Probe probe)
    : vhid_(vhid),
      runner_(runner ? *runner : platform::CurrentProcessRunner()),
      info_(info ? *info : platform::CurrentProcessInfo()),
      probe_(probe ? std::move(probe) : Probe(platform::ProbeFile)) {}

std::string DriverInstaller::DefaultDriverFolder() const {
    const auto cut = info_.modulePath.rfind(info_.separator);
    const std::string folder = cut == std::string::npos ? std::string() : info_.modulePath.substr(0, cut + 1);
    // The packages follow the system, not the process: a native 64-bit build
    // needs the x64 drivers just as a 32-bit one on a 64-bit system does.
    const bool system64 = info_.emulated32 || info_.native64;
    return folder + "driver" + info_.separator + (system64 ? "x64" : "x86");
}

std::string DriverInstaller::InstallCommand(const std::string& package) {
    return " install \"" + package + "\" root\\vhidev";
}

bool DriverInstaller::RunAndWait(const std::string& program, const std::string& commandLine) {
    if (program.empty()) return false;
    return runner_.RunAndWait(program, commandLine);
}

bool DriverInstaller::EnsureVirtualKeyboard(const std::string& driverFolder) {
    vhid_.CloseDevice();
    if (vhid_.OpenVirtualKeyboard()) return true;

    const std::string folder = driverFolder.empty() ? DefaultDriverFolder() : driverFolder;
    const std::string sep(1, info_.separator);
    const std::string tool = folder + sep + kTool;
    RunAndWait(tool, kRemoveCommand);

    std::string package = folder + sep + kPreferredPackage;
    if (probe_(package) != platform::FileKind::kFile) package = folder + sep + kFallbackPackage;
    if (!RunAndWait(tool, InstallCommand(package))) return false;

    vhid_.CloseDevice();
    return vhid_.OpenVirtualKeyboard();
}

bool EnsureVirtualKeyboard(const std::string& driverFolder) {
    return DriverInstaller(VHidev::Instance()).EnsureVirtualKeyboard(driverFolder);
}

bool RunAndWait(const std::string& program, const std::string& commandLine) {
    return DriverInstaller(VHidev::Instance()).RunAndWait(program, commandLine);
}
