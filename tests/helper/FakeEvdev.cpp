#include "FakeEvdev.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

namespace fakeevdev {
namespace {

std::mutex g_mutex;
std::map<int, Node*>& Aliases() {
    static std::map<int, Node*> aliases;
    return aliases;
}
std::vector<std::unique_ptr<Node>>& Owned() {
    static std::vector<std::unique_ptr<Node>> owned;
    return owned;
}

void SetBit(void* buffer, size_t size, unsigned bit) {
    if (bit / 8 < size) static_cast<uint8_t*>(buffer)[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
}

int Answer(Node& n, unsigned long request, void* arg) {
    std::lock_guard lock(n.mutex);
    if (_IOC_TYPE(request) != 'E') return errno = EINVAL, -1;
    const unsigned nr = _IOC_NR(request);
    const size_t size = _IOC_SIZE(request);
    if (request == EVIOCGRAB) {
        n.grabs.push_back(static_cast<int>(reinterpret_cast<intptr_t>(arg)));
        return 0;
    }
    if (nr >= 0x20 && nr < 0x40) {  // EVIOCGBIT(type)
        std::memset(arg, 0, size);
        switch (nr - 0x20) {
        case 0:
            for (unsigned t : {EV_SYN, EV_KEY, EV_MSC, EV_REP}) SetBit(arg, size, t);
            if (n.relative) SetBit(arg, size, EV_REL);
            break;
        case EV_KEY:
            for (unsigned k = 1; k < 0x2ff; ++k) SetBit(arg, size, k);
            break;
        case EV_REL:
            if (n.relative)
                for (unsigned r : {REL_X, REL_Y, REL_WHEEL}) SetBit(arg, size, r);
            break;
        case EV_MSC:
            SetBit(arg, size, MSC_SCAN);
            break;
        }
        return static_cast<int>(size);
    }
    if (nr >= 0x40 && nr < 0x80) {  // EVIOCGABS
        std::memset(arg, 0, size);
        return 0;
    }
    switch (nr) {
    case 0x01:  // EVIOCGVERSION
        *static_cast<int*>(arg) = 0x010001;
        return 0;
    case 0x02: {  // EVIOCGID
        input_id id{BUS_USB, 0x1A2C, 0x7080, 0x0110};
        std::memcpy(arg, &id, sizeof id);
        return 0;
    }
    case 0x03: {  // EVIOCGREP
        unsigned rep[2] = {250, 33};
        std::memcpy(arg, rep, sizeof rep);
        return 0;
    }
    case 0x06: {  // EVIOCGNAME
        const char name[] = "fixture keyboard";
        std::memset(arg, 0, size);
        std::memcpy(arg, name, std::min(size, sizeof name));
        return static_cast<int>(std::min(size, sizeof name));
    }
    case 0x07:  // EVIOCGPHYS
    case 0x08:  // EVIOCGUNIQ
        return errno = ENOENT, -1;
    case 0x18:  // EVIOCGKEY
        std::memset(arg, 0, size);
        for (size_t k = 0; k < n.keys.size(); ++k)
            if (n.keys[k]) SetBit(arg, size, static_cast<unsigned>(k));
        return static_cast<int>(size);
    case 0x09:  // EVIOCGPROP
    case 0x19:  // EVIOCGLED
    case 0x1a:  // EVIOCGSND
    case 0x1b:  // EVIOCGSW
        std::memset(arg, 0, size);
        return static_cast<int>(size);
    default:
        return errno = EINVAL, -1;
    }
}

}  // namespace

void Node::SetHeld(uint16_t code, bool held) {
    std::lock_guard lock(mutex);
    if (code < keys.size()) keys[code] = held;
}

std::vector<int> Node::Grabs() const {
    std::lock_guard lock(mutex);
    return grabs;
}

bool Node::Grabbed() const {
    std::lock_guard lock(mutex);
    return !grabs.empty() && grabs.back() != 0;
}

void Node::Send(uint16_t type, uint16_t code, int32_t value) {
    input_event e{};
    e.type = type;
    e.code = code;
    e.value = value;
    if (type == EV_KEY && value != 2) SetHeld(code, value != 0);
    [[maybe_unused]] auto n = ::write(write.Get(), &e, sizeof e);
}

void Node::Key(uint32_t scan, uint16_t code, int32_t value) {
    if (scan) Send(EV_MSC, MSC_SCAN, static_cast<int32_t>(scan));
    Send(EV_KEY, code, value);
    Send(EV_SYN, SYN_REPORT, 0);
}

Node* Make() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return nullptr;
    auto node = std::make_unique<Node>();
    node->read = platform::linuxhid::UniqueFd(fds[0]);
    node->write = platform::linuxhid::UniqueFd(fds[1]);
    std::lock_guard lock(g_mutex);
    Owned().push_back(std::move(node));
    return Owned().back().get();
}

platform::linuxhid::UniqueFd Open(Node* node) {
    const int fd = ::fcntl(node->read.Get(), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return {};
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    std::lock_guard lock(g_mutex);
    Aliases()[fd] = node;
    return platform::linuxhid::UniqueFd(fd);
}

void Unplug(Node* node) { node->write.Reset(); }

void Clear() {
    std::lock_guard lock(g_mutex);
    Aliases().clear();
    Owned().clear();
}

Node* ByFd(int fd) {
    std::lock_guard lock(g_mutex);
    auto it = Aliases().find(fd);
    return it == Aliases().end() ? nullptr : it->second;
}

}  // namespace fakeevdev

extern "C" int ioctl(int fd, unsigned long request, ...) {
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    if (fakeevdev::Node* node = fakeevdev::ByFd(fd)) return fakeevdev::Answer(*node, request, arg);
    using Real = int (*)(int, unsigned long, ...);
    static Real real = reinterpret_cast<Real>(::dlsym(RTLD_NEXT, "ioctl"));
    return real(fd, request, arg);
}
