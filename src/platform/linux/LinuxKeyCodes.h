#pragma once
// HID usages (page, usage) and the kernel's input event codes, both ways, for
// the keys the function-key service intercepts and types.

#include <cstdint>

namespace platform::linuxfk {

// False when the usage has no input code.
bool HidToInputCode(uint16_t page, uint16_t usage, uint16_t* code);
// False when the code has no HID usage here.
bool InputCodeToHid(uint16_t code, uint16_t* page, uint16_t* usage);

}  // namespace platform::linuxfk
