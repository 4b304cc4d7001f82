#pragma once
// Carries out a parsed kbconf-cli command line: the same data tables, packets
// and pacing as the lighting panel, against the emulated or the real keyboard.

#include <ostream>
#include <string>

#include "cli/CliCommand.h"

namespace cli {

enum CliExit {
    kExitOk = 0,
    kExitUsage = 1,
    kExitNoKeyboard = 2,
    kExitFiles = 3,
    kExitDevice = 4,  // the keyboard did not take or answer a packet
};

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err);
// argv in, exit code out (parses, then RunCli).
int CliMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// The folder of the running executable (the application folder the data files
// live in by default); empty when it cannot be told.
std::string ExecutableFolder();

}  // namespace cli
