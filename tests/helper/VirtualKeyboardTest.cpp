#include "EventPipe.h"
#include "helper/VirtualKeyboard.h"

#include <fcntl.h>
#include <linux/input.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "helper/EventNodes.h"
#include "helper/FdEventSink.h"

namespace {

using platform::linuxhid::UniqueFd;

using helpertest::Ev;
using helpertest::kSyn;
using Pipe = helpertest::EventPipe;

std::vector<uint8_t> Record(uint8_t id, std::vector<uint8_t> buffer) {
    std::vector<uint8_t> r(64, 0);
    r[0] = 0x05;
    r[1] = id;
    std::copy(buffer.begin(), buffer.end(), r.begin() + 2);
    return r;
}

TEST(VirtualKeyboard, KeysGoToTheKeyboardDeviceButtonsAndMovementToThePointer) {
    Pipe keys, pointer;
    kbhelper::VirtualKeyboard vk(keys.Sink(), pointer.Sink());
    auto send = [&](uint8_t id, std::vector<uint8_t> b) {
        auto r = Record(id, b);
        return vk.OnRecord(r.data(), r.size());
    };
    auto bitmap = [](std::vector<uint8_t> usages) {
        std::vector<uint8_t> b(33, 0);
        for (uint8_t u : usages) b[1 + u / 8] |= static_cast<uint8_t>(1u << (u % 8));
        return b;
    };
    EXPECT_TRUE(send(1, bitmap({0x04})));        // A
    EXPECT_TRUE(send(1, bitmap({0x04, 0x68})));  // and F13
    EXPECT_TRUE(send(2, {0x01, 0xFE, 0, 0}));    // left button, X -2
    EXPECT_TRUE(send(3, {0x92, 0x01}));          // calculator
    EXPECT_TRUE(send(3, {0xE9, 0x00}));          // volume up replaces it
    EXPECT_TRUE(send(4, {0x82, 0x00}));          // sleep
    EXPECT_FALSE(send(9, {}));
    auto bad = Record(1, {});
    EXPECT_FALSE(vk.OnRecord(bad.data(), 63));
    EXPECT_EQ(keys.Take(), (std::vector<Ev>{{EV_KEY, KEY_A, 1},
                                            kSyn,
                                            {EV_KEY, KEY_F13, 1},
                                            kSyn,
                                            {EV_KEY, KEY_CALC, 1},
                                            kSyn,
                                            {EV_KEY, KEY_CALC, 0},
                                            {EV_KEY, KEY_VOLUMEUP, 1},
                                            kSyn,
                                            {EV_KEY, KEY_SLEEP, 1},
                                            kSyn}));
    EXPECT_EQ(pointer.Take(), (std::vector<Ev>{{EV_KEY, BTN_LEFT, 1}, {EV_REL, REL_X, -2}, kSyn}));

    EXPECT_TRUE(vk.AnyPressed());
    vk.ReleaseAll();
    EXPECT_FALSE(vk.AnyPressed());
    EXPECT_EQ(keys.Take(), (std::vector<Ev>{{EV_KEY, KEY_A, 0},
                                            {EV_KEY, KEY_F13, 0},
                                            kSyn,
                                            {EV_KEY, KEY_VOLUMEUP, 0},
                                            kSyn,
                                            {EV_KEY, KEY_SLEEP, 0},
                                            kSyn}));
    EXPECT_EQ(pointer.Take(), (std::vector<Ev>{{EV_KEY, BTN_LEFT, 0}, kSyn}));
    vk.ReleaseAll();  // nothing held: nothing typed
    EXPECT_TRUE(keys.Take().empty());
}

TEST(EventNodes, FoundByUsbIdsInSysfs) {
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
    device("event3", "1A2C", "7080");
    device("event4", "046d", "c52b");
    device("event5", "1a2c", "7fff");
    fs::create_directories(root / "class" / "input" / "input9");  // not an event node
    // A copy made through uinput has the keyboard's ids, but is virtual.
    const fs::path copy = root / "devices" / "virtual" / "input" / "input12" / "event8";
    fs::create_directories(copy / "device" / "id");
    std::ofstream(copy / "device" / "id" / "vendor") << "1a2c\n";
    std::ofstream(copy / "device" / "id" / "product") << "7080\n";
    fs::create_directory_symlink(copy, root / "class" / "input" / "event8");
    EXPECT_EQ(kbhelper::FindEventNodes(0x1A2C, 0x7080, root.string(), "/dev"),
              (std::vector<std::string>{"/dev/input/event3", "/dev/input/event7"}));
    EXPECT_EQ(kbhelper::FindEventNodes(0x1A2C, 0x7FFF, root.string(), "/dev"),
              (std::vector<std::string>{"/dev/input/event5"}));
    EXPECT_TRUE(kbhelper::FindEventNodes(0x1A2C, 0x7080, (root / "missing").string()).empty());
    fs::remove_all(root);
}

}  // namespace
