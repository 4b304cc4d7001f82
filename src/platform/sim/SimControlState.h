#pragma once
// What the emulator shows of itself at one moment: the keyboard's firmware, the
// keys held on both sides of the key service, and the recent traffic.

#include <cstdint>
#include <vector>

#include "platform/sim/SimKeyboard.h"
#include "platform/sim/SimReport.h"

namespace platform::sim {

// One change of a usage on the virtual keyboard (what the system "types").
// Mouse button n is page 5, usage n, as the program's key codes have it.
struct SimTypedKey {
    int64_t ms = 0;  // bus time
    uint16_t page = 0;
    uint16_t usage = 0;
    bool down = false;
};

struct SimControlState {
    // The keyboard plugged now, or the one plugged last; hasKeyboard is false
    // when there never was one.
    bool hasKeyboard = false;
    SimKeyboardModel model = SimKeyboardModel::k7080;
    bool plugged = false;
    uint16_t version = 0;
    SimLighting lighting;
    // (page << 16) | usage, ascending.
    std::vector<uint32_t> heldKeys;      // held by the virtual keyboard
    std::vector<uint32_t> physicalKeys;  // down on the emulated keyboard
    // Oldest first, the newest few only.
    std::vector<SimReport> packets;  // received by the keyboard
    std::vector<SimTypedKey> typed;
    uint64_t packetsSeen = 0;  // all packets and typed keys so far
    uint64_t typedSeen = 0;
    uint64_t changes = 0;  // SimControl::Changes() when the snapshot was taken
};

}  // namespace platform::sim
