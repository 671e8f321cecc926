// Member edits of zones, aliases and zone sets through AddSetMember and
// RemoveSetMember, inside the zoning transaction of a simulated fabric at
// each firmware level with a switch transaction: a rollback leaves the
// library and the switch exactly as before the start, a commit leaves the
// library's members equal to the switch's, and every refusal gives its
// code. Also the member names that the switch requests carry.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "editing/MemberListItems.h"
#include "editing/SetMemberEdits.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "tests/support/TraceCapture.h"
#include "tests/support/ZoningSnapshot.h"
#include "tests/support/ZoningTestFabric.h"
#include "tests/zoning/exports/ZoningExportsFabric.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using nlohmann::json;
using zoning_exports::fabricOid;
using zoning_exports::oidOfType;
namespace tag = set_member_tag;

constexpr unsigned kTransactionActive = 0xA0B23;
constexpr unsigned kTransactionCommit = 0xA0B24;

// A member list of 48-byte entries ended by an empty one.
std::vector<char> list(const std::vector<std::string>& entries) {
    std::vector<char> out(48 * (entries.size() + 1), '\0');
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::memcpy(out.data() + 48 * i, entries[i].data(), std::min<std::size_t>(47, entries[i].size()));
    }
    return out;
}

std::vector<std::string> converted(const std::vector<std::string>& entries, int* status = nullptr) {
    const std::vector<char> members = list(entries);
    int count = -1;
    char** names = nullptr;
    const int result = ConvertMemberNames(members.data(), &count, &names);
    if (status != nullptr) {
        *status = result;
    }
    std::vector<std::string> out;
    if (result == 0) {
        for (int i = 0; i < count; ++i) {
            out.emplace_back(names[i]);
        }
        FreeMemberNames(names, count);
    }
    return out;
}

// --- Member names, on a fabric tree of the store alone -------------------

TEST(MemberNames, EachKindGivesItsName) {
    ZoningTestFabric fabric;
    LockGuard model(getObjectStoreMutex());
    const unsigned char portName[8] = {0x21, 0, 0, 0xe0, 0x8b, 0, 0, 0x01};
    StoredObject* port = getOrCreateObject(1, WWNAddress(portName));
    std::string portOid;
    port->getStringAttr("OID", portOid);
    ASSERT_EQ(0, CreateZoneObject(fabric.full, "zA", 1));
    const std::string zone = listValues(*fabric.full, "setZone").back();
    ASSERT_EQ(0, CreateZoneAliasObject(fabric.full, "aA"));
    const std::string alias = listValues(*fabric.full, "setZoneAlias").back();
    StoredObject* zoneObject = findObjectUnlocked(zone);
    ASSERT_EQ(0, CreateZoneMemberObject(zoneObject, "1,4", 8));
    const std::string member = listValues(*zoneObject, "setMember").back();
    // A zone member without its name.
    const std::string nameless = "00160000000000000077";
    objectMap()[nameless] = std::make_unique<StoredObject>();
    objectMap()[nameless]->setShortAttr("ObjType", 22);
    ASSERT_EQ(0, CreateUndefinedZoningObject(zoneObject, "u1"));
    const std::string undefined = listValues(*zoneObject, "setMember").back();

    EXPECT_EQ(converted({portOid}), std::vector<std::string>{"21:00:00:e0:8b:00:00:01"});
    EXPECT_EQ(converted({zone, alias, member, undefined, fabric.key}),
              (std::vector<std::string>{"zA", "aA", "1,4", "u1"}));
    EXPECT_EQ(converted({nameless}), std::vector<std::string>{" "});
}

