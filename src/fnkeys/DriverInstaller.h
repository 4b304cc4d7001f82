#pragma once
// Installs the two drivers when the virtual keyboard cannot be opened: the
// device console tool from the driver folder removes any old virtual device
// node and installs the package again, then the keyboard is looked for once
// more.

#include <functional>
#include <string>

#include "platform/FileProbe.h"
#include "platform/ProcessRunner.h"

class VHidev;

class DriverInstaller {
public:
    using Probe = std::function<platform::FileKind(const std::string&)>;

    static constexpr const char* kTool = "devcon.exe";
    static constexpr const char* kPreferredPackage = "vhidflt.inf";
    static constexpr const char* kFallbackPackage = "vhidev.inf";
    static constexpr const char* kRemoveCommand = " remove root\\vhidev";

    // Defaults: the process's runner, info and the file system.
    DriverInstaller(VHidev& vhid, platform::ProcessRunner* runner = nullptr,
                    const platform::ProcessInfo* info = nullptr, Probe probe = {});

    // True when the virtual keyboard is open afterwards. Empty folder: the
    // default driver folder.
    bool EnsureVirtualKeyboard(const std::string& driverFolder = {});
    // False at once for an empty program path.
    bool RunAndWait(const std::string& program, const std::string& commandLine);

    // <executable folder>driver<sep>x64 on a 64-bit system, ...x86 otherwise.
    std::string DefaultDriverFolder() const;
    static std::string InstallCommand(const std::string& package);

private:
    VHidev& vhid_;
    platform::ProcessRunner& runner_;
    platform::ProcessInfo info_;
    Probe probe_;
};

// The start-up's use: the process's VHidev, runner and folder.
bool EnsureVirtualKeyboard(const std::string& driverFolder = {});
bool RunAndWait(const std::string& program, const std::string& commandLine);
