#include "hid/HidDevice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include "hid/HidEnumerator.h"
#include "hid/HidTestBus.h"
#include "platform/Event.h"
#include "platform/NamedLock.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimMouse.h"

using namespace platform;
using namespace platform::sim;
using hid::HidDevice;

namespace {

// One interface with chosen report lengths; remembers every output.
class PlainDevice : public SimHidDevice {
public:
    explicit PlainDevice(HidCaps caps) : caps_(caps) {}
    HidAttributes Attributes() const override { return {0x1111, 0x2222, 0x0300}; }
    std::vector<SimInterface> Interfaces() const override { return {{0, -1, caps_}}; }
    bool OnOutput(size_t, const uint8_t*, size_t) override { return true; }
    bool OnSetFeature(size_t, const uint8_t*, size_t) override { return true; }
    bool OnGetFeature(size_t, uint8_t* d, size_t len) override {
        for (size_t i = 1; i < len; ++i) d[i] = static_cast<uint8_t>(0xA0 + i);
        return true;
    }

private:
    HidCaps caps_;
};

class HidDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        k7080 = std::make_shared<SimKeyboard>(SimKeyboardModel::k7080, 0x0123);
        k7fff = std::make_shared<SimKeyboard>(SimKeyboardModel::k7FFF, 0x0100);
        t.bus->Plug(std::make_shared<SimMouse>());
        t.bus->Plug(k7080);
        t.bus->Plug(k7fff);
    }
    HidDevice OpenPlain(HidCaps caps, bool overlapped = true) {
        plain = std::make_shared<PlainDevice>(caps);
        t.bus->Plug(plain);
        HidDevice d(t.bus.get());
        d.overlapped = overlapped;
        EXPECT_TRUE(d.Open(t.bus->PathsOf(plain.get())[0], HidDevice::kDefaultAccess));
        return d;
    }
    std::vector<SimReport> ReportsOf(uint16_t pid) {
        std::vector<SimReport> out;
        for (auto& r : t.bus->Reports())
            if (r.productId == pid) out.push_back(r);
        return out;
    }

    HidTestBus t;
    std::shared_ptr<SimKeyboard> k7080, k7fff;
    std::shared_ptr<PlainDevice> plain;
};

}  // namespace

TEST_F(HidDeviceTest, EnumerationFiltersByTheRequest) {
    struct Case {
        int32_t vendor;
        std::vector<int32_t> products;
        int32_t mi, col;
        size_t count;
    };
    const Case cases[] = {
        {0x1A2C, {0x7080}, 1, 7, 1},
        {0x1A2C, {0x7FFF}, 2, -1, 1},  // the interface without a collection part
        {0x1A2C, {0x7FFF}, 1, -1, 2},  // with collection parts too
        {0x1A2C, {0x7080, 0x7FFF}, -1, -1, 12},
        {0x1A2C, {}, 0, -1, 2},         // any product
        {0, {0x7080}, 1, -1, 7},        // any vendor
        {0x1A2C, {0x7080}, -2, -1, 0},  // other negatives match nothing
        {0x1A2C, {0x7080}, 1, -3, 0},
        {0, {}, -1, -1, 0},  // nothing to match on
        {0x1A2D, {0x7080}, -1, -1, 0},
    };
    for (const auto& c : cases) {
        auto list =
            hid::EnumerateHidInterfaces(c.vendor, static_cast<int32_t>(c.products.size()),
                                        c.products.empty() ? nullptr : c.products.data(), c.mi, c.col, t.bus.get());
        EXPECT_EQ(list.size(), c.count) << std::hex << c.vendor << " mi " << c.mi << " col " << c.col;
    }
    const int32_t p = 0x7080;
    auto config = hid::EnumerateHidInterfaces(0x1A2C, 1, &p, 1, 7, t.bus.get());
    ASSERT_EQ(config.size(), 1u);
    EXPECT_EQ(config[0].vendorId, 0x1A2C);
    EXPECT_EQ(config[0].productId, 0x7080);
    EXPECT_EQ(config[0].versionNumber, 0x0001);
    EXPECT_EQ(config[0].usagePage, 0xFF32);
    EXPECT_EQ(config[0].usage, 0x01);
    EXPECT_EQ(config[0].classGuid, kHidClassGuid);
    EXPECT_NE(config[0].path.find("mi_01&col07"), std::string::npos);
    EXPECT_NE(t.Log().find("got classs: guid={4D1E55B2-F16F-11CF-88CB-001111000030}\n"), std::string::npos);
}

