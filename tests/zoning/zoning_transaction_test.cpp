// The zoning transaction through AddAttributes and AddObjectAttributes, on
// a simulated fabric opened through the exports: a rollback leaves the
// library's zoning state and the switch's defined database as they were
// before the start, a commit keeps what the transaction did on both sides,
// and every refusal changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "editing/ZoningTransaction.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "tests/support/ZoningSnapshot.h"
#include "tests/support/ZoningTestFabric.h"
#include "tests/zoning/ZoningFixture.h"
#include "tests/zoning/exports/ZoningExportsFabric.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using nlohmann::json;
using zoning_exports::fabricOid;
using zoning_exports::oidOfType;

constexpr unsigned kTransactionActive = 0xA0B23;
constexpr unsigned kTransactionCommit = 0xA0B24;
constexpr unsigned kCommitTransaction = 0xA0B36;
constexpr unsigned kTransactionValidate = 0xA0B25;
constexpr unsigned kValidateTransaction = 0xA0B37;
constexpr unsigned kMemberTargetTyping = 0xA0B2C;
constexpr unsigned kZoningEnabled = 0xA0B2B;
constexpr unsigned kZmType = 0x40B33;
constexpr unsigned kLicenseKeySet = 0x10021F;
constexpr unsigned kActivateZoneSet = 0xA0B03;
constexpr unsigned kActiveZoneSet = 0xA0B0D;
constexpr unsigned kDeactivateActiveZoneDb = 0xA0B0E;
constexpr unsigned kClearFullZoneDb = 0xA0B0F;

// One fabric of the two the document describes: fabric 0, with cfg1 active.
class ZoningTransactionTest : public ::testing::Test {
protected:
    void TearDown() override {
        FabAPI_ShutdownFabricAPI();
        sim_.reset();
    }

    void open(const std::string& firmware) {
        FabAPI_ShutdownFabricAPI();
        sim_.emplace(zoning_exports::document(firmware));
        zoning_exports::openBoth(*sim_);
        versionClass_ = proxySwitchVersionClass(firmware);
        readAll();
    }

    // Every object read once, as an application does before it edits: the
    // zoning cache is filled.
    static void readAll() {
        void** records = nullptr;
        ASSERT_EQ(0, GetAllObjects(&records));
        for (void** record = records; *record != nullptr; ++record) {
            falFreeObject(*record);
        }
        falFreeObject(records);
    }

    static std::string key() { return fabricOid(0); }
    static std::string caps() { return oidOfType("0015", 0); }
    static std::string fullDb() { return oidOfType("0018", 0); }
    static std::string activeDb() { return oidOfType("0019", 0); }

    static int set(const std::string& oid, unsigned code, unsigned short value) {
        return AddObjectAttributes(oid.c_str(), code, &value);
    }
    static int start() { return set(caps(), kTransactionActive, 1); }
    static int rollBack() { return set(caps(), kTransactionActive, 0); }
    static int commit() { return set(caps(), kTransactionCommit, 1); }

