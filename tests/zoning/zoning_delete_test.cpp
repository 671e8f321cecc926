// DeleteSingleObject and DeleteObjects on simulated fabrics opened through
// the exports: each zoning deletion inside a transaction is undone by the
// rollback on both sides, kept by the commit with the library's view equal
// to the switch's defined database, and every refusal changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "tests/support/ZoningSnapshot.h"
#include "tests/zoning/exports/ZoningExportsFabric.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using nlohmann::json;
using zoning_exports::fabricOid;
using zoning_exports::oidOfType;

constexpr unsigned kTransactionActive = 0xA0B23;
constexpr unsigned kTransactionCommit = 0xA0B24;
constexpr std::uint32_t kDeleteProcedure = 13;

// Name -> its members, as a set of texts.
using ZoningView = std::map<std::string, std::multiset<std::string>>;

class ZoningDeleteTest : public ::testing::Test {
protected:
    void TearDown() override {
        FabAPI_ShutdownFabricAPI();
        sim_.reset();
    }

    void open(const std::string& firmware) {
        FabAPI_ShutdownFabricAPI();
        sim_.emplace(zoning_exports::document(firmware));
        zoning_exports::openBoth(*sim_);
        ASSERT_EQ(0, readAll());
    }

    // Every object read, as an application does before and after it edits.
    static int readAll() {
        void** records = nullptr;
        const int status = GetAllObjects(&records);
        for (void** record = records; record != nullptr && *record != nullptr; ++record) {
            falFreeObject(*record);
        }
        falFreeObject(records);
        return status;
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

    // The identifier "FZDB" gives the name; empty when none.
    static std::string named(const std::string& name) {
        LockGuard model(getObjectStoreMutex());
        const auto* names = FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::FullNames);
        const auto found = names != nullptr ? names->find(name) : ZoningNameTable::iterator();
        return names != nullptr && found != names->end() ? found->second : "";
    }
    static unsigned short flag(const std::string& oid, const char* name) {
        LockGuard model(getObjectStoreMutex());
        unsigned short value = 0xFFFF;
        if (StoredObject* object = findObjectUnlocked(oid)) {
            object->getShortAttr(name, value);
        }
        return value;
    }
    static std::vector<std::string> journal() {
        LockGuard model(getObjectStoreMutex());
        std::vector<std::string> rows;
        for (const auto& row : *FindZoningCacheTable<ZoningJournal>(key(), zoning_table::Journal)) {
            rows.push_back(row.verb + " " + row.first + " " + row.second + " " + row.third +
                           (row.savedMembers ? " +map" : ""));
        }
        return rows;
    }
    static std::set<std::string> removedSet() {
        LockGuard model(getObjectStoreMutex());
        return *FindZoningCacheTable<ZoningRemovedSet>(key(), zoning_table::RemovedObjects);
    }
    static std::vector<std::string> members(const std::string& oid) {
        LockGuard model(getObjectStoreMutex());
        return listValues(*findObjectUnlocked(oid), "setMember");
    }

    json switchZoning() { return sim_->request({{"op", "zoning"}, {"fabric", 0}})["zoning"]; }
    std::uint64_t calls(std::uint32_t procedure) {
        return sim_->callCount(sim_->address(0), procedure);
    }

    // The defined database as the switch holds it.
    static ZoningView viewOf(const json& objects) {
        ZoningView view;
        for (const auto& object : objects) {
            auto& members = view[object["name"].get<std::string>()];
            for (const auto& member : object["members"]) {
                members.insert(member.get<std::string>());
            }
        }
        return view;
    }

    // The defined database as the library's stored objects hold it.
    static ZoningView libraryView() {
        LockGuard model(getObjectStoreMutex());
        ZoningView view;
        const StoredObject* database = findObjectUnlocked(fullDb());
        for (const char* list : {"setZoneSet", "setZone", "setZoneAlias"}) {
            for (const std::string& oid : listValues(*database, list)) {
                const StoredObject* object = findObjectUnlocked(oid);
                if (object == nullptr) {
                    view["dangling " + oid];
                    continue;
                }
                auto& members = view[nameOf(*object)];
                for (const std::string& member : listValues(*object, "setMember")) {
                    const StoredObject* stored = findObjectUnlocked(member);
                    members.insert(stored != nullptr ? nameOf(*stored) : "dangling " + member);
                }
            }
        }
        return view;
    }

