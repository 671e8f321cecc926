// The defined zoning database loaded from a simulated proxy switch into the
// object store and the zoning cache, reloaded after the switch changed,
// and its zone sets refreshed; reads that fail leave everything as it was.
#include "tests/zoning/ZoningCacheFixture.h"
#include "zoning/ActiveZoningDbCache.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningMemberRefresh.h"

namespace {

using namespace zoning_test;
using Names = std::vector<std::string>;

class ZoningLoadLevels : public ZoningCacheFixture, public ::testing::WithParamInterface<Level> {
protected:
    void SetUp() override { open(GetParam().firmware); }
};

TEST_P(ZoningLoadLevels, LoadsEveryObjectInTheSwitchsOrderWithFiveListingsAndTheActiveName) {
    ASSERT_EQ(load(), 0);
    EXPECT_EQ(zoneSets(), (Names{"cfg1", "cfg2"}));
    EXPECT_EQ(aliases(), (Names{"a1"}));
    EXPECT_EQ(zones(), (Names{"z1", "z2", "spare", "q1", "f1"})); // types 2, 4, 6 in turn
    EXPECT_EQ(names().size(), 8u);
    EXPECT_EQ(shortOf(named("cfg1"), "ActivateZoneSet"), 1);
    EXPECT_EQ(shortOf(named("cfg2"), "ActivateZoneSet"), 0);
    EXPECT_EQ(shortOf(named("z1"), "ZoneType"), 1);
    EXPECT_EQ(shortOf(named("q1"), "ZoneType"), 2);
    EXPECT_EQ(shortOf(named("f1"), "ZoneType"), 3);
    EXPECT_EQ(shortOf(named("z1"), "ObjType"), 10);
    EXPECT_EQ(firstRelation(*named("a1"), "setParent"), fabric_->fullOid);
    EXPECT_EQ(calls(15), 5u);
    EXPECT_EQ(totalCalls(), 6u); // and the active zone set's name
    // Members are the builds' to read.
    EXPECT_TRUE(fabric_->table<ZoningMemberTable>(zoning_table::FullZones).empty());
    EXPECT_EQ(snapshot().identifiers.size(), 3u + 8u);
}

TEST_P(ZoningLoadLevels, AReloadKeepsTheObjectsOfNamesStillListed) {
    ASSERT_EQ(load(), 0);
    const ZoningSnapshot first = snapshot();
    ASSERT_EQ(load(), 0);
    EXPECT_EQ(snapshot(), first);
}

const Level kLevels[] = {
    {"", 0}, {"v2.4.1", 1}, {"v2.6.0", 2}, {"v3.0.2", 3}, {"v4.0.0", 4}, {"v4.1.0", 5},
};
INSTANTIATE_TEST_SUITE_P(Firmware, ZoningLoadLevels, ::testing::ValuesIn(kLevels));

struct Shape {
    const char* name;
    const char* zoning;
    Names zoneSets, zones, aliases;
};

void PrintTo(const Shape& shape, std::ostream* out) {
    *out << shape.name;
}

class ZoningLoadShapes : public ZoningCacheFixture, public ::testing::WithParamInterface<Shape> {};

TEST_P(ZoningLoadShapes, ListsWhatTheSwitchHolds) {
    open("v4.1.0", json::parse(GetParam().zoning));
    ASSERT_EQ(load(), 0);
    EXPECT_EQ(zoneSets(), GetParam().zoneSets);
    EXPECT_EQ(zones(), GetParam().zones);
    EXPECT_EQ(aliases(), GetParam().aliases);
    EXPECT_EQ(names().size(),
              GetParam().zoneSets.size() + GetParam().zones.size() + GetParam().aliases.size());
    for (const std::string& name : GetParam().zoneSets) {
        EXPECT_EQ(shortOf(named(name), "ActivateZoneSet"), 0) << name; // none is active
    }
}

const Shape kShapes[] = {
    {"empty", R"json({"defined": []})json", {}, {}, {}},
    {"aliasesOnly",
     R"json({"defined": [{"name": "a1", "type": 3, "members": ["1,1"]},
                     {"name": "a2", "type": 3, "members": ["21:00:00:e0:8b:00:00:01"]}]})json",
     {},
     {},
     {"a1", "a2"}},
    {"nestedAliases",
     R"json({"defined": [{"name": "outer", "type": 3, "members": ["inner", "1,1"]},
                     {"name": "inner", "type": 3, "members": ["deep"]},
                     {"name": "deep", "type": 3, "members": ["2,2"]},
                     {"name": "z1", "type": 2, "members": ["outer"]},
                     {"name": "cfg", "type": 1, "members": ["z1"]}]})json",
     {"cfg"},
     {"z1"},
     {"outer", "inner", "deep"}},
    {"membersOfEveryKind",
     R"json({"defined": [{"name": "z1", "type": 2,
                      "members": ["20:00:00:e0:8b:00:00:01", "30:00:00:00:00:00:00:09",
                                  "H{21:00:00:e0:8b:00:00:01}", "1,4(lun)", "p[3]", "1,4", "a1",
                                  "undefinedname"]},
                     {"name": "p1", "type": 7, "members": ["1,1"]},
                     {"name": "a1", "type": 3, "members": ["3,1"]}]})json",
     {},
     {"z1"},
     {"a1"}},
};
INSTANTIATE_TEST_SUITE_P(Shapes, ZoningLoadShapes, ::testing::ValuesIn(kShapes),
                         [](const auto& info) { return std::string(info.param.name); });

