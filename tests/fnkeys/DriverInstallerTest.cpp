#include "fnkeys/DriverInstaller.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "fnkeys/VHidev.h"
#include "platform/sim/SimDriverInstaller.h"
#include "platform/sim/SimFilterDriver.h"
#include "platform/sim/SimFunctionKeys.h"
#include "platform/sim/SimHidBus.h"
#include "platform/sim/SimVirtualKeyboard.h"

namespace {

using platform::FileKind;
using platform::sim::SimDriverInstaller;
using ToolRun = SimDriverInstaller::Run;

// A program in C:\Tool\ on a 64-bit system, and a driver folder whose files
// each test chooses.
struct Install : ::testing::Test {
    platform::sim::SimHidBus bus{platform::sim::SimHidBus::Options{false, {}, {}}};
    platform::sim::SimFilterDriver filter;
    SimDriverInstaller tool{&bus, &filter};
    VHidev vhid{&bus};
    platform::ProcessInfo info{"C:\\Tool\\kbconf.exe", '\\', true, false};
    std::map<std::string, FileKind> files;

    void SetUp() override {
        vhid.SetLogSink([](const std::string&) {});
        filter.SetInstalled(false);
    }
    DriverInstaller Installer() {
        return DriverInstaller(vhid, &tool, &info, [this](const std::string& p) {
            auto it = files.find(p);
            return it == files.end() ? FileKind::kMissing : it->second;
        });
    }
};

TEST_F(Install, PresentKeyboardStartsNoTool) {
    bus.Plug(tool.Keyboard());
    EXPECT_TRUE(Installer().EnsureVirtualKeyboard());
    EXPECT_TRUE(tool.Runs().empty());
    EXPECT_TRUE(vhid.IsOpen());
}

TEST_F(Install, RemovesThenInstallsThePreferredPackage) {
    files["C:\\Tool\\driver\\x64\\vhidflt.inf"] = FileKind::kFile;
    EXPECT_TRUE(Installer().EnsureVirtualKeyboard());
    EXPECT_EQ(tool.Runs(),
              (std::vector<ToolRun>{
                  {"C:\\Tool\\driver\\x64\\devcon.exe", " remove root\\vhidev"},
                  {"C:\\Tool\\driver\\x64\\devcon.exe", " install \"C:\\Tool\\driver\\x64\\vhidflt.inf\" root\\vhidev"},
              }));
    EXPECT_TRUE(vhid.IsOpen());
    EXPECT_TRUE(filter.Installed());
    // The next start finds it and installs nothing.
    EXPECT_TRUE(Installer().EnsureVirtualKeyboard());
    EXPECT_EQ(tool.Runs().size(), 2u);
}

TEST_F(Install, PackageChoice) {
    struct Case {
        FileKind preferred;
        const char* package;
    } cases[] = {
        {FileKind::kFile, "vhidflt.inf"},
        {FileKind::kMissing, "vhidev.inf"},    // only the fallback (or nothing) there
        {FileKind::kDirectory, "vhidev.inf"},  // a folder by that name does not count
    };
    for (const Case& c : cases) {
        files.clear();
        files["D:\\drv\\vhidflt.inf"] = c.preferred;
        SimDriverInstaller fresh{nullptr, nullptr};
        DriverInstaller installer(vhid, &fresh, &info, [&](const std::string& p) {
            auto it = files.find(p);
            return it == files.end() ? FileKind::kMissing : it->second;
        });
        installer.EnsureVirtualKeyboard("D:\\drv");
        ASSERT_EQ(fresh.Runs().size(), 2u);
        EXPECT_EQ(fresh.Runs()[1].commandLine, std::string(" install \"D:\\drv\\") + c.package + "\" root\\vhidev");
    }
}

TEST_F(Install, Failures) {
    // The tool cannot be started: false, nothing recorded.
    tool.FailToStart(true);
    EXPECT_FALSE(Installer().EnsureVirtualKeyboard());
    EXPECT_TRUE(tool.Runs().empty());
    // The tool runs but achieves nothing (no rights): still false.
    tool.FailToStart(false);
    tool.FailInside(true);
    EXPECT_FALSE(Installer().EnsureVirtualKeyboard());
    EXPECT_EQ(tool.Runs().size(), 2u);
    EXPECT_FALSE(vhid.IsOpen());
    // An empty program path is refused before anything starts.
    EXPECT_FALSE(Installer().RunAndWait("", " remove root\\vhidev"));
    EXPECT_EQ(tool.Runs().size(), 2u);
}

TEST_F(Install, DriverFolderFollowsTheSystem) {
    struct Case {
        platform::ProcessInfo info;
        const char* folder;
    } cases[] = {
        {{"C:\\Tool\\kbconf.exe", '\\', true, false}, "C:\\Tool\\driver\\x64"},
        {{"C:\\Tool\\kbconf.exe", '\\', false, false}, "C:\\Tool\\driver\\x86"},
        {{"C:\\Tool\\kbconf.exe", '\\', false, true}, "C:\\Tool\\driver\\x64"},
        {{"/opt/kbconf/bin/kbconf", '/', false, true}, "/opt/kbconf/bin/driver/x64"},
    };
    for (const Case& c : cases) {
        DriverInstaller installer(vhid, &tool, &c.info);
        EXPECT_EQ(installer.DefaultDriverFolder(), c.folder);
    }
}

TEST(FileProbe, TellsFilesFromFolders) {
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(KBCONF_BINARY_DIR) / "probe-test";
    fs::remove_all(dir);
    fs::create_directories(dir / "vhidflt.inf");
    {
        std::FILE* f = std::fopen((dir / "vhidev.inf").string().c_str(), "w");
        std::fclose(f);
    }
    EXPECT_EQ(platform::ProbeFile((dir / "vhidflt.inf").string()), FileKind::kDirectory);
    EXPECT_EQ(platform::ProbeFile((dir / "vhidev.inf").string()), FileKind::kFile);
    EXPECT_EQ(platform::ProbeFile((dir / "devcon.exe").string()), FileKind::kMissing);
    fs::remove_all(dir);
}

}  // namespace

