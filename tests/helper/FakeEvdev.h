#pragma once
// Event nodes for tests: a pipe carries the events, and the evdev ioctls on its
// read end (capabilities, key state, grab) are answered here instead of by the
// kernel, so libevdev and the helper run unchanged on it. Linking this file
// into a test replaces ioctl() for the descriptors registered below.

#include <linux/input.h>

#include <bitset>
#include <mutex>
#include <vector>

#include "platform/linux/UniqueFd.h"

namespace fakeevdev {

struct Node {
    platform::linuxhid::UniqueFd write;  // the test's end
    platform::linuxhid::UniqueFd read;   // the node's end; Open hands out copies
    bool relative = true;                // has REL_X/REL_Y/REL_WHEEL

    // What EVIOCGKEY reports (Send keeps it up to date).
    void SetHeld(uint16_t code, bool held);
    // EVIOCGRAB arguments in order.
    std::vector<int> Grabs() const;
    bool Grabbed() const;

    // One event into the node's queue.
    void Send(uint16_t type, uint16_t code, int32_t value);
    // A key the way the kernel reports it: scan code, key, sync.
    void Key(uint32_t scan, uint16_t code, int32_t value);

    // The service asks from its own thread in some tests.
    mutable std::mutex mutex;
    std::bitset<KEY_CNT> keys;
    std::vector<int> grabs;
};

// A new node, alive until Clear.
Node* Make();
// A descriptor of the node as opening it gives one (non-blocking).
platform::linuxhid::UniqueFd Open(Node* node);
// Unplugged: its readers see the end of the stream.
void Unplug(Node* node);
void Clear();
Node* ByFd(int fd);

}  // namespace fakeevdev