class ZoningLoad : public ZoningCacheFixture {
protected:
    void SetUp() override { open("v4.1.0"); }

    // Gives the zone members and an undefined object to `zone` and maps
    // them in "FZDBZ", as the zone's build does.
    void giveMembers(const std::string& zone, const Names& members) {
        LockGuard model(getObjectStoreMutex());
        StoredObject* object = named(zone);
        ASSERT_NE(object, nullptr);
        for (const auto& member : members) {
            ASSERT_EQ(CreateZoneMemberObject(object, member, 8), 0);
        }
        ASSERT_EQ(CreateUndefinedZoningObject(object, "u_" + zone), 0);
        ASSERT_EQ(RefreshZoningMembers(fabric_->key, zoning_table::FullZones, zone, *object), 0);
    }
    ZoningMemberTable& zoneMembers() {
        return fabric_->table<ZoningMemberTable>(zoning_table::FullZones);
    }
};

TEST_F(ZoningLoad, AReloadFollowsWhatChangedOnTheSwitch) {
    ASSERT_EQ(load(), 0);
    giveMembers("z1", {"1,4"});
    giveMembers("z2", {"1,5", "1,6"});
    const std::string z1 = oidOf("z1");
    const std::string cfg2 = oidOf("cfg2");
    const std::vector<std::string> z2Members = listValues(*named("z2"), "setMember");
    const ZoningMemberMap z1Members = *zoneMembers().at("z1");
    {
        auto zoning = access();
        zoning->ZoningObjectDelete("z2", 2);
        zoning->ZoningObjectCreate("z9", 4, MemberList({"1,9"}).get());
        zoning->ZoningObjectCreate("cfg3", 1, MemberList({"z9"}).get());
        zoning->ZoneSetActivate("cfg2");
    }
    ASSERT_EQ(load(), 0);
    EXPECT_EQ(zoneSets(), (Names{"cfg1", "cfg2", "cfg3"}));
    EXPECT_EQ(zones(), (Names{"z1", "spare", "q1", "z9", "f1"}));
    EXPECT_EQ(oidOf("z1"), z1);
    EXPECT_EQ(*zoneMembers().at("z1"), z1Members); // untouched by the load
    EXPECT_EQ(oidOf("cfg2"), cfg2);
    // An existing zone set keeps its mark; only new ones are marked anew.
    EXPECT_EQ(shortOf(named("cfg2"), "ActivateZoneSet"), 0);
    EXPECT_EQ(shortOf(named("cfg3"), "ActivateZoneSet"), 0);
    EXPECT_EQ(shortOf(named("z9"), "ZoneType"), 2);
    // z2 went with its zone members; its undefined object stays.
    EXPECT_FALSE(names().contains("z2"));
    EXPECT_FALSE(zoneMembers().contains("z2"));
    ASSERT_EQ(z2Members.size(), 3u);
    EXPECT_EQ(findObject(z2Members[0]), nullptr);
    EXPECT_EQ(findObject(z2Members[1]), nullptr);
    EXPECT_NE(findObject(z2Members[2]), nullptr);
}

