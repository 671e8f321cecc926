#include <gtest/gtest.h>

#include "sim/ZoningDatabase.h"

namespace {

using nlohmann::json;

ZoningDatabase preloaded(const char* text) {
    return ZoningDatabase::fromJson(json::parse(text), "zoning");
}

TEST(ZoningDatabase, WritesTheActiveDatabaseWithAliasesExpanded) {
    const auto database = preloaded(R"({"defined": [
        {"name": "cfg", "type": 1, "members": ["z1", "q1"]},
        {"name": "z1", "type": 2, "members": ["a1", "1,4"]},
        {"name": "q1", "type": 4, "members": ["2,1"]},
        {"name": "a1", "type": 3, "members": ["3,1", "3,2"]}], "active": "cfg"})");
    EXPECT_EQ(database.activeDatabaseText(), "cfg|zone z1:3,1;3,2;1,4;|qlzone q1:2,1;");
    auto notPrimary = preloaded(R"({"defined": [], "notPrimaryFcs": true})");
    EXPECT_EQ(notPrimary.activeDatabaseText(), "##NOT_PRIMARY_FCS##");
    EXPECT_EQ(preloaded("{}").activeDatabaseText(), "");
}

TEST(ZoningDatabase, RefusesABadPreload) {
    for (const char* bad : {
             R"({"defined": [{"name": "z", "type": 9}]})",
             R"({"defined": [{"name": "z", "type": 2}, {"name": "z", "type": 3}]})",
             R"({"defined": [{"name": "bad name", "type": 2}]})",
             R"({"defined": [{"name": "z", "type": 2, "members": ["a|b"]}]})",
             R"({"defined": [{"name": "z", "type": 2}], "active": "z"})",
             R"({"defined": [{"name": "s", "type": 1, "members": ["none"]}], "active": "s"})",
         }) {
        EXPECT_THROW(preloaded(bad), std::runtime_error) << bad;
    }
}

TEST(ZoningDatabase, GeneratesADatabaseFromCounts) {
    const auto database = preloaded(R"({"generate": {"zoneSets": 3, "zones": 10, "members": 32,
                                                      "aliases": 4}, "active": "cfg_2"})");
    std::vector<std::string> names;
    ASSERT_EQ(database.names(0, 1, names), 0);
    EXPECT_EQ(names, (std::vector<std::string>{"cfg_1", "cfg_2", "cfg_3"}));
    for (const auto& [type, count] : {std::pair{2, 8u}, {4, 1u}, {6, 1u}, {3, 4u}}) {
        names.clear();
        ASSERT_EQ(database.names(0, type, names), 0);
        EXPECT_EQ(names.size(), count) << type;
    }
    std::size_t members = 0;
    for (int z = 1; z <= 10; ++z) {
        std::vector<std::string> zoneMembers;
        int type = 0;
        ASSERT_EQ(database.definedType(0, "zone_" + std::to_string(z), type), 0);
        ASSERT_EQ(database.members(0, "zone_" + std::to_string(z), type, zoneMembers), 0);
        members += zoneMembers.size();
    }
    EXPECT_EQ(members, 32u);
    std::vector<std::string> cfg2;
    ASSERT_EQ(database.members(0, "cfg_2", 1, cfg2), 0);
    EXPECT_EQ(cfg2, (std::vector<std::string>{"zone_2", "zone_5", "zone_8"}));
    std::string active;
    ASSERT_EQ(database.activeZoneSetName(active), 0);
    EXPECT_EQ(active, "cfg_2");
    ValidationFailure failure;
    EXPECT_EQ(database.validate(0, failure), 0);
    for (const char* bad : {R"({"generate": {"zones": -1}})", R"({"generate": {"members": 3}})",
                            R"({"generate": {"zones": 2000000}})", R"({"generate": 5})"}) {
        EXPECT_THROW(preloaded(bad), std::runtime_error) << bad;
    }
}

TEST(ZoningDatabase, KeepsAnAbortedOwnersCopyAway) {
    auto database = preloaded(R"({"defined": [{"name": "z", "type": 2}]})");
    ASSERT_EQ(database.startTransaction(7), 0);
    ASSERT_EQ(database.create(7, "y", 2, "1,1"), 0);
    EXPECT_EQ(database.exists(8, "y", 2), zoning_status::kNotFound);
    EXPECT_EQ(database.remove(8, "z", 2), zoning_status::kTransactionOpen);
    database.connectionClosed(8); // not the owner
    EXPECT_EQ(database.exists(7, "y", 2), 0);
    database.connectionClosed(7);
    EXPECT_TRUE(database.toJson()["transaction"].is_null());
    EXPECT_EQ(database.exists(7, "y", 2), zoning_status::kNotFound);
}

} // namespace
