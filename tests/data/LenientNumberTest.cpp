#include "data/LenientNumber.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* text;
    std::uint32_t unsignedDecimal;
    std::int32_t signedDecimal;
    std::uint32_t unsignedHex;
    std::int32_t signedHex;
};

TEST(LenientNumber, ReadsLikeThe32BitConversions) {
    const Case cases[] = {
        {"", 0, 0, 0, 0},
        {"abc", 0, 0, 0xABC, 0xABC},
        {"xyz", 0, 0, 0, 0},
        {"42", 42, 42, 0x42, 0x42},
        {"  \t\n42", 42, 42, 0x42, 0x42},
        {"+7", 7, 7, 7, 7},
        {"-1", 0xFFFFFFFFu, -1, 0xFFFFFFFFu, -1},
        {"- 1", 0, 0, 0, 0},  // no blank between sign and digits
        {"12abc", 12, 12, 0x12ABC, 0x12ABC},
        {"3.9", 3, 3, 3, 3},
        {"0x10", 0, 0, 0x10, 0x10},
        {"0X70004", 0, 0, 0x70004, 0x70004},
        {"-0x10", 0, 0, 0xFFFFFFF0u, -16},
        {"0x", 0, 0, 0, 0},
        {"0xg", 0, 0, 0, 0},
        {"4294967295", 0xFFFFFFFFu, 0x7FFFFFFF, 0xFFFFFFFFu, 0x7FFFFFFF},
        {"4294967296", 0xFFFFFFFFu, 0x7FFFFFFF, 0xFFFFFFFFu, 0x7FFFFFFF},
        {"99999999999999999999999", 0xFFFFFFFFu, 0x7FFFFFFF, 0xFFFFFFFFu, 0x7FFFFFFF},
        {"2147483648", 2147483648u, 0x7FFFFFFF, 0xFFFFFFFFu, 0x7FFFFFFF},
        {"-2147483648", 2147483648u, INT32_MIN, 0xFFFFFFFFu, INT32_MIN},
        {"-2147483649", 2147483647u, INT32_MIN, 0xFFFFFFFFu, INT32_MIN},
        {"80000000", 80000000u, 80000000, 0x80000000u, 0x7FFFFFFF},
        {"ffffffff", 0, 0, 0xFFFFFFFFu, 0x7FFFFFFF},
        {"7fffffff", 7, 7, 0x7FFFFFFFu, 0x7FFFFFFF},
        {"100000000", 100000000u, 100000000, 0xFFFFFFFFu, 0x7FFFFFFF},
        {"000000000000000000001", 1, 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(LenientNumber::UnsignedDecimal(c.text), c.unsignedDecimal);
        EXPECT_EQ(LenientNumber::SignedDecimal(c.text), c.signedDecimal);
        EXPECT_EQ(LenientNumber::UnsignedHex(c.text), c.unsignedHex);
        EXPECT_EQ(LenientNumber::SignedHex(c.text), c.signedHex);
    }
}

TEST(LenientNumber, NullReadsAsZero) {
    EXPECT_EQ(LenientNumber::UnsignedDecimal(nullptr), 0u);
    EXPECT_EQ(LenientNumber::SignedHex(nullptr), 0);
}

}  // namespace
