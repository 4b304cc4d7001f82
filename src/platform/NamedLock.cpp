#include "platform/NamedLock.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include "platform/LockFile.h"

namespace platform {

// One per (folder, name) and process: the in-process owner and depth make the
// lock re-entrant and keep threads of this process apart; the lock file keeps
// processes apart.
struct NamedLock::Shared {
    std::mutex mutex;
    std::condition_variable cv;
    std::thread::id owner;
    int depth = 0;
    std::string file;
    lockfile::Handle handle = lockfile::kNone;
    uint64_t process = 0;  // process that opened the handle
};

namespace {

std::string FileNameFor(const std::string& name) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : name) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '_' || c == '.';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out + ".lock";
}

std::mutex& RegistryMutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}

std::map<std::string, std::shared_ptr<NamedLock::Shared>>& Registry() {
    static auto* r = new std::map<std::string, std::shared_ptr<NamedLock::Shared>>;
    return *r;
}

std::mutex& FolderMutex() {
    static std::mutex* m = new std::mutex;
    return *m;
}

std::string& Installed() {
    static auto* folder = new std::string;
    return *folder;
}

// With s.mutex held: forget what a parent process left behind (its handle
// shares the parent's lock, and its owner thread does not exist here), and
// open this process's lock file when needed. False when it cannot be opened.
bool Prepare(NamedLock::Shared& s) {
    const uint64_t self = lockfile::ProcessId();
    if (s.process != self) {
        if (s.handle != lockfile::kNone) lockfile::Close(s.handle);
        s.handle = lockfile::kNone;
        s.depth = 0;
        s.owner = {};
        s.process = self;
    }
    if (s.handle == lockfile::kNone && !s.file.empty()) s.handle = lockfile::Open(s.file);
    return s.handle != lockfile::kNone;
}

}  // namespace

std::string NamedLock::DefaultFolder() { return lockfile::DefaultFolder(); }

std::string NamedLock::InstallFolder(std::string folder) {
    std::lock_guard lock(FolderMutex());
    std::swap(Installed(), folder);
    return folder;
}

std::string NamedLock::InstalledFolder() {
    std::lock_guard lock(FolderMutex());
    return Installed();
}

NamedLock::NamedLock(std::string name, std::string folder) : name_(std::move(name)) {
    if (folder.empty()) folder = InstalledFolder();
    if (folder.empty()) folder = DefaultFolder();
    // No usable folder: no file, so Lock reports failure (threads are still kept apart).
    std::string file = folder.empty() ? std::string() : folder + "/" + FileNameFor(name_);
    std::lock_guard lock(RegistryMutex());
    auto& slot = Registry()[folder.empty() ? "\n" + name_ : file];
    if (!slot) {
        slot = std::make_shared<Shared>();
        slot->file = file;
    }
    shared_ = slot;
}

NamedLock::~NamedLock() = default;

bool NamedLock::Lock() {
    Shared& s = *shared_;
    std::unique_lock lock(s.mutex);
    const bool usable = Prepare(s);
    const auto me = std::this_thread::get_id();
    if (s.depth > 0 && s.owner == me) {
        ++s.depth;
        return usable;
    }
    s.cv.wait(lock, [&] { return s.depth == 0; });
    s.owner = me;
    s.depth = 1;
    if (!usable) return false;
    const lockfile::Handle handle = s.handle;
    lock.unlock();  // other threads of this process wait on depth, not on the mutex
    return lockfile::Lock(handle, true) == lockfile::Result::kTaken;
}

NamedLock::Try NamedLock::TryLock() {
    Shared& s = *shared_;
    std::unique_lock lock(s.mutex);
    const bool usable = Prepare(s);
    const auto me = std::this_thread::get_id();
    if (s.depth > 0 && s.owner == me) {
        if (!usable) return Try::kFailed;
        ++s.depth;
        return Try::kTaken;
    }
    if (s.depth > 0) return Try::kBusy;
    if (!usable) return Try::kFailed;
    // Under the mutex: a non-waiting lock returns at once, and no other thread
    // of this process may take the file in between.
    switch (lockfile::Lock(s.handle, false)) {
    case lockfile::Result::kTaken:
        s.owner = me;
        s.depth = 1;
        return Try::kTaken;
    case lockfile::Result::kBusy:
        return Try::kBusy;
    case lockfile::Result::kFailed:
        break;
    }
    return Try::kFailed;
}

void NamedLock::Unlock() {
    Shared& s = *shared_;
    std::lock_guard lock(s.mutex);
    if (s.depth == 0 || s.owner != std::this_thread::get_id()) return;
    if (--s.depth > 0) return;
    if (s.handle != lockfile::kNone) lockfile::Unlock(s.handle);
    s.owner = {};
    s.cv.notify_one();
}

}  // namespace platform
