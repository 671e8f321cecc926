#include "DecimalPrefix.h"

#include <gtest/gtest.h>

namespace {

TEST(DecimalPrefix, ReadsLikeAtoiWithinRange) {
    struct Case {
        const char* text;
        std::int32_t value;
        std::int16_t value16;
    };
    const Case cases[] = {
        {"42", 42, 42},
        {"3x", 3, 3},
        {"  -17;", -17, -17},
        {"+8", 8, 8},
        {"x3", 0, 0},
        {"", 0, 0},
        {"-", 0, 0},
        {"40000", 40000, 32767},
        {"-40000", -40000, -32768},
        {"99999999999999999999", 2147483647, 32767},
        {"-99999999999999999999", -2147483647 - 1, -32768},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(decimalPrefix(c.text), c.value) << c.text;
        EXPECT_EQ(decimalPrefix16(c.text), c.value16) << c.text;
    }
}

} // namespace
