#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/MacroStep.h"

// The new function of one physical key, carried out on the PC.
struct KeyAssignment {
    enum Type : std::int32_t { Macro = 0, SingleKey = 1, MediaKey = 2, Function = 3 };

    std::int32_t code = 0;    // the physical key: (usage page << 16) | usage id
    std::int32_t type = 0;    // see Type
    std::int32_t value = 0;   // not stored in the file; 0 after loading
    std::int32_t play = 0;    // playback mode
    std::int32_t repeat = 0;  // macro repeat count, 1 for the other kinds
    std::string name;         // display name of the physical key
    std::string group;        // display name of what the key now does
    std::vector<MacroStep> steps;

    friend bool operator==(const KeyAssignment&, const KeyAssignment&) = default;
};
