#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/FilterDriver.h"
#include "platform/HidBackend.h"
#include "platform/NamedLock.h"
#include "platform/sim/SimPlatform.h"

using namespace platform;

namespace {

// What is current, as the code above the seam sees it.
struct Seen {
    size_t interfaces = 0;
    bool filterOpens = false;
    bool runnerStarts = false;
    std::string modulePath;
    std::string lockFolder;
};

Seen Look() {
    Seen s;
    std::vector<HidInterfaceEntry> list;
    CurrentHid().ListInterfaces(&list);
    s.interfaces = list.size();
    uint32_t error = 0;
    s.filterOpens = CurrentFilterBackend().Open("\\\\.\\vhidflt", kGenericRead | kGenericWrite, 0, kOpenExisting,
                                                kFlagOverlapped, &error) != nullptr;
    // The emulated installer starts its tool; the empty runner starts nothing.
    s.runnerStarts = CurrentProcessRunner().RunAndWait("x/devcon.exe", " status");
    s.modulePath = CurrentProcessInfo().modulePath;
    s.lockFolder = NamedLock::InstalledFolder();
    return s;
}

class PlatformTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"KBCONF_SIM_LOG", "KBCONF_SIM_MODEL", "KBCONF_SIM_DRIVERS", "KBCONF_PLATFORM"})
            ::unsetenv(name);
    }
};

}  // namespace

TEST_F(PlatformTest, SimInstallsItsWholeSetAndPutsThePreviousOneBack) {
    const Seen before = Look();
    ASSERT_EQ(before.interfaces, 0u);
    ASSERT_FALSE(before.filterOpens);
    ASSERT_FALSE(before.runnerStarts);
    {
        PlatformOptions o;
        o.lockFolder = std::filesystem::temp_directory_path().string();
        auto p = CreatePlatform("sim", o);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->Name(), "sim");
        auto& sim = static_cast<sim::SimPlatform&>(*p);
        const Seen now = Look();
        // Keyboard (interfaces of the 7080), mouse and the virtual keyboard on one bus.
        std::vector<HidInterfaceEntry> own;
        sim.Setup().bus->ListInterfaces(&own);
        EXPECT_EQ(now.interfaces, own.size());
        EXPECT_GT(now.interfaces, 2u);
        EXPECT_TRUE(sim.Setup().bus->IsPlugged(&sim.FunctionKeys().VirtualKeyboard()));
        EXPECT_TRUE(now.filterOpens);
        EXPECT_TRUE(now.runnerStarts);
        EXPECT_EQ(sim.FunctionKeys().Installer().Runs().size(), 1u);
        // Data files are found beside the running program, as on a real system.
        EXPECT_EQ(now.modulePath, ThisProcessInfo().modulePath);
        EXPECT_FALSE(now.modulePath.empty());
        EXPECT_EQ(now.lockFolder, o.lockFolder);
    }
    const Seen after = Look();
    EXPECT_EQ(after.interfaces, 0u);
    EXPECT_FALSE(after.filterOpens);
    EXPECT_FALSE(after.runnerStarts);
    EXPECT_EQ(after.modulePath, before.modulePath);
    EXPECT_EQ(after.lockFolder, before.lockFolder);
}

TEST_F(PlatformTest, NestedPlatformsRestoreInTurn) {
    auto outer = CreatePlatform("sim");
    ASSERT_NE(outer, nullptr);
    const Seen outerSeen = Look();
    {
        PlatformOptions o;
        o.simModel = "none";
        o.simDrivers = "missing";
        o.modulePath = "/opt/kbconf/kbconf";
        auto inner = CreatePlatform("sim", o);
        ASSERT_NE(inner, nullptr);
        const Seen innerSeen = Look();
        EXPECT_LT(innerSeen.interfaces, outerSeen.interfaces);  // no keyboard, no virtual keyboard
        EXPECT_FALSE(innerSeen.filterOpens);                    // driver missing
        EXPECT_EQ(innerSeen.modulePath, "/opt/kbconf/kbconf");
    }
    const Seen again = Look();
    EXPECT_EQ(again.interfaces, outerSeen.interfaces);
    EXPECT_TRUE(again.filterOpens);
    EXPECT_EQ(again.modulePath, outerSeen.modulePath);
}

TEST_F(PlatformTest, UnknownNamesAndBadModelsInstallNothing) {
    struct Case {
        const char* name;
        const char* model;
        const char* errorPart;
    };
    const Case cases[] = {
        {"", "", "unknown platform"},
        {"SIM", "", "unknown platform"},
        {"windows", "", "unknown platform"},
        {"sim", "7070", "7070"},
    };
    for (const Case& c : cases) {
        PlatformOptions o;
        o.simModel = c.model;
        std::string error;
        EXPECT_EQ(CreatePlatform(c.name, o, &error), nullptr) << c.name;
        EXPECT_NE(error.find(c.errorPart), std::string::npos) << error;
        const Seen s = Look();
        EXPECT_EQ(s.interfaces, 0u) << c.name;
        EXPECT_FALSE(s.filterOpens) << c.name;
    }
    // The model also comes from the environment.
    ::setenv("KBCONF_SIM_MODEL", "7000", 1);
    EXPECT_EQ(CreatePlatform("sim"), nullptr);
    ::setenv("KBCONF_SIM_MODEL", "7FFF", 1);
    EXPECT_NE(CreatePlatform("sim"), nullptr);
}

#if defined(__linux__)
TEST_F(PlatformTest, DefaultNameIsTheEnvironmentsElseTheRealPlatform) {
    EXPECT_EQ(DefaultPlatformName(), "linux");
    ::setenv("KBCONF_PLATFORM", "sim", 1);
    EXPECT_EQ(DefaultPlatformName(), "sim");
    ::setenv("KBCONF_PLATFORM", "", 1);
    EXPECT_EQ(DefaultPlatformName(), "linux");
    const auto names = PlatformNames();
    EXPECT_NE(std::find(names.begin(), names.end(), "sim"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "linux"), names.end());
}

TEST_F(PlatformTest, LinuxWithoutKeyServiceTakesNoKeysAndRestores) {
    PlatformOptions o;
    o.keyService = false;
    o.hotPlug = false;
    {
        auto p = CreatePlatform("linux", o);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->Name(), "linux");
        // No filter driver without the key service, whatever the machine has.
        EXPECT_FALSE(Look().filterOpens);
        EXPECT_EQ(CurrentProcessInfo().modulePath, ThisProcessInfo().modulePath);
        EXPECT_EQ(CurrentProcessInfo().separator, '/');
    }
    EXPECT_TRUE(CurrentProcessInfo().modulePath.empty());
}
#endif
