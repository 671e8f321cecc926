#include <gtest/gtest.h>

#include "tests/support/ZoningSnapshot.h"
#include "tests/support/ZoningTestFabric.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using namespace zoning_table;
namespace verb = zoning_verb;

std::unique_ptr<ZoningMemberMap> mapOf(ZoningMemberMap members) {
    return std::make_unique<ZoningMemberMap>(std::move(members));
}

class ZoningJournalTest : public ::testing::Test {
protected:
    ZoningJournalTest() : model_(getObjectStoreMutex()) {}

    // A zone "z1" under the defined database, known to "FZDB" and "FZDBZ".
    std::string addZone(const std::string& name) {
        EXPECT_EQ(CreateZoneObject(fabric_.full, name, 1), 0);
        const std::string oid = listValues(*fabric_.full, "setZone").back();
        names()[name] = oid;
        zones()[name] = std::make_unique<ZoningMemberMap>();
        return oid;
    }
    ZoningNameTable& names() { return fabric_.table<ZoningNameTable>(FullNames); }
    ZoningMemberTable& zones() { return fabric_.table<ZoningMemberTable>(FullZones); }
    ZoningMemberTable& aliases() { return fabric_.table<ZoningMemberTable>(FullAliases); }
    ZoningMemberTable& zoneSets() { return fabric_.table<ZoningMemberTable>(FullZoneSets); }
    ZoningJournal& journal() { return fabric_.table<ZoningJournal>(Journal); }
    ZoningRemovedSet& removed() { return fabric_.table<ZoningRemovedSet>(RemovedObjects); }
    void record(const char* v, const std::string& first, const std::string& second,
                const std::string& third, std::unique_ptr<ZoningMemberMap> map = nullptr) {
        AddZoningJournalRecord(fabric_.key, v, first, second, third, std::move(map));
    }

    LockGuard model_;
    ZoningTestFabric fabric_;
};

TEST_F(ZoningJournalTest, RowsGoInNewestFirst) {
    record(verb::Add, "a", "b", "c");
    record(verb::Delete, "d", "e", "f");
    ASSERT_EQ(journal().size(), 2u);
    EXPECT_EQ(journal().front().verb, verb::Delete);
    EXPECT_EQ(journal().back().third, "c");
}

TEST_F(ZoningJournalTest, ObjectVerbsEditTheNamedObjectsSetsAndLists) {
    const std::string zone = addZone("z1");
    StoredObject* object = findObjectUnlocked(zone);
    object->addRelation("setGone", "x");
    object->appendListValue("setMember", "m1");
    record(verb::Add, zone, "setNew", "n1");
    record(verb::AddToList, zone, "setMember", "m2");
    record(verb::Delete, zone, "setGone", "x");
    record(verb::DeleteFromList, zone, "setMember", "m1");
    record(verb::Add, "000a0900000000000000", "setNew", "n2"); // no such object
    ReplayZoningJournal(fabric_.key);
    EXPECT_TRUE(object->hasRelation("setNew", "n1"));
    EXPECT_FALSE(object->hasRelation("setGone", "x"));
    EXPECT_EQ(listValues(*object, "setMember"), std::vector<std::string>{"m2"});
    EXPECT_EQ(journal().size(), 5u); // the rows stay until cleared
}

TEST_F(ZoningJournalTest, NameVerbsNeverReplaceAndDeleteDestroysTheObject) {
    const std::string zone = addZone("z1");
    record(verb::FullNameAdd, "", "z1", "other");
    record(verb::FullNameAdd, "", "z2", "000a0900000000000000");
    ReplayZoningJournal(fabric_.key);
    EXPECT_EQ(names()["z1"], zone);
    EXPECT_EQ(names()["z2"], "000a0900000000000000");

    journal().clear();
    record(verb::FullNameDelete, "", "z1", zone);
    ReplayZoningJournal(fabric_.key);
    EXPECT_FALSE(names().contains("z1"));
    EXPECT_EQ(findObjectUnlocked(zone), nullptr);
}

