#pragma once
// Widget identity (layout class name, numeric id) and lookup anywhere in a tree.
//
// Every class of the UI layer declares its layout class name with
//   Q_CLASSINFO("kbClass", "button")
// A widget "is" a class when that name appears anywhere along its class chain, so a
// "checkex" is also a "check".
#include <QString>
#include <QWidget>

namespace ui {

// The most derived layout class name, or an empty string for plain Qt widgets.
QString ClassName(const QObject* object);
bool IsClass(const QObject* object, const QString& className);

int WidgetId(const QWidget* widget);
void SetWidgetId(QWidget* widget, int id);

// Depth-first search of the descendants of root (root itself excluded), in child
// order. An empty className accepts any class; otherwise the found widget must be of
// that class, and a widget of the wrong class is reported as not found.
QWidget* FindChildByName(const QWidget* root, const QString& name, const QString& className = {});
QWidget* FindChildById(const QWidget* root, int id, const QString& className = {});

// Typed forms: found and of class T (which checks the layout class as well).
template <class T>
T* FindChildByName2(const QWidget* root, const QString& name) {
    return qobject_cast<T*>(FindChildByName(root, name));
}
template <class T>
T* FindChildById2(const QWidget* root, int id) {
    return qobject_cast<T*>(FindChildById(root, id));
}

// Row index a list adapter stored in a row or cell widget (-1 when none).
int ItemIndex(const QWidget* widget);
void SetItemIndex(QWidget* widget, int index);

}  // namespace ui
