#pragma once
// Qt key events to the HID usages of the emulated keyboard, so that typing into
// the emulator window presses the keys of a US layout. Shifted symbols map to
// the key that makes them ("!" is the 1 key); keypad keys are told apart by
// the keypad modifier; the right-hand modifiers by their X11 key codes where
// the platform reports them.

#include <cstdint>

class QKeyEvent;

namespace platform::sim::ui {

class SimQtKeyMap {
public:
    // False for keys the keyboard does not have.
    static bool ToUsage(const QKeyEvent& event, uint16_t* page, uint16_t* usage);
    static bool ToUsage(int qtKey, bool keypad, uint32_t nativeScanCode, uint16_t* page, uint16_t* usage);
};

}  // namespace platform::sim::ui