TEST(MemberNames, StrictForOneEntryLenientForSeveral) {
    ZoningTestFabric fabric;
    LockGuard model(getObjectStoreMutex());
    ASSERT_EQ(0, CreateZoneObject(fabric.full, "zA", 1));
    const std::string zone = listValues(*fabric.full, "setZone").back();
    // Objects stored by hand: one without "ObjType", a switch without "WWN".
    const std::string typeless = "000a0000000000000077";
    objectMap()[typeless] = std::make_unique<StoredObject>();
    const std::string bareSwitch = "00021000006069aa0077";
    objectMap()[bareSwitch] = std::make_unique<StoredObject>();
    objectMap()[bareSwitch]->setShortAttr("ObjType", 2);
    const std::string unknown = "000a0900000000000000";

    int status = 1;
    EXPECT_TRUE(converted({}, &status).empty());
    EXPECT_EQ(0, status);
    EXPECT_EQ(converted({unknown, typeless, bareSwitch, fabric.key, zone}, &status),
              std::vector<std::string>{"zA"});
    EXPECT_EQ(0, status);
    const struct {
        std::string entry;
        int code;
    } singles[] = {{unknown, -21}, {typeless, -20}, {bareSwitch, -17}, {fabric.key, -71}};
    for (const auto& single : singles) {
        converted({single.entry}, &status);
        EXPECT_EQ(single.code, status) << single.entry;
    }
}

// --- The edits against the simulated switch -------------------------------

// Fabric 0 of the exports document (cfg1 active), read once as an
// application does before it edits.
class MemberEdits : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        FabAPI_ShutdownFabricAPI();
        sim_.emplace(zoning_exports::document(GetParam()));
        zoning_exports::openBoth(*sim_);
        readAll();
    }
    void TearDown() override {
        FabAPI_ShutdownFabricAPI();
        sim_.reset();
    }

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

    static int set(const std::string& oid, unsigned code, unsigned short value) {
        return AddObjectAttributes(oid.c_str(), code, &value);
    }
    static int start() { return set(caps(), kTransactionActive, 1); }
    static int rollBack() { return set(caps(), kTransactionActive, 0); }
    static int commit() { return set(caps(), kTransactionCommit, 1); }

    static int add(const std::string& target, unsigned code, const std::vector<std::string>& members) {
        return AddSetMember(target.c_str(), code, list(members).data());
    }
    static int remove(const std::string& target, unsigned code,
                      const std::vector<std::string>& members) {
        return RemoveSetMember(target.c_str(), code, list(members).data());
    }

    static unsigned short flag(const char* name) {
        LockGuard model(getObjectStoreMutex());
        unsigned short value = 0xFFFF;
        if (StoredObject* object = findObjectUnlocked(caps())) {
            object->getShortAttr(name, value);
        }
        return value;
    }
    // The identifier "FZDB" gives the name; empty when none.
    static std::string named(const std::string& name) {
        LockGuard model(getObjectStoreMutex());
        const auto* names = FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::FullNames);
        return names != nullptr && names->contains(name) ? names->at(name) : "";
    }
    static std::vector<std::string> membersOf(const std::string& oid) {
        LockGuard model(getObjectStoreMutex());
        const StoredObject* object = findObjectUnlocked(oid);
        return object != nullptr ? listValues(*object, "setMember") : std::vector<std::string>{};
    }
    // The member of `owner` whose name is `name`.
    static std::string memberNamed(const std::string& owner, const std::string& name) {
        for (const std::string& member : membersOf(owner)) {
            LockGuard model(getObjectStoreMutex());
            if (converted({member}) == std::vector<std::string>{name}) {
                return member;
            }
        }
        return "";
    }
    static std::vector<std::string> journalVerbs() {
        LockGuard model(getObjectStoreMutex());
        std::vector<std::string> verbs;
        if (const auto* rows = FindZoningCacheTable<ZoningJournal>(key(), zoning_table::Journal)) {
            for (const auto& row : *rows) {
                verbs.insert(verbs.begin(), row.verb); // oldest first
            }
        }
        return verbs;
    }
    // A zone member made outside any zone, as the creation of a lone member
    // makes it: listed under the defined database, designating a domain
    // and port.
    static std::string loneMember(const std::string& name) {
        LockGuard model(getObjectStoreMutex());
        StoredObject* full = findObjectUnlocked(fullDb());
        EXPECT_EQ(0, CreateZoneMemberObject(full, name, 8));
        const std::string oid = listValues(*full, "setMember").back();
        char target[48] = "f000000000000000000000010009";
        findObjectUnlocked(oid)->setBytesAttr("ZoneMemberTarget", target, sizeof target);
        return oid;
    }

    json switchZoning() { return sim_->request({{"op", "zoning"}, {"fabric", 0}})["zoning"]; }
    // name -> members of the defined database (or of the transaction's copy).
    std::map<std::string, std::vector<std::string>> switchObjects(bool copy = false) {
        const json zoning = switchZoning();
        std::map<std::string, std::vector<std::string>> out;
        for (const auto& object : copy ? zoning["transaction"]["copy"] : zoning["defined"]) {
            out[object["name"]] = object["members"].get<std::vector<std::string>>();
        }
        return out;
    }
    // The same picture from the library: every object "FZDB" names, with
    // the names of its "setMember" list.
    static std::map<std::string, std::vector<std::string>> libraryObjects() {
        LockGuard model(getObjectStoreMutex());
        std::map<std::string, std::vector<std::string>> out;
        for (const auto& [name, oid] :
             *FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::FullNames)) {
            const StoredObject* object = findObjectUnlocked(oid);
            out[name] = object != nullptr ? converted(listValues(*object, "setMember"))
                                          : std::vector<std::string>{"<not stored>"};
        }
        return out;
    }

    void editEveryKind(const std::string& lone, const std::string& loneForAlias);

    static void expectSame(const ZoningSnapshot& after, const ZoningSnapshot& before) {
        EXPECT_EQ(after, before) << ::testing::PrintToString(after.differencesFrom(before));
    }

    std::optional<SwitchSimulator> sim_;
};

