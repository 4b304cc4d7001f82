#include <unistd.h>

#include "platform/ProcessRunner.h"

namespace platform {

ProcessInfo ThisProcessInfo() {
    ProcessInfo info;
    char path[4096];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n > 0) info.modulePath.assign(path, static_cast<size_t>(n));
    info.separator = '/';
    info.native64 = sizeof(void*) == 8;
    return info;
}

}  // namespace platform