    static std::string nameOf(const StoredObject& object) {
        std::string name;
        for (const char* attribute : {"ZoneName", "ZoneSetName", "ZoneAliasName", "MemberName",
                                      "UndefinedObjName"}) {
            if (object.getStringAttr(attribute, name)) {
                return name;
            }
        }
        return "?";
    }

    // Every zoning object of both fabrics is reached from a database (no
    // orphan), and every identifier in their lists and tables is stored (no
    // dangling identifier).
    static void expectNoOrphanNoDangling() {
        LockGuard model(getObjectStoreMutex());
        std::set<std::string> reached;
        std::vector<std::string> pending;
        for (int i = 0; i < 2; ++i) {
            pending.push_back(oidOfType("0018", i));
            pending.push_back(oidOfType("0019", i));
        }
        while (!pending.empty()) {
            const std::string oid = pending.back();
            pending.pop_back();
            if (!reached.insert(oid).second) {
                continue;
            }
            const StoredObject* object = findObjectUnlocked(oid);
            ASSERT_NE(nullptr, object) << "dangling " << oid;
            if (storedObjectType(*object) == 2) {
                continue; // a switch that a protocol zone names
            }
            for (const char* list : {"setZoneSet", "setZone", "setZoneAlias", "setMember"}) {
                for (const std::string& member : listValues(*object, list)) {
                    pending.push_back(member);
                }
            }
        }
        for (const auto& [oid, object] : objectMap()) {
            const unsigned short type = storedObjectType(*object);
            for (const unsigned short zoning : kZoningObjectTypes) {
                EXPECT_FALSE(type == zoning && !reached.contains(oid)) << "orphan " << oid;
            }
        }
        const auto* names = FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::FullNames);
        for (const auto& [name, oid] : *names) {
            EXPECT_NE(nullptr, findObjectUnlocked(oid)) << name;
        }
    }

    static void expectSame(const ZoningSnapshot& after, const ZoningSnapshot& before) {
        EXPECT_EQ(after, before) << ::testing::PrintToString(after.differencesFrom(before));
    }

    std::optional<SwitchSimulator> sim_;
};

// The defined objects deleted one at a time at each level with a switch
// transaction.
using LevelAndName = std::tuple<const char*, const char*>;

class ZoningDeleteLevels : public ZoningDeleteTest,
                           public ::testing::WithParamInterface<LevelAndName> {
protected:
    void SetUp() override { open(std::get<0>(GetParam())); }
    static std::string name() { return std::get<1>(GetParam()); }
};

TEST_P(ZoningDeleteLevels, RollbackRestoresTheLibraryAndTheSwitch) {
    const std::string oid = named(name());
    ASSERT_FALSE(oid.empty());
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    const json definedBefore = switchZoning()["defined"];

    ASSERT_EQ(0, start());
    ASSERT_EQ(0, DeleteSingleObject(oid.c_str()));
    EXPECT_EQ(1u, calls(kDeleteProcedure));
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionDirty"));
    EXPECT_EQ(switchZoning()["defined"], definedBefore) << "the deletion waits in the transaction";
    EXPECT_FALSE(viewOf(switchZoning()["transaction"]["copy"]).contains(name()));
    EXPECT_EQ("", named(name()));
    EXPECT_TRUE(removedSet().contains(oid));
    EXPECT_NE(nullptr, findObject(oid)) << "stored until the commit";

    ASSERT_EQ(0, rollBack());
    expectSame(ZoningSnapshot::take(key()), before);
    EXPECT_EQ(switchZoning()["defined"], definedBefore);
    EXPECT_EQ(0, readAll());
    expectSame(ZoningSnapshot::take(key()), before);
}

