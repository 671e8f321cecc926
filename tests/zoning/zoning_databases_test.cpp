// The zoning capabilities object and the two zoning databases read through
// the object queries (GetSingleObject, GetObjects, GetAllObjects) from the
// switch simulator at every firmware level: every field of their records,
// the names behind the identifiers they list, and how a read brings the
// store in line with what the switch lists, fails without loss, and keeps
// what an open zoning transaction still names.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "tests/support/ShortRpcTimeout.h"
#include "tests/support/ZoningSnapshot.h"
#include "tests/support/ZoningTestFabric.h" // textOf
#include "tests/zoning/ZoningFixture.h"
#include "tests/zoning/exports/ZoningExportsFabric.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningMemberRefresh.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using namespace zoning_exports;
using zoning_test::json;
using zoning_test::Level;
using zoning_test::MemberList;
using Names = std::vector<std::string>;

const Level kLevels[] = {
    {"", 0}, {"v2.4.1", 1}, {"v2.6.1", 2}, {"v3.0.2", 3}, {"v4.0.1", 4}, {"v4.1.0", 5},
};

std::string levelName(const Level& level) {
    std::string name = level.firmware[0] != '\0' ? level.firmware : "none";
    std::replace(name.begin(), name.end(), '.', '_');
    return name;
}

std::string capabilitiesOid(int fabric) {
    return oidOfType("0015", fabric);
}
std::string definedOid(int fabric) {
    return oidOfType("0018", fabric);
}
std::string activeOid(int fabric) {
    return oidOfType("0019", fabric);
}

// Whether `oid` is one of the fabric's zoning capabilities object and two
// zoning databases.
bool isZoningTreeTop(const std::string& oid) {
    for (const char* type : {"0015", "0018", "0019"}) {
        if (oid.rfind(type, 0) == 0) {
            return true;
        }
    }
    return false;
}

// One record as each object query hands it out: GetSingleObject, GetObjects
// of a list of that one identifier, and GetAllObjects (the record of that
// identifier among all). Frees them when it goes.
class QueriedRecords {
public:
    explicit QueriedRecords(const std::string& oid) {
        void* single = nullptr;
        EXPECT_EQ(0, GetSingleObject(oid.c_str(), &single)) << oid;
        records_.push_back({"GetSingleObject", single});

        char list[2 * 48] = {};
        oid.copy(list, 47);
        void** listed = nullptr;
        EXPECT_EQ(0, GetObjects(list, &listed)) << oid;
        records_.push_back({"GetObjects", listed != nullptr ? listed[0] : nullptr});
        falFreeObject(listed);

        // The zones, aliases and members the walk reaches are not looked at
        // here; no object of the zoning tree's top may fail.
        void** all = nullptr;
        const int status = GetAllObjects(&all);
        EXPECT_TRUE(status == 0 || status == -221) << status;
        void* found = nullptr;
        for (int i = 0; all != nullptr && all[i] != nullptr; ++i) {
            const auto* head = static_cast<const ErrorRecord*>(all[i]);
            if (head->ObjType == ORVANE_ERROR_RECORD_TYPE) {
                const std::string failed = oidText(head->RequestedOID);
                EXPECT_FALSE(isZoningTreeTop(failed)) << failed << " failed with " << head->Status;
            }
            if (found == nullptr && head->ObjType != ORVANE_ERROR_RECORD_TYPE &&
                oidText(head->OID) == oid) {
                found = all[i];
            } else {
                falFreeObject(all[i]);
            }
        }
        falFreeObject(all);
        records_.push_back({"GetAllObjects", found});
    }
    ~QueriedRecords() {
        for (const auto& [how, record] : records_) {
            falFreeObject(record);
        }
    }
    QueriedRecords(const QueriedRecords&) = delete;
    QueriedRecords& operator=(const QueriedRecords&) = delete;

    // Runs `check` on each record that came back (and fails for each that
    // did not).
    template <class Record> void each(const std::function<void(const Record&)>& check) const {
        for (const auto& [how, record] : records_) {
            SCOPED_TRACE(how);
            ASSERT_NE(record, nullptr);
            check(*static_cast<const Record*>(record));
        }
    }

private:
    std::vector<std::pair<const char*, void*>> records_;
};

