#include "platform/linux/HidReportDescriptor.h"

#include <algorithm>
#include <map>

namespace platform::linuxhid {
namespace {

struct Globals {
    uint32_t usagePage = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

// The longest report of a kind, plus the byte in front (the report id, or 0
// when the device has no ids).
uint16_t LengthOf(const std::map<uint32_t, uint32_t>& bitsById) {
    uint32_t longest = 0;
    for (auto& [id, bits] : bitsById) longest = std::max(longest, (bits + 7) / 8);
    if (bitsById.empty()) return 0;
    return static_cast<uint16_t>(std::min<uint32_t>(longest + 1, 0xFFFF));
}

}  // namespace

std::vector<HidCollectionInfo> ParseReportDescriptor(const uint8_t* data, size_t len) {
    std::vector<HidCollectionInfo> out;
    Globals g;
    std::vector<Globals> stack;
    uint32_t usage = 0;  // last local usage (extended: page in the high half)
    bool usageExtended = false;
    int depth = 0;
    bool anyIds = false;
    // Per open top-level collection: bits per report id for input, output, feature.
    std::map<uint32_t, uint32_t> bits[3];
    HidCollectionInfo current;

    size_t i = 0;
    while (data && i < len) {
        uint8_t prefix = data[i++];
        if (prefix == 0xFE) {  // long item: skip
            if (i + 2 > len) break;
            size_t size = data[i];
            i += 2 + size;
            continue;
        }
        size_t size = prefix & 3;
        if (size == 3) size = 4;
        if (i + size > len) break;
        uint32_t value = 0;
        for (size_t k = 0; k < size; ++k) value |= uint32_t{data[i + k]} << (8 * k);
        i += size;
        const uint8_t type = (prefix >> 2) & 3;
        const uint8_t tag = prefix >> 4;

        if (type == 1) {  // global
            switch (tag) {
            case 0x0:
                g.usagePage = value;
                break;
            case 0x7:
                g.reportSize = value;
                break;
            case 0x8:
                g.reportId = value;
                anyIds = true;
                break;
            case 0x9:
                g.reportCount = value;
                break;
            case 0xA:
                stack.push_back(g);
                break;
            case 0xB:
                if (!stack.empty()) {
                    g = stack.back();
                    stack.pop_back();
                }
                break;
            default:
                break;
            }
        } else if (type == 2) {  // local
            if (tag == 0x0 && usage == 0) {
                usage = value;
                usageExtended = size == 4;
            }
        } else if (type == 0) {  // main
            switch (tag) {
            case 0x8:
            case 0x9:
            case 0xB: {  // input, output, feature
                if (depth > 0) {
                    int kind = tag == 0x8 ? 0 : tag == 0x9 ? 1 : 2;
                    bits[kind][g.reportId] += g.reportSize * g.reportCount;
                }
                break;
            }
            case 0xA:  // collection
                if (depth == 0) {
                    current = {};
                    uint32_t page = usageExtended ? usage >> 16 : g.usagePage;
                    current.caps.usagePage = static_cast<uint16_t>(page);
                    current.caps.usage = static_cast<uint16_t>(usage & 0xFFFF);
                    for (auto& b : bits) b.clear();
                }
                ++depth;
                break;
            case 0xC:  // end collection
                if (depth == 0) return out;
                if (--depth == 0) {
                    current.caps.inputReportLength = LengthOf(bits[0]);
                    current.caps.outputReportLength = LengthOf(bits[1]);
                    current.caps.featureReportLength = LengthOf(bits[2]);
                    current.usesReportIds = anyIds;
                    out.push_back(current);
                }
                break;
            default:
                break;
            }
            usage = 0;
            usageExtended = false;
        }
    }
    return out;
}

}  // namespace platform::linuxhid
