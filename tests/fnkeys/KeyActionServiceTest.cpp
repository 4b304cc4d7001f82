#include "fnkeys/KeyActionService.h"

#include <gtest/gtest.h>

#include <bitset>
#include <future>
#include <random>
#include <thread>

#include "ScriptHarness.h"
#include "fnkeys/FilterListener.h"
#include "platform/sim/SimFilterDriver.h"
#include "platform/sim/SimKeySource.h"

namespace {

using script::Play;

constexpr const char* kTwoForA =
    "<record code=\"70004\" play=\"2\" repeat=\"1\"><item code=\"70005\" state=\"1\" delay=\"10\"/>"
    "<item code=\"70005\" state=\"0\" delay=\"10\"/></record>"
    "<record code=\"70004\" play=\"2\" repeat=\"1\"><item code=\"70006\" state=\"1\" delay=\"10\"/>"
    "<item code=\"70006\" state=\"0\" delay=\"10\"/></record>";

TEST(KeyActionService, SameCodeTwiceTheLaterPlaybackWins) {
    script::Rig rig;
    rig.Start(kTwoForA);
    rig.Run("0 down 7:4");
    const KeyAssignment playing = rig.service->PlayState();
    ASSERT_EQ(playing.steps.size(), 2u);
    EXPECT_EQ(playing.steps[0].code, 0x70006);
    rig.Run("5 up 7:4\n 100 end");
    // The first playback may or may not have sent its press before it was
    // replaced; the second runs in full.
    std::string tail;
    for (const auto& r : rig.keyboard->Reports())
        if (r.us >= 10000) tail += std::to_string(r.us / 1000) + " " + r.Describe() + "\n";
    EXPECT_EQ(tail, "10 kbd -\n20 kbd -\n");
    EXPECT_FALSE(rig.keyboard->AnyPressed());
}

TEST(KeyActionService, RemapReleasedEvenWhenItsAssignmentChangedWhileHeld) {
    script::Rig rig;
    rig.Start("<record code=\"70004\" play=\"1\"><item code=\"70005\"/></record>");
    rig.Run("0 down 7:4");
    rig.table.LoadFromBuffer("<record code=\"70004\" play=\"1\"><item code=\"70006\"/></record>");
    rig.Run("10 up 7:4");
    EXPECT_FALSE(rig.keyboard->AnyPressed());
    // And with the assignment gone altogether.
    rig.Run("20 down 7:4");
    rig.table.LoadFromBuffer("");
    rig.Run("30 up 7:4\n 40 end");
    EXPECT_FALSE(rig.keyboard->AnyPressed());
    EXPECT_EQ(script::Normalize(rig.Reports()), "0 kbd 05\n10 kbd -\n10 kbd -\n20 kbd 06\n30 kbd -\n");
}

TEST(KeyActionService, NeverConsumesEvents) {
    script::Rig rig;
    rig.Start(kTwoForA);
    EXPECT_EQ(rig.service->OnFilterKey(7, 4, true), 0);
    EXPECT_EQ(rig.service->OnFilterKey(7, 9, true), 0);
    rig.clock.WaitIdle();
    rig.Run("1 end");
}

// A stepless macro of an unlimited mode has nothing to time, so only its stop
// can end a wait: the macro thread must block, not spin. The emulated clock
// is idle only when every thread waits; a spinning one keeps it busy.
TEST(KeyActionService, UnlimitedMacroWithoutStepsWaitsForItsStop) {
    for (Play mode :
         {Play::kWhileHeld, Play::kToggle, Play::kUntilOtherKey, Play::kUntilAnyKey, Play::kUntilReplaced}) {
        script::Rig rig;
        rig.Start(script::Record(0x70004, mode, 1, {}));
        rig.service->OnFilterKey(7, 4, true);
        auto idle = std::async(std::launch::async, [&] { rig.clock.WaitIdle(); });
        const bool waits = idle.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        EXPECT_TRUE(waits) << "mode " << static_cast<int>(mode);
        EXPECT_EQ(rig.service->PlayState().code, 0x70004);  // still playing, until stopped
        rig.service->StopAndRelease();
        idle.get();
        EXPECT_EQ(rig.service->PlayState().code, 0);
        EXPECT_EQ(rig.keyboard->ReportCount(), 0u);
    }
}

// The whole chain on real threads: physical keys -> emulated filter driver ->
// listener -> service -> virtual keyboard. Random streams through every mode;
// after each run, nothing may stay pressed.
TEST(KeyActionService, RandomStreamsThroughEveryModeLeaveNoKeyPressed) {
    const char* records =
        "<record code=\"70004\" play=\"1\"><item code=\"70014\"/></record>"
        "<record code=\"70005\" play=\"1\"><item code=\"c00e9\"/></record>"
        "<record code=\"70006\" play=\"2\" repeat=\"3\"><item code=\"70015\" state=\"1\" delay=\"1\"/>"
        "<item code=\"70016\" state=\"1\" delay=\"0\"/><item code=\"70015\" state=\"0\" delay=\"1\"/>"
        "<item code=\"70016\" state=\"0\" delay=\"1\"/></record>"
        "<record code=\"70007\" play=\"3\"><item code=\"70017\" state=\"1\" delay=\"2\"/>"
        "<item code=\"70017\" state=\"0\" delay=\"1\"/></record>"
        "<record code=\"70008\" play=\"4\"><item code=\"70018\" state=\"1\" delay=\"1\"/>"
        "<item code=\"70019\" state=\"1\" delay=\"1\"/></record>"
        "<record code=\"70009\" play=\"5\"><item code=\"7001a\" state=\"1\" delay=\"1\"/>"
        "<item code=\"7001a\" state=\"0\" delay=\"1\"/></record>"
        "<record code=\"7000a\" play=\"6\"><item code=\"7001b\" state=\"1\" delay=\"3\"/></record>"
        "<record code=\"7000b\" play=\"8\"><item code=\"7001c\" state=\"1\" delay=\"1\"/>"
        "<item code=\"7001c\" state=\"0\" delay=\"1\"/></record>";
    std::mt19937 random(12345);
    for (int run = 0; run < 8; ++run) {
        platform::sim::SimHidBus bus{platform::sim::SimHidBus::Options{false, {}, {}}};
        auto keyboard = std::make_shared<platform::sim::SimVirtualKeyboard>();
        bus.Plug(keyboard);
        VHidev vhid{&bus};
        vhid.SetLogSink([](const std::string&) {});
        ASSERT_TRUE(vhid.OpenVirtualKeyboard());
        KeyAssignmentTable table;
        table.LoadFromBuffer(records);
        platform::sim::SimKeySource keys;
        platform::sim::SimFilterDriver driver{&keys};
        {
            KeyActionService service(vhid, table);
            HidUsbFilter::FilterListener listener(&driver, &table);
            listener.AddMonitor(&service, &KeyActionService::OnFilterKey);
            listener.OpenDevice();
            ASSERT_TRUE(listener.Restart());
            listener.PushKeyTable();
            ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
            for (int i = 0; i < 60; ++i) {
                const uint16_t usage = static_cast<uint16_t>(4 + random() % 9);  // 7:04..7:0c (0c unassigned)
                if (keys.IsDown(7, usage))
                    keys.Release(7, usage);
                else
                    keys.Press(7, usage);
                if (random() % 4 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(random() % 4));
                if (random() % 40 == 0) service.StopAndRelease();  // a table change
            }
            keys.ReleaseAll();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            // Window closing: listener goes with the window, the service with it.
        }
        vhid.ReleaseAll();
        EXPECT_FALSE(keyboard->AnyPressed()) << "run " << run;
        // Nothing but the final ReleaseAll was needed: the service had let go already.
        auto reports = keyboard->Reports();
        ASSERT_GE(reports.size(), 4u);
        reports.resize(reports.size() - 4);
        std::bitset<256> keysDown;
        uint16_t consumer = 0;
        for (const auto& r : reports) {
            if (r.id == 1)
                for (int u = 0; u < 256; ++u) keysDown[u] = (r.bytes[1 + u / 8] >> (u % 8)) & 1;
            if (r.id == 3) consumer = static_cast<uint16_t>(r.bytes[0] | (r.bytes[1] << 8));
        }
        EXPECT_TRUE(keysDown.none()) << "run " << run;
        EXPECT_EQ(consumer, 0) << "run " << run;
    }
}

}  // namespace
