#pragma once
namespace ui {
class UiApp;
// Registers the UI layer's own classes ("window", "text", "button", …).
void RegisterBuiltinWidgets(UiApp& app);
}  // namespace ui
