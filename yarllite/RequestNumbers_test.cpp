#include "yarllite/RequestNumbers.h"

#include <climits>

#include <gtest/gtest.h>

TEST(RequestNumbers, DecimalTakesTheLeadingDigitsAndHoldsAtTheIntRange) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"12", 12},
        {" \n-7x", -7},
        {"+3", 3},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"2147483647", INT_MAX},
        {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value, readDecimal(c.text)) << c.text;
    }
}

TEST(RequestNumbers, HexIsRefusedOnlyWhenItDoesNotFit) {
    EXPECT_EQ(2u, readHex("2", 0xFFFF));
    EXPECT_EQ(31u, readHex("0x1f", 0xFFFF));
    EXPECT_EQ(255u, readHex(" fFz9", 0xFFFF)) << "digits after the last valid one are ignored";
    EXPECT_EQ(0u, readHex("zz", 0xFFFF));
    EXPECT_EQ(0u, readHex("", 0xFFFF));
    EXPECT_EQ(0xFFFFu, readHex("0000ffff", 0xFFFF)) << "leading zeros do not count";
    EXPECT_FALSE(readHex("10000", 0xFFFF));
    EXPECT_FALSE(readHex("ffffffffffffffffffff", 0xFFFF));
}