TEST_F(HidDeviceTest, InterfaceHeldExclusivelyIsListedWithZerosAndFailsToOpen) {
    t.bus->HoldExclusive(k7fff.get(), k7fff->ConfigInterface(), true);
    const int32_t p = 0x7FFF;
    auto list = hid::EnumerateHidInterfaces(0x1A2C, 1, &p, 2, -1, t.bus.get());
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].versionNumber, 0);
    EXPECT_EQ(list[0].usagePage, 0);
    EXPECT_EQ(list[0].usage, 0);
    EXPECT_NE(t.Log().find("open dev: ffffffff\n"), std::string::npos);

    HidDevice d(t.bus.get());
    d.overlapped = true;
    uint16_t version = 0xBEEF;
    EXPECT_FALSE(d.Open(0x7FFF, -1, &version, 0x1A2C, 2));
    EXPECT_EQ(version, 0);  // still written from the matched entry
    EXPECT_FALSE(d.IsOpen());
    version = 0xBEEF;
    EXPECT_FALSE(d.Open(0x7FFF, 5, &version, 0x1A2C, 2));  // nothing matched: untouched
    EXPECT_EQ(version, 0xBEEF);

    t.bus->HoldExclusive(k7fff.get(), k7fff->ConfigInterface(), false);
    EXPECT_TRUE(d.Open(0x7FFF, -1, &version, 0x1A2C, 2));
    EXPECT_EQ(version, 0x0100);
    EXPECT_EQ(d.Caps().outputReportLength, 65);
    d.Close();
    EXPECT_FALSE(d.IsOpen());
}

TEST_F(HidDeviceTest, WriteFormsAndClampToTheOutputLength) {
    struct Case {
        uint16_t outputLength;
        bool framed;  // the 64-byte form
        size_t expectWritten;
    };
    const Case cases[] = {
        {0, false, 8},                   // no output length known: 8 bytes unchanged
        {8, false, 8},  {65, true, 65},  // 00 in front of the payload
        {5, false, 5},                   // longer than the report: cut
        {33, true, 33},
    };
    for (bool overlapped : {true, false}) {
        for (const auto& c : cases) {
            t.bus->ClearReports();
            HidDevice d = OpenPlain({1, 0xFF00, 0, c.outputLength, 8}, overlapped);
            size_t n;
            if (c.framed) {
                uint8_t payload[64];
                for (int i = 0; i < 64; ++i) payload[i] = static_cast<uint8_t>(i + 1);
                n = d.Write(payload);
            } else {
                const uint8_t report[8] = {7, 0xF0, 0xAA, 0, 0, 0, 0, 9};
                n = d.Write(report);
            }
            EXPECT_EQ(n, c.expectWritten) << c.outputLength << " overlapped " << overlapped;
            auto reports = ReportsOf(0x2222);
            ASSERT_EQ(reports.size(), 1u);
            EXPECT_EQ(reports[0].kind, "output");
            ASSERT_EQ(reports[0].bytes.size(), c.expectWritten);
            EXPECT_EQ(reports[0].bytes[0], c.framed ? 0x00 : 0x07);
            EXPECT_EQ(reports[0].bytes[1], c.framed ? 0x01 : 0xF0);
            t.bus->Unplug(plain.get());
        }
    }
}

TEST_F(HidDeviceTest, TransfersOnAClosedDeviceFailWithoutTouchingIt) {
    HidDevice d(t.bus.get());
    d.overlapped = true;
    uint8_t buf[8] = {7, 0xF1};
    EXPECT_FALSE(d.SetFeature(buf));
    EXPECT_FALSE(d.GetFeature(buf));
    EXPECT_FALSE(d.SetFeature(7, buf, 7));
    EXPECT_EQ(d.Write(buf), 0u);
    uint8_t in[9];
    EXPECT_EQ(d.Read(in, 9, 100), 0u);
    EXPECT_TRUE(t.bus->Reports().empty());
    EXPECT_FALSE(d.Open("", HidDevice::kDefaultAccess));
    EXPECT_FALSE(d.Open(R"(\\?\hid#vid_9999&pid_9999#none)", HidDevice::kDefaultAccess));
}

