#pragma once

#include "KeyCap.h"

#include <QImage>

class QPainter;

// Draws the three pictures of the keyboard widget from the coordinate file:
// the plate with every key at rest (transparent rings let each key's colour
// glow through), and the hover and checked looks of every key on a clear
// sheet, from which the widget cuts out the key under the mouse or marked.
class KeyboardRenderer {
public:
    enum class Look { Rest, Hover, Checked };

    explicit KeyboardRenderer(const KeyboardSheet& sheet) : sheet_(sheet) {}

    QImage Background(int scale) const;
    QImage Keys(Look look, int scale) const;

private:
    void DrawKey(QPainter& p, const KeyCap& key, Look look) const;
    void DrawLegend(QPainter& p, const KeyCap& key, const QRectF& face, Look look) const;
    QImage Blank(int scale) const;

    const KeyboardSheet& sheet_;
};

// Draws the small pictures printed on media and arrow keys into `box`.
void DrawKeySymbol(QPainter& p, const QString& symbol, const QRectF& box);