// The identifiers of the objects the edits touch.
struct Objects {
    std::string z1, z2, spare, q1, a1, cfg1, cfg2;
    static Objects read(const std::function<std::string(const std::string&)>& named) {
        return {named("z1"),   named("z2"),   named("spare"), named("q1"),
                named("a1"),   named("cfg1"), named("cfg2")};
    }
};

// Edits of every kind in one transaction: members added to a zone, an
// alias and a zone set, members removed from the middle of each, and the
// last members of a zone removed.
void MemberEdits::editEveryKind(const std::string& lone, const std::string& loneForAlias) {
    const Objects o = Objects::read(named);
    const std::string port = memberNamed(o.z1, "21:00:00:e0:8b:00:00:01");
    const std::string aliasMember = memberNamed(o.a1, "3,1");
    const std::vector<std::string> spareMembers = membersOf(o.spare);
    const std::string z2Member = membersOf(o.z2).at(0);
    ASSERT_FALSE(port.empty());
    ASSERT_FALSE(aliasMember.empty());

    ASSERT_EQ(0, add(o.z2, tag::ZoneMembers, {lone, o.a1}));
    EXPECT_EQ(membersOf(o.z2), (std::vector<std::string>{z2Member, lone, o.a1}));
    ASSERT_EQ(0, add(o.a1, tag::ZoneAliasMembers, {loneForAlias}));
    ASSERT_EQ(0, add(o.cfg2, tag::ZoneSetMembers, {o.z1}));
    ASSERT_EQ(0, remove(o.z1, tag::ZoneMembers, {port}));
    ASSERT_EQ(0, remove(o.cfg1, tag::ZoneSetMembers, {o.z2}));
    ASSERT_EQ(0, remove(o.a1, tag::ZoneAliasMembers, {aliasMember}));
    ASSERT_EQ(0, remove(o.spare, tag::ZoneMembers, spareMembers));
    EXPECT_EQ("", named("spare")) << "the emptied zone left the database";
    EXPECT_EQ(1, flag("ZoneTransactionDirty"));

    const auto copy = switchObjects(true);
    EXPECT_EQ(copy.at("z2"), (std::vector<std::string>{"1,5", "1,9", "a1"}));
    EXPECT_EQ(copy.at("a1"), (std::vector<std::string>{"3,2", "3,9"}));
    EXPECT_EQ(copy.at("cfg2"), (std::vector<std::string>{"z2", "z1"}));
    EXPECT_EQ(copy.at("z1"), (std::vector<std::string>{"a1", "1,4"}));
    EXPECT_EQ(copy.at("cfg1"), (std::vector<std::string>{"z1", "q1", "f1"}));
    EXPECT_FALSE(copy.contains("spare"));
}

