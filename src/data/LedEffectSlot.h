#pragma once

#include <cstdint>

// Settings of one main lighting effect. The byte order is the order in which
// the lighting commands copy the fields into a packet.
struct LedEffectSlot {
    std::uint8_t brightness = 5;  // 0..5
    std::uint8_t speed = 0;       // 0..4
    std::uint8_t deriction = 0;   // 0..1, the file's spelling
    std::uint8_t selection = 0;   // colour selection code, kept as read

    friend bool operator==(const LedEffectSlot&, const LedEffectSlot&) = default;
};
static_assert(sizeof(LedEffectSlot) == 4, "four packet bytes");
