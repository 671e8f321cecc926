// Zone sets, zones, aliases and zone members read through the object
// queries from a simulated proxy switch, at every firmware level: each
// record's fields, the members' targets, and the walk of GetAllObjects.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "objects/ChildClasses.h"
#include "objects/ObjectTypes.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/records.h"
#include "tests/support/SwitchSimulator.h"
#include "zoning/Zone.h"
#include "zoning/ZoneAlias.h"
#include "zoning/ZoneMember.h"
#include "zoning/ZoneSet.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using nlohmann::json;
using Oids = std::vector<std::string>;

constexpr char kProxyWwn[] = "10:00:00:60:69:aa:00:01";
constexpr char kFabricOid[] = "00091000006069aa0001";
constexpr char kDefinedOid[] = "00181000006069aa0001";
constexpr char kActiveOid[] = "00191000006069aa0001";
constexpr char kCapabilitiesOid[] = "00151000006069aa0001";

// Zones of the switch zoning types 2, 4, 5, 6 and 7 (the defined database
// lists those of 2, 4 and 6); members of every form: device ports (one of
// another port type, one the store does not hold), a node, a switch and an
// unknown world wide name, domain and port texts, the Lun, Alpa and Fahost
// forms, an alias, a name nobody defines.
json zoningDocument(bool laterTypes) {
    json zoning = json::parse(R"json({
      "defined": [
        { "name": "cfg1", "type": 1, "members": ["z1", "z2", "q1", "f1", "v1", "u1"] },
        { "name": "cfg2", "type": 1, "members": ["z2"] },
        { "name": "cfg3", "type": 1, "members": ["z2", "ghost"] },
        { "name": "z1", "type": 2, "members": ["a1", "21:00:00:e0:8b:00:00:01", "1,4"] },
        { "name": "z2", "type": 2, "members": ["1,5"] },
        { "name": "q1", "type": 4, "members": ["10:00:00:60:69:aa:00:01", "2,1"] },
        { "name": "f1", "type": 6, "members": ["2,2"] },
        { "name": "v1", "type": 7, "members": ["2,3"] },
        { "name": "u1", "type": 5, "members": ["2,4"] },
        { "name": "spare", "type": 2,
          "members": ["20:00:00:e0:8b:00:00:01", "30:00:00:00:00:00:00:09",
                      "10:00:00:60:69:aa:00:01", "H{21:00:00:e0:8b:00:00:01}",
                      "1,4(lun)", "3,1[5]", "21:00:00:e0:8b:00:00:02",
                      "21:00:00:e0:8b:00:00:03", "ghost"] },
        { "name": "a1", "type": 3, "members": ["3,1", "3,2"] },
        { "name": "a2", "type": 3, "members": ["a1", "p[3]"] }
      ],
      "active": "cfg1"
    })json");
    if (!laterTypes) {
        // The 2.2 level knows no zones of the types 5 and 7.
        auto& defined = zoning["defined"];
        defined.erase(std::remove_if(defined.begin(), defined.end(),
                                     [](const json& o) { return o["name"] == "v1" || o["name"] == "u1"; }),
                      defined.end());
        defined[0]["members"] = json::array({"z1", "z2", "q1", "f1"});
    }
    return zoning;
}

json fabricDocument(const std::string& firmware) {
    json proxy = {{"wwn", kProxyWwn}, {"address", "@0"}};
    if (!firmware.empty()) {
        proxy["firmware"] = firmware;
    }
    json fabric = {{"name", "A"},
                   {"switches", json::array({proxy})},
                   {"nameServer", json::array()},
                   {"zoning", zoningDocument(!firmware.empty())},
                   {"users", json::parse(R"([{"name": "admin", "password": "password"}])")}};
    for (int i = 1; i <= 3; ++i) {
        fabric["nameServer"].push_back({{"portId", "01040" + std::to_string(i)},
                                        {"portType", 1},
                                        {"portName", "21:00:00:e0:8b:00:00:0" + std::to_string(i)},
                                        {"nodeName", "20:00:00:e0:8b:00:00:0" + std::to_string(i)}});
    }
    return {{"fabrics", json::array({fabric})}};
}

