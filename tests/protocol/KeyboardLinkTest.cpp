#include "protocol/KeyboardLink.h"

#include <gtest/gtest.h>

#include "data/LedEffectTable.h"
#include "data/SideLightTable.h"
#include "hid/HidTestBus.h"
#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimMouse.h"
#include "protocol/Packets.h"
#include "protocol/StepClock.h"

using namespace platform::sim;
using protocol::KeyboardLink;

namespace {

std::string Zeros(int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += " 00";
    return s;
}

class KeyboardLinkTest : public ::testing::Test {
protected:
    // Plugs one keyboard (or none) and connects.
    bool Connect(std::optional<SimKeyboardModel> model, uint16_t version = 0x0100) {
        t.bus->Plug(std::make_shared<SimMouse>());
        if (model) {
            keyboard = std::make_shared<SimKeyboard>(*model, version);
            t.bus->Plug(keyboard);
        }
        bool ok = link.ConnectKeyboard();
        t.bus->ClearReports();
        return ok;
    }
    void SetSlot(int index, LedEffectSlot slot) { *effects.GetSlot(index) = slot; }
    std::vector<std::string> Wire() {
        std::vector<std::string> out;
        for (auto& r : t.bus->Reports()) out.push_back(r.kind + " " + SimReport::Hex(r.bytes));
        return out;
    }

    HidTestBus t;
    StepClock clock;
    LedEffectTable effects;
    SideLightTable sides;
    KeyboardLink link{effects, sides, clock, t.bus.get()};
    std::shared_ptr<SimKeyboard> keyboard;
};

}  // namespace

TEST_F(KeyboardLinkTest, ConnectPicksTheFirstRowThatOpens) {
    EXPECT_TRUE(Connect(SimKeyboardModel::k7FFF, 0x0207));
    EXPECT_EQ(link.deviceProtocol, protocol::FramedOutputReports);
    EXPECT_EQ(link.hidAttributeVersion, 0x0207);
    // Family and version stay when nothing opens.
    t.bus->Unplug(keyboard.get());
    link.keyboard.Close();
    EXPECT_FALSE(link.ConnectKeyboard());
    EXPECT_EQ(link.deviceProtocol, protocol::FramedOutputReports);
    EXPECT_EQ(link.hidAttributeVersion, 0x0207);
    auto k7080 = std::make_shared<SimKeyboard>(SimKeyboardModel::k7080);
    t.bus->Plug(k7080);
    EXPECT_TRUE(link.ConnectKeyboard());
    EXPECT_EQ(link.deviceProtocol, protocol::FeatureReports);
    EXPECT_TRUE(link.keyboard.IsOpen());
}

TEST_F(KeyboardLinkTest, LightingPacketsOnTheWire) {
    struct Case {
        SimKeyboardModel model;
        const char* what;  // "effect", "startup" or "side"
        int index;
        LedEffectSlot slot;
        uint8_t sideByte;
        std::vector<std::string> wire;
    };
    using M = SimKeyboardModel;
    const std::string frame3 = "output 00 bb aa 99 88 aa 04 02 04 01 00" + Zeros(54);
    const Case cases[] = {
        {M::k7080, "effect", 0, {5, 0, 0, 0}, 0, {"set_feature 07 ff ff 00 05 00 00 00"}},
        {M::k7080, "effect", 3, {2, 4, 1, 2}, 0, {"set_feature 07 ff ff 04 02 04 01 00"}},
        {M::k7080, "effect", 19, {1, 3, 0, 1}, 0, {"set_feature 07 ff ff 14 01 03 00 00"}},
        {M::k7080, "effect", 7, {4, 2, 1, 3}, 0, {"set_feature 07 ff ff 08 04 02 00 00"}},
        {M::k7FFF, "effect", 3, {2, 4, 1, 2}, 0, {frame3}},
        {M::k7080, "startup", 3, {2, 4, 1, 2}, 0, {"set_feature 07 ff ff 03 02 04 01 02"}},
        // Always a feature report, which that keyboard refuses.
        {M::k7FFF, "startup", 3, {2, 4, 1, 2}, 0, {"set_feature_refused 07 ff ff 03 02 04 01 02"}},
        {M::k7080, "side", 5, {}, 0x70, {"set_feature 07 ff ff 20 00 00 75 00"}},
        {M::k7080, "side", 5, {}, 0x7A, {"set_feature 07 ff ff 20 00 00 75 00"}},
        {M::k7080, "side", 4, {}, 0x65, {"set_feature 07 ff ff 20 00 00 64 00"}},
        {M::k7FFF, "side", 5, {}, 0x70, {}},  // not even attempted
        {M::k7080, "effect", 20, {}, 0, {}},
        {M::k7080, "effect", -2, {}, 0, {}},
        {M::k7080, "side", 12, {}, 0, {}},
        {M::k7080, "startup", 20, {}, 0, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.index));
        ASSERT_TRUE(Connect(c.model));
        if (c.index >= 0 && c.index < 20) SetSlot(c.index, c.slot);
        if (c.index >= 0 && c.index < 12) sides.GetSlot(c.index)->first = c.sideByte;
        std::string what = c.what;
        if (what == "effect") link.SendEffect(c.index);
        if (what == "startup") link.SendStartupSlot(c.index);
        if (what == "side") link.SendSideLight(c.index);
        EXPECT_EQ(Wire(), c.wire);
        if (keyboard) t.bus->Unplug(keyboard.get());
        link.keyboard.Close();
    }
}