    static unsigned short flag(const std::string& oid, const char* name) {
        LockGuard model(getObjectStoreMutex());
        unsigned short value = 0xFFFF;
        if (StoredObject* object = findObjectUnlocked(oid)) {
            object->getShortAttr(name, value);
        }
        return value;
    }
    // The identifier "FZDB" gives the name; empty when none.
    static std::string named(const std::string& name) {
        LockGuard model(getObjectStoreMutex());
        const auto* names = FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::FullNames);
        if (names == nullptr || !names->contains(name)) {
            return "";
        }
        return names->at(name);
    }
    static std::size_t journalRows() {
        LockGuard model(getObjectStoreMutex());
        const auto* rows = FindZoningCacheTable<ZoningJournal>(key(), zoning_table::Journal);
        return rows != nullptr ? rows->size() : 999;
    }
    static std::size_t removedObjects() {
        LockGuard model(getObjectStoreMutex());
        const auto* removed =
            FindZoningCacheTable<ZoningRemovedSet>(key(), zoning_table::RemovedObjects);
        return removed != nullptr ? removed->size() : 999;
    }

    json switchZoning() { return sim_->request({{"op", "zoning"}, {"fabric", 0}})["zoning"]; }
    std::vector<std::string> switchNames(const char* view = "defined") {
        json zoning = switchZoning();
        const json& list =
            std::string(view) == "copy" ? zoning["transaction"]["copy"] : zoning[view];
        std::vector<std::string> names;
        for (const auto& object : list) {
            names.push_back(object["name"]);
        }
        return names;
    }
    std::uint64_t calls(std::uint32_t procedure) {
        return sim_->callCount(sim_->address(0), procedure);
    }

    // An access object on the session of fabric 0.
    std::unique_ptr<UDAL_ZoningAccess_Ifc> access() {
        void* handle = nullptr;
        {
            LockGuard model(getObjectStoreMutex());
            findObjectUnlocked(key())->getHandleAttr("HDL", handle);
        }
        return std::unique_ptr<UDAL_ZoningAccess_Ifc>(
            getZoningAccess(versionClass_, static_cast<SessionContext*>(handle)));
    }

    // A zone made inside the transaction as the editing functions make it:
    // on the switch, in the store and the cache, with the rows that undo it.
    std::string createZone(const std::string& name) {
        {
            const zoning_test::MemberList members({"1,9"});
            access()->ZoningObjectCreate(name.c_str(), ZONING_TYPE_ZONE, members.get());
        }
        LockGuard model(getObjectStoreMutex());
        StoredObject* full = findObjectUnlocked(fullDb());
        EXPECT_EQ(0, CreateZoneObject(full, name, 1));
        const std::string oid = listValues(*full, "setZone").back();
        (*FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::FullNames))[name] = oid;
        (*FindZoningCacheTable<ZoningMemberTable>(key(), zoning_table::FullZones))[name] =
            std::make_unique<ZoningMemberMap>();
        AddZoningJournalRecord(key(), zoning_verb::FullNameDelete, "", name, oid);
        AddZoningJournalRecord(key(), zoning_verb::ZoneDelete, "", name, "");
        AddZoningJournalRecord(key(), zoning_verb::DeleteFromList, fullDb(), "setZone", oid);
        markZoneTransactionDirty(findObjectUnlocked(caps()));
        return oid;
    }

    static void expectSame(const ZoningSnapshot& after, const ZoningSnapshot& before) {
        EXPECT_EQ(after, before) << ::testing::PrintToString(after.differencesFrom(before));
    }

    std::optional<SwitchSimulator> sim_;
    int versionClass_ = 0;
};

// The levels with a switch transaction.
class ZoningTransactionLevels : public ZoningTransactionTest,
                                public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override { open(GetParam()); }
};

TEST_P(ZoningTransactionLevels, RollbackRestoresTheLibraryAndTheSwitch) {
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    const auto definedBefore = switchZoning()["defined"];

    ASSERT_EQ(0, start());
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionActive"));
    EXPECT_FALSE(switchZoning()["transaction"].is_null()) << "started on the switch";
    const std::string zone = createZone("znew");
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionDirty"));
    EXPECT_EQ(switchZoning()["defined"], definedBefore) << "the edit waits in the transaction";
    EXPECT_EQ(switchNames("copy").back(), "znew");

    ASSERT_EQ(0, rollBack());
    expectSame(ZoningSnapshot::take(key()), before);
    const json after = switchZoning();
    EXPECT_EQ(after["defined"], definedBefore);
    EXPECT_TRUE(after["transaction"].is_null());
    EXPECT_EQ(nullptr, findObject(zone)) << "the zone made inside is gone";
    EXPECT_EQ(1u, calls(25));

    // The next transaction starts clean on both sides.
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, rollBack());
    expectSame(ZoningSnapshot::take(key()), before);
}

