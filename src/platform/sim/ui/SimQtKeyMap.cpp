#include "platform/sim/ui/SimQtKeyMap.h"

#include <QKeyEvent>

namespace platform::sim::ui {
namespace {

struct Entry {
    int key;
    uint16_t usage;
};

// Keys outside the letter and digit runs, US layout, shifted forms included.
constexpr Entry kMain[] = {
    {Qt::Key_Return, 0x28},       {Qt::Key_Escape, 0x29},     {Qt::Key_Backspace, 0x2A},   {Qt::Key_Tab, 0x2B},
    {Qt::Key_Backtab, 0x2B},      {Qt::Key_Space, 0x2C},      {Qt::Key_Minus, 0x2D},       {Qt::Key_Underscore, 0x2D},
    {Qt::Key_Equal, 0x2E},        {Qt::Key_Plus, 0x2E},       {Qt::Key_BracketLeft, 0x2F}, {Qt::Key_BraceLeft, 0x2F},
    {Qt::Key_BracketRight, 0x30}, {Qt::Key_BraceRight, 0x30}, {Qt::Key_Backslash, 0x31},   {Qt::Key_Bar, 0x31},
    {Qt::Key_Semicolon, 0x33},    {Qt::Key_Colon, 0x33},      {Qt::Key_Apostrophe, 0x34},  {Qt::Key_QuoteDbl, 0x34},
    {Qt::Key_QuoteLeft, 0x35},    {Qt::Key_AsciiTilde, 0x35}, {Qt::Key_Comma, 0x36},       {Qt::Key_Less, 0x36},
    {Qt::Key_Period, 0x37},       {Qt::Key_Greater, 0x37},    {Qt::Key_Slash, 0x38},       {Qt::Key_Question, 0x38},
    {Qt::Key_CapsLock, 0x39},     {Qt::Key_Print, 0x46},      {Qt::Key_ScrollLock, 0x47},  {Qt::Key_Pause, 0x48},
    {Qt::Key_Insert, 0x49},       {Qt::Key_Home, 0x4A},       {Qt::Key_PageUp, 0x4B},      {Qt::Key_Delete, 0x4C},
    {Qt::Key_End, 0x4D},          {Qt::Key_PageDown, 0x4E},   {Qt::Key_Right, 0x4F},       {Qt::Key_Left, 0x50},
    {Qt::Key_Down, 0x51},         {Qt::Key_Up, 0x52},         {Qt::Key_NumLock, 0x53},     {Qt::Key_Menu, 0x65},
    {Qt::Key_Control, 0xE0},      {Qt::Key_Shift, 0xE1},      {Qt::Key_Alt, 0xE2},         {Qt::Key_Meta, 0xE3},
    {Qt::Key_Super_L, 0xE3},      {Qt::Key_Super_R, 0xE7},    {Qt::Key_AltGr, 0xE6},       {Qt::Key_Exclam, 0x1E},
    {Qt::Key_At, 0x1F},           {Qt::Key_NumberSign, 0x20}, {Qt::Key_Dollar, 0x21},      {Qt::Key_Percent, 0x22},
    {Qt::Key_AsciiCircum, 0x23},  {Qt::Key_Ampersand, 0x24},  {Qt::Key_Asterisk, 0x25},    {Qt::Key_ParenLeft, 0x26},
    {Qt::Key_ParenRight, 0x27},
};

constexpr Entry kKeypad[] = {
    {Qt::Key_Slash, 0x54},    {Qt::Key_Asterisk, 0x55}, {Qt::Key_Minus, 0x56},  {Qt::Key_Plus, 0x57},
    {Qt::Key_Enter, 0x58},    {Qt::Key_Return, 0x58},   {Qt::Key_End, 0x59},    {Qt::Key_Down, 0x5A},
    {Qt::Key_PageDown, 0x5B}, {Qt::Key_Left, 0x5C},     {Qt::Key_Clear, 0x5D},  {Qt::Key_Right, 0x5E},
    {Qt::Key_Home, 0x5F},     {Qt::Key_Up, 0x60},       {Qt::Key_PageUp, 0x61}, {Qt::Key_Insert, 0x62},
    {Qt::Key_Delete, 0x63},   {Qt::Key_Period, 0x63},   {Qt::Key_Comma, 0x63},  {Qt::Key_Equal, 0x67},
};

constexpr Entry kMedia[] = {
    {Qt::Key_VolumeMute, 0xE2},
    {Qt::Key_VolumeDown, 0xEA},
    {Qt::Key_VolumeUp, 0xE9},
    {Qt::Key_MediaPlay, 0xCD},
    {Qt::Key_MediaTogglePlayPause, 0xCD},
    {Qt::Key_MediaStop, 0xB7},
    {Qt::Key_MediaPrevious, 0xB6},
    {Qt::Key_MediaNext, 0xB5},
    {Qt::Key_Calculator, 0x192},
    {Qt::Key_LaunchMail, 0x18A},
    {Qt::Key_HomePage, 0x223},
};

// X11 key codes of the right-hand modifiers (evdev code + 8).
uint16_t RightHand(uint32_t scanCode) {
    switch (scanCode) {
    case 62:
        return 0xE5;  // right shift
    case 105:
        return 0xE4;  // right control
    case 108:
        return 0xE6;  // right alt
    case 134:
        return 0xE7;  // right super
    default:
        return 0;
    }
}

template <size_t N>
bool Find(const Entry (&table)[N], int key, uint16_t* usage) {
    for (const Entry& e : table)
        if (e.key == key) {
            *usage = e.usage;
            return true;
        }
    return false;
}

}  // namespace

bool SimQtKeyMap::ToUsage(const QKeyEvent& event, uint16_t* page, uint16_t* usage) {
    return ToUsage(event.key(), event.modifiers().testFlag(Qt::KeypadModifier), event.nativeScanCode(), page, usage);
}

bool SimQtKeyMap::ToUsage(int key, bool keypad, uint32_t scanCode, uint16_t* page, uint16_t* usage) {
    *page = 0x07;
    if (keypad) {
        if (key >= Qt::Key_0 && key <= Qt::Key_9) {
            *usage = key == Qt::Key_0 ? 0x62 : static_cast<uint16_t>(0x59 + (key - Qt::Key_1));
            return true;
        }
        if (Find(kKeypad, key, usage)) return true;
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        *usage = static_cast<uint16_t>(0x04 + (key - Qt::Key_A));
        return true;
    }
    if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        *usage = static_cast<uint16_t>(0x1E + (key - Qt::Key_1));
        return true;
    }
    if (key == Qt::Key_0) {
        *usage = 0x27;
        return true;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
        *usage = static_cast<uint16_t>(0x3A + (key - Qt::Key_F1));
        return true;
    }
    if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta) {
        if (uint16_t right = RightHand(scanCode)) {
            *usage = right;
            return true;
        }
    }
    if (Find(kMain, key, usage)) return true;
    *page = 0x0C;
    return Find(kMedia, key, usage);
}

}  // namespace platform::sim::ui
