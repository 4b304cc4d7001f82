#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "ScriptHarness.h"

namespace {

using script::Play;
using script::Record;
using script::Step;

constexpr int A = 0x70004, B = 0x70005, C = 0x70006, D = 0x70007, E = 0x70008, F = 0x70009;
const std::vector<Step> kTapB = {{B, 1, 10}, {B, 0, 10}};
const std::vector<Step> kTapD = {{D, 1, 5}, {D, 0, 5}};

struct Script {
    const char* name;
    std::string records;
    const char* events;
    const char* expected;
    // Tables the events may switch to ("<ms> table <name>").
    std::map<std::string, std::string> tables = {};
};

const std::string kAUntilOtherCTimes = Record(A, Play::kUntilOtherKey, 1, kTapB) + Record(C, Play::kTimes, 1, kTapD);
const std::string kAUntilAnyCTimes = Record(A, Play::kUntilAnyKey, 1, kTapB) + Record(C, Play::kTimes, 1, kTapD);
const std::string kERemapF = Record(E, Play::kRemap, 1, {{F, 0, 0}});

const Script kScripts[] = {
    {"remap to a key", Record(A, Play::kRemap, 1, {{B, 0, 0}}), "0 down 7:4\n 30 up 7:4\n 40 end",
     "0 kbd 05\n 30 kbd -"},
    {"remap to a consumer usage", Record(A, Play::kRemap, 1, {{0xC0192, 0, 0}}), "0 down 7:4\n 20 up 7:4\n 30 end",
     "0 cons 0192\n 20 cons 0000"},
    {"remap to a system usage", Record(A, Play::kRemap, 1, {{0x10082, 0, 0}}), "0 down 7:4\n 20 up 7:4\n 30 end",
     "0 sys 0082\n 20 sys 0000"},
    {"remap without steps does nothing", Record(A, Play::kRemap, 1, {}), "0 down 7:4\n 20 up 7:4\n 30 end", ""},
    {"unassigned key does nothing", Record(A, Play::kRemap, 1, {{B, 0, 0}}), "0 down 7:6\n 20 up 7:6\n 30 end", ""},
    {"times: three passes, then one release per pressed step", Record(A, Play::kTimes, 3, kTapB),
     "0 down 7:4\n 5 up 7:4\n 100 end",
     R"(0 kbd 05
        10 kbd -
        20 kbd 05
        30 kbd -
        40 kbd 05
        50 kbd -
        60 kbd -)"},
    {"key combination: presses, then releases, then the end's releases",
     Record(A, Play::kTimes, 1, {{0x700E0, 1, 1}, {C, 1, 11}, {0x700E0, 0, 0}, {C, 0, 10}}),
     "0 down 7:4\n 3 up 7:4\n 50 end",
     R"(0 kbd e0
        1 kbd 06 e0
        12 kbd 06
        13 kbd -
        23 kbd -
        23 kbd -)"},
    {"remap to a mouse button", Record(A, Play::kRemap, 1, {{0x50000, 0, 0}}), "0 down 7:4\n 20 up 7:4\n 30 end",
     "0 mouse 01 00 00 00\n 20 mouse 00 00 00 00"},
    {"times: repeat 0 plays nothing", Record(A, Play::kTimes, 0, kTapB), "0 down 7:4\n 5 up 7:4\n 50 end", ""},
    {"times: delay 0 plays 1 ms apart", Record(A, Play::kTimes, 2, {{B, 1, 0}, {B, 0, 0}}),
     "0 down 7:4\n 1 up 7:4\n 50 end", "0 kbd 05\n 1 kbd -\n 2 kbd 05\n 3 kbd -\n 4 kbd -"},
    {"while held: release stops inside the step's wait", Record(A, Play::kWhileHeld, 1, kTapB),
     "0 down 7:4\n 35 up 7:4\n 50 end", "0 kbd 05\n 10 kbd -\n 20 kbd 05\n 30 kbd -\n 35 kbd -"},
    {"toggle: second press stops, third starts again, close stops", Record(A, Play::kToggle, 1, kTapB),
     "0 down 7:4\n 5 up 7:4\n 25 down 7:4\n 30 up 7:4\n 50 down 7:4\n 51 up 7:4\n 75 end",
     R"(0 kbd 05
        10 kbd -
        20 kbd 05
        25 kbd -
        50 kbd 05
        60 kbd -
        70 kbd 05
        75 kbd -)"},
    {"toggle: another playback replaces it, a remap plays alongside",
     Record(A, Play::kToggle, 1, kTapB) + Record(C, Play::kTimes, 1, kTapD) + Record(E, Play::kRemap, 1, {{F, 0, 0}}),
     "0 down 7:4\n 5 up 7:4\n 22 down 7:8\n 24 up 7:8\n 25 down 7:6\n 26 up 7:6\n 60 end",
     R"(0 kbd 05
        10 kbd -
        20 kbd 05
        22 kbd 05 09
        24 kbd 05
        25 kbd -
        25 kbd 07
        30 kbd -
        35 kbd -)"},
    {"until another key: same key ignored, other key only stops",
     Record(A, Play::kUntilOtherKey, 1, kTapB) + Record(C, Play::kTimes, 1, kTapD),
     "0 down 7:4\n 5 up 7:4\n 15 down 7:4\n 16 up 7:4\n 25 down 7:6\n 26 up 7:6\n 40 down 7:6\n 41 up 7:6\n 70 end",
     R"(0 kbd 05
        10 kbd -
        20 kbd 05
        25 kbd -
        40 kbd 07
        45 kbd -
        50 kbd -)"},
    {"until any key: the same key stops it and does nothing else",
     Record(A, Play::kUntilAnyKey, 1, kTapB) + Record(C, Play::kTimes, 1, kTapD),
     "0 down 7:4\n 5 up 7:4\n 15 down 7:4\n 16 up 7:4\n 30 down 7:6\n 31 up 7:6\n 60 end",
     R"(0 kbd 05
        10 kbd -
        15 kbd -
        30 kbd 07
        35 kbd -
        40 kbd -)"},
    {"until replaced: plays on until a new playback", Record(A, Play::kUntilReplaced, 1, kTapB),
     "0 down 7:4\n 5 up 7:4\n 25 down 7:4\n 26 up 7:4\n 50 end",
     R"(0 kbd 05
        10 kbd -
        20 kbd 05
        25 kbd -
        25 kbd 05
        35 kbd -
        45 kbd 05
        50 kbd -)"},
    {"unknown play mode does nothing", Record(A, 7, 1, kTapB), "0 down 7:4\n 5 up 7:4\n 50 end", ""},
    {"closing the window releases every key a macro holds",
     Record(A, Play::kWhileHeld, 1, {{B, 1, 10}, {C, 1, 10}, {B, 0, 10}, {C, 0, 10}}), "0 down 7:4\n 15 end",
     "0 kbd 05\n 10 kbd 05 06\n 15 kbd 06\n 15 kbd -"},
    {"a stop releases a held remap and the playback",
     Record(A, Play::kRemap, 1, {{B, 0, 0}}) + Record(C, Play::kToggle, 1, kTapD),
     "0 down 7:4\n 2 down 7:6\n 3 up 7:6\n 4 stop\n 20 up 7:4\n 30 end",
     // The release after the stop still sends the remap's release (harmless).
     R"(0 kbd 05
        2 kbd 05 07
        4 kbd 05
        4 kbd -
        20 kbd -)"},
    // After a stop nothing plays, so the next press is a press like any other.
    {"until another key: a table change stops it and the next key plays",
     kAUntilOtherCTimes,
     "0 down 7:4\n 1 up 7:4\n 12 table edited\n 20 down 7:6\n 21 up 7:6\n 40 end",
     R"(0 kbd 05
        10 kbd -
        12 kbd -
        20 kbd 07
        25 kbd -
        30 kbd -)",
     {{"edited", kAUntilOtherCTimes + kERemapF}}},
    {"until another key: after a stop its own key starts it again", kAUntilOtherCTimes,
     "0 down 7:4\n 1 up 7:4\n 12 stop\n 20 down 7:4\n 21 up 7:4\n 35 end",
     R"(0 kbd 05
        10 kbd -
        12 kbd -
        20 kbd 05
        30 kbd -
        35 kbd -)"},
    {"until any key: a stop ends it and the next key plays", kAUntilAnyCTimes,
     "0 down 7:4\n 1 up 7:4\n 12 stop\n 20 down 7:6\n 21 up 7:6\n 40 end",
     R"(0 kbd 05
        10 kbd -
        12 kbd -
        20 kbd 07
        25 kbd -
        30 kbd -)"},
    {"until any key: a table change ends it and the next key plays",
     kAUntilAnyCTimes,
     "0 down 7:4\n 1 up 7:4\n 12 table edited\n 20 down 7:8\n 21 up 7:8\n 40 end",
     "0 kbd 05\n 10 kbd -\n 12 kbd -\n 20 kbd 09\n 21 kbd -",
     {{"edited", kAUntilAnyCTimes + kERemapF}}},
    // The change lets go of B at once; the release of A then follows A's new
    // assignment, which only repeats a release (of C, never pressed).
    {"table change while a remapped key is held",
     Record(A, Play::kRemap, 1, {{B, 0, 0}}),
     "0 down 7:4\n 10 table a-to-c\n 20 up 7:4\n 30 down 7:4\n 40 up 7:4\n 50 end",
     "0 kbd 05\n 10 kbd -\n 20 kbd -\n 30 kbd 06\n 40 kbd -",
     {{"a-to-c", Record(A, Play::kRemap, 1, {{C, 0, 0}})}}},
    {"table change while a remapped key is held and a macro plays",
     Record(A, Play::kRemap, 1, {{B, 0, 0}}) + Record(C, Play::kToggle, 1, kTapD),
     "0 down 7:4\n 2 down 7:6\n 3 up 7:6\n 9 table none\n 20 up 7:4\n 25 down 7:6\n 30 end",
     "0 kbd 05\n 2 kbd 05 07\n 7 kbd 05\n 9 kbd 05\n 9 kbd -",
     {{"none", ""}}},
};