TEST_P(ZoningTransactionLevels, CommitKeepsWhatTheTransactionDid) {
    ASSERT_EQ(0, start());
    const std::string zone = createZone("znew");
    ASSERT_EQ(0, commit());

    const json zoning = switchZoning();
    EXPECT_TRUE(zoning["transaction"].is_null());
    EXPECT_EQ(switchNames().back(), "znew");
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionDirty"));
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionCommit"));
    EXPECT_EQ(0u, journalRows());
    EXPECT_EQ(zone, named("znew"));

    // A fresh read of the switch finds the same zone under the same
    // identifier: the library's view is the switch's.
    readAll();
    EXPECT_EQ(zone, named("znew"));
    EXPECT_EQ(1u, calls(24));
}

TEST_P(ZoningTransactionLevels, CommitUnderItsSecondNameToo) {
    ASSERT_EQ(0, start());
    createZone("znew");
    ASSERT_EQ(0, set(caps(), kCommitTransaction, 1));
    EXPECT_EQ(switchNames().back(), "znew");
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
}

TEST_P(ZoningTransactionLevels, StartReleasesAStaleJournal) {
    // Rows and a removed object left behind by an edit outside any
    // transaction: a rollback of the next transaction must not replay them.
    std::string orphan;
    const std::string z1 = named("z1");
    {
        LockGuard model(getObjectStoreMutex());
        StoredObject* full = findObjectUnlocked(fullDb());
        ASSERT_EQ(0, CreateZoneMemberObject(full, "7,7", 8));
        orphan = listValues(*full, "setMember").back();
        full->removeListValue("setMember", orphan);
        RecordRemovedObject(key(), orphan);
        AddZoningJournalRecord(key(), zoning_verb::FullNameDelete, "", "z1", z1);
    }
    ASSERT_EQ(1u, journalRows());

    ASSERT_EQ(0, start());
    EXPECT_EQ(0u, journalRows());
    EXPECT_EQ(0u, removedObjects());
    EXPECT_EQ(nullptr, findObject(orphan)) << "the removed object is destroyed";
    ASSERT_EQ(0, rollBack());
    EXPECT_NE(nullptr, findObject(z1)) << "the stale row was not replayed";
    EXPECT_EQ(z1, named("z1"));
}

TEST_P(ZoningTransactionLevels, SwitchRefusalLeavesTheTransactionAsItWas) {
    ASSERT_EQ(0, start());
    sim_->injectFault({{"address", sim_->address(0)},
                       {"procedure", 24},
                       {"kind", "status"},
                       {"status", -10105},
                       {"count", 1}});
    EXPECT_NE(0, commit());
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionActive")) << "still open: it may be rolled back";
    EXPECT_EQ(0, rollBack());
    EXPECT_TRUE(switchZoning()["transaction"].is_null());
}

TEST_P(ZoningTransactionLevels, RollbackWhenTheSwitchDroppedTheTransaction) {
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    ASSERT_EQ(0, start());
    createZone("znew");
    // The switch answers that it holds no transaction.
    sim_->injectFault({{"address", sim_->address(0)},
                       {"procedure", 25},
                       {"kind", "status"},
                       {"status", -10050},
                       {"count", 1}});
    ASSERT_EQ(0, rollBack());
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    expectSame(ZoningSnapshot::take(key()), before);
}

TEST_P(ZoningTransactionLevels, ValidationReportsTheFaultAndKeepsTheTransactionOpen) {
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, set(caps(), kTransactionValidate, 1));
    EXPECT_EQ(0, flag(caps(), "ValidationError"));
    {
        // A zone set naming a zone that does not exist.
        const zoning_test::MemberList members({"nozone"});
        access()->ZoningObjectCreate("bad", ZONING_TYPE_ZONE_SET, members.get());
    }
    ASSERT_EQ(0, set(caps(), kValidateTransaction, 1));
    EXPECT_EQ(1, flag(caps(), "ValidationError"));
    EXPECT_EQ("bad", textOf(findObject(caps()), "ValidationZoneSetName"));
    EXPECT_EQ("nozone", textOf(findObject(caps()), "ValidationZoneName"));
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionActive"));
    ASSERT_EQ(0, rollBack());
    EXPECT_EQ(-40, set(caps(), kTransactionValidate, 1)) << "closed again";
}

