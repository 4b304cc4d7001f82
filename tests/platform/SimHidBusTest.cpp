#include "platform/sim/SimHidBus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "platform/Event.h"

using namespace platform;
using namespace platform::sim;

namespace {

// A two-interface device: a vendor collection with features and 9-byte outputs,
// and a plain one without reports.
class EchoDevice : public SimHidDevice {
public:
    HidAttributes Attributes() const override { return {0x1234, 0x5678, 0x0102}; }
    std::vector<SimInterface> Interfaces() const override {
        return {{1, 2, {0x01, 0xFF00, 9, 9, 8}}, {0, -1, {0x06, 0x01, 9, 0, 0}}};
    }
    bool OnSetFeature(size_t, const uint8_t* data, size_t len) override {
        last.assign(data, data + len);
        return true;
    }
    bool OnGetFeature(size_t, uint8_t* data, size_t len) override {
        for (size_t i = 1; i < len; ++i) data[i] = static_cast<uint8_t>(i);
        return true;
    }
    bool OnOutput(size_t, const uint8_t* data, size_t len) override {
        outputs.emplace_back(data, data + len);
        return true;
    }
    std::vector<uint8_t> last;
    std::vector<std::vector<uint8_t>> outputs;
};

SimHidBus::Options NoLog() {
    SimHidBus::Options o;
    o.logFromEnvironment = false;
    return o;
}

constexpr uint32_t kRw = kAccessRead | kAccessWrite;
constexpr uint32_t kShareRw = kShareRead | kShareWrite;

}  // namespace

TEST(SimHidBus, ListsPathsInTheInterfaceFormAndAnnouncesPlugging) {
    SimHidBus bus(NoLog());
    std::vector<HidNotice> notices;
    auto sub = bus.SubscribeNotices([&](const HidNotice& n) { notices.push_back(n); });
    auto dev = std::make_shared<EchoDevice>();
    bus.Plug(dev);

    std::vector<HidInterfaceEntry> list;
    ASSERT_TRUE(bus.ListInterfaces(&list));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].path.rfind("\\\\?\\hid#vid_1234&pid_5678&mi_01&col02#", 0), 0u) << list[0].path;
    EXPECT_EQ(list[1].path.rfind("\\\\?\\hid#vid_1234&pid_5678&mi_00#", 0), 0u) << list[1].path;
    EXPECT_EQ(list[0].classGuid, kHidClassGuid);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].event, kDeviceArrival);

    bus.Unplug(dev.get());
    ASSERT_EQ(notices.size(), 4u);
    EXPECT_EQ(notices[3].event, kDeviceRemoveComplete);
    EXPECT_EQ(notices[3].path, list[1].path);
    ASSERT_TRUE(bus.ListInterfaces(&list));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(kHidClassGuid.ToString(), "4D1E55B2-F16F-11CF-88CB-001111000030");
}

TEST(SimHidBus, FeaturesAndOutputsReachTheModelAndAreRecorded) {
    SimHidBus bus(NoLog());
    auto dev = std::make_shared<EchoDevice>();
    bus.Plug(dev);
    uint32_t err = 0;
    auto h = bus.Open(bus.PathsOf(dev.get())[0], kRw, kShareRw, true, &err);
    ASSERT_TRUE(h);
    HidCaps caps;
    ASSERT_TRUE(h->GetCaps(&caps));
    EXPECT_EQ(caps.outputReportLength, 9);

    uint8_t f[8] = {7, 0xff, 0xff, 3, 2, 4, 1, 2};
    EXPECT_TRUE(h->SetFeature(f, 8));
    uint8_t g[8] = {7};
    EXPECT_TRUE(h->GetFeature(g, 8));
    EXPECT_EQ(g[7], 7);
    uint8_t out[9] = {0, 0xbb, 0xaa};
    auto io = h->StartWrite(out, 9, &err);
    ASSERT_TRUE(io);
    EXPECT_TRUE(io->CompletedAtOnce());
    size_t n = 0;
    EXPECT_TRUE(io->Result(&n));
    EXPECT_EQ(n, 9u);
    // Longer than the interface's output report: refused.
    uint8_t big[10] = {};
    EXPECT_FALSE(h->StartWrite(big, 10, &err));
    EXPECT_EQ(err, kErrorInvalidParameter);

    auto reports = bus.Reports();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].kind, "set_feature");
    EXPECT_EQ(reports[1].kind, "get_feature");
    EXPECT_EQ(reports[2].kind, "output");
    SimReport r = reports[0];
    r.ms = 2013;
    EXPECT_EQ(r.Format(), "2013 1234:5678 01 02 set_feature 07 ff ff 03 02 04 01 02");
    r.mi = -1;
    r.col = -1;
    EXPECT_EQ(r.Format(), "2013 1234:5678 -- -- set_feature 07 ff ff 03 02 04 01 02");
}

