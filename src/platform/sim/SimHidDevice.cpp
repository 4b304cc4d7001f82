#include "platform/sim/SimHidDevice.h"

#include <cstdio>

namespace platform::sim {

bool SimHidDevice::OnSetFeature(size_t, const uint8_t*, size_t) { return false; }
bool SimHidDevice::OnGetFeature(size_t, uint8_t*, size_t) { return false; }
bool SimHidDevice::OnOutput(size_t, const uint8_t*, size_t) { return false; }

std::string SimHidDevice::InstanceId() const {
    HidAttributes a = Attributes();
    // Stable across replugs, like the instance ids the system hands out per port.
    uint32_t mix = (uint32_t{a.vendorId} << 16 | a.productId) * 2654435761u;
    char text[24];
    std::snprintf(text, sizeof text, "7&%08x&0", static_cast<unsigned>(mix));
    return text;
}

}  // namespace platform::sim
