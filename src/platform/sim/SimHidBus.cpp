#include "platform/sim/SimHidBus.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Event.h"

namespace platform::sim {

struct SimHidBus::IoState {
    Event done{true, false};
    // Guarded by the bus mutex.
    bool finished = false;
    bool ok = false;
    bool atOnce = false;
    size_t bytes = 0;
    uint32_t error = 0;
};

struct SimHidBus::Node {
    std::shared_ptr<SimHidDevice> device;
    HidAttributes attributes;
    std::vector<SimInterface> interfaces;
    std::vector<std::string> paths;
    // Guarded by the bus mutex.
    bool alive = true;
    bool stalled = false;
    bool refuseFeatures = false;
    bool failCaps = false;
    std::vector<bool> exclusive;
    struct OpenRecord {
        uintptr_t id;
        uint32_t access;
        uint32_t share;
    };
    std::vector<std::vector<OpenRecord>> opens;
    std::vector<std::deque<std::vector<uint8_t>>> inputs;
    struct PendingWrite {
        std::shared_ptr<IoState> io;
        size_t iface;
        std::vector<uint8_t> data;
    };
    std::deque<PendingWrite> pendingWrites;
    struct PendingRead {
        std::shared_ptr<IoState> io;
        size_t iface;
        uint8_t* buffer;
        size_t len;
    };
    std::deque<PendingRead> pendingReads;
    // Serialises calls into the model; never held together with the bus mutex.
    std::mutex call;
};

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string BuildPath(const HidAttributes& a, const SimInterface& i, const std::string& instance, size_t index) {
    char text[96];
    std::string path = "\\\\?\\hid#";
    std::snprintf(text, sizeof text, "vid_%04x&pid_%04x", a.vendorId, a.productId);
    path += text;
    if (i.mi >= 0) {
        std::snprintf(text, sizeof text, "&mi_%02x", static_cast<unsigned>(i.mi));
        path += text;
    }
    if (i.col >= 0) {
        std::snprintf(text, sizeof text, "&col%02x", static_cast<unsigned>(i.col));
        path += text;
    }
    std::snprintf(text, sizeof text, "&%04x", static_cast<unsigned>(index));
    path += "#" + instance + text + "#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    return path;
}

bool SharingConflicts(uint32_t accessA, uint32_t shareA, uint32_t accessB, uint32_t shareB) {
    auto denies = [](uint32_t access, uint32_t otherShare) {
        return ((access & kAccessRead) && !(otherShare & kShareRead)) ||
               ((access & kAccessWrite) && !(otherShare & kShareWrite));
    };
    return denies(accessA, shareB) || denies(accessB, shareA);
}

}  // namespace

// ---------------------------------------------------------------------------

class SimHidBus::AsyncIo final : public HidAsyncIo {
public:
    AsyncIo(SimHidBus* bus, std::shared_ptr<Node> node, std::shared_ptr<IoState> io)
        : bus_(bus), node_(std::move(node)), io_(std::move(io)) {}
    ~AsyncIo() override { Cancel(); }

    bool CompletedAtOnce() const override {
        std::lock_guard lock(bus_->mutex_);
        return io_->atOnce;
    }

    WaitResult Wait(int64_t timeoutMs, Event* abort) override {
        int r = bus_->clock_.WaitAny({&io_->done, abort}, timeoutMs);
        if (r == 0) return kCompleted;
        if (r == 1) return kAborted;
        return kTimedOut;
    }

    bool Result(size_t* bytes, uint32_t* error) override {
        io_->done.Wait();
        std::lock_guard lock(bus_->mutex_);
        if (bytes) *bytes = io_->bytes;
        if (error) *error = io_->error;
        return io_->ok;
    }

    void Cancel() override {
        {
            std::lock_guard lock(bus_->mutex_);
            if (io_->finished) return;
            auto& writes = node_->pendingWrites;
            bool queued = false;
            auto w = std::find_if(writes.begin(), writes.end(), [&](auto& p) { return p.io == io_; });
            if (w != writes.end()) {
                writes.erase(w);
                queued = true;
            }
            auto& reads = node_->pendingReads;
            auto r = std::find_if(reads.begin(), reads.end(), [&](auto& p) { return p.io == io_; });
            if (r != reads.end()) {
                reads.erase(r);
                queued = true;
            }
            if (queued) {
                bus_->CompleteIo(io_, false, 0, kErrorOperationAborted);
                return;
            }
        }
        // Being delivered to the model right now: let that finish.
        io_->done.Wait();
    }

private:
    SimHidBus* bus_;
    std::shared_ptr<Node> node_;
    std::shared_ptr<IoState> io_;
};