// Both fabrics of ZoningExportsFabric.h at one firmware level, with
// sessions open: fabric 0 has cfg1 active, fabric 1 nothing.
class ZoningDatabaseFixture : public ::testing::Test {
protected:
    void start(const Level& level) {
        level_ = level;
        FabAPI_ShutdownFabricAPI();
        sim_.emplace(document(level.firmware));
        openBoth(*sim_);
    }
    void TearDown() override {
        FabAPI_ShutdownFabricAPI();
        sim_.reset();
    }
    // The fabric's key (its identifier), under which its zoning cache is kept.
    static std::string key(int fabric) { return fabricOid(fabric); }

    // The library's own session to the fabric's proxy.
    static SessionContext* sessionOf(int fabric) {
        void* handle = nullptr;
        LockGuard model(getObjectStoreMutex());
        const StoredObject* stored = findObjectUnlocked(fabricOid(fabric));
        EXPECT_NE(stored, nullptr);
        if (stored != nullptr) {
            stored->getHandleAttr("HDL", handle);
        }
        return static_cast<SessionContext*>(handle);
    }
    // Runs `change` on a zoning access object on that session, to change
    // the switch's zoning between two reads (no query runs meanwhile).
    void onSwitch(int fabric, const std::function<void(UDAL_ZoningAccess_Ifc&)>& change) {
        SessionContext* session = sessionOf(fabric);
        const std::unique_ptr<UDAL_ZoningAccess_Ifc> zoning(
            getZoningAccess(level_.versionClass, session));
        ASSERT_NE(zoning, nullptr);
        change(*zoning);
    }
    void deleteOnSwitch(int fabric, const Names& names, int type) {
        onSwitch(fabric, [&](UDAL_ZoningAccess_Ifc& zoning) {
            for (const std::string& name : names) {
                zoning.ZoningObjectDelete(name.c_str(), type);
            }
        });
    }
    void createOnSwitch(int fabric, const char* name, int type, const Names& members) {
        onSwitch(fabric, [&](UDAL_ZoningAccess_Ifc& zoning) {
            zoning.ZoningObjectCreate(name, type, MemberList(members).get());
        });
    }
    void injectFault(json fault) {
        fault["address"] = sim_->address(0);
        sim_->injectFault(fault);
    }

    // GetSingleObject's status; the record it handed out must be none on a
    // failure (and is freed on success).
    static int statusOf(const std::string& oid) {
        void* record = nullptr;
        const int status = GetSingleObject(oid.c_str(), &record);
        EXPECT_EQ(status == 0, record != nullptr) << oid << " " << status;
        falFreeObject(record);
        return status;
    }

    // The name that the stored zone set, zone or alias carries; "<gone>"
    // when it is not stored.
    static std::string nameOf(const std::string& oid) {
        LockGuard model(getObjectStoreMutex());
        const StoredObject* object = findObjectUnlocked(oid);
        if (object == nullptr) {
            return "<gone>";
        }
        const unsigned short type = storedObjectType(*object);
        return textOf(object, type == 11   ? "ZoneSetName"
                              : type == 20 ? "ZoneAliasName"
                                           : "ZoneName");
    }
    static Names namesOf(const OID_t* list) {
        Names names;
        for (const std::string& oid : oidList(list)) {
            names.push_back(nameOf(oid));
        }
        return names;
    }
    static bool isStored(const std::string& oid) {
        LockGuard model(getObjectStoreMutex());
        return findObjectUnlocked(oid) != nullptr;
    }
    static StoredObject* stored(const std::string& oid) {
        LockGuard model(getObjectStoreMutex());
        return findObjectUnlocked(oid);
    }
    static unsigned short shortOf(const std::string& oid, const char* name) {
        LockGuard model(getObjectStoreMutex());
        unsigned short value = 0xDEAD;
        if (const StoredObject* object = findObjectUnlocked(oid)) {
            object->getShortAttr(name, value);
        }
        return value;
    }
    static void setShort(const std::string& oid, const char* name, unsigned short value) {
        LockGuard model(getObjectStoreMutex());
        findObjectUnlocked(oid)->setShortAttr(name, value);
    }
    // The defined database's objects by name, as "FZDB" maps them.
    static ZoningNameTable definedNames(int fabric) {
        LockGuard model(getObjectStoreMutex());
        const auto* names = FindZoningCacheTable<ZoningNameTable>(key(fabric), zoning_table::FullNames);
        return names != nullptr ? *names : ZoningNameTable();
    }
    static std::string oidNamed(int fabric, const std::string& name) {
        const ZoningNameTable names = definedNames(fabric);
        const auto found = names.find(name);
        return found != names.end() ? found->second : "";
    }
    static ZoningRemovedSet removedSet(int fabric) {
        LockGuard model(getObjectStoreMutex());
        const auto* removed =
            FindZoningCacheTable<ZoningRemovedSet>(key(fabric), zoning_table::RemovedObjects);
        return removed != nullptr ? *removed : ZoningRemovedSet();
    }
    // Gives the zone (alias) `name` zone members, as the zone's own read
    // does, and maps them in "FZDBZ" ("FZDBZALIAS"); their identifiers.
    static Names giveMembers(int fabric, const std::string& name, const char* table,
                             const Names& members) {
        LockGuard model(getObjectStoreMutex());
        StoredObject* owner = findObjectUnlocked(oidNamed(fabric, name));
        EXPECT_NE(owner, nullptr) << name;
        if (owner == nullptr) {
            return {};
        }
        for (const std::string& member : members) {
            EXPECT_EQ(0, CreateZoneMemberObject(owner, member, 8));
        }
        EXPECT_EQ(0, RefreshZoningMembers(key(fabric), table, name, *owner));
        return listValues(*owner, "setMember");
    }
    static bool hasMemberEntry(int fabric, const char* table, const std::string& name) {
        LockGuard model(getObjectStoreMutex());
        const auto* members = FindZoningCacheTable<ZoningMemberTable>(key(fabric), table);
        return members != nullptr && members->contains(name);
    }

