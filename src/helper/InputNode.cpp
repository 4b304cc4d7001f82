#include "helper/InputNode.h"

#include <libevdev/libevdev.h>
#include <linux/input.h>
#include <sys/ioctl.h>

#include <cerrno>

namespace kbhelper {

InputNode::InputNode(platform::linuxhid::UniqueFd fd, std::string path, libevdev* dev)
    : fd_(std::move(fd)), path_(std::move(path)), dev_(dev) {
    uint8_t bits[KEY_CNT / 8 + 1] = {};
    if (::ioctl(fd_.Get(), EVIOCGKEY(sizeof bits), bits) >= 0)
        for (size_t i = 0; i < held_.size(); ++i) held_[i] = (bits[i / 8] >> (i % 8)) & 1;
}

InputNode::~InputNode() {
    Ungrab();
    libevdev_free(dev_);
}

std::unique_ptr<InputNode> InputNode::Open(platform::linuxhid::UniqueFd fd, std::string path) {
    if (!fd.Valid()) return nullptr;
    libevdev* dev = nullptr;
    if (libevdev_new_from_fd(fd.Get(), &dev) != 0) return nullptr;
    return std::unique_ptr<InputNode>(new InputNode(std::move(fd), std::move(path), dev));
}

void InputNode::Track(const input_event& ev) {
    if (ev.type == EV_KEY && ev.code < held_.size() && ev.value != 2) held_[ev.code] = ev.value != 0;
}

bool InputNode::Read(const std::function<void(const input_event&)>& handler) {
    for (;;) {
        input_event ev;
        const int rc = libevdev_next_event(dev_, syncing_ ? LIBEVDEV_READ_FLAG_SYNC : LIBEVDEV_READ_FLAG_NORMAL, &ev);
        if (rc == LIBEVDEV_READ_STATUS_SYNC && !syncing_) {
            syncing_ = true;  // this is the SYN_DROPPED; the resync follows
            continue;
        }
        if (rc == LIBEVDEV_READ_STATUS_SYNC || rc == LIBEVDEV_READ_STATUS_SUCCESS) {
            Track(ev);
            if (handler) handler(ev);
            continue;
        }
        if (rc == -EAGAIN) {
            if (syncing_) {
                syncing_ = false;
                continue;
            }
            return true;
        }
        return false;  // -ENODEV: unplugged
    }
}

bool InputNode::TryGrab(const MakeCopy& makeCopy) {
    if (grabbed_) return true;
    if (held_.any()) return false;
    if (!copy_) copy_ = makeCopy ? makeCopy(dev_) : nullptr;
    if (!copy_) return false;  // intercepting without a copy would swallow the keyboard
    if (libevdev_grab(dev_, LIBEVDEV_GRAB) != 0) return false;
    grabbed_ = true;
    // Whatever was queued before the grab reached the system already.
    if (!Read(nullptr) || held_.any()) {
        Ungrab();
        return false;
    }
    return true;
}

void InputNode::Ungrab() {
    if (!grabbed_) return;
    libevdev_grab(dev_, LIBEVDEV_UNGRAB);
    grabbed_ = false;
    routes.clear();
    hasScan = frameOpen = false;
}

}  // namespace kbhelper