TEST_P(ZoningTransactionLevels, ActivationEndsTheTransactionAsACommitDoes) {
    ASSERT_EQ(0, start());
    const std::string zone = createZone("znew");
    const std::string cfg1 = named("cfg1"), cfg2 = named("cfg2");
    ASSERT_EQ(1, flag(cfg1, "ActivateZoneSet"));

    ASSERT_EQ(0, set(cfg2, kActivateZoneSet, 1));
    const json zoning = switchZoning();
    EXPECT_EQ("cfg2", zoning["effective"]["zoneSet"]);
    EXPECT_TRUE(zoning["transaction"].is_null());
    EXPECT_EQ(switchNames().back(), "znew") << "committed with the activation";
    EXPECT_EQ(0, flag(cfg1, "ActivateZoneSet"));
    EXPECT_EQ(1, flag(cfg2, "ActivateZoneSet"));
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionDirty"));
    EXPECT_EQ(0u, journalRows());
    EXPECT_EQ(zone, named("znew"));

    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(activeDb().c_str(), &record));
    falFreeObject(record);
    EXPECT_EQ("cfg2", textOf(findObject(activeDb()), "ZoneSetName"));
}

TEST_P(ZoningTransactionLevels, ActivationWithoutTransaction) {
    const std::string cfg2 = named("cfg2");
    ASSERT_EQ(0, set(cfg2, kActiveZoneSet, 1));
    EXPECT_EQ("cfg2", switchZoning()["effective"]["zoneSet"]);
    EXPECT_EQ(1, flag(cfg2, "ActivateZoneSet"));
    EXPECT_EQ(0, flag(named("cfg1"), "ActivateZoneSet"));
}

TEST_P(ZoningTransactionLevels, DeactivationEndsTheTransactionAsACommitDoes) {
    ASSERT_EQ(0, start());
    createZone("znew");
    const std::string cfg1 = named("cfg1");

    ASSERT_EQ(0, set(cfg1, kActivateZoneSet, 0));
    const json zoning = switchZoning();
    EXPECT_TRUE(zoning["effective"].is_null());
    EXPECT_TRUE(zoning["transaction"].is_null()) << "nothing left open on the switch";
    EXPECT_EQ(switchNames().back(), "znew");
    EXPECT_EQ(0, flag(cfg1, "ActivateZoneSet"));
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(0u, journalRows());
    EXPECT_EQ(0u, removedObjects());

    // The next transaction starts, and its rollback replays nothing old.
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, rollBack());
    expectSame(ZoningSnapshot::take(key()), before);
}

TEST_P(ZoningTransactionLevels, DeactivatingTheActiveDatabaseEndsTheTransaction) {
    ASSERT_EQ(0, start());
    const std::string zone = createZone("znew");
    const std::string cfg1 = named("cfg1");

    ASSERT_EQ(0, set(activeDb(), kDeactivateActiveZoneDb, 1));
    const json zoning = switchZoning();
    EXPECT_TRUE(zoning["effective"].is_null());
    EXPECT_TRUE(zoning["transaction"].is_null());
    EXPECT_EQ(switchNames().back(), "znew");
    EXPECT_EQ(0, flag(cfg1, "ActivateZoneSet"));
    EXPECT_EQ(0, flag(activeDb(), "DeactivateActiveZoneDb"));
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(0u, journalRows());
    EXPECT_EQ(zone, named("znew")) << "the reload keeps the zone's object";
    EXPECT_EQ(cfg1, named("cfg1"));
}

TEST_P(ZoningTransactionLevels, RollbackAfterClearingRestoresTheWholeDatabase) {
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    const json definedBefore = switchZoning()["defined"];

    ASSERT_EQ(0, start());
    ASSERT_EQ(0, set(fullDb(), kClearFullZoneDb, 1));
    EXPECT_TRUE(switchNames("copy").empty());
    EXPECT_EQ("", named("z1"));
    EXPECT_TRUE(listValues(*findObject(fullDb()), "setZone").empty());
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionDirty"));

    ASSERT_EQ(0, rollBack());
    expectSame(ZoningSnapshot::take(key()), before);
    EXPECT_EQ(switchZoning()["defined"], definedBefore);
}