    Level level_{};
    std::optional<SwitchSimulator> sim_;
};

class ZoningDatabases : public ZoningDatabaseFixture, public ::testing::WithParamInterface<Level> {
protected:
    void SetUp() override { start(GetParam()); }
};

TEST_P(ZoningDatabases, CapabilitiesRecordCarriesTheStoredZoningState) {
    // What the editing functions leave on the capabilities object; the
    // record carries it over except for the fixed limits.
    const std::string caps = capabilitiesOid(0);
    const std::string longName(100, 'v');
    const std::string fitting(63, 'w');
    {
        LockGuard model(getObjectStoreMutex());
        StoredObject* object = findObjectUnlocked(caps);
        ASSERT_NE(object, nullptr);
        const std::pair<const char*, unsigned short> flags[] = {
            {"ZoneTransactionDirty", 7},     {"ZoneTransactionActive", 7},
            {"ZoneTransactionCommit", 2},    {"ZoneTransactionValidate", 3},
            {"ZoneMemberTargetTyping", 0},   {"ZoningRefresh", 0},
            {"ValidationError", 5},          {"DefaultZoneSetSupported", 9},
            {"ZoneMaxSets", 12},             {"ZoneMaxNameLen", 3},
            {"DefaultZoningBehavior", 7},
        };
        for (const auto& [name, value] : flags) {
            object->setShortAttr(name, value);
        }
        object->setStringAttr("ValidationZoneSetName", longName);
        object->setStringAttr("ValidationZoneName", fitting);
        object->setStringAttr("ValidationZoneMemberName", std::string(64, 'x'));
        findObjectUnlocked(definedOid(0))->setShortAttr("ClearFullZoneDb", 1);
        findObjectUnlocked(activeOid(0))->setShortAttr("DeactivateActiveZoneDb", 1);
    }
    void* fabric = nullptr;
    ASSERT_EQ(0, GetSingleObject(fabricOid(0).c_str(), &fabric));
    const int versionMark = static_cast<FabricRecord*>(fabric)->VersionMark;
    falFreeObject(fabric);
    EXPECT_TRUE(versionMark == 0 || versionMark == 3) << versionMark;

    const QueriedRecords records(caps);
    records.each<ZoningCapabilitiesRecord>([&](const ZoningCapabilitiesRecord& record) {
        EXPECT_EQ(21, record.ObjType);
        EXPECT_EQ(caps, oidText(record.OID));
        EXPECT_EQ(definedOid(0), oidText(record.FullZoneDBOID));
        EXPECT_EQ(activeOid(0), oidText(record.ActiveZoneDBOID));
        EXPECT_EQ(1, record.ZoningEnabled);
        EXPECT_EQ(1, record.ZoneTransactionDirty) << "any nonzero value reads as 1";
        EXPECT_EQ(7, record.ZoneTransactionActive) << "copied as it is";
        EXPECT_EQ(2, record.ZoneTransactionCommit);
        EXPECT_EQ(3, record.ZoneTransactionValidate);
        EXPECT_EQ(0, record.ZoneMemberTargetTyping);
        EXPECT_EQ(0, record.ZoningRefresh);
        EXPECT_EQ(5, record.ValidationError);
        EXPECT_EQ(1, record.DefaultZoneSetSupported);
        // Names too long for their field are cut to fit with their NUL.
        EXPECT_EQ(longName.substr(0, 63), std::string(record.ValidationZoneSetName));
        EXPECT_EQ(fitting, std::string(record.ValidationZoneName));
        EXPECT_EQ(std::string(63, 'x'), std::string(record.ValidationZoneMemberName));
        EXPECT_EQ(0xFFFF, record.ZoneMaxSets) << "the limits are fixed";
        EXPECT_EQ(0xFFFF, record.ZoneMaxZonesPerSet);
        EXPECT_EQ(0xFFFF, record.ZoneMaxZones);
        EXPECT_EQ(0xFFFF, record.ZoneMaxMembers);
        EXPECT_EQ(64, record.ZoneMaxNameLen);
        EXPECT_EQ(versionMark, record.VersionMark) << "3 for the current generation only";
    });
    // Each read sets the databases' one-shot flags back and the default
    // zoning behaviour afresh from the switch.
    EXPECT_EQ(0, shortOf(definedOid(0), "ClearFullZoneDb"));
    EXPECT_EQ(0, shortOf(activeOid(0), "DeactivateActiveZoneDb"));
    EXPECT_LE(shortOf(caps, "DefaultZoningBehavior"), 1);
    EXPECT_EQ(1, shortOf(caps, "ZoningEnabled"));
}

