#pragma once
// Pixel checks for the screenshot tests: a saved PNG proves nothing until the
// pixels that show the behaviour are looked at (a marked key against the same
// key unmarked, a checked box against the unchecked one).
#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <cstdlib>

namespace probe {

// The widget as drawn at 1x on an opaque background (device-independent pixels).
inline QImage Grab(QWidget* w, QColor background = QColor(0x10, 0x12, 0x16)) {
    QImage img(w->size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(background);
    w->render(&img);
    return img;
}

// The rectangle of `child` in the coordinates of its ancestor `root`.
inline QRect RectIn(QWidget* root, QWidget* child) { return QRect(child->mapTo(root, QPoint(0, 0)), child->size()); }

// Pixels of `r` (clipped to both images) whose colour differs between a and b
// by more than a trace of anti-aliasing.
inline int Differing(const QImage& a, const QImage& b, const QRect& r) {
    const QRect area = r & a.rect() & b.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            const int d = std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                          std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
            n += d > 24;
        }
    return n;
}

// Pixels of `r` that differ from the colour at r's top-left corner: text or a
// picture drawn there, rather than an empty area.
inline int Ink(const QImage& img, const QRect& r) {
    const QRect area = r & img.rect();
    if (area.isEmpty()) return 0;
    QImage flat(area.size(), img.format());
    flat.fill(img.pixel(area.topLeft()));
    return Differing(img.copy(area), flat, flat.rect());
}

}  // namespace probe
