#include "fnkeys/VHidev.h"

#include <gtest/gtest.h>

#include <bitset>
#include <thread>

#include "platform/sim/SimHidBus.h"
#include "platform/sim/SimVirtualKeyboard.h"

namespace {

using platform::sim::SimHidBus;
using platform::sim::SimVirtualKeyboard;

// A HID device that is not the virtual keyboard.
struct OtherDevice : platform::sim::SimHidDevice {
    platform::HidAttributes attributes;
    uint16_t usagePage = 0xFF00;
    platform::HidAttributes Attributes() const override { return attributes; }
    std::vector<platform::sim::SimInterface> Interfaces() const override {
        platform::sim::SimInterface i;
        i.caps.usagePage = usagePage;
        i.caps.usage = 1;
        return {i};
    }
};

struct Writer : ::testing::Test {
    SimHidBus bus{SimHidBus::Options{false, {}, {}}};
    std::shared_ptr<SimVirtualKeyboard> keyboard = std::make_shared<SimVirtualKeyboard>();
    VHidev vhid{&bus};
    std::string log;

    void SetUp() override {
        vhid.SetLogSink([this](const std::string& line) { log += line; });
        bus.Plug(keyboard);
        ASSERT_TRUE(vhid.OpenVirtualKeyboard());
        bus.ClearReports();
    }
    // The head of each 64-byte record written since the last call.
    std::vector<std::vector<uint8_t>> Records(size_t head = 6) {
        std::vector<std::vector<uint8_t>> out;
        for (const auto& r : bus.Reports()) {
            EXPECT_EQ(r.bytes.size(), 64u);
            out.emplace_back(r.bytes.begin(), r.bytes.begin() + std::min(head, r.bytes.size()));
        }
        bus.ClearReports();
        return out;
    }
};

TEST_F(Writer, InjectKeyRecords) {
    struct Case {
        uint16_t page, usage;
        bool pressed, sent;
        std::vector<uint8_t> head;
    } cases[] = {
        {0x07, 0x04, true, true, {0x05, 0x01, 0x00, 0x10, 0x00, 0x00}},  // bit 4 of the first bitmap byte
        {0x07, 0x04, false, true, {0x05, 0x01, 0x00, 0x00, 0x00, 0x00}},
        {0x07, 0x1E4, true, true, {0x05, 0x01, 0x00, 0x00, 0x00, 0x00}},  // low 8 bits: 0xE4, far byte
        {0x0C, 0x0192, true, true, {0x05, 0x03, 0x92, 0x01, 0x00, 0x00}},
        {0x0C, 0x0192, false, true, {0x05, 0x03, 0x00, 0x00, 0x00, 0x00}},
        {0x01, 0x82, true, true, {0x05, 0x04, 0x82, 0x00, 0x00, 0x00}},
        {0x01, 0x82, false, true, {0x05, 0x04, 0x00, 0x00, 0x00, 0x00}},
        {0x05, 0x01, true, true, {0x05, 0x02, 0x02, 0x00, 0x00, 0x00}},  // button 2
        {0x05, 0x09, true, true, {0x05, 0x02, 0x02, 0x00, 0x00, 0x00}},  // no such button: sent unchanged
        {0x05, 0x01, false, true, {0x05, 0x02, 0x00, 0x00, 0x00, 0x00}},
        {0x01, 0x31, true, true, {0x05, 0x02, 0x00, 0x00, 0x01, 0x00}},  // Y
        {0x01, 0x31, false, true, {0x05, 0x02, 0x00, 0x00, 0x00, 0x00}},
        {0x01, 0x10, true, false, {}},
        {0x09, 0x01, true, false, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vhid.InjectKey(c.page, c.usage, c.pressed), c.sent) << c.page << ":" << c.usage;
        auto records = Records();
        if (!c.sent) {
            EXPECT_TRUE(records.empty());
            continue;
        }
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0], c.head) << c.page << ":" << c.usage << " " << c.pressed;
    }
    EXPECT_EQ(keyboard->PressedKeys(), std::vector<uint8_t>{0xE4});
    vhid.InjectKey(0x07, 0xE4, false);
    EXPECT_FALSE(keyboard->AnyPressed());
}

TEST_F(Writer, KeyboardUsagesAccumulate) {
    vhid.InjectKey(0x07, 0x04, true);
    vhid.InjectKey(0x07, 0xE1, true);
    EXPECT_EQ(keyboard->PressedKeys(), (std::vector<uint8_t>{0x04, 0xE1}));
    vhid.InjectKey(0x07, 0x04, false);
    EXPECT_EQ(keyboard->PressedKeys(), std::vector<uint8_t>{0xE1});
    EXPECT_EQ(vhid.KeyboardBuffer()[1 + 0xE1 / 8], 1 << (0xE1 % 8));
}

