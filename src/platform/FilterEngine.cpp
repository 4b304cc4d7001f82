#include "platform/FilterEngine.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <list>
#include <map>
#include <mutex>
#include <set>

#include "platform/Event.h"

namespace platform {
namespace {

constexpr uint32_t kPrepareFirst = 0x226008;
constexpr uint32_t kPrepareSecond = 0x22600C;
constexpr uint32_t kCapture = 0x226010;
constexpr uint32_t kKeyRequest = 0x226044;
constexpr uint32_t kKeyTable = 0x22A000;
constexpr size_t kMaxQueued = 1024;

std::string Hex(const std::vector<uint8_t>& bytes) {
    std::string s;
    char t[4];
    for (size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(t, sizeof t, i ? " %02x" : "%02x", bytes[i]);
        s += t;
    }
    return s;
}

struct Pending {
    const void* channel = nullptr;
    uint8_t* out = nullptr;
    Event done{true, false};
    bool completed = false;
};

}  // namespace

struct FilterEngine::Core {
    explicit Core(Clock& c) : clock(c), start(c.NowMs()) {}

    Clock& clock;
    const int64_t start;
    std::function<void(const std::string&)> trace;
    KeySink passThrough;

    mutable std::mutex mutex;
    std::condition_variable changed;
    bool installed = true;
    bool refuse = false;
    bool capture = false;
    std::set<uint32_t> table;
    std::map<uint32_t, bool> down;  // key -> intercepted at its press
    std::deque<std::array<uint8_t, 4>> queue;
    std::list<Pending*> pending;
    std::shared_ptr<Observer> observer;
    int handles = 0;
    std::function<void()> hook;

