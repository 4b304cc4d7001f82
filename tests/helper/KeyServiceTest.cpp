#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <libevdev/libevdev.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "EventPipe.h"
#include "FakeEvdev.h"
#include "helper/FdEventSink.h"
#include "helper/KeyService.h"
#include "platform/linux/HelperProtocol.h"

namespace {

using platform::linuxhid::UniqueFd;
namespace wire = platform::linuxfk::helperwire;
using kbhelper::KeyService;

using helpertest::Ev;
using helpertest::kSyn;
using Pipe = helpertest::EventPipe;

// A client speaking the socket protocol directly.
struct Client {
    UniqueFd fd;
    uint8_t hello = 0xFF;
    uint32_t nextId = 1;

    explicit Client(const std::string& path) {
        fd = UniqueFd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strcpy(addr.sun_path, path.c_str());
        EXPECT_EQ(::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    }
    uint32_t Send(uint8_t kind, uint32_t code, std::vector<uint8_t> in = {}, uint32_t outLen = 0, uint32_t id = 0) {
        if (!id) id = nextId++;
        wire::RequestHeader h{id, kind, {}, code, outLen};
        std::vector<uint8_t> msg(sizeof h);
        std::memcpy(msg.data(), &h, sizeof h);
        msg.insert(msg.end(), in.begin(), in.end());
        EXPECT_EQ(::send(fd.Get(), msg.data(), msg.size(), MSG_NOSIGNAL), static_cast<ssize_t>(msg.size()));
        return id;
    }
    struct Reply {
        uint32_t id;
        uint8_t status;
        std::vector<uint8_t> out;
    };
    std::vector<Reply> Take() {
        std::vector<Reply> out;
        uint8_t buffer[64];
        for (;;) {
            const ssize_t n = ::recv(fd.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
            if (n < static_cast<ssize_t>(sizeof(wire::ReplyHeader))) return out;
            wire::ReplyHeader h;
            std::memcpy(&h, buffer, sizeof h);
            if (h.id == 0) {
                hello = h.status;
                continue;
            }
            out.push_back({h.id, h.status, std::vector<uint8_t>(buffer + sizeof h, buffer + n)});
        }
    }
    bool Closed() {
        pollfd p{fd.Get(), POLLIN, 0};
        uint8_t b[64];
        while (::poll(&p, 1, 0) == 1) {
            const ssize_t n = ::recv(fd.Get(), b, sizeof b, MSG_DONTWAIT);
            if (n == 0) return true;
            if (n < 0) return false;
        }
        return false;
    }
};

std::vector<uint8_t> Table(std::vector<uint32_t> codes) {
    std::vector<uint8_t> t(1024, 0);
    for (size_t i = 0; i < codes.size(); ++i) {
        t[i * 4] = static_cast<uint8_t>(codes[i] & 0xFF);
        t[i * 4 + 2] = static_cast<uint8_t>(codes[i] >> 16);
        t[i * 4 + 3] = 0x02;
    }
    return t;
}

std::vector<uint8_t> KeyEvent(uint16_t usage, uint8_t page, bool pressed) {
    return {static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8), page, uint8_t{pressed}};
}

std::vector<uint8_t> KeyboardRecord(std::vector<uint8_t> usages) {
    std::vector<uint8_t> r(64, 0);
    r[0] = 0x05;
    r[1] = 1;
    for (uint8_t u : usages) r[3 + u / 8] |= static_cast<uint8_t>(1u << (u % 8));
    return r;
}

constexpr uint32_t kKeyTable = 0x22A000, kKeyRequest = 0x226044, kCapture = 0x226010;

struct KeyServiceTest : ::testing::Test {
    std::string dir, socketPath;
    std::map<std::string, fakeevdev::Node*> present;  // path -> node
    std::map<fakeevdev::Node*, Pipe> copies;
    Pipe keys, pointer;
    uid_t allowed = ::getuid();
    bool uinputWorks = true;
    std::unique_ptr<KeyService> service;

