#include "ui/SCheckBox.h"

#include <QEnterEvent>
#include <QPainter>

#include "ui/ButtonState.h"
#include "ui/Events.h"
#include "ui/UiApp.h"

namespace ui {

SCheckBox::SCheckBox(QWidget* parent) : QCheckBox(parent)
{
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::clicked, this, [this](bool checked) {
        EventArgs a;
        a.event = ev::kCommand;
        a.checked = checked;
        Fire(this, a);
    });
}

bool SCheckBox::SetAttribute(const QString& name, const QString& value)
{
    if (name == u"skin") {
        SetSkin(UiApp::FindSkin(value));
        return true;
    }
    return false;
}

int SCheckBox::StateIndex() const { return ButtonStateIndex(isEnabled(), isDown(), hover_, isChecked()); }

void SCheckBox::enterEvent(QEnterEvent* e)
{
    hover_ = true;
    update();
    QCheckBox::enterEvent(e);
}

void SCheckBox::leaveEvent(QEvent* e)
{
    hover_ = false;
    update();
    QCheckBox::leaveEvent(e);
}

void SCheckBox::paintEvent(QPaintEvent* e)
{
    if (!skin_) {
        QCheckBox::paintEvent(e);
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
