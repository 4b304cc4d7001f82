#include "platform/sim/SimControlCommands.h"

#include <cstdio>
#include <vector>

#include "platform/sim/SimControl.h"

namespace platform::sim {
namespace {

std::vector<std::string_view> Words(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

// 1 to 4 hex digits.
bool ParseHex16(std::string_view text, uint16_t* out) {
    if (text.empty() || text.size() > 4) return false;
    unsigned value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            return false;
        value = value * 16 + static_cast<unsigned>(digit);
    }
    *out = static_cast<uint16_t>(value);
    return true;
}

bool ParseKey(std::string_view text, uint16_t* page, uint16_t* usage) {
    const size_t colon = text.find(':');
    return colon != std::string_view::npos && ParseHex16(text.substr(0, colon), page) &&
           ParseHex16(text.substr(colon + 1), usage);
}

std::string Error(const std::string& why) { return "error: " + why; }

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
}

}  // namespace

std::string SimControlCommands::Run(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.size() > kMaxLine) return Error("line too long");
    const auto words = Words(line);
    if (words.empty()) return Error("empty command");
    const std::string_view command = words[0];
    std::string why;

    if (command == "press" || command == "release") {
        uint16_t page = 0, usage = 0;
        if (words.size() != 2 || !ParseKey(words[1], &page, &usage))
            return Error(std::string(command) + " needs one key as PAGE:USAGE in hex, e.g. 7:4");
        const bool ok = command == "press" ? control_.Press(page, usage, &why) : control_.Release(page, usage, &why);
        return ok ? "ok" : Error(why);
    }
    if (command == "unplug") {
        if (words.size() != 1) return Error("unplug takes no argument");
        return control_.Unplug(&why) ? "ok" : Error(why);
    }
    if (command == "plug") {
        if (words.size() > 2) return Error("plug takes at most one model: 7080 or 7fff");
        if (words.size() == 1) return control_.Plug(&why) ? "ok" : Error(why);
        bool present = false;
        SimKeyboardModel model = SimKeyboardModel::k7080;
        if (!ParseSimModel(std::string(words[1]), &present, &model) || !present)
            return Error("unknown model '" + std::string(words[1]) + "': 7080 or 7fff");
        return control_.Plug(model, &why) ? "ok" : Error(why);
    }
    if (command == "state") {
        if (words.size() != 1) return Error("state takes no argument");
        return "ok " + StateText(control_.Snapshot());
    }
    return Error("unknown command '" + std::string(command) + "': press, release, unplug, plug or state");
}

std::string SimControlCommands::StateText(const SimControlState& s) {
    std::string keys;
    for (uint32_t code : s.heldKeys) {
        if (!keys.empty()) keys += ',';
        keys += Hex(code >> 16) + ':' + Hex(code & 0xFFFF);
    }
    if (keys.empty()) keys = "-";

    const SimLighting& l = s.lighting;
    auto num = [&](unsigned v) { return s.hasKeyboard ? std::to_string(v) : std::string("-"); };
    std::string text;
    text += "model=";
    text += s.hasKeyboard ? (s.model == SimKeyboardModel::k7080 ? "7080" : "7fff") : "none";
    text += std::string(" plugged=") + (s.plugged ? "yes" : "no");
    text += " version=" + (s.hasKeyboard ? std::to_string(s.version >> 8) + '.' + std::to_string(s.version & 0xFF)
                                         : std::string("-"));
    text += " keys=" + keys;
    text += " effect=" + num(l.mode);
    text += " brightness=" + num(l.brightness);
    text += " speed=" + num(l.speed);
    text += " flags=" + num(l.flag);
    text += " selection=" + num(l.byte7);
    text += " side=" + num(l.sideEffect);
    text += " level=" + num(l.sideLevel);
    return text;
}

}  // namespace platform::sim
