#include <cstring>

#include <gtest/gtest.h>

#include "connection/clilib.h"

namespace {

TEST(WwnText, ParsesEightNumbers) {
    unsigned char wwn[8] = {};
    const char* text = "20:00:00:11:22:33:44:ff rest";
    EXPECT_EQ(parseWWNText(text, wwn), 23);
    const unsigned char expected[8] = {0x20, 0, 0, 0x11, 0x22, 0x33, 0x44, 0xFF};
    EXPECT_EQ(std::memcmp(wwn, expected, 8), 0);
    EXPECT_EQ(parseWWNText(text, nullptr), 23) << "check only";
}

TEST(WwnText, RefusesBadTexts) {
    unsigned char wwn[8] = {};
    for (const char* text : {"20:00:00:11:22:33:44", "100:00:00:11:22:33:44:55", "", "zz"}) {
        EXPECT_EQ(parseWWNText(text, wwn), -1) << text;
    }
    EXPECT_EQ(parseWWNText(nullptr, wwn), -1);
}

TEST(WwnText, FormatsAndCompares) {
    const unsigned char a[8] = {0x10, 0, 0, 0x60, 0x69, 0x12, 0x34, 0xAB};
    unsigned char b[8];
    std::memcpy(b, a, 8);
    char text[24];
    formatWWNText(a, text);
    EXPECT_STREQ(text, "10:00:00:60:69:12:34:ab");
    EXPECT_EQ(compareWWN(a, b), 0);
    b[7] = 0xAC;
    EXPECT_EQ(compareWWN(a, b), -1);
    EXPECT_EQ(compareWWN(b, a), 1);
}

TEST(Checksums, ByteSumAndImageChecksum) {
    const unsigned char data[] = {0xFF, 0x01, 0x02, 0x00, 0x80};
    EXPECT_EQ(byteSum(data, sizeof(data)), 0xFFu + 1 + 2 + 0x80);
    // Words 0x01FF and 0x0002; the odd last byte is ignored.
    EXPECT_EQ(imageChecksum16(data, sizeof(data)), static_cast<std::uint16_t>(0 - 0x0201));
    EXPECT_EQ(imageChecksum16(data, 0), 0);
}

TEST(LoopAddresses, IndexOfValidAddresses) {
    struct Case {
        unsigned int value;
        int index;
    };
    for (const Case c : {Case{0x00, 1}, Case{0x01, 2}, Case{0xEF, 127}, Case{0x03, 0},
                         Case{0xFF, 0}, Case{0x1D, 11}, Case{0x1EF, 127}}) {
        EXPECT_EQ(alpaToLoopIndex(c.value), c.index) << std::hex << c.value;
    }
}

} // namespace
