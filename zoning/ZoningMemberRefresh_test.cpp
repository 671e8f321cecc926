#include <gtest/gtest.h>

#include "tests/support/ZoningTestFabric.h"
#include "zoning/ZoningCacheDiscard.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningMemberRefresh.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using namespace zoning_table;

// A defined database with zone z1 (members 1,1 and 1,2 and the undefined
// object u1), alias a1 (member 2,1) and zone set s1 (zone z1 and the
// undefined object u2), and an active zone az1 (member 3,1).
class ZoningMembersTest : public ::testing::Test {
protected:
    ZoningMembersTest() : model_(getObjectStoreMutex()) {
        zone_ = make(CreateZoneObject(fabric_.full, "z1", 1), fabric_.full, "setZone");
        m11_ = make(CreateZoneMemberObject(object(zone_), "1,1", 8), object(zone_), "setMember");
        m12_ = make(CreateZoneMemberObject(object(zone_), "1,2", 8), object(zone_), "setMember");
        u1_ = make(CreateUndefinedZoningObject(object(zone_), "u1"), object(zone_), "setMember");
        alias_ = make(CreateZoneAliasObject(fabric_.full, "a1"), fabric_.full, "setZoneAlias");
        m21_ = make(CreateZoneMemberObject(object(alias_), "2,1", 8), object(alias_), "setMember");
        zoneSet_ = make(CreateZoneSetObject(fabric_.full, "s1", 0), fabric_.full, "setZoneSet");
        object(zoneSet_)->appendListValue("setMember", zone_);
        u2_ = make(CreateUndefinedZoningObject(object(zoneSet_), "u2"), object(zoneSet_),
                   "setMember");
        activeZone_ = make(CreateZoneObject(fabric_.active, "az1", 1), fabric_.active, "setMember");
        m31_ = make(CreateZoneMemberObject(object(activeZone_), "3,1", 8), object(activeZone_),
                    "setMember");
        fabric_.table<ZoningNameTable>(FullNames) = {
            {"z1", zone_}, {"a1", alias_}, {"s1", zoneSet_}};
        for (const auto& [table, key, owner] :
             {std::tuple{FullZones, "z1", zone_}, std::tuple{FullAliases, "a1", alias_},
              std::tuple{FullZoneSets, "s1", zoneSet_},
              std::tuple{ActiveZones, "az1", activeZone_}}) {
            EXPECT_EQ(RefreshZoningMembers(fabric_.key, table, key, *object(owner)), 0);
        }
        EXPECT_EQ(RefreshZoningMembers(fabric_.key, ActiveNames, "", *fabric_.active), 0);
    }

    static std::string make(int status, const StoredObject* parent, const char* list) {
        EXPECT_EQ(status, 0);
        return listValues(*parent, list).back();
    }
    static StoredObject* object(const std::string& oid) { return findObjectUnlocked(oid); }
    ZoningMemberMap& members(const char* table, const char* key) {
        return *fabric_.table<ZoningMemberTable>(table).at(key);
    }

    LockGuard model_;
    ZoningTestFabric fabric_;
    std::string zone_, m11_, m12_, u1_, alias_, m21_, zoneSet_, u2_, activeZone_, m31_;
};

TEST_F(ZoningMembersTest, RefreshMapsEachTablesMembersByTheirNames) {
    EXPECT_EQ(members(FullZones, "z1"),
              (ZoningMemberMap{{"1,1", m11_}, {"1,2", m12_}, {"u1", u1_}}));
    EXPECT_EQ(members(FullAliases, "a1"), (ZoningMemberMap{{"2,1", m21_}}));
    EXPECT_EQ(members(FullZoneSets, "s1"), (ZoningMemberMap{{"u2", u2_}})); // the zone is not one
    EXPECT_EQ(members(ActiveZones, "az1"), (ZoningMemberMap{{"3,1", m31_}}));
    EXPECT_EQ(fabric_.table<ZoningNameTable>(ActiveNames), (ZoningNameTable{{"az1", activeZone_}}));
}

TEST_F(ZoningMembersTest, RefreshKeepsTheFirstOfTwoMembersOfOneName) {
    ASSERT_EQ(CreateZoneMemberObject(object(zone_), "1,1", 8), 0);
    object(zone_)->appendListValue("setMember", "000a0900000000000000"); // not stored
    ASSERT_EQ(RefreshZoningMembers(fabric_.key, FullZones, "z1", *object(zone_)), 0);
    EXPECT_EQ(members(FullZones, "z1").at("1,1"), m11_);
    EXPECT_EQ(members(FullZones, "z1").size(), 3u);
    EXPECT_EQ(RefreshZoningMembers(fabric_.key, FullZones, "new", *object(zone_)), 0);
    EXPECT_EQ(members(FullZones, "new").size(), 3u);
    EXPECT_EQ(RefreshZoningMembers(fabric_.key, "NOTABLE", "z1", *object(zone_)), -17);
}

TEST_F(ZoningMembersTest, PruneDestroysTheMembersTheOwnerNoLongerLists) {
    object(zone_)->removeListValue("setMember", m11_);
    object(zone_)->removeListValue("setMember", u1_);
    PruneZoningMembers(fabric_.key, FullZones, "z1", *object(zone_));
    EXPECT_EQ(object(m11_), nullptr);
    EXPECT_EQ(object(u1_), nullptr);
    EXPECT_NE(object(m12_), nullptr);
    // The table waits for the refresh.
    EXPECT_EQ(members(FullZones, "z1").size(), 3u);

    object(zoneSet_)->clearList("setMember");
    PruneZoningMembers(fabric_.key, FullZoneSets, "s1", *object(zoneSet_));
    EXPECT_EQ(object(u2_), nullptr);
    EXPECT_NE(object(zone_), nullptr);

    fabric_.active->clearList("setMember");
    PruneZoningMembers(fabric_.key, ActiveNames, "", *fabric_.active);
    EXPECT_EQ(object(activeZone_), nullptr);
}

