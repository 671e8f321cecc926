#include <gtest/gtest.h>

#include "objects/ObjectCounters.h"
#include "tests/support/ZoningTestFabric.h"
#include "zoning/Zone.h"
#include "zoning/ZoneMember.h"
#include "zoning/ZoneSet.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

class ZoningObjectCreatorsTest : public ::testing::Test {
protected:
    ZoningObjectCreatorsTest() : model_(getObjectStoreMutex()) {}

    // The object the parent's list names last.
    static StoredObject* lastOf(const StoredObject* parent, const char* list) {
        const auto values = listValues(*parent, list);
        return values.empty() ? nullptr : findObjectUnlocked(values.back());
    }
    static unsigned short shortOf(const StoredObject* object, const char* name) {
        unsigned short value = 0xDEAD;
        object->getShortAttr(name, value);
        return value;
    }

    LockGuard model_;
    ZoningTestFabric fabric_;
};

TEST_F(ZoningObjectCreatorsTest, NumbersEachKindFromOneWithDecimalDigitsLowFirst) {
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(CreateZoneSetObject(fabric_.full, "s" + std::to_string(i), 0), 0);
    }
    for (int i = 0; i < 12; ++i) {
        ASSERT_EQ(CreateZoneObject(fabric_.full, "z" + std::to_string(i), 1), 0);
    }
    EXPECT_EQ(listValues(*fabric_.full, "setZoneSet"),
              (std::vector<std::string>{"000b0100000000000000", "000b0200000000000000",
                                        "000b0300000000000000"}));
    EXPECT_EQ(listValues(*fabric_.full, "setZone").back(), "000a0201000000000000");
    ASSERT_EQ(CreateUndefinedZoningObject(fabric_.full, "u"), 0);
    EXPECT_EQ(listValues(*fabric_.full, "setMember").back(), "fffb0100000000000000");
    EXPECT_EQ(objectCounters().zone, 13u);
    EXPECT_EQ(objectCounters().zoneAlias, 1u);
}

TEST_F(ZoningObjectCreatorsTest, SetsTheAttributesAndLinksOfEachKind) {
    ASSERT_EQ(CreateZoneSetObject(fabric_.full, "cfg1", 1), 0);
    const StoredObject* zoneSet = lastOf(fabric_.full, "setZoneSet");
    ASSERT_NE(zoneSet, nullptr);
    EXPECT_EQ(textOf(zoneSet, "ZoneSetName"), "cfg1");
    EXPECT_EQ(shortOf(zoneSet, "ActivateZoneSet"), 1);
    EXPECT_EQ(shortOf(zoneSet, "ObjType"), 11);
    EXPECT_EQ(firstRelation(*zoneSet, "setParent"), fabric_.fullOid);
    EXPECT_NE(zoneSet->getElement<ZoneSet>(), nullptr);

    ASSERT_EQ(CreateZoneAliasObject(fabric_.full, "a1"), 0);
    EXPECT_EQ(textOf(lastOf(fabric_.full, "setZoneAlias"), "ZoneAliasName"), "a1");

    ASSERT_EQ(CreateZoneObject(fabric_.full, "z1", 2), 0);
    const StoredObject* zone = lastOf(fabric_.full, "setZone");
    EXPECT_EQ(shortOf(zone, "ZoneType"), 2);
    EXPECT_NE(zone->getElement<Zone>(), nullptr);

    ASSERT_EQ(CreateZoneObject(fabric_.active, "z1", 1), 0);
    EXPECT_EQ(textOf(lastOf(fabric_.active, "setMember"), "ZoneName"), "z1");
    // Under any other parent a zone is in no list.
    ASSERT_EQ(CreateZoneObject(fabric_.capabilities, "z2", 1), 0);
    EXPECT_TRUE(listValues(*fabric_.capabilities, "setMember").empty());
    EXPECT_TRUE(listValues(*fabric_.capabilities, "setZone").empty());

    ASSERT_EQ(CreateZoneMemberObject(const_cast<StoredObject*>(zone), "1,4", 8), 0);
    const StoredObject* member = lastOf(zone, "setMember");
    EXPECT_EQ(textOf(member, "MemberName"), "1,4");
    int memberType = 0;
    EXPECT_TRUE(member->getIntAttr("EnumMemberType", memberType));
    EXPECT_EQ(memberType, 8);
    EXPECT_EQ(firstRelation(*member, "setParent"), listValues(*fabric_.full, "setZone").back());
    EXPECT_NE(member->getElement<ZoneMember>(), nullptr);

    ASSERT_EQ(CreateUndefinedZoningObject(const_cast<StoredObject*>(zone), "zz"), 0);
    EXPECT_EQ(textOf(lastOf(zone, "setMember"), "UndefinedObjName"), "zz");
    EXPECT_EQ(shortOf(lastOf(zone, "setMember"), "ObjType"), 0xFFFB);
}