    void SetUp() override {
        char tmpl[] = "/tmp/kbconf-helper-test-XXXXXX";
        dir = ::mkdtemp(tmpl);
        socketPath = dir + "/helper.sock";
        present["/dev/input/event3"] = fakeevdev::Make();
    }
    void TearDown() override {
        service.reset();
        ::unlink(socketPath.c_str());
        ::rmdir(dir.c_str());
        copies.clear();
        fakeevdev::Clear();
    }
    fakeevdev::Node* Node(const char* path = "/dev/input/event3") { return present[path]; }

    void Start() {
        UniqueFd listener(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strcpy(addr.sun_path, socketPath.c_str());
        ASSERT_EQ(::bind(listener.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ASSERT_EQ(::listen(listener.Get(), 4), 0);
        kbhelper::KeyServiceOptions o;
        o.findNodes = [this] {
            std::vector<std::string> paths;
            for (auto& [path, node] : present) paths.push_back(path);
            return paths;
        };
        o.openNode = [this](const std::string& path) { return fakeevdev::Open(present.at(path)); };
        o.makeCopy = [this](const libevdev* dev) -> std::unique_ptr<kbhelper::EventSink> {
            if (!uinputWorks) return nullptr;
            Pipe& p = copies[fakeevdev::ByFd(libevdev_get_fd(dev))];
            return std::make_unique<kbhelper::FdEventSink>(UniqueFd(::dup(p.write.Get())));
        };
        o.peerAllowed = [this](pid_t, uid_t uid) { return uid == allowed; };
        service = std::make_unique<KeyService>(
            std::move(listener), std::make_unique<kbhelper::FdEventSink>(UniqueFd(::dup(keys.write.Get()))),
            std::make_unique<kbhelper::FdEventSink>(UniqueFd(::dup(pointer.write.Get()))), o);
        ASSERT_TRUE(service->Ok());
    }
    // Lets the service handle everything that is ready.
    void Pump() {
        while (service->RunOnce(10) > 0) {
        }
    }
    std::unique_ptr<Client> Connect() {
        auto c = std::make_unique<Client>(socketPath);
        Pump();
        c->Take();
        return c;
    }
    std::vector<Ev> Copy(const char* path = "/dev/input/event3") { return copies[Node(path)].Take(); }
};

TEST_F(KeyServiceTest, ScanCodesDecideWhatTheClientGetsAndEverythingElseReachesTheCopy) {
    Start();
    auto client = Connect();
    ASSERT_EQ(client->hello, wire::kWelcome);
    ASSERT_TRUE(service->AllGrabbed());
    // G1 (F13) and the non-US key 0x32, whose key code it shares with 0x31.
    client->Send(wire::kControl, kKeyTable, Table({0x70068, 0x70032}));
    const uint32_t request = client->Send(wire::kControl, kKeyRequest, {}, 4);
    Pump();
    EXPECT_EQ(client->Take().size(), 1u);  // the table; the key request waits

    fakeevdev::Node* n = Node();
    n->Key(0x70068, KEY_F13, 1);
    n->Key(0, KEY_F13, 2);  // repeat: neither side sees it
    n->Key(0x70068, KEY_F13, 0);
    n->Key(0x70031, KEY_BACKSLASH, 1);
    n->Key(0x70031, KEY_BACKSLASH, 0);
    n->Key(0x70032, KEY_BACKSLASH, 1);
    n->Send(EV_REL, REL_X, 5);
    n->Send(EV_SYN, SYN_REPORT, 0);
    Pump();
    client->Send(wire::kControl, kKeyRequest, {}, 4);
    client->Send(wire::kControl, kKeyRequest, {}, 4);
    Pump();
    auto replies = client->Take();
    ASSERT_EQ(replies.size(), 3u);
    EXPECT_EQ(replies[0].id, request);
    EXPECT_EQ(replies[0].status, wire::kCompletedAfterPending);
    EXPECT_EQ(replies[0].out, KeyEvent(0x68, 7, true));
    EXPECT_EQ(replies[1].out, KeyEvent(0x68, 7, false));
    EXPECT_EQ(replies[2].out, KeyEvent(0x32, 7, true));
    EXPECT_EQ(Copy(), (std::vector<Ev>{{EV_MSC, MSC_SCAN, 0x70031},
                                       {EV_KEY, KEY_BACKSLASH, 1},
                                       kSyn,
                                       {EV_MSC, MSC_SCAN, 0x70031},
                                       {EV_KEY, KEY_BACKSLASH, 0},
                                       kSyn,
                                       {EV_REL, REL_X, 5},
                                       kSyn}));
}

TEST_F(KeyServiceTest, GrabsOnlyAnIdleNodeAndGivesTheGrabBackWhenTheQueueHeldAPress) {
    Node()->SetHeld(KEY_LEFTCTRL, true);  // held when the client comes
    Start();
    auto client = Connect();
    EXPECT_FALSE(Node()->Grabbed());
    Node()->Key(0x700E0, KEY_LEFTCTRL, 0);
    Pump();
    EXPECT_TRUE(Node()->Grabbed());
    EXPECT_TRUE(Copy().empty());  // the system had that release

    // A press queued just before the grab went to the system: the grab is
    // given back until its release, and neither reaches the copy.
    client.reset();
    Pump();
    ASSERT_FALSE(Node()->Grabbed());
    Node()->Send(EV_KEY, KEY_A, 1);
    Node()->SetHeld(KEY_A, false);  // as the node reported it at the grab
    client = Connect();
    EXPECT_FALSE(Node()->Grabbed());
    EXPECT_EQ(Node()->Grabs().back(), 0);
    EXPECT_GE(Node()->Grabs().size(), 4u);
    Node()->Key(0x70004, KEY_A, 0);
    Pump();
    EXPECT_TRUE(Node()->Grabbed());
    EXPECT_TRUE(Copy().empty());
    Node()->Key(0x70005, KEY_B, 1);
    Pump();
    EXPECT_EQ(Copy(), (std::vector<Ev>{{EV_MSC, MSC_SCAN, 0x70005}, {EV_KEY, KEY_B, 1}, kSyn}));
}

TEST_F(KeyServiceTest, AClientThatGoesLeavesNoKeyPressedAndItsTableIsForgotten) {
    Start();
    auto client = Connect();
    client->Send(wire::kControl, kKeyTable, Table({0x70004}));
    client->Send(wire::kRecord, 0, KeyboardRecord({0x05, 0xE1}));  // B and left shift on the virtual keyboard
    std::vector<uint8_t> mouse(64, 0);
    mouse[0] = 0x05, mouse[1] = 2, mouse[2] = 0x01;
    client->Send(wire::kRecord, 0, mouse);
    Pump();
    Node()->Key(0x70004, KEY_A, 1);  // intercepted, held
    Node()->Key(0x70006, KEY_C, 1);  // passed through, held
    Pump();
    EXPECT_EQ(keys.Take(), (std::vector<Ev>{{EV_KEY, KEY_B, 1}, {EV_KEY, KEY_LEFTSHIFT, 1}, kSyn}));
    EXPECT_EQ(pointer.Take(), (std::vector<Ev>{{EV_KEY, BTN_LEFT, 1}, kSyn}));
    Copy();

    client.reset();  // exit, crash or kill -9 look alike here
    Pump();
    EXPECT_FALSE(service->HasClient());
    EXPECT_EQ(keys.Take(), (std::vector<Ev>{{EV_KEY, KEY_B, 0}, {EV_KEY, KEY_LEFTSHIFT, 0}, kSyn}));
    EXPECT_EQ(pointer.Take(), (std::vector<Ev>{{EV_KEY, BTN_LEFT, 0}, kSyn}));
    EXPECT_EQ(Copy(), (std::vector<Ev>{{EV_KEY, KEY_C, 0}, kSyn}));
    EXPECT_FALSE(Node()->Grabbed());
    EXPECT_EQ(service->NodeCount(), 0u);

    Node()->Key(0x70004, KEY_A, 0);
    Node()->Key(0x70006, KEY_C, 0);
    client = Connect();
    ASSERT_TRUE(service->AllGrabbed());
    Node()->Key(0x70004, KEY_A, 1);  // the old table is gone: A is typed
    Pump();
    EXPECT_EQ(Copy(), (std::vector<Ev>{{EV_MSC, MSC_SCAN, 0x70004}, {EV_KEY, KEY_A, 1}, kSyn}));
}

TEST_F(KeyServiceTest, AClientKilledMidMacroLeavesNoKeyPressed) {
    Start();
    const pid_t child = ::fork();
    if (child == 0) {
        Client c(socketPath);
        pollfd p{c.fd.Get(), POLLIN, 0};
        auto answered = [&](size_t n) {
            std::vector<Client::Reply> all;
            while (all.size() < n && ::poll(&p, 1, 5000) == 1)
                for (auto& r : c.Take()) all.push_back(r);
        };
        answered(0);
        c.Send(wire::kRecord, 0, KeyboardRecord({0x04}));
        c.Send(wire::kRecord, 0, KeyboardRecord({0x04, 0x05}));
        answered(2);
        ::raise(SIGKILL);
    }
    ASSERT_GT(child, 0);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) Pump();
    ASSERT_TRUE(WIFSIGNALED(status));
    Pump();
    EXPECT_FALSE(service->HasClient());
    EXPECT_EQ(keys.Take(),
              (std::vector<Ev>{
                  {EV_KEY, KEY_A, 1}, kSyn, {EV_KEY, KEY_B, 1}, kSyn, {EV_KEY, KEY_A, 0}, {EV_KEY, KEY_B, 0}, kSyn}));
}

TEST_F(KeyServiceTest, OneClientAtATimeAndOnlyTheSeatUser) {
    Start();
    auto first = Connect();
    EXPECT_EQ(first->hello, wire::kWelcome);
    auto second = Connect();
    EXPECT_EQ(second->hello, wire::kBusy);
    EXPECT_TRUE(second->Closed());
    first.reset();
    Pump();
    allowed = ::getuid() + 1;  // this process is now somebody else
    auto stranger = Connect();
    EXPECT_EQ(stranger->hello, wire::kNotAllowed);
    EXPECT_TRUE(stranger->Closed());
    EXPECT_FALSE(service->HasClient());
    EXPECT_EQ(service->NodeCount(), 0u);  // nothing was grabbed for it
}

TEST_F(KeyServiceTest, PanicChordEndsEveryGrabAndReleasesEverything) {
    present["/dev/input/event4"] = fakeevdev::Make();
    Start();
    auto client = Connect();
    client->Send(wire::kControl, kKeyTable, Table({0x70028}));  // Enter is taken
    client->Send(wire::kRecord, 0, KeyboardRecord({0x04}));
    Pump();
    keys.Take();
    ASSERT_TRUE(service->AllGrabbed());
    Node()->Key(0x7002A, KEY_BACKSPACE, 1);
    Pump();
    Node("/dev/input/event4")->Key(0x70029, KEY_ESC, 1);
    Pump();
    Node()->Key(0x70028, KEY_ENTER, 1);
    Pump();
    EXPECT_FALSE(Node()->Grabbed());
    EXPECT_FALSE(Node("/dev/input/event4")->Grabbed());
    EXPECT_FALSE(service->HasClient());
    EXPECT_TRUE(client->Closed());
    EXPECT_EQ(keys.Take(), (std::vector<Ev>{{EV_KEY, KEY_A, 0}, kSyn}));
    const auto copy = Copy();
    ASSERT_GE(copy.size(), 2u);
    EXPECT_EQ(std::vector<Ev>(copy.end() - 2, copy.end()), (std::vector<Ev>{{EV_KEY, KEY_BACKSPACE, 0}, kSyn}));
    const auto other = Copy("/dev/input/event4");
    ASSERT_GE(other.size(), 2u);
    EXPECT_EQ(std::vector<Ev>(other.end() - 2, other.end()), (std::vector<Ev>{{EV_KEY, KEY_ESC, 0}, kSyn}));
}

TEST_F(KeyServiceTest, UnplugReleasesWhatTheNodeHeldAndHotPlugFindsTheNewNode) {
    Start();
    auto client = Connect();
    client->Send(wire::kControl, kKeyTable, Table({0x70004}));
    Pump();
    Node()->Key(0x70004, KEY_A, 1);
    Node()->Key(0x70006, KEY_C, 1);
    Pump();
    Copy();
    client->Take();
    fakeevdev::Unplug(Node());
    Pump();
    EXPECT_EQ(service->NodeCount(), 0u);
    EXPECT_EQ(Copy(), (std::vector<Ev>{{EV_KEY, KEY_C, 0}, kSyn}));
    client->Send(wire::kControl, kKeyRequest, {}, 4);
    client->Send(wire::kControl, kKeyRequest, {}, 4);
    Pump();
    auto replies = client->Take();
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].out, KeyEvent(0x04, 7, true));
    EXPECT_EQ(replies[1].out, KeyEvent(0x04, 7, false));

