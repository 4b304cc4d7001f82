#pragma once
// A system-wide named lock: shared by every process of the same user (a flock'ed
// file in the user's runtime folder, mode 0600) and re-entrant for the thread
// that holds it. Works after fork(): a child opens its own lock file.

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
    // Takes the lock only when no other thread or process holds it; never
    // waits. True when taken (re-entrant for the holding thread): Unlock follows.
    bool TryLock();
    void Unlock();

    const std::string& Name() const { return name_; }

    // $XDG_RUNTIME_DIR, else /tmp/kbconf-<uid> (created 0700).
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
