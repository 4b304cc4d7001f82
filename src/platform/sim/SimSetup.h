#pragma once
// The emulated hardware of a process (tests, the demo, kbconf-cli --sim): a bus
// with a mouse and, unless the model is "none", one keyboard plugged in.

#include <memory>
#include <string>

#include "platform/sim/SimHidBus.h"
#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimMouse.h"

namespace platform::sim {

struct SimSetup {
    std::shared_ptr<SimHidBus> bus;
    std::shared_ptr<SimKeyboard> keyboard;  // null for "none"
    std::shared_ptr<SimMouse> mouse;
};

// "7080", "7fff" (any case) or "none"; false for anything else. *present is
// false for "none".
bool ParseSimModel(const std::string& text, bool* present, SimKeyboardModel* model);

// model empty: $KBCONF_SIM_MODEL, default "7080". Null bus when the model text
// is not one of the above.
SimSetup MakeSimSetup(const std::string& model = {}, SimHidBus::Options options = {});

}  // namespace platform::sim