TEST_P(ZoningDatabases, DefinedDatabaseRecordListsTheSwitchsObjects) {
    std::optional<Names> identifiers;
    const QueriedRecords records(definedOid(0));
    records.each<FullZoneDBRecord>([&](const FullZoneDBRecord& record) {
        EXPECT_EQ(24, record.ObjType);
        EXPECT_EQ(definedOid(0), oidText(record.OID));
        EXPECT_EQ(0, record.clearFullZoneDb);
        EXPECT_EQ((Names{"cfg1", "cfg2"}), namesOf(record.pcZoneSetOids));
        EXPECT_EQ((Names{"a1"}), namesOf(record.pcZoneAliasOids));
        EXPECT_EQ((Names{"z1", "z2", "spare", "q1", "f1"}), namesOf(record.pcZoneOids))
            << "the zones of type 2, then 4, then 6";
        // The three lists lie one behind the other in the record's block.
        EXPECT_EQ(record.pcZoneSetOids + 3, record.pcZoneAliasOids);
        EXPECT_EQ(record.pcZoneAliasOids + 2, record.pcZoneOids);
        Names all = oidList(record.pcZoneSetOids);
        for (const OID_t* list : {record.pcZoneAliasOids, record.pcZoneOids}) {
            const Names more = oidList(list);
            all.insert(all.end(), more.begin(), more.end());
        }
        if (!identifiers) {
            identifiers = all;
        }
        EXPECT_EQ(*identifiers, all) << "every read keeps the identifiers";
    });
    EXPECT_EQ(8u, definedNames(0).size());
    EXPECT_EQ(1, shortOf(oidNamed(0, "cfg1"), "ActivateZoneSet"));
    EXPECT_EQ(0, shortOf(oidNamed(0, "cfg2"), "ActivateZoneSet"));

    // The database's own flag is handed out as it is stored.
    setShort(definedOid(0), "ClearFullZoneDb", 1);
    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(definedOid(0).c_str(), &record));
    EXPECT_EQ(1, static_cast<FullZoneDBRecord*>(record)->clearFullZoneDb);
    falFreeObject(record);
}

