#include "platform/sim/SimReport.h"

#include <cstdio>

namespace platform::sim {

std::string SimReport::Hex(const std::vector<uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 3);
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i) out += ' ';
        out += digits[bytes[i] >> 4];
        out += digits[bytes[i] & 15];
    }
    return out;
}

std::string SimReport::Format() const {
    auto part = [](int v) -> std::string {
        if (v < 0) return "--";
        char t[16];
        std::snprintf(t, sizeof t, "%02x", static_cast<unsigned>(v));
        return t;
    };
    char head[64];
    std::snprintf(head, sizeof head, "%lld %04x:%04x ", static_cast<long long>(ms), vendorId, productId);
    return head + part(mi) + " " + part(col) + " " + kind + " " + Hex(bytes);
}

}  // namespace platform::sim