TEST_P(ZoningTransactionLevels, ClearThenCommitLeavesNoOrphan) {
    // The defined database's objects and their members, as the cache maps
    // them.
    std::vector<std::string> defined;
    {
        LockGuard model(getObjectStoreMutex());
        for (const auto& [name, oid] :
             *FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::FullNames)) {
            defined.push_back(oid);
        }
        for (const char* table : {zoning_table::FullZones, zoning_table::FullAliases}) {
            for (const auto& [name, members] :
                 *FindZoningCacheTable<ZoningMemberTable>(key(), table)) {
                for (const auto& [member, oid] : members ? *members : ZoningMemberMap()) {
                    defined.push_back(oid);
                }
            }
        }
    }
    // A member of z1 that its member map does not name yet.
    {
        LockGuard model(getObjectStoreMutex());
        StoredObject* z1 = findObjectUnlocked(named("z1"));
        ASSERT_NE(nullptr, z1);
        ASSERT_EQ(0, CreateZoneMemberObject(z1, "1,4", 8));
        defined.push_back(listValues(*z1, "setMember").back());
    }
    ASSERT_GT(defined.size(), 8u);

    ASSERT_EQ(0, start());
    ASSERT_EQ(0, set(fullDb(), kClearFullZoneDb, 1));
    ASSERT_EQ(0, commit());
    EXPECT_TRUE(switchNames().empty());
    for (const std::string& oid : defined) {
        EXPECT_EQ(nullptr, findObject(oid)) << oid;
    }
    EXPECT_EQ(0u, journalRows());
    EXPECT_EQ(0u, removedObjects());
    // Nothing dangles: the tree reads again (the oldest levels with a
    // transaction build the active view from defined objects that are gone,
    // so some objects may come back as error records).
    void** records = nullptr;
    const int status = GetAllObjects(&records);
    EXPECT_TRUE(status == 0 || status == FABAPI_ERR_SOME_OBJECTS_FAILED) << status;
    for (void** record = records; record != nullptr && *record != nullptr; ++record) {
        falFreeObject(*record);
    }
    falFreeObject(records);
}

INSTANTIATE_TEST_SUITE_P(Firmware, ZoningTransactionLevels,
                         ::testing::Values("v2.4.1", "v2.6.0", "v4.1.0"));

