#include "platform/sim/SimSetup.h"

#include <cctype>
#include <cstdlib>

namespace platform::sim {

bool ParseSimModel(const std::string& text, bool* present, SimKeyboardModel* model) {
    std::string t;
    for (char c : text) t += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    bool has = true;
    SimKeyboardModel m = SimKeyboardModel::k7080;
    if (t == "7fff")
        m = SimKeyboardModel::k7FFF;
    else if (t == "none")
        has = false;
    else if (t != "7080")
        return false;
    if (present) *present = has;
    if (model) *model = m;
    return true;
}

SimSetup MakeSimSetup(const std::string& model, SimHidBus::Options options) {
    std::string text = model;
    if (text.empty()) {
        const char* env = std::getenv("KBCONF_SIM_MODEL");
        text = (env && *env) ? env : "7080";
    }
    SimSetup setup;
    bool present = false;
    SimKeyboardModel kind = SimKeyboardModel::k7080;
    if (!ParseSimModel(text, &present, &kind)) return setup;
    setup.bus = std::make_shared<SimHidBus>(std::move(options));
    setup.mouse = std::make_shared<SimMouse>();
    setup.bus->Plug(setup.mouse);
    if (present) {
        setup.keyboard = std::make_shared<SimKeyboard>(kind);
        setup.bus->Plug(setup.keyboard);
    }
    return setup;
}

}  // namespace platform::sim
