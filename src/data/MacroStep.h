#pragma once

#include <cstdint>
#include <string>

// One key press or release with the time to wait that belongs to it. Shared by
// macro groups, key assignments, the dialog and playback.
struct MacroStep {
    std::int32_t code = 0;   // (usage page << 16) | usage id
    std::int32_t state = 0;  // 1 key down, 0 key up
    std::int32_t delay = 0;  // milliseconds
    std::string name;        // display name of the key (UTF-8)

    friend bool operator==(const MacroStep&, const MacroStep&) = default;
};
