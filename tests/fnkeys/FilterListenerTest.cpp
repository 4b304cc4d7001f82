#include "fnkeys/FilterListener.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

#include <cstdio>
#include <fstream>
#include <iterator>
#include "data/KeyAssignmentTable.h"
#include "fnkeys/VHidev.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimFilterDriver.h"
#include "platform/sim/SimHidBus.h"
#include "platform/sim/SimKeySource.h"
#include "platform/sim/SimVirtualKeyboard.h"

namespace {

using HidUsbFilter::FilterDevice;
using HidUsbFilter::FilterListener;
using platform::sim::SimFilterDriver;
using platform::sim::SimKeySource;

struct Seen {
    uint8_t page;
    uint16_t usage;
    bool pressed;
    friend bool operator==(const Seen&, const Seen&) = default;
};

// A receiver that records what it sees; `consume` makes it swallow events.
struct Receiver {
    bool consume = false;
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<Seen> seen;

    int32_t OnKey(uint8_t page, uint16_t usage, bool pressed) {
        std::lock_guard lock(mutex);
        seen.push_back({page, usage, pressed});
        cv.notify_all();
        return consume ? 1 : 0;
    }
    int32_t Other(uint8_t, uint16_t, bool) { return 0; }
    bool WaitFor(size_t n) {
        std::unique_lock lock(mutex);
        return cv.wait_for(lock, std::chrono::seconds(5), [&] { return seen.size() >= n; });
    }
    std::vector<Seen> Seen_() {
        std::lock_guard lock(mutex);
        return seen;
    }
};

KeyAssignment Assign(int32_t code) {
    KeyAssignment a;
    a.code = code;
    a.play = 1;
    return a;
}

TEST(KeyTable, Layout) {
    EXPECT_EQ(FilterListener::BuildKeyTable({}), FilterListener::KeyTable{});

    auto t = FilterListener::BuildKeyTable({Assign(0x000700E0), Assign(0x000C0192)});
    EXPECT_EQ(std::vector<uint8_t>(t.begin(), t.begin() + 12),
              (std::vector<uint8_t>{0xE0, 0x00, 0x07, 0x02, 0x92, 0x00, 0x0C, 0x02, 0, 0, 0, 0}));

    std::vector<KeyAssignment> many;
    for (int i = 0; i < 300; ++i) many.push_back(Assign(0x00070000 | (i & 0xFF)));
    t = FilterListener::BuildKeyTable(many);
    for (size_t e = 0; e < 256; ++e) {
        ASSERT_EQ(t[e * 4], e & 0xFF) << e;
        ASSERT_EQ(t[e * 4 + 3], 0x02) << e;  // every one of the 256 entries is used
    }
}

struct Listener : ::testing::Test {
    SimKeySource keys;
    SimFilterDriver driver{&keys};
    KeyAssignmentTable table;
    Receiver window, dialog;
    std::unique_ptr<FilterListener> listener;

