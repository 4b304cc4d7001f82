#pragma once
namespace ui {
class UiApp;
}
// Registers the application's own widget classes with the UI layer, in the order
// the shell uses: "cbimg", "page2", "tabctrl2", "anmimg", "editex", "radioex",
// "checkex".
void RegisterCustomWidgets(ui::UiApp& app);
