// ZoningObjectNameExists on a simulated fabric at each firmware level: the
// zone sets, zones and aliases of the defined database are found with
// their identifiers, other names are not, a reload asked for by
// "ZoningRefresh" finds what another station made, and a question that
// cannot be answered gives its status, never "no".
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "tests/zoning/exports/ZoningExportsFabric.h"
#include "zoning/ZoningCache.h"

namespace {

using zoning_exports::fabricOid;
using zoning_exports::oidOfType;

constexpr unsigned kZoningRefresh = 0xA0B2D;

class NameCheck : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        FabAPI_ShutdownFabricAPI();
        sim_.emplace(zoning_exports::document(GetParam()));
        zoning_exports::openBoth(*sim_);
        // The defined database read once, as an application does.
        void* record = nullptr;
        ASSERT_EQ(0, GetSingleObject(fullDb().c_str(), &record));
        falFreeObject(record);
    }
    void TearDown() override {
        FabAPI_ShutdownFabricAPI();
        sim_.reset();
    }

    static std::string fullDb() { return oidOfType("0018", 0); }
    static std::string caps() { return oidOfType("0015", 0); }
    static std::string named(const std::string& name) {
        LockGuard model(getObjectStoreMutex());
        const auto* names =
            FindZoningCacheTable<ZoningNameTable>(fabricOid(0), zoning_table::FullNames);
        return names != nullptr && names->contains(name) ? names->at(name) : "";
    }
    // The answer, and what `oid` holds after it (it starts as "stale").
    static std::pair<int, std::string> check(const std::string& name,
                                             const std::string& database = fullDb()) {
        char oid[49];
        std::strcpy(oid, "stale");
        const int answer = ZoningObjectNameExists(database.c_str(), name.c_str(), oid);
        return {answer, oid};
    }

    std::optional<SwitchSimulator> sim_;
};

TEST_P(NameCheck, EveryTypeExistingAndAbsent) {
    for (const char* name : {"cfg1", "cfg2", "z1", "q1", "f1", "a1"}) {
        const auto [answer, oid] = check(name);
        EXPECT_EQ(1, answer) << name;
        EXPECT_FALSE(oid.empty()) << name;
        EXPECT_EQ(named(name), oid) << name;
    }
    // Exact comparison: letter case and blanks count; a member is no
    // zoning object of the database.
    for (const char* name : {"Z1", "CFG1", "a1 ", " z1", "nope", "", "1,4"}) {
        EXPECT_EQ(std::make_pair(0, std::string()), check(name)) << "'" << name << "'";
    }
}

TEST_P(NameCheck, RefreshFindsWhatAnotherStationMade) {
    ASSERT_EQ(0, sim_->request({{"op", "editZoning"},
                                {"fabric", 0},
                                {"edit",
                                 {{"action", "create"},
                                  {"name", "zext"},
                                  {"type", 2},
                                  {"members", {"1,9"}}}}})["status"]);
    unsigned short zero = 0;
    ASSERT_EQ(0, AddObjectAttributes(caps().c_str(), kZoningRefresh, &zero));
    EXPECT_EQ(0, check("zext").first) << "answered from the cache";
    unsigned short one = 1;
    ASSERT_EQ(0, AddObjectAttributes(caps().c_str(), kZoningRefresh, &one));
    const auto [answer, oid] = check("zext");
    EXPECT_EQ(1, answer);
    EXPECT_EQ(named("zext"), oid);
    EXPECT_EQ("000a", oid.substr(0, 4));
}

TEST_P(NameCheck, FailuresGiveTheirStatus) {
    // Not stored, and not a defined zoning database: `oid` untouched.
    EXPECT_EQ(std::make_pair(-17, std::string("stale")), check("z1", oidOfType("0018", 7)));
    EXPECT_EQ(std::make_pair(-3, std::string("stale")), check("z1", fabricOid(0)));
    EXPECT_EQ(std::make_pair(-3, std::string("stale")), check("z1", oidOfType("0019", 0)))
        << "the active database is not the defined one";

    char oid[49] = "stale";
    EXPECT_EQ(-3, ZoningObjectNameExists(nullptr, "z1", oid));
    EXPECT_EQ(-3, ZoningObjectNameExists(fullDb().c_str(), nullptr, oid));
    EXPECT_EQ(-3, ZoningObjectNameExists(fullDb().c_str(), "z1", nullptr));
    EXPECT_STREQ("stale", oid);

    // A reload the switch refuses: its code, `oid` emptied.
    unsigned short one = 1;
    ASSERT_EQ(0, AddObjectAttributes(caps().c_str(), kZoningRefresh, &one));
    sim_->injectFault({{"address", sim_->address(0)}, {"kind", "status"}, {"status", -5}, {"count", 1}});
    const auto [answer, text] = check("z1");
    EXPECT_LT(answer, 0);
    EXPECT_EQ("", text);
    sim_->clearFaults();
    EXPECT_EQ(1, check("z1").first) << "the next reload succeeds";

    FabAPI_ShutdownFabricAPI();
    EXPECT_EQ(-98, check("z1").first);
}

INSTANTIATE_TEST_SUITE_P(Firmware, NameCheck,
                         ::testing::Values("v2.2.0", "v2.4.1", "v2.6.1", "v3.0.2", "v4.0.0",
                                           "v4.1.0"));

} // namespace
