#pragma once
// "radio": a radio button that fires a command (with its new state) when clicked.
// With a "skin" it draws the skin's state frame as its box.
#include <QRadioButton>

#include "ui/SkinnedToggle.h"

namespace ui {

class SRadioBox : public SkinnedToggle<QRadioButton> {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "radio")
public:
    explicit SRadioBox(QWidget* parent = nullptr);
};

}  // namespace ui