TEST_F(ZoningJournalTest, FullNameDeleteLeavesObjectsThatAreNotZoningObjects) {
    names()["z1"] = fabric_.fullOid;
    record(verb::FullNameDelete, "", "z1", fabric_.fullOid);
    ReplayZoningJournal(fabric_.key);
    EXPECT_FALSE(names().contains("z1"));
    EXPECT_NE(findObjectUnlocked(fabric_.fullOid), nullptr);
}

TEST_F(ZoningJournalTest, MapVerbsPutSavedMapsBackAndAnEntryThatIsThereStays) {
    aliases()["a1"] = mapOf({{"1,1", "m-current"}});
    record(verb::ZoneAddMap, "", "z1", "", mapOf({{"1,2", "m-z"}}));
    record(verb::AliasAddMap, "", "a1", "", mapOf({{"1,3", "m-saved"}}));
    record(verb::ZoneSetAddMap, "", "s1", "", mapOf({{"z1", "m-s"}}));
    ReplayZoningJournal(fabric_.key);
    EXPECT_EQ(*zones()["z1"], (ZoningMemberMap{{"1,2", "m-z"}}));
    EXPECT_EQ(*zoneSets()["s1"], (ZoningMemberMap{{"z1", "m-s"}}));
    EXPECT_EQ(*aliases()["a1"], (ZoningMemberMap{{"1,1", "m-current"}}));
    // The map that was not put back is still the row's, freed with it.
    EXPECT_EQ(journal().front().savedMembers, nullptr);
    EXPECT_NE(std::next(journal().begin())->savedMembers, nullptr);
    ClearZoningJournal(fabric_.key);
    EXPECT_TRUE(journal().empty());
    EXPECT_EQ(*zones()["z1"], (ZoningMemberMap{{"1,2", "m-z"}}));
}

TEST_F(ZoningJournalTest, DeleteVerbsEraseMemberEntries) {
    addZone("z1");
    aliases()["a1"] = mapOf({});
    record(verb::ZoneDelete, "", "z1", "");
    record(verb::AliasDelete, "", "a1", "");
    ReplayZoningJournal(fabric_.key);
    EXPECT_FALSE(zones().contains("z1"));
    EXPECT_FALSE(aliases().contains("a1"));
}

TEST_F(ZoningJournalTest, MemberVerbsFindTheMapThroughTheObjectsName) {
    const std::string zone = addZone("z1");
    ASSERT_EQ(CreateZoneSetObject(fabric_.full, "s1", 0), 0);
    const std::string zoneSet = listValues(*fabric_.full, "setZoneSet").back();
    ASSERT_EQ(CreateZoneAliasObject(fabric_.full, "a1"), 0);
    const std::string alias = listValues(*fabric_.full, "setZoneAlias").back();
    zones()["z1"] = mapOf({{"gone", "m0"}, {"kept", "m1"}, {"moved", "old"}});
    aliases()["a1"] = mapOf({{"gone", "m2"}, {"moved", "old"}});
    zoneSets()["s1"] = mapOf({{"z1", "old"}});

    record(verb::ZoneDeleteMember, zone, "gone", "");
    record(verb::ZoneAddMember, zone, "moved", "new");
    record(verb::ZoneAddMember, zone, "added", "m3");
    record(verb::AliasDeleteMember, alias, "gone", "");
    record(verb::AliasAddMember, alias, "moved", "new");
    record(verb::ZoneSetAddMember, zoneSet, "z1", "new");
    record(verb::ZoneSetAddMember, zoneSet, "z2", "m4");
    record(verb::ZoneAddMember, "000a0900000000000000", "x", "y"); // no such object
    ReplayZoningJournal(fabric_.key);

    EXPECT_EQ(*zones()["z1"], (ZoningMemberMap{{"added", "m3"}, {"kept", "m1"}, {"moved", "new"}}));
    EXPECT_EQ(*aliases()["a1"], (ZoningMemberMap{{"moved", "new"}}));
    EXPECT_EQ(*zoneSets()["s1"], (ZoningMemberMap{{"z1", "old"}, {"z2", "m4"}}));
}

