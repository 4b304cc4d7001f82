#include "platform/linux/LinuxKeyCodes.h"

#include <linux/input-event-codes.h>

#include <array>
#include <cstddef>
#include <iterator>

namespace platform::linuxfk {
namespace {

constexpr uint16_t kNone = 0;

// The keyboard page as the kernel's HID input layer maps it, usage by usage.
// Usages without an entry are the ones the kernel leaves unmapped.
constexpr std::array<uint16_t, 256> MakeKeyboardPage() {
    std::array<uint16_t, 256> t{};
    const uint16_t letters[26] = {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I,
                                  KEY_J, KEY_K, KEY_L, KEY_M, KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R,
                                  KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};
    for (int i = 0; i < 26; ++i) t[0x04 + i] = letters[i];
    const uint16_t row[] = {
        KEY_1,          KEY_2,          KEY_3,          KEY_4,        KEY_5,          KEY_6,
        KEY_7,          KEY_8,          KEY_9,          KEY_0,        KEY_ENTER,      KEY_ESC,
        KEY_BACKSPACE,  KEY_TAB,        KEY_SPACE,      KEY_MINUS,    KEY_EQUAL,      KEY_LEFTBRACE,
        KEY_RIGHTBRACE, KEY_BACKSLASH,  KEY_BACKSLASH,  // 0x31 and the non-US 0x32 share a key code
        KEY_SEMICOLON,  KEY_APOSTROPHE, KEY_GRAVE,      KEY_COMMA,    KEY_DOT,        KEY_SLASH,
        KEY_CAPSLOCK,   KEY_F1,         KEY_F2,         KEY_F3,       KEY_F4,         KEY_F5,
        KEY_F6,         KEY_F7,         KEY_F8,         KEY_F9,       KEY_F10,        KEY_F11,
        KEY_F12,        KEY_SYSRQ,      KEY_SCROLLLOCK, KEY_PAUSE,    KEY_INSERT,     KEY_HOME,
        KEY_PAGEUP,     KEY_DELETE,     KEY_END,        KEY_PAGEDOWN, KEY_RIGHT,      KEY_LEFT,
        KEY_DOWN,       KEY_UP,         KEY_NUMLOCK,    KEY_KPSLASH,  KEY_KPASTERISK, KEY_KPMINUS,
        KEY_KPPLUS,     KEY_KPENTER,    KEY_KP1,        KEY_KP2,      KEY_KP3,        KEY_KP4,
        KEY_KP5,        KEY_KP6,        KEY_KP7,        KEY_KP8,      KEY_KP9,        KEY_KP0,
        KEY_KPDOT,      KEY_102ND,      KEY_COMPOSE,    KEY_POWER,    KEY_KPEQUAL,    KEY_F13,
        KEY_F14,        KEY_F15,        KEY_F16,        KEY_F17,      KEY_F18,        KEY_F19,
        KEY_F20,        KEY_F21,        KEY_F22,        KEY_F23,      KEY_F24,        KEY_OPEN,
        KEY_HELP,       KEY_PROPS,      KEY_FRONT,      KEY_STOP,     KEY_AGAIN,      KEY_UNDO,
        KEY_CUT,        KEY_COPY,       KEY_PASTE,      KEY_FIND,     KEY_MUTE,       KEY_VOLUMEUP,
        KEY_VOLUMEDOWN,
    };
    static_assert(sizeof row / sizeof row[0] == 0x82 - 0x1E);
    for (size_t i = 0; i < sizeof row / sizeof row[0]; ++i) t[0x1E + i] = row[i];
    t[0x85] = KEY_KPCOMMA;
    t[0x87] = KEY_RO;
    t[0x88] = KEY_KATAKANAHIRAGANA;
    t[0x89] = KEY_YEN;
    t[0x8A] = KEY_HENKAN;
    t[0x8B] = KEY_MUHENKAN;
    t[0x8C] = KEY_KPJPCOMMA;
    t[0x90] = KEY_HANGEUL;
    t[0x91] = KEY_HANJA;
    t[0x92] = KEY_KATAKANA;
    t[0x93] = KEY_HIRAGANA;
    t[0x94] = KEY_ZENKAKUHANKAKU;
    t[0x9C] = KEY_DELETE;  // Clear
    t[0xB6] = KEY_KPLEFTPAREN;
    t[0xB7] = KEY_KPRIGHTPAREN;
    t[0xD8] = KEY_DELETE;  // keypad Clear
    const uint16_t tail[] = {
        KEY_LEFTCTRL,   KEY_LEFTSHIFT,  KEY_LEFTALT, KEY_LEFTMETA,     KEY_RIGHTCTRL, KEY_RIGHTSHIFT, KEY_RIGHTALT,
        KEY_RIGHTMETA,  KEY_PLAYPAUSE,  KEY_STOPCD,  KEY_PREVIOUSSONG, KEY_NEXTSONG,  KEY_EJECTCD,    KEY_VOLUMEUP,
        KEY_VOLUMEDOWN, KEY_MUTE,       KEY_WWW,     KEY_BACK,         KEY_FORWARD,   KEY_STOP,       KEY_FIND,
        KEY_SCROLLUP,   KEY_SCROLLDOWN, KEY_EDIT,    KEY_SLEEP,        KEY_COFFEE,    KEY_REFRESH,    KEY_CALC,
    };
    static_assert(sizeof tail / sizeof tail[0] == 0xFC - 0xE0);
    for (size_t i = 0; i < sizeof tail / sizeof tail[0]; ++i) t[0xE0 + i] = tail[i];
    return t;
}

constexpr std::array<uint16_t, 256> kKeyboardPage = MakeKeyboardPage();

struct Pair {
    uint16_t usage;
    uint16_t code;
};

// Consumer usages of the key-name table that the kernel maps to keys.
constexpr Pair kConsumer[] = {
    {0x00B5, KEY_NEXTSONG}, {0x00B6, KEY_PREVIOUSSONG}, {0x00B7, KEY_STOPCD},    {0x00CD, KEY_PLAYPAUSE},
    {0x00E2, KEY_MUTE},     {0x00E5, KEY_BASSBOOST},    {0x00E9, KEY_VOLUMEUP},  {0x00EA, KEY_VOLUMEDOWN},
    {0x0183, KEY_CONFIG},   {0x018A, KEY_MAIL},         {0x0192, KEY_CALC},      {0x0194, KEY_FILE},
    {0x0221, KEY_SEARCH},   {0x0223, KEY_HOMEPAGE},     {0x0224, KEY_BACK},      {0x0225, KEY_FORWARD},
    {0x0226, KEY_STOP},     {0x0227, KEY_REFRESH},      {0x022A, KEY_BOOKMARKS},
};

// System controls of the generic desktop page.
constexpr Pair kSystem[] = {{0x0081, KEY_POWER}, {0x0082, KEY_SLEEP}, {0x0083, KEY_WAKEUP}};

}  // namespace

bool HidToInputCode(uint16_t page, uint16_t usage, uint16_t* code) {
    uint16_t found = kNone;
    if (page == 0x07 && usage < kKeyboardPage.size()) found = kKeyboardPage[usage];
    const Pair* list = page == 0x0C ? kConsumer : page == 0x01 ? kSystem : nullptr;
    const size_t n = page == 0x0C ? std::size(kConsumer) : page == 0x01 ? std::size(kSystem) : 0;
    for (size_t i = 0; i < n; ++i)
        if (list[i].usage == usage) found = list[i].code;
    if (found == kNone) return false;
    *code = found;
    return true;
}

bool InputCodeToHid(uint16_t code, uint16_t* page, uint16_t* usage) {
    // Only a fallback for events without their scan code: media keys come on the
    // consumer page on real keyboards, so those pages are asked first; within
    // the keyboard page the lowest usage wins (0x31 over 0x32).
    for (const Pair& p : kConsumer)
        if (p.code == code) return *page = 0x0C, *usage = p.usage, true;
    for (const Pair& p : kSystem)
        if (p.code == code) return *page = 0x01, *usage = p.usage, true;
    for (size_t u = 0; u < kKeyboardPage.size(); ++u)
        if (kKeyboardPage[u] == code && code != kNone) return *page = 0x07, *usage = static_cast<uint16_t>(u), true;
    return false;
}

}  // namespace platform::linuxfk