// Port objects as the fabric's inventory stores them: the first device
// port an N port, the second an F port, the third not stored.
void storeDevicePorts() {
    const struct {
        unsigned char last;
        unsigned short type;
    } ports[] = {{1, PORT_TYPE_N}, {2, PORT_TYPE_F}};
    for (const auto& port : ports) {
        const unsigned char wwn[8] = {0x21, 0, 0, 0xe0, 0x8b, 0, 0, port.last};
        getOrCreateObject(ObjectType::Port, WWNAddress(wwn))->setShortAttr("PortType", port.type);
    }
}

std::string text(const char* field) {
    return std::string(field, strnlen(field, sizeof(OID_t)));
}

Oids oidList(const char* list) {
    Oids oids;
    for (; list != nullptr && list[0] != '\0'; list += sizeof(OID_t)) {
        oids.push_back(text(list));
    }
    return oids;
}

Oids prefixes(const Oids& oids) {
    Oids heads;
    for (const std::string& oid : oids) {
        heads.push_back(oid.substr(0, 4));
    }
    return heads;
}

// A record the queries handed out, freed when it goes.
template <class Record> struct Held {
    Record* record = nullptr;
    ~Held() { falFreeObject(record); }
    Record* operator->() const { return record; }
};

struct Level {
    const char* firmware;
};

void PrintTo(const Level& level, std::ostream* out) {
    *out << (level.firmware[0] != '\0' ? level.firmware : "none");
}

class ZoningObjects : public ::testing::TestWithParam<Level> {
protected:
    void SetUp() override {
        FabAPI_ShutdownFabricAPI();
        sim_.emplace(fabricDocument(GetParam().firmware));
        ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
        std::string host = sim_->address(0);
        FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"),
                                const_cast<char*>("password")};
        ASSERT_EQ(0, FabAPI_AppendProxyEntry(&entry));
        FabAPI_FabricDiscoveryInfo* info = nullptr;
        ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
        falFreeObject(info);
        FabAPI_FabricIdentity identity{};
        std::strncpy(identity.structFabSig.structFabricOID, kFabricOid, 47);
        FabAPI_ClientSessionID* session = nullptr;
        ASSERT_EQ(0, FabAPI_EstablishSession(&identity, &session));
        falFreeObject(session);
        storeDevicePorts();

        Held<FullZoneDBRecord> defined{get<FullZoneDBRecord>(kDefinedOid)};
        ASSERT_NE(defined.record, nullptr);
        zoneSetOids_ = oidList(reinterpret_cast<const char*>(defined->pcZoneSetOids));
        aliasOids_ = oidList(reinterpret_cast<const char*>(defined->pcZoneAliasOids));
        zoneOids_ = oidList(reinterpret_cast<const char*>(defined->pcZoneOids));
        for (const std::string& oid : zoneOids_) {
            Held<ZoneRecord> zone{get<ZoneRecord>(oid)};
            ASSERT_NE(zone.record, nullptr) << oid;
            zones_[zone->pcZoneName] = oid;
        }
        for (const std::string& oid : aliasOids_) {
            Held<ZoneAliasRecord> alias{get<ZoneAliasRecord>(oid)};
            ASSERT_NE(alias.record, nullptr) << oid;
            aliases_[alias->pcZoneAliasName] = oid;
        }
    }
    void TearDown() override {
        FabAPI_ShutdownFabricAPI();
        sim_.reset();
    }

    template <class Record> Record* get(const std::string& oid) {
        void* record = nullptr;
        EXPECT_EQ(0, GetSingleObject(oid.c_str(), &record)) << oid;
        return static_cast<Record*>(record);
    }

    // The members of zone or alias `oid`, each with its record.
    std::map<std::string, std::string> targetsOf(const Oids& members) {
        std::map<std::string, std::string> targets;
        for (const std::string& oid : members) {
            if (oid.substr(0, 4) != "0016") {
                continue;
            }
            Held<ZoneMemberRecord> member{get<ZoneMemberRecord>(oid)};
            if (member.record == nullptr) {
                ADD_FAILURE() << oid;
                continue;
            }
            targets[memberName(oid)] = text(member->targetOid);
        }
        return targets;
    }

    static std::string memberName(const std::string& oid) {
        LockGuard model(getObjectStoreMutex());
        std::string name;
        if (const StoredObject* member = findObjectUnlocked(oid)) {
            member->getStringAttr("MemberName", name);
        }
        return name;
    }

    static void setTyping(unsigned short typing) {
        LockGuard model(getObjectStoreMutex());
        StoredObject* capabilities = findObjectUnlocked(kCapabilitiesOid);
        ASSERT_NE(capabilities, nullptr);
        capabilities->setShortAttr("ZoneMemberTargetTyping", typing);
    }

    Oids zoneMembers(const std::string& name) {
        Held<ZoneRecord> zone{get<ZoneRecord>(zones_.at(name))};
        return zone.record != nullptr ? oidList(zone->pcMemberOids) : Oids{};
    }

    // Whether the level has zones of the types 5 and 7 (v1 and u1).
    static bool laterTypes() { return GetParam().firmware[0] != '\0'; }
    static std::size_t later(std::size_t count) { return laterTypes() ? count : 0; }

    std::optional<SwitchSimulator> sim_;
    Oids zoneSetOids_, aliasOids_, zoneOids_;
    std::map<std::string, std::string> zones_, aliases_;
};

