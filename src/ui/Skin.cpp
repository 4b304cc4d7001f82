#include "ui/Skin.h"

#include <QPainter>
#include <algorithm>

namespace ui {

Skin::Skin(QString name, QPixmap pixmap, int states, bool vertical, QMargins margin)
    : name_(std::move(name)),
      pixmap_(std::move(pixmap)),
      states_(std::max(1, states)),
      vertical_(vertical),
      margin_(margin) {}

QRect Skin::FrameSource(int frame) const {
    if (pixmap_.isNull()) return {};
    frame = std::clamp(frame, 0, states_ - 1);
    const int w = vertical_ ? pixmap_.width() : pixmap_.width() / states_;
    const int h = vertical_ ? pixmap_.height() / states_ : pixmap_.height();
    return vertical_ ? QRect(0, frame * h, w, h) : QRect(frame * w, 0, w, h);
}

QSize Skin::FrameSize() const {
    const QRect src = FrameSource(0);
    const qreal dpr = pixmap_.devicePixelRatio();
    return QSize(qRound(src.width() / dpr), qRound(src.height() / dpr));
}

void Skin::Draw(QPainter& p, const QRect& rect, int frame) const {
    if (pixmap_.isNull() || rect.isEmpty()) return;
    const QRect src = FrameSource(frame);
    if (margin_.isNull()) {
        p.drawPixmap(rect, pixmap_, src);
        return;
    }
    // Nine-patch: corners at their own size, edges and centre stretched.
    const qreal dpr = pixmap_.devicePixelRatio();
    const int l = margin_.left(), t = margin_.top(), r = margin_.right(), b = margin_.bottom();
    const int sl = qRound(l * dpr), st = qRound(t * dpr), sr = qRound(r * dpr), sb = qRound(b * dpr);
    const int xs[4] = {rect.left(), rect.left() + l, rect.right() + 1 - r, rect.right() + 1};
    const int ys[4] = {rect.top(), rect.top() + t, rect.bottom() + 1 - b, rect.bottom() + 1};
    const int sxs[4] = {src.left(), src.left() + sl, src.right() + 1 - sr, src.right() + 1};
    const int sys[4] = {src.top(), src.top() + st, src.bottom() + 1 - sb, src.bottom() + 1};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const QRect d(QPoint(xs[j], ys[i]), QPoint(xs[j + 1] - 1, ys[i + 1] - 1));
            const QRect s(QPoint(sxs[j], sys[i]), QPoint(sxs[j + 1] - 1, sys[i + 1] - 1));
            if (d.width() > 0 && d.height() > 0 && s.width() > 0 && s.height() > 0) p.drawPixmap(d, pixmap_, s);
        }
}

}  // namespace ui
