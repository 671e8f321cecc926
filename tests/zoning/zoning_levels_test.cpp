// Zoning access from firmware 2.3 on, at every level, against a simulated
// proxy switch of that firmware: transactions and who owns them,
// validation, activation, clearing, the level-specific procedures, and the
// active database read as one text.
#include "tests/zoning/ZoningFixture.h"

namespace {

using namespace zoning_test;

class ZoningLevels : public ZoningFixture, public ::testing::WithParamInterface<Level> {
protected:
    void SetUp() override {
        start(GetParam().firmware);
        ASSERT_EQ(versionClass_, GetParam().versionClass);
    }

    std::vector<std::string> names(UDAL_ZoningAccess_Ifc& zoning, int type, ZoningFlag active) {
        Returned result(zoning, zoning.GetZoningObjectNames(type, active));
        return textsOf(result.get());
    }
    // The names of one type that a connection of its own reads.
    std::vector<std::string> namesSeenBy(Fabric_Connection_Impl_RPC& connection, int type) {
        std::vector<std::string> names;
        ZoningNamesReply* reply = connection.rpcZoningGetObjectNames(type);
        EXPECT_NE(reply, nullptr);
        if (reply != nullptr) {
            for (u_int i = 0; i < reply->names.names_len; ++i) {
                names.emplace_back(reply->names.names_val[i]);
            }
            Fabric_Connection_Impl_RPC::freeReply(xdr_ZoningNamesReply, reply);
        }
        return names;
    }
    static int statusOf(ZoningStatusReply* reply) {
        EXPECT_NE(reply, nullptr);
        const int status = reply != nullptr ? reply->status : 1;
        Fabric_Connection_Impl_RPC::freeReply(xdr_ZoningStatusReply, reply);
        return status;
    }
    bool laterThan4_0() const { return versionClass_ >= 4; }
};

using Names = std::vector<std::string>;

TEST_P(ZoningLevels, ATransactionEditsACopyThatCommitMakesTheDefinedDatabase) {
    auto zoning = access();
    auto other = connectTo(address());
    zoning->TransactionStart();
    zoning->ZoningObjectCreate("z9", 2, MemberList({"1,9"}).get());
    zoning->ZoningObjectAddMembers("cfg2", 1, MemberList({"z9"}).get());
    EXPECT_EQ(calls(laterThan4_0() ? 30 : 10), 1u);
    EXPECT_EQ(names(*zoning, 2, 0), (Names{"z1", "z2", "spare", "z9"}));
    EXPECT_EQ(namesSeenBy(*other, 2), (Names{"z1", "z2", "spare"}));
    json state = switchZoning();
    ASSERT_FALSE(state["transaction"].is_null());
    EXPECT_EQ(namesIn(state["transaction"]["copy"]).back(), "z9");
    EXPECT_EQ(namesIn(state["defined"]).size(), 8u);

    std::unique_ptr<ZoningTextRecord> valid(zoning->DefinedDbValidate());
    ASSERT_NE(valid, nullptr);
    EXPECT_EQ(valid->data, nullptr);
    EXPECT_EQ(valid->text1, nullptr);
    zoning->TransactionCommit();
    state = switchZoning();
    EXPECT_TRUE(state["transaction"].is_null());
    EXPECT_EQ(namesIn(state["defined"]).back(), "z9");
    EXPECT_EQ(state["saved"], state["defined"]);
    EXPECT_EQ(namesSeenBy(*other, 2), (Names{"z1", "z2", "spare", "z9"}));
}

TEST_P(ZoningLevels, RollbackDropsTheCopy) {
    auto zoning = access();
    zoning->TransactionStart();
    zoning->ZoningObjectDelete("spare", 2);
    zoning->ZoningObjectRemoveMembers("z1", 2, MemberList({"1,4"}).get());
    zoning->TransactionRollback();
    const json state = switchZoning();
    EXPECT_TRUE(state["transaction"].is_null());
    EXPECT_EQ(state["defined"], standardZoning()["defined"]);
}

TEST_P(ZoningLevels, AFailedValidationNamesTheFaultAndKeepsTheTransactionOpen) {
    auto zoning = access();
    zoning->TransactionStart();
    zoning->ZoningObjectAddMembers("cfg2", 1, MemberList({"nozone"}).get());
    std::unique_ptr<ZoningTextRecord> fault(zoning->DefinedDbValidate());
    ASSERT_NE(fault, nullptr);
    EXPECT_EQ(fault->data, reinterpret_cast<void*>(1));
    EXPECT_STREQ(fault->text1, "cfg2");
    EXPECT_STREQ(fault->text2, "nozone");
    EXPECT_STREQ(fault->text3, "");
    EXPECT_EQ(codeOf([&] { zoning->TransactionCommit(); }), 24);
    EXPECT_FALSE(switchZoning()["transaction"].is_null());
    zoning->ZoningObjectRemoveMembers("cfg2", 1, MemberList({"nozone"}).get());
    zoning->TransactionCommit();
    EXPECT_TRUE(switchZoning()["transaction"].is_null());
}

TEST_P(ZoningLevels, ATransactionBelongsToTheConnectionThatStartedIt) {
    auto zoning = access();
    auto owner = connectTo(address());
    ASSERT_EQ(statusOf(owner->rpcTransactionStart()), 0);
    const ZoningObjectArgs create{2, const_cast<char*>("theirs"), const_cast<char*>("1,9")};
    ASSERT_EQ(statusOf(owner->rpcZoningObjectCreate(&create)), 0);

    // The session sees the defined database and may not take part.
    EXPECT_EQ(names(*zoning, 2, 0), (Names{"z1", "z2", "spare"}));
    const MemberList one({"1,1"});
    EXPECT_EQ(codeOf([&] { zoning->TransactionStart(); }), 1);
    EXPECT_EQ(codeOf([&] { zoning->ZoningObjectCreate("mine", 2, one.get()); }), 1);
    EXPECT_EQ(codeOf([&] { zoning->TransactionCommit(); }), 3);
    EXPECT_EQ(codeOf([&] { zoning->TransactionRollback(); }), 3);

    // The owner's connection closing aborts its transaction.
    owner.reset();
    ASSERT_TRUE(awaitZoning([](const json& state) { return state["transaction"].is_null(); }));
    EXPECT_EQ(names(*zoning, 2, 0), (Names{"z1", "z2", "spare"}));
    zoning->TransactionStart();
    EXPECT_FALSE(switchZoning()["transaction"]["owner"].is_null());
}

TEST_P(ZoningLevels, GivesTheCodesOfTransactionRefusals) {
    auto zoning = access();
    EXPECT_EQ(codeOf([&] { zoning->TransactionCommit(); }), 3);
    EXPECT_EQ(codeOf([&] { zoning->TransactionRollback(); }), 3);
    zoning->TransactionStart();
    EXPECT_EQ(codeOf([&] { zoning->TransactionStart(); }), 1);
    const struct {
        std::uint32_t procedure;
        int status;
        int code;
        std::function<void()> operation;
    } injected[] = {
        {23, -10117, 1, [&] { zoning->TransactionStart(); }},
        {23, -60701, 14, [&] { zoning->TransactionStart(); }},
        {24, -10116, 24, [&] { zoning->TransactionCommit(); }},
        {24, -10002, 100, [&] { zoning->TransactionCommit(); }},
        {25, -10050, 3, [&] { zoning->TransactionRollback(); }},
        {17, -10050, 27, [&] { zoning->ZoneSetActivate("cfg1"); }},
        {17, -10100, 27, [&] { zoning->ZoneSetActivate("cfg1"); }},
        {26, -10050, 3, [&] { delete zoning->DefinedDbValidate(); }},
        {26, -1, 4, [&] { delete zoning->DefinedDbValidate(); }},
        {18, -10101, 11, [&] { zoning->ZoneSetDeactivate(); }},
        {22, -10113, 21, [&] { zoning->DefinedDbSave(); }},
    };
    for (const auto& c : injected) {
        injectStatus(c.procedure, c.status);
        EXPECT_EQ(codeOf(c.operation), c.code) << c.procedure << " " << c.status;
    }
    injectStatus(26, -10116);
    std::unique_ptr<ZoningTextRecord> fault(zoning->DefinedDbValidate());
    EXPECT_EQ(fault->data, reinterpret_cast<void*>(1));
    sim_->resetCounters();
    EXPECT_EQ(codeOf([&] { zoning->TransactionGetStatus(); }), 12);
    EXPECT_EQ(totalCalls(), 0u);
    EXPECT_FALSE(switchZoning()["transaction"].is_null()); // refusals left it open
}

TEST_P(ZoningLevels, ActivatesWithoutSavingAndDeactivates) {
    auto zoning = access();
    zoning->ZoneSetActivate("cfg2");
    EXPECT_EQ(switchZoning()["effective"]["zoneSet"], "cfg2");
    EXPECT_EQ(calls(17), 1u);
    EXPECT_EQ(calls(22), 0u);
    EXPECT_EQ(codeOf([&] { zoning->ZoneSetActivate("z1"); }), 27); // not a zone set
    zoning->ZoneSetDeactivate();
    EXPECT_TRUE(switchZoning()["effective"].is_null());
    zoning->DefinedDbSave();
    EXPECT_EQ(calls(22), 1u);
}

TEST_P(ZoningLevels, ClearEmptiesTheDefinedDatabaseInsideTheTransaction) {
    auto zoning = access();
    zoning->TransactionStart();
    zoning->DefinedDbClear();
    if (versionClass_ == 5) {
        EXPECT_EQ(calls(19), 0u); // not offered at 4.1: deleted object by object
        EXPECT_EQ(calls(13), 8u);
    } else {
        EXPECT_EQ(calls(19), 1u);
    }
    EXPECT_TRUE(switchZoning()["transaction"]["copy"].empty());
    EXPECT_EQ(namesIn(switchZoning()["defined"]).size(), 8u);
    zoning->TransactionCommit();
    EXPECT_TRUE(switchZoning()["defined"].empty());
}

TEST_P(ZoningLevels, AsksTheActiveTypeOfItsLevel) {
    auto zoning = access();
    EXPECT_EQ(zoning->ZoningObjectGetType("q1", 1), 4);
    EXPECT_EQ(zoning->ZoningObjectGetType("cfg2", 0), 1);
    const bool activeQuery = versionClass_ >= 2;
    EXPECT_EQ(calls(29), activeQuery ? 1u : 0u);
    EXPECT_EQ(calls(20), activeQuery ? 1u : 2u);
    // Only the active database knows which zones are active.
    EXPECT_EQ(codeOf([&] { zoning->ZoningObjectGetType("spare", 1); }), activeQuery ? 9 : 0);
    EXPECT_EQ(codeOf([&] { zoning->ZoningObjectGetType("z1", 2); }), 7);
}

TEST_P(ZoningLevels, SendsLongMemberListsFromLevel4_0) {
    auto zoning = access();
    std::vector<std::string> wwns;
    for (int i = 0; i < 40; ++i) {
        char text[24];
        std::snprintf(text, sizeof text, "21:00:00:e0:8b:00:01:%02x", i);
        wwns.emplace_back(text);
    }
    const MemberList forty(wwns);
    const int code = codeOf([&] { zoning->ZoningObjectCreate("big", 2, forty.get()); });
    if (laterThan4_0()) {
        EXPECT_EQ(code, 0);
        EXPECT_EQ(calls(30), 1u);
        zoning->ZoningObjectAddMembers("z2", 2, MemberList({"a", "b", "c"}).get());
        EXPECT_EQ(calls(31), 1u);
    } else {
        EXPECT_EQ(code, 17);
        EXPECT_EQ(totalCalls(), 0u);
    }
    const MemberList one({"1,1"});
    EXPECT_EQ(codeOf([&] { zoning->ZoningObjectCreate("z", 7, one.get()); }), 18);
    EXPECT_EQ(
        codeOf([&] { zoning->ZoningObjectCreate(std::string(65, 'n').c_str(), 2, one.get()); }),
        26);
    EXPECT_EQ(codeOf([&] { zoning->ZoningObjectAddMembers("z2", 2, nullptr); }), 7);
}

TEST_P(ZoningLevels, ReadsTheActiveDatabaseTextAsTheSwitchWroteIt) {
    auto zoning = access();
    const json effective = switchZoning()["effective"];
    Returned all(*zoning, zoning->GetZoningObjects(ZoningFlag{1}, 1));
    ASSERT_EQ(all->size(), effective["zones"].size() + 1);
    for (std::size_t i = 0; i < effective["zones"].size(); ++i) {
        const json& zone = effective["zones"][i];
        const ZoningObjectEntry* entry = (*all)[i];
        EXPECT_EQ(entry->name, zone["name"].get<std::string>());
        EXPECT_EQ(entry->type, zone["type"].get<int>());
        EXPECT_EQ(entry->active, 1);
        std::vector<std::string> members;
        for (const auto& member : membersOf(entry->members)) {
            members.push_back(member.name);
        }
        EXPECT_EQ(members, zone["members"].get<std::vector<std::string>>()) << entry->name;
    }
    const ZoningObjectEntry* zoneSet = all->back();
    EXPECT_STREQ(zoneSet->name, "cfg1");
    EXPECT_EQ(zoneSet->type, 1);
    EXPECT_EQ(membersOf(zoneSet->members),
              (std::vector<Member>{{"z1", 0x200}, {"z2", 0x200}, {"q1", 0x400}, {"f1", 0x800}}));
    EXPECT_EQ(membersOf((*all)[0]->members),
              (std::vector<Member>{{"3,1", 8}, {"3,2", 8}, {kKnownPort, 0x10}, {"1,4", 8}}));

    Returned z2(*zoning, zoning->GetZoningObjectMembers("z2", 2, 1, 0));
    EXPECT_EQ(membersOf(z2.get()), (std::vector<Member>{{"1,5", 8}}));
    EXPECT_EQ(codeOf([&] { delete zoning->GetZoningObjectMembers("spare", 2, 1, 0); }), 10);
    EXPECT_EQ(codeOf([&] { delete zoning->GetZoningObjectMembers("cfg2", 1, 1, 0); }), 10);
    Returned zones(*zoning, zoning->GetZoningObjectMembers("cfg1", 1, 1, 0));
    EXPECT_EQ(membersOf(zones.get()),
              (std::vector<Member>{{"z1", 0}, {"z2", 0}, {"q1", 0}, {"f1", 0}}));
}

TEST_P(ZoningLevels, ListsObjectsOfOneTypeInBothViews) {
    auto zoning = access();
    const auto objects = [&](int type, ZoningFlag active) {
        Returned result(*zoning, zoning->GetZoningObjects(type, active, 0));
        std::vector<std::tuple<std::string, int, int>> entries;
        for (const auto* entry : *result) {
            entries.emplace_back(entry->name, entry->type, entry->active);
        }
        return entries;
    };
    using Entries = std::vector<std::tuple<std::string, int, int>>;
    EXPECT_EQ(objects(2, 1), (Entries{{"z1", 2, 1}, {"z2", 2, 1}}));
    EXPECT_EQ(objects(4, 1), (Entries{{"q1", 4, 1}}));
    EXPECT_EQ(objects(1, 1), (Entries{{"cfg1", 1, 1}}));
    EXPECT_EQ(objects(8, 1),
              (Entries{{"cfg1", 1, 1}, {"z1", 2, 1}, {"z2", 2, 1}, {"q1", 4, 1}, {"f1", 6, 1}}));
    EXPECT_EQ(objects(6, 0), (Entries{{"f1", 6, 0}}));
    EXPECT_EQ(objects(3, 0), (Entries{{"a1", 3, 0}}));
    EXPECT_EQ(codeOf([&] { objects(3, 1); }), 9);
}

TEST_P(ZoningLevels, ListsNamesAndTypedMembersOfTheDefinedDatabase) {
    auto zoning = access();
    EXPECT_EQ(names(*zoning, 8, 0), (Names{"cfg1", "cfg2", "z1", "z2", "spare", "a1", "q1", "f1"}));
    EXPECT_EQ(names(*zoning, 8, 1), (Names{"cfg1", "z1", "z2", "spare", "q1", "f1"}));
    EXPECT_EQ(names(*zoning, 1, 1), (Names{"cfg1"}));
    EXPECT_EQ(names(*zoning, 3, 0), (Names{"a1"}));
    const auto members = [&](const char* name, int type, ZoningFlag typing) {
        Returned result(*zoning, zoning->GetZoningObjectMembers(name, type, 0, typing));
        return membersOf(result.get());
    };
    using Members = std::vector<Member>;
    EXPECT_EQ(members("z1", 2, 1), (Members{{"a1", 0x1000}, {kKnownPort, 0x10}, {"1,4", 8}}));
    EXPECT_EQ(members("z1", 2, 0), (Members{{"a1", 0}, {kKnownPort, 0x100}, {"1,4", 8}}));
    EXPECT_EQ(members("cfg1", 1, 1),
              (Members{{"z1", 0x200}, {"z2", 0x200}, {"q1", 0x400}, {"f1", 0x800}}));
    EXPECT_EQ(members("a1", 3, 1), (Members{{"3,1", 8}, {"3,2", 8}}));
}

TEST_P(ZoningLevels, NoActiveConfigurationGivesItsCode) {
    auto zoning = access();
    zoning->ZoneSetDeactivate();
    EXPECT_EQ(codeOf([&] { names(*zoning, 1, 1); }), 11);
    EXPECT_EQ(codeOf([&] { delete zoning->GetZoningObjectMembers("z1", 2, 1, 0); }), 11);
    EXPECT_EQ(codeOf([&] { delete zoning->GetZoningObjects(ZoningFlag{1}, 0); }), 11);
}

const Level kLevels[] = {
    {"v2.4.1", 1}, {"v2.6.0", 2}, {"v3.0.2", 3}, {"v4.0.0", 4}, {"v4.1.0", 5},
};
INSTANTIATE_TEST_SUITE_P(Firmware, ZoningLevels, ::testing::ValuesIn(kLevels));

// A proxy that is not the primary configuration server.
class ZoningNotPrimary : public ZoningFixture {
protected:
    void SetUp() override {
        json zoning = standardZoning();
        zoning["notPrimaryFcs"] = true;
        start("v4.1.0", zoning);
    }
};

TEST_F(ZoningNotPrimary, ActiveDatabaseListingsGiveTheNotPrimaryCode) {
    auto zoning = access();
    EXPECT_EQ(codeOf([&] { delete zoning->GetZoningObjectMembers("z1", 2, 1, 0); }), 14);
    EXPECT_EQ(codeOf([&] { delete zoning->GetZoningObjects(ZoningFlag{1}, 0); }), 14);
    for (int type : {2, 4, 6, 8}) {
        EXPECT_EQ(codeOf([&] { delete zoning->GetZoningObjects(type, 1, 0); }), 14) << type;
    }
    Returned zoneSets(*zoning, zoning->GetZoningObjects(1, 1, 0));
    EXPECT_EQ(zoneSets->size(), 1u);
    Returned names(*zoning, zoning->GetZoningObjectNames(1, 1));
    EXPECT_EQ(textsOf(names.get()), (Names{"cfg1"}));
    EXPECT_EQ(calls(27), 6u); // the name listing does not read the text
}

// A fabric without zoning.
class ZoningEmpty : public ZoningFixture {
protected:
    void SetUp() override { start("v2.6.0", json::object()); }
};

TEST_F(ZoningEmpty, ListingsOfNothingGiveTheirCodes) {
    auto zoning = access();
    EXPECT_EQ(codeOf([&] { delete zoning->GetZoningObjectNames(8, 0); }), 9);
    EXPECT_EQ(zoning->GetZoningObjectNames(2, 0), nullptr);
    EXPECT_EQ(codeOf([&] { delete zoning->GetZoningObjects(2, 0, 0); }), 9);
    EXPECT_FALSE(zoning->ZoningObjectExists("z1"));
}

// Each level's proxy answers only the procedures its firmware has.
TEST(ZoningProcedureOffer, AProcedureTheFirmwareLacksIsUnavailable) {
    const struct {
        const char* firmware;
        std::uint32_t procedure;
        bool offered;
    } cases[] = {
        {"v2.2.0", 23, false}, {"v2.2.0", 22, true},  {"", 27, false},       {"v2.4.1", 27, true},
        {"v2.4.1", 29, false}, {"v2.6.0", 29, true},  {"v2.6.0", 30, false}, {"v4.0.0", 31, true},
        {"v4.0.0", 19, true},  {"v4.1.0", 19, false}, {"v4.1.0", 30, true},  {"v4.1.0", 28, false},
    };
    json document = {{"fabrics", json::array()}};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        json proxy = {{"wwn", "10:00:00:60:69:aa:00:0" + std::to_string(i % 10)},
                      {"address", "@" + std::to_string(i)}};
        if (cases[i].firmware[0] != '\0') {
            proxy["firmware"] = cases[i].firmware;
        }
        document["fabrics"].push_back(
            {{"name", "F" + std::to_string(i)}, {"switches", json::array({proxy})}});
    }
    SwitchSimulator sim(document);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        auto connection = connectTo(sim.address(i));
        const xdrproc_t nothing =
            reinterpret_cast<xdrproc_t>(reinterpret_cast<void (*)()>(xdr_void));
        timeval timeout{5, 0};
        const clnt_stat status = clnt_call(connection->getHandle(), cases[i].procedure, nothing,
                                           nullptr, nothing, nullptr, timeout);
        // A call without its arguments: an offered procedure takes or
        // refuses them (its answer is not read), an absent one is
        // unavailable.
        EXPECT_EQ(status == RPC_PROCUNAVAIL, !cases[i].offered)
            << cases[i].firmware << " " << cases[i].procedure << " " << clnt_sperrno(status);
    }
}

} // namespace
