#include "widgets/SRadioBoxEx.h"

#include <QPainter>

bool SRadioBoxEx::SetAttribute(const QString& name, const QString& value)
{
    return look_.SetAttribute(name, value) || ui::SRadioBox::SetAttribute(name, value);
}

int SRadioBoxEx::BoxFrame() const { return ExButtonLook::BoxFrame(skin_.get(), isDown(), IsHover(), isChecked()); }

QSize SRadioBoxEx::sizeHint() const { return skin_ ? skin_->FrameSize() : ui::SRadioBox::sizeHint(); }

void SRadioBoxEx::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    look_.Paint(p, this, skin_.get(), BoxFrame(), IconFrame(), text());
}
