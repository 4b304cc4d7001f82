#pragma once

#include <cstdint>

// The key-assignment dialog's last choices, kept in macro.xml beside the groups.
struct MacroRecordConfig {
    std::int32_t type = 0;       // dialog page: 0 macro, 1 single key, 2 media key, 3 function
    std::int32_t repeat = 1;     // macro repeat count
    std::int32_t delay = 10;     // fixed delay in ms, used while mode is 1
    std::int32_t mode = 0;       // 0 recorded delays, 1 fixed delay, 2 no delay
    std::int32_t media = 0;      // index into the settings file's funkey list
    std::int32_t function = 0;   // index into the settings file's combkey list
    std::int32_t skcode = 0;     // chosen single key, (page << 16) | usage
    std::int32_t group = 0;      // selected macro group, -1 for none
    std::int32_t playValue = 0;  // value of the chosen play-mode entry; not stored
    std::int32_t play = 0;       // index of the chosen play-mode entry
    std::int32_t recording = 0;  // set while the dialog records; not stored

    friend bool operator==(const MacroRecordConfig&, const MacroRecordConfig&) = default;
};
