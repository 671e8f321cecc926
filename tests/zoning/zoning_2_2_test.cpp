// Zoning access of the 2.2 level against a simulated proxy switch of that
// firmware: every operation, its errors, the long calls, the listings and
// member typing.
#include "tests/support/TraceCapture.h"
#include "tests/zoning/ZoningFixture.h"

namespace {

using namespace zoning_test;
using namespace std::chrono_literals;

class Zoning22 : public ZoningFixture {
protected:
    void SetUp() override { start("v2.2.0"); }

    timeval handleTimeout() {
        timeval timeout{};
        clnt_control(ctx_->handle, CLGET_TIMEOUT, reinterpret_cast<char*>(&timeout));
        return timeout;
    }
    void delay(std::uint32_t procedure, int ms) {
        sim_->injectFault({{"address", address()},
                           {"procedure", procedure},
                           {"kind", "delay"},
                           {"delayMs", ms},
                           {"count", 1}});
    }
    json object(const std::string& name) {
        const json state = switchZoning();
        for (const auto& item : state["defined"]) {
            if (item["name"] == name) {
                return item;
            }
        }
        return nullptr;
    }
};

std::string letters(char c, std::size_t n) {
    return std::string(n, c);
}

TEST_F(Zoning22, EditsTheDefinedDatabase) {
    auto zoning = access();
    zoning->ZoningObjectCreate("z9", 2, MemberList({"1,7", kKnownPort}).get());
    EXPECT_EQ(object("z9")["members"], json::array({"1,7", kKnownPort}));
    zoning->ZoningObjectAddMembers("z9", 2, MemberList({"a1", "1,8"}).get());
    EXPECT_EQ(object("z9")["members"], json::array({"1,7", kKnownPort, "a1", "1,8"}));
    zoning->ZoningObjectRemoveMembers("z9", 2, MemberList({"1,7", "a1"}).get());
    EXPECT_EQ(object("z9")["members"], json::array({kKnownPort, "1,8"}));
    EXPECT_TRUE(zoning->ZoningObjectExists("z9"));
    EXPECT_EQ(zoning->ZoningObjectGetType("q1", 0), 4);
    zoning->ZoningObjectDelete("z9", 2);
    EXPECT_TRUE(object("z9").is_null());
    EXPECT_FALSE(zoning->ZoningObjectExists("z9"));
}

TEST_F(Zoning22, SendsNamesAndMemberListsUpToTheirBounds) {
    auto zoning = access();
    const std::string name64 = letters('n', 64);
    zoning->ZoningObjectCreate(name64.c_str(), 3, MemberList({"1,1"}).get());
    EXPECT_FALSE(object(name64).is_null());
    // Four members joined by three ";" make 256 characters.
    const MemberList exactly256(
        {letters('a', 63), letters('b', 63), letters('c', 63), letters('d', 64)});
    zoning->ZoningObjectCreate("full", 2, exactly256.get());
    EXPECT_EQ(object("full")["members"].size(), 4u);
}

TEST_F(Zoning22, RefusesBadArgumentsWithoutACall) {
    auto zoning = access();
    const std::string name65 = letters('n', 65);
    const MemberList one({"1,1"});
    const MemberList text257(
        {letters('a', 63), letters('b', 63), letters('c', 63), letters('d', 65)});
    const MemberList longMember({letters('m', 257)});
    ZoningTextRecord* record = nullptr;
    std::vector<char*>* noNames = nullptr;
    const struct {
        const char* what;
        std::function<void()> operation;
        int code;
    } cases[] = {
        {"create null name", [&] { zoning->ZoningObjectCreate(nullptr, 2, one.get()); }, 7},
        {"create null members", [&] { zoning->ZoningObjectCreate("z", 2, nullptr); }, 7},
        {"create type 7", [&] { zoning->ZoningObjectCreate("z", 7, one.get()); }, 18},
        {"create type 8", [&] { zoning->ZoningObjectCreate("z", 8, one.get()); }, 18},
        {"create 65 characters", [&] { zoning->ZoningObjectCreate(name65.c_str(), 2, one.get()); },
         26},
        {"create 257 member characters", [&] { zoning->ZoningObjectCreate("z", 2, text257.get()); },
         17},
        {"delete type 8", [&] { zoning->ZoningObjectDelete("z1", 8); }, 18},
        {"delete 65 characters", [&] { zoning->ZoningObjectDelete(name65.c_str(), 2); }, 26},
        {"add 257 member characters",
         [&] { zoning->ZoningObjectAddMembers("z1", 2, text257.get()); }, 17},
        {"add 65 characters", [&] { zoning->ZoningObjectAddMembers(name65.c_str(), 2, one.get()); },
         26},
        {"remove null members", [&] { zoning->ZoningObjectRemoveMembers("z1", 2, nullptr); }, 7},
        {"remove long member",
         [&] { zoning->ZoningObjectRemoveMembers("z1", 2, longMember.get()); }, 17},
        {"exists null", [&] { zoning->ZoningObjectExists(nullptr); }, 7},
        {"get type active 2", [&] { zoning->ZoningObjectGetType("z1", 2); }, 7},
        {"member type typing 2", [&] { zoning->ZoningMemberObjectGetType("1,1", 2, 0); }, 7},
        {"names type 5", [&] { zoning->GetZoningObjectNames(5, 0); }, 7},
        {"names active 2", [&] { zoning->GetZoningObjectNames(1, 2); }, 7},
        {"active alias names", [&] { zoning->GetZoningObjectNames(3, 1); }, 9},
        {"members null name", [&] { zoning->GetZoningObjectMembers(nullptr, 2, 0, 0); }, 7},
        {"members type 8", [&] { zoning->GetZoningObjectMembers("z1", 8, 0, 0); }, 7},
        {"active alias members", [&] { zoning->GetZoningObjectMembers("a1", 3, 1, 0); }, 10},
        {"objects type 5", [&] { zoning->GetZoningObjects(5, 0, 0); }, 7},
        {"active alias objects", [&] { zoning->GetZoningObjects(3, 1, 0); }, 9},
        {"all objects typing 2", [&] { zoning->GetZoningObjects(ZoningFlag{0}, 2); }, 7},
        {"transaction start", [&] { zoning->TransactionStart(); }, 12},
        {"transaction rollback", [&] { zoning->TransactionRollback(); }, 12},
        {"transaction status", [&] { zoning->TransactionGetStatus(); }, 12},
        {"validate", [&] { record = zoning->DefinedDbValidate(); }, 12},
        {"name vector null", [&] { zoning->ZoningObjectNameVectorDelete(&noNames); }, 7},
        {"member vector null", [&] { zoning->ZoningMemberObjectVectorDelete(nullptr); }, 7},
        {"object vector null", [&] { zoning->ZoningObjectVectorDelete(nullptr); }, 7},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(codeOf(c.operation), c.code) << c.what;
    }
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(totalCalls(), 0u);
}

TEST_F(Zoning22, GivesTheCodeOfEachSwitchStatus) {
    auto zoning = access();
    const MemberList one({"1,1"});
    const struct {
        int status;
        int code;
    } cases[] = {
        {-10117, 1},  {-10050, 3},  {-1, 4},      {-10102, 5},  {-10103, 7},   {-10021, 7},
        {-10200, 8},  {-10027, 8},  {-10100, 9},  {-10101, 11}, {-20011, 12},  {-10003, 12},
        {-10024, 13}, {-60701, 14}, {-10106, 16}, {-10107, 17}, {-10104, 18},  {-10028, 20},
        {-10113, 21}, {-10051, 21}, {-10115, 22}, {-10053, 22}, {-10052, 22},  {-10105, 23},
        {-10116, 24}, {-10114, 25}, {-10054, 25}, {-10108, 28}, {-10002, 100}, {7, 100},
    };
    for (const auto& c : cases) {
        injectStatus(10, c.status);
        EXPECT_EQ(codeOf([&] { zoning->ZoningObjectCreate("z9", 2, one.get()); }), c.code)
            << c.status;
    }
    EXPECT_TRUE(object("z9").is_null());
}

TEST_F(Zoning22, GivesTheCodesOfTheSwitchsOwnRefusals) {
    auto zoning = access();
    const MemberList one({"1,1"});
    const struct {
        const char* what;
        std::function<void()> operation;
        int code;
    } cases[] = {
        {"create an existing name", [&] { zoning->ZoningObjectCreate("z1", 2, one.get()); }, 23},
        {"create a bad name", [&] { zoning->ZoningObjectCreate("bad name", 2, one.get()); }, 21},
        {"delete a missing object", [&] { zoning->ZoningObjectDelete("nope", 2); }, 9},
        {"delete with the wrong type", [&] { zoning->ZoningObjectDelete("z1", 4); }, 9},
        {"add to a missing object", [&] { zoning->ZoningObjectAddMembers("nope", 2, one.get()); },
         9},
        {"remove a member not there",
         [&] { zoning->ZoningObjectRemoveMembers("z2", 2, one.get()); }, 16},
        {"type of a missing object", [&] { zoning->ZoningObjectGetType("nope", 0); }, 9},
        {"members of a missing object", [&] { zoning->GetZoningObjectMembers("nope", 2, 0, 0); },
         9},
        {"activate a missing zone set", [&] { zoning->ZoneSetActivate("nope"); }, 27},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(codeOf(c.operation), c.code) << c.what;
    }
}

TEST_F(Zoning22, StopsRemovingAtTheFirstRefusedMember) {
    auto zoning = access();
    EXPECT_EQ(
        codeOf([&] {
            zoning->ZoningObjectRemoveMembers("z1", 2, MemberList({"a1", "1,9", "1,4"}).get());
        }),
        16);
    EXPECT_EQ(object("z1")["members"], json::array({kKnownPort, "1,4"}));
    EXPECT_EQ(calls(12), 2u);
    sim_->resetCounters();
    zoning->ZoningObjectRemoveMembers("z1", 2, MemberList({}).get());
    EXPECT_EQ(calls(12), 0u);
}

TEST_F(Zoning22, ExistenceTreatsOnlyNotFoundAsAbsent) {
    auto zoning = access();
    EXPECT_TRUE(zoning->ZoningObjectExists("z1"));
    EXPECT_EQ(calls(14), 2u); // zone set, then zone
    sim_->resetCounters();
    EXPECT_FALSE(zoning->ZoningObjectExists("nope"));
    EXPECT_EQ(calls(14), 7u);
    injectStatus(14, -10104);
    EXPECT_EQ(codeOf([&] { zoning->ZoningObjectExists("z1"); }), 18);
    sim_->injectFault({{"address", address()}, {"procedure", 14}, {"kind", "close"}});
    EXPECT_EQ(codeOf([&] { zoning->ZoningObjectExists("z1"); }), 8);
}

TEST_F(Zoning22, ActivationSavesTheDefinedDatabase) {
    auto zoning = access();
    zoning->ZoningObjectCreate("z9", 2, MemberList({"1,9"}).get());
    zoning->ZoningObjectAddMembers("cfg2", 1, MemberList({"z9"}).get());
    EXPECT_NE(switchZoning()["saved"], switchZoning()["defined"]);
    zoning->ZoneSetActivate("cfg2");
    const json state = switchZoning();
    EXPECT_EQ(state["effective"]["zoneSet"], "cfg2");
    EXPECT_EQ(namesIn(state["effective"]["zones"]), (std::vector<std::string>{"z2", "z9"}));
    EXPECT_EQ(state["saved"], state["defined"]);
    EXPECT_EQ(calls(22), 1u);

    sim_->resetCounters();
    injectStatus(17, -10050);
    EXPECT_EQ(codeOf([&] { zoning->ZoneSetActivate("cfg1"); }), 27);
    EXPECT_EQ(calls(22), 0u);
    zoning->ZoneSetDeactivate();
    EXPECT_TRUE(switchZoning()["effective"].is_null());
}

TEST_F(Zoning22, LongCallsRaiseTheTimeOutAndSetItBack) {
    internalTiming().rpcCallTimeout = 1000ms;
    auto zoning = access();
    const timeval before = handleTimeout();
    delay(17, 1500);
    delay(22, 1500);
    zoning->ZoneSetActivate("cfg2"); // activation and save outlast the ordinary time-out
    EXPECT_EQ(switchZoning()["effective"]["zoneSet"], "cfg2");
    EXPECT_EQ(handleTimeout().tv_sec, before.tv_sec);
    EXPECT_EQ(handleTimeout().tv_usec, before.tv_usec);
    delay(22, 1500);
    zoning->TransactionCommit();
    // An ordinary call keeps the ordinary time-out.
    delay(18, 1500);
    EXPECT_EQ(codeOf([&] { zoning->ZoneSetDeactivate(); }), 8);
}

TEST_F(Zoning22, ALongCallThatFailsSetsTheTimeOutBackToo) {
    auto zoning = access();
    const timeval before = handleTimeout();
    sim_->injectFault({{"address", address()}, {"procedure", 22}, {"kind", "close"}});
    EXPECT_EQ(codeOf([&] { zoning->DefinedDbSave(); }), 8);
    EXPECT_EQ(handleTimeout().tv_sec, before.tv_sec);
    EXPECT_EQ(handleTimeout().tv_usec, before.tv_usec);
}

TEST_F(Zoning22, CommitSavesAndClearEmptiesTheDefinedDatabase) {
    auto zoning = access();
    zoning->ZoningObjectDelete("spare", 2);
    zoning->TransactionCommit();
    EXPECT_EQ(calls(22), 1u);
    EXPECT_EQ(switchZoning()["saved"], switchZoning()["defined"]);
    zoning->DefinedDbClear();
    EXPECT_TRUE(switchZoning()["defined"].empty());
    EXPECT_EQ(calls(19), 1u);
}

TEST_F(Zoning22, ListsNamesOfEveryTypeInBothViews) {
    auto zoning = access();
    const auto names = [&](int type, ZoningFlag active) {
        Returned result(*zoning, zoning->GetZoningObjectNames(type, active));
        return textsOf(result.get());
    };
    using Names = std::vector<std::string>;
    EXPECT_EQ(names(1, 0), (Names{"cfg1", "cfg2"}));
    EXPECT_EQ(names(2, 0), (Names{"z1", "z2", "spare"}));
    EXPECT_EQ(names(3, 0), (Names{"a1"}));
    EXPECT_EQ(names(4, 0), (Names{"q1"}));
    EXPECT_EQ(names(6, 0), (Names{"f1"}));
    EXPECT_EQ(names(8, 0), (Names{"cfg1", "cfg2", "z1", "z2", "spare", "a1", "q1", "f1"}));
    EXPECT_EQ(names(1, 1), (Names{"cfg1"}));
    EXPECT_EQ(names(2, 1), (Names{"z1", "z2"}));
    EXPECT_EQ(names(4, 1), (Names{"q1"}));
    EXPECT_EQ(names(6, 1), (Names{"f1"}));
    EXPECT_EQ(names(8, 1), (Names{"cfg1", "z1", "z2", "q1", "f1"}));
}

TEST_F(Zoning22, TypesMembersThroughTheNameServer) {
    auto zoning = access();
    const auto members = [&](const char* name, int type, ZoningFlag active, ZoningFlag typing) {
        Returned result(*zoning, zoning->GetZoningObjectMembers(name, type, active, typing));
        return membersOf(result.get());
    };
    using Members = std::vector<Member>;
    EXPECT_EQ(members("spare", 2, 0, 1), (Members{{kKnownNode, 0x20},
                                                  {kUnknownName, 0x80},
                                                  {"H{21:00:00:e0:8b:00:00:01}", 0x11},
                                                  {"1,4(lun)", 0xC},
                                                  {"p[3]", 0x2}}));
    EXPECT_GT(calls(60), 0u);
    sim_->resetCounters();
    EXPECT_EQ(members("spare", 2, 0, 0), (Members{{kKnownNode, 0x100},
                                                  {kUnknownName, 0x100},
                                                  {"H{21:00:00:e0:8b:00:00:01}", 0x101},
                                                  {"1,4(lun)", 0xC},
                                                  {"p[3]", 0x2}}));
    EXPECT_EQ(calls(60), 0u); // typing off asks no name server
    EXPECT_EQ(members("z1", 2, 0, 1), (Members{{"a1", 0x1000}, {kKnownPort, 0x10}, {"1,4", 0x8}}));
    EXPECT_EQ(members("cfg1", 1, 0, 1),
              (Members{{"z1", 0x200}, {"z2", 0x200}, {"q1", 0x400}, {"f1", 0x800}}));
    EXPECT_EQ(members("a1", 3, 0, 1), (Members{{"3,1", 0x8}, {"3,2", 0x8}}));
    EXPECT_EQ(zoning->ZoningMemberObjectGetType(kKnownPort, 1, 0), 0x10);
    EXPECT_EQ(zoning->ZoningMemberObjectGetType("alias_name", 1, 0), 0);
    sim_->injectFault({{"address", address()}, {"procedure", 60}, {"kind", "close"}});
    EXPECT_EQ(codeOf([&] { zoning->ZoningMemberObjectGetType(kKnownPort, 1, 0); }), 8);
}

TEST_F(Zoning22, ListsActiveMembersWithAliasesExpanded) {
    auto zoning = access();
    const auto members = [&](const char* name, int type) {
        Returned result(*zoning, zoning->GetZoningObjectMembers(name, type, 1, 1));
        return membersOf(result.get());
    };
    using Members = std::vector<Member>;
    EXPECT_EQ(members("z1", 2),
              (Members{{"3,1", 0x8}, {"3,2", 0x8}, {kKnownPort, 0x10}, {"1,4", 0x8}}));
    EXPECT_EQ(members("cfg1", 1),
              (Members{{"z1", 0x200}, {"z2", 0x200}, {"q1", 0x400}, {"f1", 0x800}}));
    EXPECT_EQ(codeOf([&] { members("spare", 2); }), 10); // not in the active zone set
    EXPECT_EQ(codeOf([&] { members("cfg2", 1); }), 10);  // not the active zone set
    zoning->ZoningObjectCreate("empty", 2, MemberList({}).get());
    EXPECT_EQ(codeOf([&] { zoning->GetZoningObjectMembers("empty", 2, 0, 0); }), 9);
    // A zone set left without members lists none; one the switch lacks is
    // still not found.
    zoning->ZoningObjectDelete("z2", 2);
    EXPECT_TRUE(object("cfg2")["members"].empty());
    Returned emptySet(*zoning, zoning->GetZoningObjectMembers("cfg2", 1, 0, 1));
    ASSERT_NE(emptySet.get(), nullptr);
    EXPECT_TRUE(emptySet.get()->empty());
    EXPECT_EQ(codeOf([&] { zoning->GetZoningObjectMembers("nope", 1, 0, 0); }), 9);
}

TEST_F(Zoning22, ListsObjectsInBothViews) {
    auto zoning = access();
    const auto objects = [&](int type, ZoningFlag active) {
        Returned result(*zoning, zoning->GetZoningObjects(type, active, 1));
        std::vector<std::tuple<std::string, int, int>> entries;
        for (const auto* entry : *result) {
            entries.emplace_back(entry->name, entry->type, entry->active);
            EXPECT_EQ(entry->members, nullptr);
        }
        return entries;
    };
    using Entries = std::vector<std::tuple<std::string, int, int>>;
    EXPECT_EQ(objects(2, 0), (Entries{{"z1", 2, 0}, {"z2", 2, 0}, {"spare", 2, 0}}));
    EXPECT_EQ(objects(3, 0), (Entries{{"a1", 3, 0}}));
    EXPECT_EQ(objects(1, 1), (Entries{{"cfg1", 1, 1}}));
    EXPECT_EQ(objects(2, 1), (Entries{{"z1", 2, 1}, {"z2", 2, 1}}));
    EXPECT_EQ(objects(8, 1),
              (Entries{{"cfg1", 1, 1}, {"z1", 2, 1}, {"z2", 2, 1}, {"q1", 4, 1}, {"f1", 6, 1}}));
    EXPECT_EQ(codeOf([&] { objects(7, 0); }), 9); // no object of the type
}

TEST_F(Zoning22, ListsWholeDatabasesWithTheirMembers) {
    auto zoning = access();
    zoning->ZoningObjectCreate("empty", 2, MemberList({}).get());
    const auto listing = [&](ZoningFlag active) {
        Returned result(*zoning, zoning->GetZoningObjects(active, ZoningFlag{0}));
        std::vector<std::pair<std::string, std::vector<Member>>> entries;
        for (const auto* entry : *result) {
            EXPECT_EQ(entry->active, active);
            entries.emplace_back(entry->name, membersOf(entry->members));
        }
        return entries;
    };
    const auto active = listing(1);
    ASSERT_EQ(active.size(), 5u);
    EXPECT_EQ(active[0].first, "cfg1");
    EXPECT_EQ(active[1].second,
              (std::vector<Member>{{"3,1", 8}, {"3,2", 8}, {kKnownPort, 0x100}, {"1,4", 8}}));
    const auto defined = listing(0);
    std::vector<std::string> names;
    for (const auto& entry : defined) {
        names.push_back(entry.first);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"cfg1", "cfg2", "z1", "z2", "spare", "empty", "a1",
                                               "q1", "f1"}));
    EXPECT_TRUE(defined[5].second.empty()); // the empty zone keeps no members
    EXPECT_EQ(defined[6].second, (std::vector<Member>{{"3,1", 8}, {"3,2", 8}}));
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

