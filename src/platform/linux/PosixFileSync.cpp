#include "platform/linux/PosixFileSync.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace platform::posix {

namespace {

bool SyncPath(const std::string& path, int flags, bool folder) {
    int fd;
    do fd = ::open(path.c_str(), flags | O_RDONLY | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    bool ok = ::fsync(fd) == 0;
    // Some file systems cannot sync a folder at all; nothing more can be done there.
    if (!ok && folder && (errno == EINVAL || errno == ENOTSUP)) ok = true;
    ::close(fd);
    return ok;
}

}  // namespace

bool PosixFileSync::SyncFile(const std::string& path) const { return SyncPath(path, O_NOFOLLOW, false); }

bool PosixFileSync::SyncFolder(const std::string& path) const {
    return SyncPath(path.empty() ? std::string(".") : path, O_DIRECTORY, true);
}

}  // namespace platform::posix

namespace platform {

const FileSync& SystemFileSync() {
    static const posix::PosixFileSync sync;
    return sync;
}

}  // namespace platform