TEST_P(ZoningDeleteLevels, CommitLeavesTheLibraryAsTheSwitch) {
    // Deleting z2 leaves cfg2 without members: it stays, and reads so.
    const std::string oid = named(name());
    std::vector<std::string> gone{oid};
    for (const std::string& member : members(oid)) {
        const unsigned short type = oidObjectType(member);
        if (type == 22 || type == 0xFFFB || oidObjectType(oid) == 20) {
            gone.push_back(member);
        }
    }
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, DeleteSingleObject(oid.c_str()));
    ASSERT_EQ(0, commit());

    const json zoning = switchZoning();
    EXPECT_FALSE(viewOf(zoning["defined"]).contains(name()));
    for (const std::string& removed : gone) {
        EXPECT_EQ(nullptr, findObject(removed)) << removed;
    }
    EXPECT_TRUE(journal().empty());
    EXPECT_TRUE(removedSet().empty());
    ASSERT_EQ(0, readAll());
    EXPECT_EQ(libraryView(), viewOf(switchZoning()["defined"]));
    expectNoOrphanNoDangling();
}

// cfg1 is the active zone set; z2, q1 and f1 (of the three zone kinds)
// and z1 are in it; z1 holds the alias a1; "spare" holds undefined
// members.
INSTANTIATE_TEST_SUITE_P(Objects, ZoningDeleteLevels,
                         ::testing::Combine(::testing::Values("v2.4.1", "v2.6.0", "v4.1.0"),
                                            ::testing::Values("z2", "q1", "f1", "z1", "spare",
                                                              "cfg1", "cfg2", "a1")),
                         [](const auto& info) {
                             std::string level = std::get<0>(info.param);
                             std::erase(level, '.');
                             return level + "_" + std::get<1>(info.param);
                         });

TEST_F(ZoningDeleteTest, ZoneDeletionJournalsWhatItErased) {
    open("v4.1.0");
    const std::string z1 = named("z1"), a1 = named("a1");
    std::set<std::string> expected{z1};
    for (const std::string& member : members(z1)) {
        if (member != a1) {
            expected.insert(member);
        }
    }
    ASSERT_EQ(expected.size(), 3u) << "two zone members and the zone";
    std::vector<std::string> zones;
    {
        LockGuard model(getObjectStoreMutex());
        zones = listValues(*findObjectUnlocked(fullDb()), "setZone");
    }
    ASSERT_EQ(zones.front(), z1);

    ASSERT_EQ(0, start());
    ASSERT_EQ(0, DeleteSingleObject(z1.c_str()));
    EXPECT_EQ(removedSet(), expected) << "the alias stays";
    // Newest row first: the map, the name, then the rows that put z1 back
    // at the head of "setZone"; before them (newer) the rows that put z1
    // back into cfg1.
    std::vector<std::string> rows{"FZDBZADDMAP  z1  +map", "FZDBADD  z1 " + z1};
    for (std::size_t i = 1; i < zones.size(); ++i) {
        rows.push_back("DELETEVEC " + fullDb() + " setZone " + zones[i]);
    }
    rows.push_back("ADDVEC " + fullDb() + " setZone " + z1);
    for (std::size_t i = 1; i < zones.size(); ++i) {
        rows.push_back("ADDVEC " + fullDb() + " setZone " + zones[i]);
    }
    const std::vector<std::string> written = journal();
    ASSERT_GT(written.size(), rows.size());
    EXPECT_EQ(std::vector<std::string>(written.end() - rows.size(), written.end()), rows);
    const std::string cfg1 = named("cfg1");
    EXPECT_NE(std::find(written.begin(), written.end(), "ADDVEC " + cfg1 + " setMember " + z1),
              written.end());
    const std::vector<std::string> cfg1Members = members(cfg1);
    EXPECT_EQ(std::find(cfg1Members.begin(), cfg1Members.end(), z1), cfg1Members.end())
        << "z1 left cfg1 as it did on the switch";
    ASSERT_EQ(0, rollBack());
}