TEST_F(Zoning22, TracesEachOperationAndItsExitOnlyWhenItSucceeds) {
    TraceCapture trace(Vosk_Zoning);
    ASSERT_TRUE(trace.started());
    auto zoning = access();
    const MemberList one({"1,1"});
    zoning->ZoningObjectCreate("z9", 2, one.get());
    EXPECT_EQ(codeOf([&] { zoning->ZoningObjectCreate("z9", 2, one.get()); }), 23);
    const std::string log = trace.finish();
    EXPECT_EQ(occurrences(log, "Source Method Name: ZoningObjectCreate Version 2.2"), 3u) << log;
    EXPECT_EQ(occurrences(log, "Source Arguments: ZoningObjectName=z9 ZoningObjectType=2"), 2u);
    EXPECT_NE(log.find("Source File Name: ..\\zoning\\UDAL_ZoningAccess_2_2_Impl"),
              std::string::npos);
    EXPECT_NE(log.find("Source Arguments: ProxyVersion=0"), std::string::npos);
    EXPECT_EQ(occurrences(log, "Message: Exiting Method"), 2u); // the factory's and one create's
}

TEST_F(Zoning22, ReleasedVectorsLeaveTheCallersPointerNull) {
    auto zoning = access();
    std::vector<char*>* names = zoning->GetZoningObjectNames(2, 0);
    ASSERT_NE(names, nullptr);
    zoning->ZoningObjectNameVectorDelete(&names);
    EXPECT_EQ(names, nullptr);
    std::vector<ZoningObjectEntry*>* objects = zoning->GetZoningObjects(ZoningFlag{1}, 0);
    zoning->ZoningObjectVectorDelete(&objects);
    EXPECT_EQ(objects, nullptr);
    EXPECT_EQ(codeOf([&] { zoning->ZoningObjectVectorDelete(&objects); }), 7);
}

} // namespace
