// The application's side against a running key service: the filter listener
// and the virtual keyboard work unchanged above the socket.

#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <libevdev/libevdev.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "EventPipe.h"
#include "FakeEvdev.h"
#include "data/KeyAssignmentTable.h"
#include "fnkeys/FilterListener.h"
#include "fnkeys/VHidev.h"
#include "helper/FdEventSink.h"
#include "helper/KeyService.h"
#include "platform/linux/HelperConnection.h"
#include "platform/linux/HelperFilterBackend.h"
#include "platform/linux/VirtualKeyboardBackend.h"
#include "platform/sim/SimHidBus.h"

namespace {

using platform::linuxhid::UniqueFd;
namespace wire = platform::linuxfk::helperwire;

using helpertest::Ev;
using helpertest::kSyn;
using Pipe = helpertest::EventPipe;

struct HelperClient : ::testing::Test {
    std::string dir, socketPath;
    fakeevdev::Node* node = fakeevdev::Make();
    Pipe copy, keys, pointer;
    std::unique_ptr<kbhelper::KeyService> service;
    std::thread thread;

    void SetUp() override {
        char tmpl[] = "/tmp/kbconf-helper-client-XXXXXX";
        dir = ::mkdtemp(tmpl);
        socketPath = dir + "/helper.sock";
        UniqueFd listener(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strcpy(addr.sun_path, socketPath.c_str());
        ASSERT_EQ(::bind(listener.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ASSERT_EQ(::listen(listener.Get(), 4), 0);
        kbhelper::KeyServiceOptions o;
        o.findNodes = [] { return std::vector<std::string>{"/dev/input/event3"}; };
        o.openNode = [this](const std::string&) { return fakeevdev::Open(node); };
        o.makeCopy = [this](const libevdev*) -> std::unique_ptr<kbhelper::EventSink> {
            return std::make_unique<kbhelper::FdEventSink>(UniqueFd(::dup(copy.write.Get())));
        };
        o.peerAllowed = [](pid_t, uid_t uid) { return uid == ::getuid(); };
        service = std::make_unique<kbhelper::KeyService>(
            std::move(listener), std::make_unique<kbhelper::FdEventSink>(UniqueFd(::dup(keys.write.Get()))),
            std::make_unique<kbhelper::FdEventSink>(UniqueFd(::dup(pointer.write.Get()))), o);
        ASSERT_TRUE(service->Ok());
        thread = std::thread([this] { service->Run(); });
    }
    void TearDown() override {
        service->RequestStop();
        thread.join();
        service.reset();
        ::unlink(socketPath.c_str());
        ::rmdir(dir.c_str());
        fakeevdev::Clear();
    }
    // Waits until the service grabbed the node (it does so once a client is in).
    bool WaitGrabbed() {
        for (int i = 0; i < 500 && !node->Grabbed(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return node->Grabbed();
    }
};

// What the main window does with an assigned key: it types another one.
struct Window {
    VHidev* vhid;
    std::atomic<int> seen{0};
    int32_t OnKey(uint8_t page, uint16_t usage, bool pressed) {
        ++seen;
        if (page == 7 && usage == 0x68 && vhid) vhid->InjectKey(7, 0x05, pressed);  // G1 types B
        return 1;
    }
};

TEST_F(HelperClient, AnAssignedKeyIsTypedThroughTheVirtualKeyboardAndTheRestPassesThrough) {
    auto connection = std::make_shared<platform::linuxfk::HelperConnection>(socketPath);
    platform::linuxfk::HelperFilterBackend filter(connection);
    platform::sim::SimHidBus inner{platform::sim::SimHidBus::Options{false, {}, {}}};
    platform::linuxfk::VirtualKeyboardBackend hid(inner, connection);
    VHidev vhid(&hid);
    vhid.SetLogSink([](const std::string&) {});
    ASSERT_TRUE(vhid.OpenVirtualKeyboard());
    ASSERT_TRUE(WaitGrabbed());

    KeyAssignmentTable table;
    table.LoadFromBuffer("<record code=\"70068\" play=\"1\"/>");
    Window window{&vhid};
    HidUsbFilter::FilterListener listener(&filter, &table);
    listener.AddMonitor(&window, &Window::OnKey);
    listener.OpenDevice();
    ASSERT_TRUE(listener.Restart());
    listener.PushKeyTable();

    node->Key(0x70068, KEY_F13, 1);
    node->Key(0x70068, KEY_F13, 0);
    node->Key(0x70004, KEY_A, 1);
    EXPECT_EQ(keys.Take(4), (std::vector<Ev>{{EV_KEY, KEY_B, 1}, kSyn, {EV_KEY, KEY_B, 0}, kSyn}));
    EXPECT_EQ(copy.Take(3), (std::vector<Ev>{{EV_MSC, MSC_SCAN, 0x70004}, {EV_KEY, KEY_A, 1}, kSyn}));
    EXPECT_EQ(window.seen.load(), 2);
    listener.Stop();  // a pending key request is cancelled and answered
    node->Key(0x70004, KEY_A, 0);
    EXPECT_EQ(copy.Take(3), (std::vector<Ev>{{EV_MSC, MSC_SCAN, 0x70004}, {EV_KEY, KEY_A, 0}, kSyn}));
}

TEST_F(HelperClient, ASecondProcessIsRefusedAndAClientThatGoesReleasesItsKeys) {
    platform::sim::SimHidBus inner{platform::sim::SimHidBus::Options{false, {}, {}}};
    auto second = std::make_shared<platform::linuxfk::HelperConnection>(socketPath);
    uint8_t status = 0;
    {
        auto first = std::make_shared<platform::linuxfk::HelperConnection>(socketPath);
        platform::linuxfk::VirtualKeyboardBackend hid(inner, first);
        VHidev vhid(&hid);
        vhid.SetLogSink([](const std::string&) {});
        ASSERT_TRUE(vhid.OpenVirtualKeyboard());
        ASSERT_TRUE(vhid.InjectKey(7, 0x04, true));
        EXPECT_EQ(keys.Take(2), (std::vector<Ev>{{EV_KEY, KEY_A, 1}, kSyn}));

        EXPECT_FALSE(second->Connect(&status));
        EXPECT_EQ(status, wire::kBusy);
        platform::linuxfk::HelperFilterBackend filter(second);
        EXPECT_EQ(filter.Open("\\\\.\\vhidflt", 0xC0000000u, 3, 3, 0, nullptr), nullptr);
        // The virtual keyboard is there (nothing to install), but not for it.
        platform::linuxfk::VirtualKeyboardBackend secondHid(inner, second);
        VHidev secondVhid(&secondHid);
        secondVhid.SetLogSink([](const std::string&) {});
        EXPECT_TRUE(secondVhid.OpenVirtualKeyboard());
        EXPECT_FALSE(secondVhid.InjectKey(7, 0x05, true));
    }  // the first client ends with A still down
    EXPECT_EQ(keys.Take(2), (std::vector<Ev>{{EV_KEY, KEY_A, 0}, kSyn}));
    EXPECT_TRUE(second->Connect(&status));  // the place is free again
    EXPECT_EQ(status, wire::kWelcome);
}

TEST_F(HelperClient, AfterThePanicChordTheKeyboardStaysFreeUntilTheDeviceIsOpenedAgain) {
    auto connection = std::make_shared<platform::linuxfk::HelperConnection>(socketPath);
    platform::linuxfk::HelperFilterBackend filter(connection);
    KeyAssignmentTable table;
    table.LoadFromBuffer("<record code=\"70068\" play=\"1\"/>");
    Window window{nullptr};
    HidUsbFilter::FilterListener listener(&filter, &table);
    listener.AddMonitor(&window, &Window::OnKey);
    listener.OpenDevice();
    ASSERT_TRUE(listener.Restart());
    listener.PushKeyTable();
    ASSERT_TRUE(WaitGrabbed());

    node->Key(0x7002A, KEY_BACKSPACE, 1);
    node->Key(0x70029, KEY_ESC, 1);
    node->Key(0x70028, KEY_ENTER, 1);
    for (int i = 0; i < 500 && node->Grabbed(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(node->Grabbed());
    node->Key(0x7002A, KEY_BACKSPACE, 0);
    node->Key(0x70029, KEY_ESC, 0);
    node->Key(0x70028, KEY_ENTER, 0);
    // The listener keeps asking for keys; that must not take the keyboard back.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(connection->Connected());
    EXPECT_FALSE(node->Grabbed());

    listener.OpenDevice();  // as on the keyboard's next arrival
    EXPECT_TRUE(WaitGrabbed());
    node->Key(0x70068, KEY_F13, 1);  // and the assignments hold again
    for (int i = 0; i < 500 && window.seen.load() == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(window.seen.load(), 1);
    listener.Stop();
}

}  // namespace
