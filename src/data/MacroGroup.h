#pragma once

#include <string>
#include <vector>

#include "data/MacroStep.h"

// A named macro: an ordered list of key steps.
struct MacroGroup {
    std::string name;
    std::vector<MacroStep> steps;

    friend bool operator==(const MacroGroup&, const MacroGroup&) = default;
};
