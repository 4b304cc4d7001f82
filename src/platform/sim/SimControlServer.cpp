#include "platform/sim/SimControlServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/linux/UniqueFd.h"
#include "platform/sim/SimControlCommands.h"

namespace platform::sim {

using platform::linuxhid::UniqueFd;

namespace {

constexpr size_t kMaxClients = 8;
constexpr size_t kMaxPendingAnswers = 64 * 1024;

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

bool FillAddress(const std::string& path, sockaddr_un* addr) {
    std::memset(addr, 0, sizeof *addr);
    addr->sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof addr->sun_path) return false;
    std::memcpy(addr->sun_path, path.data(), path.size());
    return true;
}

// True when a server answers on the socket at path.
bool SomeoneListens(const std::string& path) {
    sockaddr_un addr;
    if (!FillAddress(path, &addr)) return false;
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) return false;
    return ::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
}

struct Client {
    UniqueFd fd;
    std::string in;
    std::string out;
    bool skipping = false;  // the rest of an over-long line
    bool ended = false;     // the client shut its side; close once answered
};

}  // namespace

struct SimControlServer::Loop {
    SimControlCommands commands;
    UniqueFd listener;
    UniqueFd wakeRead;
    UniqueFd wakeWrite;
    dev_t device = 0;
    ino_t inode = 0;
    std::vector<Client> clients;

    explicit Loop(SimControl& control) : commands(control) {}

    void Run();
    void Accept();
    // False when the client is to be dropped.
    bool Receive(Client& c);
    bool Send(Client& c);
    void Lines(Client& c);
};