TEST(SimHidBus, ExclusiveHoldBlocksAccessOpensButNotQueries) {
    SimHidBus bus(NoLog());
    auto dev = std::make_shared<EchoDevice>();
    bus.Plug(dev);
    const std::string path = bus.PathsOf(dev.get())[0];
    bus.HoldExclusive(dev.get(), 0, true);
    uint32_t err = 0;
    EXPECT_FALSE(bus.Open(path, kRw, kShareRw, true, &err));
    EXPECT_EQ(err, kErrorSharingViolation);
    auto query = bus.Open(path, 0, kShareRw, false, &err);
    ASSERT_TRUE(query);
    HidAttributes a;
    EXPECT_TRUE(query->GetAttributes(&a));
    EXPECT_EQ(a.versionNumber, 0x0102);
    uint8_t f[8] = {7};
    EXPECT_FALSE(query->SetFeature(f, 8));  // no access rights
    bus.HoldExclusive(dev.get(), 0, false);
    // An open without sharing keeps later ones out, as another program's would.
    auto mine = bus.Open(path, kRw, 0, true, &err);
    ASSERT_TRUE(mine);
    EXPECT_FALSE(bus.Open(path, kAccessRead, kShareRw, true, &err));
    mine.reset();
    EXPECT_TRUE(bus.Open(path, kRw, kShareRw, true, &err));
}

TEST(SimHidBus, StalledWriteWaitsUntilCancelledOrReleased) {
    SimHidBus bus(NoLog());
    auto dev = std::make_shared<EchoDevice>();
    bus.Plug(dev);
    uint32_t err = 0;
    auto h = bus.Open(bus.PathsOf(dev.get())[0], kRw, kShareRw, true, &err);
    ASSERT_TRUE(h);
    bus.StallWrites(dev.get(), true);
    uint8_t out[9] = {};
    auto io = h->StartWrite(out, 9, &err);
    ASSERT_TRUE(io);
    EXPECT_FALSE(io->CompletedAtOnce());
    EXPECT_EQ(io->Wait(0), HidAsyncIo::kTimedOut);
    io->Cancel();
    size_t n = 1;
    EXPECT_FALSE(io->Result(&n, &err));
    EXPECT_EQ(err, kErrorOperationAborted);

    auto second = h->StartWrite(out, 9, &err);
    bus.StallWrites(dev.get(), false);
    EXPECT_EQ(second->Wait(1000), HidAsyncIo::kCompleted);
    EXPECT_TRUE(second->Result(&n));
    EXPECT_EQ(dev->outputs.size(), 1u);  // the cancelled one never arrived
}