// ---------------------------------------------------------------------------

class SimHidBus::Handle final : public HidHandle {
public:
    Handle(SimHidBus* bus, std::shared_ptr<Node> node, size_t iface, uint32_t access, uint32_t share, bool overlapped,
           uintptr_t id)
        : bus_(bus),
          node_(std::move(node)),
          iface_(iface),
          access_(access),
          share_(share),
          overlapped_(overlapped),
          id_(id) {}

    ~Handle() override {
        std::lock_guard lock(bus_->mutex_);
        auto& opens = node_->opens[iface_];
        opens.erase(std::remove_if(opens.begin(), opens.end(), [&](auto& o) { return o.id == id_; }), opens.end());
    }

    uintptr_t Id() const override { return id_; }

    bool GetAttributes(HidAttributes* out) override {
        std::lock_guard lock(bus_->mutex_);
        if (!node_->alive || !out) return false;
        *out = node_->attributes;
        return true;
    }

    bool GetCaps(HidCaps* out) override {
        std::lock_guard lock(bus_->mutex_);
        if (!node_->alive || !out || node_->failCaps) return false;
        *out = node_->interfaces[iface_].caps;
        return true;
    }

    bool GetFeature(uint8_t* buffer, size_t len) override {
        if (!FeatureAllowed("get_feature_refused", buffer, len)) return false;
        bool ok;
        {
            std::lock_guard call(node_->call);
            ok = node_->device->OnGetFeature(iface_, buffer, len);
        }
        bus_->Observe(bus_->Record(*node_, iface_, "get_feature", buffer, len));
        return ok;
    }

    bool SetFeature(const uint8_t* buffer, size_t len) override {
        if (!FeatureAllowed("set_feature_refused", buffer, len)) return false;
        const SimReport report = bus_->Record(*node_, iface_, "set_feature", buffer, len);
        bool ok;
        {
            std::lock_guard call(node_->call);
            ok = node_->device->OnSetFeature(iface_, buffer, len);
        }
        bus_->Observe(report);
        return ok;
    }

    bool Write(const uint8_t* data, size_t len, size_t* written) override {
        uint32_t error = 0;
        return FinishTransfer(StartWrite(data, len, &error), written);
    }

    bool Read(uint8_t* buffer, size_t len, size_t* read) override {
        uint32_t error = 0;
        return FinishTransfer(StartRead(buffer, len, &error), read);
    }

    std::unique_ptr<HidAsyncIo> StartWrite(const uint8_t* data, size_t len, uint32_t* error) override {
        auto io = std::make_shared<IoState>();
        bool deliverNow = false;
        {
            std::lock_guard lock(bus_->mutex_);
            uint32_t err = 0;
            const uint16_t outLen = node_->interfaces[iface_].caps.outputReportLength;
            if (!node_->alive)
                err = kErrorDeviceNotConnected;
            else if (!(access_ & kAccessWrite))
                err = kErrorAccessDenied;
            else if (!data || len == 0 || (outLen && len > outLen))
                err = kErrorInvalidParameter;
            if (err) {
                if (error) *error = err;
                return nullptr;
            }
            if (node_->stalled || bus_->writesPend_) {
                node_->pendingWrites.push_back({io, iface_, std::vector<uint8_t>(data, data + len)});
                if (!node_->stalled) {
                    std::weak_ptr<Node> weak = node_;
                    SimHidBus* bus = bus_;
                    bus_->Schedule(1, [bus, weak] {
                        if (auto n = weak.lock()) bus->DeliverPendingWrites(n);
                    });
                }
            } else {
                deliverNow = true;
            }
        }
        if (deliverNow) {
            bool ok = bus_->DeliverOutput(*node_, iface_, data, len);
            std::lock_guard lock(bus_->mutex_);
            io->atOnce = true;
            bus_->CompleteIo(io, ok, ok ? len : 0, ok ? 0 : kErrorGenFailure);
        }
        if (!overlapped_) io->done.Wait();
        return std::make_unique<AsyncIo>(bus_, node_, io);
    }

