#include "helper/VirtualKeyboard.h"

#include <linux/input.h>

#include "platform/linux/LinuxKeyCodes.h"

namespace kbhelper {

static_assert(VirtualKeyboard::kButtons[0] == BTN_LEFT && VirtualKeyboard::kButtons[7] == BTN_TASK);

VirtualKeyboard::VirtualKeyboard(std::unique_ptr<EventSink> keys, std::unique_ptr<EventSink> pointer)
    : keys_(std::move(keys)), pointer_(std::move(pointer)) {}

bool VirtualKeyboard::Emit(EventSink* sink, uint16_t type, uint16_t code, int32_t value) {
    return sink && sink->Write(type, code, value);
}

bool VirtualKeyboard::SetKeys(const uint8_t* bitmap) {
    bool ok = true, any = false;
    for (int u = 0; u < 256; ++u) {
        const bool down = (bitmap[u / 8] >> (u % 8)) & 1;
        if (down == down_[u]) continue;
        down_[u] = down;
        uint16_t code = 0;
        if (platform::linuxfk::HidToInputCode(7, static_cast<uint16_t>(u), &code)) {
            ok = Emit(keys_.get(), EV_KEY, code, down ? 1 : 0) && ok;
            any = true;
        }
    }
    return (any ? Emit(keys_.get(), EV_SYN, SYN_REPORT, 0) : true) && ok;
}

bool VirtualKeyboard::SetButtons(uint8_t buttons) {
    bool ok = true;
    for (int i = 0; i < 8; ++i) {
        const bool down = (buttons >> i) & 1;
        if (down != ((buttons_ >> i) & 1)) ok = Emit(pointer_.get(), EV_KEY, kButtons[i], down ? 1 : 0) && ok;
    }
    buttons_ = buttons;
    return ok;
}

bool VirtualKeyboard::SetSingle(uint16_t page, uint16_t* current, uint16_t next) {
    if (next == *current) return true;
    bool ok = true;
    uint16_t code = 0;
    if (*current && platform::linuxfk::HidToInputCode(page, *current, &code))
        ok = Emit(keys_.get(), EV_KEY, code, 0) && ok;
    if (next && platform::linuxfk::HidToInputCode(page, next, &code)) ok = Emit(keys_.get(), EV_KEY, code, 1) && ok;
    *current = next;
    return Emit(keys_.get(), EV_SYN, SYN_REPORT, 0) && ok;
}

bool VirtualKeyboard::OnRecord(const uint8_t* r, size_t len) {
    if (len != 64 || r[0] != 0x05) return false;
    const uint8_t* b = r + 2;
    switch (r[1]) {
    case 1:
        return SetKeys(b + 1);
    case 2: {
        bool ok = SetButtons(b[0]);
        // Movement bytes are signed steps, sent while non-zero.
        if (b[1]) ok = Emit(pointer_.get(), EV_REL, REL_X, static_cast<int8_t>(b[1])) && ok;
        if (b[2]) ok = Emit(pointer_.get(), EV_REL, REL_Y, static_cast<int8_t>(b[2])) && ok;
        if (b[3]) ok = Emit(pointer_.get(), EV_REL, REL_WHEEL, static_cast<int8_t>(b[3])) && ok;
        return Emit(pointer_.get(), EV_SYN, SYN_REPORT, 0) && ok;
    }
    case 3:
        return SetSingle(0x0C, &consumer_, static_cast<uint16_t>(b[0] | (b[1] << 8)));
    case 4:
        return SetSingle(0x01, &system_, static_cast<uint16_t>(b[0] | (b[1] << 8)));
    default:
        return false;
    }
}

bool VirtualKeyboard::AnyPressed() const { return down_.any() || buttons_ || consumer_ || system_; }

void VirtualKeyboard::ReleaseAll() {
    const uint8_t none[32] = {};
    SetKeys(none);
    if (buttons_) {
        SetButtons(0);
        Emit(pointer_.get(), EV_SYN, SYN_REPORT, 0);
    }
    SetSingle(0x0C, &consumer_, 0);
    SetSingle(0x01, &system_, 0);
}

}  // namespace kbhelper
