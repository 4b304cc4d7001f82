#include "cli/CliRunner.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "data/LedEffectTable.h"
#include "data/SideLightTable.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Wire {
    int64_t ms;
    std::string line;  // "<vid>:<pid> <mi> <col> <kind> <bytes>"
};

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        home = fs::temp_directory_path() / ("kbconf-cli-" + std::to_string(rd()));
        fs::create_directories(home);
        log = home.string() + ".simlog";
        ::setenv("KBCONF_SIM_LOG", log.c_str(), 1);
        ::unsetenv("KBCONF_SIM_MODEL");
    }
    void TearDown() override {
        ::unsetenv("KBCONF_SIM_LOG");
        std::error_code ec;
        fs::remove_all(home, ec);
        fs::remove(log, ec);
    }

    int Run(std::vector<std::string> args) {
        args.insert(args.begin(), {"kbconf-cli", "--home", home.string()});
        std::vector<const char*> argv;
        for (auto& a : args) argv.push_back(a.c_str());
        std::ostringstream o, e;
        int rc = cli::CliMain(static_cast<int>(argv.size()), argv.data(), o, e);
        out = o.str();
        err = e.str();
        return rc;
    }
    std::vector<Wire> TakeWire() {
        std::vector<Wire> w;
        std::ifstream in(log);
        for (std::string line; std::getline(in, line);) {
            auto space = line.find(' ');
            w.push_back({std::stoll(line.substr(0, space)), line.substr(space + 1)});
        }
        std::ofstream(log, std::ios::trunc);
        return w;
    }
    std::vector<std::string> Lines(const std::vector<Wire>& w) {
        std::vector<std::string> l;
        for (auto& x : w) l.push_back(x.line);
        return l;
    }
    void Place(const std::string& fixture, const std::string& as) {
        fs::copy_file(fs::path(KBCONF_TEST_DATA) / fixture, home / as, fs::copy_options::overwrite_existing);
    }
    std::string Line(const std::string& key) {  // the status line starting with key
        std::istringstream in(out);
        for (std::string l; std::getline(in, l);)
            if (l.rfind(key, 0) == 0) return l;
        return {};
    }

    fs::path home;
    std::string log, out, err;
};

std::string Zeros(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += " 00";
    return s;
}

}  // namespace

TEST_F(CliTest, BadArgumentsAreRefusedAndNothingChanges) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--sim", "frobnicate"},
        {"--sim", "effect"},
        {"--sim", "effect", "x"},
        {"--sim", "effect", "20"},
        {"--sim", "effect", "-1"},
        {"--sim", "effect", "3", "--speed", "5"},
        {"--sim", "effect", "3", "--brightness", "6"},
        {"--sim", "effect", "3", "--brightness", "-1"},
        {"--sim", "effect", "0", "--speed", "1"},  // effect 0 has no speed slider
        {"--sim", "effect", "3", "--level", "1"},
        {"--sim", "side", "12"},
        {"--sim", "side", "1", "--level", "8"},
        {"--sim", "side", "1", "--speed", "1"},
        {"--sim", "--speed", "1", "effect", "3"},
        {"--sim", "effect", "3", "effect", "30"},  // the valid first one is not applied either
        {"--sim=9999", "status"},
        {"--sim", "--home"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Run(c), cli::kExitUsage) << testing::PrintToString(c);
        EXPECT_NE(err.find("kbconf-cli: "), std::string::npos);
        EXPECT_NE(err.find("usage:"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_empty(home));
    EXPECT_TRUE(TakeWire().empty());
}