// The refusals: each returns its code and leaves the library and the
// switch as they were.
struct Refusal {
    const char* name;
    bool open;        // a transaction is open first
    const char* type; // the target: an object type of fabric 0, "name:" and a
                      // defined object's name, or "none" (not stored)
    unsigned code;
    int value; // -1: a null value
    int expected;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class ZoningTransactionRefusals : public ZoningTransactionTest,
                                  public ::testing::WithParamInterface<Refusal> {
protected:
    void SetUp() override { open("v4.1.0"); }
};

TEST_P(ZoningTransactionRefusals, ChangeNothing) {
    const Refusal& refusal = GetParam();
    if (refusal.open) {
        ASSERT_EQ(0, start());
    }
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    const json switchBefore = switchZoning();
    const std::uint64_t starts = calls(23), rollbacks = calls(25), commits = calls(24);

    const std::string type = refusal.type;
    const std::string target = type == "none"              ? std::string("000b0999000000000000")
                               : type.starts_with("name:") ? named(type.substr(5))
                                                           : oidOfType(refusal.type, 0);
    ASSERT_FALSE(target.empty()) << type;
    unsigned short value = static_cast<unsigned short>(refusal.value);
    EXPECT_EQ(refusal.expected, AddObjectAttributes(target.c_str(), refusal.code,
                                                    refusal.value < 0 ? nullptr : &value));

    expectSame(ZoningSnapshot::take(key()), before);
    EXPECT_EQ(switchZoning(), switchBefore);
    EXPECT_EQ(starts, calls(23));
    EXPECT_EQ(rollbacks, calls(25));
    EXPECT_EQ(commits, calls(24));
}

const Refusal kRefusals[] = {
    {"RollbackWithoutTransaction", false, "0015", kTransactionActive, 0, -40},
    {"CommitWithoutTransaction", false, "0015", kTransactionCommit, 1, -40},
    {"ValidateWithoutTransaction", false, "0015", kTransactionValidate, 1, -40},
    {"StartWhileOpen", true, "0015", kTransactionActive, 1, -66},
    {"StartValueTwo", false, "0015", kTransactionActive, 2, -3},
    {"StartNullValue", false, "0015", kTransactionActive, -1, -3},
    {"CommitValueZero", true, "0015", kTransactionCommit, 0, -3},
    {"CommitNullValue", true, "0015", kTransactionCommit, -1, -3},
    {"StartOnTheFabric", false, "0009", kTransactionActive, 1, -17},
    {"StartOnTheDefinedDatabase", false, "0018", kTransactionActive, 1, -17},
    // The first identifier names no fabric, so there is no fabric level.
    {"StartOnAnObjectNotStored", false, "none", kTransactionActive, 1, -3},
    {"CodeWithoutHandler", false, "0015", kZoningEnabled, 1, -3},
    {"CodeOnlyForSetMembers", false, "0015", kLicenseKeySet, 1, -34},
    {"TypingValueTwo", false, "0015", kMemberTargetTyping, 2, -3},
    {"ActivateAZone", false, "name:z1", kActivateZoneSet, 1, -27},
    {"DeactivateASetNotActive", false, "name:cfg2", kActivateZoneSet, 0, -27},
    {"ActivateValueTwo", false, "name:cfg2", kActivateZoneSet, 2, -3},
    {"ActivateNullValue", false, "name:cfg2", kActiveZoneSet, -1, -3},
    {"DeactivateTheDefinedDatabase", false, "0018", kDeactivateActiveZoneDb, 1, -28},
    {"DeactivateValueZero", false, "0019", kDeactivateActiveZoneDb, 0, -3},
    {"ClearWithoutTransaction", false, "0018", kClearFullZoneDb, 1, -40},
    {"ClearTheActiveDatabase", true, "0019", kClearFullZoneDb, 1, -28},
    {"ClearValueZero", true, "0018", kClearFullZoneDb, 0, -3},
};

INSTANTIATE_TEST_SUITE_P(Codes, ZoningTransactionRefusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZoningTransactionTest, ArgumentsAndFrame) {
    open("v4.1.0");
    unsigned short one = 1;
    EXPECT_EQ(-3, AddAttributes(nullptr, kTransactionActive, &one));
    EXPECT_EQ(-3, AddObjectAttributes(nullptr, kTransactionActive, &one));
    const char empty[48] = {};
    EXPECT_EQ(-3, AddAttributes(empty, kTransactionActive, &one)) << "no fabric level";
    EXPECT_EQ(0, AddAttributes(empty, kZmType, &one)) << "needs no fabric level";

    // A list visits each entry: the typing flag set on the capabilities of
    // both fabrics at once.
    char list[3 * 48] = {};
    std::strncpy(list, caps().c_str(), 47);
    std::strncpy(list + 48, oidOfType("0015", 1).c_str(), 47);
    unsigned short zero = 0;
    EXPECT_EQ(0, AddAttributes(list, kMemberTargetTyping, &zero));
    EXPECT_EQ(0, flag(caps(), "ZoneMemberTargetTyping"));
    EXPECT_EQ(0, flag(oidOfType("0015", 1), "ZoneMemberTargetTyping"));

    // An ending failure leaves the entries before it changed.
    std::strncpy(list + 48, "000b0999000000000000", 47);
    EXPECT_EQ(-17, AddAttributes(list, kMemberTargetTyping, &one));
    EXPECT_EQ(1, flag(caps(), "ZoneMemberTargetTyping"));

    FabAPI_ShutdownFabricAPI();
    EXPECT_EQ(-98, AddAttributes(list, kMemberTargetTyping, &one));
    EXPECT_EQ(-98, AddObjectAttributes(caps().c_str(), kMemberTargetTyping, &one));
}

// The oldest level has no switch transaction: start and commit are the
// library's own (the commit saves the defined database), and a rollback
// cannot undo what the switch took: it closes the transaction keeping the
// edits, reads the defined database again and answers -36.
TEST_F(ZoningTransactionTest, OldestLevelRollbackRereadsTheSwitch) {
    open("");
    EXPECT_EQ(-40, rollBack());
    EXPECT_EQ(-40, commit());
    ASSERT_EQ(0, start());
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(-66, start());
    EXPECT_EQ(0, set(caps(), kTransactionValidate, 1)) << "nothing to validate at this level";

    const std::string spare = named("spare");
    ASSERT_EQ(0, DeleteSingleObject(spare.c_str()));
    const std::vector<std::string> names = switchNames();
    EXPECT_EQ(std::find(names.begin(), names.end(), "spare"), names.end())
        << "the switch took the deletion at once";
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionDirty"));
    // Another station's edit meanwhile: the re-read finds it.
    ASSERT_EQ(0, sim_->request({{"op", "editZoning"},
                                {"fabric", 0},
                                {"edit",
                                 {{"action", "create"},
                                  {"name", "zother"},
                                  {"type", 2},
                                  {"members", {"4,4"}}}}})["status"]);
    const std::uint64_t saves = calls(22);

    EXPECT_EQ(-36, rollBack());
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionDirty"));
    EXPECT_EQ(0u, journalRows());
    EXPECT_EQ(0u, removedObjects());
    EXPECT_EQ("", named("spare"));
    EXPECT_EQ(nullptr, findObject(spare)) << "the deleted zone is gone here as on the switch";
    EXPECT_NE("", named("zother"));
    EXPECT_EQ(saves, calls(22)) << "a rollback saves nothing";
    EXPECT_EQ(-40, rollBack());
    readAll();
    EXPECT_EQ("", named("spare"));

    // The next transaction commits: the defined database is saved.
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, DeleteSingleObject(named("zother").c_str()));
    ASSERT_EQ(0, commit());
    EXPECT_EQ(saves + 1, calls(22));
    const json zoning = switchZoning();
    EXPECT_EQ(zoning["saved"], zoning["defined"]);
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(0u, journalRows());

