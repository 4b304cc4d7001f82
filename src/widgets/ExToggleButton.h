#pragma once
// What "checkex" and "radioex" share over their base boxes: the box skin covers the whole
// button, an icon ("iconSkin" at "iconPos") is drawn in the base state, and the text is
// shifted by "textX" and "textY" (see ExButtonLook).
#include <QPainter>

#include "widgets/ExButtonLook.h"

template <class Box>
class ExToggleButton : public Box {
public:
    explicit ExToggleButton(QWidget* parent = nullptr) : Box(parent) {}

    bool SetAttribute(const QString& name, const QString& value) override {
        return look_.SetAttribute(name, value) || Box::SetAttribute(name, value);
    }

    // The box skin frame drawn in the current state.
    int BoxFrame() const {
        return ExButtonLook::BoxFrame(this->skin_.get(), this->isDown(), this->IsHover(), this->isChecked());
    }
    // The icon frame drawn in the current state (the base state index).
    int IconFrame() const { return this->StateIndex(); }
    QRect TextRect() const { return look_.TextRect(this->rect()); }
    const ExButtonLook& Look() const { return look_; }
    QSize sizeHint() const override { return this->skin_ ? this->skin_->FrameSize() : Box::sizeHint(); }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        look_.Paint(p, this, this->skin_.get(), BoxFrame(), IconFrame(), this->text());
    }

private:
    ExButtonLook look_;
};
