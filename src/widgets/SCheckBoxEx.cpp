#include "widgets/SCheckBoxEx.h"

#include <QPainter>

bool SCheckBoxEx::SetAttribute(const QString& name, const QString& value)
{
    return look_.SetAttribute(name, value) || ui::SCheckBox::SetAttribute(name, value);
}

int SCheckBoxEx::BoxFrame() const { return ExButtonLook::BoxFrame(skin_.get(), isDown(), IsHover(), isChecked()); }

QSize SCheckBoxEx::sizeHint() const { return skin_ ? skin_->FrameSize() : ui::SCheckBox::sizeHint(); }

void SCheckBoxEx::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    look_.Paint(p, this, skin_.get(), BoxFrame(), IconFrame(), text());
}