    // Activation needs no transaction.
    ASSERT_EQ(0, set(named("cfg2"), kActivateZoneSet, 1));
    EXPECT_EQ("cfg2", switchZoning()["effective"]["zoneSet"]);
}

// A rollback whose re-read fails still closes the transaction, and says
// why the library's copy may differ from the switch.
TEST_F(ZoningTransactionTest, OldestLevelRollbackWithAFailedReread) {
    open("");
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, DeleteSingleObject(named("spare").c_str()));
    sim_->injectFault({{"address", sim_->address(0)},
                       {"procedure", 15},
                       {"kind", "status"},
                       {"status", -10002},
                       {"count", 1}});
    EXPECT_EQ(-1000, rollBack());
    sim_->clearFaults();
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(0u, journalRows());
    readAll();
    EXPECT_EQ("", named("spare"));
}

TEST_F(ZoningTransactionTest, ClosingTheSessionRollsBackOnTheSwitch) {
    open("v4.1.0");
    const json definedBefore = switchZoning()["defined"];
    ASSERT_EQ(0, start());
    createZone("znew");

    ASSERT_EQ(0, FabAPI_CloseSessions());
    EXPECT_EQ(1u, calls(25)) << "the rollback was sent before the connection went";
    EXPECT_TRUE(switchZoning()["transaction"].is_null());
    EXPECT_EQ(switchZoning()["defined"], definedBefore);
    {
        LockGuard model(getObjectStoreMutex());
        EXPECT_EQ(nullptr, findZoningCache(key())) << "the journal went with the cache";
    }
    EXPECT_FALSE(switchTransactionOpen(key()));
}

TEST_F(ZoningTransactionTest, ClosingTheSessionWithoutTransactionSendsNoRollback) {
    open("v4.1.0");
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, commit());
    ASSERT_EQ(0, FabAPI_CloseSessions());
    EXPECT_EQ(0u, calls(25));
}

} // namespace