TEST_P(ZoningObjects, ZonesOfEveryZoningType) {
    // The switch's zoning type and the record's: 2 -> 1, 4 -> 2, 6 -> 3,
    // 7 -> 4, any other -> 0.
    const struct {
        const char* name;
        unsigned short type;
        std::size_t members;
    } cases[] = {{"z1", 1, 3}, {"z2", 1, 1}, {"q1", 2, 2}, {"f1", 3, 1}, {"spare", 1, 9}};
    ASSERT_EQ(std::size(cases), zones_.size());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string oid = zones_.at(c.name);
        Held<ZoneRecord> zone{get<ZoneRecord>(oid)};
        ASSERT_NE(zone.record, nullptr);
        EXPECT_EQ(10, zone->ObjType);
        EXPECT_EQ(oid, text(zone->OID));
        EXPECT_STREQ(c.name, zone->pcZoneName);
        EXPECT_EQ(c.type, zone->zoneType);
        EXPECT_EQ(0, zone->zoneSubType);
        // Name and member list lie behind the fixed fields, one after the other.
        EXPECT_EQ(reinterpret_cast<char*>(zone.record + 1), zone->pcZoneName);
        EXPECT_EQ(zone->pcZoneName + std::strlen(c.name) + 1, zone->pcMemberOids);
        EXPECT_EQ(c.members, oidList(zone->pcMemberOids).size());
    }
}

TEST_P(ZoningObjects, ZoneMembersNameKnownObjectsOrTheirOwnChildren) {
    // z1 names the alias a1 by its identifier; its other members are children.
    const Oids z1 = zoneMembers("z1");
    ASSERT_EQ(3u, z1.size());
    EXPECT_EQ(aliases_.at("a1"), z1[0]);
    EXPECT_EQ((Oids{"0014", "0016", "0016"}), prefixes(z1));
    // A protocol zone (switch type 4) names a known switch directly.
    const Oids q1 = zoneMembers("q1");
    ASSERT_EQ(2u, q1.size());
    EXPECT_EQ("00021000006069aa0001", q1[0]);
    EXPECT_EQ("0016", q1[1].substr(0, 4));
    // A name the defined database does not know is an undefined object.
    const Oids spare = zoneMembers("spare");
    ASSERT_EQ(9u, spare.size());
    Oids kinds(8, "0016");
    kinds.push_back("fffb");
    EXPECT_EQ(kinds, prefixes(spare));
    Held<UndefinedZoningObjectRecord> ghost{get<UndefinedZoningObjectRecord>(spare[8])};
    ASSERT_NE(ghost.record, nullptr);
    EXPECT_EQ(0xFFFB, ghost->ObjType);
    EXPECT_STREQ("ghost", ghost->pcUndefinedObjName);
    // A second read keeps the member children.
    EXPECT_EQ(spare, zoneMembers("spare"));
}

