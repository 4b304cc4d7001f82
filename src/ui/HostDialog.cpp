#include "ui/HostDialog.h"

#include <QMouseEvent>
#include <QWindow>

#include "ui/HostWindow.h"

namespace ui {

HostDialog::HostDialog(QString layoutRes, QWidget* parent) : QDialog(parent), layout_(std::move(layoutRes)) {}

bool HostDialog::Create()
{
    if (root_) return true;
    root_ = BuildHost(this, layout_);
    if (!root_) return false;
    OnLayoutReady();
    return true;
}

int HostDialog::DoModal(QWidget* owner)
{
    if (owner && owner != parentWidget()) setParent(owner, windowFlags() | Qt::Dialog);
    if (!Create()) return -1;
    endValue_ = 0;
    exec();
    return endValue_;
}

void HostDialog::EndDialog(int value)
{
    endValue_ = value;
    done(value);
}

void HostDialog::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && windowFlags().testFlag(Qt::FramelessWindowHint)) {
        // The window system moves it when it can (snapping, Wayland); else we do.
        if (windowHandle() && windowHandle()->startSystemMove()) return;
        dragging_ = true;
        dragOffset_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
    }
    QDialog::mousePressEvent(e);
}

void HostDialog::mouseMoveEvent(QMouseEvent* e)
{
    if (dragging_) move(e->globalPosition().toPoint() - dragOffset_);
    QDialog::mouseMoveEvent(e);
}

void HostDialog::mouseReleaseEvent(QMouseEvent* e)
{
    dragging_ = false;
    QDialog::mouseReleaseEvent(e);
}

bool HostDialog::event(QEvent* e)
{
    if (e->type() == PostedMessage::EventType()) {
        auto* m = static_cast<PostedMessage*>(e);
        OnMessage(m->msg, m->wparam, m->lparam);
        return true;
    }
    return QDialog::event(e);
}

} // namespace ui