    std::unique_ptr<HidAsyncIo> StartRead(uint8_t* buffer, size_t len, uint32_t* error) override {
        auto io = std::make_shared<IoState>();
        {
            std::lock_guard lock(bus_->mutex_);
            uint32_t err = 0;
            if (!node_->alive)
                err = kErrorDeviceNotConnected;
            else if (!(access_ & kAccessRead))
                err = kErrorAccessDenied;
            else if (!buffer || len == 0)
                err = kErrorInvalidParameter;
            if (err) {
                if (error) *error = err;
                return nullptr;
            }
            auto& queue = node_->inputs[iface_];
            if (!queue.empty()) {
                size_t n = std::min(len, queue.front().size());
                std::memcpy(buffer, queue.front().data(), n);
                queue.pop_front();
                io->atOnce = true;
                bus_->CompleteIo(io, true, n, 0);
            } else {
                node_->pendingReads.push_back({io, iface_, buffer, len});
            }
        }
        if (!overlapped_) io->done.Wait();
        return std::make_unique<AsyncIo>(bus_, node_, io);
    }

private:
    // Refusals by a present interface are recorded under `refusedKind`.
    bool FeatureAllowed(const char* refusedKind, const uint8_t* buffer, size_t len) {
        {
            std::lock_guard lock(bus_->mutex_);
            if (!node_->alive || !buffer || len == 0) return false;
            const uint16_t featureLen = node_->interfaces[iface_].caps.featureReportLength;
            if ((access_ & (kAccessRead | kAccessWrite)) && !node_->refuseFeatures && featureLen != 0 &&
                len <= featureLen)
                return true;
        }
        bus_->Observe(bus_->Record(*node_, iface_, refusedKind, buffer, len));
        return false;
    }

    SimHidBus* bus_;
    std::shared_ptr<Node> node_;
    size_t iface_;
    uint32_t access_;
    uint32_t share_;
    bool overlapped_;
    uintptr_t id_;
};

// ---------------------------------------------------------------------------

SimHidBus::SimHidBus() : SimHidBus(Options{}) {}

SimHidBus::SimHidBus(Options options)
    : start_(std::chrono::steady_clock::now()),
      options_(std::move(options)),
      clock_(options_.clock ? *options_.clock : SteadyClock()) {
    std::string logPath = options_.logPath;
    if (logPath.empty() && options_.logFromEnvironment) {
        if (const char* env = std::getenv("KBCONF_SIM_LOG")) logPath = env;
    }
    if (!logPath.empty()) log_ = std::fopen(logPath.c_str(), "a");
    timer_ = std::thread([this] { RunTimer(); });
}

SimHidBus::~SimHidBus() {
    {
        std::lock_guard lock(timerMutex_);
        stopping_ = true;
    }
    timerCv_.notify_all();
    timer_.join();
    std::lock_guard lock(mutex_);
    for (auto& node : nodes_) {
        node->alive = false;
        for (auto& w : node->pendingWrites) CompleteIo(w.io, false, 0, kErrorDeviceNotConnected);
        for (auto& r : node->pendingReads) CompleteIo(r.io, false, 0, kErrorDeviceNotConnected);
        node->pendingWrites.clear();
        node->pendingReads.clear();
        node->device->bus_ = nullptr;
    }
    if (log_) std::fclose(log_);
}

bool SimHidBus::ListInterfaces(std::vector<HidInterfaceEntry>* out) {
    if (!out) return false;
    out->clear();
    std::lock_guard lock(mutex_);
    for (auto& node : nodes_)
        for (auto& path : node->paths) out->push_back({path, kHidClassGuid, kInterfaceActive});
    return true;
}

std::unique_ptr<HidHandle> SimHidBus::Open(const std::string& path, uint32_t access, uint32_t share, bool overlapped,
                                           uint32_t* error) {
    const std::string wanted = Lower(path);
    std::lock_guard lock(mutex_);
    for (auto& node : nodes_) {
        for (size_t i = 0; i < node->paths.size(); ++i) {
            if (Lower(node->paths[i]) != wanted) continue;
            bool conflict = node->exclusive[i] && SharingConflicts(access, share, kAccessRead | kAccessWrite, 0);
            for (auto& o : node->opens[i]) conflict = conflict || SharingConflicts(access, share, o.access, o.share);
            if (conflict) {
                if (error) *error = kErrorSharingViolation;
                return nullptr;
            }
            uintptr_t id = nextHandleId_;
            nextHandleId_ += 4;
            node->opens[i].push_back({id, access, share});
            return std::make_unique<Handle>(this, node, i, access, share, overlapped, id);
        }
    }
    if (error) *error = kErrorFileNotFound;
    return nullptr;
}

