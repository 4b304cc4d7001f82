#include "data/KeyNameTable.h"

#include <set>
#include <string>

#include <gtest/gtest.h>

namespace {

TEST(KeyNameTable, Lookups) {
    const struct {
        std::uint32_t code;
        const char* name;
    } cases[] = {
        {0x00070029, "Escape"},
        {0x000C00CD, "Play Pause"},
        {0x00010003, "Mouse Right"},
        {0x000C00E9, "Volume Up"},
        {0x00070080, "Volume Up"},
        {0x00070000, "No Event"},
        {0x000700E8, ""},
        {0x00000000, ""},
        {0x00070031, "\\"},
        {0x00070035, "`"},
        {0x00070085, "Keypad , "},
        {0x00070088, "Intl'2"},
        {0x00070089, "Int'l 2"},
        {0x00070081, "Volume Dn"},
        {0x000C00EA, "Volume Down"},
        {0x00070028, "Return"},
        {0x0007009E, "Return"},
        {0x000700E7, "Right GUI"},
        {0x00010081, "System Power"},
        {0x000C022A, "WWW Favorites"},
        {0x00070004, "A"},
        {0x00170029, ""},
        {0x0007FFFF, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_STREQ(KeyNameTable::FindKeyName(c.code).name, c.name);
        EXPECT_STREQ(KeyNameTable::FindKey(c.code & 0xFFFF, c.code >> 16).name, c.name);
    }
    EXPECT_EQ(&KeyNameTable::FindKeyName(0x000700E8), &KeyNameTable::Empty());
    EXPECT_EQ(KeyNameTable::FindKeyName(0x000C00CD).Code(), 0x000C00CDu);
}

TEST(KeyNameTable, OrderAndShape) {
    const auto entries = KeyNameTable::Entries();
    ASSERT_EQ(entries.size(), 205u);
    EXPECT_STREQ(entries.front().name, "System Power");
    EXPECT_STREQ(entries[3].name, "No Event");
    EXPECT_STREQ(entries[3 + 172].name, "Right GUI");
    EXPECT_STREQ(entries[176].name, "Scan Next Track");
    EXPECT_STREQ(entries.back().name, "Mouse Right Side");

    // Keyboard page in usage order without gaps up to 0xA4, then the modifiers.
    for (int u = 0; u <= 0xA4; ++u) EXPECT_EQ(entries[3 + u].usage, u);
    // Only the names the table lists twice are shared across pages.
    std::set<std::string> seen, repeated;
    for (const KeyNameEntry& e : entries)
        if (!seen.insert(e.name).second) repeated.insert(e.name);
    EXPECT_EQ(repeated, (std::set<std::string>{"Return", "Stop", "Mute", "Volume Up"}));
    // Every code is unique, so first-match never hides an entry.
    std::set<std::uint32_t> codes;
    for (const KeyNameEntry& e : entries) codes.insert(e.Code());
    EXPECT_EQ(codes.size(), 205u);
}

}  // namespace
