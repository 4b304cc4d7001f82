#pragma once
// The supported keyboards, tried in this order when connecting.

#include <array>
#include <cstddef>
#include <cstdint>

#include "hid/DeviceNotice.h"

namespace protocol {

enum DeviceProtocol : int32_t {
    FeatureReports = 0,       // 8-byte feature reports with report id 7
    FramedOutputReports = 1,  // 64-byte output payloads starting BB AA 99 88
};

struct DeviceTableEntry {
    int32_t vendorId;
    int32_t productId;
    int32_t interfaceNumber;
    // -1: any collection when opening; no collection part when matching a notice.
    int32_t collectionNumber;
    DeviceProtocol protocol;
};

inline constexpr std::array<DeviceTableEntry, 2> DeviceTable{{
    {0x1A2C, 0x7080, 1, 7, FeatureReports},
    {0x1A2C, 0x7FFF, 2, -1, FramedOutputReports},
}};

// The rows in the form the notice matcher takes.
inline constexpr std::array<hid::HidMatchRow, DeviceTable.size()> DeviceTableRows{{
    {DeviceTable[0].vendorId, DeviceTable[0].productId, DeviceTable[0].interfaceNumber,
     DeviceTable[0].collectionNumber},
    {DeviceTable[1].vendorId, DeviceTable[1].productId, DeviceTable[1].interfaceNumber,
     DeviceTable[1].collectionNumber},
}};

// A device notice matched against DeviceTable (see hid::ParseDeviceNotice).
inline bool MatchKeyboardNotice(int event, std::string_view path, hid::DeviceNotice* out) {
    return hid::ParseDeviceNotice(event, path, DeviceTableRows.data(), DeviceTableRows.size(), out);
}

}  // namespace protocol