    void SetUp() override {
        table.LoadFromBuffer(
            "<record code=\"70004\" play=\"1\"/><record code=\"70005\" play=\"1\"/>"
            "<record code=\"c00e9\" play=\"1\"/>");
        listener = std::make_unique<FilterListener>(&driver, &table);
    }
    // The main window's order of use at start-up.
    void StartLikeTheWindow() {
        listener->AddMonitor(&window, &Receiver::OnKey);
        listener->OpenDevice();
        ASSERT_TRUE(listener->Restart());
        listener->PushKeyTable();
    }
};

TEST_F(Listener, StartUpRequestsAndKeyTable) {
    StartLikeTheWindow();
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    auto req = driver.Requests();
    ASSERT_GE(req.size(), 3u);
    EXPECT_EQ(req[0].code, FilterListener::kPrepareFirst);
    EXPECT_EQ(req[1].code, FilterListener::kPrepareSecond);
    EXPECT_EQ(driver.KeyTable(), (std::vector<uint32_t>{0x00070004, 0x00070005, 0x000C00E9}));
    EXPECT_EQ(driver.OpenHandles(), 3);
    listener.reset();
    // Destruction clears the driver's table and closes everything.
    EXPECT_TRUE(driver.KeyTable().empty());
    EXPECT_EQ(driver.Requests().back().input, std::vector<uint8_t>(256, 0));
    EXPECT_EQ(driver.OpenHandles(), 0);
}

TEST_F(Listener, EventsReachReceiversInOrderWithNothingLost) {
    StartLikeTheWindow();
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    // In a burst, later events are already queued when the reader asks again.
    keys.Press(7, 4);
    keys.Press(7, 5);
    keys.Release(7, 4);
    keys.Press(7, 6);  // not assigned: the system gets it
    keys.Release(7, 5);
    keys.Tap(0x0C, 0xE9);
    ASSERT_TRUE(window.WaitFor(6));
    EXPECT_EQ(window.Seen_(),
              (std::vector<Seen>{
                  {7, 4, true}, {7, 5, true}, {7, 4, false}, {7, 5, false}, {0x0C, 0xE9, true}, {0x0C, 0xE9, false}}));
    EXPECT_EQ(driver.PassedThrough(), (std::vector<SimFilterDriver::Transition>{{7, 6, true}}));
}

TEST_F(Listener, FrontReceiverConsumesUntilItLeaves) {
    StartLikeTheWindow();
    listener->AddMonitor(&window, &Receiver::OnKey);  // a second registration adds nothing
    listener->AddMonitor(&window, &Receiver::Other);  // another member is another receiver
    EXPECT_EQ(listener->Count(), 2u);
    listener->RemoveMonitor(&window, &Receiver::Other);
    dialog.consume = true;
    listener->AddMonitor(&dialog, &Receiver::OnKey);
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    keys.Tap(7, 4);
    ASSERT_TRUE(dialog.WaitFor(2));
    listener->RemoveMonitor(&dialog, &Receiver::OnKey);
    keys.Tap(7, 5);
    ASSERT_TRUE(window.WaitFor(2));
    EXPECT_EQ(window.Seen_(), (std::vector<Seen>{{7, 5, true}, {7, 5, false}}));
    EXPECT_EQ(dialog.Seen_().size(), 2u);
}

TEST_F(Listener, StopEndsAPendingReader) {
    StartLikeTheWindow();
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    listener->Stop();
    EXPECT_FALSE(listener->IsRunning());
    EXPECT_EQ(driver.PendingKeyRequests(), 0u);
    // Restart again, as the dialog does, and events flow again.
    ASSERT_TRUE(listener->Restart());
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    keys.Tap(7, 4);
    EXPECT_TRUE(window.WaitFor(2));
}

TEST_F(Listener, StopJustBeforeTheReaderWaitsStillEndsIt) {
    StartLikeTheWindow();
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    // The next key request arrives at the driver while a stop runs on another
    // thread: the stop's signal lands after the reader's reset and before its wait.
    std::thread stopper;
    std::atomic<bool> once{false};
    platform::Event started;
    driver.SetKeyRequestHook([&] {
        if (once.exchange(true)) return;
        stopper = std::thread([&] { listener->Stop(); });
        started.Set();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    });
    keys.Tap(7, 4);  // completes the pending request; the reader asks again
    ASSERT_TRUE(started.Wait(5000));
    stopper.join();  // hangs if the stop was lost
    EXPECT_FALSE(listener->IsRunning());
    driver.SetKeyRequestHook(nullptr);
}

TEST_F(Listener, ReaderWaitingForTheDeviceGoesOnWhenItOpens) {
    listener->AddMonitor(&window, &Receiver::OnKey);
    ASSERT_TRUE(listener->Restart());  // no device yet: the reader waits
    listener->Device().Open();         // as the window's arrival handling does
    listener->PushKeyTable();
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    keys.Tap(7, 4);
    EXPECT_TRUE(window.WaitFor(2));
}

TEST_F(Listener, ReopenedDeviceIsPickedUpByTheRunningReader) {
    StartLikeTheWindow();
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    listener->OpenDevice();  // a device arrival notice
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    keys.Tap(7, 4);
    ASSERT_TRUE(window.WaitFor(2));
    EXPECT_EQ(driver.OpenHandles(), 3);
}

// On emulated time the reader's waits are visible: WaitIdle returns once it
// waits, for a receiver, a retry or a key.
struct QuietListener : ::testing::Test {
    platform::sim::SimClock clock;
    SimKeySource keys;
    SimFilterDriver driver{&keys, clock};
    KeyAssignmentTable table;
    Receiver window;
    std::unique_ptr<FilterListener> listener;