TEST_F(HidDeviceTest, FeatureReportFormsPutTheIdInFront) {
    HidDevice d = OpenPlain({1, 0xFF00, 0, 0, 8});
    const uint8_t data[7] = {1, 2, 3, 4, 5, 6, 7};
    EXPECT_TRUE(d.SetFeature(7, data, 7));
    EXPECT_FALSE(d.SetFeature(7, data, 0));
    uint8_t out[7] = {};
    EXPECT_TRUE(d.GetFeature(7, out, 7));
    EXPECT_EQ(out[0], 0xA1);
    EXPECT_EQ(out[6], 0xA7);
    EXPECT_FALSE(d.GetFeature(7, out, 0));
    auto r = ReportsOf(0x2222);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(SimReport::Hex(r[0].bytes), "07 01 02 03 04 05 06 07");
    EXPECT_EQ(r[1].kind, "get_feature");
    // Refused by the device: false.
    t.bus->RefuseFeatures(plain.get(), true);
    uint8_t buf[8] = {7};
    EXPECT_FALSE(d.GetFeature(buf));
}

TEST_F(HidDeviceTest, StalledWriteTimesOutAfterThreeSecondsAndIsCancelled) {
    // The bus's transfers wait on an emulated clock: exactly 3000 ms, at once.
    SimClock clock;
    HidTestBus timed(&clock);
    auto device = std::make_shared<PlainDevice>(HidCaps{1, 0xFF00, 0, 8, 8});
    timed.bus->Plug(device);
    HidDevice d(timed.bus.get());
    d.overlapped = true;
    ASSERT_TRUE(d.Open(timed.bus->PathsOf(device.get())[0], HidDevice::kDefaultAccess));
    timed.bus->StallWrites(device.get(), true);
    const uint8_t report[8] = {7, 1, 2, 3, 4, 5, 6, 7};
    std::atomic<size_t> written{99};
    clock.ThreadStarting();
    std::thread writer([&] {
        written = d.Write(report);
        clock.ThreadEnded();
    });
    clock.AdvanceTo(2999);
    EXPECT_EQ(written, 99u);  // still waiting one millisecond before the limit
    clock.AdvanceTo(3000);
    writer.join();
    EXPECT_EQ(written, 0u);
    const std::string log = timed.Log();
    EXPECT_NE(log.find("写文件错误("), std::string::npos);
    EXPECT_NE(log.find(",997)\n超时索引错误\n已写长度为 0\n"), std::string::npos) << log;
    // The cancelled write never reaches the device, and the next one goes through.
    timed.bus->StallWrites(device.get(), false);
    EXPECT_EQ(d.Write(report), 8u);
    ASSERT_EQ(timed.bus->Reports().size(), 1u);
    EXPECT_EQ(SimReport::Hex(timed.bus->Reports()[0].bytes), "07 01 02 03 04 05 06 07");
}

TEST_F(HidDeviceTest, PendingWriteCompletingWithinTheLimitIsCounted) {
    HidDevice d = OpenPlain({1, 0xFF00, 0, 8, 8});
    t.bus->SetWritesPend(true);
    const uint8_t report[8] = {7, 1, 2, 3, 4, 5, 6, 7};
    EXPECT_EQ(d.Write(report), 8u);
    EXPECT_EQ(ReportsOf(0x2222).size(), 1u);
    EXPECT_NE(t.Log().find("asynchronous write succeed : "), std::string::npos);
}

