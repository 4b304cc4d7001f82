#include "platform/sim/SimControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <thread>

#include "SimControlRig.h"
#include "platform/sim/SimControlCommands.h"
#include "platform/sim/SimHidBus.h"

using namespace platform;
using namespace platform::sim;

namespace {

bool Holds(const SimControlState& s, uint32_t code) {
    return std::find(s.heldKeys.begin(), s.heldKeys.end(), code) != s.heldKeys.end();
}

std::string Typed(const SimControlState& s) {
    std::string out;
    for (const auto& t : s.typed) {
        char text[32];
        std::snprintf(text, sizeof text, "%x:%x %s ", t.page, t.usage, t.down ? "down" : "up");
        out += text;
    }
    return out;
}

TEST(SimControl, AssignedKeysAreTypedByTheVirtualKeyboardOthersPassThrough) {
    simtest::Rig rig;
    std::string why;

    // A is remapped to Q: the virtual keyboard types Q for as long as A is held.
    ASSERT_TRUE(rig.control->Press(0x07, 0x04, &why)) << why;
    ASSERT_TRUE(rig.WaitFor([](const SimControlState& s) { return Holds(s, 0x70014); }));
    EXPECT_EQ(rig.control->Snapshot().physicalKeys, std::vector<uint32_t>{0x70004});
    ASSERT_TRUE(rig.control->Release(0x07, 0x04, &why)) << why;
    ASSERT_TRUE(rig.WaitFor([](const SimControlState& s) { return s.heldKeys.empty(); }));

    // The mute key is remapped to volume up on the consumer page.
    ASSERT_TRUE(rig.control->Press(0x0C, 0xE2));
    ASSERT_TRUE(rig.WaitFor([](const SimControlState& s) { return Holds(s, 0xC00E9); }));
    ASSERT_TRUE(rig.control->Release(0x0C, 0xE2));
    ASSERT_TRUE(rig.WaitFor([](const SimControlState& s) { return s.heldKeys.empty(); }));
    EXPECT_EQ(Typed(rig.control->Snapshot()), "7:14 down 7:14 up c:e9 down c:e9 up ");

    // B has no assignment: the system gets it, the virtual keyboard types nothing.
    const size_t reports = rig.functionKeys.VirtualKeyboard().ReportCount();
    ASSERT_TRUE(rig.control->Press(0x07, 0x05));
    ASSERT_TRUE(rig.control->Release(0x07, 0x05));
    const std::vector<FilterEngine::Transition> passed{{7, 5, true}, {7, 5, false}};
    EXPECT_EQ(rig.functionKeys.Filter().PassedThrough(), passed);
    EXPECT_EQ(rig.functionKeys.VirtualKeyboard().ReportCount(), reports);

    // Keys the keyboard does not have are refused.
    EXPECT_FALSE(rig.control->Press(0x08, 0x04, &why));
    EXPECT_EQ(why, "the keyboard has no keys on that usage page");
}

TEST(SimControl, UnplugAndPlugGiveHotPlugNoticesAndSwitchModels) {
    simtest::Rig rig;
    SimHidBus& bus = *rig.setup.bus;
    const auto paths7080 = bus.PathsOf(rig.setup.keyboard.get());
    ASSERT_EQ(paths7080.size(), 8u);
    std::vector<HidNotice> notices;
    std::mutex m;
    auto sub = bus.SubscribeNotices([&](const HidNotice& n) {
        std::lock_guard lock(m);
        notices.push_back(n);
    });
    auto take = [&] {
        std::lock_guard lock(m);
        return std::exchange(notices, {});
    };
    auto expect = [](const std::vector<std::string>& paths, int event) {
        std::vector<HidNotice> v;
        for (auto& p : paths) v.push_back({event, p});
        return v;
    };
    auto eq = [](const std::vector<HidNotice>& a, const std::vector<HidNotice>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const HidNotice& x, const HidNotice& y) {
            return x.event == y.event && x.path == y.path;
        });
    };
    std::string why;

    // A key held when the keyboard goes is let go, as a vanishing keyboard's are.
    ASSERT_TRUE(rig.control->Press(0x07, 0x05));
    ASSERT_TRUE(rig.control->Unplug(&why)) << why;
    EXPECT_TRUE(eq(take(), expect(paths7080, kDeviceRemoveComplete)));
    EXPECT_FALSE(rig.functionKeys.Keys().IsDown(0x07, 0x05));
    EXPECT_FALSE(rig.control->Snapshot().plugged);

    // Without a keyboard there are no keys to press and nothing to unplug.
    EXPECT_FALSE(rig.control->Press(0x07, 0x04, &why));
    EXPECT_EQ(why, "no keyboard is plugged");
    EXPECT_FALSE(rig.control->Unplug(&why));
    EXPECT_EQ(why, "no keyboard is plugged");
    EXPECT_TRUE(take().empty());

    // Back comes the same keyboard, firmware state and all.
    ASSERT_TRUE(rig.control->Plug(&why)) << why;
    EXPECT_TRUE(eq(take(), expect(paths7080, kDeviceArrival)));
    EXPECT_FALSE(rig.control->Plug(SimKeyboardModel::k7080, &why));
    EXPECT_EQ(why, "the 7080 keyboard is already plugged");

    // Switching: the 7080 leaves, a 7FFF arrives, and the set-up follows.
    const auto first = rig.setup.keyboard;
    ASSERT_TRUE(rig.control->Plug(SimKeyboardModel::k7FFF, &why)) << why;
    ASSERT_NE(rig.setup.keyboard, first);
    EXPECT_EQ(rig.setup.keyboard->Model(), SimKeyboardModel::k7FFF);
    const auto paths7fff = bus.PathsOf(rig.setup.keyboard.get());
    ASSERT_EQ(paths7fff.size(), 4u);
    auto both = expect(paths7080, kDeviceRemoveComplete);
    for (auto& n : expect(paths7fff, kDeviceArrival)) both.push_back(n);
    EXPECT_TRUE(eq(take(), both));
    EXPECT_FALSE(bus.IsPlugged(first.get()));

    // And back again to the very same 7080.
    ASSERT_TRUE(rig.control->SwitchModel(&why)) << why;
    EXPECT_EQ(rig.setup.keyboard, first);
    const SimControlState s = rig.control->Snapshot();
    EXPECT_TRUE(s.plugged);
    EXPECT_EQ(s.model, SimKeyboardModel::k7080);
}

