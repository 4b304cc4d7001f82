// The named locks' system side on Linux: flock on files in a private folder.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/LockFile.h"
#include "platform/linux/LockFolder.h"

namespace platform {

namespace linuxos {

bool PrivateFolder(const std::string& folder, uid_t uid, std::string* why) {
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0) {
        if (why) *why = "cannot be read";
        return false;
    }
    std::string reason;
    if (S_ISLNK(st.st_mode))
        reason = "is a link";
    else if (!S_ISDIR(st.st_mode))
        reason = "is not a folder";
    else if (st.st_uid != uid)
        reason = "belongs to user " + std::to_string(st.st_uid);
    else if ((st.st_mode & 0777) != 0700) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%03o", static_cast<unsigned>(st.st_mode & 0777));
        reason = std::string("has mode ") + mode;
    }
    if (why) *why = reason;
    return reason.empty();
}

std::string ChooseLockFolder(const std::string& runtimeDir, const std::string& tmpRoot, uid_t uid,
                             std::string* warning) {
    std::string why;
    std::string refused;
    if (!runtimeDir.empty()) {
        if (PrivateFolder(runtimeDir, uid, &why)) return runtimeDir;
        refused += runtimeDir + " " + why;
    }
    const std::string shared = tmpRoot + "/kbconf-" + std::to_string(static_cast<unsigned>(uid));
    ::mkdir(shared.c_str(), 0700);  // an existing one is checked like any other
    if (PrivateFolder(shared, uid, &why)) return shared;
    if (!refused.empty()) refused += "; ";
    refused += shared + " " + why;

    std::string own = shared + "-XXXXXX";
    const bool made = ::mkdtemp(own.data()) != nullptr;
    if (warning) {
        *warning = "named locks: not using " + refused + "; " +
                   (made ? "using " + own + " (other instances are not kept out)" : "no lock folder available");
    }
    return made ? own : std::string();
}

}  // namespace linuxos

namespace lockfile {

Handle Open(const std::string& path) {
    // No link is followed, even in our own folder.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return kNone;
    ::fchmod(fd, 0600);
    return fd;
}

void Close(Handle handle) {
    if (handle != kNone) ::close(static_cast<int>(handle));
}

Result Lock(Handle handle, bool wait) {
    if (handle == kNone) return Result::kFailed;
    int rc;
    do {
        rc = ::flock(static_cast<int>(handle), LOCK_EX | (wait ? 0 : LOCK_NB));
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) return Result::kTaken;
    return errno == EWOULDBLOCK ? Result::kBusy : Result::kFailed;
}

void Unlock(Handle handle) {
    if (handle != kNone) ::flock(static_cast<int>(handle), LOCK_UN);
}

uint64_t ProcessId() { return static_cast<uint64_t>(::getpid()); }

std::string DefaultFolder() {
    // Chosen once, so a fallback folder is made (and the warning given) once;
    // never destroyed, as threads may still lock while the process ends.
    static std::mutex* m = new std::mutex;
    static std::string* folder = nullptr;
    std::lock_guard lock(*m);
    if (!folder) {
        const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        std::string warning;
        folder = new std::string(linuxos::ChooseLockFolder(runtime ? runtime : "", "/tmp", ::getuid(), &warning));
        if (!warning.empty()) std::fprintf(stderr, "kbconf: %s\n", warning.c_str());
    }
    return *folder;
}

}  // namespace lockfile
}  // namespace platform
