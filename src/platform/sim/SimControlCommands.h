#pragma once
// The emulator's control language, one command per line and one answer line
// each, as the control socket speaks it:
//
//   press PAGE:USAGE      a physical key down (hex, e.g. "7:4"; pages 1, 7, c)
//   release PAGE:USAGE    and up again
//   unplug                the keyboard leaves the bus
//   plug [7080|7fff]      it comes back (default: the one that left); naming
//                         the other model while one is plugged switches models
//   state                 what the emulator holds now, on one line
//
// Answers: "ok", "ok <result>" or "error: <why>". A line that is not a valid
// command changes nothing. The state result is a fixed sequence of fields:
//
//   model=7080 plugged=yes version=1.0 keys=7:4,c:e9 effect=3 brightness=2
//   speed=4 flags=1 selection=0 side=5 level=7
//
// model: 7080, 7fff or none (never a keyboard); plugged: yes or no; version:
// major.minor in decimal as the program shows it; keys: what the virtual
// keyboard holds as hex PAGE:USAGE in ascending order (mouse button n as 5:n,
// the program's code for it), "-" when nothing; effect (mode byte), brightness, speed, flags and
// selection: the last effect or start-up slot packet's bytes as the firmware
// keeps them; side and level: the side light effect and level. Numbers other
// than keys are decimal; without a keyboard they read "-".

#include <string>
#include <string_view>

#include "platform/sim/SimControlState.h"

namespace platform::sim {

class SimControl;

class SimControlCommands {
public:
    // Longer lines are refused whole.
    static constexpr size_t kMaxLine = 256;

    explicit SimControlCommands(SimControl& control) : control_(control) {}

    // One line without its newline (a trailing "\r" is ignored) in, the answer
    // without a newline out.
    std::string Run(std::string_view line);

    static std::string StateText(const SimControlState& state);

private:
    SimControl& control_;
};

}  // namespace platform::sim
