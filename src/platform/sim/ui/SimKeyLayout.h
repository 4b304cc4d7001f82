#pragma once
// The on-screen keyboard of the emulator window: a full-size layout with the
// emulated keyboard's media keys, positions in key units (1 = one letter key).

#include <cstdint>
#include <span>

namespace platform::sim::ui {

struct SimKeyCap {
    uint16_t page;
    uint16_t usage;
    double x, y, w, h;
    const char* label;  // the legend on the cap; the key's full name is a tooltip
};

class SimKeyLayout {
public:
    static std::span<const SimKeyCap> Keys();
    // Size of the whole layout in key units.
    static double Width();
    static double Height();
};

}  // namespace platform::sim::ui
