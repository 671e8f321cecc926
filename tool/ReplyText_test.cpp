#include "ReplyText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ReplyText, FormatWwnTogglesTheColonForm) {
    struct Case {
        std::string in;
        std::size_t outSize;
        std::string out;
    };
    const Case cases[] = {
        {"1000006069000001", 64, "10:00:00:60:69:00:00:01"},
        {"10000060", 64, "10:00:00:60:"},
        {"10:00:00:60:69:00:00:01", 64, "1000006069000001"},
        {"10:zz", 64, "10zz"}, // a colon text is copied as it is
        {"10g0", 64, "10:X0:"},
        {"100000606900000123", 64, "10:00:00:60:69:00:00:0123"},
        {"1000006069000001", 24, "10:00:00:60:69:00:00:01"},
        {"10000060690000010203", 24, "10:00:00:60:69:00:00:01"}, // 23 at most
        {"", 64, ""},
    };
    for (const Case& c : cases) {
        std::string out = "stale";
        EXPECT_EQ(formatWwn(c.in, out, c.outSize), c.out.size() + 1) << c.in;
        EXPECT_EQ(out, c.out) << c.in;
    }
    std::string out = "stale";
    EXPECT_EQ(formatWwn("1000006069000001", out, 23), 0u);
    EXPECT_EQ(out, "");
}

} // namespace
