#pragma once
// "sliderbar": a slider; a position change by the user fires "on_slider_pos".
// SetValue from code does not notify.
#include <QSlider>

#include "ui/AttributeSink.h"

namespace ui {

class SSliderBar : public QSlider, public AttributeSink {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "sliderbar")
public:
    explicit SSliderBar(QWidget* parent = nullptr);
    bool SetAttribute(const QString& name, const QString& value) override;

    int GetValue() const { return value(); }
    void SetValue(int pos);
    void SetRange(int min, int max) { setRange(min, max); }

private:
    int quiet_ = 0;
};

}  // namespace ui
