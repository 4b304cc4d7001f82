#include "platform/linux/UinputKeyboard.h"

#include <fcntl.h>
#include <linux/input.h>
#include <linux/uinput.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>
#include <memory>

#include "platform/linux/LinuxKeyCodes.h"

namespace platform::linuxfk {
namespace {

constexpr uint16_t kButtons[8] = {BTN_LEFT,  BTN_RIGHT,   BTN_MIDDLE, BTN_SIDE,
                                  BTN_EXTRA, BTN_FORWARD, BTN_BACK,   BTN_TASK};

}  // namespace

UinputKeyboard::UinputKeyboard(linuxhid::UniqueFd fd) : fd_(std::move(fd)) {}

UinputKeyboard::~UinputKeyboard() {
    if (created_ && fd_.Valid()) ::ioctl(fd_.Get(), UI_DEV_DESTROY);
}

std::unique_ptr<UinputKeyboard> UinputKeyboard::Create(const std::string& node) {
    linuxhid::UniqueFd fd(::open(node.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid()) return nullptr;
    const int f = fd.Get();
    bool ok = ::ioctl(f, UI_SET_EVBIT, EV_KEY) == 0 && ::ioctl(f, UI_SET_EVBIT, EV_REL) == 0 &&
              ::ioctl(f, UI_SET_EVBIT, EV_SYN) == 0;
    for (uint16_t page : {uint16_t{0x07}, uint16_t{0x0C}, uint16_t{0x01}})
        for (uint32_t usage = 0; usage < 0x300 && ok; ++usage) {
            uint16_t code = 0;
            if (HidToInputCode(page, static_cast<uint16_t>(usage), &code)) ok = ::ioctl(f, UI_SET_KEYBIT, code) == 0;
        }
    for (uint16_t b : kButtons) ok = ok && ::ioctl(f, UI_SET_KEYBIT, b) == 0;
    for (int rel : {REL_X, REL_Y, REL_WHEEL}) ok = ok && ::ioctl(f, UI_SET_RELBIT, rel) == 0;
    uinput_setup setup{};
    setup.id.bustype = BUS_VIRTUAL;
    setup.id.vendor = 0xDEED;
    setup.id.product = 0xFEED;
    std::strncpy(setup.name, "kbconf virtual keyboard", UINPUT_MAX_NAME_SIZE - 1);
    ok = ok && ::ioctl(f, UI_DEV_SETUP, &setup) == 0 && ::ioctl(f, UI_DEV_CREATE) == 0;
    if (!ok) return nullptr;
    auto keyboard = std::make_unique<UinputKeyboard>(std::move(fd));
    keyboard->created_ = true;
    return keyboard;
}

bool UinputKeyboard::Emit(uint16_t type, uint16_t code, int32_t value) {
    input_event ev{};
    ev.type = type;
    ev.code = code;
    ev.value = value;
    return ::write(fd_.Get(), &ev, sizeof ev) == static_cast<ssize_t>(sizeof ev);
}

bool UinputKeyboard::Key(uint16_t code, bool down) { return Emit(EV_KEY, code, down ? 1 : 0); }

bool UinputKeyboard::OnRecord(const uint8_t* r, size_t len) {
    if (len != 64 || r[0] != 0x05) return false;
    std::lock_guard lock(mutex_);
    if (!fd_.Valid()) return false;
    const uint8_t* b = r + 2;
    bool ok = true;
    switch (r[1]) {
    case 1:
        for (int u = 0; u < 256; ++u) {
            const bool down = (b[1 + u / 8] >> (u % 8)) & 1;
            if (down == keys_[u]) continue;
            keys_[u] = down;
            uint16_t code = 0;
            if (HidToInputCode(7, static_cast<uint16_t>(u), &code)) ok = Key(code, down) && ok;
        }
        break;
    case 2:
        for (int i = 0; i < 8; ++i) {
            const bool down = (b[0] >> i) & 1;
            if (down != ((buttons_ >> i) & 1)) ok = Key(kButtons[i], down) && ok;
        }
        buttons_ = b[0];
        // Movement bytes are signed steps, sent while non-zero.
        if (b[1]) ok = Emit(EV_REL, REL_X, static_cast<int8_t>(b[1])) && ok;
        if (b[2]) ok = Emit(EV_REL, REL_Y, static_cast<int8_t>(b[2])) && ok;
        if (b[3]) ok = Emit(EV_REL, REL_WHEEL, static_cast<int8_t>(b[3])) && ok;
        break;
    case 3:
    case 4: {
        const uint16_t page = r[1] == 3 ? 0x0C : 0x01;
        uint16_t& current = r[1] == 3 ? consumer_ : system_;
        const auto next = static_cast<uint16_t>(b[0] | (b[1] << 8));
        if (next == current) break;
        uint16_t code = 0;
        if (current && HidToInputCode(page, current, &code)) ok = Key(code, false) && ok;
        if (next && HidToInputCode(page, next, &code)) ok = Key(code, true) && ok;
        current = next;
        break;
    }
    default:
        return false;
    }
    return Emit(EV_SYN, SYN_REPORT, 0) && ok;
}

}  // namespace platform::linuxfk
