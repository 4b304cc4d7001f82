#include "hid/DeviceNotice.h"

#include "hid/DevicePath.h"
#include "platform/HidBackend.h"

namespace hid {

bool ParseDeviceNotice(int event, std::string_view path, const HidMatchRow* rows, size_t rowCount, DeviceNotice* out) {
    if (event != platform::kDeviceArrival && event != platform::kDeviceRemoveComplete) return false;
    DeviceNotice notice;
    notice.event = event;
    if (!ParseDevicePath(path, &notice.vendorId, &notice.productId, &notice.interfaceNumber, &notice.collectionNumber))
        return false;
    for (size_t i = 0; rows && i < rowCount; ++i) {
        const HidMatchRow& r = rows[i];
        if (r.vendorId == notice.vendorId && r.productId == notice.productId &&
            r.interfaceNumber == notice.interfaceNumber && r.collectionNumber == notice.collectionNumber) {
            notice.row = static_cast<int>(i);
            break;
        }
    }
    if (out) *out = notice;
    return true;
}

platform::HidNoticeSubscription RegisterDeviceNotices(std::function<void(const platform::HidNotice&)> callback,
                                                      platform::HidBackend* backend) {
    if (!callback) return {};
    return (backend ? *backend : platform::CurrentHid()).SubscribeNotices(std::move(callback));
}

}  // namespace hid
