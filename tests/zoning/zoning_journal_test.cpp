// The journal of a zoning transaction on a cache loaded from a simulated
// proxy switch: edits of every kind, each recording the row that undoes
// it, are undone exactly by the replay, newest row first; a commit
// destroys what the transaction removed.
#include "tests/zoning/ZoningCacheFixture.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningMemberRefresh.h"

namespace {

using namespace zoning_test;
using namespace zoning_table;
namespace verb = zoning_verb;

// A loaded defined database whose zones, alias and zone sets have their
// members mapped, as their builds leave them, and edits made the way the
// editing functions make them inside a transaction.
class ZoningJournalRoundTrip : public ZoningCacheFixture {
protected:
    void SetUp() override {
        open("v4.1.0");
        ASSERT_EQ(load(), 0);
        model_.lock();
        for (const char* zone : {"z1", "z2", "spare", "q1", "f1"}) {
            addMember(zone, FullZones, std::string("1,") + zone);
        }
        addMember("a1", FullAliases, "3,1");
        addMember("a1", FullAliases, "3,2");
        for (const char* zoneSet : {"cfg1", "cfg2"}) {
            ASSERT_EQ(CreateUndefinedZoningObject(named(zoneSet), "u_" + std::string(zoneSet)), 0);
            ASSERT_EQ(RefreshZoningMembers(fabric_->key, FullZoneSets, zoneSet, *named(zoneSet)),
                      0);
        }
        // A member made before the transaction, to be added inside it.
        ASSERT_EQ(CreateZoneMemberObject(fabric_->full, "9,9", 8), 0);
        looseMember_ = listValues(*fabric_->full, "setMember").back();
        fabric_->setTransactionOpen(true);
    }
    void TearDown() override {
        model_.unlock();
        ZoningCacheFixture::TearDown();
    }

    void addMember(const std::string& owner, const char* table, const std::string& member) {
        ASSERT_EQ(CreateZoneMemberObject(named(owner), member, 8), 0);
        ASSERT_EQ(RefreshZoningMembers(fabric_->key, table, owner, *named(owner)), 0);
    }
    void record(const char* v, const std::string& first, const std::string& second,
                const std::string& third, std::unique_ptr<ZoningMemberMap> saved = nullptr) {
        AddZoningJournalRecord(fabric_->key, v, first, second, third, std::move(saved));
    }
    ZoningMemberTable& table(const char* name) { return fabric_->table<ZoningMemberTable>(name); }

    // --- The edits, each with its inverse rows.

    std::string createZone(const std::string& name) {
        EXPECT_EQ(CreateZoneObject(fabric_->full, name, 1), 0);
        const std::string oid = listValues(*fabric_->full, "setZone").back();
        names()[name] = oid;
        table(FullZones)[name] = std::make_unique<ZoningMemberMap>();
        record(verb::FullNameDelete, fabric_->fullOid, name, oid);
        record(verb::ZoneDelete, fabric_->fullOid, name, "");
        record(verb::DeleteFromList, fabric_->fullOid, "setZone", oid);
        return oid;
    }
    std::string createAlias(const std::string& name) {
        EXPECT_EQ(CreateZoneAliasObject(fabric_->full, name), 0);
        const std::string oid = listValues(*fabric_->full, "setZoneAlias").back();
        names()[name] = oid;
        table(FullAliases)[name] = std::make_unique<ZoningMemberMap>();
        record(verb::FullNameDelete, fabric_->fullOid, name, oid);
        record(verb::AliasDelete, fabric_->fullOid, name, "");
        record(verb::DeleteFromList, fabric_->fullOid, "setZoneAlias", oid);
        return oid;
    }
    // Deletes the last object of `list`: its name, its member map and its
    // place in the list go; the object waits in the removal set.
    void deleteLast(const char* list, const char* nameAttribute, const char* memberTable,
                    const char* restoreVerb) {
        const std::string oid = listValues(*fabric_->full, list).back();
        const std::string name = textOf(findObjectUnlocked(oid), nameAttribute);
        std::unique_ptr<ZoningMemberMap> saved = std::move(table(memberTable).at(name));
        table(memberTable).erase(name);
        names().erase(name);
        fabric_->full->removeListValue(list, oid);
        record(verb::FullNameAdd, fabric_->fullOid, name, oid);
        record(restoreVerb, fabric_->fullOid, name, "", std::move(saved));
        record(verb::AddToList, fabric_->fullOid, list, oid);
        RecordRemovedObject(fabric_->key, oid);
    }
    // Adds `member` (stored) to the zone, alias or zone set.
    void addToObject(const std::string& owner, const char* memberTable, const char* removeVerb,
                     const std::string& member) {
        const std::string ownerOid = oidOf(owner);
        const std::string name = textOf(findObjectUnlocked(member), "MemberName");
        (*table(memberTable).at(owner))[name] = member;
        named(owner)->appendListValue("setMember", member);
        findObjectUnlocked(member)->addRelation("setZone", ownerOid);
        record(removeVerb, ownerOid, name, "");
        record(verb::DeleteFromList, ownerOid, "setMember", member);
        record(verb::Delete, member, "setZone", ownerOid);
    }
    // Removes the last member of the zone, alias or zone set.
    void removeLastMember(const std::string& owner, const char* memberTable, const char* addVerb,
                          const char* nameAttribute) {
        const std::string ownerOid = oidOf(owner);
        const std::string member = listValues(*named(owner), "setMember").back();
        const std::string name = textOf(findObjectUnlocked(member), nameAttribute);
        table(memberTable).at(owner)->erase(name);
        named(owner)->removeListValue("setMember", member);
        findObjectUnlocked(member)->removeRelation("setParent", ownerOid);
        record(addVerb, ownerOid, name, member);
        record(verb::AddToList, ownerOid, "setMember", member);
        record(verb::Add, member, "setParent", ownerOid);
        RecordRemovedObject(fabric_->key, member);
    }
    // Points the zone's member entry `name` at another object.
    void retarget(const std::string& zone, const std::string& name, const std::string& to) {
        std::string& target = (*table(FullZones).at(zone))[name];
        record(verb::ZoneAddMember, oidOf(zone), name, target);
        target = to;
    }