TEST_F(ZoningDeleteTest, ZoneSetLeavesEveryTable) {
    open("v4.1.0");
    const std::string cfg2 = named("cfg2");
    {
        LockGuard model(getObjectStoreMutex());
        ASSERT_TRUE(FindZoningCacheTable<ZoningMemberTable>(key(), zoning_table::FullZoneSets)
                        ->contains("cfg2"));
    }
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, DeleteSingleObject(cfg2.c_str()));
    {
        LockGuard model(getObjectStoreMutex());
        EXPECT_FALSE(FindZoningCacheTable<ZoningMemberTable>(key(), zoning_table::FullZoneSets)
                         ->contains("cfg2"));
    }
    EXPECT_EQ(journal().front(), "FZDBZSETADDMAP  cfg2  +map");
    ASSERT_EQ(0, rollBack());
    expectSame(ZoningSnapshot::take(key()), before);
}

TEST_F(ZoningDeleteTest, SeveralDeletionsRollBackTogether) {
    open("v2.6.0");
    // A zone seeded on the switch beside the document's, read in.
    ASSERT_EQ(0, sim_->request({{"op", "editZoning"},
                                {"fabric", 0},
                                {"edit", {{"action", "create"},
                                          {"name", "zextra"},
                                          {"type", 2},
                                          {"members", {"4,4", "21:00:00:e0:8b:00:00:01"}}}}})
                     ["status"]);
    ASSERT_EQ(0, readAll());
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    const json definedBefore = switchZoning()["defined"];
    ASSERT_EQ(0, start());
    char list[5 * 48] = {};
    const char* names[] = {"zextra", "z2", "a1", "cfg2"};
    for (int i = 0; i < 4; ++i) {
        std::strncpy(list + 48 * i, named(names[i]).c_str(), 47);
    }
    ASSERT_EQ(0, DeleteObjects(list));
    EXPECT_EQ(4u, calls(kDeleteProcedure));
    ASSERT_EQ(0, rollBack());
    expectSame(ZoningSnapshot::take(key()), before);
    EXPECT_EQ(switchZoning()["defined"], definedBefore);

    ASSERT_EQ(0, start());
    ASSERT_EQ(0, DeleteObjects(list));
    ASSERT_EQ(0, commit());
    ASSERT_EQ(0, readAll());
    EXPECT_EQ(libraryView(), viewOf(switchZoning()["defined"]));
    expectNoOrphanNoDangling();
}

// A zone member of the defined database itself goes at once, without a
// transaction and without a switch request.
TEST_F(ZoningDeleteTest, FreeZoneMemberGoesAtOnce) {
    open("v4.1.0");
    std::string member;
    {
        LockGuard model(getObjectStoreMutex());
        StoredObject* full = findObjectUnlocked(fullDb());
        ASSERT_EQ(0, CreateZoneMemberObject(full, "7,7", 8));
        member = listValues(*full, "setMember").back();
    }
    const std::uint64_t requests = calls(kDeleteProcedure);
    ASSERT_EQ(0, DeleteSingleObject(member.c_str()));
    EXPECT_EQ(nullptr, findObject(member));
    EXPECT_TRUE(members(fullDb()).empty());
    EXPECT_EQ(requests, calls(kDeleteProcedure));
    EXPECT_TRUE(journal().empty());
}

// Each refusal returns its code and leaves the library and the switch as
// they were.
struct Refusal {
    const char* name;
    bool open; // a transaction is open first
    // The list's identifiers (by name of a defined object, "caps", "active:"
    // and an active zone's name, "member:" and a zone's name for its first
    // member, "none" for one not stored); set up by `prepare`, if any.
    std::vector<std::string> targets;
    std::function<void()> prepare;
    int expected;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class ZoningDeleteRefusals : public ZoningDeleteTest,
                             public ::testing::WithParamInterface<Refusal> {
protected:
    void SetUp() override { open("v4.1.0"); }

    static std::string target(const std::string& text) {
        if (text == "caps") {
            return caps();
        }
        if (text == "none") {
            return "000a0999000000000000";
        }
        if (text.starts_with("member:")) {
            return members(named(text.substr(7))).back();
        }
        if (text.starts_with("active:")) {
            LockGuard model(getObjectStoreMutex());
            const auto* names =
                FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::ActiveNames);
            return names->at(text.substr(7));
        }
        return named(text);
    }
};

