#include <linux/input.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include <memory>
#include <string>
#include <vector>

#include "fnkeys/VHidev.h"
#include "platform/linux/LinuxKeyCodes.h"
#include "platform/linux/LinuxProcessRunner.h"
#include "platform/linux/LinuxSetupRunner.h"
#include "platform/linux/VirtualKeyboardBackend.h"
#include "platform/sim/SimHidBus.h"

namespace {

// The kernel's keyboard-page table (hid-input), row by row as it is laid out
// there: 16 usages a row, 0 = unmapped.
constexpr uint16_t kKernelKeyboardPage[256] = {
    0,   0,   0,   0,   30,  48,  46,  32,  18,  33,  34,  35,  23,  36,  37,  38,   //
    50,  49,  24,  25,  16,  19,  31,  20,  22,  47,  17,  45,  21,  44,  2,   3,    //
    4,   5,   6,   7,   8,   9,   10,  11,  28,  1,   14,  15,  57,  12,  13,  26,   //
    27,  43,  43,  39,  40,  41,  51,  52,  53,  58,  59,  60,  61,  62,  63,  64,   //
    65,  66,  67,  68,  87,  88,  99,  70,  119, 110, 102, 104, 111, 107, 109, 106,  //
    105, 108, 103, 69,  98,  55,  74,  78,  96,  79,  80,  81,  75,  76,  77,  71,   //
    72,  73,  82,  83,  86,  127, 116, 117, 183, 184, 185, 186, 187, 188, 189, 190,  //
    191, 192, 193, 194, 134, 138, 130, 132, 128, 129, 131, 137, 133, 135, 136, 113,  //
    115, 114, 0,   0,   0,   121, 0,   89,  93,  124, 92,  94,  95,  0,   0,   0,    //
    122, 123, 90,  91,  85,  0,   0,   0,   0,   0,   0,   0,   111, 0,   0,   0,    //
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,    //
    0,   0,   0,   0,   0,   0,   179, 180, 0,   0,   0,   0,   0,   0,   0,   0,    //
    0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,    //
    0,   0,   0,   0,   0,   0,   0,   0,   111, 0,   0,   0,   0,   0,   0,   0,    //
    29,  42,  56,  125, 97,  54,  100, 126, 164, 166, 165, 163, 161, 115, 114, 113,  //
    150, 158, 159, 128, 136, 177, 178, 176, 142, 152, 173, 140, 0,   0,   0,   0,    //
};

TEST(LinuxKeyCodes, KeyboardPageAsTheKernelMapsIt) {
    for (int u = 0; u < 256; ++u) {
        uint16_t code = 0;
        const bool mapped = platform::linuxfk::HidToInputCode(7, static_cast<uint16_t>(u), &code);
        EXPECT_EQ(mapped, kKernelKeyboardPage[u] != 0) << "usage 0x" << std::hex << u;
        if (mapped) {
            EXPECT_EQ(code, kKernelKeyboardPage[u]) << "usage 0x" << std::hex << u;
        }
    }
}

TEST(LinuxKeyCodes, ConsumerAndSystemKeysOfTheKeyNameTable) {
    struct Case {
        uint16_t page, usage, code;
    } cases[] = {
        {0x0C, 0x00B5, KEY_NEXTSONG},  {0x0C, 0x00B6, KEY_PREVIOUSSONG}, {0x0C, 0x00B7, KEY_STOPCD},
        {0x0C, 0x00CD, KEY_PLAYPAUSE}, {0x0C, 0x00E2, KEY_MUTE},         {0x0C, 0x00E5, KEY_BASSBOOST},
        {0x0C, 0x00E9, KEY_VOLUMEUP},  {0x0C, 0x00EA, KEY_VOLUMEDOWN},   {0x0C, 0x0183, KEY_CONFIG},
        {0x0C, 0x018A, KEY_MAIL},      {0x0C, 0x0192, KEY_CALC},         {0x0C, 0x0194, KEY_FILE},
        {0x0C, 0x0221, KEY_SEARCH},    {0x0C, 0x0223, KEY_HOMEPAGE},     {0x0C, 0x0224, KEY_BACK},
        {0x0C, 0x0225, KEY_FORWARD},   {0x0C, 0x0226, KEY_STOP},         {0x0C, 0x0227, KEY_REFRESH},
        {0x0C, 0x022A, KEY_BOOKMARKS}, {0x01, 0x0081, KEY_POWER},        {0x01, 0x0082, KEY_SLEEP},
        {0x01, 0x0083, KEY_WAKEUP},
    };
    for (const Case& c : cases) {
        uint16_t code = 0, page = 0, usage = 0;
        ASSERT_TRUE(platform::linuxfk::HidToInputCode(c.page, c.usage, &code)) << std::hex << c.usage;
        EXPECT_EQ(code, c.code) << std::hex << c.usage;
        ASSERT_TRUE(platform::linuxfk::InputCodeToHid(c.code, &page, &usage));
        EXPECT_EQ(page, c.page) << std::hex << c.usage;
        EXPECT_EQ(usage, c.usage);
    }
    // Usages the kernel leaves unmapped (loudness, bass and treble steps) and
    // the system usages below the system controls.
    uint16_t code = 0;
    for (uint16_t usage : {0x00E7, 0x0152, 0x0153, 0x0154, 0x0155})
        EXPECT_FALSE(platform::linuxfk::HidToInputCode(0x0C, usage, &code)) << std::hex << usage;
    EXPECT_FALSE(platform::linuxfk::HidToInputCode(0x01, 0x30, &code));
    EXPECT_FALSE(platform::linuxfk::HidToInputCode(0x09, 0x01, &code));
}

TEST(LinuxKeyCodes, FallbackFromKeyCodeTakesTheFirstUsage) {
    uint16_t page = 0, usage = 0;
    ASSERT_TRUE(platform::linuxfk::InputCodeToHid(KEY_BACKSLASH, &page, &usage));
    EXPECT_EQ(usage, 0x31);  // only the scan code tells 0x32 apart
    ASSERT_TRUE(platform::linuxfk::InputCodeToHid(KEY_F13, &page, &usage));
    EXPECT_EQ(page, 7);
    EXPECT_EQ(usage, 0x68);
    EXPECT_FALSE(platform::linuxfk::InputCodeToHid(BTN_LEFT, &page, &usage));
}

// The virtual keyboard as the device code finds it: listed only while the
// link is there, and its writes go through the link.
struct FakeLink : platform::linuxfk::VirtualKeyboardLink {
    bool present = false;
    std::vector<std::vector<uint8_t>> records;
    bool Present() override { return present; }
    bool SendRecord(const uint8_t* r, size_t len) override {
        records.emplace_back(r, r + len);
        return true;
    }
};

TEST(VirtualKeyboardBackend, ListedWhileTheLinkIsPresent) {
    auto link = std::make_shared<FakeLink>();
    platform::sim::SimHidBus inner{platform::sim::SimHidBus::Options{false, {}, {}}};
    platform::linuxfk::VirtualKeyboardBackend backend(inner, link);
    VHidev vhid(&backend);
    std::string log;
    vhid.SetLogSink([&](const std::string& l) { log += l; });
    EXPECT_FALSE(vhid.OpenVirtualKeyboard());
    EXPECT_NE(log.find("No active device interfaces found"), std::string::npos);

    link->present = true;
    ASSERT_TRUE(vhid.OpenVirtualKeyboard());
    vhid.InjectKey(0x0C, 0x0192, true);
    ASSERT_EQ(link->records.size(), 1u);
    EXPECT_EQ(link->records[0].size(), 64u);
    EXPECT_EQ(std::vector<uint8_t>(link->records[0].begin(), link->records[0].begin() + 4),
              (std::vector<uint8_t>{0x05, 0x03, 0x92, 0x01}));
}

TEST(LinuxProcessRunner, SplitsStartsAndWaits) {
    using platform::linuxfk::LinuxProcessRunner;
    EXPECT_EQ(LinuxProcessRunner::SplitCommandLine(" install \"C:\\x y\\vhidflt.inf\" root\\vhidev"),
              (std::vector<std::string>{"install", "C:\\x y\\vhidflt.inf", "root\\vhidev"}));
    EXPECT_EQ(LinuxProcessRunner::SplitCommandLine(" remove root\\vhidev"),
              (std::vector<std::string>{"remove", "root\\vhidev"}));
    LinuxProcessRunner runner;
    const std::string marker = std::string(KBCONF_BINARY_DIR) + "/runner-marker";
    ::unlink(marker.c_str());
    EXPECT_TRUE(runner.RunAndWait("/bin/sh", " -c \"echo done > " + marker + "; exit 3\""));
    EXPECT_EQ(::access(marker.c_str(), F_OK), 0);  // it had ended when RunAndWait returned
    ::unlink(marker.c_str());
    EXPECT_FALSE(runner.RunAndWait("/nonexistent/devcon.exe", " remove root\\vhidev"));
    EXPECT_FALSE(runner.RunAndWait("", ""));
    const auto info = platform::ThisProcessInfo();
    EXPECT_NE(info.modulePath.find("test_platform_linux_fnkeys"), std::string::npos);
}

TEST(LinuxSetupRunner, TheInstallerToolBecomesOnePrivilegedStep) {
    // A stand-in for pkexec that notes its arguments.
    const std::string dir = std::string(KBCONF_BINARY_DIR) + "/setup-runner";
    const std::string fake = dir + "/pkexec", log = dir + "/log";
    ::mkdir(dir.c_str(), 0755);
    std::ofstream(fake) << "#!/bin/sh\necho \"$@\" >> " << log << "\n";
    ::chmod(fake.c_str(), 0755);
    ::unlink(log.c_str());
    platform::linuxfk::LinuxSetupRunner runner(fake, "/usr/libexec/kbconf/kbconf-setup");
    const std::string tool = "/opt/kbconf/driver/x64/devcon.exe";
    EXPECT_TRUE(runner.RunAndWait(tool, " remove root\\vhidev"));
    EXPECT_TRUE(runner.RunAndWait(tool, " install \"/opt/kbconf/driver/x64/vhidev.inf\" root\\vhidev"));
    EXPECT_FALSE(runner.RunAndWait(tool, " update"));
    EXPECT_TRUE(runner.RunAndWait("/bin/sh", " -c \"echo other >> " + log + "\""));
    std::stringstream text;
    text << std::ifstream(log).rdbuf();
    EXPECT_EQ(text.str(), "/usr/libexec/kbconf/kbconf-setup install\nother\n");
    // Without pkexec the installation does not start.
    platform::linuxfk::LinuxSetupRunner none(dir + "/missing");
    EXPECT_FALSE(none.RunAndWait(tool, " install \"x.inf\" root\\vhidev"));
}

}  // namespace
