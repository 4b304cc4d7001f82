#pragma once
// The emulated HID bus: a HidBackend whose devices are SimHidDevice models living
// in this process. Deterministic and fault-injectable; it backs the tests and
// the demo.
//
//   auto bus = std::make_shared<SimHidBus>();
//   auto kb = std::make_shared<MyModel>();
//   bus->Plug(kb);                        // arrival notices for each interface
//   hid::HidDevice device(bus.get());     // or the bus of the "sim" platform
//   ... code under test opens kb's interfaces through the bus ...
//   bus->Reports();                       // everything kb received
//
// Every report a device receives is recorded in memory; when the options name a
// log file (by default the file named by KBCONF_SIM_LOG), each is also appended
// to it as one line (SimReport::Format).
//
// Faults: HoldExclusive (another program holds an interface: opens with access
// fail with a sharing violation), StallWrites (output writes never complete until
// released or cancelled), RefuseFeatures (feature requests fail), FailCaps (the
// capabilities cannot be read), Unplug/Plug. A get_feature is recorded with the
// reply the device gave (its request carries only the id). A feature request
// that a present interface refuses (the fault, no feature report there, too
// long, a handle without access) never reaches the device and is recorded as
// "set_feature_refused" / "get_feature_refused" with the bytes it carried, so
// an attempt is never mistaken for silence.
//
// Transfer waits time out on the options' clock (default: the steady clock), so
// tests can run a three-second time-out without waiting three seconds.
//
// Handles and transfers opened on the bus must not outlive it.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "platform/HidBackend.h"
#include "platform/HidNoticeHub.h"
#include "platform/sim/SimHidDevice.h"
#include "platform/sim/SimReport.h"

namespace platform::sim {

class SimHidBus final : public HidBackend {
public:
    struct Options {
        bool logFromEnvironment = true;  // append to $KBCONF_SIM_LOG when set
        std::string logPath;             // append here (wins over the environment)
        std::string lockFolder;          // named locks; empty = NamedLock default
        Clock* clock = nullptr;          // transfer time-outs; null = SteadyClock()
    };

    SimHidBus();
    explicit SimHidBus(Options options);
    ~SimHidBus() override;

    // HidBackend
    bool ListInterfaces(std::vector<HidInterfaceEntry>* out) override;
    std::unique_ptr<HidHandle> Open(const std::string& path, uint32_t access, uint32_t share, bool overlapped,
                                    uint32_t* error) override;
    std::unique_ptr<NamedLock> CreateNamedLock(const std::string& name) override;
    HidNoticeSubscription SubscribeNotices(std::function<void(const HidNotice&)> callback) override;

    // Plugs a device (no-op when already plugged); arrival notices follow, one
    // per interface. Unplug fails its pending transfers, kills its handles
    // (later transfers fail with kErrorDeviceNotConnected) and sends removals.
    void Plug(std::shared_ptr<SimHidDevice> device);
    void Unplug(SimHidDevice* device);
    bool IsPlugged(const SimHidDevice* device) const;
    // The bus's own reference to a plugged device (null if not plugged).
    std::shared_ptr<SimHidDevice> SharedOf(const SimHidDevice* device) const;
    // Interface paths of a plugged device, in interface order (empty if not).
    std::vector<std::string> PathsOf(const SimHidDevice* device) const;

    // Faults. iface = index into the device's Interfaces().
    void HoldExclusive(SimHidDevice* device, size_t iface, bool held);
    void StallWrites(SimHidDevice* device, bool stalled);  // releasing delivers the queued writes
    void RefuseFeatures(SimHidDevice* device, bool refused);
    void FailCaps(SimHidDevice* device, bool failed);
    // Overlapped writes report "pending" and complete shortly after on the bus
    // thread, as real devices usually do (default: they complete at once).
    void SetWritesPend(bool pend);

    // Queues an input report on an interface (completes a pending read).
    void PushInput(SimHidDevice* device, size_t iface, std::vector<uint8_t> report);

    // Runs fn on the bus thread after delayMs (device models use it to drop off
    // the bus and come back). Pending work is dropped when the bus is destroyed.
    void Schedule(int64_t delayMs, std::function<void()> fn);

    // Called after a device model has handled a report, with the report as
    // recorded, on the thread that delivered it and without the bus's lock.
    // Removing waits for a call in progress. Returns a token for removal.
    int AddReportObserver(std::function<void(const SimReport&)> observer);
    void RemoveReportObserver(int token);

    // Recording.
    std::vector<SimReport> Reports() const;
    void ClearReports();
    int64_t NowMs() const;  // ms since the bus started

private:
    struct Node;
    struct IoState;
    class Handle;
    class AsyncIo;
    friend class Handle;
    friend class AsyncIo;

    std::shared_ptr<Node> FindNodeLocked(const SimHidDevice* device) const;
    SimReport Record(const Node& node, size_t iface, const char* kind, const uint8_t* data, size_t len);
    void Observe(const SimReport& report);
    bool DeliverOutput(Node& node, size_t iface, const uint8_t* data, size_t len);
    void DeliverPendingWrites(const std::shared_ptr<Node>& node);
    void RunTimer();
    void CompleteIo(const std::shared_ptr<IoState>& io, bool ok, size_t bytes, uint32_t error);

    const std::chrono::steady_clock::time_point start_;
    Options options_;
    Clock& clock_;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Node>> nodes_;
    std::vector<SimReport> reports_;
    std::FILE* log_ = nullptr;
    bool writesPend_ = false;
    uintptr_t nextHandleId_ = 0x100;
    HidNoticeHub hub_;

    // Report observers; observeDeliver_ is held while they run.
    std::recursive_mutex observeDeliver_;
    std::mutex observeMutex_;
    std::vector<std::pair<int, std::function<void(const SimReport&)>>> observers_;
    int nextObserver_ = 1;

    // Bus thread for scheduled work.
    struct Timed {
        std::chrono::steady_clock::time_point due;
        uint64_t seq;
        std::function<void()> fn;
    };
    std::mutex timerMutex_;
    std::condition_variable timerCv_;
    std::vector<Timed> timed_;
    uint64_t timedSeq_ = 0;
    bool stopping_ = false;
    std::thread timer_;
};

}  // namespace platform::sim
