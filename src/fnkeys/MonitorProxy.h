#pragma once

#include "fnkeys/IMonitorProxy.h"

namespace HidUsbFilter {

// Forwards key events to a member function of an owner object.
template <class T>
class MonitorProxy : public IMonitorProxy {
public:
    using Member = int32_t (T::*)(uint8_t usagePage, uint16_t usage, bool pressed);

    MonitorProxy(T* owner, Member member) : owner_(owner), member_(member) {}

    int32_t OnKeyEvent(uint8_t usagePage, uint16_t usage, bool pressed) override {
        return (owner_->*member_)(usagePage, usage, pressed);
    }

    bool Is(const T* owner, Member member) const { return owner_ == owner && member_ == member; }

private:
    T* owner_;
    Member member_;
};

}  // namespace HidUsbFilter
