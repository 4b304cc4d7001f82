#pragma once
// A multi-frame skin: one picture holding N state frames side by side (or stacked).
#include <QMargins>
#include <QPixmap>
#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

class QPainter;

namespace ui {

class Skin {
public:
    Skin() = default;
    Skin(QString name, QPixmap pixmap, int states, bool vertical, QMargins margin = {});

    const QString& Name() const { return name_; }
    bool IsNull() const { return pixmap_.isNull(); }
    int FrameCount() const { return states_; }
    bool Vertical() const { return vertical_; }
    // Size of one frame in layout pixels (device pixel ratio already divided out).
    QSize FrameSize() const;
    // Source rectangle of a frame inside the picture, in picture pixels. A frame the
    // skin does not have falls back to its last frame.
    QRect FrameSource(int frame) const;
    // Draws one frame stretched into rect (nine-patch when the skin has margins).
    void Draw(QPainter& painter, const QRect& rect, int frame) const;

private:
    QString name_;
    QPixmap pixmap_;
    int states_ = 1;
    bool vertical_ = false;
    QMargins margin_;
};

using SkinPtr = std::shared_ptr<const Skin>;

}  // namespace ui
