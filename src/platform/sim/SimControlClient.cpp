#include "platform/sim/SimControlClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace platform::sim {

bool SimControlClient::Connect(const std::string& path, std::string* why) {
    fd_.Reset();
    buffer_.clear();
    sockaddr_un addr;
    std::memset(&addr, 0, sizeof addr);
    addr.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr.sun_path) {
        if (why) *why = "socket path empty or too long";
        return false;
    }
    std::memcpy(addr.sun_path, path.data(), path.size());
    platform::linuxhid::UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.Valid() || ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        if (why) *why = path + ": " + std::strerror(errno);
        return false;
    }
    fd_ = std::move(fd);
    return true;
}

bool SimControlClient::SendRaw(const std::string& text) {
    size_t done = 0;
    while (fd_.Valid() && done < text.size()) {
        const ssize_t n = ::send(fd_.Get(), text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return fd_.Valid();
}

bool SimControlClient::FinishSending() { return fd_.Valid() && ::shutdown(fd_.Get(), SHUT_WR) == 0; }

bool SimControlClient::ReadLine(std::string* line, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const size_t nl = buffer_.find('\n');
        if (nl != std::string::npos) {
            *line = buffer_.substr(0, nl);
            buffer_.erase(0, nl + 1);
            return true;
        }
        if (!fd_.Valid()) return false;
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0) return false;
        pollfd p{fd_.Get(), POLLIN, 0};
        const int r = ::poll(&p, 1, static_cast<int>(left));
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        char chunk[4096];
        const ssize_t n = ::recv(fd_.Get(), chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer_.append(chunk, static_cast<size_t>(n));
    }
}

bool SimControlClient::Exchange(const std::string& command, std::string* answer, int timeoutMs) {
    return SendRaw(command + "\n") && ReadLine(answer, timeoutMs);
}

}  // namespace platform::sim