TEST_P(ZoningObjects, MemberRecordsCarryTheirTargetKindAndModifier) {
    const Oids spare = zoneMembers("spare");
    const Oids z1 = zoneMembers("z1");
    Oids members(spare.begin(), spare.end() - 1);
    members.push_back(z1[1]);
    members.push_back(z1[2]);
    const struct {
        const char* name;
        std::string target;
        unsigned short zmType;
        const char* modifier;
    } cases[] = {
        {"20:00:00:e0:8b:00:00:01", "0004200000e08b000001", 0, ""},   // a node
        {"30:00:00:00:00:00:00:09", "fff93000000000000009", 0, ""},   // nobody's name
        {"10:00:00:60:69:aa:00:01", "fff81000006069aa0001", 0, ""},   // a switch
        {"H{21:00:00:e0:8b:00:00:01}", "0001210000e08b000001", 3, ""}, // a device port
        {"1,4(lun)", "f0000104000000000000", 1, "lun"},
        {"3,1[5]", "f0000301000000000000", 2, "5"},
        {"21:00:00:e0:8b:00:00:02", "fff8210000e08b000002", 0, ""},   // not a device port
        {"21:00:00:e0:8b:00:00:03", "fff9210000e08b000003", 0, ""},   // a port not stored
        {"21:00:00:e0:8b:00:00:01", "0001210000e08b000001", 0, ""},
        {"1,4", "f0000104000000000000", 0, ""},
    };
    ASSERT_EQ(std::size(cases), members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_EQ(cases[i].name, memberName(members[i]));
        Held<ZoneMemberRecord> member{get<ZoneMemberRecord>(members[i])};
        ASSERT_NE(member.record, nullptr);
        ASSERT_EQ(22, member->ObjType);
        EXPECT_EQ(members[i], text(member->OID));
        EXPECT_EQ(cases[i].target, text(member->targetOid));
        EXPECT_EQ(cases[i].zmType, member->zmType);
        EXPECT_STREQ(cases[i].modifier, member->pcZoneMemberModifier);
        EXPECT_EQ(reinterpret_cast<char*>(member.record + 1), member->pcZoneMemberModifier);
        // The target is kept on the member.
        LockGuard model(getObjectStoreMutex());
        const StoredObject* stored = findObjectUnlocked(members[i]);
        ASSERT_NE(stored, nullptr);
        std::vector<unsigned char> kept;
        ASSERT_TRUE(stored->getBytesAttr("ZoneMemberTarget", kept));
        ASSERT_EQ(sizeof(OID_t), kept.size());
        EXPECT_EQ(cases[i].target, text(reinterpret_cast<const char*>(kept.data())));
    }
}

TEST_P(ZoningObjects, WithoutTargetTypingWorldWideNamesAreUntyped) {
    setTyping(0);
    const Oids spare = zoneMembers("spare");
    const std::map<std::string, std::string> targets = targetsOf(spare);
    EXPECT_EQ("fff73000000000000009", targets.at("30:00:00:00:00:00:00:09"));
    EXPECT_EQ("fff81000006069aa0001", targets.at("10:00:00:60:69:aa:00:01"))
        << "a known switch is still told apart";
    EXPECT_EQ("f0000104000000000000", targets.at("1,4(lun)"));
}

