#include "ui/SSliderBar.h"

#include "ui/Events.h"

namespace ui {

SSliderBar::SSliderBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setCursor(Qt::PointingHandCursor);
    setPageStep(1);
    connect(this, &QSlider::valueChanged, this, [this](int pos) {
        if (quiet_) return;
        EventArgs a;
        a.event = ev::kSliderPos;
        a.pos = pos;
        Fire(this, a);
    });
}

bool SSliderBar::SetAttribute(const QString& name, const QString& value) {
    if (name == u"min") {
        ++quiet_;
        setMinimum(ParseInt(value));
        --quiet_;
        return true;
    }
    if (name == u"max") {
        ++quiet_;
        setMaximum(ParseInt(value));
        --quiet_;
        return true;
    }
    if (name == u"value") {
        SetValue(ParseInt(value));
        return true;
    }
    if (name == u"vertical") {
        setOrientation(ParseInt(value) ? Qt::Vertical : Qt::Horizontal);
        return true;
    }
    return false;
}

void SSliderBar::SetValue(int pos) {
    ++quiet_;
    setValue(pos);
    --quiet_;
}

}  // namespace ui
