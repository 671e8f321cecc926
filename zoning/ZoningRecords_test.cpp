#include <gtest/gtest.h>

#include <cstring>

#include "zoning/UDAL_ZoningException.h"
#include "zoning/ZoningRecords.h"

namespace {

TEST(ZoningNameEntry, OwnsACopyOfItsName) {
    char name[] = "member";
    ZoningNameEntry entry(name, 0x10);
    name[0] = 'X';
    EXPECT_STREQ(entry.name, "member");
    const ZoningNameEntry copy(entry);
    EXPECT_NE(copy.name, entry.name);
    EXPECT_STREQ(copy.name, "member");
    EXPECT_EQ(copy.type, 0x10);
}

TEST(ZoningObjectEntry, CopiesItsMembersDeeply) {
    auto* members =
        new std::vector<ZoningNameEntry*>{new ZoningNameEntry("a", 1), new ZoningNameEntry("b", 2)};
    ZoningObjectEntry entry("z1", 2, members, 1);
    const ZoningObjectEntry copy(entry);
    EXPECT_STREQ(copy.name, "z1");
    EXPECT_EQ(copy.type, 2);
    ASSERT_NE(copy.members, nullptr);
    ASSERT_NE(copy.members, members);
    ASSERT_EQ(copy.members->size(), 2u);
    EXPECT_NE((*copy.members)[0], (*members)[0]);
    EXPECT_STREQ((*copy.members)[1]->name, "b");
    EXPECT_EQ((*copy.members)[1]->type, 2);
    for (auto* vector : {members, copy.members}) {
        for (auto* member : *vector) {
            delete member;
        }
        delete vector;
    }
    const ZoningObjectEntry bare("z2", 2, nullptr, 0);
    EXPECT_EQ(ZoningObjectEntry(bare).members, nullptr);
}

TEST(ZoningTextRecord, CopiesTheTextsItIsGiven) {
    const ZoningTextRecord empty;
    EXPECT_EQ(empty.data, nullptr);
    EXPECT_EQ(empty.text1, nullptr);
    const ZoningTextRecord record(reinterpret_cast<void*>(1), "cfg", nullptr, "m");
    EXPECT_EQ(record.data, reinterpret_cast<void*>(1));
    EXPECT_STREQ(record.text1, "cfg");
    EXPECT_EQ(record.text2, nullptr);
    EXPECT_STREQ(record.text3, "m");
}

TEST(UDAL_ZoningException, CopiesCarryTheirOwnOperationName) {
    const UDAL_ZoningException original(26, "ZoningObjectCreate");
    const UDAL_ZoningException copy(original);
    EXPECT_EQ(copy.getCode(), 26);
    EXPECT_NE(copy.operation, original.operation);
    EXPECT_STREQ(copy.operation, "ZoningObjectCreate");
    EXPECT_EQ(UDAL_ZoningException(7, nullptr).operation, nullptr);
}

} // namespace
