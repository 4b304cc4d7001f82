#pragma once

#include <cstdint>

// Lenient number reading for the data files: leading white space and a sign
// are accepted and reading stops at the first character that is not a digit.
// Text without digits (or a null pointer) gives 0. The results follow the
// 32-bit C conversions the files were first written against, on every
// platform:
//  - unsigned: a negative number wraps around (so -1 survives a save and a
//    load), a magnitude above 0xFFFFFFFF gives 0xFFFFFFFF;
//  - signed: clamped to the 32-bit range.
// The hexadecimal forms also accept an optional "0x" or "0X" after the sign.
class LenientNumber {
public:
    static std::uint32_t UnsignedDecimal(const char* text);
    static std::int32_t SignedDecimal(const char* text);
    static std::uint32_t UnsignedHex(const char* text);
    static std::int32_t SignedHex(const char* text);
};
