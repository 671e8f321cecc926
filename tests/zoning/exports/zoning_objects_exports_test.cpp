// The zoning capabilities object and the two zoning databases as a caller
// sees them: this program links libOrvane_2.so alone and reads them from
// the switch simulator at every firmware level.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/zoning/exports/ZoningExportsFabric.h"

namespace {

using namespace zoning_exports;

struct Level {
    const char* firmware;
};

void PrintTo(const Level& level, std::ostream* out) {
    *out << (level.firmware[0] != '\0' ? level.firmware : "none");
}

class ZoningObjectExports : public ::testing::TestWithParam<Level> {
protected:
    void SetUp() override {
        FabAPI_ShutdownFabricAPI();
        sim_.emplace(document(GetParam().firmware));
        openBoth(*sim_);
    }
    void TearDown() override {
        FabAPI_ShutdownFabricAPI();
        sim_.reset();
    }

    template <class Record> Record* fetch(const std::string& oid) {
        void* record = nullptr;
        EXPECT_EQ(0, GetSingleObject(oid.c_str(), &record)) << oid;
        return static_cast<Record*>(record);
    }

    std::optional<SwitchSimulator> sim_;
};

std::vector<std::string> prefixes(const std::vector<std::string>& oids) {
    std::vector<std::string> heads;
    for (const std::string& oid : oids) {
        heads.push_back(oid.substr(0, 4));
    }
    return heads;
}

TEST_P(ZoningObjectExports, CapabilitiesRecordOfAFreshFabric) {
    auto* fabric = fetch<FabricRecord>(fabricOid(0));
    ASSERT_NE(fabric, nullptr);
    const std::string caps = oidOfType("0015", 0);
    EXPECT_EQ(caps, oidText(fabric->ZoningCapabilitiesOID));

    for (int i = 0; i < 2; ++i) {
        auto* record = fetch<ZoningCapabilitiesRecord>(oidOfType("0015", i));
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(21, record->ObjType);
        EXPECT_EQ(oidOfType("0015", i), oidText(record->OID));
        EXPECT_EQ(i == 0 ? 1 : 0, record->ZoningEnabled) << "only fabric 0 has an active zone set";
        EXPECT_EQ(0, record->DefaultZoneSetSupported);
        EXPECT_EQ(oidOfType("0018", i), oidText(record->FullZoneDBOID));
        EXPECT_EQ(oidOfType("0019", i), oidText(record->ActiveZoneDBOID));
        EXPECT_EQ(0, record->ZoneTransactionActive);
        EXPECT_EQ(0, record->ZoneTransactionCommit);
        EXPECT_EQ(0, record->ZoneTransactionDirty);
        EXPECT_EQ(0, record->ZoneTransactionValidate);
        EXPECT_EQ(1, record->ZoneMemberTargetTyping);
        EXPECT_EQ(1, record->ZoningRefresh);
        EXPECT_EQ(0, record->ValidationError);
        EXPECT_STREQ("", record->ValidationZoneSetName);
        EXPECT_STREQ("", record->ValidationZoneName);
        EXPECT_STREQ("", record->ValidationZoneMemberName);
        EXPECT_EQ(0xFFFF, record->ZoneMaxSets);
        EXPECT_EQ(0xFFFF, record->ZoneMaxZonesPerSet);
        EXPECT_EQ(0xFFFF, record->ZoneMaxZones);
        EXPECT_EQ(0xFFFF, record->ZoneMaxMembers);
        EXPECT_EQ(64, record->ZoneMaxNameLen);
        EXPECT_EQ(static_cast<int>(fabric->VersionMark), record->VersionMark)
            << "3 for the current generation only";
        EXPECT_EQ(0, falFreeObject(record));
    }
    EXPECT_EQ(0, falFreeObject(fabric));
}

TEST_P(ZoningObjectExports, DefinedDatabaseListsItsObjectsAndKeepsTheirIdentifiers) {
    auto* first = fetch<FullZoneDBRecord>(oidOfType("0018", 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(24, first->ObjType);
    EXPECT_EQ(oidOfType("0018", 0), oidText(first->OID));
    EXPECT_EQ(0, first->clearFullZoneDb);
    const std::vector<std::string> zoneSets = oidList(first->pcZoneSetOids);
    const std::vector<std::string> aliases = oidList(first->pcZoneAliasOids);
    const std::vector<std::string> zones = oidList(first->pcZoneOids);
    EXPECT_EQ((std::vector<std::string>{"000b", "000b"}), prefixes(zoneSets));
    EXPECT_EQ((std::vector<std::string>{"0014"}), prefixes(aliases));
    EXPECT_EQ(5u, zones.size()) << "z1, z2, spare, then q1 and f1";
    EXPECT_EQ(std::vector<std::string>(5, "000a"), prefixes(zones));
    // The lists lie one behind the other in the same block.
    EXPECT_EQ(first->pcZoneSetOids + zoneSets.size() + 1, first->pcZoneAliasOids);
    EXPECT_EQ(first->pcZoneAliasOids + aliases.size() + 1, first->pcZoneOids);

    auto* again = fetch<FullZoneDBRecord>(oidOfType("0018", 0));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(zoneSets, oidList(again->pcZoneSetOids));
    EXPECT_EQ(aliases, oidList(again->pcZoneAliasOids));
    EXPECT_EQ(zones, oidList(again->pcZoneOids));
    EXPECT_EQ(0, falFreeObject(first));
    EXPECT_EQ(0, falFreeObject(again));
}

TEST_P(ZoningObjectExports, ActiveDatabaseNamesItsZoneSetAndZones) {
    auto* record = fetch<ActiveZoneDBRecord>(oidOfType("0019", 0));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(25, record->ObjType);
    EXPECT_EQ(oidOfType("0019", 0), oidText(record->OID));
    ASSERT_NE(record->pcActiveZoneSetName, nullptr);
    EXPECT_STREQ("cfg1", record->pcActiveZoneSetName);
    EXPECT_EQ(0, record->deactivateActiveZoneDb);
    const std::vector<std::string> members = oidList(record->pcMemberOids);
    EXPECT_EQ((std::vector<std::string>(4, "000a")), prefixes(members));
    auto* again = fetch<ActiveZoneDBRecord>(oidOfType("0019", 0));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(members, oidList(again->pcMemberOids)) << "known zones keep their identifiers";
    EXPECT_EQ(0, falFreeObject(record));
    EXPECT_EQ(0, falFreeObject(again));

    void* none = nullptr;
    EXPECT_EQ(-28, GetSingleObject(oidOfType("0019", 1).c_str(), &none)) << "no active zone set";
    EXPECT_EQ(nullptr, none);
}

TEST_P(ZoningObjectExports, ListAndWalkReachTheZoningTree) {
    char list[4 * 48] = {};
    const std::string oids[] = {oidOfType("0015", 0), oidOfType("0018", 0), oidOfType("0019", 0)};
    for (int i = 0; i < 3; ++i) {
        std::strcpy(list + 48 * i, oids[i].c_str());
    }
    void** records = nullptr;
    ASSERT_EQ(0, GetObjects(list, &records));
    std::vector<int> types;
    for (int i = 0; records[i] != nullptr; ++i) {
        types.push_back(*static_cast<unsigned short*>(records[i]));
        falFreeObject(records[i]);
    }
    falFreeObject(records);
    EXPECT_EQ((std::vector<int>{21, 24, 25}), types);

    records = nullptr;
    ASSERT_EQ(0, GetAllObjects(&records));
    std::vector<std::pair<int, std::string>> got;
    for (int i = 0; records[i] != nullptr; ++i) {
        const auto* error = static_cast<const ErrorRecord*>(records[i]);
        got.emplace_back(error->ObjType, error->ObjType == ORVANE_ERROR_RECORD_TYPE
                                             ? oidText(error->RequestedOID)
                                             : oidText(error->OID));
        falFreeObject(records[i]);
    }
    falFreeObject(records);
    for (int i = 0; i < 2; ++i) {
        const auto caps =
            std::find(got.begin(), got.end(), std::make_pair(21, oidOfType("0015", i)));
        ASSERT_NE(caps, got.end()) << i;
        // The walk reaches the defined database below the capabilities object.
        const auto defined =
            std::find(got.begin(), got.end(), std::make_pair(24, oidOfType("0018", i)));
        ASSERT_NE(defined, got.end()) << i;
        EXPECT_GT(defined, caps);
        const bool walked =
            std::count(got.begin(), got.end(), std::make_pair(25, oidOfType("0019", i)));
        EXPECT_EQ(i == 0, walked)
            << "the active database is walked only while a zone set is active";
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, ZoningObjectExports,
                         ::testing::Values(Level{""}, Level{"v2.4.1"}, Level{"v2.6.1"},
                                           Level{"v3.0.2"}, Level{"v4.0.1"}, Level{"v4.1.0"}),
                         [](const auto& info) {
                             std::string name =
                                 info.param.firmware[0] ? info.param.firmware : "none";
                             std::replace(name.begin(), name.end(), '.', '_');
                             return name;
                         });

} // namespace
