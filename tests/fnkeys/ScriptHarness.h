#pragma once
// Golden scripts for the key-action service: timed filter events in, virtual
// keyboard reports out, on emulated time.
//
// Events, one per line (blank lines are skipped):
//   "<ms> down <page>:<usage>", "<ms> up <page>:<usage>"   (hex)
//   "<ms> stop"          StopAndRelease (keyboard lost)
//   "<ms> table <name>"  the assignment table becomes the named one, then
//                        StopAndRelease, as the window does on every change
//   "<ms> end"           the service is destroyed (window closed); last line
// Times never go back. A line that does not parse is an error: the rest of
// the script is not run, and a rig that still holds errors when it goes
// fails the test (TakeErrors() is for tests of bad lines).
// Expected reports: "<ms> <report>" as SimVirtualKeyboard::Report::Describe
// writes them ("kbd 05", "kbd -", "cons 0192", ...).

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/KeyAssignmentTable.h"
#include "fnkeys/KeyActionService.h"
#include "fnkeys/VHidev.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimHidBus.h"
#include "platform/sim/SimVirtualKeyboard.h"

namespace script {

// Play modes by name, for building assignments in scripts.
enum class Play : int {
    kRemap = KeyActionService::kPlayRemap,
    kTimes = KeyActionService::kPlayTimes,
    kWhileHeld = KeyActionService::kPlayWhileHeld,
    kToggle = KeyActionService::kPlayToggle,
    kUntilOtherKey = KeyActionService::kPlayUntilOtherKey,
    kUntilAnyKey = KeyActionService::kPlayUntilAnyKey,
    kUntilReplaced = KeyActionService::kPlayUntilReplaced,
};

struct Step {
    int code, state, delay;
};
// record.xml text for one assignment. `play` may also be a raw value for modes
// the service does not know.
std::string Record(int code, Play play, int repeat, const std::vector<Step>& steps);
std::string Record(int code, int rawPlay, int repeat, const std::vector<Step>& steps);

struct Rig {
    platform::sim::SimClock clock;
    platform::sim::SimHidBus bus{platform::sim::SimHidBus::Options{false, {}, {}}};
    std::shared_ptr<platform::sim::SimVirtualKeyboard> keyboard =
        std::make_shared<platform::sim::SimVirtualKeyboard>(clock);
    VHidev vhid{&bus};
    KeyAssignmentTable table;
    std::unique_ptr<KeyActionService> service;
    // Tables a script may switch to with "table <name>" (record.xml text).
    std::map<std::string, std::string> tables;

    Rig();
    ~Rig();
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    // Loads the assignments (record.xml text) and creates the service.
    void Start(const std::string& records);
    // Runs the events; returns the reports, one "<ms> <report>" per line.
    std::string Run(const std::string& events);
    std::string Reports() const;
    // The parse errors so far ("line N: <line>: <why>"); they count as seen.
    std::vector<std::string> TakeErrors();

private:
    bool RunLine(const std::string& line, std::string* why);

    std::vector<std::string> errors_;
    int64_t lastMs_ = 0;
    bool ended_ = false;
    int lineNo_ = 0;
};

// Trims each line and drops empty ones, so expected texts can be indented.
std::string Normalize(const std::string& text);

}  // namespace script
