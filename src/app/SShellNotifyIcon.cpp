#include "app/SShellNotifyIcon.h"

SShellNotifyIcon::SShellNotifyIcon(QWidget* parent) : ui::STrayIcon(parent) {}

void SShellNotifyIcon::OnCreate() {
    ui::STrayIcon::OnCreate();
    onLeftClick = [this] { ToggleWindow(window()); };
    // Shown even while no notification area exists: Qt docks the icon as soon
    // as one appears, and again after the area restarts.
    if (Tray()) Tray()->show();
}

void SShellNotifyIcon::ToggleWindow(QWidget* w) {
    if (!w) return;
    if (w->isVisible() && !w->isMinimized()) {
        w->hide();
        return;
    }
    if (w->isMinimized()) w->showNormal();
    w->show();
    w->raise();
    w->activateWindow();
}
