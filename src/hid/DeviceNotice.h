#pragma once
// Device arrival and removal notices, as the main window sees them: the notice's
// path turned into ids and matched against the supported keyboards' rows.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/HidNoticeSubscription.h"
#include "platform/HidTypes.h"

namespace platform {
class HidBackend;
}

namespace hid {

// One row to match against: vendor, product, interface and collection numbers.
struct HidMatchRow {
    int32_t vendorId;
    int32_t productId;
    int32_t interfaceNumber;
    int32_t collectionNumber;
};

struct DeviceNotice {
    int event = 0;  // platform::kDeviceArrival or kDeviceRemoveComplete
    int32_t vendorId = -1;
    int32_t productId = -1;
    int32_t interfaceNumber = -1;
    int32_t collectionNumber = -1;
    int row = -1;  // index of the first row whose four numbers all equal; -1 none
};

// False for events other than arrival and removal and for paths that do not
// parse (non-HID interfaces, upper-case markers): those notices are ignored.
// Otherwise fills *out; a -1 part matches only a row with -1 there.
bool ParseDeviceNotice(int event, std::string_view path, const HidMatchRow* rows, size_t rowCount, DeviceNotice* out);

// Subscribes to the backend's notices (null: the current backend's). The
// callback runs on the backend's notice thread; a window posts onwards to its
// own thread.
platform::HidNoticeSubscription RegisterDeviceNotices(std::function<void(const platform::HidNotice&)> callback,
                                                      platform::HidBackend* backend = nullptr);

}  // namespace hid