TEST_F(ZoningMembersTest, PruneSparesObjectsThatAreNotZoneMembers) {
    // A member map that names a zone and the fabric itself.
    members(FullAliases, "a1") = {{"2,1", m21_}, {"z", zone_}, {"f", fabric_.key}};
    object(alias_)->clearList("setMember");
    PruneZoningMembers(fabric_.key, FullAliases, "a1", *object(alias_));
    EXPECT_EQ(object(m21_), nullptr);
    EXPECT_NE(object(zone_), nullptr);
    EXPECT_NE(object(fabric_.key), nullptr);
    PruneZoningMembers(fabric_.key, FullNames, "z1", *object(zone_)); // not a member table
    EXPECT_NE(object(zone_), nullptr);
}

TEST_F(ZoningMembersTest, PruneKeepsWhatTheOpenTransactionNamesForItsRemovalSet) {
    AddZoningJournalRecord(fabric_.key, zoning_verb::ZoneAddMember, zone_, "1,1", m11_);
    AddZoningJournalRecord(fabric_.key, zoning_verb::ZoneAddMap, "", "z9", "",
                           std::make_unique<ZoningMemberMap>(ZoningMemberMap{{"1,2", m12_}}));
    object(zone_)->clearList("setMember");
    PruneZoningMembers(fabric_.key, FullZones, "z1", *object(zone_));
    EXPECT_NE(object(m11_), nullptr);
    EXPECT_NE(object(m12_), nullptr);
    EXPECT_EQ(object(u1_), nullptr);
    EXPECT_EQ(fabric_.table<ZoningRemovedSet>(RemovedObjects), (ZoningRemovedSet{m11_, m12_}));
    PurgeRemovedObjects(fabric_.key); // the commit destroys them
    EXPECT_EQ(object(m11_), nullptr);
}

TEST_F(ZoningMembersTest, DiscardFullCacheDestroysTheDatabasesObjects) {
    ASSERT_EQ(DiscardFullZoningCache(fabric_.fullOid), 0);
    for (const std::string& oid : {zone_, m11_, m12_, u1_, alias_, m21_, zoneSet_, u2_}) {
        EXPECT_EQ(object(oid), nullptr) << oid;
    }
    for (const char* table : {FullZones, FullAliases, FullZoneSets}) {
        EXPECT_TRUE(fabric_.table<ZoningMemberTable>(table).empty());
    }
    EXPECT_TRUE(fabric_.table<ZoningNameTable>(FullNames).empty());
    for (const char* list : {"setZone", "setZoneAlias", "setZoneSet", "setMember"}) {
        EXPECT_TRUE(listValues(*fabric_.full, list).empty()) << list;
    }
    EXPECT_NE(object(activeZone_), nullptr);
    EXPECT_EQ(members(ActiveZones, "az1").size(), 1u);
}

TEST_F(ZoningMembersTest, DiscardFullCacheLeavesAZoneSetsZoneThatFzdbDoesNotName) {
    fabric_.table<ZoningNameTable>(FullNames).erase("z1");
    fabric_.table<ZoningMemberTable>(FullZones).clear();
    members(FullZoneSets, "s1")["z1"] = zone_;
    members(FullAliases, "a1")["u2"] = u2_;
    ASSERT_EQ(DiscardFullZoningCache(fabric_.fullOid), 0);
    EXPECT_NE(object(zone_), nullptr);
    EXPECT_EQ(object(u2_), nullptr); // an alias member goes whatever its kind
}

TEST_F(ZoningMembersTest, DiscardActiveCacheEmptiesTheActiveDatabase) {
    fabric_.active->setStringAttr("ZoneSetName", "cfg1");
    ASSERT_EQ(DiscardActiveZoningCache(fabric_.activeOid), 0);
    EXPECT_EQ(object(activeZone_), nullptr);
    EXPECT_EQ(object(m31_), nullptr);
    EXPECT_TRUE(fabric_.table<ZoningNameTable>(ActiveNames).empty());
    EXPECT_TRUE(fabric_.table<ZoningMemberTable>(ActiveZones).empty());
    EXPECT_TRUE(listValues(*fabric_.active, "setMember").empty());
    EXPECT_EQ(textOf(fabric_.active, "ZoneSetName"), "");
    EXPECT_NE(object(zone_), nullptr);
}

TEST_F(ZoningMembersTest, DiscardsReportWhatIsMissing) {
    EXPECT_EQ(DiscardFullZoningCache("00180900000000000000"), -28);
    EXPECT_EQ(DiscardActiveZoningCache("00190900000000000000"), -30);
    fabric_.full->clearSet("setParent");
    EXPECT_EQ(DiscardFullZoningCache(fabric_.fullOid), -17);
    findZoningCache(fabric_.key)->eraseTable(ActiveZones);
    EXPECT_EQ(DiscardActiveZoningCache(fabric_.activeOid), -17);
    EXPECT_NE(object(activeZone_), nullptr);
}

} // namespace
