#pragma once
// One present HID interface that matched a discovery request.

#include <cstdint>
#include <string>

#include "platform/HidTypes.h"

namespace hid {

struct HidInterfaceInfo {
    std::string path;
    platform::Guid classGuid;
    uint32_t flags = 0;
    int32_t vendorId = -1;       // from the path
    int32_t productId = -1;      // from the path
    uint16_t versionNumber = 0;  // HID attributes; 0 when the interface did not open
    uint16_t usagePage = 0;      // top-level collection; 0 when caps were not read
    uint16_t usage = 0;
};

}  // namespace hid
