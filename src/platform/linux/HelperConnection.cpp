#include "platform/linux/HelperConnection.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace platform::linuxfk {

namespace wire = helperwire;
using linuxhid::UniqueFd;

constexpr uint32_t kKeyTable = 0x22A000;

HelperConnection::HelperConnection(std::string socketPath) : path_(std::move(socketPath)) {}

HelperConnection::~HelperConnection() { Disconnect(); }

bool HelperConnection::Connected() const {
    std::lock_guard lock(mutex_);
    return fd_.Valid();
}

void HelperConnection::Disconnect() {
    std::thread reader;
    {
        std::lock_guard lock(mutex_);
        if (fd_.Valid()) ::shutdown(fd_.Get(), SHUT_RDWR);
        reader = std::move(reader_);
    }
    if (reader.joinable()) reader.join();
    std::lock_guard lock(mutex_);
    fd_.Reset();
}

bool HelperConnection::Connect(uint8_t* status) {
    std::lock_guard connecting(connectMutex_);
    if (status) *status = wire::kRefused;
    {
        std::lock_guard lock(mutex_);
        if (fd_.Valid()) {
            if (status) *status = wire::kWelcome;
            return true;
        }
    }
    Disconnect();  // a reader that saw the last connection end
    UniqueFd fd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (!fd.Valid() || path_.size() >= sizeof addr.sun_path) return false;
    std::memcpy(addr.sun_path, path_.c_str(), path_.size());
    if (::connect(fd.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return false;
    // The helper answers at once; a helper that does not is as good as absent.
    pollfd p{fd.Get(), POLLIN, 0};
    if (::poll(&p, 1, 2000) != 1) return false;
    wire::ReplyHeader hello{};
    if (::recv(fd.Get(), &hello, sizeof hello, 0) != sizeof hello || hello.id != 0) return false;
    if (status) *status = hello.status;
    if (hello.status != wire::kWelcome) return false;
    std::lock_guard lock(mutex_);
    fd_ = std::move(fd);
    reader_ = std::thread([this, f = fd_.Get()] { ReaderMain(f); });
    // A new connection starts with an empty table: the keys this process had
    // asked for go again (the device code pushes its table only at start and
    // after a change, not on the keyboard's return).
    if (!table_.empty()) Send(nextId_++, wire::kControl, kKeyTable, table_.data(), table_.size(), 0);
    if (nextId_ == 0) nextId_ = 1;
    return true;
}

void HelperConnection::ReaderMain(int fd) {
    uint8_t buffer[wire::kMaxReply];
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < static_cast<ssize_t>(sizeof(wire::ReplyHeader))) break;
        wire::ReplyHeader h;
        std::memcpy(&h, buffer, sizeof h);
        std::lock_guard lock(mutex_);
        auto it = waiters_.find(h.id);
        if (it == waiters_.end()) continue;
        Waiter* w = it->second;
        waiters_.erase(it);
        w->status = h.status;
        w->outLen = static_cast<size_t>(n) - sizeof h;
        std::memcpy(w->out, buffer + sizeof h, w->outLen);
        w->done.Set();
    }
    // The helper went away (or dropped us): nothing that waits will be answered.
    std::lock_guard lock(mutex_);
    for (auto& [id, w] : waiters_) {
        w->status = wire::kRefused;
        w->done.Set();
    }
    waiters_.clear();
    if (fd_.Get() == fd) ::shutdown(fd, SHUT_RDWR);
    fd_.Reset();  // the next use connects again; Disconnect joins this thread
}

bool HelperConnection::Send(uint32_t id, uint8_t kind, uint32_t code, const uint8_t* in, size_t inLen, size_t outLen) {
    uint8_t buffer[wire::kMaxRequest];
    wire::RequestHeader h{id, kind, {}, code, static_cast<uint32_t>(outLen)};
    std::memcpy(buffer, &h, sizeof h);
    if (inLen) std::memcpy(buffer + sizeof h, in, inLen);
    const size_t size = sizeof h + inLen;
    return fd_.Valid() && ::send(fd_.Get(), buffer, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
}

uint8_t HelperConnection::Call(uint8_t kind, uint32_t code, const uint8_t* in, size_t inLen, uint8_t* out,
                               size_t outLen, Event* cancel, const void* owner) {
    // Only an open (not a request) connects: after the helper dropped us (the
    // panic chord), the keyboard stays free until the device is opened again.
    if (inLen > wire::kMaxInput || outLen > wire::kMaxOutput || !Connected()) return wire::kRefused;
    Waiter w;
    w.owner = owner;
    uint32_t id = 0;
    {
        std::lock_guard lock(mutex_);
        id = nextId_++;
        if (nextId_ == 0) nextId_ = 1;  // 0 is the helper's greeting
        if (!Send(id, kind, code, in, inLen, outLen)) return wire::kRefused;
        waiters_[id] = &w;
    }
    if (kind == wire::kControl && code == kKeyTable) {
        std::lock_guard lock(mutex_);
        table_.assign(in, in + inLen);
    }
    if (Event::WaitAny({&w.done, cancel}) != 0) {
        {
            std::lock_guard lock(mutex_);
            if (waiters_.count(id) && !Send(id, wire::kCancel, 0, nullptr, 0, 0)) waiters_.erase(id), w.done.Set();
        }
        // The helper answers a cancelled request as well (or the connection
        // ends, which answers it too).
        w.done.Wait();
    }
    if (out && outLen) std::memcpy(out, w.out, std::min(outLen, w.outLen));
    return w.status;
}

FilterResult HelperConnection::Control(uint32_t code, const uint8_t* in, size_t inLen, uint8_t* out, size_t outLen,
                                       Event* cancel, const void* owner) {
    switch (Call(wire::kControl, code, in, inLen, out, outLen, cancel, owner)) {
    case wire::kCompleted:
        return FilterResult::kCompleted;
    case wire::kCompletedAfterPending:
        return FilterResult::kCompletedAfterPending;
    case wire::kCancelled:
        return FilterResult::kCancelled;
    default:
        return FilterResult::kRefused;
    }
}

void HelperConnection::CancelAll(const void* owner) {
    std::lock_guard lock(mutex_);
    for (auto& [id, w] : waiters_)
        if (w->owner == owner) Send(id, wire::kCancel, 0, nullptr, 0, 0);
}

bool HelperConnection::Present() {
    uint8_t status = wire::kRefused;
    Connect(&status);
    return status == wire::kWelcome || status == wire::kBusy || status == wire::kNotAllowed;
}

bool HelperConnection::SendRecord(const uint8_t* record, size_t len) {
    return Call(wire::kRecord, 0, record, len, nullptr, 0, nullptr, nullptr) == wire::kCompleted;
}

}  // namespace platform::linuxfk
