#include "cli/CliCommand.h"

#include <cerrno>
#include <cstdlib>

namespace cli {

const char* const kCliUsage =
    "usage: kbconf-cli [--sim[=7080|7fff|none]] [--home DIR] [--verbose] COMMAND [COMMAND ...]\n"
    "commands:\n"
    "  list                                   supported keyboard interfaces present\n"
    "  version                                the keyboard's firmware version\n"
    "  status                                 the stored lighting settings\n"
    "  effect INDEX [--speed N] [--brightness N]   choose effect 0..19 (speed 0..4, brightness 0..5)\n"
    "  side INDEX [--level N]                 choose side effect 0..11 (level 0..7)\n"
    "  reset                                  factory reset of the keyboard and the data files\n";

namespace {

bool ParseInt(const std::string& text, int* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < -1000000 || v > 1000000) return false;
    *out = static_cast<int>(v);
    return true;
}

bool InRange(const char* what, int value, int low, int high, std::string* error) {
    if (value >= low && value <= high) return true;
    *error = std::string(what) + " " + std::to_string(value) + " is out of range " + std::to_string(low) + ".." +
             std::to_string(high);
    return false;
}

}  // namespace

bool ParseCliArguments(const std::vector<std::string>& args, CliOptions* options, std::string* error) {
    CliOptions o;
    std::string err;
    auto fail = [&](const std::string& message) {
        if (error) *error = message;
        return false;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* what, int* out) {
            if (i + 1 >= args.size()) {
                err = std::string(what) + " needs a number";
                return false;
            }
            if (!ParseInt(args[++i], out)) {
                err = std::string(what) + ": not a number: " + args[i];
                return false;
            }
            return true;
        };
        if (a == "--sim") {
            o.sim = true;
        } else if (a.rfind("--sim=", 0) == 0) {
            o.sim = true;
            o.simModel = a.substr(6);
            if (o.simModel != "7080" && o.simModel != "7fff" && o.simModel != "none")
                return fail("--sim takes 7080, 7fff or none, not " + o.simModel);
        } else if (a == "--home") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return fail("--home needs a folder");
            o.home = args[++i];
        } else if (a.rfind("--home=", 0) == 0) {
            o.home = a.substr(7);
            if (o.home.empty()) return fail("--home needs a folder");
        } else if (a == "--verbose") {
            o.verbose = true;
        } else if (a == "list" || a == "version" || a == "status" || a == "reset") {
            CliCommand c;
            c.kind = a == "list"      ? CliCommand::kList
                     : a == "version" ? CliCommand::kVersion
                     : a == "status"  ? CliCommand::kStatus
                                      : CliCommand::kReset;
            o.commands.push_back(c);
        } else if (a == "effect" || a == "side") {
            CliCommand c;
            c.kind = a == "effect" ? CliCommand::kEffect : CliCommand::kSide;
            if (!value(a.c_str(), &c.index)) return fail(err);
            if (c.kind == CliCommand::kEffect && !InRange("effect", c.index, 0, 19, &err)) return fail(err);
            if (c.kind == CliCommand::kSide && !InRange("side", c.index, 0, 11, &err)) return fail(err);
            o.commands.push_back(c);
        } else if (a == "--speed" || a == "--brightness" || a == "--level") {
            if (o.commands.empty()) return fail(a + " must follow effect or side");
            CliCommand& c = o.commands.back();
            int v = 0;
            if (!value(a.c_str(), &v)) return fail(err);
            if (a == "--level") {
                if (c.kind != CliCommand::kSide) return fail("--level belongs to side");
                if (!InRange("level", v, 0, 7, &err)) return fail(err);
                c.level = v;
            } else {
                if (c.kind != CliCommand::kEffect) return fail(a + " belongs to effect");
                if (a == "--speed") {
                    // Effect 0 has only a brightness slider.
                    if (c.index == 0) return fail("effect 0 has no speed setting");
                    if (!InRange("speed", v, 0, 4, &err)) return fail(err);
                    c.speed = v;
                } else {
                    if (!InRange("brightness", v, 0, 5, &err)) return fail(err);
                    c.brightness = v;
                }
            }
        } else {
            return fail("unknown argument: " + a);
        }
    }
    if (o.commands.empty()) return fail("no command given");
    if (options) *options = std::move(o);
    return true;
}

}  // namespace cli