    // Every kind of edit, every verb among their inverse rows.
    void editEverything() {
        removeLastMember("a1", FullAliases, verb::AliasAddMember, "MemberName");
        addToObject("a1", FullAliases, verb::AliasDeleteMember, looseMember_);
        deleteLast("setZoneAlias", "ZoneAliasName", FullAliases, verb::AliasAddMap);
        createAlias("a9");
        deleteLast("setZone", "ZoneName", FullZones, verb::ZoneAddMap); // f1
        createZone("z9");
        addToObject("z9", FullZones, verb::ZoneDeleteMember, looseMember_);
        removeLastMember("z2", FullZones, verb::ZoneAddMember, "MemberName");
        removeLastMember("cfg2", FullZoneSets, verb::ZoneSetAddMember, "UndefinedObjName");
        retarget("z1", "1,z1", looseMember_);
        deleteLast("setZoneSet", "ZoneSetName", FullZoneSets, verb::ZoneSetAddMap); // cfg2
        // The new zone deleted again and made anew under its name.
        deleteLast("setZone", "ZoneName", FullZones, verb::ZoneAddMap);
        createZone("z9");
    }

    LockGuard model_{getObjectStoreMutex(), false};
    std::string looseMember_;
};

TEST_F(ZoningJournalRoundTrip, RollbackRestoresTheCacheAndTheStoreExactly) {
    const ZoningSnapshot before = snapshot();
    editEverything();
    const ZoningSnapshot edited = snapshot();
    ASSERT_NE(edited, before);
    std::set<std::string> verbs;
    for (const ZoningJournalRow& row : fabric_->table<ZoningJournal>(Journal)) {
        verbs.insert(row.verb);
    }
    EXPECT_EQ(verbs.size(), 16u);

    ReplayZoningJournal(fabric_->key);
    ClearZoningJournal(fabric_->key);
    const ZoningSnapshot after = snapshot();
    EXPECT_EQ(after, before) << ::testing::PrintToString(after.differencesFrom(before));
}

TEST_F(ZoningJournalRoundTrip, CommitDestroysTheRemovedObjectsAndKeepsTheEdits) {
    const std::string f1 = oidOf("f1");
    const std::vector<std::string> f1Members = listValues(*named("f1"), "setMember");
    editEverything();
    const ZoningRemovedSet removed = fabric_->table<ZoningRemovedSet>(RemovedObjects);
    ASSERT_TRUE(removed.contains(f1));
    PurgeRemovedObjects(fabric_->key);
    ReleaseZoningJournal(fabric_->key);
    for (const std::string& oid : removed) {
        EXPECT_EQ(findObjectUnlocked(oid), nullptr) << oid;
    }
    EXPECT_TRUE(fabric_->table<ZoningJournal>(Journal).empty());
    EXPECT_TRUE(fabric_->table<ZoningRemovedSet>(RemovedObjects).empty());
    EXPECT_TRUE(names().contains("z9"));
    EXPECT_FALSE(names().contains("f1"));
    // The members of a deleted zone are the zone build's to prune later.
    EXPECT_NE(findObjectUnlocked(f1Members.front()), nullptr);
}

TEST_F(ZoningJournalRoundTrip, ALoadInsideTheTransactionKeepsWhatTheJournalNames) {
    removeLastMember("z2", FullZones, verb::ZoneAddMember, "MemberName");
    const std::string z2 = oidOf("z2");
    const std::string removedMember = *fabric_->table<ZoningRemovedSet>(RemovedObjects).begin();
    access()->ZoningObjectDelete("z2", 2); // gone from the switch meanwhile
    ASSERT_EQ(load(), 0);
    EXPECT_FALSE(names().contains("z2"));
    EXPECT_NE(findObjectUnlocked(z2), nullptr); // the journal names it
    EXPECT_TRUE(fabric_->table<ZoningRemovedSet>(RemovedObjects).contains(z2));
    EXPECT_NE(findObjectUnlocked(removedMember), nullptr);
    PurgeRemovedObjects(fabric_->key);
    EXPECT_EQ(findObjectUnlocked(z2), nullptr);
}

} // namespace
