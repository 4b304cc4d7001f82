#include "ui/PopupMenu.h"

#include <pugixml.hpp>

#include "ui/Events.h"
#include "ui/ResourceProvider.h"
#include "ui/TranslatorManager.h"
#include "ui/UiApp.h"

namespace ui {

namespace {
void Build(QMenu* menu, const pugi::xml_node& node, const QString& context) {
    for (pugi::xml_node child : node.children()) {
        const std::string_view n = child.name();
        if (n == "sep") {
            menu->addSeparator();
        } else if (n == "item" && child.first_child() && child.child("item")) {
            // An item holding items opens a submenu.
            QMenu* sub =
                menu->addMenu(TranslatorManager::Tr(context, QString::fromUtf8(child.attribute("text").value())));
            Build(sub, child, context);
        } else if (n == "item") {
            const QString source = QString::fromUtf8(child.attribute("text").value());
            QAction* a = menu->addAction(TranslatorManager::Tr(context, source));
            a->setData(child.attribute("id").as_int());
            a->setProperty("kbTrSource", source);
            if (const char* icon = child.attribute("icon").value(); *icon)
                a->setIcon(QIcon(UiApp::FindImage(QString::fromUtf8(icon))));
            if (child.attribute("check").as_int() != 0) {
                a->setCheckable(true);
                a->setChecked(true);
            }
            if (child.attribute("disable").as_int() != 0) a->setEnabled(false);
        }
    }
}
}  // namespace

PopupMenu::PopupMenu() = default;
PopupMenu::~PopupMenu() = default;

bool PopupMenu::LoadMenu(const QString& resName) {
    UiApp* app = UiApp::Current();
    if (!app) return false;
    QString type, name;
    ResourceProvider::Split(resName, &type, &name);
    return LoadXml(app->Provider().Read(resName), name);
}

bool PopupMenu::LoadXml(const QByteArray& xml, const QString& context) {
    pugi::xml_document doc;
    if (xml.isEmpty() || !doc.load_buffer(xml.constData(), size_t(xml.size()))) return false;
    pugi::xml_node root = doc.document_element();
    const std::string_view r = root.name();
    if (r != "menu" && r != "menuRoot" && r != "menuItem") return false;
    menu_ = std::make_unique<QMenu>();
    menu_->setObjectName(context);
    Build(menu_.get(), root, context);
    return true;
}

QList<int> PopupMenu::ItemIds() const {
    QList<int> ids;
    if (menu_)
        for (QAction* a : menu_->actions())
            if (!a->isSeparator() && !a->menu()) ids << a->data().toInt();
    return ids;
}

QAction* PopupMenu::ActionOf(int id) const {
    if (menu_)
        for (QAction* a : menu_->findChildren<QAction*>())
            if (!a->isSeparator() && a->data().toInt() == id) return a;
    if (menu_)
        for (QAction* a : menu_->actions())
            if (!a->isSeparator() && a->data().toInt() == id) return a;
    return nullptr;
}

void PopupMenu::SendCommand(QWidget* owner, int id) {
    for (QWidget* w = owner; w; w = w->parentWidget())
        if (auto* host = dynamic_cast<EventHost*>(w)) {
            EventArgs a;
            a.event = ev::kCommand;
            a.id = id;
            host->Dispatch(a);
            return;
        }
}

int PopupMenu::TrackPopupMenu(const QPoint& screenPos, QWidget* owner, bool returnOnly) {
    if (!menu_) return 0;
    QAction* chosen = menu_->exec(screenPos);
    const int id = chosen ? chosen->data().toInt() : 0;
    if (id != 0 && owner && !returnOnly) SendCommand(owner, id);
    return id;
}

}  // namespace ui
