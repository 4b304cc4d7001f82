#pragma once
// "checkex": a "check" whose box skin covers the whole button, with an icon ("iconSkin" at
// "iconPos") and a text shifted by "textX" and "textY".
#include "ui/SCheckBox.h"
#include "widgets/ExToggleButton.h"

class SCheckBoxEx : public ExToggleButton<ui::SCheckBox> {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "checkex")
public:
    explicit SCheckBoxEx(QWidget* parent = nullptr);
};
