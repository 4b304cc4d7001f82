#include "platform/TerminationSignal.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <initializer_list>

namespace platform {
namespace {

int pipeFds[2] = {-1, -1};

void OnSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // Non-blocking: a full pipe already says what this byte would.
    (void)!write(pipeFds[1], &byte, 1);
    errno = saved;
}

}  // namespace

int TerminationSignalFd() {
    if (pipeFds[0] >= 0) return pipeFds[0];
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) sigaction(sig, &sa, nullptr);
    return pipeFds[0];
}

void DrainTerminationSignal() {
    char buf[64];
    while (pipeFds[0] >= 0 && read(pipeFds[0], buf, sizeof buf) > 0) {
    }
}

}  // namespace platform
