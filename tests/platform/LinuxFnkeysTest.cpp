#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include "data/KeyAssignmentTable.h"
#include "fnkeys/FilterListener.h"
#include "fnkeys/VHidev.h"
#include "platform/linux/EvdevFilterDriver.h"
#include "platform/linux/LinuxKeyCodes.h"
#include "platform/linux/LinuxProcessRunner.h"
#include "platform/linux/UinputKeyboard.h"
#include "platform/linux/VirtualKeyboardBackend.h"
#include "platform/sim/SimHidBus.h"

namespace {

using platform::linuxhid::UniqueFd;

struct Pipe {
    UniqueFd read, write;
    Pipe() {
        int fds[2];
        EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        read = UniqueFd(fds[0]);
        write = UniqueFd(fds[1]);
    }
};

struct Ev {
    uint16_t type, code;
    int32_t value;
    friend bool operator==(const Ev&, const Ev&) = default;
};

std::vector<Ev> Drain(int fd, int waitMs = 0) {
    std::vector<Ev> out;
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        input_event e;
        const ssize_t n = ::read(fd, &e, sizeof e);
        if (n == sizeof e) {
            out.push_back({e.type, e.code, e.value});
            continue;
        }
        if (std::chrono::steady_clock::now() >= deadline) return out;
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 5);
    }
}

void Send(int fd, uint16_t type, uint16_t code, int32_t value) {
    input_event e{};
    e.type = type;
    e.code = code;
    e.value = value;
    ASSERT_EQ(::write(fd, &e, sizeof e), static_cast<ssize_t>(sizeof e));
}

const Ev kSyn{EV_SYN, SYN_REPORT, 0};

TEST(LinuxKeyCodes, BothWays) {
    struct Case {
        uint16_t page, usage, code;
    } cases[] = {{7, 0x04, KEY_A},         {7, 0x29, KEY_ESC},           {7, 0xE0, KEY_LEFTCTRL},
                 {0x0C, 0x0192, KEY_CALC}, {0x0C, 0x00E9, KEY_VOLUMEUP}, {1, 0x82, KEY_SLEEP}};
    for (const Case& c : cases) {
        uint16_t code = 0, page = 0, usage = 0;
        ASSERT_TRUE(platform::linuxfk::HidToInputCode(c.page, c.usage, &code));
        EXPECT_EQ(code, c.code);
        ASSERT_TRUE(platform::linuxfk::InputCodeToHid(c.code, &page, &usage));
        EXPECT_EQ(page, c.page);
        EXPECT_EQ(usage, c.usage);
    }
    uint16_t code = 0;
    EXPECT_FALSE(platform::linuxfk::HidToInputCode(7, 0x00, &code));
}

TEST(UinputKeyboard, TypesTheChangesOfEachReport) {
    Pipe pipe;
    auto keyboard = std::make_shared<platform::linuxfk::UinputKeyboard>(std::move(pipe.write));
    platform::sim::SimHidBus inner{platform::sim::SimHidBus::Options{false, {}, {}}};
    platform::linuxfk::VirtualKeyboardBackend backend(inner, keyboard);
    VHidev vhid(&backend);
    vhid.SetLogSink([](const std::string&) {});
    ASSERT_TRUE(vhid.OpenVirtualKeyboard());

    vhid.InjectKey(7, 0x04, true);
    vhid.InjectKey(7, 0xE1, true);
    vhid.InjectKey(7, 0x04, false);
    vhid.InjectKey(0x0C, 0x0192, true);
    vhid.InjectKey(0x0C, 0x00E9, true);  // one consumer usage at a time
    vhid.InjectKey(0x0C, 0x00E9, false);
    vhid.InjectKey(0x05, 0x00, true);
    vhid.InjectKey(0x01, 0x82, true);
    vhid.ReleaseAll();
    EXPECT_EQ(Drain(pipe.read.Get()), (std::vector<Ev>{
                                          {EV_KEY, KEY_A, 1},
                                          kSyn,
                                          {EV_KEY, KEY_LEFTSHIFT, 1},
                                          kSyn,
                                          {EV_KEY, KEY_A, 0},
                                          kSyn,
                                          {EV_KEY, KEY_CALC, 1},
                                          kSyn,
                                          {EV_KEY, KEY_CALC, 0},
                                          {EV_KEY, KEY_VOLUMEUP, 1},
                                          kSyn,
                                          {EV_KEY, KEY_VOLUMEUP, 0},
                                          kSyn,
                                          {EV_KEY, BTN_LEFT, 1},
                                          kSyn,
                                          {EV_KEY, KEY_SLEEP, 1},
                                          kSyn,
                                          // ReleaseAll: keyboard, mouse, consumer, system
                                          {EV_KEY, KEY_LEFTSHIFT, 0},
                                          kSyn,
                                          {EV_KEY, BTN_LEFT, 0},
                                          kSyn,
                                          kSyn,
                                          {EV_KEY, KEY_SLEEP, 0},
                                          kSyn,
                                      }));
}

TEST(UinputKeyboard, VirtualKeyboardAbsentWithoutDevice) {
    platform::sim::SimHidBus inner{platform::sim::SimHidBus::Options{false, {}, {}}};
    platform::linuxfk::VirtualKeyboardBackend backend(inner, nullptr);
    VHidev vhid(&backend);
    std::string log;
    vhid.SetLogSink([&](const std::string& l) { log += l; });
    EXPECT_FALSE(vhid.OpenVirtualKeyboard());
    EXPECT_NE(log.find("No active device interfaces found"), std::string::npos);
}

