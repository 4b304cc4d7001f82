#include "platform/linux/LinuxHidHandle.h"

#include <linux/hidraw.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Event.h"

namespace platform::linuxhid {
namespace {

// Waits until fd is ready (or the cancel fd fires), then transfers once.
class ThreadIo final : public HidAsyncIo {
public:
    ThreadIo(int fd, bool write, uint8_t* readBuffer, const uint8_t* data, size_t len)
        : cancel_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        if (write) buffer_.assign(data, data + len);
        thread_ = std::thread([this, fd, write, readBuffer, len] { Run(fd, write, readBuffer, len); });
    }
    ~ThreadIo() override { Cancel(); }

    bool CompletedAtOnce() const override { return false; }

    WaitResult Wait(int64_t timeoutMs, Event* abort) override {
        int r = Event::WaitAny({&done_, abort}, timeoutMs);
        return r == 0 ? kCompleted : r == 1 ? kAborted : kTimedOut;
    }

    bool Result(size_t* bytes, uint32_t* error) override {
        done_.Wait();
        Join();
        std::lock_guard lock(mutex_);
        if (bytes) *bytes = bytes_;
        if (error) *error = error_;
        return ok_;
    }

    void Cancel() override {
        if (cancel_.Valid()) {
            uint64_t one = 1;
            ssize_t n = ::write(cancel_.Get(), &one, sizeof one);
            (void)n;
        }
        Join();
    }

private:
    void Join() {
        std::lock_guard lock(joinMutex_);
        if (thread_.joinable()) thread_.join();
    }

    void Run(int fd, bool write, uint8_t* readBuffer, size_t len) {
        bool ok = false;
        size_t n = 0;
        uint32_t error = 0;
        for (;;) {
            pollfd fds[2] = {{fd, static_cast<short>(write ? POLLOUT : POLLIN), 0}, {cancel_.Get(), POLLIN, 0}};
            int r = ::poll(fds, cancel_.Valid() ? 2 : 1, -1);
            if (r < 0 && errno == EINTR) continue;
            if (r < 0) {
                error = LinuxHidHandle::ErrorFromErrno(errno);
                break;
            }
            if (cancel_.Valid() && (fds[1].revents & POLLIN)) {
                error = kErrorOperationAborted;
                break;
            }
            ssize_t got = write ? ::write(fd, buffer_.data(), buffer_.size()) : ::read(fd, readBuffer, len);
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
            if (got < 0) {
                error = LinuxHidHandle::ErrorFromErrno(errno);
                break;
            }
            ok = true;
            n = static_cast<size_t>(got);
            break;
        }
        {
            std::lock_guard lock(mutex_);
            ok_ = ok;
            bytes_ = n;
            error_ = error;
        }
        done_.Set();
    }

    UniqueFd cancel_;
    std::vector<uint8_t> buffer_;
    Event done_{true, false};
    std::mutex mutex_;
    bool ok_ = false;
    size_t bytes_ = 0;
    uint32_t error_ = 0;
    std::mutex joinMutex_;
    std::thread thread_;
};

// Completed before it was handed out.
class DoneIo final : public HidAsyncIo {
public:
    DoneIo(bool ok, size_t bytes, uint32_t error) : ok_(ok), bytes_(bytes), error_(error) { done_.Set(); }
    bool CompletedAtOnce() const override { return true; }
    WaitResult Wait(int64_t, Event*) override { return kCompleted; }
    bool Result(size_t* bytes, uint32_t* error) override {
        if (bytes) *bytes = bytes_;
        if (error) *error = error_;
        return ok_;
    }
    void Cancel() override {}

private:
    Event done_{true, false};
    bool ok_;
    size_t bytes_;
    uint32_t error_;
};

bool DefaultFeatureIo(int fd, bool get, uint8_t* buffer, size_t len) {
    int r = get ? ::ioctl(fd, HIDIOCGFEATURE(len), buffer) : ::ioctl(fd, HIDIOCSFEATURE(len), buffer);
    return r >= 0;
}

}  // namespace

