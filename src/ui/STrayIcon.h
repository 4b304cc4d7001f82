#pragma once
// "shellnotifyicon" (default implementation): a notification-area icon declared in
// a layout with "ico" (icon resources separated by ';'), "deficoidx" (which of
// them is shown; out of range means the first), "tip" (translated) and "menu"
// (menu resource). The widget itself stays hidden; left clicks and right
// clicks are reported through callbacks, and commands of the menu go to the host.
#include <QIcon>
#include <QList>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "ui/AttributeSink.h"
#include "ui/PopupMenu.h"
#include "ui/SWindow.h"

namespace ui {

class STrayIcon : public SWindow {
    Q_OBJECT
    Q_CLASSINFO("kbClass", "shellnotifyicon")
public:
    static constexpr int kMaxTip = 127;

    explicit STrayIcon(QWidget* parent = nullptr);
    ~STrayIcon() override;
    bool SetAttribute(const QString& name, const QString& value) override;
    void OnCreate() override;

    const QList<QIcon>& Icons() const { return icons_; }
    // The index of the icon shown at creation: "deficoidx" when it names one of
    // the icons, else 0.
    int DefaultIconIndex() const;
    // The tip as shown: translated, cut to the notification area's limit.
    QString Tip() const;
    const QString& MenuName() const { return menuName_; }
    QSystemTrayIcon* Tray() const { return tray_.get(); }
    void ShowIcon(int index);

    std::function<void()> onLeftClick;
    std::function<void(const QPoint& screen)> onRightClick;

    // What a right click does by default: the menu at pos, commands to the host.
    int OpenMenu(const QPoint& screenPos);

protected:
    void changeEvent(QEvent* e) override;

private:
    void Activated(QSystemTrayIcon::ActivationReason reason);

    QList<QIcon> icons_;
    int defaultIcon_ = 0;
    QString tipSource_;
    QString menuName_;
    std::unique_ptr<QSystemTrayIcon> tray_;
};

}  // namespace ui
