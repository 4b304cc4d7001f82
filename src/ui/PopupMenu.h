#pragma once
// Popup menus from "SMENU:" and "SMENUEX:" resources:
// <menu><item id="1" text="…" [icon="…"] [check="1"]/><sep/>…</menu>
// (extended menus may use the roots "menuRoot" or "menuItem"). Texts are translated
// in the context named after the resource's NAME.
#include <QMenu>
#include <QString>
#include <memory>

namespace ui {

class PopupMenu {
public:
    PopupMenu();
    ~PopupMenu();

    bool LoadMenu(const QString& resName);
    bool LoadXml(const QByteArray& xml, const QString& context);
    QMenu* Menu() const { return menu_.get(); }
    // Command id of each item in order (separators excluded).
    QList<int> ItemIds() const;
    QAction* ActionOf(int id) const;

    // Shows the menu at a screen position and returns the chosen id (0 for none).
    // Unless returnOnly is set, the choice is also delivered to the owner's event
    // host as a command with that id (so handle it in one place, not both).
    int TrackPopupMenu(const QPoint& screenPos, QWidget* owner, bool returnOnly = false);
    // Delivers the command of id to owner's host as TrackPopupMenu does.
    static void SendCommand(QWidget* owner, int id);

private:
    std::unique_ptr<QMenu> menu_;
};

}  // namespace ui