TEST_P(ZoningDeleteRefusals, ChangeNothing) {
    const Refusal& refusal = GetParam();
    if (refusal.open) {
        ASSERT_EQ(0, start());
    }
    std::vector<char> list(48 * (refusal.targets.size() + 1), '\0');
    for (std::size_t i = 0; i < refusal.targets.size(); ++i) {
        const std::string oid = target(refusal.targets[i]);
        ASSERT_FALSE(oid.empty()) << refusal.targets[i];
        std::strncpy(list.data() + 48 * i, oid.c_str(), 47);
    }
    if (refusal.prepare) {
        LockGuard model(getObjectStoreMutex());
        refusal.prepare();
    }
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    const json switchBefore = switchZoning();

    EXPECT_EQ(refusal.expected, DeleteObjects(list.data()));
    expectSame(ZoningSnapshot::take(key()), before);
    EXPECT_EQ(switchZoning(), switchBefore);
    EXPECT_EQ(0u, calls(kDeleteProcedure));
}

// Unlinks the object stored under `oid` from its parent `relation`.
void unlink(const std::string& oid, const char* relation) {
    StoredObject* object = findObjectUnlocked(oid);
    std::string parent;
    object->getNextRelation(relation, parent);
    object->removeRelation(relation, parent);
}

const Refusal kRefusals[] = {
    {"NotStored", true, {"none"}, nullptr, -17},
    {"EmptyList", true, {}, nullptr, -17},
    {"NoTransaction", false, {"z2"}, nullptr, -40},
    {"ZoneSetWithoutTransaction", false, {"cfg2"}, nullptr, -40},
    {"AliasWithoutTransaction", false, {"a1"}, nullptr, -40},
    {"ActiveZone", true, {"active:z2"}, nullptr, -75},
    {"MemberOfAZone", true, {"member:z2"}, nullptr, -76},
    {"MemberOfAnAlias", false, {"member:a1"}, nullptr, -76},
    {"CapabilitiesAlone", true, {"caps"}, nullptr, -20},
    // The first entry's fabric is found through the capabilities object.
    {"ParentNotStored", true, {"caps", "z2"},
     [] {
         const std::string z2 = FindZoningCacheTable<ZoningNameTable>(
                                    oidOfType("0009", 0), zoning_table::FullNames)->at("z2");
         unlink(z2, "setParent");
         findObjectUnlocked(z2)->addRelation("setParent", "0018ffffffffffffffff");
     },
     -28},
    {"CapabilitiesNotStored", true, {"caps", "z2"},
     [] {
         unlink(oidOfType("0018", 0), "setParent");
         findObjectUnlocked(oidOfType("0018", 0))->addRelation("setParent", "0015ffffffffffffffff");
     },
     -29},
    {"SecondNotStored", true, {"caps", "none"}, nullptr, -17},
};

INSTANTIATE_TEST_SUITE_P(Codes, ZoningDeleteRefusals, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ZoningDeleteTest, ListEndsAtItsFirstFailure) {
    open("v4.1.0");
    ASSERT_EQ(0, start());
    char list[3 * 48] = {};
    std::strncpy(list, named("z2").c_str(), 47);
    std::strncpy(list + 48, caps().c_str(), 47);
    EXPECT_EQ(-20, DeleteObjects(list)) << "the zone goes, the capabilities object stays";
    EXPECT_EQ("", named("z2"));
    EXPECT_NE(nullptr, findObject(caps()));

    std::strncpy(list, named("cfg2").c_str(), 47);
    std::strncpy(list + 48, "000a0999000000000000", 47);
    EXPECT_EQ(-17, DeleteObjects(list));
    EXPECT_EQ("", named("cfg2")) << "what the first entry did stays done";
    ASSERT_EQ(0, rollBack());
    EXPECT_FALSE(named("z2").empty());
    EXPECT_FALSE(named("cfg2").empty());
}

TEST_F(ZoningDeleteTest, SwitchRefusalChangesNothing) {
    open("v4.1.0");
    ASSERT_EQ(0, start());
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    sim_->injectFault({{"address", sim_->address(0)},
                       {"procedure", kDeleteProcedure},
                       {"kind", "status"},
                       {"status", -10100},
                       {"count", 1}});
    EXPECT_EQ(-21, DeleteSingleObject(named("z2").c_str()));
    expectSame(ZoningSnapshot::take(key()), before);
    ASSERT_EQ(0, rollBack());
}

