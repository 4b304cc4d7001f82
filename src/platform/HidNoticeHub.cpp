#include "platform/HidNoticeHub.h"

#include <vector>

namespace platform {

struct HidNoticeHub::State {
    // Held while delivering, so that an unsubscribe waits for a running callback
    // (a subscriber may be destroyed right after dropping its subscription).
    std::recursive_mutex deliver;
    std::mutex mutex;
    std::map<uint64_t, Callback> callbacks;
    uint64_t next = 1;
};

HidNoticeHub::HidNoticeHub() : state_(std::make_shared<State>()) {}
HidNoticeHub::~HidNoticeHub() = default;

HidNoticeSubscription HidNoticeHub::Subscribe(Callback callback) {
    if (!callback) return {};
    uint64_t id;
    {
        std::lock_guard lock(state_->mutex);
        id = state_->next++;
        state_->callbacks.emplace(id, std::move(callback));
    }
    std::weak_ptr<State> weak = state_;
    return HidNoticeSubscription([weak, id] {
        if (auto state = weak.lock()) {
            std::lock_guard deliver(state->deliver);
            std::lock_guard lock(state->mutex);
            state->callbacks.erase(id);
        }
    });
}

void HidNoticeHub::Publish(const HidNotice& notice) {
    std::lock_guard deliver(state_->deliver);
    std::vector<uint64_t> ids;
    {
        std::lock_guard lock(state_->mutex);
        for (auto& [id, cb] : state_->callbacks) ids.push_back(id);
    }
    for (uint64_t id : ids) {
        Callback cb;
        {
            std::lock_guard lock(state_->mutex);
            auto it = state_->callbacks.find(id);
            if (it == state_->callbacks.end()) continue;
            cb = it->second;
        }
        cb(notice);
    }
}

bool HidNoticeHub::HasSubscribers() const {
    std::lock_guard lock(state_->mutex);
    return !state_->callbacks.empty();
}

}  // namespace platform
