#pragma once
// Who may talk to the helper: the user of an active local seat (logind), as
// the kernel reports the peer of the socket (SO_PEERCRED).

#include <sys/types.h>

#include <functional>

namespace kbhelper {

using PeerCheck = std::function<bool(pid_t pid, uid_t uid)>;

// The uid has a session that is active on a seat.
bool ActiveSeatUser(pid_t pid, uid_t uid);

// The peer of a connected Unix socket; false when the kernel does not tell.
bool PeerOf(int fd, pid_t* pid, uid_t* uid);

}  // namespace kbhelper
