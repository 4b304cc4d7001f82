#include "helper/KeyService.h"

#include <libudev.h>
#include <linux/input.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/linux/HelperProtocol.h"
#include "platform/linux/LinuxKeyCodes.h"

namespace kbhelper {
namespace {

namespace wire = platform::linuxfk::helperwire;
using platform::linuxhid::UniqueFd;

}  // namespace

struct KeyService::Udev {
    udev* u = nullptr;
    udev_monitor* monitor = nullptr;
    ~Udev() {
        if (monitor) udev_monitor_unref(monitor);
        if (u) udev_unref(u);
    }
    int Fd() const { return monitor ? udev_monitor_get_fd(monitor) : -1; }
};

KeyService::KeyService(UniqueFd listener, std::unique_ptr<EventSink> keys, std::unique_ptr<EventSink> pointer,
                       KeyServiceOptions options)
    : options_(std::move(options)),
      epoll_(::epoll_create1(EPOLL_CLOEXEC)),
      listener_(std::move(listener)),
      stop_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)),
      virtual_(std::move(keys), std::move(pointer)),
      router_([this](uint32_t id, uint8_t status, const uint8_t* out, size_t len) { Reply(id, status, out, len); }) {
    if (!epoll_.Valid() || !stop_.Valid()) {
        epoll_.Reset();
        return;
    }
    Watch(stop_.Get());
    if (listener_.Valid()) Watch(listener_.Get());
    if (options_.udevMonitor) {
        udev_ = std::make_unique<Udev>();
        udev_->u = udev_new();
        if (udev_->u) udev_->monitor = udev_monitor_new_from_netlink(udev_->u, "udev");
        if (udev_->monitor && udev_monitor_filter_add_match_subsystem_devtype(udev_->monitor, "input", nullptr) >= 0 &&
            udev_monitor_enable_receiving(udev_->monitor) >= 0)
            Watch(udev_->Fd());
        else
            udev_.reset();
    }
}

KeyService::~KeyService() { DropClient("service ends"); }

void KeyService::Note(const std::string& text) {
    if (options_.log) options_.log(text);
}

void KeyService::Watch(int fd) {
    epoll_event ev{};
    ev.events = EPOLLIN;
    ev.data.fd = fd;
    ::epoll_ctl(epoll_.Get(), EPOLL_CTL_ADD, fd, &ev);
}

void KeyService::Unwatch(int fd) { ::epoll_ctl(epoll_.Get(), EPOLL_CTL_DEL, fd, nullptr); }

void KeyService::RequestStop() {
    const uint64_t one = 1;
    [[maybe_unused]] auto n = ::write(stop_.Get(), &one, sizeof one);
}

bool KeyService::AllGrabbed() const {
    return !nodes_.empty() && std::all_of(nodes_.begin(), nodes_.end(), [](auto& n) { return n->Grabbed(); });
}

int KeyService::RunOnce(int timeoutMs) {
    if (stopped_ || !Ok()) return -1;
    epoll_event events[16];
    const int n = ::epoll_wait(epoll_.Get(), events, 16, timeoutMs);
    if (n < 0) return errno == EINTR ? 0 : -1;
    for (int i = 0; i < n && !stopped_; ++i) {
        const int fd = events[i].data.fd;
        if (fd == stop_.Get()) {
            stopped_ = true;
        } else if (fd == listener_.Get()) {
            Accept();
        } else if (fd == client_.Get()) {
            OnClient();
        } else if (udev_ && fd == udev_->Fd()) {
            OnUdev();
        } else {
            auto it = std::find_if(nodes_.begin(), nodes_.end(), [&](auto& node) { return node->Fd() == fd; });
            if (it != nodes_.end()) OnNode(**it, events[i].events);
        }
        if (dropClient_) DropClient("client stopped reading");
    }
    if (stopped_) {
        DropClient("service ends");
        return -1;
    }
    return n;
}

void KeyService::Run() {
    while (RunOnce(-1) >= 0) {
    }
}