TEST_P(ZoningDatabases, ActiveDatabaseRecordNamesTheActiveZoneSetAndItsZones) {
    std::optional<Names> identifiers;
    const QueriedRecords records(activeOid(0));
    records.each<ActiveZoneDBRecord>([&](const ActiveZoneDBRecord& record) {
        EXPECT_EQ(25, record.ObjType);
        EXPECT_EQ(activeOid(0), oidText(record.OID));
        ASSERT_NE(nullptr, record.pcActiveZoneSetName);
        EXPECT_STREQ("cfg1", record.pcActiveZoneSetName);
        EXPECT_EQ(0, record.deactivateActiveZoneDb);
        EXPECT_EQ((Names{"z1", "z2", "q1", "f1"}), namesOf(record.pcMemberOids));
        if (!identifiers) {
            identifiers = oidList(record.pcMemberOids);
        }
        EXPECT_EQ(*identifiers, oidList(record.pcMemberOids)) << "known zones keep theirs";
        // The name and the list lie in the record's block, behind its fields.
        const char* block = reinterpret_cast<const char*>(&record);
        EXPECT_EQ(block + sizeof(ActiveZoneDBRecord), record.pcActiveZoneSetName);
        EXPECT_EQ(record.pcActiveZoneSetName + 5,
                  reinterpret_cast<const char*>(record.pcMemberOids));
    });
    EXPECT_EQ(1, shortOf(oidNamed(0, "cfg1"), "ActivateZoneSet"));
    EXPECT_EQ(0, shortOf(oidNamed(0, "cfg2"), "ActivateZoneSet"));

    setShort(activeOid(0), "DeactivateActiveZoneDb", 1);
    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(activeOid(0).c_str(), &record));
    EXPECT_EQ(1, static_cast<ActiveZoneDBRecord*>(record)->deactivateActiveZoneDb);
    falFreeObject(record);
}

INSTANTIATE_TEST_SUITE_P(Levels, ZoningDatabases, ::testing::ValuesIn(kLevels),
                         [](const auto& info) { return levelName(info.param); });

// How a switch can have no active zone set.
enum class NoActive { NeverActivated, Deactivated, EmptyName };

struct NoActiveCase {
    const char* what;
    NoActive how;
};

void PrintTo(const NoActiveCase& value, std::ostream* out) {
    *out << value.what;
}

class NoActiveZoneSet
    : public ZoningDatabaseFixture,
      public ::testing::WithParamInterface<std::tuple<Level, NoActiveCase>> {
protected:
    void SetUp() override { start(std::get<0>(GetParam())); }
};

TEST_P(NoActiveZoneSet, ReadsTheSameAtEveryLevel) {
    int fabric = 0;
    switch (std::get<1>(GetParam()).how) {
    case NoActive::NeverActivated:
        fabric = 1;
        break;
    case NoActive::Deactivated: {
        ASSERT_EQ(0, statusOf(activeOid(0)));
        ASSERT_EQ(1, shortOf(oidNamed(0, "cfg1"), "ActivateZoneSet"));
        onSwitch(0, [](UDAL_ZoningAccess_Ifc& zoning) { zoning.ZoneSetDeactivate(); });
        break;
    }
    case NoActive::EmptyName:
        // The switch answers with an empty active zone set name, and an
        // empty active database text.
        for (int procedure : {21, 27}) {
            injectFault({{"procedure", procedure}, {"kind", "status"}, {"status", 0}});
        }
        break;
    }
    const QueriedRecords records(capabilitiesOid(fabric));
    records.each<ZoningCapabilitiesRecord>([&](const ZoningCapabilitiesRecord& record) {
        EXPECT_EQ(0, record.ZoningEnabled);
    });
    EXPECT_EQ(0, shortOf(capabilitiesOid(fabric), "ZoningEnabled"));

    EXPECT_EQ(-28, statusOf(activeOid(fabric)));
    EXPECT_EQ(Names{}, listValues(*stored(activeOid(fabric)), "setMember"));
    EXPECT_EQ("", textOf(stored(activeOid(fabric)), "ZoneSetName"));

    ASSERT_EQ(0, statusOf(definedOid(fabric)));
    for (const char* zoneSet : {"cfg1", "cfg2"}) {
        EXPECT_EQ(0, shortOf(oidNamed(fabric, zoneSet), "ActivateZoneSet"))
            << zoneSet << ": no zone set is marked active";
    }

    // The object walk leaves the active database out, with no error record.
    void** all = nullptr;
    EXPECT_EQ(0, GetAllObjects(&all));
    for (int i = 0; all != nullptr && all[i] != nullptr; ++i) {
        const auto* head = static_cast<const ErrorRecord*>(all[i]);
        EXPECT_NE(activeOid(fabric), oidText(head->OID));
        EXPECT_NE(ORVANE_ERROR_RECORD_TYPE, head->ObjType) << oidText(head->RequestedOID);
        falFreeObject(all[i]);
    }
    falFreeObject(all);
}