TEST_P(MemberEdits, RollbackUndoesEveryEditExactly) {
    const std::string lone = loneMember("1,9");
    const std::string loneForAlias = loneMember("3,9");
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    const json definedBefore = switchZoning()["defined"];
    ASSERT_EQ(0, start());
    editEveryKind(lone, loneForAlias);
    ASSERT_EQ(0, rollBack());
    expectSame(ZoningSnapshot::take(key()), before);
    EXPECT_EQ(switchZoning()["defined"], definedBefore);
}

TEST_P(MemberEdits, CommitKeepsTheEditsOnBothSides) {
    const std::string lone = loneMember("1,9");
    const std::string loneForAlias = loneMember("3,9");
    ASSERT_EQ(libraryObjects(), switchObjects());
    const std::string spare = named("spare");
    const std::vector<std::string> spareMembers = membersOf(spare);
    ASSERT_EQ(0, start());
    editEveryKind(lone, loneForAlias);
    ASSERT_EQ(0, commit());
    EXPECT_TRUE(switchZoning()["transaction"].is_null());
    EXPECT_EQ(libraryObjects(), switchObjects());
    EXPECT_EQ(nullptr, findObject(spare)) << "destroyed at commit";
    for (const std::string& member : spareMembers) {
        EXPECT_EQ(nullptr, findObject(member)) << member;
    }
    {
        LockGuard model(getObjectStoreMutex());
        const StoredObject* member = findObjectUnlocked(lone);
        ASSERT_NE(nullptr, member);
        EXPECT_TRUE(member->hasRelation("setParent", named("z2")));
        EXPECT_FALSE(member->hasRelation("setParent", fullDb()));
        EXPECT_EQ((ZoningMemberMap{{"1,5", membersOf(named("z2")).at(0)}, {"1,9", lone}}),
                  *FindZoningCacheTable<ZoningMemberTable>(key(), zoning_table::FullZones)
                       ->at("z2"));
    }
}

TEST_P(MemberEdits, RemovingTheLastMembers) {
    const Objects o = Objects::read(named);
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    const json definedBefore = switchZoning()["defined"];
    ASSERT_EQ(0, start());

    // The zone set first: the switch drops an emptied zone from its sets.
    ASSERT_EQ(0, remove(o.cfg2, tag::ZoneSetMembers, {o.z2}));
    EXPECT_EQ("", named("cfg2"));
    ASSERT_EQ(0, remove(o.z2, tag::ZoneMembers, membersOf(o.z2)));
    EXPECT_EQ(journalVerbs(), (std::vector<std::string>{"ADDVEC", "ADDVEC", "FZDBZSETADDMAP",
                                                        "FZDBADD", "ADDVEC", "FZDBZADDMEM",
                                                        "ADDVEC", "FZDBZADDMAP", "FZDBADD"}));
    EXPECT_EQ("", named("z2"));
    ASSERT_EQ(0, remove(o.a1, tag::ZoneAliasMembers, membersOf(o.a1)));
    EXPECT_EQ("", named("a1"));
    {
        LockGuard model(getObjectStoreMutex());
        const StoredObject* full = findObjectUnlocked(fullDb());
        EXPECT_FALSE(full->listContains("setZone", o.z2));
        EXPECT_FALSE(full->listContains("setZoneAlias", o.a1));
        EXPECT_FALSE(full->listContains("setZoneSet", o.cfg2));
        EXPECT_FALSE(FindZoningCacheTable<ZoningMemberTable>(key(), zoning_table::FullZones)
                         ->contains("z2"));
        EXPECT_NE(nullptr, findObjectUnlocked(o.z2)) << "kept until commit";
    }
    const auto copy = switchObjects(true);
    for (const char* gone : {"z2", "a1", "cfg2"}) {
        EXPECT_FALSE(copy.contains(gone)) << gone;
    }
    ASSERT_EQ(0, rollBack());
    expectSame(ZoningSnapshot::take(key()), before);
    EXPECT_EQ(switchZoning()["defined"], definedBefore);
}