TEST_F(Writer, ReleaseAllSendsFourRecordsInOrder) {
    vhid.ReleaseAll();
    auto records = Records(2);
    EXPECT_EQ(records, (std::vector<std::vector<uint8_t>>{{5, 1}, {5, 2}, {5, 3}, {5, 4}}));
    vhid.InjectKey(0x07, 0x04, true);
    vhid.InjectKey(0x0C, 0xE9, true);
    vhid.InjectKey(0x05, 0x00, true);
    vhid.ReleaseAll();
    EXPECT_FALSE(keyboard->AnyPressed());
}

TEST_F(Writer, WriteFramesAndCuts) {
    std::vector<uint8_t> data(70, 0xAB);
    EXPECT_TRUE(vhid.Write(data.data(), data.size(), 2));
    // Id 0 puts the data at byte 1; the virtual keyboard takes no such record.
    EXPECT_FALSE(vhid.Write(data.data(), 3, 0));
    EXPECT_EQ(keyboard->BadRecords(), 1);
    auto r = bus.Reports();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].bytes[1], 2);
    EXPECT_EQ(r[0].bytes[63], 0xAB);  // 62 bytes of data fit
    EXPECT_EQ(std::vector<uint8_t>(r[1].bytes.begin(), r[1].bytes.begin() + 5),
              (std::vector<uint8_t>{0x05, 0xAB, 0xAB, 0xAB, 0x00}));
}

TEST_F(Writer, ChangeAndSendStayTogetherAcrossThreads) {
    // Two threads toggle one usage each; every record must carry exactly one
    // change against the record before it.
    constexpr int kToggles = 500;
    auto toggler = [&](uint16_t usage) {
        for (int i = 0; i < kToggles; ++i) vhid.InjectKey(0x07, usage, i % 2 == 0);
    };
    std::thread a(toggler, 0x04), b(toggler, 0x05);
    a.join();
    b.join();
    auto reports = keyboard->Reports();
    ASSERT_EQ(reports.size(), 2u * kToggles);
    std::bitset<256> previous;
    for (const auto& r : reports) {
        std::bitset<256> now;
        for (int u = 0; u < 256; ++u) now[u] = (r.bytes[1 + u / 8] >> (u % 8)) & 1;
        ASSERT_EQ((now ^ previous).count(), 1u);
        previous = now;
    }
    EXPECT_FALSE(keyboard->AnyPressed());
}

TEST(VirtualKeyboardSearch, LogsAndFindsOnlyTheRightIdentity) {
    struct Case {
        const char* name;
        bool plugOther, wrongUsage, plugKeyboard;
        bool found;
        const char* logged;
    } cases[] = {
        {"nothing present", false, false, false, false,
         "Error: No active device interfaces found.\n Is the sample driver loaded?"},
        {"another device", true, false, false, false, "Device attributes doesn't match the sample \n"},
        {"right ids, wrong collection", false, true, false, false, "Device Attributes - PID: 0xfeed, VID: 0xdeed \n"},
        {"the virtual keyboard", true, false, true, true, "Success: Found my device.. \n"},
    };
    for (const Case& c : cases) {
        SimHidBus bus{SimHidBus::Options{false, {}, {}}};
        auto other = std::make_shared<OtherDevice>();
        other->attributes.vendorId = 0x1A2C;
        other->attributes.productId = 0x7080;
        if (c.plugOther) bus.Plug(other);
        auto wrong = std::make_shared<OtherDevice>();
        wrong->attributes.vendorId = 0xDEED;
        wrong->attributes.productId = 0xFEED;
        wrong->usagePage = 0x0001;
        if (c.wrongUsage) bus.Plug(wrong);
        if (c.plugKeyboard) bus.Plug(std::make_shared<SimVirtualKeyboard>());
        VHidev vhid{&bus};
        std::string log;
        vhid.SetLogSink([&](const std::string& line) { log += line; });
        EXPECT_EQ(vhid.OpenVirtualKeyboard(), c.found) << c.name;
        EXPECT_EQ(vhid.IsOpen(), c.found) << c.name;
        EXPECT_NE(log.find(c.logged), std::string::npos) << c.name << ": " << log;
        if (c.found) {
            EXPECT_NE(log.find("....looking for our HID device (with UP=0xFF00 and Usage=0x01)"), std::string::npos);
        }
        // Without a device every write fails, the buffers still change.
        if (!c.found) {
            EXPECT_FALSE(vhid.InjectKey(0x07, 0x04, true)) << c.name;
            EXPECT_EQ(vhid.KeyboardBuffer()[1], 0x10);
        }
    }
}

}  // namespace
