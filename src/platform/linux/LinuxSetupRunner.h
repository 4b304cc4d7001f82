#pragma once
// The driver installation on Linux. The installer asks for the device console
// tool of its driver folder twice: to remove the old virtual device node and to
// install the package. Here the virtual keyboard belongs to kbconf-helper, so
// both come down to one privileged step, run through pkexec (the user is asked
// once): kbconf-setup stops the helper, makes udev apply the keyboard rule and
// enables and starts the helper's socket. The removal is therefore folded into
// the installation and starts nothing. Any other program runs as it is.

#include <string>

#include "platform/linux/LinuxProcessRunner.h"

namespace platform::linuxfk {

class LinuxSetupRunner final : public ProcessRunner {
public:
    static constexpr const char* kTool = "devcon.exe";
    static constexpr const char* kPkexec = "/usr/bin/pkexec";
    static constexpr const char* kSetup = "/usr/libexec/kbconf/kbconf-setup";

    explicit LinuxSetupRunner(std::string pkexec = kPkexec, std::string setup = kSetup)
        : pkexec_(std::move(pkexec)), setup_(std::move(setup)) {}

    bool RunAndWait(const std::string& program, const std::string& commandLine) override;

private:
    std::string pkexec_;
    std::string setup_;
    LinuxProcessRunner runner_;
};

}  // namespace platform::linuxfk
