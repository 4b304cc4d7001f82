#pragma once

#include <cstdint>

namespace HidUsbFilter {

// A receiver of the filter driver's key events.
class IMonitorProxy {
public:
    virtual ~IMonitorProxy() = default;
    // Nonzero when the receiver consumed the event (later receivers do not see it).
    virtual int32_t OnKeyEvent(uint8_t usagePage, uint16_t usage, bool pressed) = 0;
};

}  // namespace HidUsbFilter