TEST_F(ZoningJournalTest, MemberVerbsWithoutAnEntryOrMapDoNothing) {
    const std::string zone = addZone("z1");
    zones()["z1"] = nullptr;
    record(verb::ZoneAddMember, zone, "m", "x");
    findObjectUnlocked(zone)->setStringAttr("ZoneName", "unknown");
    record(verb::ZoneDeleteMember, zone, "m", "");
    record("NOSUCHVERB", zone, "m", "x");
    const ZoningSnapshot before = ZoningSnapshot::take(fabric_.key);
    ReplayZoningJournal(fabric_.key);
    EXPECT_EQ(ZoningSnapshot::take(fabric_.key), before);
}

TEST_F(ZoningJournalTest, AZoneDeletedAndMadeAgainComesBackWithItsOldMembers) {
    // Inside one transaction: z1 (with members) deleted, then a new z1 made.
    const std::string oldZone = addZone("z1");
    zones()["z1"] = mapOf({{"1,1", "m1"}});
    std::unique_ptr<ZoningMemberMap> saved = std::move(zones()["z1"]);
    zones().erase("z1");
    names().erase("z1");
    record(verb::FullNameAdd, "", "z1", oldZone);
    record(verb::ZoneAddMap, "", "z1", "", std::move(saved));
    const std::string newZone = addZone("z1");
    record(verb::FullNameDelete, "", "z1", newZone);
    record(verb::ZoneDelete, "", "z1", "");

    ReplayZoningJournal(fabric_.key);
    EXPECT_EQ(names()["z1"], oldZone);
    EXPECT_EQ(*zones()["z1"], (ZoningMemberMap{{"1,1", "m1"}}));
    EXPECT_EQ(findObjectUnlocked(newZone), nullptr);
}

TEST_F(ZoningJournalTest, ReplayWithoutTheFabricOrATableChangesNothing) {
    addZone("z1");
    record(verb::FullNameDelete, "", "z1", names()["z1"]);
    const ZoningSnapshot before = ZoningSnapshot::take(fabric_.key);
    ReplayZoningJournal("");
    ReplayZoningJournal("0009aa00000000000000");
    findZoningCache(fabric_.key)->eraseTable(FullZoneSets);
    ReplayZoningJournal(fabric_.key);
    ZoningSnapshot after = ZoningSnapshot::take(fabric_.key);
    after.lines.insert("table FZDBZSET");
    EXPECT_EQ(after.lines, before.lines);
}

TEST_F(ZoningJournalTest, ClearAndReleaseEmptyTheJournalAndTheRemovalSet) {
    for (auto drop : {ClearZoningJournal, ReleaseZoningJournal}) {
        const std::string zone = addZone("z1");
        record(verb::ZoneAddMap, "", "z9", "", mapOf({{"m", "x"}}));
        RecordRemovedObject(fabric_.key, zone);
        RecordRemovedObject(fabric_.key, zone);
        EXPECT_EQ(removed().size(), 1u);
        drop(fabric_.key);
        drop(fabric_.key); // a second release finds nothing to free
        EXPECT_TRUE(journal().empty());
        EXPECT_TRUE(removed().empty());
        EXPECT_NE(findObjectUnlocked(zone), nullptr); // removed objects stay stored
    }
}

TEST_F(ZoningJournalTest, PurgeDestroysTheRemovedZoningObjectsOnly) {
    const std::string zone = addZone("z1");
    RecordRemovedObject(fabric_.key, zone);
    RecordRemovedObject(fabric_.key, fabric_.activeOid);
    RecordRemovedObject(fabric_.key, "000a0900000000000000");
    PurgeRemovedObjects(fabric_.key);
    EXPECT_EQ(findObjectUnlocked(zone), nullptr);
    EXPECT_NE(findObjectUnlocked(fabric_.activeOid), nullptr);
    EXPECT_TRUE(removed().empty());
}

TEST_F(ZoningJournalTest, AFabricWithoutItsCacheKeepsNothing) {
    const std::string other = "0009100000606900bb00";
    AddZoningJournalRecord(other, verb::ZoneAddMap, "", "z1", "", mapOf({{"m", "x"}}));
    RecordRemovedObject(other, "x");
    PurgeRemovedObjects(other);
    ReleaseZoningJournal(other);
    EXPECT_EQ(findZoningCache(other), nullptr);
}

} // namespace
