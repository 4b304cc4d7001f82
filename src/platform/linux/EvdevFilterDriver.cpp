#include "platform/linux/EvdevFilterDriver.h"

#include <fcntl.h>
#include <linux/input.h>
#include <linux/uinput.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/linux/LinuxKeyCodes.h"

namespace platform::linuxfk {

EvdevFilterDriver::EvdevFilterDriver(std::vector<linuxhid::UniqueFd> sources, linuxhid::UniqueFd passThrough, Io io,
                                     Clock& clock)
    : FilterEngine(clock), passThrough_(std::move(passThrough)), io_(std::move(io)) {
    if (!io_.grab) io_.grab = [](int fd, bool grab) { return ::ioctl(fd, EVIOCGRAB, grab ? 1 : 0) == 0; };
    if (!io_.heldKeys)
        io_.heldKeys = [](int fd, KeyBits* held) {
            uint8_t bits[KEY_CNT / 8 + 1] = {};
            if (::ioctl(fd, EVIOCGKEY(sizeof bits), bits) < 0) return false;
            for (size_t i = 0; i < held->size() && i / 8 < sizeof bits; ++i) (*held)[i] = (bits[i / 8] >> (i % 8)) & 1;
            return true;
        };
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) == 0) {
        stopRead_ = linuxhid::UniqueFd(pipeFds[0]);
        stopWrite_ = linuxhid::UniqueFd(pipeFds[1]);
    }
    SetPassThroughSink([this](uint16_t page, uint16_t usage, bool down) {
        uint16_t code = 0;
        if (HidToInputCode(page, usage, &code)) PassThrough(code, down);
    });
    for (auto& fd : sources) {
        if (!fd.Valid()) continue;
        auto s = std::make_unique<Source>();
        s->fd = std::move(fd);
        if (!io_.heldKeys(s->fd.Get(), &s->held)) s->held.reset();
        if (s->held.none()) s->grabbed.store(io_.grab(s->fd.Get(), true));
        sources_.push_back(std::move(s));
    }
    if (!sources_.empty()) reader_ = std::thread([this] { ReaderMain(); });
}

bool EvdevFilterDriver::Grabbed() const {
    for (const auto& s : sources_)
        if (!s->grabbed.load()) return false;
    return !sources_.empty();
}

EvdevFilterDriver::~EvdevFilterDriver() {
    if (reader_.joinable()) {
        const char stop = 1;
        [[maybe_unused]] auto n = ::write(stopWrite_.Get(), &stop, 1);
        reader_.join();
    }
    for (auto& s : sources_)
        if (s->grabbed.load()) io_.grab(s->fd.Get(), false);
    SetPassThroughSink(nullptr);
}

std::vector<std::string> EvdevFilterDriver::FindEventNodes(uint16_t vendor, uint16_t product,
                                                           const std::string& sysfsRoot, const std::string& devRoot) {
    namespace fs = std::filesystem;
    auto readHex = [](const fs::path& p) -> long {
        std::ifstream in(p);
        std::string text;
        if (!(in >> text)) return -1;
        return std::strtol(text.c_str(), nullptr, 16);
    };
    std::vector<std::string> nodes;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fs::path(sysfsRoot) / "class" / "input", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("event", 0) != 0) continue;
        const fs::path id = entry.path() / "device" / "id";
        if (readHex(id / "vendor") == vendor && readHex(id / "product") == product)
            nodes.push_back(devRoot + "/input/" + name);
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

std::unique_ptr<EvdevFilterDriver> EvdevFilterDriver::Open(const std::vector<std::string>& evdevNodes,
                                                           const std::string& uinputNode) {
    std::vector<linuxhid::UniqueFd> sources;
    for (const auto& node : evdevNodes) {
        linuxhid::UniqueFd fd(::open(node.c_str(), O_RDONLY | O_CLOEXEC));
        if (fd.Valid()) sources.push_back(std::move(fd));
    }
    if (sources.empty()) return nullptr;
    linuxhid::UniqueFd out(::open(uinputNode.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (out.Valid()) {
        const int f = out.Get();
        bool ok = ::ioctl(f, UI_SET_EVBIT, EV_KEY) == 0 && ::ioctl(f, UI_SET_EVBIT, EV_SYN) == 0 &&
                  ::ioctl(f, UI_SET_EVBIT, EV_REP) == 0;
        for (int code = 1; code < 256 && ok; ++code) ok = ::ioctl(f, UI_SET_KEYBIT, code) == 0;
        uinput_setup setup{};
        setup.id.bustype = BUS_VIRTUAL;
        std::strncpy(setup.name, "kbconf pass-through keyboard", UINPUT_MAX_NAME_SIZE - 1);
        ok = ok && ::ioctl(f, UI_DEV_SETUP, &setup) == 0 && ::ioctl(f, UI_DEV_CREATE) == 0;
        // Without a pass-through device, intercepting would swallow the keyboard.
        if (!ok) return nullptr;
    } else {
        return nullptr;
    }
    return std::make_unique<EvdevFilterDriver>(std::move(sources), std::move(out));
}

void EvdevFilterDriver::PassThrough(uint16_t code, bool down) {
    std::lock_guard lock(writeLock_);
    if (!passThrough_.Valid()) return;
    input_event ev[2]{};
    ev[0].type = EV_KEY;
    ev[0].code = code;
    ev[0].value = down ? 1 : 0;
    ev[1].type = EV_SYN;
    ev[1].code = SYN_REPORT;
    [[maybe_unused]] auto n = ::write(passThrough_.Get(), ev, sizeof ev);
}

void EvdevFilterDriver::ReaderMain() {
    input_event events[64];
    std::vector<pollfd> fds;
    for (auto& s : sources_) fds.push_back({s->fd.Get(), POLLIN, 0});
    fds.push_back({stopRead_.Get(), POLLIN, 0});
    size_t open = sources_.size();
    while (open > 0) {
        for (auto& p : fds) p.revents = 0;
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds.back().revents) return;
        for (size_t i = 0; i < sources_.size(); ++i) {
            if (fds[i].fd < 0 || !fds[i].revents) continue;
            Source& s = *sources_[i];
            const ssize_t n = (fds[i].revents & POLLIN) ? ::read(s.fd.Get(), events, sizeof events) : -1;
            if (n <= 0) {
                fds[i].fd = -1;  // this node went away; the others go on
                --open;
                continue;
            }
            for (size_t k = 0; k < static_cast<size_t>(n) / sizeof(input_event); ++k) {
                const input_event& e = events[k];
                if (e.type != EV_KEY || e.value == 2 || e.code >= s.held.size()) continue;
                const bool down = e.value != 0;
                s.held[e.code] = down;
                if (!s.grabbed.load()) {
                    // The system had this key; take the node once it is idle.
                    if (s.held.none()) s.grabbed.store(io_.grab(s.fd.Get(), true));
                    continue;
                }
                uint16_t page = 0, usage = 0;
                if (InputCodeToHid(e.code, &page, &usage))
                    OnPhysicalKey(page, usage, down);
                else
                    PassThrough(e.code, down);
            }
        }
    }
}

}  // namespace platform::linuxfk
