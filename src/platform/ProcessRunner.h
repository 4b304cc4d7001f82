#pragma once
// Starting a program and waiting for it, for driver installation; and the few
// facts about the running program that the driver folder is derived from.

#include <string>

namespace platform {

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Starts `program` with `commandLine` (shown normally, no inherited
    // handles, current directory and environment) and waits without a limit
    // for it to end. True when it was started; its exit code is not looked at.
    virtual bool RunAndWait(const std::string& program, const std::string& commandLine) = 0;

    ProcessRunner() = default;
    ProcessRunner(const ProcessRunner&) = delete;
    ProcessRunner& operator=(const ProcessRunner&) = delete;
};

// Until one is set, a runner that starts nothing (always false).
ProcessRunner& CurrentProcessRunner();
ProcessRunner* SetCurrentProcessRunner(ProcessRunner* runner);

struct ProcessInfo {
    std::string modulePath;   // full path of the executable
    char separator = '\\';    // between the folders of modulePath
    bool emulated32 = false;  // a 32-bit process on a 64-bit system
    bool native64 = false;    // a 64-bit process
};

// Until set, an empty module path.
ProcessInfo CurrentProcessInfo();
void SetCurrentProcessInfo(const ProcessInfo& info);

// The facts of the program actually running, as the system tells them (the
// platform folder of this build provides it); an empty module path when they
// cannot be read.
ProcessInfo ThisProcessInfo();

}  // namespace platform
