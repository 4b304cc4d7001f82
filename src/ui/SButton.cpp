#include "ui/SButton.h"

#include <QEnterEvent>
#include <QPainter>

#include "ui/Events.h"
#include "ui/UiApp.h"

namespace ui {

SButton::SButton(QWidget* parent) : QPushButton(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QPushButton::clicked, this, [this] { Fire(this, ev::kCommand); });
}

bool SButton::SetAttribute(const QString& name, const QString& value) {
    if (name == u"skin") {
        SetSkin(UiApp::FindSkin(value));
        return true;
    }
    if (name == u"icon") {
        iconSkin_ = UiApp::FindSkin(value);
        if (iconSkin_) {
            setIcon(QIcon(UiApp::FindImage(value)));
            setIconSize(iconSkin_->FrameSize());
        }
        return true;
    }
    return false;
}

int SButton::SkinFrame() const {
    if (!isEnabled()) return 3;
    if (isDown()) return 2;
    if (hover_) return 1;
    return 0;
}

void SButton::enterEvent(QEnterEvent* e) {
    hover_ = true;
    update();
    QPushButton::enterEvent(e);
}

void SButton::leaveEvent(QEvent* e) {
    hover_ = false;
    update();
    QPushButton::leaveEvent(e);
}

void SButton::paintEvent(QPaintEvent* e) {
    if (!skin_) {
        QPushButton::paintEvent(e);
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    skin_->Draw(p, rect(), SkinFrame());
    QRect textRect = rect();
    if (iconSkin_ && text().isEmpty()) {
        const QSize s = iconSkin_->FrameSize();
        iconSkin_->Draw(p, QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s), 0);
    } else if (iconSkin_) {
        const QSize s = iconSkin_->FrameSize();
        iconSkin_->Draw(p, QRect(QPoint(8, (height() - s.height()) / 2), s), 0);
        textRect.setLeft(8 + s.width() + 4);
    }
    if (!text().isEmpty()) {
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
        p.drawText(textRect, Qt::AlignCenter, text());
    }
}

SImageButton::SImageButton(QWidget* parent) : SButton(parent) { setFlat(true); }

QSize SImageButton::sizeHint() const { return skin_ ? skin_->FrameSize() : SButton::sizeHint(); }

}  // namespace ui
