#pragma once
// Fan-out of device notices to subscribers, shared by the backends. Publish calls
// every subscriber on the publishing thread (the sim: whoever plugs; linux: the
// monitor thread). Subscribers that need another thread post onwards themselves.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/HidNoticeSubscription.h"
#include "platform/HidTypes.h"

namespace platform {

class HidNoticeHub {
public:
    using Callback = std::function<void(const HidNotice&)>;

    HidNoticeHub();
    ~HidNoticeHub();
    HidNoticeHub(const HidNoticeHub&) = delete;
    HidNoticeHub& operator=(const HidNoticeHub&) = delete;

    HidNoticeSubscription Subscribe(Callback callback);
    void Publish(const HidNotice& notice);
    bool HasSubscribers() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace platform
