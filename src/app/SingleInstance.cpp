#include "app/SingleInstance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#include "platform/NamedLock.h"

namespace {
constexpr char kActivate[] = "activate\n";
constexpr char kAnswer[] = "ok\n";
}  // namespace

SingleInstance::SingleInstance(const QString& name, const QString& folder) {
    const std::string dir = folder.isEmpty() ? platform::NamedLock::DefaultFolder() : folder.toStdString();
    lock_ = std::make_unique<platform::NamedLock>(name.toStdString(), dir);
    socketPath_ = QString::fromStdString(dir) + QLatin1Char('/') + name + QStringLiteral(".sock");
    // A lock that cannot be used at all must not keep the program from running.
    const auto taken = lock_->TryLock();
    held_ = taken == platform::NamedLock::Try::kTaken;
    first_ = taken != platform::NamedLock::Try::kBusy;
    if (!first_) return;
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    // Only a process that died while holding the lock can have left this.
    QLocalServer::removeServer(socketPath_);
    if (server_->listen(socketPath_)) connect(server_.get(), &QLocalServer::newConnection, this, [this] { Serve(); });
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
    if (held_) lock_->Unlock();
}

void SingleInstance::Serve() {
    while (QLocalSocket* s = server_->nextPendingConnection()) {
        connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
        connect(s, &QLocalSocket::readyRead, this, [this, s] {
            if (!s->canReadLine()) {
                if (s->bytesAvailable() > 64) s->abort();
                return;
            }
            const QByteArray line = s->readLine(64);
            if (line == kActivate) {
                if (onActivate) onActivate();
                s->write(kAnswer);
                s->flush();
            }
            s->disconnectFromServer();
        });
    }
}

bool SingleInstance::ActivateFirst(int timeoutMs) const {
    // The first process may still be on its way to listening.
    QDeadlineTimer deadline(timeoutMs);
    while (true) {
        QLocalSocket s;
        s.connectToServer(socketPath_);
        if (s.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime())))) {
            s.write(kActivate);
            if (!s.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime())))) return false;
            while (!s.canReadLine()) {
                if (deadline.hasExpired() || !s.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
                    return false;
            }
            return s.readLine(64) == kAnswer;
        }
        if (deadline.hasExpired()) return false;
        QThread::msleep(50);
    }
}

int ActivateWindowsWithProperty(const QString& name) {
    const QByteArray key = name.toUtf8();
    int found = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->property(key.constData()).isValid()) continue;
        ++found;
        if (w->isMinimized()) w->showNormal();
        if (!w->isVisible()) w->show();
        w->raise();
        w->activateWindow();
    }
    return found;
}