TEST_F(CliTest, EffectStoresAsThePanelAndSendsTheFamilysPacket) {
    // 7080: feature report; the slot keeps deriction and selection.
    Place("odd-ledeffect.xml", "ledeffect.xml");
    ASSERT_EQ(Run({"--sim=7080", "effect", "7", "--speed", "3"}), cli::kExitOk) << err;
    EXPECT_EQ(Lines(TakeWire()), std::vector<std::string>{"1a2c:7080 01 07 set_feature 07 ff ff 08 04 03 01 00"});
    LedEffectTable stored;
    ASSERT_TRUE(stored.Load((home / "ledeffect.xml").string()));
    EXPECT_EQ(stored.GetSelected(), 7);
    EXPECT_EQ(*stored.GetSlot(7), (LedEffectSlot{4, 3, 0, 2}));
    EXPECT_EQ(*stored.GetSlot(5), (LedEffectSlot{3, 4, 1, 2}));  // others as loaded (and clamped)

    // Effect 0 takes a brightness only; its speed stays.
    ASSERT_EQ(Run({"--sim", "effect", "0", "--brightness", "1"}), cli::kExitOk) << err;
    EXPECT_EQ(Lines(TakeWire()), std::vector<std::string>{"1a2c:7080 01 07 set_feature 07 ff ff 00 01 04 00 00"});

    // 7FFF: the 64-byte frame, 65 bytes on the wire.
    ASSERT_EQ(Run({"--sim=7fff", "effect", "3", "--speed", "4", "--brightness", "2"}), cli::kExitOk) << err;
    EXPECT_EQ(Lines(TakeWire()),
              std::vector<std::string>{"1a2c:7fff 02 -- output 00 bb aa 99 88 aa 04 02 04 00 00" + Zeros(54)});
    // Choosing an effect alone stores only the selection.
    const std::string before = ReadFile(home / "ledeffect.xml");
    ASSERT_EQ(Run({"--sim", "effect", "3"}), cli::kExitOk);
    const std::string after = ReadFile(home / "ledeffect.xml");
    EXPECT_NE(before.find("<effect sel=\"3\">"), std::string::npos);
    EXPECT_EQ(before, after);
}

TEST_F(CliTest, EffectExamplesByteForByteOnBothModels) {
    // Slot 0 (5, 0, 0, 0) and slot 3 (2, 4, 1, 2): selection 2 sets the flag.
    Place("example-ledeffect.xml", "ledeffect.xml");
    ASSERT_EQ(Run({"--sim=7080", "effect", "0", "effect", "3"}), cli::kExitOk) << err;
    EXPECT_EQ(Lines(TakeWire()), (std::vector<std::string>{"1a2c:7080 01 07 set_feature 07 ff ff 00 05 00 00 00",
                                                           "1a2c:7080 01 07 set_feature 07 ff ff 04 02 04 01 00"}));
    ASSERT_EQ(Run({"--sim=7fff", "effect", "3"}), cli::kExitOk) << err;
    EXPECT_EQ(Lines(TakeWire()),
              std::vector<std::string>{"1a2c:7fff 02 -- output 00 bb aa 99 88 aa 04 02 04 01 00" + Zeros(54)});
    LedEffectTable stored;
    ASSERT_TRUE(stored.Load((home / "ledeffect.xml").string()));
    EXPECT_EQ(*stored.GetSlot(3), (LedEffectSlot{2, 4, 1, 2}));
}

TEST_F(CliTest, QuickEffectChangesAreAHundredMillisecondsApartOnTheWire) {
    ASSERT_EQ(Run({"--sim", "effect", "3", "effect", "5", "side", "2", "--level", "6", "effect", "1"}), cli::kExitOk)
        << err;
    auto wire = TakeWire();
    ASSERT_EQ(wire.size(), 4u);
    EXPECT_GE(wire[0].ms, 100);  // the first one waits for the gap after connecting
    for (size_t i = 1; i < wire.size(); ++i) EXPECT_GE(wire[i].ms - wire[i - 1].ms, 100) << i;
    EXPECT_EQ(wire[2].line, "1a2c:7080 01 07 set_feature 07 ff ff 20 00 00 62 00");
}

TEST_F(CliTest, SideLevelIsStoredThenSentOrOnlySavedForTheFramedFamily) {
    Place("odd-sidemodel.xml", "sidemodel.xml");
    ASSERT_EQ(Run({"--sim", "side", "4", "--level", "6"}), cli::kExitOk) << err;
    EXPECT_EQ(Lines(TakeWire()), std::vector<std::string>{"1a2c:7080 01 07 set_feature 07 ff ff 20 00 00 64 00"});
    SideLightTable stored;
    ASSERT_TRUE(stored.Load((home / "sidemodel.xml").string()));
    EXPECT_EQ(stored.GetSelected(), 4);
    EXPECT_EQ(stored.GetSlot(4)->Brightness(), 6);

    ASSERT_EQ(Run({"--sim=7fff", "side", "9", "--level", "1"}), cli::kExitOk) << err;
    EXPECT_TRUE(TakeWire().empty());  // not even attempted (a refused attempt is logged too)
    EXPECT_NE(err.find("no side light"), std::string::npos);
    ASSERT_TRUE(stored.Load((home / "sidemodel.xml").string()));
    EXPECT_EQ(stored.GetSelected(), 9);
    EXPECT_EQ(stored.GetSlot(9)->Brightness(), 1);
}