TEST_P(ZoningObjects, AliasesListTheirMembers) {
    ASSERT_EQ(2u, aliases_.size());
    Held<ZoneAliasRecord> a1{get<ZoneAliasRecord>(aliases_.at("a1"))};
    ASSERT_NE(a1.record, nullptr);
    EXPECT_EQ(20, a1->ObjType);
    EXPECT_EQ(aliases_.at("a1"), text(a1->OID));
    EXPECT_STREQ("a1", a1->pcZoneAliasName);
    EXPECT_EQ(reinterpret_cast<char*>(a1.record + 1), a1->pcZoneAliasName);
    EXPECT_EQ(a1->pcZoneAliasName + 3, a1->pcMemberOids);
    const Oids a1Members = oidList(a1->pcMemberOids);
    EXPECT_EQ((Oids{"0016", "0016"}), prefixes(a1Members));
    const auto targets = targetsOf(a1Members);
    EXPECT_EQ("f0000301000000000000", targets.at("3,1"));
    EXPECT_EQ("f0000302000000000000", targets.at("3,2"));

    // An alias naming another alias gets a member child whose target is
    // that alias; a name nobody defines has the empty target.
    Held<ZoneAliasRecord> a2{get<ZoneAliasRecord>(aliases_.at("a2"))};
    ASSERT_NE(a2.record, nullptr);
    const Oids a2Members = oidList(a2->pcMemberOids);
    EXPECT_EQ((Oids{"0016", "0016"}), prefixes(a2Members));
    const auto a2Targets = targetsOf(a2Members);
    EXPECT_EQ(aliases_.at("a1"), a2Targets.at("a1"));
    EXPECT_EQ("00000000000000000000", a2Targets.at("p[3]"));
    Held<ZoneMemberRecord> bracketed{get<ZoneMemberRecord>(a2Members.at(1))};
    ASSERT_NE(bracketed.record, nullptr);
    EXPECT_EQ(2, bracketed->zmType);
    EXPECT_STREQ("3", bracketed->pcZoneMemberModifier);
}

TEST_P(ZoningObjects, ZoneSetsListTheirZonesAndTheActiveOne) {
    ASSERT_EQ(3u, zoneSetOids_.size());
    std::map<std::string, std::pair<unsigned short, Oids>> sets;
    for (const std::string& oid : zoneSetOids_) {
        Held<ZoneSetObjectRecord> set{get<ZoneSetObjectRecord>(oid)};
        ASSERT_NE(set.record, nullptr);
        EXPECT_EQ(11, set->ObjType);
        EXPECT_EQ(oid, text(set->OID));
        EXPECT_EQ(reinterpret_cast<char*>(set.record + 1), set->pcZoneSetName);
        EXPECT_EQ(reinterpret_cast<char*>(set->pcMemberOids),
                  set->pcZoneSetName + std::strlen(set->pcZoneSetName) + 1);
        sets[set->pcZoneSetName] = {set->activateZoneSet,
                                    oidList(reinterpret_cast<const char*>(set->pcMemberOids))};
    }
    EXPECT_EQ(1, sets.at("cfg1").first);
    EXPECT_EQ(0, sets.at("cfg2").first);
    // v1 and u1 are zones of types the defined database does not list:
    // the zone set names them through undefined zoning objects.
    const Oids cfg1 = sets.at("cfg1").second;
    ASSERT_EQ(4 + later(2), cfg1.size());
    EXPECT_EQ((Oids{zones_.at("z1"), zones_.at("z2"), zones_.at("q1"), zones_.at("f1")}),
              Oids(cfg1.begin(), cfg1.begin() + 4));
    EXPECT_EQ(Oids(later(2), "fffb"), prefixes(Oids(cfg1.begin() + 4, cfg1.end())));
    EXPECT_EQ((Oids{zones_.at("z2")}), sets.at("cfg2").second);
    // A member no one defines stands as an undefined zoning object.
    const Oids cfg3 = sets.at("cfg3").second;
    ASSERT_EQ(2u, cfg3.size());
    EXPECT_EQ(zones_.at("z2"), cfg3[0]);
    Held<UndefinedZoningObjectRecord> ghost{get<UndefinedZoningObjectRecord>(cfg3[1])};
    ASSERT_NE(ghost.record, nullptr);
    EXPECT_EQ(0xFFFB, ghost->ObjType);
    EXPECT_STREQ("ghost", ghost->pcUndefinedObjName);

    // Another station activates cfg2: the mark moves.
    ASSERT_EQ(0, sim_->request({{"op", "editZoning"},
                                {"fabric", 0},
                                {"edit", {{"action", "activate"}, {"name", "cfg2"}}}})["status"]);
    for (const std::string& oid : zoneSetOids_) {
        Held<ZoneSetObjectRecord> set{get<ZoneSetObjectRecord>(oid)};
        ASSERT_NE(set.record, nullptr);
        EXPECT_EQ(std::string(set->pcZoneSetName) == "cfg2" ? 1 : 0, set->activateZoneSet);
    }
    // With none active, none is marked.
    ASSERT_EQ(0, sim_->request({{"op", "editZoning"},
                                {"fabric", 0},
                                {"edit", {{"action", "deactivate"}}}})["status"]);
    for (const std::string& oid : zoneSetOids_) {
        Held<ZoneSetObjectRecord> set{get<ZoneSetObjectRecord>(oid)};
        ASSERT_NE(set.record, nullptr);
        EXPECT_EQ(0, set->activateZoneSet) << set->pcZoneSetName;
    }
}