TEST_F(ZoningObjectCreatorsTest, ZoneSubTypeFollowsTheName) {
    const struct {
        const char* name;
        unsigned short subType; // 0xDEAD: none set
    } cases[] = {{"ab", 0},     {"prod/FCP", 8}, {"a/VIP", 5},
                 {"a/VI", 255}, {"a/b", 0xDEAD}, {"IP", 0}};
    for (const auto& c : cases) {
        ASSERT_EQ(CreateZoneObject(fabric_.full, c.name, 1), 0);
        EXPECT_EQ(shortOf(lastOf(fabric_.full, "setZone"), "ZoneSubType"), c.subType) << c.name;
    }
}

TEST_F(ZoningObjectCreatorsTest, MemberModifierAndKindFollowTheFormBits) {
    const struct {
        const char* name;
        int type;
        const char* modifier;
        unsigned short zmType;
    } cases[] = {
        {"10:00:00:00:c9:2b:5a:7e(5)", 0x4 | 0x10, "5", 1},
        {"abc)", 0x4, "abc", 1},
        {"x(lun", 0x4, "lun", 1},
        {"p[3]", 0x2, "3", 2},
        {"[12]x", 0x2, "", 2},
        {"p]x[", 0x2, "", 2},
        {"H{21:00:00:e0:8b:00:00:01}", 0x1, "", 3},
        {"1,4", 0x8, "", 0},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(CreateZoneMemberObject(fabric_.full, c.name, c.type), 0);
        const StoredObject* member = lastOf(fabric_.full, "setMember");
        EXPECT_EQ(textOf(member, "ZoneMemberModifier"), c.modifier) << c.name;
        EXPECT_EQ(shortOf(member, "ZMType"), c.zmType) << c.name;
    }
}

TEST_F(ZoningObjectCreatorsTest, ANullParentIsRefusedWithoutUsingANumber) {
    EXPECT_EQ(CreateZoneSetObject(nullptr, "s", 0), -3);
    EXPECT_EQ(CreateZoneAliasObject(nullptr, "a"), -3);
    EXPECT_EQ(CreateZoneObject(nullptr, "z", 1), -3);
    EXPECT_EQ(CreateZoneMemberObject(nullptr, "m", 0), -3);
    EXPECT_EQ(CreateUndefinedZoningObject(nullptr, "u"), -3);
    EXPECT_EQ(objectCounters().zoneSet, 1u);
}

TEST_F(ZoningObjectCreatorsTest, ANumberInUseIsPassedOver) {
    // Objects left from before the counters were set back.
    ASSERT_EQ(CreateZoneObject(fabric_.full, "z1", 1), 0);
    ASSERT_EQ(CreateZoneObject(fabric_.full, "z2", 1), 0);
    resetObjectCounters();
    ASSERT_EQ(CreateZoneObject(fabric_.full, "z3", 1), 0);
    EXPECT_EQ(listValues(*fabric_.full, "setZone").back(), "000a0300000000000000");
    EXPECT_EQ(textOf(findObjectUnlocked("000a0100000000000000"), "ZoneName"), "z1");
}

TEST_F(ZoningObjectCreatorsTest, ACounterStopsAtEightDigits) {
    objectCounters().zoneMember = kZoningObjectNumberMax;
    ASSERT_EQ(CreateZoneMemberObject(fabric_.full, "m1", 0), 0);
    EXPECT_EQ(listValues(*fabric_.full, "setMember").back(), "00160909090909090909");
    EXPECT_EQ(CreateZoneMemberObject(fabric_.full, "m2", 0), -2);
    EXPECT_EQ(CreateZoneMemberObject(fabric_.full, "m3", 0), -2);
    EXPECT_EQ(listValues(*fabric_.full, "setMember").size(), 1u);
    EXPECT_EQ(objectCounters().zoneMember, kZoningObjectNumberMax + 1);
    // The other kinds go on.
    EXPECT_EQ(CreateZoneObject(fabric_.full, "z1", 1), 0);
}

} // namespace
