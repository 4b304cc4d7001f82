#include "widgets/SCheckBoxEx.h"

SCheckBoxEx::SCheckBoxEx(QWidget* parent) : ExToggleButton(parent) {}
