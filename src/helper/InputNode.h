#pragma once
// One event node of the keyboard, read through libevdev (so a SYN_DROPPED is
// followed by a resync of the key state, whose changes come out as ordinary
// key events).
//
// The node is grabbed only while none of its keys is held; what was queued
// before the grab went to the system already, so it is read and dropped, and
// when it leaves a key held the grab is given back until the node is idle.
// While grabbed the node's events go to its copy, a uinput device with every
// capability of the node, except the keys the client takes.

#include <bitset>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "helper/EventSink.h"
#include "platform/linux/UniqueFd.h"

struct libevdev;
struct input_event;

namespace kbhelper {

class InputNode {
public:
    using MakeCopy = std::function<std::unique_ptr<EventSink>(const libevdev*)>;

    // Null when libevdev does not take the descriptor.
    static std::unique_ptr<InputNode> Open(platform::linuxhid::UniqueFd fd, std::string path);
    ~InputNode();
    InputNode(const InputNode&) = delete;
    InputNode& operator=(const InputNode&) = delete;

    int Fd() const { return fd_.Get(); }
    const std::string& Path() const { return path_; }
    bool Grabbed() const { return grabbed_; }
    bool Held(uint16_t code) const { return code < held_.size() && held_[code]; }
    bool AnyHeld() const { return held_.any(); }

    // Grabs when idle (see above); makes the copy first, and does not grab
    // without one. True when grabbed afterwards.
    bool TryGrab(const MakeCopy& makeCopy);
    void Ungrab();

    // Reads what is there; each event (after the key state is updated) goes to
    // `handler`. False when the node is gone.
    bool Read(const std::function<void(const input_event&)>& handler);

    EventSink* Copy() const { return copy_.get(); }

    // How each key pressed while grabbed was routed at its press, so its
    // release goes the same way.
    struct Route {
        bool toClient;
        uint16_t page;
        uint16_t usage;
    };
    std::map<uint16_t, Route> routes;
    // The scan code (page << 16 | usage) sent before the next key event.
    uint32_t scan = 0;
    bool hasScan = false;
    // Something of the current frame went to the copy.
    bool frameOpen = false;

private:
    InputNode(platform::linuxhid::UniqueFd fd, std::string path, libevdev* dev);
    void Track(const input_event& ev);

    platform::linuxhid::UniqueFd fd_;
    std::string path_;
    libevdev* dev_;
    std::bitset<768> held_;
    bool grabbed_ = false;
    bool syncing_ = false;
    std::unique_ptr<EventSink> copy_;
};

}  // namespace kbhelper
