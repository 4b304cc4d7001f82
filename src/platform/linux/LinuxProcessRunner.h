#pragma once
// Starting the installer tool on Linux: the command line is split into
// arguments (blanks separate, double quotes group), the program is spawned
// without inherited descriptors, and waited for.

#include <string>
#include <vector>

#include "platform/ProcessRunner.h"

namespace platform::linuxfk {

class LinuxProcessRunner final : public ProcessRunner {
public:
    bool RunAndWait(const std::string& program, const std::string& commandLine) override;
    static std::vector<std::string> SplitCommandLine(const std::string& commandLine);
};

}  // namespace platform::linuxfk
