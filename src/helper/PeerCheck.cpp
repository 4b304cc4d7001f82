#include "helper/PeerCheck.h"

#include <sys/socket.h>
#include <systemd/sd-login.h>

#include <cstdlib>

namespace kbhelper {

bool ActiveSeatUser(pid_t, uid_t uid) {
    char** seats = nullptr;
    const int n = sd_uid_get_seats(uid, 1, &seats);
    if (seats) {
        for (char** s = seats; *s; ++s) std::free(*s);
        std::free(seats);
    }
    return n > 0;
}

bool PeerOf(int fd, pid_t* pid, uid_t* uid) {
    ucred cred{};
    socklen_t len = sizeof cred;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0 || len != sizeof cred) return false;
    *pid = cred.pid;
    *uid = cred.uid;
    return true;
}

}  // namespace kbhelper
