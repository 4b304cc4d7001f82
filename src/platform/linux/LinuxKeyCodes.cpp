#include "platform/linux/LinuxKeyCodes.h"

#include <linux/input-event-codes.h>

namespace platform::linuxfk {
namespace {

struct Pair {
    uint16_t page;
    uint16_t usage;
    uint16_t code;
};

// Keyboard page (0x07) and the consumer and system usages the settings file offers.
constexpr Pair kPairs[] = {
    {7, 0x04, KEY_A},
    {7, 0x05, KEY_B},
    {7, 0x06, KEY_C},
    {7, 0x07, KEY_D},
    {7, 0x08, KEY_E},
    {7, 0x09, KEY_F},
    {7, 0x0A, KEY_G},
    {7, 0x0B, KEY_H},
    {7, 0x0C, KEY_I},
    {7, 0x0D, KEY_J},
    {7, 0x0E, KEY_K},
    {7, 0x0F, KEY_L},
    {7, 0x10, KEY_M},
    {7, 0x11, KEY_N},
    {7, 0x12, KEY_O},
    {7, 0x13, KEY_P},
    {7, 0x14, KEY_Q},
    {7, 0x15, KEY_R},
    {7, 0x16, KEY_S},
    {7, 0x17, KEY_T},
    {7, 0x18, KEY_U},
    {7, 0x19, KEY_V},
    {7, 0x1A, KEY_W},
    {7, 0x1B, KEY_X},
    {7, 0x1C, KEY_Y},
    {7, 0x1D, KEY_Z},
    {7, 0x1E, KEY_1},
    {7, 0x1F, KEY_2},
    {7, 0x20, KEY_3},
    {7, 0x21, KEY_4},
    {7, 0x22, KEY_5},
    {7, 0x23, KEY_6},
    {7, 0x24, KEY_7},
    {7, 0x25, KEY_8},
    {7, 0x26, KEY_9},
    {7, 0x27, KEY_0},
    {7, 0x28, KEY_ENTER},
    {7, 0x29, KEY_ESC},
    {7, 0x2A, KEY_BACKSPACE},
    {7, 0x2B, KEY_TAB},
    {7, 0x2C, KEY_SPACE},
    {7, 0x2D, KEY_MINUS},
    {7, 0x2E, KEY_EQUAL},
    {7, 0x2F, KEY_LEFTBRACE},
    {7, 0x30, KEY_RIGHTBRACE},
    {7, 0x31, KEY_BACKSLASH},
    {7, 0x32, KEY_BACKSLASH /* non-US #, same key position */},
    {7, 0x33, KEY_SEMICOLON},
    {7, 0x34, KEY_APOSTROPHE},
    {7, 0x35, KEY_GRAVE},
    {7, 0x36, KEY_COMMA},
    {7, 0x37, KEY_DOT},
    {7, 0x38, KEY_SLASH},
    {7, 0x39, KEY_CAPSLOCK},
    {7, 0x3A, KEY_F1},
    {7, 0x3B, KEY_F2},
    {7, 0x3C, KEY_F3},
    {7, 0x3D, KEY_F4},
    {7, 0x3E, KEY_F5},
    {7, 0x3F, KEY_F6},
    {7, 0x40, KEY_F7},
    {7, 0x41, KEY_F8},
    {7, 0x42, KEY_F9},
    {7, 0x43, KEY_F10},
    {7, 0x44, KEY_F11},
    {7, 0x45, KEY_F12},
    {7, 0x46, KEY_SYSRQ},
    {7, 0x47, KEY_SCROLLLOCK},
    {7, 0x48, KEY_PAUSE},
    {7, 0x49, KEY_INSERT},
    {7, 0x4A, KEY_HOME},
    {7, 0x4B, KEY_PAGEUP},
    {7, 0x4C, KEY_DELETE},
    {7, 0x4D, KEY_END},
    {7, 0x4E, KEY_PAGEDOWN},
    {7, 0x4F, KEY_RIGHT},
    {7, 0x50, KEY_LEFT},
    {7, 0x51, KEY_DOWN},
    {7, 0x52, KEY_UP},
    {7, 0x53, KEY_NUMLOCK},
    {7, 0x54, KEY_KPSLASH},
    {7, 0x55, KEY_KPASTERISK},
    {7, 0x56, KEY_KPMINUS},
    {7, 0x57, KEY_KPPLUS},
    {7, 0x58, KEY_KPENTER},
    {7, 0x59, KEY_KP1},
    {7, 0x5A, KEY_KP2},
    {7, 0x5B, KEY_KP3},
    {7, 0x5C, KEY_KP4},
    {7, 0x5D, KEY_KP5},
    {7, 0x5E, KEY_KP6},
    {7, 0x5F, KEY_KP7},
    {7, 0x60, KEY_KP8},
    {7, 0x61, KEY_KP9},
    {7, 0x62, KEY_KP0},
    {7, 0x63, KEY_KPDOT},
    {7, 0x64, KEY_102ND},
    {7, 0x65, KEY_COMPOSE},
    {7, 0xE0, KEY_LEFTCTRL},
    {7, 0xE1, KEY_LEFTSHIFT},
    {7, 0xE2, KEY_LEFTALT},
    {7, 0xE3, KEY_LEFTMETA},
    {7, 0xE4, KEY_RIGHTCTRL},
    {7, 0xE5, KEY_RIGHTSHIFT},
    {7, 0xE6, KEY_RIGHTALT},
    {7, 0xE7, KEY_RIGHTMETA},
    {0x0C, 0x00B5, KEY_NEXTSONG},
    {0x0C, 0x00B6, KEY_PREVIOUSSONG},
    {0x0C, 0x00B7, KEY_STOPCD},
    {0x0C, 0x00CD, KEY_PLAYPAUSE},
    {0x0C, 0x00E2, KEY_MUTE},
    {0x0C, 0x00E9, KEY_VOLUMEUP},
    {0x0C, 0x00EA, KEY_VOLUMEDOWN},
    {0x0C, 0x0183, KEY_MEDIA},
    {0x0C, 0x018A, KEY_MAIL},
    {0x0C, 0x0192, KEY_CALC},
    {0x0C, 0x0194, KEY_COMPUTER},
    {0x0C, 0x0221, KEY_SEARCH},
    {0x0C, 0x0223, KEY_HOMEPAGE},
    {0x0C, 0x0224, KEY_BACK},
    {0x0C, 0x0225, KEY_FORWARD},
    {0x0C, 0x0226, KEY_STOP},
    {0x0C, 0x0227, KEY_REFRESH},
    {0x0C, 0x022A, KEY_BOOKMARKS},
    {0x01, 0x0081, KEY_POWER},
    {0x01, 0x0082, KEY_SLEEP},
    {0x01, 0x0083, KEY_WAKEUP},
};

}  // namespace

bool HidToInputCode(uint16_t page, uint16_t usage, uint16_t* code) {
    for (const Pair& p : kPairs)
        if (p.page == page && p.usage == usage) {
            *code = p.code;
            return true;
        }
    return false;
}

bool InputCodeToHid(uint16_t code, uint16_t* page, uint16_t* usage) {
    for (const Pair& p : kPairs)
        if (p.code == code) {  // first pair wins (0x31 over 0x32)
            *page = p.page;
            *usage = p.usage;
            return true;
        }
    return false;
}

}  // namespace platform::linuxfk