TEST_F(CliTest, StatusShowsFilesAsLoaded) {
    Place("odd-ledeffect.xml", "ledeffect.xml");
    Place("odd-sidemodel.xml", "sidemodel.xml");
    ASSERT_EQ(Run({"status"}), cli::kExitOk) << err;  // no keyboard needed
    EXPECT_EQ(Line("effect.selected="), "effect.selected=7");
    EXPECT_EQ(Line("effect.0 "), "effect.0 brightness=5 speed=4 deriction=0 selection=1");
    EXPECT_EQ(Line("effect.1 "), "effect.1 brightness=5 speed=0 deriction=0 selection=1");
    EXPECT_EQ(Line("effect.2 "), "effect.2 brightness=0 speed=3 deriction=1 selection=2");
    EXPECT_EQ(Line("effect.3 "), "effect.3 brightness=0 speed=0 deriction=0 selection=1");
    EXPECT_EQ(Line("effect.4 "), "effect.4 brightness=2 speed=1 deriction=0 selection=200");
    EXPECT_EQ(Line("side.selected="), "side.selected=4");
    EXPECT_EQ(Line("side.2 ").substr(0, 15), "side.2 level=0 ");  // 9 is above 7: 0
    EXPECT_EQ(Line("side.3 ").substr(0, 15), "side.3 level=3 ");
    EXPECT_TRUE(err.empty()) << err;

    // A broken file is replaced by reset values, as at start-up, and said so.
    Place("broken-ledeffect.xml", "ledeffect.xml");
    ASSERT_EQ(Run({"status"}), cli::kExitOk);
    EXPECT_EQ(Line("effect.selected="), "effect.selected=20");
    EXPECT_EQ(Line("effect.3 "), "effect.3 brightness=5 speed=0 deriction=0 selection=0");
    EXPECT_NE(err.find("ledeffect.xml was missing or unreadable"), std::string::npos);
    EXPECT_NE(ReadFile(home / "ledeffect.xml").find("sel=\"20\""), std::string::npos);
}

TEST_F(CliTest, NoKeyboardOrNoWritableFolderChangesNothing) {
    Place("odd-ledeffect.xml", "ledeffect.xml");
    const std::string before = ReadFile(home / "ledeffect.xml");
    for (auto cmd :
         {std::vector<std::string>{"--sim=none", "effect", "2"}, std::vector<std::string>{"--sim=none", "reset"},
          std::vector<std::string>{"--sim=none", "version"}, std::vector<std::string>{"--sim=none", "list"}}) {
        EXPECT_EQ(Run(cmd), cli::kExitNoKeyboard) << cmd.back();
        EXPECT_NE(err.find("no "), std::string::npos) << err;
    }
    // Nothing was loaded or written: no other data file appeared, the one there is untouched.
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(home)) names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"ledeffect.xml"});
    EXPECT_EQ(ReadFile(home / "ledeffect.xml"), before);

    auto runIn = [&](const std::string& folder, std::vector<std::string> args) {
        args.insert(args.begin(), {"kbconf-cli", "--home", folder, "--sim"});
        std::vector<const char*> argv;
        for (auto& a : args) argv.push_back(a.c_str());
        std::ostringstream o, e;
        int rc = cli::CliMain(static_cast<int>(argv.size()), argv.data(), o, e);
        err = e.str();
        return rc;
    };
    EXPECT_EQ(runIn((home / "missing").string(), {"effect", "1"}), cli::kExitFiles);
    EXPECT_EQ(runIn((home / "ledeffect.xml").string(), {"status"}), cli::kExitFiles);
    EXPECT_EQ(runIn("/proc", {"effect", "1"}), cli::kExitFiles);  // a folder nobody can write
    EXPECT_NE(err.find("cannot write"), std::string::npos);
    EXPECT_TRUE(TakeWire().empty());
}

