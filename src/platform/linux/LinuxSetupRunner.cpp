#include "platform/linux/LinuxSetupRunner.h"

namespace platform::linuxfk {

bool LinuxSetupRunner::RunAndWait(const std::string& program, const std::string& commandLine) {
    const std::string tool = kTool;
    const bool isTool =
        program.size() >= tool.size() && program.compare(program.size() - tool.size(), tool.size(), tool) == 0;
    if (!isTool) return runner_.RunAndWait(program, commandLine);
    const auto args = LinuxProcessRunner::SplitCommandLine(commandLine);
    if (!args.empty() && args[0] == "remove") return true;  // part of the installation below
    if (!args.empty() && args[0] == "install") return runner_.RunAndWait(pkexec_, " " + setup_ + " install");
    return false;
}

}  // namespace platform::linuxfk
