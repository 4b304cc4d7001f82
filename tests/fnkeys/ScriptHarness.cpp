#include "ScriptHarness.h"

#include <sstream>

namespace script {

Rig::Rig() {
    bus.Plug(keyboard);
    vhid.SetLogSink([](const std::string&) {});
    vhid.OpenVirtualKeyboard();
}

void Rig::Start(const std::string& records) {
    table.LoadFromBuffer(records);
    service = std::make_unique<KeyActionService>(vhid, table, clock);
}

std::string Rig::Run(const std::string& events) {
    std::istringstream in(events);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream l(line);
        int64_t t = 0;
        std::string op, key;
        if (!(l >> t >> op)) continue;
        clock.AdvanceTo(t);
        if (op == "down" || op == "up") {
            l >> key;
            const auto colon = key.find(':');
            const auto page = static_cast<uint8_t>(std::stoul(key.substr(0, colon), nullptr, 16));
            const auto usage = static_cast<uint16_t>(std::stoul(key.substr(colon + 1), nullptr, 16));
            service->OnFilterKey(page, usage, op == "down");
        } else if (op == "stop") {
            service->StopAndRelease();
        } else if (op == "end") {
            service.reset();
        }
        clock.WaitIdle();
    }
    return Reports();
}

std::string Rig::Reports() const {
    std::string out;
    for (const auto& r : keyboard->Reports()) out += std::to_string(r.us / 1000) + " " + r.Describe() + "\n";
    return out;
}

std::string Normalize(const std::string& text) {
    std::istringstream in(text);
    std::string line, out;
    while (std::getline(in, line)) {
        const auto b = line.find_first_not_of(" \t");
        if (b == std::string::npos) continue;
        const auto e = line.find_last_not_of(" \t");
        out += line.substr(b, e - b + 1) + "\n";
    }
    return out;
}

}  // namespace script