TEST_P(ZoningObjects, ActiveZonesComeFromTheActiveDatabase) {
    Held<ActiveZoneDBRecord> active{get<ActiveZoneDBRecord>(kActiveOid)};
    ASSERT_NE(active.record, nullptr);
    const Oids zones = oidList(reinterpret_cast<const char*>(active->pcMemberOids));
    ASSERT_EQ(4 + later(2), zones.size());
    std::map<std::string, std::pair<unsigned short, Oids>> byName;
    for (const std::string& oid : zones) {
        Held<ZoneRecord> zone{get<ZoneRecord>(oid)};
        ASSERT_NE(zone.record, nullptr) << oid;
        EXPECT_EQ(oid, text(zone->OID));
        byName[zone->pcZoneName] = {zone->zoneType, oidList(zone->pcMemberOids)};
    }
    const std::vector<std::string> expected =
        laterTypes() ? std::vector<std::string>{"f1", "q1", "u1", "v1", "z1", "z2"}
                     : std::vector<std::string>{"f1", "q1", "z1", "z2"};
    EXPECT_EQ(expected,
              [&] {
                  std::vector<std::string> names;
                  for (const auto& [name, _] : byName) {
                      names.push_back(name);
                  }
                  return names;
              }());
    EXPECT_EQ(2, byName.at("q1").first);
    if (laterTypes()) {
        EXPECT_EQ(4, byName.at("v1").first);
        EXPECT_EQ(0, byName.at("u1").first);
    }
    EXPECT_EQ("00021000006069aa0001", byName.at("q1").second.at(0)) << "the switch itself";
    // The active zone lists the alias's members in its place, each a child
    // of its own; their targets resolve as in the defined database.
    const Oids z1 = byName.at("z1").second;
    ASSERT_EQ(4u, z1.size());
    EXPECT_EQ(Oids(4, "0016"), prefixes(z1));
    const auto targets = targetsOf(z1);
    EXPECT_EQ("f0000301000000000000", targets.at("3,1"));
    EXPECT_EQ("0001210000e08b000001", targets.at("21:00:00:e0:8b:00:00:01"));
    EXPECT_EQ("f0000104000000000000", targets.at("1,4"));
}

