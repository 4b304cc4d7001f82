#include "ui/WidgetTree.h"

#include <QMetaClassInfo>
#include <QMetaObject>
#include <QVariant>

namespace ui {

namespace {
constexpr char kId[] = "kbId";
constexpr char kItemIndex[] = "kbItemIndex";

// The classinfo declared by exactly this metaobject, not inherited.
const char* OwnClassInfo(const QMetaObject* mo) {
    for (int i = mo->classInfoCount() - 1; i >= mo->classInfoOffset(); --i) {
        const QMetaClassInfo ci = mo->classInfo(i);
        if (qstrcmp(ci.name(), "kbClass") == 0) return ci.value();
    }
    return nullptr;
}

template <class Pred>
QWidget* FindDepthFirst(const QWidget* root, const Pred& pred) {
    if (!root) return nullptr;
    for (QObject* child : root->children()) {
        if (!child->isWidgetType()) continue;
        auto* w = static_cast<QWidget*>(child);
        if (pred(w)) return w;
        if (QWidget* found = FindDepthFirst(w, pred)) return found;
    }
    return nullptr;
}

QWidget* CheckClass(QWidget* w, const QString& className) {
    return w && (className.isEmpty() || IsClass(w, className)) ? w : nullptr;
}
}  // namespace

QString ClassName(const QObject* object) {
    if (!object) return {};
    for (const QMetaObject* mo = object->metaObject(); mo; mo = mo->superClass())
        if (const char* c = OwnClassInfo(mo)) return QString::fromLatin1(c);
    return {};
}

bool IsClass(const QObject* object, const QString& className) {
    if (!object) return false;
    const QByteArray want = className.toLatin1();
    for (const QMetaObject* mo = object->metaObject(); mo; mo = mo->superClass())
        if (const char* c = OwnClassInfo(mo); c && want.compare(c, Qt::CaseInsensitive) == 0) return true;
    return false;
}

int WidgetId(const QWidget* widget) { return widget ? widget->property(kId).toInt() : 0; }
void SetWidgetId(QWidget* widget, int id) { widget->setProperty(kId, id); }

QWidget* FindChildByName(const QWidget* root, const QString& name, const QString& className) {
    if (name.isEmpty()) return nullptr;
    return CheckClass(FindDepthFirst(root, [&](QWidget* w) { return w->objectName() == name; }), className);
}

QWidget* FindChildById(const QWidget* root, int id, const QString& className) {
    if (id == 0) return nullptr;
    return CheckClass(FindDepthFirst(root, [&](QWidget* w) { return WidgetId(w) == id; }), className);
}

int ItemIndex(const QWidget* widget) {
    const QVariant v = widget ? widget->property(kItemIndex) : QVariant();
    return v.isValid() ? v.toInt() : -1;
}
void SetItemIndex(QWidget* widget, int index) { widget->setProperty(kItemIndex, index); }

}  // namespace ui
