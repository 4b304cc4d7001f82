#pragma once
// What the extended check and radio boxes add to their base classes: a box skin
// drawn over the whole button, an icon at an offset, and a shifted text area.
#include <QPoint>
#include <QRect>
#include <QString>

#include "ui/Skin.h"

class QPainter;
class QWidget;

class ExButtonLook {
public:
    // "iconskin", "iconpos", "textx", "texty" (names already in lower case).
    bool SetAttribute(const QString& name, const QString& value);

    // Frame of the box skin: 2 pressed, else 1 hover, else the last frame when
    // checked, else 0.
    static int BoxFrame(const ui::Skin* box, bool pressed, bool hover, bool checked);
    // The widget rectangle with its left edge moved by iconPos.x + icon frame width +
    // textX and its top edge by iconPos.y + textY.
    QRect TextRect(const QRect& widgetRect) const;
    QRect IconRect(const QRect& widgetRect) const;

    // Box skin, icon (frame stateIndex), text; no focus rectangle.
    void Paint(QPainter& p, QWidget* w, const ui::Skin* box, int boxFrame, int stateIndex, const QString& text) const;

    ui::SkinPtr iconSkin;
    QPoint iconPos{0, 0};
    int textX = 0;
    int textY = 0;
};
