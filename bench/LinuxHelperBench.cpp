// The key service's cost, side by side with the least the same path could
// cost, on pipes and socket pairs standing in for the device nodes:
//   BM_LinuxPassThrough  a key the client does not take: node -> copy, against
//                        a bare read-then-write of the same frame on a thread
//   BM_LinuxAssignedKey  a key of the client's table: node -> service -> client
//                        (filter listener, receiver, VHidev) -> service ->
//                        virtual keyboard, against two bare socket round trips
//   BM_LinuxHelperIdle   the service's CPU time and wake-ups over 2 s with a
//                        client connected and nothing typed
// Each pair is measured alternately in one run; the counters are p50 and p99 in
// microseconds and the p99 ratio.

#include <fcntl.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <libevdev/libevdev.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "../tests/helper/FakeEvdev.h"
#include "data/KeyAssignmentTable.h"
#include "fnkeys/FilterListener.h"
#include "fnkeys/VHidev.h"
#include "helper/FdEventSink.h"
#include "helper/KeyService.h"
#include "platform/linux/HelperConnection.h"
#include "platform/linux/HelperFilterBackend.h"
#include "platform/linux/VirtualKeyboardBackend.h"
#include "platform/sim/SimHidBus.h"

namespace {

using platform::linuxhid::UniqueFd;
using Clock = std::chrono::steady_clock;

struct Pipe {
    UniqueFd read, write;
    Pipe() {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) == 0) read = UniqueFd(fds[0]), write = UniqueFd(fds[1]);
    }
};

// Reads input events until a SYN_REPORT has come.
void AwaitFrame(int fd) {
    input_event e;
    for (;;) {
        if (::read(fd, &e, sizeof e) != static_cast<ssize_t>(sizeof e)) return;
        if (e.type == EV_SYN && e.code == SYN_REPORT) return;
    }
}

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<size_t>(p * static_cast<double>(v.size())))];
}

void Report(benchmark::State& state, const char* name, const std::vector<double>& ours, const char* bare,
            const std::vector<double>& base) {
    state.counters[std::string(name) + "_p50_us"] = Percentile(ours, 0.5);
    state.counters[std::string(name) + "_p99_us"] = Percentile(ours, 0.99);
    state.counters[std::string(bare) + "_p50_us"] = Percentile(base, 0.5);
    state.counters[std::string(bare) + "_p99_us"] = Percentile(base, 0.99);
    const double b = Percentile(base, 0.99);
    state.counters["p99_ratio"] = b > 0 ? Percentile(ours, 0.99) / b : 0;
}

double Micros(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double, std::micro>(b - a).count();
}

// A service on its own thread, over one fixture node, with a listening socket.
struct Service {
    std::string dir, socketPath;
    fakeevdev::Node* node = fakeevdev::Make();
    Pipe copy, keys, pointer;
    std::unique_ptr<kbhelper::KeyService> service;
    std::thread thread;
    std::atomic<pid_t> tid{0};