std::unique_ptr<NamedLock> SimHidBus::CreateNamedLock(const std::string& name) {
    return std::make_unique<NamedLock>(name, options_.lockFolder);
}

HidNoticeSubscription SimHidBus::SubscribeNotices(std::function<void(const HidNotice&)> callback) {
    return hub_.Subscribe(std::move(callback));
}

void SimHidBus::Plug(std::shared_ptr<SimHidDevice> device) {
    if (!device) return;
    auto node = std::make_shared<Node>();
    node->attributes = device->Attributes();
    node->interfaces = device->Interfaces();
    const std::string instance = device->InstanceId();
    for (size_t i = 0; i < node->interfaces.size(); ++i)
        node->paths.push_back(BuildPath(node->attributes, node->interfaces[i], instance, i));
    node->exclusive.assign(node->interfaces.size(), false);
    node->opens.resize(node->interfaces.size());
    node->inputs.resize(node->interfaces.size());
    node->device = std::move(device);
    {
        std::lock_guard lock(mutex_);
        if (FindNodeLocked(node->device.get())) return;
        node->device->bus_ = this;
        nodes_.push_back(node);
    }
    for (auto& path : node->paths) hub_.Publish({kDeviceArrival, path});
}

void SimHidBus::Unplug(SimHidDevice* device) {
    std::shared_ptr<Node> node;
    {
        std::lock_guard lock(mutex_);
        node = FindNodeLocked(device);
        if (!node) return;
        node->alive = false;
        for (auto& w : node->pendingWrites) CompleteIo(w.io, false, 0, kErrorDeviceNotConnected);
        for (auto& r : node->pendingReads) CompleteIo(r.io, false, 0, kErrorDeviceNotConnected);
        node->pendingWrites.clear();
        node->pendingReads.clear();
        nodes_.erase(std::find(nodes_.begin(), nodes_.end(), node));
        node->device->bus_ = nullptr;
    }
    for (auto& path : node->paths) hub_.Publish({kDeviceRemoveComplete, path});
}

bool SimHidBus::IsPlugged(const SimHidDevice* device) const {
    std::lock_guard lock(mutex_);
    return FindNodeLocked(device) != nullptr;
}

std::shared_ptr<SimHidDevice> SimHidBus::SharedOf(const SimHidDevice* device) const {
    std::lock_guard lock(mutex_);
    auto node = FindNodeLocked(device);
    return node ? node->device : nullptr;
}

std::vector<std::string> SimHidBus::PathsOf(const SimHidDevice* device) const {
    std::lock_guard lock(mutex_);
    auto node = FindNodeLocked(device);
    return node ? node->paths : std::vector<std::string>{};
}

void SimHidBus::HoldExclusive(SimHidDevice* device, size_t iface, bool held) {
    std::lock_guard lock(mutex_);
    auto node = FindNodeLocked(device);
    if (node && iface < node->exclusive.size()) node->exclusive[iface] = held;
}

void SimHidBus::StallWrites(SimHidDevice* device, bool stalled) {
    std::shared_ptr<Node> node;
    {
        std::lock_guard lock(mutex_);
        node = FindNodeLocked(device);
        if (!node) return;
        node->stalled = stalled;
    }
    if (!stalled) DeliverPendingWrites(node);
}

void SimHidBus::RefuseFeatures(SimHidDevice* device, bool refused) {
    std::lock_guard lock(mutex_);
    if (auto node = FindNodeLocked(device)) node->refuseFeatures = refused;
}

void SimHidBus::FailCaps(SimHidDevice* device, bool failed) {
    std::lock_guard lock(mutex_);
    if (auto node = FindNodeLocked(device)) node->failCaps = failed;
}

void SimHidBus::SetWritesPend(bool pend) {
    std::lock_guard lock(mutex_);
    writesPend_ = pend;
}

void SimHidBus::PushInput(SimHidDevice* device, size_t iface, std::vector<uint8_t> report) {
    std::lock_guard lock(mutex_);
    auto node = FindNodeLocked(device);
    if (!node || iface >= node->inputs.size()) return;
    auto& reads = node->pendingReads;
    auto r = std::find_if(reads.begin(), reads.end(), [&](auto& p) { return p.iface == iface; });
    if (r == reads.end()) {
        node->inputs[iface].push_back(std::move(report));
        return;
    }
    size_t n = std::min(r->len, report.size());
    std::memcpy(r->buffer, report.data(), n);
    auto io = r->io;
    reads.erase(r);
    CompleteIo(io, true, n, 0);
}