TEST_F(HidDeviceTest, CapsThatCannotBeReadAreZeroNotThoseOfTheLastInterface) {
    // One object, the 7080 first (8-byte outputs), then the 7FFF whose caps
    // cannot be read: its 65-byte frames must not be cut to 8 bytes.
    HidDevice d(t.bus.get());
    d.overlapped = true;
    ASSERT_TRUE(d.Open(0x7080, 7, nullptr, 0x1A2C, 1));
    EXPECT_EQ(d.Caps().outputReportLength, 8);
    t.bus->FailCaps(k7fff.get(), true);
    ASSERT_TRUE(d.Open(0x7FFF, -1, nullptr, 0x1A2C, 2));
    EXPECT_EQ(d.Caps().outputReportLength, 0);
    EXPECT_EQ(d.Caps().featureReportLength, 0);
    t.bus->ClearReports();
    uint8_t payload[64] = {0xBB, 0xAA, 0x99, 0x88};
    EXPECT_EQ(d.Write(payload), 65u);
    auto frames = ReportsOf(0x7FFF);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].bytes.size(), 65u);
    // Readable again on the next open.
    t.bus->FailCaps(k7fff.get(), false);
    ASSERT_TRUE(d.Open(0x7FFF, -1, nullptr, 0x1A2C, 2));
    EXPECT_EQ(d.Caps().outputReportLength, 65);
}

TEST_F(HidDeviceTest, EachOperationHoldsTheNamedLockOfItsKind) {
    // While another thread holds one kind's lock, exactly the operation of that
    // kind waits for it; every other one goes through.
    HidDevice base = OpenPlain({1, 0xFF00, 4, 8, 8});
    const std::string path = t.bus->PathsOf(plain.get())[0];
    using Op = std::function<void(HidDevice&)>;
    const std::vector<std::pair<std::string, Op>> ops = {
        {"HidDevice::Open", [&](HidDevice& d) { d.Open(path, HidDevice::kDefaultAccess); }},
        {"HidDevice::Close", [](HidDevice& d) { d.Close(); }},
        {"HidDevice::Read",
         [&](HidDevice& d) {
             uint8_t buf[4];
             t.bus->PushInput(plain.get(), 0, {1, 2, 3, 4});
             d.Read(buf, 4, 5000);
         }},
        {"HidDevice::Write",
         [](HidDevice& d) {
             const uint8_t r[8] = {7};
             d.Write(r);
         }},
        {"HidDevice::GetFeature",
         [](HidDevice& d) {
             uint8_t f[8] = {7};
             d.GetFeature(f);
         }},
        {"HidDevice::SetFeature",
         [](HidDevice& d) {
             const uint8_t f[8] = {7};
             d.SetFeature(f);
         }},
    };
    for (const auto& [held, unused] : ops) {
        SCOPED_TRACE(held);
        std::vector<HidDevice> devices;
        for (size_t i = 0; i < ops.size(); ++i) {
            devices.emplace_back(t.bus.get());
            devices.back().overlapped = true;
            ASSERT_TRUE(devices.back().Open(path, HidDevice::kDefaultAccess));
        }
        platform::Event taken, release;
        std::thread holder([&] {
            NamedLock lock(held, t.LockFolder());
            NamedLockGuard guard(lock);
            taken.Set();
            release.Wait();
        });
        ASSERT_TRUE(taken.Wait(10000));
        std::vector<std::unique_ptr<platform::Event>> done;
        for (size_t i = 0; i < ops.size(); ++i) done.push_back(std::make_unique<platform::Event>());
        std::vector<std::thread> runs;
        for (size_t i = 0; i < ops.size(); ++i) {
            runs.emplace_back([&, i] {
                ops[i].second(devices[i]);
                done[i]->Set();
            });
        }
        size_t waiter = 0;
        for (size_t i = 0; i < ops.size(); ++i) {
            if (ops[i].first == held) {
                waiter = i;
                continue;
            }
            EXPECT_TRUE(done[i]->Wait(10000)) << ops[i].first << " waited for " << held;
        }
        EXPECT_FALSE(done[waiter]->Wait(50)) << ops[waiter].first << " did not wait for its lock";
        release.Set();
        holder.join();
        EXPECT_TRUE(done[waiter]->Wait(10000));
        for (auto& r : runs) r.join();
    }
}