// Test listings show the script's name rather than its bytes.
void PrintTo(const Script& s, std::ostream* os) { *os << s.name; }

class Scripts : public ::testing::TestWithParam<Script> {};

TEST_P(Scripts, ProduceTheExpectedReportsAndLeaveNothingPressed) {
    const Script& s = GetParam();
    script::Rig rig;
    rig.tables = s.tables;
    rig.Start(s.records);
    const std::string reports = rig.Run(s.events);
    EXPECT_EQ(script::Normalize(reports), script::Normalize(s.expected)) << s.name;
    EXPECT_FALSE(rig.keyboard->AnyPressed()) << s.name;
    EXPECT_EQ(rig.keyboard->BadRecords(), 0);
}

// A script that does not say what it means must not pass by doing less.
TEST(ScriptHarness, RefusesEveryLineItCannotParse) {
    const char* bad[] = {
        "0 press 7:4",    "0 down",          "0 down 7-4",   "0 down 7:zz",     "0 down 100:4",
        "0 down 7:10000", "x down 7:4",      "-1 down 7:4",  "0 down 7:4 7",    "0 stop now",
        "0 table",        "0 table missing", "0 up 7:4\n -", "5 stop\n 4 stop", "0 end\n 1 down 7:4",
    };
    for (const char* events : bad) {
        script::Rig rig;
        rig.Start(Record(A, Play::kRemap, 1, {{B, 0, 0}}));
        rig.Run(events);
        EXPECT_EQ(rig.TakeErrors().size(), 1u) << events;
    }
    script::Rig rig;
    rig.Start("");
    rig.Run("\n  \n0 down 7:4\n\n1 up 07:0004\n 2 end");
    EXPECT_TRUE(rig.TakeErrors().empty());
}

INSTANTIATE_TEST_SUITE_P(KeyActions, Scripts, ::testing::ValuesIn(kScripts),
                         [](const ::testing::TestParamInfo<Script>& info) {
                             std::string n;
                             for (const char* p = info.param.name; *p; ++p)
                                 n += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
                             return n;
                         });

}  // namespace
