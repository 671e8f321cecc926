#include "objects/ObjectIdentifiers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include <orvane/oid.h>

namespace {

// A 48-character field holding `text`, NUL-padded.
struct Field {
    OID_t text{};
    explicit Field(const std::string& value) {
        std::memcpy(text, value.data(), std::min(value.size(), sizeof text));
    }
};

// A 48-character field of hex digits with no NUL in it.
Field unendedField() {
    return Field(std::string(sizeof(OID_t), 'a'));
}

const std::string kSwitch = "00021000006069123456";

TEST(ObjectIdentifiers, IsValidOidTextAcceptsTwentyToFortySevenHexDigits) {
    struct Case {
        std::string text;
        bool valid;
    } cases[] = {
        {kSwitch, true},
        {"00021000006069ABCDEF", true}, // upper case
        {std::string(47, 'f'), true},
        {std::string(19, '0'), false},
        {"", false},
        {"0002100000606912345g", false},
        {"0002100000606912345 ", false},
        {"00021000006069123456:", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidOidText(Field(c.text).text), c.valid) << c.text;
    }
    EXPECT_FALSE(IsValidOidText(unendedField().text)) << "no NUL within the field";
    EXPECT_FALSE(IsValidOidText(nullptr));
}

TEST(ObjectIdentifiers, HexTextToIntReadsPairs) {
    struct Case {
        const char* text;
        int length;
        int value;
    } cases[] = {
        {"1f", 2, 0x1f},
        {"aBcD", 4, 0xabcd},
        {"zz", 2, 0},
        {"1z", 2, 0x10},
        {"12", 0, 0},
        {"0102", 4, 0x0102},
        {"1", 4, 0x1000},    // the NUL ends the reading; the
                             // rest counts as 0
        {"123", 3, 0x1230},  // a lone last character is a pair's first digit
        {"ffffffff", 8, -1}, // all 32 bits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(hexTextToInt(c.text, c.length), c.value) << c.text << "/" << c.length;
    }
}

TEST(ObjectIdentifiers, ParseWwnTextSkipsOneSeparatorBetweenPairs) {
    unsigned char wwn[8] = {};
    ASSERT_TRUE(parseWwnText("10:00:00:60:69:12:34:56", wwn));
    const unsigned char expected[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x12, 0x34, 0x56};
    EXPECT_EQ(std::memcmp(wwn, expected, 8), 0);
    ASSERT_TRUE(parseWwnText("AB-CD-EF-01-23-45-67-89", wwn));
    EXPECT_EQ(wwn[0], 0xab);
    EXPECT_EQ(wwn[7], 0x89);

    unsigned char untouched[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_FALSE(parseWwnText("10:00:00:60:69:12:34:5", untouched)) << "22 characters";
    EXPECT_FALSE(parseWwnText(nullptr, untouched));
    EXPECT_EQ(untouched[7], 8);
}

TEST(ObjectIdentifiers, IsNonZeroWwnLooksAtAllEightBytes) {
    unsigned char wwn[8] = {};
    EXPECT_FALSE(isNonZeroWwn(wwn));
    wwn[7] = 1;
    EXPECT_TRUE(isNonZeroWwn(wwn));
}

TEST(ObjectIdentifiers, ReadOidTypeNeedsFourHexDigits) {
    struct Case {
        const char* text;
        bool read;
        unsigned short type;
    } cases[] = {
        {"0002", true, 2}, {"FFFAxx", true, 0xfffa}, {"f000", true, 0xf000},
        {"002", false, 0}, {"0x02", false, 0},       {"", false, 0},
    };
    for (const Case& c : cases) {
        unsigned short type = 0;
        EXPECT_EQ(readOidType(c.text, type), c.read) << c.text;
        EXPECT_EQ(type, c.type) << c.text;
    }
}

TEST(ObjectIdentifiers, SwitchPortGroupsEncodeAndDecode) {
    OID_t group = {};
    ASSERT_EQ(encodeSwitchPortGroupOid(Field(kSwitch).text, 4, 15, group), 0);
    EXPECT_STREQ(group, "fffa1000006069123456040f");

    OID_t sw = {};
    int first = -1;
    int last = -1;
    ASSERT_EQ(decodeSwitchPortGroupOid(group, sw, &first, &last), 0);
    EXPECT_EQ(sw, kSwitch);
    EXPECT_EQ(first, 4);
    EXPECT_EQ(last, 15);

    ASSERT_EQ(encodeSwitchPortGroupOid(Field(kSwitch).text, 0, 255, group), 0);
    EXPECT_STREQ(group, "fffa100000606912345600ff");
}

TEST(ObjectIdentifiers, SwitchPortGroupEncoderRefusesBadInput) {
    struct Case {
        std::string switchOid;
        int first;
        int last;
    } cases[] = {
        {"00011000006069123456", 0, 1}, // a port, not a switch
        {"0002100000606912345", 0, 1},  // name part one digit short
        {"0002100000606912345x", 0, 1}, // name part not hex
        {"0002", 0, 1},
        {kSwitch, -1, 1},
        {kSwitch, 5, 4},
        {kSwitch, 0, 256}, // beyond two hex digits
    };
    for (const Case& c : cases) {
        OID_t group = "untouched";
        EXPECT_EQ(encodeSwitchPortGroupOid(Field(c.switchOid).text, c.first, c.last, group), -3)
            << c.switchOid << " " << c.first << "-" << c.last;
        EXPECT_STREQ(group, "untouched");
    }
    OID_t group = {};
    EXPECT_EQ(encodeSwitchPortGroupOid(nullptr, 0, 1, group), -3);
    EXPECT_EQ(encodeSwitchPortGroupOid(Field(kSwitch).text, 0, 1, nullptr), -3);
}

TEST(ObjectIdentifiers, SwitchPortGroupDecoderRefusesBadInput) {
    const std::string cases[] = {
        "fffb1000006069123456040f",  // another type
        "fffa1000006069123456040f0", // 25 characters
        "fffa1000006069123456040",   // 23 characters
        "fffa1000006069123456040g",  // not hex
        "",
    };
    for (const std::string& text : cases) {
        OID_t sw = "untouched";
        int first = -1;
        int last = -1;
        EXPECT_EQ(decodeSwitchPortGroupOid(Field(text).text, sw, &first, &last), -3) << text;
        EXPECT_STREQ(sw, "untouched");
        EXPECT_EQ(first, -1);
        EXPECT_EQ(last, -1);
    }
    OID_t sw = {};
    int port = 0;
    EXPECT_EQ(decodeSwitchPortGroupOid(unendedField().text, sw, &port, &port), -3);
    EXPECT_EQ(decodeSwitchPortGroupOid(Field("fffa1000006069123456040f").text, sw, nullptr, &port),
              -3);
}

TEST(ObjectIdentifiers, DomainPortReferencesEncodeAndDecode) {
    struct Case {
        int domain;
        int port;
        const char* ref;
    } cases[] = {
        {0, 0, "f0000000000000000000"},
        {5, 3, "f0000503000000000000"},
        {239, 255, "f000efff000000000000"},
    };
    for (const Case& c : cases) {
        OID_t ref = {};
        ASSERT_EQ(encodeDomainPortRef(c.domain, c.port, ref), 0);
        EXPECT_STREQ(ref, c.ref);
        int domain = -1;
        int port = -1;
        ASSERT_EQ(decodeDomainPortRef(ref, &domain, &port), 0);
        EXPECT_EQ(domain, c.domain);
        EXPECT_EQ(port, c.port);
    }
    int domain = -1;
    int port = -1;
    ASSERT_EQ(decodeDomainPortRef(Field("F000EFFF000000000000").text, &domain, &port), 0);
    EXPECT_EQ(domain, 239);
}

TEST(ObjectIdentifiers, DomainPortReferencesRefuseBadInput) {
    const int badPairs[][2] = {{240, 0}, {1, 256}, {-1, 0}, {0, -1}};
    for (const auto& pair : badPairs) {
        OID_t ref = "untouched";
        EXPECT_EQ(encodeDomainPortRef(pair[0], pair[1], ref), -3) << pair[0] << "," << pair[1];
        EXPECT_STREQ(ref, "untouched");
    }
    EXPECT_EQ(encodeDomainPortRef(1, 1, nullptr), -3);

    const std::string badTexts[] = {
        "f001050300000000000",  // 19 characters
        "f0010503000000000000", // another type
        "f000050300000000000g", // not hex
    };
    for (const std::string& text : badTexts) {
        int domain = -1;
        int port = -1;
        EXPECT_EQ(decodeDomainPortRef(Field(text).text, &domain, &port), -3) << text;
        EXPECT_EQ(domain, -1);
        EXPECT_EQ(port, -1);
    }
    int value = -1;
    EXPECT_EQ(decodeDomainPortRef(unendedField().text, &value, &value), -3);
    EXPECT_EQ(decodeDomainPortRef(nullptr, &value, &value), -3);
    EXPECT_EQ(decodeDomainPortRef(Field("f0000503000000000000").text, nullptr, &value), -3);
}

} // namespace
