#pragma once

#include <cstdint>
#include <span>

#include "data/KeyNameEntry.h"

// The constant English names of key codes. Safe from any thread.
class KeyNameTable {
public:
    static constexpr int kEntryCount = 205;

    // First entry in table order whose page is the code's upper 16 bits and whose
    // usage is its lower 16 bits; the empty entry (0, 0, "") when none matches.
    static const KeyNameEntry& FindKeyName(std::uint32_t code);
    static const KeyNameEntry& FindKey(std::uint16_t usage, std::uint16_t page);

    // All entries in table order (without the empty entry).
    static std::span<const KeyNameEntry> Entries();
    static const KeyNameEntry& Empty();
};
