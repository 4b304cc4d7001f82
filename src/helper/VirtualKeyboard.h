#pragma once
// The virtual keyboard in the helper: takes the 64-byte records the writer
// sends (05, report id, buffer), keeps the four reports, and types every change
// as input events: keys, consumer and system keys on one device, buttons and
// movement on another (a pointer), each batch closed by a sync.
// ReleaseAll lets go of everything the client pressed (it went away).

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "helper/EventSink.h"

namespace kbhelper {

class VirtualKeyboard {
public:
    static constexpr uint16_t kButtons[8] = {0x110, 0x111, 0x112, 0x113, 0x114, 0x115, 0x116, 0x117};  // BTN_LEFT..

    // Either sink may be null (its events are then dropped, and reported so).
    VirtualKeyboard(std::unique_ptr<EventSink> keys, std::unique_ptr<EventSink> pointer);

    // False for a record that is not one of the four reports, or a failed write.
    bool OnRecord(const uint8_t* record, size_t len);
    void ReleaseAll();
    bool AnyPressed() const;

private:
    bool Emit(EventSink* sink, uint16_t type, uint16_t code, int32_t value);
    bool SetKeys(const uint8_t* bitmap);
    bool SetButtons(uint8_t buttons);
    bool SetSingle(uint16_t page, uint16_t* current, uint16_t next);

    std::unique_ptr<EventSink> keys_;
    std::unique_ptr<EventSink> pointer_;
    std::bitset<256> down_;
    uint8_t buttons_ = 0;
    uint16_t consumer_ = 0;
    uint16_t system_ = 0;
};

}  // namespace kbhelper
