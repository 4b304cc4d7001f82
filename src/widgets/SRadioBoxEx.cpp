#include "widgets/SRadioBoxEx.h"

SRadioBoxEx::SRadioBoxEx(QWidget* parent) : ExToggleButton(parent) {}