struct Evdev : ::testing::Test {
    Pipe source, second, out;  // two event nodes of one keyboard
    std::vector<bool> grabs;
    std::mutex grabMutex;
    platform::linuxfk::EvdevFilterDriver::KeyBits initiallyHeld;

    std::unique_ptr<platform::linuxfk::EvdevFilterDriver> Make() {
        platform::linuxfk::EvdevFilterDriver::Io io;
        io.grab = [this](int, bool g) {
            std::lock_guard lock(grabMutex);
            grabs.push_back(g);
            return true;
        };
        // Keys held at start are on the first node only.
        io.heldKeys = [this, first = source.read.Get()](int fd, platform::linuxfk::EvdevFilterDriver::KeyBits* held) {
            *held = fd == first ? initiallyHeld : platform::linuxfk::EvdevFilterDriver::KeyBits{};
            return true;
        };
        std::vector<UniqueFd> sources;
        sources.push_back(std::move(source.read));
        sources.push_back(std::move(second.read));
        return std::make_unique<platform::linuxfk::EvdevFilterDriver>(std::move(sources), std::move(out.write), io);
    }
};

struct Receiver {
    std::mutex mutex;
    std::vector<std::tuple<uint8_t, uint16_t, bool>> seen;
    int32_t OnKey(uint8_t page, uint16_t usage, bool pressed) {
        std::lock_guard lock(mutex);
        seen.emplace_back(page, usage, pressed);
        return 0;
    }
    size_t Count() {
        std::lock_guard lock(mutex);
        return seen.size();
    }
};

TEST_F(Evdev, InterceptsTableKeysAndPassesTheRestThrough) {
    const int in = source.write.Get();
    auto driver = Make();
    ASSERT_TRUE(driver->Grabbed());
    KeyAssignmentTable table;
    table.LoadFromBuffer("<record code=\"70004\" play=\"1\"/>");
    Receiver window;
    HidUsbFilter::FilterListener listener(driver.get(), &table);
    listener.AddMonitor(&window, &Receiver::OnKey);
    listener.OpenDevice();
    ASSERT_TRUE(listener.Restart());
    listener.PushKeyTable();
    ASSERT_TRUE(driver->WaitForPendingKeyRequests(1, 5000));

    Send(in, EV_MSC, MSC_SCAN, 0x70004);
    Send(in, EV_KEY, KEY_A, 1);
    Send(in, EV_KEY, KEY_A, 2);  // auto-repeat: dropped
    Send(in, EV_SYN, SYN_REPORT, 0);
    Send(second.write.Get(), EV_KEY, KEY_B, 1);  // the other node feeds the same driver
    Send(second.write.Get(), EV_KEY, KEY_B, 0);
    Send(in, EV_KEY, KEY_A, 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (window.Count() < 2 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(window.seen, (std::vector<std::tuple<uint8_t, uint16_t, bool>>{{7, 4, true}, {7, 4, false}}));
    EXPECT_EQ(Drain(out.read.Get(), 50), (std::vector<Ev>{{EV_KEY, KEY_B, 1}, kSyn, {EV_KEY, KEY_B, 0}, kSyn}));
    listener.Stop();
    driver.reset();
    EXPECT_EQ(grabs, (std::vector<bool>{true, true, false, false}));
}

TEST_F(Evdev, GrabWaitsUntilNoKeyIsHeld) {
    const int in = source.write.Get();
    initiallyHeld[KEY_LEFTCTRL] = true;
    auto driver = Make();
    EXPECT_FALSE(driver->Grabbed());
    Send(in, EV_KEY, KEY_C, 1);  // the system has these; nothing to pass on
    Send(in, EV_KEY, KEY_C, 0);
    Send(in, EV_KEY, KEY_LEFTCTRL, 0);  // now the keyboard is idle
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!driver->Grabbed() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(driver->Grabbed());
    EXPECT_TRUE(Drain(out.read.Get(), 20).empty());
    Send(in, EV_KEY, KEY_D, 1);  // grabbed and not intercepted: typed again
    EXPECT_EQ(Drain(out.read.Get(), 50), (std::vector<Ev>{{EV_KEY, KEY_D, 1}, kSyn}));
    Send(in, EV_KEY, KEY_D, 0);
}

TEST(EvdevNodes, FoundByUsbIds) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(KBCONF_BINARY_DIR) / "evdev-fixture";
    fs::remove_all(root);
    auto device = [&](const char* event, const char* vendor, const char* product) {
        const fs::path id = root / "class" / "input" / event / "device" / "id";
        fs::create_directories(id);
        std::ofstream(id / "vendor") << vendor << "\n";
        std::ofstream(id / "product") << product << "\n";
    };
    device("event7", "1a2c", "7080");
    device("event3", "1a2c", "7080");
    device("event4", "046d", "c52b");
    fs::create_directories(root / "class" / "input" / "input9");  // not an event node
    EXPECT_EQ(platform::linuxfk::EvdevFilterDriver::FindEventNodes(0x1A2C, 0x7080, root.string(), "/dev"),
              (std::vector<std::string>{"/dev/input/event3", "/dev/input/event7"}));
    EXPECT_TRUE(platform::linuxfk::EvdevFilterDriver::FindEventNodes(0x1A2C, 0x7FFF, root.string()).empty());
    fs::remove_all(root);
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
    const auto info = platform::linuxfk::LinuxProcessInfo();
    EXPECT_NE(info.modulePath.find("test_platform_linux_fnkeys"), std::string::npos);
}

}  // namespace