void SimControlServer::Loop::Run() {
    std::vector<pollfd> fds;
    for (;;) {
        fds.clear();
        fds.push_back({wakeRead.Get(), POLLIN, 0});
        // A full house leaves newcomers waiting in the listen queue.
        fds.push_back({listener.Get(), static_cast<short>(clients.size() < kMaxClients ? POLLIN : 0), 0});
        for (auto& c : clients) {
            short events = c.ended ? 0 : POLLIN;
            if (!c.out.empty()) events |= POLLOUT;
            fds.push_back({c.fd.Get(), events, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[0].revents) return;  // Stop
        if (fds[1].revents & POLLIN) Accept();
        // Accept appended at the end; only the clients polled are looked at.
        std::vector<bool> drop(clients.size(), false);
        for (size_t i = 0; i + 2 < fds.size(); ++i) {
            Client& c = clients[i];
            const short r = fds[i + 2].revents;
            if (r & (POLLIN | POLLHUP | POLLERR)) drop[i] = !Receive(c);
            if (!drop[i] && !c.out.empty() && (r & POLLOUT)) drop[i] = !Send(c);
            if (!drop[i] && !c.out.empty()) drop[i] = !Send(c);  // answers of this round
            if (c.ended && c.out.empty()) drop[i] = true;
        }
        for (size_t i = drop.size(); i-- > 0;)
            if (drop[i]) clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
    }
}

void SimControlServer::Loop::Accept() {
    UniqueFd fd(::accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
    if (!fd.Valid()) return;
    Client c;
    c.fd = std::move(fd);
    clients.push_back(std::move(c));
}

bool SimControlServer::Loop::Receive(Client& c) {
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::recv(c.fd.Get(), buffer, sizeof buffer, 0);
        if (n > 0) {
            c.in.append(buffer, static_cast<size_t>(n));
            Lines(c);
            if (c.out.size() > kMaxPendingAnswers) return false;
            continue;
        }
        if (n == 0) {
            // A last line without its newline still gets its answer.
            if (!c.in.empty() && !c.skipping) c.out += commands.Run(c.in) + '\n';
            c.in.clear();
            c.ended = true;
            return true;
        }
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK;
    }
}

void SimControlServer::Loop::Lines(Client& c) {
    size_t start = 0;
    for (;;) {
        const size_t nl = c.in.find('\n', start);
        if (nl == std::string::npos) break;
        if (c.skipping)
            c.skipping = false;
        else
            c.out += commands.Run(std::string_view(c.in).substr(start, nl - start)) + '\n';
        start = nl + 1;
    }
    c.in.erase(0, start);
    // Longer than any command with its "\r": refuse it now rather than buffer it.
    if (!c.skipping && c.in.size() > SimControlCommands::kMaxLine + 1) {
        c.out += "error: line too long\n";
        c.skipping = true;
    }
    if (c.skipping) c.in.clear();
}

bool SimControlServer::Loop::Send(Client& c) {
    while (!c.out.empty()) {
        const ssize_t n = ::send(c.fd.Get(), c.out.data(), c.out.size(), MSG_NOSIGNAL);
        if (n > 0) {
            c.out.erase(0, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
    }
    return true;
}

SimControlServer::SimControlServer(SimControl& control) : control_(control) {}

SimControlServer::~SimControlServer() { Stop(); }

bool SimControlServer::StartFromEnvironment(std::string* why) {
    const char* path = std::getenv(kEnvironment);
    if (!path || !*path) return true;
    return Start(path, why);
}

bool SimControlServer::Start(const std::string& path, std::string* why) {
    auto fail = [&](std::string text) {
        if (why) *why = std::move(text);
        return false;
    };
    if (Running()) return fail("already running on " + path_);
    sockaddr_un target;
    if (!FillAddress(path, &target)) return fail("socket path empty or too long: " + path);

    struct stat st;
    if (::lstat(path.c_str(), &st) == 0) {
        if (!S_ISSOCK(st.st_mode)) return fail(path + " exists and is not a socket");
        if (SomeoneListens(path)) return fail("another process listens on " + path);
    }

    // Bound in a private folder beside the target and moved into place, so the
    // socket is never reachable with looser permissions, and a stale one is
    // replaced in one step.
    const size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string temp = (dir == "/" ? "" : dir) + "/.kbconf-simctl-XXXXXX";
    if (!::mkdtemp(temp.data())) return fail(Errno("cannot create a folder beside " + path));
    const std::string staging = temp + "/s";
    auto cleanup = [&] {
        ::unlink(staging.c_str());
        ::rmdir(temp.c_str());
    };
    sockaddr_un addr;
    if (!FillAddress(staging, &addr)) {
        cleanup();
        return fail("socket path too long: " + path);
    }

    auto loop = std::make_unique<Loop>(control_);
    loop->listener = UniqueFd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!loop->listener.Valid()) {
        cleanup();
        return fail(Errno("socket"));
    }
    if (::bind(loop->listener.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::chmod(staging.c_str(), 0600) != 0 || ::listen(loop->listener.Get(), 16) != 0) {
        std::string text = Errno("cannot listen on " + path);
        cleanup();
        return fail(text);
    }
    if (::lstat(staging.c_str(), &st) != 0 || ::rename(staging.c_str(), path.c_str()) != 0) {
        std::string text = Errno("cannot place the socket at " + path);
        cleanup();
        return fail(text);
    }
    ::rmdir(temp.c_str());
    loop->device = st.st_dev;
    loop->inode = st.st_ino;

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::string text = Errno("pipe");
        ::unlink(path.c_str());
        return fail(text);
    }
    loop->wakeRead = UniqueFd(pipeFds[0]);
    loop->wakeWrite = UniqueFd(pipeFds[1]);

    path_ = path;
    loop_ = std::move(loop);
    thread_ = std::thread([loop = loop_.get()] { loop->Run(); });
    return true;
}

void SimControlServer::Stop() {
    if (!thread_.joinable()) return;
    const char byte = 1;
    while (::write(loop_->wakeWrite.Get(), &byte, 1) < 0 && errno == EINTR) {
    }
    thread_.join();
    // Only our own socket: another server may have replaced it meanwhile.
    struct stat st;
    if (::lstat(path_.c_str(), &st) == 0 && st.st_dev == loop_->device && st.st_ino == loop_->inode)
        ::unlink(path_.c_str());
    loop_.reset();
    path_.clear();
}

}  // namespace platform::sim
