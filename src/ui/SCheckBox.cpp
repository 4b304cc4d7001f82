#include "ui/SCheckBox.h"

namespace ui {

SCheckBox::SCheckBox(QWidget* parent) : SkinnedToggle(parent) {}

}  // namespace ui