TEST(SimControl, ListenersHearOfPacketsAfterTheFirmwareTookThem) {
    simtest::Rig rig;
    SimHidBus& bus = *rig.setup.bus;
    const auto paths = bus.PathsOf(rig.setup.keyboard.get());
    uint32_t error = 0;
    auto handle = bus.Open(paths[rig.setup.keyboard->ConfigInterface()], kAccessRead | kAccessWrite,
                           kShareRead | kShareWrite, false, &error);
    ASSERT_TRUE(handle);

    std::atomic<int> seenMode{-1};
    std::atomic<int> calls{0};
    const uint64_t before = rig.control->Changes();
    const int id = rig.control->AddListener([&] {
        ++calls;
        seenMode = rig.control->Snapshot().lighting.mode;
    });
    const uint8_t effect[8] = {0x07, 0xFF, 0xFF, 0x03, 0x02, 0x04, 0x01, 0x00};
    ASSERT_TRUE(handle->SetFeature(effect, sizeof effect));
    const uint8_t side[8] = {0x07, 0xFF, 0xFF, 0x20, 0x00, 0x00, 0x75, 0x00};
    ASSERT_TRUE(handle->SetFeature(side, sizeof side));
    rig.control->RemoveListener(id);
    ASSERT_TRUE(handle->SetFeature(effect, sizeof effect));  // nobody listens any more

    EXPECT_EQ(calls.load(), 2);
    EXPECT_EQ(seenMode.load(), 3);  // the first call already saw the new mode
    const SimControlState s = rig.control->Snapshot();
    EXPECT_EQ(s.changes, before + 3);
    ASSERT_EQ(s.packets.size(), 3u);
    EXPECT_EQ(SimReport::Hex(s.packets[1].bytes), "07 ff ff 20 00 00 75 00");
    EXPECT_EQ(s.packets[1].kind, "set_feature");
    EXPECT_EQ(SimControlCommands::StateText(s),
              "model=7080 plugged=yes version=1.0 keys=- effect=3 brightness=2 speed=4 flags=1 selection=0 side=5 "
              "level=7");
}

TEST(SimControl, KeepsOnlyTheNewestPacketsAndTypedKeys) {
    simtest::Rig rig;
    SimControl::Options options;
    options.packetHistory = 2;
    options.typedHistory = 3;
    rig.control = std::make_unique<SimControl>(rig.setup, rig.functionKeys, options);
    auto handle = rig.setup.bus->Open(rig.setup.bus->PathsOf(rig.setup.keyboard.get())[7], kAccessRead | kAccessWrite,
                                      kShareRead | kShareWrite, false, nullptr);
    ASSERT_TRUE(handle);
    for (uint8_t mode : {2, 3, 4}) {
        const uint8_t effect[8] = {0x07, 0xFF, 0xFF, mode, 5, 2, 0, 0};
        ASSERT_TRUE(handle->SetFeature(effect, sizeof effect));
    }
    // Mouse buttons and system keys are typed too (pages 5 and 1).
    rig.vhid.InjectKey(0x07, 0x04, true);
    rig.vhid.InjectKey(0x05, 0x01, true);
    rig.vhid.InjectKey(0x01, 0x81, true);
    rig.vhid.InjectKey(0x01, 0x81, false);
    const SimControlState s = rig.control->Snapshot();
    ASSERT_EQ(s.packets.size(), 2u);
    EXPECT_EQ(s.packets[0].bytes[3], 3);
    EXPECT_EQ(s.packets[1].bytes[3], 4);
    EXPECT_EQ(Typed(s), "5:1 down 1:81 down 1:81 up ");
    EXPECT_EQ(s.heldKeys, (std::vector<uint32_t>{0x50001, 0x70004}));
    rig.vhid.ReleaseAll();
}

}  // namespace

namespace {

// Everything at once from several threads, as the window, the socket and the
// program's own threads do it; afterwards no key may be left held.
TEST(SimControl, OperationsFromSeveralThreadsLeaveNoKeyHeld) {
    simtest::Rig rig;
    std::atomic<int> listened{0};
    const int id = rig.control->AddListener([&] { ++listened; });
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 200; ++i) {
                const uint16_t usage = static_cast<uint16_t>(4 + (i + t) % 3);  // 7:4 remapped, 7:5 and 7:6 not
                rig.control->Press(0x07, usage);
                rig.control->Snapshot();
                rig.control->Release(0x07, usage);
            }
        });
    }
    threads.emplace_back([&] {
        for (int i = 0; i < 30; ++i) {
            rig.control->Unplug();
            rig.control->Plug();
            if (i % 10 == 0) rig.control->SwitchModel();
        }
    });
    for (auto& t : threads) t.join();
    rig.control->RemoveListener(id);
    EXPECT_GT(listened.load(), 0);
    EXPECT_TRUE(rig.control->Snapshot().physicalKeys.empty());
    ASSERT_TRUE(rig.WaitFor([](const SimControlState& s) { return s.heldKeys.empty(); }));
    EXPECT_TRUE(rig.control->Snapshot().plugged);
}

}  // namespace
