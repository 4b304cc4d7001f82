#include "cli/CliRunner.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include "data/KeyAssignmentTable.h"
#include "data/LedEffectTable.h"
#include "data/MacroLibrary.h"
#include "data/SideLightTable.h"
#include "hid/DevicePath.h"
#include "hid/HidEnumerator.h"
#include "hid/HidLog.h"
#include "platform/Clock.h"
#include "platform/Platform.h"
#include "platform/ProcessRunner.h"
#include "protocol/DeviceTable.h"
#include "protocol/KeyboardLink.h"

namespace cli {
namespace fs = std::filesystem;
namespace {

std::string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", digits, value);
    return text;
}

std::string Part(int32_t value) { return value < 0 ? "--" : Hex(static_cast<unsigned>(value), 2); }

// Restores the transport's log sink when the run ends.
class LogSinkScope {
public:
    LogSinkScope(bool verbose, std::ostream& err) {
        if (verbose) {
            hid::SetHidLogSink([&err](const std::string& line) { err << line; });
        } else {
            hid::SetHidLogSink([](const std::string&) {});
        }
    }
    ~LogSinkScope() { hid::SetHidLogSink(nullptr); }
};

// Creates and removes a file in the folder: the tables replace their files by
// renaming a temporary one, so this is exactly what a save needs.
bool FolderWritable(const std::string& folder) {
    std::random_device random;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const fs::path probe = fs::path(folder) / (".kbconf-cli-" + std::to_string(random()));
        // "x": created here or not at all, so a file of someone else's is never touched.
        std::FILE* f = std::fopen(probe.c_str(), "wx");
        if (!f) {
            std::error_code ec;
            if (fs::exists(probe, ec)) continue;
            return false;
        }
        std::fclose(f);
        std::error_code ec;
        fs::remove(probe, ec);
        return true;
    }
    return false;
}

std::string FolderOf(const platform::ProcessInfo& info) {
    const auto cut = info.modulePath.rfind(info.separator);
    return cut == std::string::npos ? std::string() : info.modulePath.substr(0, cut);
}

int List(std::ostream& out, std::ostream& err) {
    int found = 0;
    for (const auto& row : protocol::DeviceTable) {
        auto list =
            hid::EnumerateHidInterfaces(row.vendorId, 1, &row.productId, row.interfaceNumber, row.collectionNumber);
        for (const auto& i : list) {
            int32_t mi = -1, col = -1;
            hid::ParseDevicePath(i.path, nullptr, nullptr, &mi, &col);
            out << "path=" << i.path << " vendor=" << Hex(static_cast<unsigned>(i.vendorId), 4)
                << " product=" << Hex(static_cast<unsigned>(i.productId), 4) << " mi=" << Part(mi)
                << " col=" << Part(col) << " version=0x" << Hex(i.versionNumber, 4) << " usage-page=0x"
                << Hex(i.usagePage, 4) << " usage=0x" << Hex(i.usage, 4) << "\n";
            ++found;
        }
    }
    if (found == 0) {
        err << "kbconf-cli: no supported keyboard is present\n";
        return kExitNoKeyboard;
    }
    return kExitOk;
}

void Status(const LedEffectTable& effects, const SideLightTable& sides, std::ostream& out) {
    out << "effect.selected=" << effects.GetSelected() << "\n";
    for (int i = 0; i < LedEffectTable::kSlotCount; ++i) {
        const LedEffectSlot* s = effects.GetSlot(i);
        out << "effect." << i << " brightness=" << int{s->brightness} << " speed=" << int{s->speed}
            << " deriction=" << int{s->deriction} << " selection=" << int{s->selection} << "\n";
    }
    out << "side.selected=" << sides.GetSelected() << "\n";
    for (int i = 0; i < SideLightTable::kSlotCount; ++i) {
        const SideLightSlot* s = sides.GetSlot(i);
        out << "side." << i << " level=" << int{s->Brightness()} << " first=0x" << Hex(s->first, 2) << " second=0x"
            << Hex(s->second, 2) << "\n";
    }
}

}  // namespace

std::string ExecutableFolder() { return FolderOf(platform::ThisProcessInfo()); }

