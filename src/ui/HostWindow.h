#pragma once
// A top-level window built from a named layout. The widgets below it deliver their
// events here (handlers by name or id, then OnEvent / OnCommand).
#include <QWidget>

#include "ui/Events.h"
#include "ui/PostedMessage.h"
#include "ui/WidgetTree.h"

namespace ui {

class UiApp;

class HostWindow : public QWidget, public EventHost {
    Q_OBJECT
public:
    explicit HostWindow(QString layoutRes, QWidget* parent = nullptr);

    // Builds the layout into this window. False when the layout is missing or broken.
    bool Create();
    const QString& LayoutName() const { return layout_; }
    QWidget* Root() const { return root_; }

    QWidget* FindChildByName(const QString& name, const QString& cls = {}) const
    {
        return ui::FindChildByName(this, name, cls);
    }
    QWidget* FindChildById(int id, const QString& cls = {}) const { return ui::FindChildById(this, id, cls); }
    template <class T> T* FindChildByName2(const QString& name) const { return ui::FindChildByName2<T>(this, name); }
    template <class T> T* FindChildById2(int id) const { return ui::FindChildById2<T>(this, id); }

    void CenterOnScreen();

    // Queues a private message (e.g. a key event from a reader thread); any thread.
    void PostMessage(uint32_t msg, uintptr_t wparam = 0, intptr_t lparam = 0) { PostMessageTo(this, msg, wparam, lparam); }

protected:
    // Posted messages arrive here on the UI thread.
    virtual void OnMessage(uint32_t, uintptr_t, intptr_t) {}
    bool event(QEvent* e) override;
    // After the layout is built (the place to subscribe and fill widgets).
    virtual void OnLayoutReady() {}
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QString layout_;
    QWidget* root_ = nullptr;
    QPoint dragOffset_;
    bool dragging_ = false;
    friend class HostDialog;
};

// Shared by windows and dialogs: loads the layout into host, sizes host to the layout
// root, copies window title and frameless flag. Returns the root or null.
QWidget* BuildHost(QWidget* host, const QString& layoutRes);

} // namespace ui
