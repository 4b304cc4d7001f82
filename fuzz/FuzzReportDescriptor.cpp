// Report descriptors are written by the device's firmware: whatever bytes a
// device hands the kernel reach this parser.
#include <cstddef>
#include <cstdint>

#include "platform/linux/HidReportDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto collections = platform::linuxhid::ParseReportDescriptor(data, size);
    // Every collection needs at least a collection and an end item (2 bytes).
    if (collections.size() > size / 2) __builtin_trap();
    return 0;
}
