#include "widgets/SEditEx.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "ui/Events.h"

static_assert(SEditEx::EventKeyEnter == ui::ev::kKeyEnter);

bool SEditEx::event(QEvent* e) {
    // Left-button presses and releases stay away from the edit itself; they only
    // wake a disabled edit. Qt would drop them for a disabled widget before any
    // handler, so this has to happen here.
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton) {
            if (!isEnabled()) setEnabled(true);
            // The click still gives the keyboard to the edit, so it can be typed into.
            else if (e->type() == QEvent::MouseButtonPress && (focusPolicy() & Qt::ClickFocus))
                setFocus(Qt::MouseFocusReason);
            e->accept();
            return true;
        }
    }
    return ui::SEdit::event(e);
}

void SEditEx::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        ui::Fire(this, EventKeyEnter);
        return;
    }
    ui::SEdit::keyPressEvent(e);
}
