#include "ui/SRadioBox.h"

namespace ui {

SRadioBox::SRadioBox(QWidget* parent) : SkinnedToggle(parent) {}

}  // namespace ui
