#pragma once
// The virtual keyboard on Linux: takes the 64-byte records the writer sends
// (05, report id, buffer), keeps the four reports, and types every change as
// input events on a uinput device (key, button and relative events, each batch
// closed by a sync). The events go to a file descriptor, so the translation
// runs on a pipe in tests; Create() sets up a real /dev/uinput device.

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "platform/linux/UniqueFd.h"

namespace platform::linuxfk {

class UinputKeyboard {
public:
    // Events go to `fd` as they are (no device set-up).
    explicit UinputKeyboard(linuxhid::UniqueFd fd);
    ~UinputKeyboard();
    UinputKeyboard(const UinputKeyboard&) = delete;
    UinputKeyboard& operator=(const UinputKeyboard&) = delete;

    // Opens the uinput node and creates the device; null pointer-like result
    // (!Valid()) on failure.
    static std::unique_ptr<UinputKeyboard> Create(const std::string& node = "/dev/uinput");

    // False for a record that is not one of the four reports, or a failed write.
    bool OnRecord(const uint8_t* record, size_t len);
    bool Valid() const { return fd_.Valid(); }

private:
    bool Emit(uint16_t type, uint16_t code, int32_t value);
    bool Key(uint16_t code, bool down);

    std::mutex mutex_;
    linuxhid::UniqueFd fd_;
    bool created_ = false;
    std::bitset<256> keys_;
    uint8_t buttons_ = 0;
    uint16_t consumer_ = 0;
    uint16_t system_ = 0;
};

}  // namespace platform::linuxfk
