#pragma once
// The parsed command line of kbconf-cli.

#include <optional>
#include <string>
#include <vector>

namespace cli {

struct CliCommand {
    enum Kind { kList, kVersion, kStatus, kEffect, kSide, kReset };
    Kind kind = kStatus;
    int index = -1;                 // effect or side index
    std::optional<int> speed;       // effect
    std::optional<int> brightness;  // effect
    std::optional<int> level;       // side
};

struct CliOptions {
    bool sim = false;
    std::string simModel;  // "" = $KBCONF_SIM_MODEL or 7080
    std::string home;      // "" = the executable's folder
    bool verbose = false;  // transport log lines to stderr
    std::vector<CliCommand> commands;
};

// Parses argv[1..]. False with a message in *error for anything it does not
// take, including values the lighting panel does not offer.
bool ParseCliArguments(const std::vector<std::string>& args, CliOptions* options, std::string* error);

extern const char* const kCliUsage;

}  // namespace cli
