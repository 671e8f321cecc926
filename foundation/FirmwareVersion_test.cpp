#include "foundation/FirmwareVersion.h"

#include <gtest/gtest.h>

#include <string>

TEST(FirmwareVersionTest, MatchesMajorAndMinorNumbers) {
    struct Case {
        const char* text;
        unsigned major;
        unsigned minor;
        bool matches;
    };
    const Case cases[] = {
        {"v2.3.1", 2, 3, true},
        {"2.3", 2, 3, true},
        {"V2.3", 2, 3, true},
        {"v4.0.2", 4, 0, true},
        {"v3.0.2", 3, 0, true},
        {"v3.1.0", 3, 0, false},
        {"v2.2.1c", 2, 2, true},
        {"v2.6.0", 2, 6, true},
        {"v4.1.0", 4, 1, true},
        {"10.1", 1, 0, false},
        {"10.1", 10, 1, true},
        {"v10.1.2", 10, 1, true},
        {"2.30", 2, 3, false},
        {"2.30", 2, 30, true},
        {"1.0", 10, 1, false},
        {"vv2.3", 2, 3, false},
        {"v2", 2, 0, false},
        {"v2.", 2, 0, false},
        {"v.3", 0, 3, false},
        {"unknown", 2, 3, false},
        {"", 0, 0, false},
        {"v99999999999.1", 1215752191, 1, false}, // a huge major matches nothing
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirmwareVersion(c.text).matches(c.major, c.minor), c.matches)
            << c.text << " vs " << c.major << "." << c.minor;
    }
}

TEST(FirmwareVersionTest, KnownAndEqualTexts) {
    EXPECT_FALSE(FirmwareVersion("unknown").isKnown());
    EXPECT_FALSE(FirmwareVersion(UnknownVersionText).isKnown());
    EXPECT_TRUE(FirmwareVersion("v4.0.2").isKnown());
    EXPECT_TRUE(FirmwareVersion("unknown2").isKnown());
    EXPECT_TRUE(FirmwareVersion("").isKnown());

    EXPECT_TRUE(FirmwareVersion("v4.1.0").equals(FirmwareVersion("v4.1.0")));
    EXPECT_FALSE(FirmwareVersion("v4.1.0").equals(FirmwareVersion("v4.1.1")));
}

TEST(FirmwareVersionTest, Compare) {
    struct Case {
        const char* a;
        const char* b;
        int order;
    };
    const Case cases[] = {
        {"/fabos", "v4.0.0", 1},
        {"v4.0.0", "/fabos", -1},
        {"/a", "/b", -1},
        {"v3.1.0", "v4.0.0", -1},
        {"v4.0.0", "v3.1.0", 1},
        {"v4.0.0", "v4.0.0", 0},
        {"a4.0", "b4.0", 0}, // the first characters are not compared
        {"v4.0", "v4.0.1", -1},
        {"v\x80", "v\x7f", 1}, // bytes as unsigned
        {"", "", 0},
        {"", "v", 0},
        {"", "v1", -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirmwareVersion(c.a).compare(FirmwareVersion(c.b)), c.order)
            << c.a << " vs " << c.b;
    }
}

// A text of 32 characters or more fills the field without a NUL; every
// operation stays inside the field (the sanitizers watch the reads).
TEST(FirmwareVersionTest, FullFieldWithoutNul) {
    const std::string longText = "v4.1.0_" + std::string(40, 'x');
    const FirmwareVersion full(longText.c_str());
    EXPECT_EQ(full.toString(), longText.substr(0, 32));
    EXPECT_EQ(std::string(full.copyText().get()), longText.substr(0, 32));
    EXPECT_TRUE(full.matches(4, 1));
    EXPECT_TRUE(full.isKnown());
    EXPECT_TRUE(full.equals(FirmwareVersion(longText.substr(0, 32).c_str())));
    EXPECT_EQ(full.compare(FirmwareVersion((longText + "y").c_str())), 0);

    const FirmwareVersion digits(std::string(40, '7').c_str());
    EXPECT_FALSE(digits.matches(7, 7));

    const FirmwareVersion nearlyFull(("1." + std::string(30, '5')).c_str());
    EXPECT_FALSE(nearlyFull.matches(1, 5));
}

TEST(FirmwareVersionTest, CopiesAndNullText) {
    const FirmwareVersion v("v2.6.1");
    const FirmwareVersion copy(v);
    EXPECT_EQ(copy.toString(), "v2.6.1");
    EXPECT_STREQ(v.copyText().get(), "v2.6.1");
    EXPECT_EQ(FirmwareVersion(nullptr).toString(), "");
}