TEST_F(ZoningDeleteTest, Frame) {
    open("v4.1.0");
    EXPECT_EQ(0, DeleteObjects(nullptr));
    EXPECT_EQ(-3, DeleteSingleObject(nullptr));
    const char empty[48] = {};
    EXPECT_EQ(-17, DeleteObjects(empty));
    EXPECT_EQ(-17, DeleteSingleObject(""));
    // An identifier longer than its field is cut to 47 characters.
    const std::string z2 = named("z2") + std::string(40, '0');
    EXPECT_EQ(-17, DeleteSingleObject(z2.c_str()));

    FabAPI_ShutdownFabricAPI();
    EXPECT_EQ(-98, DeleteSingleObject(named("z2").c_str()));
    EXPECT_EQ(-98, DeleteObjects(empty));
}

// Below 2.6 the switch types the zones of the active database from its
// defined database: an active zone deleted there still reads, as a plain
// zone, with its members from the active listing.
TEST_F(ZoningDeleteTest, ActiveDatabaseReadsAfterItsZoneIsDeleted) {
    open("v2.4.1");
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, DeleteSingleObject(named("q1").c_str()));
    ASSERT_EQ(0, commit());
    ASSERT_EQ("cfg1", switchZoning()["effective"]["zoneSet"]);

    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(activeDb().c_str(), &record));
    falFreeObject(record);
    std::string q1;
    {
        LockGuard model(getObjectStoreMutex());
        const auto* names = FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::ActiveNames);
        ASSERT_EQ(4u, names->size()) << "z1, z2, q1 and f1 are still active";
        q1 = names->at("q1");
    }
    ASSERT_EQ(0, GetSingleObject(q1.c_str(), &record));
    falFreeObject(record);
    EXPECT_EQ(2, flag(q1, "ZoneType")) << "the object keeps the kind it was read with";
    std::vector<std::string> names;
    for (const std::string& member : members(q1)) {
        LockGuard model(getObjectStoreMutex());
        names.push_back(nameOf(*findObjectUnlocked(member)));
    }
    EXPECT_EQ(names, std::vector<std::string>{"2,1"});
    EXPECT_EQ(0, readAll());

    // The listing itself: q1 as a plain zone, the others with their kinds.
    void* handle = nullptr;
    {
        LockGuard model(getObjectStoreMutex());
        findObjectUnlocked(key())->getHandleAttr("HDL", handle);
    }
    std::unique_ptr<UDAL_ZoningAccess_Ifc> access(
        getZoningAccess(proxySwitchVersionClass("v2.4.1"), static_cast<SessionContext*>(handle)));
    std::vector<ZoningObjectEntry*>* listing = access->GetZoningObjects(1, 0);
    ASSERT_NE(nullptr, listing);
    std::map<std::string, int> types;
    for (const ZoningObjectEntry* entry : *listing) {
        types[entry->name] = entry->type;
    }
    access->ZoningObjectVectorDelete(&listing);
    EXPECT_EQ(types, (std::map<std::string, int>{
                         {"cfg1", 1}, {"z1", 2}, {"z2", 2}, {"q1", 2}, {"f1", 6}}));
}

// At the 2.2 level each deletion reaches the switch at once, inside the
// library's own transaction; the commit leaves both sides equal.
TEST_F(ZoningDeleteTest, OldestLevelDeletesOnTheSwitchAsItGoes) {
    open("");
    for (const char* name : {"z2", "cfg2", "a1"}) {
        EXPECT_EQ(-40, DeleteSingleObject(named(name).c_str())) << name;
    }
    EXPECT_EQ(0u, calls(kDeleteProcedure));
    ASSERT_EQ(0, start());
    for (const char* name : {"z2", "cfg2", "a1"}) {
        ASSERT_EQ(0, DeleteSingleObject(named(name).c_str())) << name;
        EXPECT_FALSE(viewOf(switchZoning()["defined"]).contains(name)) << name;
    }
    EXPECT_EQ(3u, calls(kDeleteProcedure));
    ASSERT_EQ(0, commit());
    EXPECT_TRUE(journal().empty());
    EXPECT_TRUE(removedSet().empty());
    EXPECT_EQ(libraryView(), viewOf(switchZoning()["defined"]));
    ASSERT_EQ(0, readAll());
    EXPECT_EQ(libraryView(), viewOf(switchZoning()["defined"]));
    expectNoOrphanNoDangling();
}

