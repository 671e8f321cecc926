#include "foundation/OidText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

namespace {

const unsigned char kSwitchName[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x12, 0x34, 0x56};

// An identifier field filled from `text`, the rest NUL.
struct Field {
    explicit Field(const std::string& text) {
        std::memset(oid, 0, sizeof oid);
        std::memcpy(oid, text.data(), std::min(text.size(), sizeof oid));
    }
    OID_t oid;
};

} // namespace

TEST(OidTextTest, FormatsTypeAndName) {
    std::string text;
    formatOidString(2, WWNAddress(kSwitchName), text);
    EXPECT_EQ(text, "00021000006069123456");

    formatOidString(0xFF00, WWNAddress(), text);
    EXPECT_EQ(text, "ff000000000000000000");

    OID_t buffer;
    std::memset(buffer, 'x', sizeof buffer);
    formatOidBuffer(WWNAddress(kSwitchName), buffer, 0xFFFA);
    EXPECT_STREQ(buffer, "fffa1000006069123456");
}

TEST(OidTextTest, ParsesTypeAndName) {
    struct Case {
        std::string text;
        int type;
        unsigned char name[8];
    };
    const Case cases[] = {
        {"00021000006069123456", 2, {0x10, 0x00, 0x00, 0x60, 0x69, 0x12, 0x34, 0x56}},
        // Longer forms: only the head is read.
        {"000a10000060691234560000000000000000000000000000",
         10,
         {0x10, 0x00, 0x00, 0x60, 0x69, 0x12, 0x34, 0x56}},
        // Either case.
        {"FFFAAABBCCDDEEFF0011", 0xFFFA, {0xaa, 0xbb, 0xcc, 0xdd, 0xee, 0xff, 0x00, 0x11}},
        // Too short: fields that cannot be read stay 0.
        {"0009100000", 9, {0x10, 0x00, 0x00, 0, 0, 0, 0, 0}},
        {"00091", 9, {0x01, 0, 0, 0, 0, 0, 0, 0}},
        {"", 0, {0, 0, 0, 0, 0, 0, 0, 0}},
        // A non-hex digit ends the reading.
        {"0002100000g069123456", 2, {0x10, 0x00, 0x00, 0, 0, 0, 0, 0}},
        {"zz021000006069123456", 0, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"00 21000006069123456", 0, {0, 0, 0, 0, 0, 0, 0, 0}},
        {"-0021000006069123456", 0, {0, 0, 0, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        const Field field(c.text);
        unsigned char name[8];
        std::memset(name, 0xEE, sizeof name);
        EXPECT_EQ(parseOidWwn(field.oid, name), c.type) << c.text;
        EXPECT_EQ(std::memcmp(name, c.name, 8), 0) << c.text;
    }
}

TEST(OidTextTest, FormatAndParseRoundTrip) {
    const unsigned char name[8] = {0x20, 0x01, 0x00, 0x05, 0x1e, 0xff, 0x80, 0x7f};
    OID_t oid;
    formatOidBuffer(WWNAddress(name), oid, 0x1234);
    unsigned char back[8] = {};
    EXPECT_EQ(parseOidWwn(oid, back), 0x1234);
    EXPECT_EQ(std::memcmp(back, name, 8), 0);
}

// A field of 48 hex digits has no NUL; parsing stays inside it. The field
// is the exact size of a heap block, so the sanitizer sees a read past it.
TEST(OidTextTest, ParsesFieldWithoutNul) {
    auto block = std::make_unique<OID_t[]>(1);
    std::memset(block[0], 'f', sizeof(OID_t));
    unsigned char name[8] = {};
    EXPECT_EQ(parseOidWwn(block[0], name), 0xFFFF);
    for (unsigned char byte : name) {
        EXPECT_EQ(byte, 0xFF);
    }
    EXPECT_TRUE(WWNAddress(block[0]) == WWNAddress(name));
}

TEST(OidTextTest, CopyAndCompareFields) {
    OID_t dst;
    std::memset(dst, 'x', sizeof dst);
    CopyName48(dst, "00021000006069123456");
    EXPECT_STREQ(dst, "00021000006069123456");
    for (std::size_t i = 20; i < sizeof dst; ++i) {
        EXPECT_EQ(dst[i], '\0') << i; // the rest NUL-filled, as list entries need
    }

    // An over-long source is cut so that the field stays terminated.
    const std::string longText(60, 'a');
    CopyName48(dst, longText.c_str());
    EXPECT_EQ(std::strlen(dst), 47u);

    CopyName48(dst, nullptr);
    EXPECT_STREQ(dst, "");

    EXPECT_EQ(CompareName48("0002100000", "0002100000"), 0);
    EXPECT_LT(CompareName48("0002100000", "0002100001"), 0);
    EXPECT_GT(CompareName48("0009", "0002"), 0);
    // Only the first 48 characters count.
    const std::string a = std::string(48, '1') + "a";
    const std::string b = std::string(48, '1') + "b";
    EXPECT_EQ(CompareName48(a.c_str(), b.c_str()), 0);
}
