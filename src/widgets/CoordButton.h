#pragma once
// One key area of the keyboard picture.
#include <QRect>
#include <QString>
#include <cstdint>

struct CoordButton {
    int32_t id = -1;  // HID usage id; -1 when the file gives none
    int32_t va = -1;  // HID usage page (7 keyboard, 12 consumer, 1 generic desktop)
    QString name;
    // left, top, right, bottom in widget pixels; right and bottom exclusive.
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    uint32_t color = 0x00FFFFFF;
    QString label;
    uint32_t checked = 0;
    uint32_t hover = 0;
    uint32_t pressed = 0;

    bool Contains(int x, int y) const { return left <= x && x < right && top <= y && y < bottom; }
    QRect Rect() const { return QRect(left, top, right - left, bottom - top); }
};