LinuxHidHandle::LinuxHidHandle(UniqueFd fd, HidAttributes attributes, HidCaps caps, bool overlapped,
                               FeatureIo featureIo, uintptr_t id)
    : fd_(std::move(fd)),
      attributes_(attributes),
      caps_(caps),
      overlapped_(overlapped),
      featureIo_(featureIo ? std::move(featureIo) : FeatureIo(DefaultFeatureIo)),
      id_(id) {}

uint32_t LinuxHidHandle::ErrorFromErrno(int err) {
    switch (err) {
    case ENOENT:
        return kErrorFileNotFound;
    case EACCES:
    case EPERM:
        return kErrorAccessDenied;
    case EBUSY:
        return kErrorSharingViolation;
    case EINVAL:
        return kErrorInvalidParameter;
    case ENODEV:
    case ENXIO:
    case ESHUTDOWN:
        return kErrorDeviceNotConnected;
    default:
        return kErrorGenFailure;
    }
}

bool LinuxHidHandle::GetAttributes(HidAttributes* out) {
    if (!out) return false;
    *out = attributes_;
    return true;
}

bool LinuxHidHandle::GetCaps(HidCaps* out) {
    if (!out) return false;
    *out = caps_;
    return true;
}

bool LinuxHidHandle::GetFeature(uint8_t* buffer, size_t len) {
    if (!fd_.Valid() || !buffer || len == 0) return false;
    return featureIo_(fd_.Get(), true, buffer, len);
}

bool LinuxHidHandle::SetFeature(const uint8_t* buffer, size_t len) {
    if (!fd_.Valid() || !buffer || len == 0) return false;
    std::vector<uint8_t> copy(buffer, buffer + len);
    return featureIo_(fd_.Get(), false, copy.data(), len);
}

bool LinuxHidHandle::Write(const uint8_t* data, size_t len, size_t* written) {
    uint32_t error = 0;
    return FinishTransfer(StartWrite(data, len, &error), written);
}

bool LinuxHidHandle::Read(uint8_t* buffer, size_t len, size_t* read) {
    uint32_t error = 0;
    return FinishTransfer(StartRead(buffer, len, &error), read);
}

std::unique_ptr<HidAsyncIo> LinuxHidHandle::StartWrite(const uint8_t* data, size_t len, uint32_t* error) {
    if (!fd_.Valid() || !data || len == 0) {
        if (error) *error = fd_.Valid() ? kErrorInvalidParameter : kErrorAccessDenied;
        return nullptr;
    }
    if (!overlapped_) {
        for (;;) {
            ssize_t n = ::write(fd_.Get(), data, len);
            if (n >= 0) return std::make_unique<DoneIo>(true, static_cast<size_t>(n), 0);
            if (errno == EINTR) continue;
            if (errno == EAGAIN) {
                pollfd p{fd_.Get(), POLLOUT, 0};
                ::poll(&p, 1, -1);
                continue;
            }
            if (error) *error = ErrorFromErrno(errno);
            return nullptr;
        }
    }
    return std::make_unique<ThreadIo>(fd_.Get(), true, nullptr, data, len);
}

std::unique_ptr<HidAsyncIo> LinuxHidHandle::StartRead(uint8_t* buffer, size_t len, uint32_t* error) {
    if (!fd_.Valid() || !buffer || len == 0) {
        if (error) *error = fd_.Valid() ? kErrorInvalidParameter : kErrorAccessDenied;
        return nullptr;
    }
    for (;;) {
        ssize_t n = ::read(fd_.Get(), buffer, len);
        if (n >= 0) return std::make_unique<DoneIo>(true, static_cast<size_t>(n), 0);
        if (errno == EINTR) continue;
        if (errno != EAGAIN) {
            if (error) *error = ErrorFromErrno(errno);
            return nullptr;
        }
        break;
    }
    auto io = std::make_unique<ThreadIo>(fd_.Get(), false, buffer, nullptr, len);
    if (!overlapped_) {
        size_t n = 0;
        uint32_t err = 0;
        bool ok = io->Result(&n, &err);
        return std::make_unique<DoneIo>(ok, n, err);
    }
    return io;
}

}  // namespace platform::linuxhid