TEST_F(ZoningLoad, AnEmptiedDatabaseDestroysEveryObjectItHeld) {
    ASSERT_EQ(load(), 0);
    giveMembers("spare", {"1,1"});
    {
        auto zoning = access();
        const json defined = switchZoning()["defined"];
        for (const auto& object : defined) {
            zoning->ZoningObjectDelete(object["name"].get<std::string>().c_str(),
                                       object["type"].get<int>());
        }
    }
    ASSERT_EQ(load(), 0);
    EXPECT_TRUE(zoneSets().empty());
    EXPECT_TRUE(zones().empty());
    EXPECT_TRUE(aliases().empty());
    EXPECT_TRUE(names().empty());
    // What stays: the zoning tree and the undefined object of "spare".
    EXPECT_EQ(snapshot().identifiers.size(), 3u + 1u);
}

TEST_F(ZoningLoad, ANameThatChangedItsKindGetsAnObjectOfTheNewKind) {
    ASSERT_EQ(load(), 0);
    const std::string oldZone = oidOf("z2");
    {
        auto zoning = access();
        zoning->ZoningObjectDelete("z2", 2);
        zoning->ZoningObjectCreate("z2", 3, MemberList({"1,1"}).get());
    }
    ASSERT_EQ(load(), 0);
    EXPECT_EQ(aliases(), (Names{"a1", "z2"}));
    EXPECT_EQ(shortOf(named("z2"), "ObjType"), 20);
    EXPECT_EQ(findObject(oldZone), nullptr);
}

struct ReadFault {
    const char* what;
    json fault;
    int status;
};

void PrintTo(const ReadFault& fault, std::ostream* out) {
    *out << fault.what;
}

class ZoningLoadFaults : public ZoningCacheFixture,
                         public ::testing::WithParamInterface<ReadFault> {};

TEST_P(ZoningLoadFaults, AFailedReadLeavesStoreAndCacheAsTheyWere) {
    open("v4.1.0");
    ASSERT_EQ(load(), 0);
    {
        auto zoning = access();
        zoning->ZoningObjectDelete("spare", 2);
        zoning->ZoningObjectDelete("a1", 3);
        zoning->ZoningObjectCreate("z9", 2, MemberList({"1,9"}).get());
    }
    const ZoningSnapshot before = snapshot();
    json fault = GetParam().fault;
    fault["address"] = address();
    sim_->injectFault(fault);
    EXPECT_EQ(load(), GetParam().status);
    EXPECT_EQ(snapshot(), before) << ::testing::PrintToString(snapshot().differencesFrom(before));
    sim_->clearFaults();
    ASSERT_EQ(load(), 0); // the next load takes the change in
    EXPECT_EQ(zones(), (Names{"z1", "z2", "z9", "q1", "f1"}));
}

