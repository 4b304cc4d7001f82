#include "platform/sim/SimFilterDriver.h"

#include <deque>

#include "platform/sim/SimKeySource.h"

namespace platform::sim {

class SimFilterDriver::Recorder final : public FilterEngine::Observer {
public:
    void OnRequest(const Request& request) override {
        std::lock_guard lock(mutex);
        Keep(requests, request);
        ++counts[request.code];
    }
    void OnPassedThrough(const Transition& key) override {
        std::lock_guard lock(mutex);
        Keep(passed, key);
    }

    template <class T>
    static void Keep(std::deque<T>& list, const T& item) {
        if (list.size() == kKeep) list.pop_front();
        list.push_back(item);
    }

    mutable std::mutex mutex;
    std::deque<Request> requests;
    std::map<uint32_t, size_t> counts;
    std::deque<Transition> passed;
};

SimFilterDriver::SimFilterDriver(SimKeySource* keys, Clock& clock, Options options)
    : FilterEngine(clock),
      keys_(keys),
      log_(std::make_shared<SimTraceLog>(options.logPath)),
      recorder_(std::make_shared<Recorder>()) {
    SetObserver(recorder_);
    if (log_->Enabled()) {
        std::weak_ptr<SimTraceLog> weak = log_;
        SetTraceSink([weak](const std::string& line) {
            if (auto log = weak.lock()) log->Line(line);
        });
    }
    if (keys_) {
        // Detached in the destructor before the engine goes, so no key can
        // arrive on a driver that is being destroyed.
        token_ =
            keys_->Attach([this](uint16_t page, uint16_t usage, bool pressed) { OnPhysicalKey(page, usage, pressed); });
    }
}

SimFilterDriver::~SimFilterDriver() {
    if (keys_) keys_->Detach(token_);
}

std::vector<FilterEngine::Request> SimFilterDriver::Requests() const {
    std::lock_guard lock(recorder_->mutex);
    return {recorder_->requests.begin(), recorder_->requests.end()};
}

size_t SimFilterDriver::CountRequests(uint32_t code) const {
    std::lock_guard lock(recorder_->mutex);
    auto it = recorder_->counts.find(code);
    return it == recorder_->counts.end() ? 0 : it->second;
}

void SimFilterDriver::ClearRequests() {
    std::lock_guard lock(recorder_->mutex);
    recorder_->requests.clear();
    recorder_->counts.clear();
}

std::vector<FilterEngine::Transition> SimFilterDriver::PassedThrough() const {
    std::lock_guard lock(recorder_->mutex);
    return {recorder_->passed.begin(), recorder_->passed.end()};
}

}  // namespace platform::sim
