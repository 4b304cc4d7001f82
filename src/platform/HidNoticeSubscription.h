#pragma once
// A subscriber's registration for device notices; dropping it unsubscribes.
// Notices already being delivered when it is dropped finish first.

#include <functional>
#include <utility>

namespace platform {

class HidNoticeSubscription {
public:
    HidNoticeSubscription() = default;
    explicit HidNoticeSubscription(std::function<void()> unsubscribe) : unsubscribe_(std::move(unsubscribe)) {}
    ~HidNoticeSubscription() { Reset(); }
    HidNoticeSubscription(HidNoticeSubscription&& o) noexcept : unsubscribe_(std::exchange(o.unsubscribe_, {})) {}
    HidNoticeSubscription& operator=(HidNoticeSubscription&& o) noexcept {
        if (this != &o) {
            Reset();
            unsubscribe_ = std::exchange(o.unsubscribe_, {});
        }
        return *this;
    }
    HidNoticeSubscription(const HidNoticeSubscription&) = delete;
    HidNoticeSubscription& operator=(const HidNoticeSubscription&) = delete;

    explicit operator bool() const { return static_cast<bool>(unsubscribe_); }
    void Reset() {
        if (unsubscribe_) std::exchange(unsubscribe_, {})();
    }

private:
    std::function<void()> unsubscribe_;
};

}  // namespace platform
