#pragma once

#include <cstdint>

// Settings of one side-light effect: two bytes, of which only the high nibble
// of the first (the level) is used. The other bits are kept as they are.
struct SideLightSlot {
    std::uint8_t first = 0;
    std::uint8_t second = 0;

    std::uint8_t Brightness() const { return static_cast<std::uint8_t>(first >> 4); }
    void SetBrightness(std::uint8_t level) {
        first = static_cast<std::uint8_t>(((level & 0x0F) << 4) | (first & 0x0F));
    }

    friend bool operator==(const SideLightSlot&, const SideLightSlot&) = default;
};
static_assert(sizeof(SideLightSlot) == 2, "two bytes per side slot");