const ReadFault kReadFaults[] = {
    {"zoneSetsRefused",
     {{"procedure", 15}, {"code", 1}, {"kind", "status"}, {"status", -10050}},
     -40},
    {"qlZonesUnanswered",
     {{"procedure", 15}, {"code", 4}, {"kind", "status"}, {"status", -10200}},
     -56},
    {"aliasesNotPrimary",
     {{"procedure", 15}, {"code", 3}, {"kind", "status"}, {"status", -60701}},
     -59},
    {"aliasesGarbled", {{"procedure", 15}, {"code", 3}, {"kind", "malformed"}}, -56},
    {"activeNameRefused", {{"procedure", 21}, {"kind", "status"}, {"status", -10002}}, -1000},
};
INSTANTIATE_TEST_SUITE_P(Reads, ZoningLoadFaults, ::testing::ValuesIn(kReadFaults),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(ZoningLoad, WithoutAnActiveZoneSetNoNewZoneSetIsMarked) {
    access()->ZoneSetDeactivate();
    ASSERT_EQ(load(), 0);
    EXPECT_EQ(shortOf(named("cfg1"), "ActivateZoneSet"), 0);
    EXPECT_EQ(shortOf(named("cfg2"), "ActivateZoneSet"), 0);
}

TEST_F(ZoningLoad, ReportsWhatIsMissingAroundTheDatabase) {
    EXPECT_EQ(LoadFullZoningDb(nullptr, ""), -3);
    findZoningCache(fabric_->key)->eraseTable(zoning_table::FullAliases);
    EXPECT_EQ(load(), -17);
    findZoningCache(fabric_->key)->eraseTable(zoning_table::FullNames);
    EXPECT_EQ(refresh(), -17);
    fabric_->full->clearSet("setParent");
    EXPECT_EQ(load(), -28); // the fabric handle walk's code
    EXPECT_EQ(totalCalls(), 0u);
}

class ZoningLoadInTransaction : public ZoningCacheFixture,
                                public ::testing::WithParamInterface<Level> {
protected:
    void SetUp() override {
        open(GetParam().firmware);
        fabric_->setTransactionOpen(true);
    }
    bool cached() {
        return FindZoningCacheTable<ZoningActiveListing>(fabric_->key,
                                                         zoning_table::ActiveListing) != nullptr;
    }
};

TEST_P(ZoningLoadInTransaction, TakesTheActiveNameFromTheCachedListing) {
    ASSERT_EQ(load(), 0);
    EXPECT_EQ(shortOf(named("cfg1"), "ActivateZoneSet"), 1);
    EXPECT_EQ(cached(), GetParam().versionClass != 0);
    const std::uint64_t afterFirst = totalCalls();
    ASSERT_EQ(load(), 0);
    // With the listing cached a load asks only the five listings.
    EXPECT_EQ(totalCalls() - afterFirst, GetParam().versionClass != 0 ? 5u : afterFirst);
}

TEST_P(ZoningLoadInTransaction, NoActiveZoneSetDiscardsTheActiveDatabasesCache) {
    {
        LockGuard model(getObjectStoreMutex());
        ASSERT_EQ(CreateZoneObject(fabric_->active, "az", 1), 0);
        ASSERT_EQ(
            RefreshZoningMembers(fabric_->key, zoning_table::ActiveNames, "", *fabric_->active), 0);
    }
    access()->ZoneSetDeactivate();
    ASSERT_EQ(load(), 0);
    EXPECT_TRUE(fabric_->table<ZoningNameTable>(zoning_table::ActiveNames).empty());
    EXPECT_TRUE(listValues(*fabric_->active, "setMember").empty());
    EXPECT_EQ(shortOf(named("cfg1"), "ActivateZoneSet"), 0);
    EXPECT_FALSE(cached());
}

INSTANTIATE_TEST_SUITE_P(Firmware, ZoningLoadInTransaction,
                         ::testing::Values(Level{"", 0}, Level{"v2.4.1", 1}, Level{"v4.1.0", 5}));

class ZoneSetRefresh : public ZoningCacheFixture {
protected:
    void SetUp() override {
        open("v4.1.0");
        ASSERT_EQ(load(), 0);
    }
};

TEST_F(ZoneSetRefresh, FollowsTheSwitchsZoneSetsAndLeavesZonesAndAliases) {
    const std::string cfg1 = oidOf("cfg1");
    const std::string cfg2 = oidOf("cfg2");
    {
        auto zoning = access();
        zoning->ZoningObjectDelete("cfg2", 1);
        zoning->ZoningObjectCreate("cfg3", 1, MemberList({"z2"}).get());
        zoning->ZoningObjectDelete("z2", 2); // zones are not the refresh's
        zoning->ZoneSetActivate("cfg3");
    }
    sim_->resetCounters();
    ASSERT_EQ(refresh(), 0);
    EXPECT_EQ(calls(15), 1u);
    EXPECT_EQ(zoneSets(), (Names{"cfg1", "cfg3"}));
    EXPECT_EQ(oidOf("cfg1"), cfg1);
    EXPECT_EQ(findObject(cfg2), nullptr);
    EXPECT_FALSE(names().contains("cfg2"));
    EXPECT_EQ(shortOf(named("cfg3"), "ActivateZoneSet"), 1);
    EXPECT_EQ(zones(), (Names{"z1", "z2", "spare", "q1", "f1"}));
    EXPECT_TRUE(names().contains("z2"));
    EXPECT_TRUE(names().contains("a1"));
}

TEST_F(ZoneSetRefresh, NoZoneSetsOnTheSwitchLeavesNone) {
    {
        auto zoning = access();
        zoning->ZoneSetDeactivate();
        zoning->ZoningObjectDelete("cfg1", 1);
        zoning->ZoningObjectDelete("cfg2", 1);
    }
    ASSERT_EQ(refresh(), 0);
    EXPECT_TRUE(zoneSets().empty());
    EXPECT_EQ(names().size(), 6u);
    EXPECT_EQ(snapshot().identifiers.size(), 3u + 6u);
}

TEST_F(ZoneSetRefresh, AFailedReadLeavesStoreAndCacheAsTheyWere) {
    access()->ZoningObjectDelete("cfg2", 1);
    const ZoningSnapshot before = snapshot();
    for (const json& fault : {json{{"procedure", 15}, {"code", 1}, {"kind", "malformed"}},
                              json{{"procedure", 21}, {"kind", "status"}, {"status", -10002}}}) {
        sim_->injectFault(fault);
        EXPECT_NE(refresh(), 0) << fault;
        EXPECT_EQ(snapshot(), before) << fault;
        sim_->clearFaults();
    }
}

class ActiveListingCache : public ZoningCacheFixture {
protected:
    void SetUp() override { open("v4.1.0"); }

    std::vector<ZoningObjectEntry*>* read(UDAL_ZoningAccess_Ifc& zoning) {
        return zoning.GetZoningObjects(ZoningFlag{1}, ZoningFlag{0});
    }
};

TEST_F(ActiveListingCache, KeepsCopiesUntilCleared) {
    auto zoning = access();
    LockGuard model(getObjectStoreMutex());
    EXPECT_EQ(GetActiveZoningDbCache(fabric_->key, zoning.get()), nullptr);
    {
        Returned listing(*zoning, read(*zoning));
        ASSERT_EQ(StoreActiveZoningDbCache(fabric_->key, listing.get(), zoning.get()), 0);
    }
    Returned copy(*zoning, GetActiveZoningDbCache(fabric_->key, zoning.get()));
    ASSERT_TRUE(copy);
    ASSERT_EQ(copy->size(), 5u); // four zones and the zone set, with their members
    EXPECT_STREQ(copy->back()->name, "cfg1");
    ASSERT_NE(copy->front()->members, nullptr);
    EXPECT_STREQ(copy->front()->name, "z1");
    EXPECT_EQ(copy->front()->members->size(), 4u); // a1 expanded

    // Storing again replaces the cached listing.
    std::vector<ZoningObjectEntry*> shorter{copy->front()};
    ASSERT_EQ(StoreActiveZoningDbCache(fabric_->key, &shorter, zoning.get()), 0);
    Returned again(*zoning, GetActiveZoningDbCache(fabric_->key, zoning.get()));
    EXPECT_EQ(again->size(), 1u);

    EXPECT_EQ(StoreActiveZoningDbCache(fabric_->key, nullptr, zoning.get()), -3);
    EXPECT_EQ(StoreActiveZoningDbCache(fabric_->key, &shorter, nullptr), -3);
    EXPECT_EQ(ClearActiveZoningDbCache(fabric_->key, nullptr), -3);
    ASSERT_EQ(ClearActiveZoningDbCache(fabric_->key, zoning.get()), 0);
    EXPECT_EQ(GetActiveZoningDbCache(fabric_->key, zoning.get()), nullptr);
    EXPECT_EQ(ClearActiveZoningDbCache(fabric_->key, zoning.get()), 0);
}

} // namespace