TEST_F(KeyboardLinkTest, SelectedSlotIsUsedForMinusOneAndTheResetSelectionSendsNothing) {
    ASSERT_TRUE(Connect(SimKeyboardModel::k7080));
    SetSlot(9, {3, 1, 0, 2});
    effects.SetSelected(9);
    sides.SetSelected(2);
    sides.GetSlot(2)->first = 0x41;
    link.SendEffect(-1);
    link.SendSideLight(-1);
    EXPECT_EQ(Wire(),
              (std::vector<std::string>{"set_feature 07 ff ff 0a 03 01 01 00", "set_feature 07 ff ff 20 00 00 42 00"}));
    t.bus->ClearReports();
    effects.SetSelected(LedEffectTable::kNoSelection);
    const int64_t before = link.lastSendTime;
    clock.sleeps.clear();
    link.SendEffect(-1);
    EXPECT_TRUE(Wire().empty());
    EXPECT_EQ(link.lastSendTime, before);
    EXPECT_TRUE(clock.sleeps.empty());
    EXPECT_EQ(keyboard->Lighting().mode, 0x0a);  // the firmware kept the last effect
}

TEST_F(KeyboardLinkTest, PacingKeepsLightingPacketsAHundredMillisecondsApart) {
    ASSERT_TRUE(Connect(SimKeyboardModel::k7080));
    link.MarkSent();  // as at connection
    link.SendEffect(1);
    EXPECT_EQ(clock.sleeps, std::vector<int64_t>{100});  // right after connecting
    clock.Advance(30);
    link.SendSideLight(1);
    EXPECT_EQ(clock.sleeps, (std::vector<int64_t>{100, 70}));
    const int64_t second = link.lastSendTime;
    clock.Advance(5000);
    link.SendEffect(2);
    EXPECT_EQ(clock.sleeps.size(), 2u);  // long after: at once
    EXPECT_EQ(link.lastSendTime, second + 5000);
    // Unpaced packets neither wait nor move the mark.
    link.SendStartupSlot(2);
    link.QueryFirmwareVersion();
    link.SendFactoryReset();
    EXPECT_EQ(clock.sleeps.size(), 2u);
    EXPECT_EQ(link.lastSendTime, second + 5000);
}

TEST_F(KeyboardLinkTest, WithoutAKeyboardPacedSendersStillWaitAndMark) {
    ASSERT_FALSE(Connect(std::nullopt));
    link.MarkSent();
    link.SendEffect(0);
    link.SendSideLight(0);
    EXPECT_EQ(clock.sleeps, (std::vector<int64_t>{100, 100}));
    EXPECT_EQ(link.lastSendTime, clock.NowMs());
    EXPECT_TRUE(t.bus->Reports().empty());
}