void KeyService::Accept() {
    UniqueFd fd(::accept4(listener_.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!fd.Valid()) return;
    pid_t pid = 0;
    uid_t uid = 0;
    uint8_t status = wire::kWelcome;
    if (!PeerOf(fd.Get(), &pid, &uid) || !options_.peerAllowed || !options_.peerAllowed(pid, uid))
        status = wire::kNotAllowed;
    else if (client_.Valid())
        status = wire::kBusy;
    wire::ReplyHeader hello{0, status, {}};
    if (::send(fd.Get(), &hello, sizeof hello, MSG_NOSIGNAL | MSG_DONTWAIT) != sizeof hello) return;
    if (status != wire::kWelcome) {
        Note(status == wire::kBusy ? "refused a second client" : "refused a client that is not the seat's user");
        return;
    }
    client_ = std::move(fd);
    Watch(client_.Get());
    Note("client connected");
    Rescan();
}

void KeyService::Reply(uint32_t id, uint8_t status, const uint8_t* out, size_t len) {
    if (!client_.Valid()) return;
    uint8_t buffer[wire::kMaxReply] = {};
    wire::ReplyHeader h{id, status, {}};
    std::memcpy(buffer, &h, sizeof h);
    if (len) std::memcpy(buffer + sizeof h, out, std::min(len, wire::kMaxOutput));
    const size_t size = sizeof h + std::min(len, wire::kMaxOutput);
    // A client that lets its socket fill up would lose key events: it goes.
    if (::send(client_.Get(), buffer, size, MSG_NOSIGNAL | MSG_DONTWAIT) != static_cast<ssize_t>(size))
        dropClient_ = true;
}

void KeyService::OnClient() {
    uint8_t buffer[wire::kMaxRequest + 1];
    for (;;) {
        const ssize_t n = ::recv(client_.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return;
        if (n <= 0) return DropClient("client gone");
        wire::RequestHeader h;
        if (static_cast<size_t>(n) < sizeof h || static_cast<size_t>(n) > wire::kMaxRequest)
            return DropClient("malformed request");
        std::memcpy(&h, buffer, sizeof h);
        const uint8_t* in = buffer + sizeof h;
        const size_t inLen = static_cast<size_t>(n) - sizeof h;
        switch (h.kind) {
        case wire::kControl:
            router_.Control(h.id, h.code, in, inLen, h.outLength);
            break;
        case wire::kCancel:
            router_.Cancel(h.id);
            break;
        case wire::kRecord:
            Reply(h.id, virtual_.OnRecord(in, inLen) ? wire::kCompleted : wire::kRefused, nullptr, 0);
            break;
        default:
            return DropClient("malformed request");
        }
        if (dropClient_ || !client_.Valid()) return;
    }
}

void KeyService::Rescan() {
    if (!client_.Valid() || !options_.findNodes || !options_.openNode) return;
    for (const std::string& path : options_.findNodes()) {
        if (std::any_of(nodes_.begin(), nodes_.end(), [&](auto& n) { return n->Path() == path; })) continue;
        auto node = InputNode::Open(options_.openNode(path), path);
        if (!node) continue;
        node->TryGrab(options_.makeCopy);
        Watch(node->Fd());
        nodes_.push_back(std::move(node));
        Note("watching " + path);
    }
}

void KeyService::OnUdev() {
    udev_device* dev = udev_monitor_receive_device(udev_->monitor);
    if (!dev) return;
    const char* action = udev_device_get_action(dev);
    const char* name = udev_device_get_sysname(dev);
    // Removals show up on the node itself (it reports ENODEV).
    const bool add = action && name && std::strcmp(action, "add") == 0 && std::strncmp(name, "event", 5) == 0;
    udev_device_unref(dev);
    if (add) Rescan();
}

void KeyService::OnNode(InputNode& node, uint32_t events) {
    bool alive = true;
    if (events & EPOLLIN) alive = node.Read([&](const input_event& ev) { OnNodeEvent(node, ev); });
    if (panic_) {
        // Not inside Read: the chord closes this very node.
        panic_ = false;
        return Panic();
    }
    if (alive && !(events & (EPOLLHUP | EPOLLERR))) {
        if (!node.Grabbed() && !node.AnyHeld()) node.TryGrab(options_.makeCopy);
        return;
    }
    Note("lost " + node.Path());
    ReleaseNode(node);
    Unwatch(node.Fd());
    nodes_.erase(std::find_if(nodes_.begin(), nodes_.end(), [&](auto& n) { return n.get() == &node; }));
}

void KeyService::OnNodeEvent(InputNode& node, const input_event& ev) {
    if (!node.Grabbed() || !client_.Valid() || panic_) return;
    EventSink* copy = node.Copy();
    if (ev.type == EV_MSC && ev.code == MSC_SCAN) {
        node.scan = static_cast<uint32_t>(ev.value);
        node.hasScan = true;
        return;
    }
    if (ev.type == EV_SYN && ev.code == SYN_REPORT) {
        // A frame whose keys all went to the client leaves nothing to close.
        if (node.frameOpen) copy->Write(ev.type, ev.code, ev.value);
        node.frameOpen = node.hasScan = false;
        return;
    }
    if (ev.type != EV_KEY) {
        copy->Write(ev.type, ev.code, ev.value);
        node.frameOpen = true;
        return;
    }
    if (ev.value == 2) return;  // the copy repeats by itself
    const bool pressed = ev.value != 0;
    InputNode::Route route{false, 0, 0};
    if (pressed) {
        if (ChordHeld()) {
            panic_ = true;
            return;
        }
        uint16_t page = 0, usage = 0;
        if (node.hasScan) {
            page = static_cast<uint16_t>(node.scan >> 16);
            usage = static_cast<uint16_t>(node.scan & 0xFFFF);
        } else if (!platform::linuxfk::InputCodeToHid(ev.code, &page, &usage)) {
            page = usage = 0;
        }
        route = {page != 0 && router_.Wants(page, usage), page, usage};
        node.routes[ev.code] = route;
    } else {
        auto it = node.routes.find(ev.code);
        if (it != node.routes.end()) {
            route = it->second;
            node.routes.erase(it);
        }
    }
    if (route.toClient) {
        router_.Deliver(route.page, route.usage, pressed);
    } else {
        if (node.hasScan) copy->Write(EV_MSC, MSC_SCAN, static_cast<int32_t>(node.scan));
        copy->Write(EV_KEY, ev.code, ev.value);
        node.frameOpen = true;
    }
    node.hasScan = false;
}

bool KeyService::ChordHeld() const {
    auto held = [&](uint16_t code) {
        return std::any_of(nodes_.begin(), nodes_.end(), [&](auto& n) { return n->Held(code); });
    };
    return held(KEY_BACKSPACE) && held(KEY_ESC) && held(KEY_ENTER);
}

void KeyService::ReleaseNode(InputNode& node) {
    bool any = false;
    for (auto& [code, route] : node.routes) {
        if (route.toClient) {
            if (client_.Valid()) router_.Deliver(route.page, route.usage, false);
        } else if (node.Copy()) {
            node.Copy()->Write(EV_KEY, code, 0);
            any = true;
        }
    }
    if (any) node.Copy()->Write(EV_SYN, SYN_REPORT, 0);
    node.routes.clear();
}

void KeyService::CloseNodes() {
    for (auto& node : nodes_) {
        ReleaseNode(*node);
        Unwatch(node->Fd());
    }
    nodes_.clear();  // ungrabs, and takes the copies away
}

void KeyService::DropClient(const char* why) {
    dropClient_ = false;
    if (!client_.Valid()) return;
    Note(std::string("client dropped: ") + why);
    Unwatch(client_.Get());
    client_.Reset();  // first, so nothing more is sent to it
    CloseNodes();
    virtual_.ReleaseAll();
    router_.Reset();
}

void KeyService::Panic() {
    Note("panic chord: every grab ends, every key is released");
    DropClient("panic chord");
}

}  // namespace kbhelper