const NoActiveCase kNoActiveCases[] = {
    {"neverActivated", NoActive::NeverActivated},
    {"deactivated", NoActive::Deactivated},
    {"emptyName", NoActive::EmptyName},
};
INSTANTIATE_TEST_SUITE_P(Levels, NoActiveZoneSet,
                         ::testing::Combine(::testing::ValuesIn(kLevels),
                                            ::testing::ValuesIn(kNoActiveCases)),
                         [](const auto& info) {
                             return levelName(std::get<0>(info.param)) + "_" +
                                    std::get<1>(info.param).what;
                         });

TEST_P(ZoningDatabases, ANameTheSwitchNoLongerListsGoesWithItsMembers) {
    ASSERT_EQ(0, statusOf(definedOid(0)));
    const ZoningNameTable first = definedNames(0);
    const Names zoneMembers = giveMembers(0, "spare", zoning_table::FullZones, {"1,5", "1,6"});
    const Names aliasMembers = giveMembers(0, "a1", zoning_table::FullAliases, {"3,1", "3,2"});
    ASSERT_EQ(2u, zoneMembers.size());
    ASSERT_EQ(2u, aliasMembers.size());
    deleteOnSwitch(0, {"cfg2"}, 1);
    deleteOnSwitch(0, {"spare"}, 2);
    deleteOnSwitch(0, {"a1"}, 3);
    createOnSwitch(0, "z9", 4, {"1,9"});
    createOnSwitch(0, "cfg3", 1, {"z9"});

    const QueriedRecords records(definedOid(0));
    records.each<FullZoneDBRecord>([&](const FullZoneDBRecord& record) {
        EXPECT_EQ((Names{"cfg1", "cfg3"}), namesOf(record.pcZoneSetOids));
        EXPECT_EQ(Names{}, namesOf(record.pcZoneAliasOids));
        EXPECT_EQ((Names{"z1", "z2", "q1", "z9", "f1"}), namesOf(record.pcZoneOids));
        EXPECT_EQ(record.pcZoneSetOids + 3, record.pcZoneAliasOids);
        EXPECT_EQ(record.pcZoneAliasOids + 1, record.pcZoneOids);
    });
    const ZoningNameTable now = definedNames(0);
    for (const char* kept : {"cfg1", "z1", "z2", "q1", "f1"}) {
        EXPECT_EQ(first.at(kept), now.at(kept)) << kept << " keeps its identifier";
    }
    for (const char* gone : {"cfg2", "spare", "a1"}) {
        EXPECT_FALSE(now.contains(gone)) << gone;
        EXPECT_FALSE(isStored(first.at(gone))) << gone;
        EXPECT_NE(0, statusOf(first.at(gone))) << gone;
    }
    for (const Names* members : {&zoneMembers, &aliasMembers}) {
        for (const std::string& member : *members) {
            EXPECT_FALSE(isStored(member)) << member << " went with its owner";
        }
    }
    EXPECT_FALSE(hasMemberEntry(0, zoning_table::FullZones, "spare"));
    EXPECT_FALSE(hasMemberEntry(0, zoning_table::FullAliases, "a1"));
    EXPECT_EQ(0, shortOf(now.at("cfg3"), "ActivateZoneSet"));
    EXPECT_EQ(1, shortOf(now.at("cfg1"), "ActivateZoneSet"));
    EXPECT_EQ(ZoningRemovedSet{}, removedSet(0));
}

TEST_P(ZoningDatabases, TheActiveDatabasesReadDropsZoneSetsTheSwitchNoLongerLists) {
    ASSERT_EQ(0, statusOf(definedOid(0)));
    const ZoningNameTable first = definedNames(0);
    deleteOnSwitch(0, {"cfg2"}, 1);
    deleteOnSwitch(0, {"spare"}, 2); // zones are the defined database's to drop
    ASSERT_EQ(0, statusOf(activeOid(0)));
    const ZoningNameTable now = definedNames(0);
    EXPECT_FALSE(now.contains("cfg2"));
    EXPECT_FALSE(isStored(first.at("cfg2")));
    EXPECT_EQ(first.at("cfg1"), now.at("cfg1"));
    EXPECT_EQ(first.at("spare"), now.at("spare"));
}

// A switch answer that fails the zone set read of both databases.
struct ReadFault {
    const char* what;
    json fault;
    int status;
};

void PrintTo(const ReadFault& value, std::ostream* out) {
    *out << value.what;
}

