#pragma once
// What windows and dialogs built from a named layout share, over either Qt base: building
// the layout once, looking up its widgets, posted private messages, and moving a
// frameless host by dragging any place no widget takes.
#include <QMouseEvent>
#include <QWindow>

#include "ui/PostedMessage.h"
#include "ui/WidgetTree.h"

namespace ui {

// Loads the layout into host, sizes host to the layout root, copies window title and
// frameless flag. Returns the root or null. (Defined with HostWindow.)
QWidget* BuildHost(QWidget* host, const QString& layoutRes);

template <class Base>
class LayoutHost : public Base {
public:
    explicit LayoutHost(QString layoutRes, QWidget* parent = nullptr) : Base(parent), layout_(std::move(layoutRes)) {}

    // Builds the layout into this host. False when the layout is missing or broken.
    bool Create() {
        if (root_) return true;
        root_ = BuildHost(this, layout_);
        if (!root_) return false;
        OnLayoutReady();
        return true;
    }
    const QString& LayoutName() const { return layout_; }
    QWidget* Root() const { return root_; }

    QWidget* FindChildByName(const QString& name, const QString& cls = {}) const {
        return ui::FindChildByName(this, name, cls);
    }
    QWidget* FindChildById(int id, const QString& cls = {}) const { return ui::FindChildById(this, id, cls); }
    template <class T>
    T* FindChildByName2(const QString& name) const {
        return ui::FindChildByName2<T>(this, name);
    }
    template <class T>
    T* FindChildById2(int id) const {
        return ui::FindChildById2<T>(this, id);
    }

    // Queues a private message (e.g. a key event from a reader thread); any thread.
    void PostMessage(uint32_t msg, uintptr_t wparam = 0, intptr_t lparam = 0) {
        PostMessageTo(this, msg, wparam, lparam);
    }

protected:
    // After the layout is built (the place to subscribe and fill widgets).
    virtual void OnLayoutReady() {}
    // Posted messages arrive here on the UI thread.
    virtual void OnMessage(uint32_t, uintptr_t, intptr_t) {}

    bool event(QEvent* e) override {
        if (e->type() == PostedMessage::EventType()) {
            auto* m = static_cast<PostedMessage*>(e);
            OnMessage(m->msg, m->wparam, m->lparam);
            return true;
        }
        return Base::event(e);
    }

    void mousePressEvent(QMouseEvent* e) override {
        if (e->button() == Qt::LeftButton && this->windowFlags().testFlag(Qt::FramelessWindowHint)) {
            // The window system moves it when it can (snapping, Wayland); else we do.
            if (this->windowHandle() && this->windowHandle()->startSystemMove()) return;
            dragging_ = true;
            dragOffset_ = e->globalPosition().toPoint() - this->frameGeometry().topLeft();
        }
        Base::mousePressEvent(e);
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        if (dragging_) this->move(e->globalPosition().toPoint() - dragOffset_);
        Base::mouseMoveEvent(e);
    }

    void mouseReleaseEvent(QMouseEvent* e) override {
        dragging_ = false;
        Base::mouseReleaseEvent(e);
    }

private:
    QString layout_;
    QWidget* root_ = nullptr;
    QPoint dragOffset_;
    bool dragging_ = false;
};

}  // namespace ui
