#pragma once
// A private message posted to a window from any thread and handled later on the UI
// thread (Qt's event queue is thread-safe; the window must outlive the post or the
// event is dropped with it).
#include <QEvent>
#include <cstdint>

class QObject;

namespace ui {

class PostedMessage : public QEvent {
public:
    static QEvent::Type EventType();

    PostedMessage(uint32_t msg, uintptr_t wparam, intptr_t lparam)
        : QEvent(EventType()), msg(msg), wparam(wparam), lparam(lparam) {}

    const uint32_t msg;
    const uintptr_t wparam;
    const intptr_t lparam;
};

// Queues the message for target; safe from any thread.
void PostMessageTo(QObject* target, uint32_t msg, uintptr_t wparam = 0, intptr_t lparam = 0);

}  // namespace ui
