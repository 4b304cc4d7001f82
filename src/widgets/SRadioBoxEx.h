#pragma once
// "radioex": a "radio" whose box skin covers the whole button, with an icon ("iconSkin" at
// "iconPos") and a text shifted by "textX" and "textY".
#include "ui/SRadioBox.h"
#include "widgets/ExToggleButton.h"

class SRadioBoxEx : public ExToggleButton<ui::SRadioBox> {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "radioex")
public:
    explicit SRadioBoxEx(QWidget* parent = nullptr);
};
