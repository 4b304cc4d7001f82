#include "ui/PostedMessage.h"

#include <QCoreApplication>

namespace ui {

QEvent::Type PostedMessage::EventType() {
    static const QEvent::Type type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PostMessageTo(QObject* target, uint32_t msg, uintptr_t wparam, intptr_t lparam) {
    if (target) QCoreApplication::postEvent(target, new PostedMessage(msg, wparam, lparam));
}

}  // namespace ui