void SimHidBus::Schedule(int64_t delayMs, std::function<void()> fn) {
    {
        std::lock_guard lock(timerMutex_);
        if (stopping_) return;
        timed_.push_back({std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max<int64_t>(0, delayMs)),
                          timedSeq_++, std::move(fn)});
    }
    timerCv_.notify_all();
}

std::vector<SimReport> SimHidBus::Reports() const {
    std::lock_guard lock(mutex_);
    return reports_;
}

void SimHidBus::ClearReports() {
    std::lock_guard lock(mutex_);
    reports_.clear();
}

int64_t SimHidBus::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
}

std::shared_ptr<SimHidBus::Node> SimHidBus::FindNodeLocked(const SimHidDevice* device) const {
    for (auto& node : nodes_)
        if (node->device.get() == device) return node;
    return nullptr;
}

SimReport SimHidBus::Record(const Node& node, size_t iface, const char* kind, const uint8_t* data, size_t len) {
    SimReport report;
    report.ms = NowMs();
    report.vendorId = node.attributes.vendorId;
    report.productId = node.attributes.productId;
    report.mi = node.interfaces[iface].mi;
    report.col = node.interfaces[iface].col;
    report.kind = kind;
    report.bytes.assign(data, data + len);
    std::lock_guard lock(mutex_);
    if (log_) {
        std::fprintf(log_, "%s\n", report.Format().c_str());
        std::fflush(log_);
    }
    reports_.push_back(report);
    return report;
}

int SimHidBus::AddReportObserver(std::function<void(const SimReport&)> observer) {
    std::lock_guard lock(observeMutex_);
    observers_.emplace_back(nextObserver_, std::move(observer));
    return nextObserver_++;
}

void SimHidBus::RemoveReportObserver(int token) {
    std::lock_guard deliver(observeDeliver_);
    std::lock_guard lock(observeMutex_);
    std::erase_if(observers_, [&](const auto& o) { return o.first == token; });
}

void SimHidBus::Observe(const SimReport& report) {
    std::lock_guard deliver(observeDeliver_);
    std::vector<std::function<void(const SimReport&)>> observers;
    {
        std::lock_guard lock(observeMutex_);
        for (auto& o : observers_) observers.push_back(o.second);
    }
    for (auto& observer : observers) observer(report);
}

bool SimHidBus::DeliverOutput(Node& node, size_t iface, const uint8_t* data, size_t len) {
    const SimReport report = Record(node, iface, "output", data, len);
    bool ok;
    {
        std::lock_guard call(node.call);
        ok = node.device->OnOutput(iface, data, len);
    }
    Observe(report);
    return ok;
}

void SimHidBus::DeliverPendingWrites(const std::shared_ptr<Node>& node) {
    for (;;) {
        Node::PendingWrite write;
        {
            std::lock_guard lock(mutex_);
            if (!node->alive || node->stalled || node->pendingWrites.empty()) return;
            write = std::move(node->pendingWrites.front());
            node->pendingWrites.pop_front();
        }
        bool ok = DeliverOutput(*node, write.iface, write.data.data(), write.data.size());
        std::lock_guard lock(mutex_);
        CompleteIo(write.io, ok, ok ? write.data.size() : 0, ok ? 0 : kErrorGenFailure);
    }
}

void SimHidBus::CompleteIo(const std::shared_ptr<IoState>& io, bool ok, size_t bytes, uint32_t error) {
    if (io->finished) return;
    io->finished = true;
    io->ok = ok;
    io->bytes = bytes;
    io->error = error;
    io->done.Set();
}

void SimHidBus::RunTimer() {
    std::unique_lock lock(timerMutex_);
    for (;;) {
        if (stopping_) return;
        if (timed_.empty()) {
            timerCv_.wait(lock);
            continue;
        }
        auto next = std::min_element(timed_.begin(), timed_.end(), [](const Timed& a, const Timed& b) {
            return a.due != b.due ? a.due < b.due : a.seq < b.seq;
        });
        if (next->due > std::chrono::steady_clock::now()) {
            timerCv_.wait_until(lock, next->due);
            continue;
        }
        auto fn = std::move(next->fn);
        timed_.erase(next);
        lock.unlock();
        fn();
        lock.lock();
    }
}

}  // namespace platform::sim