    present.erase("/dev/input/event3");
    present["/dev/input/event9"] = fakeevdev::Make();  // plugged in again
    service->Rescan();
    ASSERT_EQ(service->NodeCount(), 1u);
    EXPECT_TRUE(service->AllGrabbed());
    client->Send(wire::kControl, kKeyRequest, {}, 4);
    Node("/dev/input/event9")->Key(0x70004, KEY_A, 1);
    Pump();
    replies = client->Take();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].out, KeyEvent(0x04, 7, true));
}

TEST_F(KeyServiceTest, DroppedEventsAreMadeGoodFromTheNodesKeyState) {
    Start();
    auto client = Connect();
    Node()->Key(0x70006, KEY_C, 1);
    Pump();
    EXPECT_EQ(Copy(), (std::vector<Ev>{{EV_MSC, MSC_SCAN, 0x70006}, {EV_KEY, KEY_C, 1}, kSyn}));
    // The kernel's buffer overflowed: C's release was lost with it.
    Node()->SetHeld(KEY_C, false);
    Node()->Send(EV_SYN, SYN_DROPPED, 0);
    Pump();
    const auto copy = Copy();
    ASSERT_FALSE(copy.empty());
    EXPECT_EQ(copy.front(), (Ev{EV_KEY, KEY_C, 0}));
    Node()->Key(0x70004, KEY_A, 1);  // and reading goes on
    Pump();
    EXPECT_EQ(Copy(), (std::vector<Ev>{{EV_MSC, MSC_SCAN, 0x70004}, {EV_KEY, KEY_A, 1}, kSyn}));
}

