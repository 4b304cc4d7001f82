// Interface paths come from the system and from device notices: any text must
// parse or be refused without reading outside it, and a parsed path must match
// the notice table consistently.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "hid/DevicePath.h"
#include "protocol/DeviceTable.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view path(reinterpret_cast<const char*>(data), size);
    int32_t vid = 0, pid = 0, mi = 0, col = 0;
    if (hid::ParseDevicePath(path, &vid, &pid, &mi, &col)) {
        if (vid < 0 || vid > 0xFFFF || pid < 0 || pid > 0xFFFF || mi < -1 || mi > 0xFF || col < -1 || col > 0xFF)
            __builtin_trap();
    }
    hid::DeviceNotice notice;
    if (protocol::MatchKeyboardNotice(0x8000, path, &notice) && notice.row >= 0) {
        const auto& row = protocol::DeviceTable[static_cast<size_t>(notice.row)];
        if (row.productId != notice.productId || row.collectionNumber != notice.collectionNumber) __builtin_trap();
    }
    return 0;
}
