#pragma once
// Golden scripts for the key-action service: timed filter events in, virtual
// keyboard reports out, on emulated time.
//
// Events, one per line: "<ms> down <page>:<usage>", "<ms> up <page>:<usage>"
// (hex), "<ms> stop" (StopAndRelease: table change, keyboard lost), and a
// final "<ms> end" after which the service is destroyed (window closed).
// Expected reports: "<ms> <report>" as SimVirtualKeyboard::Report::Describe
// writes them ("kbd 05", "kbd -", "cons 0192", ...).

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

struct Rig {
    platform::sim::SimClock clock;
    platform::sim::SimHidBus bus{platform::sim::SimHidBus::Options{false, {}, {}}};
    std::shared_ptr<platform::sim::SimVirtualKeyboard> keyboard =
        std::make_shared<platform::sim::SimVirtualKeyboard>(clock);
    VHidev vhid{&bus};
    KeyAssignmentTable table;
    std::unique_ptr<KeyActionService> service;

    Rig();
    // Loads the assignments (record.xml text) and creates the service.
    void Start(const std::string& records);
    // Runs the events; returns the reports, one "<ms> <report>" per line.
    std::string Run(const std::string& events);
    std::string Reports() const;
};

// Trims each line and drops empty ones, so expected texts can be indented.
std::string Normalize(const std::string& text);

}  // namespace script
