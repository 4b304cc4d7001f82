#pragma once
// The application's notification-area icon, declared in the main window's
// layout as "shellnotifyicon": a left click hides a shown window and brings a
// hidden one back to the front, a right click opens the tray menu whose
// commands go to the window.
#include "ui/STrayIcon.h"

class SShellNotifyIcon : public ui::STrayIcon {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "shellnotifyicon")
public:
    explicit SShellNotifyIcon(QWidget* parent = nullptr);

    void OnCreate() override;

    // What a left click does to the window that holds the icon.
    static void ToggleWindow(QWidget* window);
};
