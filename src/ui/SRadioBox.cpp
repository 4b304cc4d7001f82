#include "ui/SRadioBox.h"

#include <QEnterEvent>
#include <QPainter>

#include "ui/ButtonState.h"
#include "ui/Events.h"
#include "ui/UiApp.h"

namespace ui {

SRadioBox::SRadioBox(QWidget* parent) : QRadioButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this, [this](bool checked) {
        EventArgs a;
        a.event = ev::kCommand;
        a.checked = checked;
        Fire(this, a);
    });
}

bool SRadioBox::SetAttribute(const QString& name, const QString& value)
{
    if (name == u"skin") {
        SetSkin(UiApp::FindSkin(value));
        return true;
    }
    return false;
}

int SRadioBox::StateIndex() const { return ButtonStateIndex(isEnabled(), isDown(), hover_, isChecked()); }

void SRadioBox::enterEvent(QEnterEvent* e)
{
    hover_ = true;
    update();
    QRadioButton::enterEvent(e);
}

void SRadioBox::leaveEvent(QEvent* e)
{
    hover_ = false;
    update();
    QRadioButton::leaveEvent(e);
}

void SRadioBox::paintEvent(QPaintEvent* e)
{
    if (!skin_) {
        QRadioButton::paintEvent(e);
        return;
    }
    QPainter p(this);
    const QSize box = skin_->FrameSize();
    const QRect boxRect(QPoint(0, (height() - box.height()) / 2), box);
    skin_->Draw(p, boxRect, StateIndex() % skin_->FrameCount());
    p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(rect().adjusted(box.width() + 6, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text());
}

} // namespace ui
