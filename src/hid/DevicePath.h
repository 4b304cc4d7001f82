#pragma once
// The ids carried by a HID interface path: "...hid#vid_1a2c&pid_7080&mi_01&col07#..."
// gives vendor 0x1A2C, product 0x7080, interface 1, collection 7.

#include <cstdint>
#include <string_view>

namespace hid {

// Finds the first "hid#vid_XXXX&pid_XXXX[&rev_XXXX][&mi_XX][&colXX]" (markers in
// lower case, X from 0-9a-zA-Z) anywhere in the path. Parts are read as hex up
// to the first non-hex character; an absent part gives -1. Every output is
// optional. False (outputs untouched) when the path carries no such sequence.
bool ParseDevicePath(std::string_view path, int32_t* vendor = nullptr, int32_t* product = nullptr,
                     int32_t* interfaceNumber = nullptr, int32_t* collectionNumber = nullptr);

}  // namespace hid