int RunCli(const CliOptions& options, std::ostream& out, std::ostream& err) {
    LogSinkScope logs(options.verbose, err);

    // One run, one command line: no hot plug, and never the key service, which
    // would take the user's keys while the tool runs.
    platform::PlatformOptions po;
    po.simModel = options.simModel;
    po.keyService = false;
    po.hotPlug = false;
    const std::string platformName = options.sim ? "sim" : platform::DefaultPlatformName();
    std::string whyNot;
    auto system = platform::CreatePlatform(platformName, po, &whyNot);
    if (!system) {
        if (platformName == "sim")
            err << "kbconf-cli: KBCONF_SIM_MODEL must be 7080, 7fff or none\n";
        else
            err << "kbconf-cli: " << whyNot << "\n";
        return kExitUsage;
    }

    bool needsKeyboard = false, needsFiles = false, writes = false, resets = false;
    for (const auto& c : options.commands) {
        needsKeyboard = needsKeyboard || c.kind == CliCommand::kVersion || c.kind == CliCommand::kEffect ||
                        c.kind == CliCommand::kSide || c.kind == CliCommand::kReset;
        needsFiles = needsFiles || c.kind == CliCommand::kStatus || c.kind == CliCommand::kEffect ||
                     c.kind == CliCommand::kSide || c.kind == CliCommand::kReset;
        writes = writes || c.kind == CliCommand::kEffect || c.kind == CliCommand::kSide || c.kind == CliCommand::kReset;
        resets = resets || c.kind == CliCommand::kReset;
    }

    // Everything that can be checked is checked before anything changes.
    std::string home = options.home.empty() ? FolderOf(platform::CurrentProcessInfo()) : options.home;
    if (needsFiles) {
        std::error_code ec;
        if (home.empty() || !fs::is_directory(home, ec)) {
            err << "kbconf-cli: " << (home.empty() ? std::string("the application folder") : home)
                << " is not a folder\n";
            return kExitFiles;
        }
        if (writes && !FolderWritable(home)) {
            err << "kbconf-cli: cannot write the data files in " << home << "\n";
            return kExitFiles;
        }
    }

    LedEffectTable effects;
    SideLightTable sides;
    MacroLibrary macros;
    KeyAssignmentTable keys;
    protocol::KeyboardLink link(effects, sides, platform::SteadyClock());

    if (needsKeyboard) {
        link.MarkSent();
        if (!link.ConnectKeyboard()) {
            err << "kbconf-cli: no keyboard found (Please insert USB device!)\n";
            return kExitNoKeyboard;
        }
    }
    if (needsFiles) {
        // The start-up order of the application.
        if (resets) {
            macros.Load(home + "/macro.xml");
            keys.Load(home + "/record.xml");
        }
        if (!sides.Load(home + "/sidemodel.xml"))
            err << "kbconf-cli: note: sidemodel.xml was missing or unreadable; reset values are in use\n";
        if (!effects.Load(home + "/ledeffect.xml"))
            err << "kbconf-cli: note: ledeffect.xml was missing or unreadable; reset values are in use\n";
    }

    for (const auto& c : options.commands) {
        switch (c.kind) {
        case CliCommand::kList: {
            int rc = List(out, err);
            if (rc != kExitOk) return rc;
            break;
        }
        case CliCommand::kVersion: {
            link.QueryFirmwareVersion();
            std::string text;
            if (!link.FirmwareVersionText("Firmware", &text)) {
                err << "kbconf-cli: the keyboard did not report its firmware version\n";
                return kExitDevice;
            }
            out << text << "\n";
            break;
        }
        case CliCommand::kStatus:
            Status(effects, sides, out);
            break;
        case CliCommand::kEffect: {
            // As the panel stores: page 2 (effect 0) has brightness only,
            // page 1 (effects 1..19) speed and brightness.
            LedEffectSlot* slot = effects.GetSlot(c.index);
            if (c.brightness) slot->brightness = static_cast<uint8_t>(*c.brightness);
            if (c.speed && c.index != 0) slot->speed = static_cast<uint8_t>(*c.speed);
            if (!effects.SetSelected(c.index)) {
                err << "kbconf-cli: could not save " << effects.Path() << "\n";
                return kExitFiles;
            }
            if (!link.SendEffect(c.index)) {
                err << "kbconf-cli: the keyboard did not take the effect packet (setting saved)\n";
                return kExitDevice;
            }
            break;
        }
        case CliCommand::kSide: {
            SideLightSlot* slot = sides.GetSlot(c.index);
            if (c.level) slot->first = static_cast<uint8_t>(*c.level * 16 + (slot->first & 0x0F));
            if (!sides.SetSelected(c.index)) {
                err << "kbconf-cli: could not save " << sides.Path() << "\n";
                return kExitFiles;
            }
            if (link.deviceProtocol != protocol::FeatureReports) {
                link.SendSideLight(c.index);  // waits and marks, sends nothing
                err << "kbconf-cli: note: this keyboard has no side light; the setting is saved only\n";
            } else if (!link.SendSideLight(c.index)) {
                err << "kbconf-cli: the keyboard did not take the side light packet (setting saved)\n";
                return kExitDevice;
            }
            break;
        }
        case CliCommand::kReset: {
            macros.ResetToDefaults();
            bool saved = keys.ClearAll();
            saved = effects.ResetToDefaults() && saved;
            saved = sides.ResetToDefaults() && saved;
            saved = macros.Save() && saved;  // the application keeps it in memory; we end here
            if (!saved) {
                err << "kbconf-cli: could not save every data file in " << home << "\n";
                return kExitFiles;
            }
            if (!link.SendFactoryReset()) {
                err << "kbconf-cli: the keyboard did not take the reset (data files reset)\n";
                return kExitDevice;
            }
            break;
        }
        }
    }
    return kExitOk;
}

int CliMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        out << kCliUsage;
        return kExitOk;
    }
    CliOptions options;
    std::string error;
    if (!ParseCliArguments(args, &options, &error)) {
        err << "kbconf-cli: " << error << "\n" << kCliUsage;
        return kExitUsage;
    }
    return RunCli(options, out, err);
}

}  // namespace cli