    Service() {
        char tmpl[] = "/tmp/kbconf-bench-XXXXXX";
        dir = ::mkdtemp(tmpl);
        socketPath = dir + "/helper.sock";
        UniqueFd listener(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0));
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strcpy(addr.sun_path, socketPath.c_str());
        ::bind(listener.Get(), reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        ::listen(listener.Get(), 4);
        kbhelper::KeyServiceOptions o;
        o.findNodes = [] { return std::vector<std::string>{"/dev/input/event3"}; };
        o.openNode = [this](const std::string&) { return fakeevdev::Open(node); };
        o.makeCopy = [this](const libevdev*) -> std::unique_ptr<kbhelper::EventSink> {
            return std::make_unique<kbhelper::FdEventSink>(UniqueFd(::dup(copy.write.Get())));
        };
        o.peerAllowed = [](pid_t, uid_t) { return true; };
        service = std::make_unique<kbhelper::KeyService>(
            std::move(listener), std::make_unique<kbhelper::FdEventSink>(UniqueFd(::dup(keys.write.Get()))),
            std::make_unique<kbhelper::FdEventSink>(UniqueFd(::dup(pointer.write.Get()))), o);
        thread = std::thread([this] {
            tid = static_cast<pid_t>(::syscall(SYS_gettid));
            service->Run();
        });
    }
    ~Service() {
        service->RequestStop();
        thread.join();
        service.reset();
        ::unlink(socketPath.c_str());
        ::rmdir(dir.c_str());
        fakeevdev::Clear();
    }
    bool WaitGrabbed() {
        for (int i = 0; i < 500 && !node->Grabbed(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        return node->Grabbed();
    }
};

struct Client {
    std::shared_ptr<platform::linuxfk::HelperConnection> connection;
    platform::linuxfk::HelperFilterBackend filter;
    platform::sim::SimHidBus inner{platform::sim::SimHidBus::Options{false, {}, {}}};
    platform::linuxfk::VirtualKeyboardBackend hid;
    VHidev vhid{&hid};
    KeyAssignmentTable table;
    HidUsbFilter::FilterListener listener{&filter, &table};

    explicit Client(const std::string& path)
        : connection(std::make_shared<platform::linuxfk::HelperConnection>(path)),
          filter(connection),
          hid(inner, connection) {
        vhid.SetLogSink([](const std::string&) {});
        vhid.OpenVirtualKeyboard();
        table.LoadFromBuffer("<record code=\"70068\" play=\"1\"/>");
        listener.AddMonitor(this, &Client::OnKey);
        listener.OpenDevice();
        listener.Restart();
        listener.PushKeyTable();
    }
    ~Client() { listener.Stop(); }
    // An assigned key typing another, as the main window does.
    int32_t OnKey(uint8_t page, uint16_t usage, bool pressed) {
        if (page == 7 && usage == 0x68) vhid.InjectKey(7, 0x05, pressed);
        return 1;
    }
};

// The bare hop: a thread that reads a frame from one pipe and writes it to another.
struct BareRelay {
    Pipe in, out;
    UniqueFd stop;
    std::thread thread;
    BareRelay() {
        Pipe s;
        stop = std::move(s.write);
        thread = std::thread([this, r = std::move(s.read)] {
            input_event ev[8];
            for (;;) {
                pollfd p[2] = {{in.read.Get(), POLLIN, 0}, {r.Get(), POLLIN, 0}};
                if (::poll(p, 2, -1) < 0 || p[1].revents) return;
                const ssize_t n = ::read(in.read.Get(), ev, sizeof ev);
                if (n <= 0) return;
                [[maybe_unused]] auto w = ::write(out.write.Get(), ev, static_cast<size_t>(n));
            }
        });
    }
    ~BareRelay() {
        stop.Reset();
        thread.join();
    }
};

void WriteFrame(int fd, uint32_t scan, uint16_t code, int32_t value) {
    input_event ev[3]{};
    ev[0].type = EV_MSC, ev[0].code = MSC_SCAN, ev[0].value = static_cast<int32_t>(scan);
    ev[1].type = EV_KEY, ev[1].code = code, ev[1].value = value;
    ev[2].type = EV_SYN, ev[2].code = SYN_REPORT;
    [[maybe_unused]] auto n = ::write(fd, ev, sizeof ev);
}

void BM_LinuxPassThrough(benchmark::State& state) {
    Service s;
    Client c(s.socketPath);
    BareRelay bare;
    if (!s.WaitGrabbed()) return state.SkipWithError("the service did not grab the fixture node");
    std::vector<double> ours, base;
    int32_t value = 1;
    for (auto _ : state) {
        auto t0 = Clock::now();
        WriteFrame(s.node->write.Get(), 0x70004, KEY_A, value);
        AwaitFrame(s.copy.read.Get());
        auto t1 = Clock::now();
        WriteFrame(bare.in.write.Get(), 0x70004, KEY_A, value);
        AwaitFrame(bare.out.read.Get());
        auto t2 = Clock::now();
        ours.push_back(Micros(t0, t1));
        base.push_back(Micros(t1, t2));
        value = 1 - value;
    }
    Report(state, "service", ours, "bare", base);
}
BENCHMARK(BM_LinuxPassThrough)->Iterations(5000)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Two round trips on a socket pair to a thread that echoes.
struct Echo {
    UniqueFd near, far;
    std::thread thread;
    Echo() {
        int fds[2];
        ::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, fds);
        near = UniqueFd(fds[0]);
        far = UniqueFd(fds[1]);
        thread = std::thread([this] {
            uint8_t b[64];
            for (;;) {
                const ssize_t n = ::recv(far.Get(), b, sizeof b, 0);
                if (n <= 0) return;
                ::send(far.Get(), b, static_cast<size_t>(n), MSG_NOSIGNAL);
            }
        });
    }
    ~Echo() {
        ::shutdown(near.Get(), SHUT_RDWR);
        thread.join();
    }
    void RoundTrip() {
        uint8_t b[64] = {};
        ::send(near.Get(), b, 8, MSG_NOSIGNAL);
        ::recv(near.Get(), b, sizeof b, 0);
    }
};

void BM_LinuxAssignedKey(benchmark::State& state) {
    Service s;
    Client c(s.socketPath);
    Echo echo;
    if (!s.WaitGrabbed()) return state.SkipWithError("the service did not grab the fixture node");
    std::vector<double> ours, base;
    int32_t value = 1;
    for (auto _ : state) {
        auto t0 = Clock::now();
        WriteFrame(s.node->write.Get(), 0x70068, KEY_F13, value);
        AwaitFrame(s.keys.read.Get());  // B typed on the virtual keyboard
        auto t1 = Clock::now();
        echo.RoundTrip();
        echo.RoundTrip();
        auto t2 = Clock::now();
        ours.push_back(Micros(t0, t1));
        base.push_back(Micros(t1, t2));
        value = 1 - value;
    }
    Report(state, "service", ours, "two_round_trips", base);
}
BENCHMARK(BM_LinuxAssignedKey)->Iterations(5000)->UseRealTime()->Unit(benchmark::kMicrosecond);

struct ThreadUsage {
    double cpuMs = 0;
    long wakeups = 0;
};

ThreadUsage Usage(pid_t tid) {
    ThreadUsage u;
    const std::string base = "/proc/self/task/" + std::to_string(tid);
    std::ifstream stat(base + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), {});
    const auto close = text.rfind(')');
    if (close != std::string::npos) {
        std::istringstream rest(text.substr(close + 2));
        std::string field;
        long utime = 0, stime = 0;
        for (int i = 3; i <= 15 && rest >> field; ++i) {
            if (i == 14) utime = std::stol(field);
            if (i == 15) stime = std::stol(field);
        }
        u.cpuMs = 1000.0 * static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }
    std::ifstream status(base + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("voluntary_ctxt_switches:", 0) == 0) u.wakeups += std::stol(line.substr(24));
        if (line.rfind("nonvoluntary_ctxt_switches:", 0) == 0) u.wakeups += std::stol(line.substr(27));
    }
    return u;
}

void BM_LinuxHelperIdle(benchmark::State& state) {
    Service s;
    Client c(s.socketPath);
    if (!s.WaitGrabbed()) return state.SkipWithError("the service did not grab the fixture node");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // settled: the client's key request waits
    ThreadUsage before{}, after{};
    for (auto _ : state) {
        before = Usage(s.tid);
        std::this_thread::sleep_for(std::chrono::seconds(2));
        after = Usage(s.tid);
    }
    state.counters["cpu_ms_per_2s"] = after.cpuMs - before.cpuMs;
    state.counters["wakeups_per_2s"] = static_cast<double>(after.wakeups - before.wakeups);
}
BENCHMARK(BM_LinuxHelperIdle)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