TEST_F(CliTest, VersionAndListForBothModels) {
    ASSERT_EQ(Run({"--sim", "version"}), cli::kExitOk);
    EXPECT_EQ(out, "Firmware: v1.0\n");
    EXPECT_EQ(Lines(TakeWire()), (std::vector<std::string>{"1a2c:7080 01 07 set_feature 07 f1 00 00 00 00 00 00",
                                                           "1a2c:7080 01 07 get_feature 07 01 00 00 00 00 00 00"}));
    ::setenv("KBCONF_SIM_MODEL", "7fff", 1);
    ASSERT_EQ(Run({"--sim", "version", "list"}), cli::kExitOk);
    EXPECT_TRUE(TakeWire().empty());  // the version comes from the attributes
    EXPECT_EQ(out.substr(0, 15), "Firmware: v1.0\n");
    EXPECT_NE(out.find("vendor=1a2c product=7fff mi=02 col=-- version=0x0100 usage-page=0xff33"), std::string::npos)
        << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 2);  // only the configuration interface
    ::setenv("KBCONF_SIM_MODEL", "banana", 1);
    EXPECT_EQ(Run({"--sim", "list"}), cli::kExitUsage);
    ::unsetenv("KBCONF_SIM_MODEL");
}

TEST_F(CliTest, ResetSendsTheFamilysPacketsAndResetsAllFourFiles) {
    Place("odd-ledeffect.xml", "ledeffect.xml");
    Place("odd-sidemodel.xml", "sidemodel.xml");
    std::ofstream(home / "record.xml") << "<?xml version=\"1.0\"?>\n<record>\n\t<item code=\"458756\" />\n</record>\n";
    ASSERT_EQ(Run({"--sim", "reset"}), cli::kExitOk) << err;
    EXPECT_EQ(Lines(TakeWire()), std::vector<std::string>{"1a2c:7080 01 07 output 07 f0 aa 00 00 00 00 00"});
    LedEffectTable effects;
    ASSERT_TRUE(effects.Load((home / "ledeffect.xml").string()));
    EXPECT_EQ(effects.GetSelected(), 20);
    EXPECT_EQ(*effects.GetSlot(7), (LedEffectSlot{5, 0, 0, 0}));
    SideLightTable sides;
    ASSERT_TRUE(sides.Load((home / "sidemodel.xml").string()));
    EXPECT_EQ(sides.GetSelected(), 0);
    EXPECT_EQ(sides.GetSlot(0)->Brightness(), 4);
    EXPECT_EQ(sides.GetSlot(3)->Brightness(), 7);
    EXPECT_EQ(ReadFile(home / "record.xml").find("<item"), std::string::npos);
    EXPECT_NE(ReadFile(home / "macro.xml").find("<config "), std::string::npos);

    ASSERT_EQ(Run({"--sim=7fff", "reset"}), cli::kExitOk) << err;
    auto wire = TakeWire();
    ASSERT_EQ(wire.size(), 2u);
    EXPECT_EQ(wire[0].line, "1a2c:7fff 02 -- output 00 bb aa 99 88 aa aa aa aa aa aa" + Zeros(54));
    EXPECT_EQ(wire[1].line, "1a2c:7fff 02 -- output 00 bb aa 99 88" + Zeros(60));
    EXPECT_GE(wire[1].ms - wire[0].ms, 1500);
}

TEST_F(CliTest, TheProgramRunsFromAShell) {
    const std::string cmd = std::string(KBCONF_CLI_PATH) + " --sim --home " + home.string() +
                            " effect 4 --brightness 3 > " + (home / "out.txt").string() + " 2>&1";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_EQ(Lines(TakeWire()), std::vector<std::string>{"1a2c:7080 01 07 set_feature 07 ff ff 05 03 00 00 00"});
    EXPECT_NE(ReadFile(home / "out.txt").find("note: ledeffect.xml"), std::string::npos);
    const std::string bad = std::string(KBCONF_CLI_PATH) + " --sim effect 99 2>/dev/null";
    int status = std::system(bad.c_str());
    EXPECT_EQ(WEXITSTATUS(status), cli::kExitUsage);

    // Without --home the data files live beside the executable.
    fs::create_directories(home / "app");
    fs::copy_file(KBCONF_CLI_PATH, home / "app/kbconf-cli");
    const std::string local = (home / "app/kbconf-cli").string() + " --sim side 3 2>/dev/null";
    EXPECT_EQ(std::system(local.c_str()), 0);
    EXPECT_NE(ReadFile(home / "app/sidemodel.xml").find("<effect sel=\"3\">"), std::string::npos);
    EXPECT_TRUE(fs::exists(home / "app/ledeffect.xml"));
    EXPECT_EQ(ReadFile(home / "sidemodel.xml").find("<effect sel=\"3\">"), std::string::npos);
}
