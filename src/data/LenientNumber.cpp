#include "data/LenientNumber.h"

#include <limits>

namespace {

struct Scanned {
    bool negative = false;
    bool overflow = false;  // magnitude above 0xFFFFFFFF
    std::uint64_t magnitude = 0;
};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int DigitValue(char c, int base) {
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v < base ? v : -1;
}

Scanned Scan(const char* s, int base) {
    Scanned r;
    if (!s) return r;
    while (IsSpace(*s)) ++s;
    if (*s == '+' || *s == '-') {
        r.negative = *s == '-';
        ++s;
    }
    // "0x" only counts as a prefix when a hex digit follows; "0xg" reads as 0.
    if (base == 16 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') && DigitValue(s[2], 16) >= 0) s += 2;
    constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
    for (int d; (d = DigitValue(*s, base)) >= 0; ++s) {
        if (r.overflow) continue;
        r.magnitude = r.magnitude * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (r.magnitude > kMax) r.overflow = true;
    }
    return r;
}

std::uint32_t ToUnsigned(const Scanned& r) {
    if (r.overflow) return std::numeric_limits<std::uint32_t>::max();
    const auto m = static_cast<std::uint32_t>(r.magnitude);
    return r.negative ? static_cast<std::uint32_t>(0u - m) : m;
}

std::int32_t ToSigned(const Scanned& r) {
    constexpr std::uint64_t kPosMax = std::numeric_limits<std::int32_t>::max();
    if (!r.negative) {
        return (r.overflow || r.magnitude > kPosMax) ? std::numeric_limits<std::int32_t>::max()
                                                     : static_cast<std::int32_t>(r.magnitude);
    }
    if (r.overflow || r.magnitude > kPosMax + 1) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(r.magnitude));
}

}  // namespace

std::uint32_t LenientNumber::UnsignedDecimal(const char* text) { return ToUnsigned(Scan(text, 10)); }
std::int32_t LenientNumber::SignedDecimal(const char* text) { return ToSigned(Scan(text, 10)); }
std::uint32_t LenientNumber::UnsignedHex(const char* text) { return ToUnsigned(Scan(text, 16)); }
std::int32_t LenientNumber::SignedHex(const char* text) { return ToSigned(Scan(text, 16)); }
