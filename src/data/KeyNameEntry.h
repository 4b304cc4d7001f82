#pragma once

#include <cstdint>

// One built-in key name: a HID usage on its usage page.
struct KeyNameEntry {
    std::uint16_t usage = 0;
    std::uint16_t page = 0;
    const char* name = "";

    // The key code in the form used throughout: (page << 16) | usage.
    constexpr std::uint32_t Code() const { return (std::uint32_t{page} << 16) | usage; }
};
