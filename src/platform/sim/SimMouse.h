#pragma once
// An unrelated HID device on the emulated bus: a plain mouse.

#include "platform/sim/SimHidDevice.h"

namespace platform::sim {

class SimMouse final : public SimHidDevice {
public:
    static constexpr uint16_t kVendorId = 0x3F3F;
    static constexpr uint16_t kProductId = 0x0001;

    HidAttributes Attributes() const override { return {kVendorId, kProductId, 0x0210}; }
    std::vector<SimInterface> Interfaces() const override { return {{-1, -1, {0x02, 0x01, 5, 0, 0}}}; }
};

}  // namespace platform::sim
