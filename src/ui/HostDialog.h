#pragma once
// A modal dialog built from a named layout; DoModal returns the value given to
// EndDialog (IDOK, IDCANCEL or any other).
#include <QDialog>

#include "ui/Events.h"
#include "ui/PostedMessage.h"
#include "ui/WidgetTree.h"

namespace ui {

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

class HostDialog : public QDialog, public EventHost {
    Q_OBJECT
public:
    explicit HostDialog(QString layoutRes, QWidget* parent = nullptr);

    bool Create();
    QWidget* Root() const { return root_; }
    const QString& LayoutName() const { return layout_; }

    // Builds (if needed) and runs the dialog modally with owner as parent.
    int DoModal(QWidget* owner = nullptr);
    void EndDialog(int value);
    // What the title-bar buttons of a dialog do.
    void Minimize() { showMinimized(); }
    void ToggleRestore() { isMaximized() ? showNormal() : showMaximized(); }
    int EndValue() const { return endValue_; }

    QWidget* FindChildByName(const QString& name, const QString& cls = {}) const
    {
        return ui::FindChildByName(this, name, cls);
    }
    QWidget* FindChildById(int id, const QString& cls = {}) const { return ui::FindChildById(this, id, cls); }
    template <class T> T* FindChildByName2(const QString& name) const { return ui::FindChildByName2<T>(this, name); }
    template <class T> T* FindChildById2(int id) const { return ui::FindChildById2<T>(this, id); }

    // Escape and the window's close button end the dialog with IDCANCEL.
    void reject() override { EndDialog(IDCANCEL); }

    // Queues a private message (e.g. a key event from a reader thread); any thread.
    void PostMessage(uint32_t msg, uintptr_t wparam = 0, intptr_t lparam = 0) { PostMessageTo(this, msg, wparam, lparam); }

protected:
    virtual void OnLayoutReady() {}
    // Posted messages arrive here on the UI thread.
    virtual void OnMessage(uint32_t, uintptr_t, intptr_t) {}
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QString layout_;
    QWidget* root_ = nullptr;
    int endValue_ = 0;
    QPoint dragOffset_;
    bool dragging_ = false;
};

} // namespace ui
