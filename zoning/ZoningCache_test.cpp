#include <gtest/gtest.h>

#include "tests/support/ZoningTestFabric.h"
#include "zoning/ZoningJournal.h"

namespace {

using namespace zoning_table;

const std::string kFabric = "0009100000606900cc00";

TEST(ZoningCache, SessionOpenMakesTheEightEmptyTables) {
    CreateZoningCache(kFabric);
    ZoningCache* cache = findZoningCache(kFabric);
    ASSERT_NE(cache, nullptr);
    for (const char* name : {FullNames, ActiveNames}) {
        ASSERT_NE(cache->table<ZoningNameTable>(name), nullptr) << name;
        EXPECT_TRUE(cache->table<ZoningNameTable>(name)->empty());
    }
    for (const char* name : {FullZones, FullAliases, FullZoneSets, ActiveZones}) {
        ASSERT_NE(cache->table<ZoningMemberTable>(name), nullptr) << name;
    }
    EXPECT_NE(cache->table<ZoningJournal>(Journal), nullptr);
    EXPECT_NE(cache->table<ZoningRemovedSet>(RemovedObjects), nullptr);
    EXPECT_FALSE(cache->hasTable(ActiveListing));
    // A table asked for as another kind is not found.
    EXPECT_EQ(cache->table<ZoningMemberTable>(FullNames), nullptr);
    RemoveZoningCache(kFabric);
}

TEST(ZoningCache, ASecondOpenKeepsTheTablesAndTheJournal) {
    CreateZoningCache(kFabric);
    FindZoningCacheTable<ZoningNameTable>(kFabric, FullNames)
        ->emplace("z1", "000a0100000000000000");
    AddZoningJournalRecord(kFabric, zoning_verb::ZoneAddMap, "", "z1", "",
                           std::make_unique<ZoningMemberMap>());
    CreateZoningCache(kFabric);
    EXPECT_EQ(FindZoningCacheTable<ZoningNameTable>(kFabric, FullNames)->size(), 1u);
    EXPECT_EQ(FindZoningCacheTable<ZoningJournal>(kFabric, Journal)->size(), 1u);
    RemoveZoningCache(kFabric);
}

TEST(ZoningCache, SessionCloseFreesEveryTableAndForgetsTheFabric) {
    CreateZoningCache(kFabric);
    auto& zones = *FindZoningCacheTable<ZoningMemberTable>(kFabric, FullZones);
    zones["z1"] = std::make_unique<ZoningMemberMap>(ZoningMemberMap{{"1,1", "m"}});
    AddZoningJournalRecord(kFabric, zoning_verb::AliasAddMap, "", "a1", "",
                           std::make_unique<ZoningMemberMap>(ZoningMemberMap{{"1,2", "n"}}));
    RecordRemovedObject(kFabric, "000a0100000000000000");
    ZoningActiveListing listing;
    listing.emplace_back(new ZoningObjectEntry(
        "cfg1", 1, new std::vector<ZoningNameEntry*>{new ZoningNameEntry("z1", 0x200)}, 1));
    findZoningCache(kFabric)->setTable(ActiveListing, std::move(listing));

    RemoveZoningCache(kFabric); // the sanitizer sees anything left behind
    EXPECT_EQ(findZoningCache(kFabric), nullptr);
    EXPECT_EQ(FindZoningCacheTable<ZoningNameTable>(kFabric, FullNames), nullptr);
    RemoveZoningCache(kFabric); // nothing left to remove
}

TEST(ZoningCache, FindsNoTableOfAnUnknownFabricOrName) {
    CreateZoningCache(kFabric);
    EXPECT_EQ(FindZoningCacheTable<ZoningNameTable>("", FullNames), nullptr);
    EXPECT_EQ(FindZoningCacheTable<ZoningNameTable>(kFabric, "NOTABLE"), nullptr);
    RemoveZoningCache(kFabric);
}

} // namespace
