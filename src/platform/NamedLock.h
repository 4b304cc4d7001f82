#pragma once
// A system-wide named lock: shared by every process of the same user (a lock
// file in the user's private runtime folder, mode 0600) and re-entrant for the
// thread that holds it. Works after fork(): a child opens its own lock file.

#include <memory>
#include <string>

namespace platform {

class NamedLock {
public:
    // `folder` empty: the installed folder, else DefaultFolder().
    explicit NamedLock(std::string name, std::string folder = {});
    ~NamedLock();
    NamedLock(const NamedLock&) = delete;
    NamedLock& operator=(const NamedLock&) = delete;

    // Blocks without limit. Returns false only if the lock file cannot be used;
    // the in-process part is still taken then, so Unlock must follow either way.
    bool Lock();

    // Takes the lock only if nobody else holds it, without waiting.
    enum class Try {
        kTaken,  // held now (again, for the holding thread): Unlock must follow
        kBusy,   // another thread or process holds it; nothing is held
        kFailed  // the lock file cannot be used; nothing is held
    };
    Try TryLock();

    void Unlock();

    const std::string& Name() const { return name_; }

    // The user's private runtime folder ($XDG_RUNTIME_DIR, else
    // /tmp/kbconf-<uid>), used only when it is the user's own, mode 0700 and
    // not a link; otherwise (said once on stderr) a private folder of this
    // process, which keeps threads apart but not processes.
    static std::string DefaultFolder();
    // The folder a platform installed for locks made without one (empty: none,
    // DefaultFolder() is used). Install returns the previous one.
    static std::string InstallFolder(std::string folder);
    static std::string InstalledFolder();

    struct Shared;  // per process and lock file; defined in the .cpp

private:
    std::string name_;
    std::shared_ptr<Shared> shared_;
};

// Holds a NamedLock for a scope.
class NamedLockGuard {
public:
    explicit NamedLockGuard(NamedLock& lock) : lock_(lock) { lock_.Lock(); }
    ~NamedLockGuard() { lock_.Unlock(); }
    NamedLockGuard(const NamedLockGuard&) = delete;
    NamedLockGuard& operator=(const NamedLockGuard&) = delete;

private:
    NamedLock& lock_;
};

}  // namespace platform
