#pragma once
// One report received by an emulated device, as recorded by the bus.

#include <cstdint>
#include <string>
#include <vector>

namespace platform::sim {

struct SimReport {
    int64_t ms = 0;  // since the bus started
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    int mi = -1;
    int col = -1;
    std::string kind;  // "set_feature", "get_feature" (the reply) or "output"
    std::vector<uint8_t> bytes;

    // "<ms> <vid>:<pid> <mi> <col> <kind> <bytes>", e.g.
    // "2013 1a2c:7080 01 07 set_feature 07 ff ff 03 02 04 01 02" (no newline).
    std::string Format() const;
    // The bytes alone, "07 ff ff ...".
    static std::string Hex(const std::vector<uint8_t>& bytes);
};

}  // namespace platform::sim
