#pragma once
// State index of a check or radio button for multi-frame skins: 0 normal, 1 hover,
// 2 pressed, 3 disabled, plus 4 when checked. Disabled wins over pressed, pressed
// over hover.
namespace ui {
constexpr int ButtonStateIndex(bool enabled, bool pressed, bool hover, bool checked) {
    const int base = !enabled ? 3 : pressed ? 2 : hover ? 1 : 0;
    return base + (checked ? 4 : 0);
}
}  // namespace ui