TEST(SimHidBus, ReadsCompleteOnInputAbortOnEventAndFailAfterUnplug) {
    SimHidBus bus(NoLog());
    auto dev = std::make_shared<EchoDevice>();
    bus.Plug(dev);
    uint32_t err = 0;
    auto h = bus.Open(bus.PathsOf(dev.get())[0], kRw, kShareRw, true, &err);
    uint8_t buf[9] = {};
    auto io = h->StartRead(buf, 9, &err);
    ASSERT_TRUE(io);
    Event abort;
    abort.Set();
    EXPECT_EQ(io->Wait(1000, &abort), HidAsyncIo::kAborted);
    io->Cancel();

    io = h->StartRead(buf, 9, &err);
    bus.PushInput(dev.get(), 0, {0, 1, 2, 3});
    EXPECT_EQ(io->Wait(1000), HidAsyncIo::kCompleted);
    size_t n = 0;
    EXPECT_TRUE(io->Result(&n));
    EXPECT_EQ(n, 4u);
    EXPECT_EQ(buf[3], 3);

    io = h->StartRead(buf, 9, &err);
    bus.Unplug(dev.get());
    EXPECT_FALSE(io->Result(&n, &err));
    EXPECT_EQ(err, kErrorDeviceNotConnected);
    uint8_t f[8] = {7};
    EXPECT_FALSE(h->SetFeature(f, 8));
    EXPECT_FALSE(h->StartWrite(f, 8, &err));
    EXPECT_EQ(err, kErrorDeviceNotConnected);
}

TEST(SimHidBus, CurrentBackendDefaultsToAnEmptyOne) {
    std::vector<HidInterfaceEntry> list{{"x"}};
    EXPECT_TRUE(CurrentHid().ListInterfaces(&list));
    EXPECT_TRUE(list.empty());
    SimHidBus bus(NoLog());
    bus.Plug(std::make_shared<EchoDevice>());
    {
        HidBackend* previous = SetCurrentHid(&bus);
        EXPECT_TRUE(CurrentHid().ListInterfaces(&list));
        EXPECT_EQ(list.size(), 2u);
        EXPECT_EQ(SetCurrentHid(previous), &bus);
    }
    uint32_t err = 0;
    EXPECT_FALSE(CurrentHid().Open(list[0].path, kRw, kShareRw, true, &err));
    EXPECT_EQ(err, kErrorFileNotFound);
}

TEST(SimHidBus, RefusedFeatureAttemptsAreRecordedNotDropped) {
    SimHidBus bus(NoLog());
    auto dev = std::make_shared<EchoDevice>();
    bus.Plug(dev);
    const auto paths = bus.PathsOf(dev.get());
    uint32_t err = 0;
    auto vendor = bus.Open(paths[0], kRw, kShareRw, true, &err);
    auto plain = bus.Open(paths[1], kRw, kShareRw, true, &err);  // no feature report there
    auto query = bus.Open(paths[0], 0, kShareRw, false, &err);   // no access
    ASSERT_TRUE(vendor && plain && query);
    uint8_t f[8] = {7, 0xff, 0xff, 3, 2, 4, 1, 2};
    uint8_t nine[9] = {7, 1};
    EXPECT_FALSE(plain->SetFeature(f, 8));
    EXPECT_FALSE(query->SetFeature(f, 8));
    EXPECT_FALSE(vendor->SetFeature(nine, 9));  // longer than the feature report
    bus.RefuseFeatures(dev.get(), true);
    EXPECT_FALSE(vendor->GetFeature(f, 8));
    bus.RefuseFeatures(dev.get(), false);
    EXPECT_TRUE(vendor->SetFeature(f, 8));

    std::vector<std::string> seen;
    for (const auto& r : bus.Reports()) seen.push_back(r.kind + " " + SimReport::Hex(r.bytes));
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "set_feature_refused 07 ff ff 03 02 04 01 02", "set_feature_refused 07 ff ff 03 02 04 01 02",
                        "set_feature_refused 07 01 00 00 00 00 00 00 00", "get_feature_refused 07 ff ff 03 02 04 01 02",
                        "set_feature 07 ff ff 03 02 04 01 02"}));
    EXPECT_TRUE(dev->last == std::vector<uint8_t>(f, f + 8));  // only the accepted one reached the model

    // Gone from the bus: nothing is recorded, there is no interface to refuse.
    bus.Unplug(dev.get());
    bus.ClearReports();
    EXPECT_FALSE(vendor->SetFeature(f, 8));
    EXPECT_TRUE(bus.Reports().empty());
}
