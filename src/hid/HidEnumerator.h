#pragma once
// Discovery: the present HID interfaces whose path matches a request.

#include <cstdint>
#include <vector>

#include "hid/HidInterfaceInfo.h"

namespace platform {
class HidBackend;
}

namespace hid {

// vendor <= 0: any vendor. productCount <= 0 or no products: any product.
// interfaceNumber / collectionNumber: -1 any (absent parts included), >= 0 must
// equal the path's part, other negatives match nothing. With neither a vendor
// nor products the result is empty without enumerating. Matching interfaces are
// opened once (read/write, shared, overlapped) for their version and usage; one
// that does not open is listed with zeros. backend null: platform::CurrentHid().
std::vector<HidInterfaceInfo> EnumerateHidInterfaces(int32_t vendor, int32_t productCount, const int32_t* products,
                                                     int32_t interfaceNumber, int32_t collectionNumber,
                                                     platform::HidBackend* backend = nullptr);

}  // namespace hid
