#include <gtest/gtest.h>

#include <cstring>

#include "zoning/ZoningCodes.h"

namespace {

struct CodeCase {
    int in;
    int out;
};

TEST(MapSwitchStatus, GivesTheCodeOfEachListedStatusAnd100Otherwise) {
    const CodeCase cases[] = {
        {-10117, 1},  {-10050, 3},  {-1, 4},      {-10102, 5},  {-10103, 7},   {-10021, 7},
        {-10200, 8},  {-10027, 8},  {-10100, 9},  {-10101, 11}, {-20011, 12},  {-10003, 12},
        {-10024, 13}, {-60701, 14}, {-10106, 16}, {-10107, 17}, {-10104, 18},  {-10028, 20},
        {-10113, 21}, {-10051, 21}, {-10115, 22}, {-10053, 22}, {-10052, 22},  {-10105, 23},
        {-10116, 24}, {-10114, 25}, {-10054, 25}, {-10108, 28}, {-10002, 100}, {0, 100},
        {5, 100},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mapSwitchStatus(c.in), c.out) << c.in;
    }
}

TEST(MapZoningError, GivesThePublicStatusOfEachCode) {
    const CodeCase cases[] = {
        {1, -66},   {3, -40},  {4, -1000}, {5, -13},     {7, -3},    {8, -56},   {9, -21},
        {10, -21},  {11, -57}, {12, -36},  {13, -2},     {14, -59},  {16, -21},  {17, -85},
        {18, -20},  {20, -49}, {21, -52},  {22, -53},    {23, -32},  {24, -74},  {25, -55},
        {26, -207}, {27, -60}, {28, -220}, {100, -1000}, {0, -1000}, {2, -1000}, {15, -1000},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MapZoningError(c.in), c.out) << c.in;
    }
}

TEST(ZoningKinds, MapBetweenZoneTypesAndMemberKinds) {
    EXPECT_EQ(zoneMemberKind(1), 0x200);
    EXPECT_EQ(zoneMemberKind(2), 0x200);
    EXPECT_EQ(zoneMemberKind(4), 0x400);
    EXPECT_EQ(zoneMemberKind(6), 0x800);
    const CodeCase typeCodes[] = {{2, 1}, {4, 2}, {6, 3}, {7, 4}, {1, 0}, {3, 0}, {8, 0}};
    for (const auto& c : typeCodes) {
        EXPECT_EQ(MapZoningTypeCode(c.in), c.out) << c.in;
    }
    const CodeCase kindCodes[] = {{0x200, 1}, {0x400, 2}, {0x800, 3}, {0x1000, 0}, {0, 0}};
    for (const auto& c : kindCodes) {
        EXPECT_EQ(MapZoneMemberKind(c.in), c.out) << c.in;
    }
}

TEST(ZoningNames, NameTypesAndMemberModifiers) {
    EXPECT_EQ(zoningTypeName(1), "ZoneSet");
    EXPECT_EQ(zoningTypeName(2), "ZoneStd");
    EXPECT_EQ(zoningTypeName(3), "ZoneAlias");
    EXPECT_EQ(zoningTypeName(4), "ZoneQl");
    EXPECT_EQ(zoningTypeName(6), "ZoneFa");
    EXPECT_EQ(zoningTypeName(7), "ZonePro");
    EXPECT_EQ(zoningTypeName(8), "All");
    EXPECT_EQ(MemberTypeName(0), "None");
    EXPECT_EQ(MemberTypeName(1), "Lun");
    EXPECT_EQ(MemberTypeName(2), "Alpa");
    EXPECT_EQ(MemberTypeName(3), "Fahost");
}

TEST(ParseHex4, ReadsTheTypeDigitsWithinTheField) {
    OID_t oid = {};
    std::memcpy(oid, "000a100000606900000a", 20);
    unsigned short type = 0;
    EXPECT_EQ(ParseHex4(oid, &type), 1);
    EXPECT_EQ(type, 0x000a);
    std::memcpy(oid, "zz", 2);
    EXPECT_EQ(ParseHex4(oid, &type), 0);
    EXPECT_EQ(type, 0);
    // A field without its NUL is read no further than its 48 characters.
    std::memset(oid, 'f', sizeof oid);
    EXPECT_EQ(ParseHex4(oid, &type), 1);
    EXPECT_EQ(type, 0xffff);
}

TEST(RemoveBlanks, RemovesEveryBlankInPlace) {
    std::string text = " a b  c ";
    EXPECT_EQ(RemoveBlanks(text), "abc");
    EXPECT_EQ(text, "abc");
}

TEST(ParseWorldWideName, ReadsEightFieldsOrRefuses) {
    unsigned char wwn[8] = {};
    EXPECT_EQ(parseWorldWideName("10:00:00:60:69:00:00:01", wwn), 23);
    const unsigned char expected[8] = {0x10, 0, 0, 0x60, 0x69, 0, 0, 1};
    EXPECT_EQ(std::memcmp(wwn, expected, 8), 0);
    EXPECT_EQ(parseWorldWideName("10:00:00:60:69:00:00:100", wwn), -1);
    EXPECT_EQ(parseWorldWideName("10:00:00:60:69:00:00", wwn), -1);
    EXPECT_EQ(parseWorldWideName("alias_a", wwn), -1);
    EXPECT_EQ(parseWorldWideName("10:00:00:60:69:00:00:01", nullptr), -1);
    EXPECT_EQ(parseWorldWideName(nullptr, wwn), -1);
}

} // namespace
