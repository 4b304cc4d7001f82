#pragma once
// "check": a check button that fires a command (with its new state) when clicked.
// With a "skin" it draws the skin's state frame as its box.
#include <QCheckBox>

#include "ui/SkinnedToggle.h"

namespace ui {

class SCheckBox : public SkinnedToggle<QCheckBox> {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "check")
public:
    explicit SCheckBox(QWidget* parent = nullptr);
};

}  // namespace ui