TEST_F(KeyServiceTest, CaptureTakesEveryKeyUntilTheKeyRequestIsCancelled) {
    Start();
    auto client = Connect();
    client->Send(wire::kControl, kCapture, {0, 0, 0, 0});
    client->Send(wire::kControl, kCapture, {1, 0, 0, 0});  // refused: only value 0
    const uint32_t pending = client->Send(wire::kControl, kKeyRequest, {}, 4);
    Pump();
    EXPECT_TRUE(service->Capturing());
    Node()->Key(0x70016, KEY_S, 1);
    Pump();
    auto replies = client->Take();
    ASSERT_EQ(replies.size(), 3u);
    EXPECT_EQ(replies[0].status, wire::kCompleted);
    EXPECT_EQ(replies[1].status, wire::kRefused);
    EXPECT_EQ(replies[2].out, KeyEvent(0x16, 7, true));
    EXPECT_TRUE(Copy().empty());

    // Cancelling a request that was already answered changes nothing.
    client->Send(wire::kCancel, 0, {}, 0, pending);
    const uint32_t next = client->Send(wire::kControl, kKeyRequest, {}, 4);
    Pump();
    EXPECT_TRUE(service->Capturing());
    client->Send(wire::kCancel, 0, {}, 0, next);
    Pump();
    replies = client->Take();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].id, next);
    EXPECT_EQ(replies[0].status, wire::kCancelled);
    EXPECT_FALSE(service->Capturing());
    Node()->Key(0x70016, KEY_S, 0);  // its release keeps the route of its press
    Node()->Key(0x70017, KEY_T, 1);
    Pump();
    client->Send(wire::kControl, kKeyRequest, {}, 4);
    Pump();
    replies = client->Take();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].out, KeyEvent(0x16, 7, false));
    EXPECT_EQ(Copy(), (std::vector<Ev>{{EV_MSC, MSC_SCAN, 0x70017}, {EV_KEY, KEY_T, 1}, kSyn}));
}

TEST_F(KeyServiceTest, ANodeIsNotGrabbedWithoutItsCopy) {
    uinputWorks = false;  // intercepting without a copy would swallow the keyboard
    Start();
    auto client = Connect();
    EXPECT_EQ(service->NodeCount(), 1u);
    EXPECT_TRUE(Node()->Grabs().empty());
}

}  // namespace
