#pragma once
// One running kbconf per user. The first process holds a named lock for its
// whole life and listens on a local socket beside it; a later start finds the
// lock taken, asks the first one over the socket to bring its window forward
// and ends. A crashed first process releases the lock with its death, and its
// stale socket is replaced by the next first process.
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
namespace platform {
class NamedLock;
}

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // folder empty: the named-lock folder of the platform.
    explicit SingleInstance(const QString& name, const QString& folder = {});
    ~SingleInstance() override;

    // True when this process is the first: it holds the lock and listens.
    bool IsFirst() const { return first_; }
    // For a later start: asks the first process to show its window. True when
    // it answered.
    bool ActivateFirst(int timeoutMs = 3000) const;

    QString SocketPath() const { return socketPath_; }

    // Runs on the first process's UI thread for every later start.
    std::function<void()> onActivate;

private:
    void Serve();

    std::unique_ptr<platform::NamedLock> lock_;
    std::unique_ptr<QLocalServer> server_;
    QString socketPath_;
    bool first_ = false;
    bool held_ = false;
};

// Brings every top-level window that carries the property `name` to the
// front: restored when minimised, shown when hidden, raised and activated.
int ActivateWindowsWithProperty(const QString& name);