    FilterResult Control(const void* channel, uint32_t accessBits, bool closed, uint32_t code, const uint8_t* in,
                         size_t inLen, uint8_t* out, size_t outLen, Event* cancel);
    void CancelAll(const void* channel);
    void Closing(const void* channel);
    void Key(uint16_t page, uint16_t usage, bool pressed);
};

namespace {

class Channel final : public FilterChannel {
public:
    Channel(std::shared_ptr<FilterEngine::Core> core, uint32_t access) : core_(std::move(core)) {
        if (access & kGenericRead) accessBits_ |= kControlAccessRead;
        if (access & kGenericWrite) accessBits_ |= kControlAccessWrite;
        std::lock_guard lock(core_->mutex);
        ++core_->handles;
    }
    ~Channel() override { core_->Closing(this); }
    FilterResult Control(uint32_t code, const uint8_t* in, size_t inLen, uint8_t* out, size_t outLen,
                         Event* cancel) override {
        return core_->Control(this, accessBits_, false, code, in, inLen, out, outLen, cancel);
    }
    void CancelAll() override { core_->CancelAll(this); }

private:
    std::shared_ptr<FilterEngine::Core> core_;
    uint32_t accessBits_ = 0;
};

}  // namespace

FilterResult FilterEngine::Core::Control(const void* channel, uint32_t accessBits, bool, uint32_t code,
                                         const uint8_t* in, size_t inLen, uint8_t* out, size_t outLen, Event* cancel) {
    if (code == kKeyRequest) {
        std::function<void()> h;
        {
            std::lock_guard hookLock(mutex);
            h = hook;
        }
        if (h) h();
    }
    std::unique_lock lock(mutex);
    const int64_t ms = clock.NowMs() - start;
    auto sink = trace;
    auto watcher = observer;
    if (sink || watcher) {
        // Only an observer or a trace gets a copy of the request; nothing stays.
        const Request request{ms, code, std::vector<uint8_t>(in, in + inLen)};
        lock.unlock();
        if (sink) {
            char head[64];
            std::snprintf(head, sizeof head, "%lld vhidflt -- -- ioctl:%x", static_cast<long long>(ms), code);
            const std::string bytes = Hex(request.input);
            sink(bytes.empty() ? std::string(head) : head + (" " + bytes));
        }
        if (watcher) watcher->OnRequest(request);
        lock.lock();
    }
    changed.notify_all();
    if (refuse || !installed) return FilterResult::kRefused;
    if ((ControlAccess(code) & ~accessBits) != 0) return FilterResult::kRefused;

    switch (code) {
    case kPrepareFirst:
        if (inLen != 0 || outLen != 0) return FilterResult::kRefused;
        capture = false;
        return FilterResult::kCompleted;
    case kPrepareSecond:
        if (inLen != 0 || outLen != 0) return FilterResult::kRefused;
        queue.clear();
        return FilterResult::kCompleted;
    case kCapture: {
        if (inLen != 4 || outLen != 0) return FilterResult::kRefused;
        uint32_t value = 0;
        std::memcpy(&value, in, 4);
        if (value != 0) return FilterResult::kRefused;
        capture = true;
        return FilterResult::kCompleted;
    }
    case kKeyTable: {
        if ((inLen != 1024 && inLen != 256) || outLen != 0) return FilterResult::kRefused;
        table.clear();
        for (size_t i = 0; i + 4 <= inLen; i += 4) {
            if ((in[i + 3] & 0x02) == 0) continue;
            const uint16_t usage = static_cast<uint16_t>(in[i] | (in[i + 1] << 8));
            table.insert((uint32_t{in[i + 2]} << 16) | (usage & 0xFF));
        }
        return FilterResult::kCompleted;
    }
    case kKeyRequest: {
        if (inLen != 0 || outLen != 4 || !out) return FilterResult::kRefused;
        if (!queue.empty()) {
            std::memcpy(out, queue.front().data(), 4);
            queue.pop_front();
            return FilterResult::kCompleted;
        }
        Pending p;
        p.channel = channel;
        p.out = out;
        pending.push_back(&p);
        changed.notify_all();
        lock.unlock();
        // Through the clock, so an emulated one sees a reader here as waiting.
        clock.WaitAny({&p.done, cancel}, Event::kInfinite);
        lock.lock();
        if (p.completed) return FilterResult::kCompletedAfterPending;
        // Capture stays: a re-open ends the old handle's request this way, and
        // the reader asks again on the new one at once.
        pending.remove(&p);
        changed.notify_all();
        return FilterResult::kCancelled;
    }
    default:
        return FilterResult::kRefused;
    }
}

void FilterEngine::Core::Closing(const void* channel) {
    std::lock_guard lock(mutex);
    for (auto it = pending.begin(); it != pending.end();) {
        if ((*it)->channel == channel) {
            (*it)->done.Set();
            it = pending.erase(it);
        } else {
            ++it;
        }
    }
    if (--handles == 0) capture = false;  // nobody is left to read
    changed.notify_all();
}

void FilterEngine::Core::CancelAll(const void* channel) {
    std::lock_guard lock(mutex);
    capture = false;  // the program stops reading
    for (auto it = pending.begin(); it != pending.end();) {
        if ((*it)->channel == channel) {
            (*it)->done.Set();  // not completed: the waiter reports a cancellation
            it = pending.erase(it);
        } else {
            ++it;
        }
    }
    changed.notify_all();
}

void FilterEngine::Core::Key(uint16_t page, uint16_t usage, bool pressed) {
    std::unique_lock lock(mutex);
    const uint32_t key = (uint32_t{page} << 16) | usage;
    const bool listed = capture || table.count((uint32_t{page} << 16) | (usage & 0xFF)) != 0;
    bool intercept = listed;
    if (pressed) {
        down[key] = listed;
    } else {
        auto it = down.find(key);
        if (it != down.end()) {
            intercept = it->second;
            down.erase(it);
        }
    }
    if (!intercept) {
        auto sink = passThrough;
        auto watcher = observer;
        lock.unlock();
        if (sink) sink(page, usage, pressed);
        if (watcher) watcher->OnPassedThrough({page, usage, pressed});
        return;
    }
    std::array<uint8_t, 4> ev{static_cast<uint8_t>(usage & 0xFF), static_cast<uint8_t>(usage >> 8),
                              static_cast<uint8_t>(page), static_cast<uint8_t>(pressed ? 1 : 0)};
    if (!pending.empty()) {
        Pending* p = pending.front();
        pending.pop_front();
        std::memcpy(p->out, ev.data(), 4);
        p->completed = true;
        p->done.Set();
    } else {
        if (queue.size() >= kMaxQueued) queue.pop_front();
        queue.push_back(ev);
    }
    changed.notify_all();
}

FilterEngine::FilterEngine(Clock& clock) : core_(std::make_shared<Core>(clock)) {}

FilterEngine::~FilterEngine() = default;

void FilterEngine::SetPassThroughSink(KeySink sink) {
    std::lock_guard lock(core_->mutex);
    core_->passThrough = std::move(sink);
}

void FilterEngine::SetObserver(std::shared_ptr<Observer> observer) {
    std::lock_guard lock(core_->mutex);
    core_->observer = std::move(observer);
}

void FilterEngine::SetTraceSink(std::function<void(const std::string&)> sink) {
    std::lock_guard lock(core_->mutex);
    core_->trace = std::move(sink);
}

std::unique_ptr<FilterChannel> FilterEngine::Open(const std::string& path, uint32_t access, uint32_t,
                                                  uint32_t disposition, uint32_t, uint32_t* error) {
    {
        std::lock_guard lock(core_->mutex);
        if (!core_->installed || path != kDevicePath || disposition != kOpenExisting) {
            if (error) *error = 2;
            return nullptr;
        }
    }
    return std::make_unique<Channel>(core_, access);
}

void FilterEngine::SetInstalled(bool installed) {
    std::lock_guard lock(core_->mutex);
    core_->installed = installed;
}

bool FilterEngine::Installed() const {
    std::lock_guard lock(core_->mutex);
    return core_->installed;
}

void FilterEngine::RefuseRequests(bool refuse) {
    std::lock_guard lock(core_->mutex);
    core_->refuse = refuse;
}

void FilterEngine::OnPhysicalKey(uint16_t page, uint16_t usage, bool pressed) { core_->Key(page, usage, pressed); }

std::vector<uint32_t> FilterEngine::KeyTable() const {
    std::lock_guard lock(core_->mutex);
    return {core_->table.begin(), core_->table.end()};
}

bool FilterEngine::Capturing() const {
    std::lock_guard lock(core_->mutex);
    return core_->capture;
}

size_t FilterEngine::PendingKeyRequests() const {
    std::lock_guard lock(core_->mutex);
    return core_->pending.size();
}

size_t FilterEngine::QueuedEvents() const {
    std::lock_guard lock(core_->mutex);
    return core_->queue.size();
}

int FilterEngine::OpenHandles() const {
    std::lock_guard lock(core_->mutex);
    return core_->handles;
}

bool FilterEngine::WaitForPendingKeyRequests(size_t n, int64_t timeoutMs) {
    std::unique_lock lock(core_->mutex);
    return core_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return core_->pending.size() >= n; });
}

void FilterEngine::SetKeyRequestHook(std::function<void()> hook) {
    std::lock_guard lock(core_->mutex);
    core_->hook = std::move(hook);
}

}  // namespace platform