TEST_P(MemberEdits, WhatEachAddLeavesLocally) {
    const Objects o = Objects::read(named);
    const std::string lone = loneMember("1,9");
    const std::string z1Member = memberNamed(o.z1, "1,4");
    ASSERT_EQ(0, start());
    // An alias added to a zone: only the zone's list and one row.
    ASSERT_EQ(0, add(o.spare, tag::ZoneMembers, {o.a1}));
    EXPECT_EQ(journalVerbs(), std::vector<std::string>{"DELETEVEC"});
    // A member already there: the switch is asked, nothing local changes.
    ASSERT_EQ(0, add(o.spare, tag::ZoneMembers, {o.a1}));
    EXPECT_EQ(1u, journalVerbs().size());
    // In a list of several, a member of another zone and an entry of the
    // wrong kind are left out; the same member twice is added once.
    ASSERT_EQ(0, add(o.spare, tag::ZoneMembers, {z1Member, lone, o.cfg1, lone}));
    EXPECT_EQ(membersOf(o.spare).back(), lone);
    EXPECT_EQ(journalVerbs().size(), 1u + 5u);
    EXPECT_EQ(switchObjects(true).at("spare"),
              (std::vector<std::string>{"20:00:00:e0:8b:00:00:01", "p[3]", "a1", "1,9"}));
    // Zone members designating a device reference (0xFFF9) are taken alone
    // and in a list.
    for (const std::size_t count : {1u, 2u}) {
        const std::string member = loneMember("9," + std::to_string(count));
        {
            LockGuard model(getObjectStoreMutex());
            char target[48] = "fff9000000000000000000010009";
            findObjectUnlocked(member)->setBytesAttr("ZoneMemberTarget", target, sizeof target);
        }
        std::vector<std::string> members{member};
        if (count == 2) {
            members.push_back(o.cfg1);
        }
        EXPECT_EQ(0, add(o.q1, tag::ZoneMembers, members)) << count;
        EXPECT_EQ(membersOf(o.q1).back(), member);
    }
    ASSERT_EQ(0, rollBack());
}

