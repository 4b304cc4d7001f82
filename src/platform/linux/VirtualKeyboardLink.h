#pragma once
// Where the virtual keyboard's 64-byte records go: the key service (the helper
// owns the uinput devices), or anything else that takes them in tests.

#include <cstddef>
#include <cstdint>

namespace platform::linuxfk {

class VirtualKeyboardLink {
public:
    virtual ~VirtualKeyboardLink() = default;
    // Whether the virtual keyboard can be reached now.
    virtual bool Present() = 0;
    // One record; false when it did not arrive or was refused.
    virtual bool SendRecord(const uint8_t* record, size_t len) = 0;
};

}  // namespace platform::linuxfk