class FailedZoneSetRead : public ZoningDatabaseFixture,
                          public ::testing::WithParamInterface<std::tuple<Level, ReadFault>> {
protected:
    void SetUp() override { start(std::get<0>(GetParam())); }
};

TEST_P(FailedZoneSetRead, DestroysNothingAndReturnsTheMappedCode) {
    const ReadFault& fault = std::get<1>(GetParam());
    ASSERT_EQ(0, statusOf(definedOid(0)));
    ASSERT_EQ(0, statusOf(activeOid(0)));
    // A change that a sound read would take in.
    deleteOnSwitch(0, {"cfg2"}, 1);
    const ZoningSnapshot before = ZoningSnapshot::take(key(0));
    injectFault(fault.fault);
    std::optional<ShortRpcTimeout> shortTimeout;
    if (fault.fault["kind"] == "noReply") {
        shortTimeout.emplace(std::chrono::milliseconds(1500));
    }
    for (const std::string& oid : {definedOid(0), activeOid(0)}) {
        EXPECT_EQ(fault.status, statusOf(oid)) << oid;
        const ZoningSnapshot after = ZoningSnapshot::take(key(0));
        EXPECT_EQ(before, after) << oid << ::testing::PrintToString(after.differencesFrom(before));
    }
    // In a list the failed read stands as an error record with that code.
    char list[2 * 48] = {};
    definedOid(0).copy(list, 47);
    void** records = nullptr;
    EXPECT_EQ(-221, GetObjects(list, &records));
    ASSERT_NE(nullptr, records);
    ASSERT_NE(nullptr, records[0]);
    const auto* error = static_cast<const ErrorRecord*>(records[0]);
    EXPECT_EQ(ORVANE_ERROR_RECORD_TYPE, error->ObjType);
    EXPECT_EQ(fault.status, error->Status);
    falFreeObject(records[0]);
    falFreeObject(records);

    shortTimeout.reset();
    sim_->clearFaults();
    const std::string cfg1 = oidNamed(0, "cfg1");
    ASSERT_EQ(0, statusOf(definedOid(0))) << "the next read takes the change in";
    EXPECT_FALSE(definedNames(0).contains("cfg2"));
    EXPECT_EQ(cfg1, oidNamed(0, "cfg1"));
}

const ReadFault kReadFaults[] = {
    {"noTransaction", {{"procedure", 15}, {"code", 1}, {"kind", "status"}, {"status", -10050}}, -40},
    {"notPrimary", {{"procedure", 15}, {"code", 1}, {"kind", "status"}, {"status", -60701}}, -59},
    {"unanswered", {{"procedure", 15}, {"code", 1}, {"kind", "status"}, {"status", -10200}}, -56},
    {"unknownStatus",
     {{"procedure", 15}, {"code", 1}, {"kind", "status"}, {"status", -12345}},
     -1000},
    {"garbled", {{"procedure", 15}, {"code", 1}, {"kind", "malformed"}}, -56},
    {"noReply", {{"procedure", 15}, {"code", 1}, {"kind", "noReply"}}, -56},
};
INSTANTIATE_TEST_SUITE_P(Levels, FailedZoneSetRead,
                         ::testing::Combine(::testing::ValuesIn(kLevels),
                                            ::testing::ValuesIn(kReadFaults)),
                         [](const auto& info) {
                             return levelName(std::get<0>(info.param)) + "_" +
                                    std::get<1>(info.param).what;
                         });

TEST_P(ZoningDatabases, NoReplyToTheActiveZoneSetNameHandsOutNothing) {
    ASSERT_EQ(0, statusOf(definedOid(0)));
    ASSERT_EQ(0, statusOf(activeOid(0)));
    deleteOnSwitch(0, {"cfg2"}, 1);
    const ZoningSnapshot before = ZoningSnapshot::take(key(0));
    injectFault({{"procedure", 21}, {"kind", "status"}, {"status", -10200}});
    EXPECT_EQ(-56, statusOf(capabilitiesOid(0)));
    for (const std::string& oid : {definedOid(0), activeOid(0)}) {
        EXPECT_EQ(-56, statusOf(oid)) << oid;
    }
    const ZoningSnapshot after = ZoningSnapshot::take(key(0));
    std::vector<std::string> changes = after.differencesFrom(before);
    // Only the probe's own flag, which the read clears before it asks.
    std::erase_if(changes, [](const std::string& line) {
        return line.find("attr ZoningEnabled") != std::string::npos;
    });
    EXPECT_EQ(std::vector<std::string>{}, changes);
    sim_->clearFaults();
    const QueriedRecords records(capabilitiesOid(0));
    records.each<ZoningCapabilitiesRecord>(
        [](const ZoningCapabilitiesRecord& record) { EXPECT_EQ(1, record.ZoningEnabled); });
}