// A zone set whose only zone was deleted stays on the switch without
// members, and reads as a zone set with no members: alone, in the walk of
// all objects and in the listing by type.
class EmptyZoneSet : public ZoningDeleteTest, public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override { open(GetParam()); }

    static void expectEmptyZoneSet(const std::string& oid) {
        void* record = nullptr;
        ASSERT_EQ(0, GetSingleObject(oid.c_str(), &record));
        const auto* zoneSet = static_cast<const ZoneSetObjectRecord*>(record);
        EXPECT_EQ(11, zoneSet->ObjType);
        EXPECT_STREQ("cfg2", zoneSet->pcZoneSetName);
        ASSERT_NE(nullptr, zoneSet->pcMemberOids);
        EXPECT_EQ('\0', zoneSet->pcMemberOids[0][0]) << "no members";
        EXPECT_EQ(0, zoneSet->activateZoneSet);
        falFreeObject(record);

        for (const bool byType : {false, true}) {
            void** records = nullptr;
            ASSERT_EQ(0, byType ? GetObjectsByType(key().c_str(), -1, &records)
                                : GetAllObjects(&records))
                << byType;
            bool found = false;
            for (void** at = records; at != nullptr && *at != nullptr; ++at) {
                const auto* listed = static_cast<const ZoneSetObjectRecord*>(*at);
                found = found || (listed->ObjType == 11 && oidText(listed->OID) == oid);
                falFreeObject(*at);
            }
            falFreeObject(records);
            EXPECT_TRUE(found) << byType;
        }
    }
    static std::string oidText(const char* oid) { return std::string(oid, strnlen(oid, 48)); }
};

TEST_P(EmptyZoneSet, EmptiedInATransaction) {
    const std::string cfg2 = named("cfg2");
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, DeleteSingleObject(named("z2").c_str()));
    ASSERT_EQ(0, commit());
    const json defined = switchZoning()["defined"];
    ASSERT_TRUE(viewOf(defined).contains("cfg2"));
    EXPECT_TRUE(viewOf(defined).at("cfg2").empty());
    expectEmptyZoneSet(cfg2);
    EXPECT_EQ(cfg2, named("cfg2"));
    EXPECT_EQ(libraryView(), viewOf(switchZoning()["defined"]));
    expectNoOrphanNoDangling();

    // A member added again makes it an ordinary zone set.
    ASSERT_EQ(0, start());
    char members[2 * 48] = {};
    std::strncpy(members, named("z1").c_str(), 47);
    ASSERT_EQ(0, AddSetMember(cfg2.c_str(), 0x800B0B02, members));
    ASSERT_EQ(0, commit());
    ASSERT_EQ(0, readAll());
    EXPECT_EQ(std::vector<std::string>{named("z1")}, this->members(cfg2));
}

TEST_P(EmptyZoneSet, EmptiedByAnotherStation) {
    ASSERT_EQ(0, sim_->request({{"op", "editZoning"},
                                {"fabric", 0},
                                {"edit", {{"action", "remove"}, {"name", "z2"}, {"type", 2}}}})
                     ["status"]);
    ASSERT_EQ(0, readAll());
    expectEmptyZoneSet(named("cfg2"));
    EXPECT_EQ(libraryView(), viewOf(switchZoning()["defined"]));
    expectNoOrphanNoDangling();
}

INSTANTIATE_TEST_SUITE_P(Levels, EmptyZoneSet, ::testing::Values("", "v2.4.1", "v4.1.0"),
                         [](const auto& info) {
                             std::string level = info.param[0] != '\0' ? info.param : "v2.2";
                             std::erase(level, '.');
                             return level;
                         });

} // namespace