TEST_F(KeyboardLinkTest, FirmwareVersionAndItsText) {
    struct Case {
        SimKeyboardModel model;
        uint16_t version;
        const char* fault;  // "", "garbage", "refuse"
        int32_t expect;
        const char* text;
        size_t packets;
    };
    using M = SimKeyboardModel;
    const Case cases[] = {
        {M::k7080, 0x0100, "", 0x0100, "Firmware: v1.0", 2},   {M::k7080, 0x0123, "", 0x0123, "Firmware: v1.35", 2},
        {M::k7080, 0x02C8, "", 0x02C8, "Firmware: v2.200", 2}, {M::k7FFF, 0x0100, "", 0x0100, "Firmware: v1.0", 0},
        {M::k7080, 0x0100, "garbage", -1, nullptr, 2},         {M::k7080, 0x0100, "refuse", -1, nullptr, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        ASSERT_TRUE(Connect(c.model, c.version));
        link.firmwareVersion = -1;
        std::string fault = c.fault;
        if (fault == "garbage") keyboard->SetGarbageReply(true);
        if (fault == "refuse") t.bus->RefuseFeatures(keyboard.get(), true);
        link.QueryFirmwareVersion();
        EXPECT_EQ(link.firmwareVersion, c.expect);
        auto wire = Wire();
        EXPECT_EQ(wire.size(), c.packets);
        if (c.packets == 2) {
            EXPECT_EQ(wire[0], "set_feature 07 f1 00 00 00 00 00 00");
        }
        if (fault == "refuse") {  // asked once; no reply is read after a refused question
            EXPECT_EQ(wire, std::vector<std::string>{"set_feature_refused 07 f1 00 00 00 00 00 00"});
        }
        std::string text = "kept";
        EXPECT_EQ(link.FirmwareVersionText("Firmware", &text), c.text != nullptr);
        EXPECT_EQ(text, c.text ? c.text : "kept");
        t.bus->Unplug(keyboard.get());
        link.keyboard.Close();
    }
    // Closed: nothing asked, value kept.
    link.firmwareVersion = 0x0105;
    link.QueryFirmwareVersion();
    EXPECT_EQ(link.firmwareVersion, 0x0105);
    std::string text;
    EXPECT_TRUE(link.FirmwareVersionText("固件", &text));
    EXPECT_EQ(text, "固件: v1.5");
}

TEST_F(KeyboardLinkTest, FactoryResetPerFamily) {
    ASSERT_TRUE(Connect(SimKeyboardModel::k7080));
    link.SendFactoryReset();
    EXPECT_EQ(Wire(), std::vector<std::string>{"output 07 f0 aa 00 00 00 00 00"});
    EXPECT_EQ(keyboard->Lighting().resets, 1);
    t.bus->Unplug(keyboard.get());
    link.keyboard.Close();

    ASSERT_TRUE(Connect(SimKeyboardModel::k7FFF));
    link.SendFactoryReset();
    EXPECT_EQ(Wire(), (std::vector<std::string>{"output 00 bb aa 99 88 aa aa aa aa aa aa" + Zeros(54),
                                                "output 00 bb aa 99 88" + Zeros(60)}));
    EXPECT_EQ(clock.sleeps, std::vector<int64_t>{1500});
    EXPECT_EQ(keyboard->Lighting().resets, 1);
}

TEST_F(KeyboardLinkTest, KeyboardDropsOffAfterResetAndComesBack) {
    ASSERT_TRUE(Connect(SimKeyboardModel::k7080));
    keyboard->SetReenumerateOnReset(true, 10, 30);
    std::mutex m;
    std::vector<int> events;
    platform::Event back;
    auto sub = hid::RegisterDeviceNotices(
        [&](const platform::HidNotice& n) {
            hid::DeviceNotice parsed;
            if (!protocol::MatchKeyboardNotice(n.event, n.path, &parsed) || parsed.row != 0) return;
            std::lock_guard lock(m);
            events.push_back(n.event);
            if (n.event == platform::kDeviceArrival) back.Set();
        },
        t.bus.get());
    link.SendFactoryReset();
    ASSERT_TRUE(back.Wait(5000));
    {
        std::lock_guard lock(m);
        EXPECT_EQ(events, (std::vector<int>{platform::kDeviceRemoveComplete, platform::kDeviceArrival}));
    }
    EXPECT_FALSE(link.keyboard.SetFeature(protocol::VersionQueryPacket()));  // old handle is dead
    link.keyboard.Close();
    EXPECT_TRUE(link.ConnectRow(0));
    link.QueryFirmwareVersion();
    EXPECT_EQ(link.firmwareVersion, 0x0100);
}

TEST(Packets, FramesArePinnedToTheirLayout) {
    const LedEffectSlot slot{2, 4, 1, 2};
    auto frame = protocol::EffectFrame(3, slot);
    auto packet = protocol::EffectPacket(3, slot);
    static_assert(std::tuple_size_v<decltype(frame)> == 64);
    EXPECT_EQ(frame[0], 0xBB);
    EXPECT_EQ(frame[3], 0x88);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(frame[5 + i], packet[3 + i]) << i;
    for (int i = 10; i < 64; ++i) EXPECT_EQ(frame[i], 0) << i;
    // Mode: 0 stays, every other index is shifted by one; mode 1 never appears.
    EXPECT_EQ(protocol::EffectMode(0), 0x00);
    EXPECT_EQ(protocol::EffectMode(1), 0x02);
    EXPECT_EQ(protocol::EffectMode(19), 0x14);
    for (int sel : {0, 1, 3, 255}) EXPECT_EQ(protocol::EffectFlag(static_cast<uint8_t>(sel)), 0);
    EXPECT_EQ(protocol::EffectFlag(2), 1);
    int32_t v = 7;
    EXPECT_FALSE(protocol::ParseVersionReply({0x5A, 1, 2}, &v));
    EXPECT_EQ(v, 7);
}