    void SetUp() override {
        table.LoadFromBuffer("<record code=\"70004\" play=\"1\"/>");
        listener = std::make_unique<FilterListener>(&driver, &table, clock);
    }
};

TEST_F(QuietListener, NoReceiversMeansNoKeyRequests) {
    listener->OpenDevice();
    ASSERT_TRUE(listener->Restart());
    listener->PushKeyTable();
    keys.Tap(7, 4);
    clock.WaitIdle();
    EXPECT_EQ(driver.CountRequests(FilterListener::kKeyRequest), 0u);
    // The first receiver wakes the reader at once, and the keys it missed wait for it.
    listener->AddMonitor(&window, &Receiver::OnKey);
    ASSERT_TRUE(window.WaitFor(2));
    EXPECT_EQ(window.Seen_(), (std::vector<Seen>{{7, 4, true}, {7, 4, false}}));
}

TEST_F(QuietListener, RefusedRequestsAreRetriedEveryTenMilliseconds) {
    driver.RefuseRequests(true);
    listener->AddMonitor(&window, &Receiver::OnKey);
    listener->OpenDevice();
    ASSERT_TRUE(listener->Restart());
    clock.WaitIdle();
    EXPECT_EQ(driver.CountRequests(FilterListener::kKeyRequest), 1u);
    clock.Advance(FilterListener::kRetryMs - 1);
    EXPECT_EQ(driver.CountRequests(FilterListener::kKeyRequest), 1u);
    clock.Advance(1);
    clock.WaitIdle();
    EXPECT_EQ(driver.CountRequests(FilterListener::kKeyRequest), 2u);
    driver.RefuseRequests(false);
    listener->PushKeyTable();
    clock.Advance(FilterListener::kRetryMs);
    clock.WaitIdle();
    EXPECT_EQ(driver.PendingKeyRequests(), 1u);
    keys.Tap(7, 4);
    EXPECT_TRUE(window.WaitFor(2));
}

TEST_F(Listener, WithoutDriverNothingHappensAndStopStillWorks) {
    driver.SetInstalled(false);
    StartLikeTheWindow();
    EXPECT_FALSE(listener->Device().IsControlOpen());
    EXPECT_FALSE(listener->Device().IsReadOpen());
    keys.Tap(7, 4);
    listener->Stop();
    EXPECT_TRUE(window.Seen_().empty());
    EXPECT_TRUE(driver.Requests().empty());
}

// The emulated driver's own rules.
struct Driver : Listener {};

TEST_F(Driver, CaptureTakesEveryKeyUntilTheReaderGoes) {
    StartLikeTheWindow();
    listener->SendCaptureRequest();
    EXPECT_TRUE(driver.Capturing());
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    keys.Tap(7, 0x20);  // not in the table, but captured
    ASSERT_TRUE(window.WaitFor(2));
    listener->Stop();  // the cancelled request ends the capture
    EXPECT_FALSE(driver.Capturing());
    keys.Tap(7, 0x21);
    EXPECT_EQ(driver.PassedThrough().size(), 2u);
    // The first preparation request also ends it.
    listener->SendCaptureRequest();
    listener->Restart();
    EXPECT_FALSE(driver.Capturing());
}

// A device arrival re-opens the device; a recording dialog must keep every key.
TEST_F(Driver, CaptureOutlivesAReopen) {
    StartLikeTheWindow();
    listener->SendCaptureRequest();
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    listener->OpenDevice();
    EXPECT_TRUE(driver.Capturing());
    keys.Tap(7, 0x20);  // not in the table
    ASSERT_TRUE(window.WaitFor(2));
    EXPECT_EQ(window.Seen_(), (std::vector<Seen>{{7, 0x20, true}, {7, 0x20, false}}));
    EXPECT_TRUE(driver.PassedThrough().empty());
    EXPECT_EQ(driver.OpenHandles(), 3);
}

TEST_F(Driver, CaptureEndsWhenTheLastHandleCloses) {
    auto open = [&] {
        return driver.Open(SimFilterDriver::kDevicePath, FilterDevice::kAccessMask, 3, platform::kOpenExisting, 0,
                           nullptr);
    };
    auto asker = open();
    auto other = open();
    const uint8_t zero[4] = {};
    ASSERT_EQ(asker->Control(FilterListener::kCaptureRequest, zero, 4, nullptr, 0, nullptr),
              platform::FilterResult::kCompleted);
    asker.reset();
    EXPECT_TRUE(driver.Capturing());
    other.reset();
    EXPECT_FALSE(driver.Capturing());
}

// The driver logic under the real filter sees everything the user types,
// passwords included: it must not keep any of it, nor the requests.
TEST(FilterEngine, KeepsNoHistoryOfKeysOrRequests) {
    platform::FilterEngine engine;
    auto channel = engine.Open(platform::FilterEngine::kDevicePath, FilterDevice::kAccessMask, 3,
                               platform::kOpenExisting, 0, nullptr);
    ASSERT_TRUE(channel);
    const uint8_t table[FilterListener::kKeyTableBytes] = {};
    auto heap = [] {
        const auto m = mallinfo2();
        return static_cast<long long>(m.uordblks + m.hblkhd);  // large blocks are mapped
    };
    const long long before = heap();
    for (int i = 0; i < 20000; ++i) {
        engine.OnPhysicalKey(7, 0x20, i % 2 == 0);
        channel->Control(FilterListener::kKeyTableRequest, table, sizeof table, nullptr, 0, nullptr);
    }
    EXPECT_LT(heap() - before, 64 * 1024);
}

TEST_F(Driver, KeysKeepTheirRouteFromPressToRelease) {
    StartLikeTheWindow();
    ASSERT_TRUE(driver.WaitForPendingKeyRequests(1, 5000));
    keys.Press(7, 4);     // intercepted
    keys.Press(7, 0x20);  // passes through
    listener->ClearKeyTable();
    table.LoadFromBuffer("<record code=\"70020\" play=\"1\"/>");
    listener->PushKeyTable();
    keys.Release(7, 4);     // still reported: the program saw its press
    keys.Release(7, 0x20);  // still the system's: it saw the press
    ASSERT_TRUE(window.WaitFor(2));
    EXPECT_EQ(window.Seen_(), (std::vector<Seen>{{7, 4, true}, {7, 4, false}}));
    EXPECT_EQ(driver.PassedThrough(), (std::vector<SimFilterDriver::Transition>{{7, 0x20, true}, {7, 0x20, false}}));
}

TEST_F(Driver, RefusesWrongBuffersAndAccess) {
    listener->OpenDevice();
    auto& dev = listener->Device();
    uint8_t out[8] = {};
    uint8_t in[1024] = {};
    EXPECT_TRUE(dev.Request(FilterListener::kKeyTableRequest, in, 1024, nullptr, 0));
    EXPECT_FALSE(dev.Request(FilterListener::kKeyTableRequest, in, 512, nullptr, 0));
    EXPECT_FALSE(dev.Request(FilterListener::kCaptureRequest, in, 2, nullptr, 0));
    EXPECT_FALSE(dev.Request(FilterListener::kKeyRequest, nullptr, 0, out, 8));
    EXPECT_FALSE(dev.Request(0x226FFC, nullptr, 0, nullptr, 0));
    // A handle opened for reading only cannot send the (write-access) key table.
    auto readOnly =
        driver.Open(SimFilterDriver::kDevicePath, platform::kGenericRead, 3, platform::kOpenExisting, 0, nullptr);
    ASSERT_TRUE(readOnly);
    EXPECT_EQ(readOnly->Control(FilterListener::kKeyTableRequest, in, 1024, nullptr, 0, nullptr),
              platform::FilterResult::kRefused);
    EXPECT_EQ(readOnly->Control(FilterListener::kPrepareFirst, nullptr, 0, nullptr, 0, nullptr),
              platform::FilterResult::kCompleted);
}

}  // namespace

namespace {

TEST(SimLog, FilterRequestsAndVirtualKeyboardWritesShareOneLog) {
    const std::string path = std::string(KBCONF_BINARY_DIR) + "/fnkeys-sim-log.txt";
    std::remove(path.c_str());
    {
        SimFilterDriver driver(nullptr, platform::SteadyClock(), SimFilterDriver::Options{path});
        KeyAssignmentTable table;
        FilterListener listener(&driver, &table);
        listener.OpenDevice();
        listener.SendCaptureRequest();
        platform::sim::SimHidBus bus{platform::sim::SimHidBus::Options{false, path, {}}};
        bus.Plug(std::make_shared<platform::sim::SimVirtualKeyboard>());
        VHidev vhid{&bus};
        vhid.SetLogSink([](const std::string&) {});
        vhid.OpenVirtualKeyboard();
        vhid.InjectKey(0x0C, 0x0192, true);
    }
    std::ifstream in(path);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find(" vhidflt -- -- ioctl:226010 00 00 00 00\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" deed:feed -- -- output 05 03 92 01 00"), std::string::npos) << text;
    std::remove(path.c_str());
}

}  // namespace