TEST_P(ZoningObjects, ListAndWalkReturnEveryZoningObject) {
    Oids wanted = {zoneSetOids_[0], aliasOids_[0], zones_.at("z1")};
    const Oids z1 = zoneMembers("z1");
    wanted.push_back(z1[1]);
    std::vector<char> list((wanted.size() + 1) * sizeof(OID_t), '\0');
    for (std::size_t i = 0; i < wanted.size(); ++i) {
        std::strcpy(list.data() + i * sizeof(OID_t), wanted[i].c_str());
    }
    void** records = nullptr;
    ASSERT_EQ(0, GetObjects(list.data(), &records));
    std::vector<std::pair<int, std::string>> got;
    for (int i = 0; records[i] != nullptr; ++i) {
        const auto* head = static_cast<const ZoneRecord*>(records[i]);
        got.emplace_back(head->ObjType, text(head->OID));
        falFreeObject(records[i]);
    }
    falFreeObject(records);
    EXPECT_EQ((std::vector<std::pair<int, std::string>>{
                  {11, wanted[0]}, {20, wanted[1]}, {10, wanted[2]}, {22, wanted[3]}}),
              got);

    records = nullptr;
    ASSERT_EQ(0, GetAllObjects(&records));
    std::map<int, Oids> byType;
    for (int i = 0; records[i] != nullptr; ++i) {
        const auto* head = static_cast<const ZoneRecord*>(records[i]);
        EXPECT_NE(ORVANE_ERROR_RECORD_TYPE, head->ObjType) << i;
        byType[head->ObjType].push_back(text(head->OID));
        falFreeObject(records[i]);
    }
    falFreeObject(records);
    const auto sorted = [](Oids oids) {
        std::sort(oids.begin(), oids.end());
        return oids;
    };
    EXPECT_EQ(sorted(zoneSetOids_), sorted(byType[11]));
    EXPECT_EQ(sorted(aliasOids_), sorted(byType[20]));
    // The defined zones and the six of the active database, once each.
    EXPECT_EQ(zoneOids_.size() + 4 + later(2), byType[10].size());
    Oids unique = sorted(byType[10]);
    EXPECT_EQ(unique.end(), std::adjacent_find(unique.begin(), unique.end()));
    // Zone members: spare 8, z1 2, z2 1, q1 1, f1 1, a1 2, a2 2, and those
    // of the active zones z1 4 (a1's in its place), z2 1, q1 1, f1 1, v1 1,
    // u1 1.
    EXPECT_EQ(24 + later(2), byType[22].size());
    EXPECT_EQ(2 + later(2), byType[0xFFFB].size()) << "ghost in spare and cfg3, v1 and u1 in cfg1";
}