TEST_P(MemberEdits, Refusals) {
    const Objects o = Objects::read(named);
    const std::string lone = loneMember("1,9");
    const std::string z1Member = memberNamed(o.z1, "1,4");
    const std::string otherSwitch = "00021000006069710001"; // fabric 1's proxy
    const std::string activeZone = [] {
        LockGuard model(getObjectStoreMutex());
        return FindZoningCacheTable<ZoningNameTable>(key(), zoning_table::ActiveNames)->at("z1");
    }();
    // Lone members whose target the zones refuse.
    const auto withTarget = [&](const char* name, const char* target) {
        const std::string member = loneMember(name);
        char bytes[48] = {};
        std::strncpy(bytes, target, 47);
        LockGuard model(getObjectStoreMutex());
        findObjectUnlocked(member)->setBytesAttr("ZoneMemberTarget", bytes, sizeof bytes);
        return member;
    };
    const std::string switchTarget = withTarget("5,1", "00021000006069700001");
    const std::string unknownPort = withTarget("5,2", "00012000006069700077");

    EXPECT_EQ(-40, add(o.z1, tag::ZoneMembers, {lone})) << "no transaction";
    EXPECT_EQ(-40, remove(o.z1, tag::ZoneMembers, {z1Member})) << "no transaction";
    EXPECT_EQ(-40, add(o.cfg1, tag::ZoneSetMembers, {o.spare})) << "no transaction";
    ASSERT_EQ(0, start());
    const ZoningSnapshot before = ZoningSnapshot::take(key());
    const json copyBefore = switchZoning()["transaction"]["copy"];

    const bool level26 = std::string(GetParam()) != "v2.4.1";
    const struct {
        const char* what;
        bool adding;
        std::string target;
        unsigned code;
        std::vector<std::string> members;
        int result;
    } cases[] = {
        {"no such target", true, "000a7700000000000000", tag::ZoneMembers, {lone}, -3},
        {"no such target", false, "000a7700000000000000", tag::ZoneMembers, {lone}, -3},
        {"zone set in a zone", true, o.z1, tag::ZoneMembers, {o.cfg1}, -71},
        {"zone in an alias", true, o.a1, tag::ZoneAliasMembers, {o.z1}, -71},
        {"alias in an alias", true, o.a1, tag::ZoneAliasMembers, {o.a1}, -71},
        {"alias in a zone set", true, o.cfg1, tag::ZoneSetMembers, {o.a1}, -71},
        {"member in a zone set", true, o.cfg1, tag::ZoneSetMembers, {lone}, -71},
        {"member not stored", true, o.z1, tag::ZoneMembers, {"00167700000000000000"}, -17},
        {"switch of another fabric", true, o.z1, tag::ZoneMembers, {otherSwitch}, -5},
        {"member of another zone", true, o.z2, tag::ZoneMembers, {z1Member}, -68},
        {"member of another zone", true, o.a1, tag::ZoneAliasMembers, {z1Member}, -68},
        {"target a switch", true, o.z1, tag::ZoneMembers, {switchTarget}, -81},
        {"target port not stored", true, o.z1, tag::ZoneMembers, {unknownPort}, -80},
        {"none of several passes", true, o.z1, tag::ZoneMembers, {o.cfg1, z1Member}, -3},
        {"empty list", true, o.z1, tag::ZoneMembers, {}, -3},
        {"empty list", false, o.z1, tag::ZoneMembers, {}, -3},
        {"not a member", false, o.z2, tag::ZoneMembers, {z1Member}, -3},
        {"not a member", false, o.cfg2, tag::ZoneSetMembers, {o.z1}, -3},
        {"none of several is a member", false, o.z2, tag::ZoneMembers, {z1Member, lone}, -3},
        {"zone of the active database", true, activeZone, tag::ZoneMembers, {lone}, -75},
        {"policy members of a zone", true, o.z1, tag::PolicyMembers, {lone}, level26 ? -17 : -34},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.result, c.adding ? add(c.target, c.code, c.members)
                                     : remove(c.target, c.code, c.members))
            << c.what << (c.adding ? " (adding)" : " (removing)");
    }
    EXPECT_EQ(-3, AddSetMember(o.z1.c_str(), tag::ZoneMembers, nullptr));
    EXPECT_EQ(-3, RemoveSetMember(nullptr, tag::ZoneMembers, list({lone}).data()));
    expectSame(ZoningSnapshot::take(key()), before);
    EXPECT_EQ(switchZoning()["transaction"]["copy"], copyBefore);

    // An unsupported tag on a zone: refused after the flag is set.
    EXPECT_EQ(-34, add(o.z1, 0x800b0a07, {lone}));
    EXPECT_EQ(1, flag("ZoneTransactionDirty"));
    ASSERT_EQ(0, rollBack());

    FabAPI_ShutdownFabricAPI();
    EXPECT_EQ(-98, add(o.z1, tag::ZoneMembers, {lone}));
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST_P(MemberEdits, TraceRecordsOfBothExports) {
    const Objects o = Objects::read(named);
    const std::string lone = loneMember("1,9");
    ASSERT_EQ(0, start());
    TraceCapture trace(Vosk_Zoning);
    ASSERT_TRUE(trace.started());
    ASSERT_EQ(0, add(o.z2, tag::ZoneMembers, {lone}));
    ASSERT_EQ(0, remove(o.z2, tag::ZoneMembers, {lone}));
    EXPECT_EQ(-71, add(o.z2, tag::ZoneMembers, {o.cfg1}));
    const std::string log = trace.finish();
    const auto record = [](const char* method, const std::string& arguments, const char* message) {
        return std::string("Source Method Name: ") + method + "\tSource Arguments: " + arguments +
               "\tMessage: " + message;
    };
    const std::string arguments = "TargetOid=" + o.z2 + "AttributeTag=0x800b0a06";
    EXPECT_EQ(2u, occurrences(log, record("AddSetMember", arguments, "Entering Method"))) << log;
    EXPECT_EQ(1u, occurrences(log, record("RemoveSetMember", arguments, "Entering Method")));
    // The refused call writes no exiting record.
    EXPECT_EQ(1u, occurrences(log, record("AddSetMember", "", "Exiting Method")));
    EXPECT_EQ(1u, occurrences(log, record("RemoveSetMember", "", "Exiting Method")));
    ASSERT_EQ(0, rollBack());
}

INSTANTIATE_TEST_SUITE_P(Firmware, MemberEdits, ::testing::Values("v2.4.1", "v2.6.1", "v4.1.0"));

} // namespace
