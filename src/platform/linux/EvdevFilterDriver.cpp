#include "platform/linux/EvdevFilterDriver.h"

#include <fcntl.h>
#include <linux/input.h>
#include <linux/uinput.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/linux/LinuxKeyCodes.h"

namespace platform::linuxfk {

EvdevFilterDriver::EvdevFilterDriver(linuxhid::UniqueFd source, linuxhid::UniqueFd passThrough, Io io,
                                     Clock& clock)
    : FilterEngine(clock), source_(std::move(source)), passThrough_(std::move(passThrough)), io_(std::move(io)) {
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
    if (source_.Valid()) {
        if (!io_.heldKeys(source_.Get(), &held_)) held_.reset();
        if (held_.none()) grabbed_.store(io_.grab(source_.Get(), true));
        reader_ = std::thread([this] { ReaderMain(); });
    }
}

EvdevFilterDriver::~EvdevFilterDriver() {
    if (reader_.joinable()) {
        const char stop = 1;
        [[maybe_unused]] auto n = ::write(stopWrite_.Get(), &stop, 1);
        reader_.join();
    }
    if (grabbed_.load() && source_.Valid()) io_.grab(source_.Get(), false);
    SetPassThroughSink(nullptr);
}

std::unique_ptr<EvdevFilterDriver> EvdevFilterDriver::Open(const std::string& evdevNode,
                                                           const std::string& uinputNode) {
    linuxhid::UniqueFd source(::open(evdevNode.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source.Valid()) return nullptr;
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
    return std::make_unique<EvdevFilterDriver>(std::move(source), std::move(out));
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
    for (;;) {
        pollfd fds[2] = {{source_.Get(), POLLIN, 0}, {stopRead_.Get(), POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents) return;
        if (!(fds[0].revents & POLLIN)) return;  // the keyboard went away
        const ssize_t n = ::read(source_.Get(), events, sizeof events);
        if (n <= 0) return;
        for (size_t i = 0; i < static_cast<size_t>(n) / sizeof(input_event); ++i) {
            const input_event& e = events[i];
            if (e.type != EV_KEY || e.value == 2 || e.code >= held_.size()) continue;
            const bool down = e.value != 0;
            held_[e.code] = down;
            if (!grabbed_.load()) {
                // The system had this key; take the keyboard once it is idle.
                if (held_.none()) grabbed_.store(io_.grab(source_.Get(), true));
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

}  // namespace platform::linuxfk