INSTANTIATE_TEST_SUITE_P(Levels, ZoningObjects,
                         ::testing::Values(Level{""}, Level{"v2.4.1"}, Level{"v2.6.1"},
                                           Level{"v3.0.2"}, Level{"v4.0.1"}, Level{"v4.1.0"}),
                         [](const auto& info) {
                             std::string name =
                                 info.param.firmware[0] ? info.param.firmware : "none";
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

TEST(ZoneSubType, FollowsTheZoneName) {
    const struct {
        const char* name;
        int subType;
    } cases[] = {{"plain", 0},   {"IPVI", 0},    {"a/IP", 5},  {"VI/IP", 5},
                 {"a/VI", 255}, {"a/FCP", 8},   {"a/x", 8},   {"/", 8}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.subType, zoneSubTypeOfName(c.name)) << c.name;
    }
}

TEST(ZoningObjectBuilds, NullArgumentsAreRefused) {
    OID_t oid = "000a1000006069aa0001";
    void* record = &oid;
    Zone zone;
    ZoneAlias alias;
    ZoneMember member;
    ZoneSet zoneSet;
    for (SanElement* element : std::initializer_list<SanElement*>{&zone, &alias, &member,
                                                                  &zoneSet}) {
        EXPECT_EQ(-3, element->BuildObject(nullptr, &record));
        EXPECT_EQ(-3, element->BuildObject(oid, nullptr));
        EXPECT_EQ(static_cast<void*>(&oid), record) << "untouched on failure";
    }
    StoredObject parent;
    char target[sizeof(OID_t)] = "untouched";
    EXPECT_EQ(-3, discoverMemberTarget(&parent, nullptr, 0, target));
    EXPECT_EQ(-3, discoverMemberTarget(nullptr, "00161000006069aa0001", 0, target));
    EXPECT_EQ(-3, discoverMemberTarget(&parent, "00161000006069aa0001", 0, nullptr));
    EXPECT_STREQ("untouched", target);
}

// The member and target rules that need a fabric, at the two access
// implementations' first levels.
class ZoningObjectEdges : public ZoningObjects {
protected:
    // A member child made under zone `zone` as the zone's build makes them.
    std::string addMember(const std::string& zone, const std::string& text, int type,
                          const std::string& modifier = "") {
        LockGuard model(getObjectStoreMutex());
        StoredObject* parent = findObjectUnlocked(zones_.at(zone));
        EXPECT_NE(parent, nullptr);
        if (parent == nullptr || CreateZoneMemberObject(parent, text, type) != 0) {
            return "";
        }
        const std::string oid = listValues(*parent, "setMember").back();
        if (!modifier.empty()) {
            findObjectUnlocked(oid)->setStringAttr("ZoneMemberModifier", modifier);
        }
        return oid;
    }
    int discover(const std::string& zone, const char* memberOid, int kind, char* target) {
        LockGuard model(getObjectStoreMutex());
        LockGuard device(getSwitchRequestMutex());
        return discoverMemberTarget(findObjectUnlocked(zones_.at(zone)), memberOid, kind, target);
    }
};

TEST_P(ZoningObjectEdges, TargetIsWrittenOnlyWhenItResolves) {
    const std::string good = addMember("z2", "5,3", 0x8);
    const std::string far = addMember("z2", "300,1", 0x8);
    ASSERT_FALSE(good.empty());
    ASSERT_FALSE(far.empty());
    char target[sizeof(OID_t)] = "untouched";
    EXPECT_EQ(-3, discover("z2", far.c_str(), 0x8, target)) << "domain outside 0 to 239";
    EXPECT_STREQ("untouched", target);
    // An identifier that fills its whole field has no NUL within 47
    // characters: refused, not read past.
    OID_t full;
    std::memset(full, 'a', sizeof(full));
    EXPECT_EQ(-3, discover("z2", full, 0x8, target));
    EXPECT_STREQ("untouched", target);
    EXPECT_EQ(0, discover("z2", good.c_str(), 0x8, target));
    EXPECT_STREQ("f0000503000000000000", target);

    // A failed build leaves the member's stored target as it was.
    void* record = nullptr;
    EXPECT_EQ(-3, GetSingleObject(far.c_str(), &record));
    EXPECT_EQ(nullptr, record);
    LockGuard model(getObjectStoreMutex());
    std::vector<unsigned char> kept;
    EXPECT_FALSE(findObjectUnlocked(far)->getBytesAttr("ZoneMemberTarget", kept));
}

TEST_P(ZoningObjectEdges, MemberRecordHoldsAModifierOfAnyLength) {
    // Longer than a 16-bit size could count: the record is sized from the
    // text it holds.
    const std::string modifier(70000, 'm');
    const std::string oid = addMember("z2", "1,9", 0x8, modifier);
    ASSERT_FALSE(oid.empty());
    Held<ZoneMemberRecord> member{get<ZoneMemberRecord>(oid)};
    ASSERT_NE(member.record, nullptr);
    EXPECT_EQ(modifier, member->pcZoneMemberModifier);
    EXPECT_EQ("f0000109000000000000", text(member->targetOid));
}

TEST_P(ZoningObjectEdges, MissingParentsGiveEachClassItsCode) {
    // A zone, an alias and a member that lost their parent relation: the
    // zone and the alias lead to no fabric.
    const Oids z1 = zoneMembers("z1");
    {
        LockGuard model(getObjectStoreMutex());
        for (const std::string& oid : {zones_.at("z2"), aliases_.at("a1"), z1[1]}) {
            findObjectUnlocked(oid)->clearSet("setParent");
        }
    }
    void* record = nullptr;
    EXPECT_EQ(-28, GetSingleObject(zones_.at("z2").c_str(), &record));
    EXPECT_EQ(-17, GetSingleObject(z1[1].c_str(), &record)) << "a member without its parent";
    EXPECT_EQ(-28, GetSingleObject(aliases_.at("a1").c_str(), &record));
    EXPECT_EQ(nullptr, record);
}

INSTANTIATE_TEST_SUITE_P(Levels, ZoningObjectEdges,
                         ::testing::Values(Level{""}, Level{"v4.1.0"}),
                         [](const auto& info) {
                             std::string name =
                                 info.param.firmware[0] ? info.param.firmware : "none";
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

} // namespace