TEST_F(HidDeviceTest, ReadsTimeOutAbortAndDumpWhatCame) {
    HidDevice d = OpenPlain({1, 0xFF00, 4, 0, 0});
    uint8_t buf[8] = {};
    EXPECT_EQ(d.Read(buf, 8, 0), 0u);  // no time-out given: nothing read
    EXPECT_EQ(d.Read(buf, 8, 20), 0u);
    EXPECT_NE(t.Log().find("超时索引错误(997)\n"), std::string::npos);

    platform::Event abort;
    abort.Set();
    EXPECT_EQ(d.Read(buf, 8, 5000, &abort), 0u);
    EXPECT_FALSE(abort.IsSet());  // reset by the read
    EXPECT_NE(t.Log().find("read abort : "), std::string::npos);

    t.bus->PushInput(plain.get(), 0, {0, 0xAB, 0x01, 0xFF});
    EXPECT_EQ(d.Read(buf, 8, 100), 4u);  // clamped to the 4-byte input report
    EXPECT_NE(t.Log().find("\n00 ab 01 ff\n已读长度为 4\n"), std::string::npos) << t.Log();

    std::thread later([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        t.bus->PushInput(plain.get(), 0, {5, 6, 7, 8});
    });
    uint8_t out[3] = {};
    EXPECT_EQ(d.Read(5, out, 3, 5000), 4u);  // report-id form: id byte counted
    later.join();
    EXPECT_EQ(out[0], 6);
    EXPECT_EQ(out[2], 8);
}

TEST_F(HidDeviceTest, SeparateHandlesNeedTheirAccessBits) {
    plain = std::make_shared<PlainDevice>(HidCaps{1, 0xFF00, 4, 8, 8});
    t.bus->Plug(plain);
    const std::string path = t.bus->PathsOf(plain.get())[0];
    HidDevice d(t.bus.get());
    d.overlapped = true;
    d.separateHandles = true;
    EXPECT_FALSE(d.Open(path, 0));
    // Read access only: writes have no handle.
    ASSERT_TRUE(d.Open(path, 0x80000000u));
    const uint8_t report[8] = {7};
    EXPECT_EQ(d.Write(report), 0u);
    ASSERT_TRUE(d.Open(path, HidDevice::kDefaultAccess));
    EXPECT_EQ(d.Write(report), 8u);
    uint8_t f[8] = {7};
    EXPECT_TRUE(d.SetFeature(f));
    d.Close();
    EXPECT_FALSE(d.IsOpen());
}

TEST_F(HidDeviceTest, UnplugMakesTransfersFailUntilReopened) {
    HidDevice d(t.bus.get());
    d.overlapped = true;
    ASSERT_TRUE(d.Open(0x7080, 7, nullptr, 0x1A2C, 1));
    t.bus->Unplug(k7080.get());
    EXPECT_TRUE(d.IsOpen());  // it does not notice
    uint8_t f[8] = {7, 0xF1};
    EXPECT_FALSE(d.SetFeature(f));
    EXPECT_FALSE(d.Open(0x7080, 7, nullptr, 0x1A2C, 1));
    t.bus->Plug(k7080);
    EXPECT_TRUE(d.Open(0x7080, 7, nullptr, 0x1A2C, 1));
    EXPECT_TRUE(d.SetFeature(f));
}

TEST_F(HidDeviceTest, CloseOnOneThreadWhileAnotherSendsIsSafe) {
    // The start-up packet goes out on a worker thread while a device notice may
    // close and reopen the keyboard on the UI thread.
    HidDevice d(t.bus.get());
    d.overlapped = true;
    ASSERT_TRUE(d.Open(0x7080, 7, nullptr, 0x1A2C, 1));
    std::atomic<bool> stop{false};
    std::atomic<int> sent{0};
    std::thread worker([&] {
        const uint8_t packet[8] = {7, 0xFF, 0xFF, 3, 2, 4, 1, 2};
        while (!stop) sent += d.SetFeature(packet) ? 1 : 0;
    });
    for (int i = 0; i < 200; ++i) {
        d.Close();
        EXPECT_TRUE(d.Open(0x7080, 7, nullptr, 0x1A2C, 1));
    }
    while (sent == 0) std::this_thread::yield();
    stop = true;
    worker.join();
    EXPECT_GT(sent.load(), 0);
    EXPECT_EQ(d.Caps().featureReportLength, 8);
}