TEST_P(ZoningDatabases, AnEmptyZoneSetAnswerDropsEveryZoneSet) {
    ASSERT_EQ(0, statusOf(definedOid(0)));
    const ZoningNameTable first = definedNames(0);
    for (int status : {-10100, 0}) { // "not found", and a list of no names
        SCOPED_TRACE(status);
        injectFault({{"procedure", 15}, {"code", 1}, {"kind", "status"}, {"status", status}});
        const QueriedRecords records(definedOid(0));
        records.each<FullZoneDBRecord>([&](const FullZoneDBRecord& record) {
            EXPECT_EQ(Names{}, namesOf(record.pcZoneSetOids));
            EXPECT_EQ(record.pcZoneSetOids + 1, record.pcZoneAliasOids);
            EXPECT_EQ((Names{"a1"}), namesOf(record.pcZoneAliasOids));
        });
        EXPECT_FALSE(isStored(first.at("cfg1")));
        EXPECT_FALSE(isStored(first.at("cfg2")));
        EXPECT_EQ(first.at("z1"), oidNamed(0, "z1"));
        sim_->clearFaults();
        ASSERT_EQ(0, statusOf(definedOid(0)));
        EXPECT_TRUE(definedNames(0).contains("cfg1"));
    }
}

TEST_P(ZoningDatabases, ReconciliationKeepsWhatTheOpenTransactionNames) {
    ASSERT_EQ(0, statusOf(definedOid(0)));
    const Names members = giveMembers(0, "spare", zoning_table::FullZones, {"1,5", "1,6"});
    const Names aliasMembers = giveMembers(0, "a1", zoning_table::FullAliases, {"3,1"});
    const std::string spare = oidNamed(0, "spare");
    const std::string cfg2 = oidNamed(0, "cfg2");
    const std::string a1 = oidNamed(0, "a1");
    {
        // An open transaction whose edits name "spare" and cfg2, as the
        // editing functions record them; a1 it does not name.
        LockGuard model(getObjectStoreMutex());
        findObjectUnlocked(capabilitiesOid(0))->setShortAttr("ZoneTransactionActive", 1);
        AddZoningJournalRecord(key(0), zoning_verb::AddToList, definedOid(0), "setZone", spare);
        AddZoningJournalRecord(key(0), zoning_verb::FullNameAdd, "", "cfg2", cfg2);
    }
    deleteOnSwitch(0, {"cfg2"}, 1);
    deleteOnSwitch(0, {"spare"}, 2);
    deleteOnSwitch(0, {"a1"}, 3);

    // The active database's read drops zone sets only.
    ASSERT_EQ(0, statusOf(activeOid(0)));
    EXPECT_FALSE(definedNames(0).contains("cfg2"));
    EXPECT_TRUE(isStored(cfg2)) << "a rollback can still link it again";
    EXPECT_EQ(ZoningRemovedSet{cfg2}, removedSet(0));

    const QueriedRecords records(definedOid(0));
    records.each<FullZoneDBRecord>([&](const FullZoneDBRecord& record) {
        EXPECT_EQ((Names{"cfg1"}), namesOf(record.pcZoneSetOids));
        EXPECT_EQ(Names{}, namesOf(record.pcZoneAliasOids));
        EXPECT_EQ((Names{"z1", "z2", "q1", "f1"}), namesOf(record.pcZoneOids));
    });
    EXPECT_FALSE(isStored(a1)) << "what the transaction does not name goes at once";
    EXPECT_FALSE(isStored(aliasMembers.at(0)));
    EXPECT_TRUE(isStored(spare));
    ZoningRemovedSet kept{cfg2, spare};
    for (const std::string& member : members) {
        EXPECT_TRUE(isStored(member)) << member << " stays with the zone kept";
        kept.insert(member);
    }
    EXPECT_EQ(kept, removedSet(0));

    // A commit destroys what the transaction removed.
    {
        LockGuard model(getObjectStoreMutex());
        PurgeRemovedObjects(key(0));
    }
    for (const std::string& oid : kept) {
        EXPECT_FALSE(isStored(oid)) << oid;
    }
}

} // namespace
