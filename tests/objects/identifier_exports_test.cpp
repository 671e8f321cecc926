#include <gtest/gtest.h>

#include <string>

#include "c_identifiers.h"

namespace {

const unsigned char kName[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x12, 0x34, 0x56};

TEST(IdentifierExports, NameConversionsWorkBeforeStartUp) {
    char oid[48];
    ASSERT_EQ(c_wwnToOid(kName, 2, oid), 0);
    EXPECT_STREQ(oid, "00021000006069123456");
    EXPECT_EQ(c_wwnToOid(kName, 0, oid), -3);
    EXPECT_STREQ(oid, "untouched");

    char text[24];
    ASSERT_EQ(c_wwnToStr(kName, text), 0);
    EXPECT_STREQ(text, "10:00:00:60:69:12:34:56");
}

TEST(IdentifierExports, CodecsRunOnAStartedLibrary) {
    char oid[48];
    int first = -1;
    int last = -1;
    EXPECT_EQ(c_encodeDomainPortRef(5, 3, oid), -98);
    EXPECT_EQ(c_decodeSwitchPortGroup("fffa1000006069123456040f", oid, &first, &last), -98);

    ASSERT_EQ(c_startLibrary(), 0);

    ASSERT_EQ(c_encodeSwitchPortGroup("00021000006069123456", 4, 15, oid), 0);
    EXPECT_STREQ(oid, "fffa1000006069123456040f");
    char sw[48];
    ASSERT_EQ(c_decodeSwitchPortGroup(oid, sw, &first, &last), 0);
    EXPECT_STREQ(sw, "00021000006069123456");
    EXPECT_EQ(first, 4);
    EXPECT_EQ(last, 15);
    EXPECT_EQ(c_encodeSwitchPortGroup("00011000006069123456", 4, 15, oid), -3);
    EXPECT_STREQ(oid, "untouched");
    EXPECT_EQ(c_decodeSwitchPortGroup("fffa1000006069123456040f0", sw, &first, &last), -3);

    ASSERT_EQ(c_encodeDomainPortRef(239, 255, oid), 0);
    EXPECT_STREQ(oid, "f000efff000000000000");
    int domain = -1;
    int port = -1;
    ASSERT_EQ(c_decodeDomainPortRef(oid, &domain, &port), 0);
    EXPECT_EQ(domain, 239);
    EXPECT_EQ(port, 255);
    EXPECT_EQ(c_encodeDomainPortRef(240, 0, oid), -3);
    EXPECT_EQ(c_encodeDomainPortRef(1, 256, oid), -3);
    EXPECT_EQ(c_decodeDomainPortRef("f001050300000000000", &domain, &port), -3);
    EXPECT_EQ(c_decodeUnendedDomainPortRef(&domain, &port), -3);
    EXPECT_EQ(domain, 239) << "a failed decode leaves the outputs alone";

    ASSERT_EQ(c_stopLibrary(), 0);
}

} // namespace
