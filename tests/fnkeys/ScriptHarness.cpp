#include "ScriptHarness.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdio>
#include <sstream>

namespace script {
namespace {

// A whole token as a number in `base`, within [0, max].
bool ParseNumber(const std::string& text, int base, uint64_t max, uint64_t* value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, *value, base);
    return ec == std::errc() && p == end && *value <= max;
}

bool ParseKey(const std::string& text, uint8_t* page, uint16_t* usage) {
    const auto colon = text.find(':');
    uint64_t p = 0, u = 0;
    if (colon == std::string::npos || !ParseNumber(text.substr(0, colon), 16, 0xFF, &p) ||
        !ParseNumber(text.substr(colon + 1), 16, 0xFFFF, &u))
        return false;
    *page = static_cast<uint8_t>(p);
    *usage = static_cast<uint16_t>(u);
    return true;
}

}  // namespace

std::string Record(int code, int rawPlay, int repeat, const std::vector<Step>& steps) {
    char head[128];
    std::snprintf(head, sizeof head, "<record code=\"%x\" play=\"%d\" type=\"0\" repeat=\"%d\">", code, rawPlay,
                  repeat);
    std::string s = head;
    for (const Step& st : steps) {
        char item[96];
        std::snprintf(item, sizeof item, "<item code=\"%x\" state=\"%d\" delay=\"%d\"/>", st.code, st.state, st.delay);
        s += item;
    }
    return s + "</record>";
}

std::string Record(int code, Play play, int repeat, const std::vector<Step>& steps) {
    return Record(code, static_cast<int>(play), repeat, steps);
}

Rig::Rig() {
    bus.Plug(keyboard);
    vhid.SetLogSink([](const std::string&) {});
    vhid.OpenVirtualKeyboard();
}

Rig::~Rig() {
    for (const std::string& e : errors_) ADD_FAILURE() << "script: " << e;
}

void Rig::Start(const std::string& records) {
    table.LoadFromBuffer(records);
    service = std::make_unique<KeyActionService>(vhid, table, clock);
}

std::vector<std::string> Rig::TakeErrors() {
    std::vector<std::string> out;
    out.swap(errors_);
    return out;
}

bool Rig::RunLine(const std::string& line, std::string* why) {
    auto fail = [&](std::string reason) {
        *why = std::move(reason);
        return false;
    };
    std::istringstream l(line);
    std::string timeText, op, arg, extra;
    if (!(l >> timeText)) return true;  // blank
    l >> op;
    const bool takesArg = op == "down" || op == "up" || op == "table";
    if (takesArg) l >> arg;
    if (l >> extra) return fail("unexpected \"" + extra + "\"");

    uint64_t t = 0;
    if (!ParseNumber(timeText, 10, INT64_MAX / 1000, &t)) return fail("bad time");
    if (static_cast<int64_t>(t) < lastMs_) return fail("time goes back");
    if (ended_) return fail("event after end");
    if (!service) return fail("no service (Start first)");

    uint8_t page = 0;
    uint16_t usage = 0;
    const std::string* next = nullptr;
    if (op == "down" || op == "up") {
        if (!ParseKey(arg, &page, &usage)) return fail("bad key \"" + arg + "\"");
    } else if (op == "table") {
        auto it = tables.find(arg);
        if (it == tables.end()) return fail("no table \"" + arg + "\"");
        next = &it->second;
    } else if (op != "stop" && op != "end") {
        return fail("unknown operation \"" + op + "\"");
    }

    lastMs_ = static_cast<int64_t>(t);
    clock.AdvanceTo(lastMs_);
    if (op == "down" || op == "up") {
        service->OnFilterKey(page, usage, op == "down");
    } else if (op == "table") {
        table.LoadFromBuffer(*next);
        service->StopAndRelease();
    } else if (op == "stop") {
        service->StopAndRelease();
    } else {
        service.reset();
        ended_ = true;
    }
    clock.WaitIdle();
    return true;
}

std::string Rig::Run(const std::string& events) {
    std::istringstream in(events);
    std::string line;
    while (std::getline(in, line)) {
        ++lineNo_;
        std::string why;
        if (!RunLine(line, &why)) {
            errors_.push_back("line " + std::to_string(lineNo_) + ": \"" + line + "\": " + why);
            break;
        }
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
