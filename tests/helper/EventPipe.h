#pragma once
// A pipe standing in for an event node or uinput device: what the key service
// writes into it as input_event records is read back as plain triples.
#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "helper/FdEventSink.h"
#include "platform/linux/UniqueFd.h"

namespace helpertest {

struct Ev {
    uint16_t type, code;
    int32_t value;
    friend bool operator==(const Ev&, const Ev&) = default;
};
inline const Ev kSyn{EV_SYN, SYN_REPORT, 0};

struct EventPipe {
    platform::linuxhid::UniqueFd read, write;

    EventPipe() {
        int fds[2];
        EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0);
        read = platform::linuxhid::UniqueFd(fds[0]);
        write = platform::linuxhid::UniqueFd(fds[1]);
    }
    // A sink writing into the pipe, for the service's devices.
    std::unique_ptr<kbhelper::EventSink> Sink() const {
        return std::make_unique<kbhelper::FdEventSink>(platform::linuxhid::UniqueFd(::dup(write.Get())));
    }
    // What is in the pipe now.
    std::vector<Ev> Take() const { return Read(SIZE_MAX, 0); }
    // Waits (up to 5 s) for n events.
    std::vector<Ev> Take(size_t n) const { return Read(n, 5000); }
    bool Quiet() const {
        pollfd p{read.Get(), POLLIN, 0};
        return ::poll(&p, 1, 50) == 0;
    }

private:
    std::vector<Ev> Read(size_t n, int waitMs) const {
        std::vector<Ev> out;
        while (out.size() < n) {
            pollfd p{read.Get(), POLLIN, 0};
            if (::poll(&p, 1, waitMs) != 1) break;
            input_event e;
            if (::read(read.Get(), &e, sizeof e) != static_cast<ssize_t>(sizeof e)) break;
            out.push_back({e.type, e.code, e.value});
        }
        return out;
    }
};

}  // namespace helpertest