namespace {

// The demo's set-up: with drivers missing, the start-up's install makes both
// present and the keys of the emulated keyboard reach a listener.
TEST(SimFunctionKeys, MissingDriversAreInstalledAtStartUp) {
    platform::sim::SimHidBus bus{platform::sim::SimHidBus::Options{false, {}, {}}};
    platform::sim::SimFunctionKeys fk(&bus, "missing");
    VHidev vhid{&bus};
    vhid.SetLogSink([](const std::string&) {});
    DriverInstaller installer(vhid);  // the process's runner and program path
    EXPECT_TRUE(installer.EnsureVirtualKeyboard());
    ASSERT_EQ(fk.Installer().Runs().size(), 2u);
    EXPECT_EQ(fk.Installer().Runs()[0].program, "C:\\kbconf\\driver\\x64\\devcon.exe");
    EXPECT_TRUE(fk.Filter().Installed());
    EXPECT_TRUE(vhid.InjectKey(7, 4, true));
    EXPECT_EQ(fk.VirtualKeyboard().PressedKeys(), std::vector<uint8_t>{4});
}

TEST(SimFunctionKeys, BrokenInstallLeavesTheServiceOff) {
    platform::sim::SimHidBus bus{platform::sim::SimHidBus::Options{false, {}, {}}};
    platform::sim::SimFunctionKeys fk(&bus, "broken");
    VHidev vhid{&bus};
    vhid.SetLogSink([](const std::string&) {});
    EXPECT_FALSE(DriverInstaller(vhid).EnsureVirtualKeyboard());
    EXPECT_FALSE(fk.Filter().Installed());
}

}  // namespace
