#include "platform/NamedLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>

namespace platform {

// One per (folder, name) and process: the in-process owner and depth make the
// lock re-entrant and keep threads of this process apart; the flock keeps
// processes apart.
struct NamedLock::Shared {
    std::mutex mutex;
    std::condition_variable cv;
    std::thread::id owner;
    int depth = 0;
    std::string file;
    int fd = -1;
    pid_t pid = 0;  // process that opened fd
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

}  // namespace

std::string NamedLock::InstallFolder(std::string folder) {
    std::lock_guard lock(FolderMutex());
    std::swap(Installed(), folder);
    return folder;
}

std::string NamedLock::InstalledFolder() {
    std::lock_guard lock(FolderMutex());
    return Installed();
}

std::string NamedLock::DefaultFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime) return runtime;
    std::string folder = "/tmp/kbconf-" + std::to_string(static_cast<unsigned>(getuid()));
    ::mkdir(folder.c_str(), 0700);
    return folder;
}

NamedLock::NamedLock(std::string name, std::string folder) : name_(std::move(name)) {
    if (folder.empty()) folder = InstalledFolder();
    if (folder.empty()) folder = DefaultFolder();
    std::string file = folder + "/" + FileNameFor(name_);
    std::lock_guard lock(RegistryMutex());
    auto& slot = Registry()[file];
    if (!slot) {
        slot = std::make_shared<Shared>();
        slot->file = file;
    }
    shared_ = slot;
}

NamedLock::~NamedLock() = default;

namespace {

// With s.mutex held.
void ForgetAfterFork(NamedLock::Shared& s) {
    const pid_t self = getpid();
    if (s.pid == self) return;
    // Forked: the inherited descriptor shares the parent's flock, and the
    // parent's owner thread does not exist here.
    if (s.fd >= 0) ::close(s.fd);
    s.fd = -1;
    s.depth = 0;
    s.owner = {};
    s.pid = self;
}

// With s.mutex held.
void OpenFile(NamedLock::Shared& s) {
    if (s.fd >= 0) return;
    s.fd = ::open(s.file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (s.fd >= 0) ::fchmod(s.fd, 0600);
}

}  // namespace

bool NamedLock::TryLock() {
    Shared& s = *shared_;
    std::lock_guard lock(s.mutex);
    ForgetAfterFork(s);
    const auto me = std::this_thread::get_id();
    if (s.depth > 0) {
        if (s.owner != me) return false;
        ++s.depth;
        return true;
    }
    OpenFile(s);
    if (s.fd < 0) return false;
    int rc;
    do {
        rc = ::flock(s.fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) return false;
    s.owner = me;
    s.depth = 1;
    return true;
}

bool NamedLock::Lock() {
    Shared& s = *shared_;
    std::unique_lock lock(s.mutex);
    ForgetAfterFork(s);
    const auto me = std::this_thread::get_id();
    if (s.depth > 0 && s.owner == me) {
        ++s.depth;
        return s.fd >= 0;
    }
    s.cv.wait(lock, [&] { return s.depth == 0; });
    s.owner = me;
    s.depth = 1;
    OpenFile(s);
    if (s.fd < 0) return false;
    int fd = s.fd;
    lock.unlock();  // other threads of this process wait on depth, not on the mutex
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    return rc == 0;
}

void NamedLock::Unlock() {
    Shared& s = *shared_;
    std::lock_guard lock(s.mutex);
    if (s.depth == 0 || s.owner != std::this_thread::get_id()) return;
    if (--s.depth > 0) return;
    if (s.fd >= 0) ::flock(s.fd, LOCK_UN);
    s.owner = {};
    s.cv.notify_one();
}

}  // namespace platform
