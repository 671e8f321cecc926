// The creation of zones, zone sets, aliases and zone members on a simulated
// fabric: inside a transaction and rolled back, the library's zoning state
// and the switch's databases are as before the start; committed, the
// library's defined database is the switch's; a zone set made with its
// active flag is active on the switch and ends the transaction; every
// refusal changes nothing.
#include <gtest/gtest.h>

#include <functional>

#include "editing/ZoneCreation.h"
#include "tests/zoning/ZoningCreateFixture.h"

namespace {

using namespace zoning_create_test;

class ZoningCreateLevels : public ZoningCreateTest,
                           public ::testing::WithParamInterface<const char*> {
protected:
    void SetUp() override { open(GetParam()); }
};

TEST_P(ZoningCreateLevels, RollbackUndoesEveryCreation) {
    const std::string m1 = freeMember(3, 7), m2 = freeMember(3, 8), m3 = freeMember(3, 9),
                      m4 = freeMember(4, 1);
    const Picture before = picture();

    ASSERT_EQ(0, start());
    // m2 stays free between members that leave: its place must come back.
    ZoneInput zone("new zone", 1, {m1, m3, named("a1")});
    std::string zoneOid, aliasOid, setOid;
    ASSERT_EQ(0, create(zone, zoneOid));
    AliasInput alias("al2", {m4});
    ASSERT_EQ(0, create(alias, aliasOid));
    ZoneSetInput zoneSet("cfg3", false, {zoneOid, named("z2")});
    ASSERT_EQ(0, create(zoneSet, setOid));
    // Reading the new zone set caches its members under its name.
    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(setOid.c_str(), &record));
    falFreeObject(record);

    const DefinedView copy = switchCopy();
    EXPECT_EQ(copy.at("newzone"), std::make_pair(2, std::vector<std::string>{"3,7", "3,9", "a1"}));
    EXPECT_EQ(copy.at("al2"), std::make_pair(3, std::vector<std::string>{"4,1"}));
    EXPECT_EQ(copy.at("cfg3"), std::make_pair(1, std::vector<std::string>{"newzone", "z2"}));
    EXPECT_EQ(libraryView(), copy);
    EXPECT_EQ(list(fullDb(), "setMember"), std::vector<std::string>{m2});
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionDirty"));
    EXPECT_EQ(0, flag(setOid, "ActivateZoneSet"));

    ASSERT_EQ(0, rollBack());
    expectSame(picture(), before);
    for (const std::string& oid : {zoneOid, aliasOid, setOid}) {
        EXPECT_EQ(nullptr, findObject(oid)) << oid;
    }
    EXPECT_EQ(list(fullDb(), "setMember"), (std::vector<std::string>{m1, m2, m3, m4}));
}

TEST_P(ZoningCreateLevels, CommitKeepsWhatWasCreatedAsTheSwitchDoes) {
    const std::string m1 = freeMember(3, 7), m2 = freeMember(3, 8);
    ASSERT_EQ(0, start());
    ZoneInput zone("znew", 1, {m1});
    std::string zoneOid, aliasOid, setOid;
    ASSERT_EQ(0, create(zone, zoneOid));
    AliasInput alias("al2", {m2});
    ASSERT_EQ(0, create(alias, aliasOid));
    ZoneSetInput zoneSet("cfg3", false, {zoneOid});
    ASSERT_EQ(0, create(zoneSet, setOid));
    ASSERT_EQ(0, commit());

    EXPECT_TRUE(switchZoning()["transaction"].is_null());
    EXPECT_EQ(libraryView(), switchDefined());
    EXPECT_TRUE(journal().empty());
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(zoneOid, named("znew"));
    EXPECT_EQ(std::vector<std::string>{zoneOid}, list(setOid, "setMember"));
    EXPECT_EQ(std::vector<std::string>{m1}, list(zoneOid, "setMember"));
    EXPECT_TRUE(list(fullDb(), "setMember").empty());

    // Read again from the switch: the same view, the same identifiers.
    readAll();
    EXPECT_EQ(libraryView(), switchDefined());
    EXPECT_EQ(zoneOid, named("znew"));
    EXPECT_EQ(setOid, named("cfg3"));
    EXPECT_EQ(aliasOid, named("al2"));
}

TEST_P(ZoningCreateLevels, ZoneSetWithActivationEndsTheTransaction) {
    const std::string cfg1 = named("cfg1");
    ASSERT_EQ(1, flag(cfg1, "ActivateZoneSet"));
    const std::string m1 = freeMember(3, 7);
    ASSERT_EQ(0, start());
    ZoneInput zone("znew", 1, {m1});
    std::string zoneOid, setOid;
    ASSERT_EQ(0, create(zone, zoneOid));
    ZoneSetInput zoneSet("cfg3", true, {zoneOid, named("z2")});
    ASSERT_EQ(0, create(zoneSet, setOid));

    const json zoning = switchZoning();
    EXPECT_EQ("cfg3", zoning["effective"]["zoneSet"]);
    EXPECT_TRUE(zoning["transaction"].is_null()) << "committed with the activation";
    EXPECT_EQ(libraryView(), switchDefined());
    EXPECT_EQ(1, flag(setOid, "ActivateZoneSet"));
    EXPECT_EQ(0, flag(cfg1, "ActivateZoneSet"));
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionDirty"));
    EXPECT_TRUE(journal().empty());

    // Nothing is left to roll back, and the next transaction runs as usual.
    EXPECT_EQ(-40, rollBack());
    EXPECT_EQ(setOid, named("cfg3"));
    ASSERT_EQ(0, start());
    ASSERT_EQ(0, commit());
    EXPECT_EQ(libraryView(), switchDefined());
}

TEST_P(ZoningCreateLevels, RefusedActivationLeavesTheZoneSetInTheTransaction) {
    const Picture before = picture();
    ASSERT_EQ(0, start());
    sim_->injectFault({{"address", sim_->address(0)},
                       {"procedure", 17},
                       {"kind", "status"},
                       {"status", -10104},
                       {"count", 1}});
    ZoneSetInput zoneSet("cfg3", true, {named("z2")});
    std::string setOid;
    EXPECT_EQ(-60, create(zoneSet, setOid));
    EXPECT_EQ(setOid, named("cfg3"));
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionActive"));
    EXPECT_EQ(5u, journal().size()) << "one row for its member, four of its own";
    EXPECT_EQ(1, switchCopy().count("cfg3"));
    EXPECT_EQ("cfg1", switchZoning()["effective"]["zoneSet"]);

    ASSERT_EQ(0, rollBack());
    expectSame(picture(), before);
}

INSTANTIATE_TEST_SUITE_P(Firmware, ZoningCreateLevels,
                         ::testing::Values("v2.4.1", "v2.6.0", "v4.1.0"));

class ZoningCreate : public ZoningCreateTest {
protected:
    void SetUp() override { open("v4.1.0"); }
};

TEST_F(ZoningCreate, ZoneJournalsTheInverseOfEachChange) {
    const std::string m1 = freeMember(3, 7), m2 = freeMember(3, 8);
    ASSERT_EQ(0, start());
    ZoneInput zone("znew", 1, {m1, m2});
    std::string z;
    ASSERT_EQ(0, create(zone, z));
    const std::string db = fullDb();
    // Newest first: the zone's own rows, then those of m2 and of m1.
    const std::vector<std::vector<std::string>> expected = {
        {"FZDBZDELETE", "", "znew", ""},
        {"FZDBDELETE", "", "znew", z},
        {"DELETE", z, "setParent", db},
        {"DELETEVEC", db, "setZone", z},
        {"DELETE", m2, "setParent", z},
        {"ADD", m2, "setParent", db},
        {"ADDVEC", db, "setMember", m2},
        {"DELETEVEC", z, "setMember", m2},
        {"DELETE", m1, "setParent", z},
        {"ADD", m1, "setParent", db},
        {"ADDVEC", db, "setMember", m1},
        {"DELETEVEC", z, "setMember", m1},
    };
    const std::vector<ZoningJournalRow> rows = journal();
    ASSERT_EQ(rows.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i], (std::vector<std::string>{rows[i].verb, rows[i].first,
                                                          rows[i].second, rows[i].third}))
            << "row " << i;
    }
    {
        LockGuard model(getObjectStoreMutex());
        const auto& zones = *FindZoningCacheTable<ZoningMemberTable>(key(), zoning_table::FullZones);
        ASSERT_TRUE(zones.contains("znew"));
        EXPECT_EQ((ZoningMemberMap{{"3,7", m1}, {"3,8", m2}}), *zones.at("znew"));
    }
    {
        LockGuard model(getObjectStoreMutex());
        EXPECT_EQ(z, firstRelation(*findObjectUnlocked(m1), "setParent"));
        EXPECT_EQ(1u, findObjectUnlocked(m1)->getRelationCount("setParent"));
    }
    ASSERT_EQ(0, rollBack());
    EXPECT_EQ(list(fullDb(), "setMember"), (std::vector<std::string>{m1, m2}));
}

TEST_F(ZoningCreate, ZoneNamesLoseTheirBlanksAndGiveTheSubType) {
    struct Case {
        const char* name;
        unsigned short type;
        const char* stored;
        int subType; // -1: none
        int zoningType;
    };
    const Case cases[] = {
        {"plain", 1, "plain", 0, 2},   {"a b/IP", 1, "ab/IP", 5, 2},  {"v/VIx", 1, "v/VIx", 255, 2},
        {"f/FCP", 4, "f/FCP", 8, 2},   {"n/other", 1, "n/other", -1, 2},
        {"q", 3, "q", 0, 6},
    };
    ASSERT_EQ(0, start());
    int port = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZoneInput zone(c.name, c.type, {freeMember(5, port++)});
        std::string oid;
        ASSERT_EQ(0, create(zone, oid));
        EXPECT_EQ(c.stored, text(oid, "ZoneName"));
        EXPECT_EQ(c.subType < 0 ? 0xFFFF : c.subType, flag(oid, "ZoneSubType"));
        EXPECT_EQ(c.type, flag(oid, "ZoneType"));
        EXPECT_EQ(c.zoningType, switchCopy().at(c.stored).first);
    }
}

TEST_F(ZoningCreate, QuickLoopZonesTakeUnknownNamesAndSwitches) {
    ASSERT_EQ(0, start());
    // A name the name server does not know becomes a placeholder target.
    MemberInput unknown("fff9300000000000000900", 0, std::nullopt);
    unknown.record.targetOid[20] = '\0';
    std::string member;
    ASSERT_EQ(0, create(unknown, member));
    const std::string switchOid = oidOfType("0002", 0);
    ASSERT_NE(nullptr, findObject(switchOid));
    ZoneInput zone("ql", 2, {member, switchOid});
    std::string oid;
    ASSERT_EQ(0, create(zone, oid));
    EXPECT_EQ(switchCopy().at("ql"),
              std::make_pair(4, std::vector<std::string>{"30:00:00:00:00:00:00:09",
                                                         "10:00:00:60:69:70:00:01"}));
}

TEST_F(ZoningCreate, MemberNamesByTargetAndType) {
    std::string portOid, nodeOid;
    {
        LockGuard model(getObjectStoreMutex());
        const unsigned char port[8] = {0x21, 0, 0, 0xe0, 0x8b, 0, 0, 0x01};
        StoredObject* object = getOrCreateObject(1, WWNAddress(port));
        object->setShortAttr("PortType", 324);
        object->getStringAttr("OID", portOid);
        const unsigned char node[8] = {0x20, 0, 0, 0xe0, 0x8b, 0, 0, 0x01};
        getOrCreateObject(4, WWNAddress(node))->getStringAttr("OID", nodeOid);
    }
    struct Case {
        const char* what;
        std::string target;
        unsigned short type;
        std::optional<std::string> modifier;
        std::string name;
        std::string storedTarget;
    };
    const std::string ref = domainPort(3, 7);
    const Case cases[] = {
        {"domain and port", ref, 0, std::nullopt, "3,7", ref},
        {"lun", ref, 1, " 1 2 ", "3,7(12)", ref},
        {"fahost", ref, 3, "", "H{3,7}", ref},
        {"port with alpa", portOid, 2, "e8", std::string(kKnownPort) + "[e8]", portOid},
        {"node", nodeOid, 0, std::nullopt, "20:00:00:e0:8b:00:00:01", nodeOid},
        // A name the name server knows as a port name designates the port.
        {"known port name", "fff9210000e08b000001", 0, std::nullopt, kKnownPort, portOid},
        {"known node name", "fff7200000e08b000001", 0, std::nullopt, "20:00:00:e0:8b:00:00:01",
         nodeOid},
        {"unknown name", "fff9300000000000000a", 0, std::nullopt, "30:00:00:00:00:00:00:0a",
         "fff9300000000000000a"},
        {"zone", named("q1"), 2, "x", "q1[x]", named("q1")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemberInput input(c.target, c.type, c.modifier);
        std::string oid;
        ASSERT_EQ(0, create(input, oid));
        EXPECT_EQ(c.name, text(oid, "MemberName"));
        EXPECT_EQ(c.type, flag(oid, "ZMType"));
        std::string target;
        {
            LockGuard model(getObjectStoreMutex());
            zoning_creation::memberTarget(*findObjectUnlocked(oid), target);
        }
        EXPECT_EQ(c.storedTarget, target);
        EXPECT_NE(nullptr, findObject(target)) << "the target is stored";
        EXPECT_EQ(oid, list(fullDb(), "setMember").back()) << "a free member";
    }
    EXPECT_TRUE(journal().empty()) << "members are local objects";
}

// Every refusal returns its code and changes nothing, locally or on the
// switch.
TEST_F(ZoningCreate, RefusalsChangeNothing) {
    const std::string free1 = freeMember(3, 7), free2 = freeMember(3, 8);
    const std::string notReady = freeMember(3, 9);
    {
        LockGuard model(getObjectStoreMutex());
        findObjectUnlocked(notReady)->setShortAttr("ZMReady", 0);
    }
    const std::string otherFabric = freeMember(3, 7, 1);
    // A member of a device port that is no device port any more.
    std::string portOid, oldPortMember;
    {
        LockGuard model(getObjectStoreMutex());
        const unsigned char port[8] = {0x21, 0, 0, 0xe0, 0x8b, 0, 0, 0x07};
        StoredObject* object = getOrCreateObject(1, WWNAddress(port));
        object->setShortAttr("PortType", 325);
        object->getStringAttr("OID", portOid);
    }
    {
        MemberInput input(portOid, 0, std::nullopt);
        ASSERT_EQ(0, create(input, oldPortMember));
        LockGuard model(getObjectStoreMutex());
        findObjectUnlocked(portOid)->setShortAttr("PortType", 2);
    }
    std::string noTarget;
    {
        MemberInput input(domainPort(6, 6), 0, std::nullopt);
        ASSERT_EQ(0, create(input, noTarget));
        LockGuard model(getObjectStoreMutex());
        findObjectUnlocked(noTarget)->setStringAttr("ZoneMemberTarget", "");
    }
    // A member that a zone of the switch holds.
    const std::string inZone = list(named("z1"), "setMember").back();
    ASSERT_EQ(22, oidObjectType(inZone));
    const std::string z1 = named("z1"), a1 = named("a1"), cfg1 = named("cfg1");
    const std::string switchOid = oidOfType("0002", 0);
    std::vector<char> longName(zoning_creation::kRecordTextMax + 1, 'n');
    longName.back() = '\0';

    ASSERT_EQ(0, start());
    const Picture before = picture();
    struct Case {
        const char* what;
        std::function<int()> attempt;
        int expected;
    };
    std::string oid;
    const auto zone = [&](std::string name, unsigned short type, std::vector<std::string> members) {
        ZoneInput input(std::move(name), type, members);
        return create(input, oid);
    };
    const auto alias = [&](std::vector<std::string> members) {
        AliasInput input("alx", members);
        return create(input, oid);
    };
    const auto zoneSet = [&](std::vector<std::string> members) {
        ZoneSetInput input("cfgx", false, members);
        return create(input, oid);
    };
    const auto member = [&](std::string target, unsigned short type,
                            std::optional<std::string> modifier) {
        MemberInput input(target, type, std::move(modifier));
        return create(input, oid);
    };
    const Case cases[] = {
        {"null zone record", [&] { return create(10, nullptr, oid); }, -3},
        {"zone without members", [&] { return zone("zx", 1, {}); }, -3},
        {"zone member not stored", [&] { return zone("zx", 1, {"00160000000000000099"}); }, -3},
        {"zone set in a zone", [&] { return zone("zx", 1, {free1, cfg1}); }, -3},
        {"switch in a standard zone", [&] { return zone("zx", 1, {switchOid}); }, -3},
        {"member named twice", [&] { return zone("zx", 1, {free1, free1}); }, -3},
        {"member of another fabric", [&] { return zone("zx", 1, {free1, otherFabric}); }, -5},
        {"member not ready", [&] { return zone("zx", 1, {notReady}); }, -25},
        {"member inside a zone", [&] { return zone("zx", 1, {free1, inZone}); }, -68},
        {"quick loop member of a port reference", [&] { return zone("zx", 2, {free1}); }, -81},
        {"zone type 4 without a slash", [&] { return zone("zx", 4, {free1}); }, -3},
        {"zone type 5", [&] { return zone("zx", 5, {free1}); }, -3},
        {"zone name of blanks", [&] { return zone("   ", 1, {free1}); }, -3},
        {"zone name without its end",
         [&] {
             ZoneInput input("", 1, {free1});
             input.record.pcZoneName = longName.data();
             longName.back() = 'n';
             const int status = create(input, oid);
             longName.back() = '\0';
             return status;
         },
         -3},
        {"zone name the switch has", [&] { return zone("z1", 1, {free1, free2}); }, -32},
        {"alias in a zone set", [&] { return zoneSet({a1}); }, -3},
        {"zone set without members", [&] { return zoneSet({}); }, -3},
        {"zone set name the switch has",
         [&] {
             ZoneSetInput input("cfg2", false, {z1});
             return create(input, oid);
         },
         -32},
        {"zone in an alias", [&] { return alias({z1}); }, -3},
        {"alias member inside a zone", [&] { return alias({inZone}); }, -68},
        {"alias member not ready", [&] { return alias({notReady}); }, -25},
        {"alias member of a port no device port", [&] { return alias({oldPortMember}); }, -25},
        {"alias member without target", [&] { return alias({noTarget}); }, -208},
        {"alias member of another fabric", [&] { return alias({otherFabric}); }, -5},
        {"null member record", [&] { return create(22, nullptr, oid); }, -3},
        {"member target too short", [&] { return member("f00003070000", 0, std::nullopt); }, -3},
        {"member target a switch", [&] { return member(switchOid, 0, std::nullopt); }, -3},
        {"member type 4", [&] { return member(domainPort(3, 1), 4, "x"); }, -3},
        {"modifier of blanks", [&] { return member(domainPort(3, 1), 1, "  "); }, -82},
        {"modifier on a plain member", [&] { return member(domainPort(3, 1), 0, "x"); }, -82},
        {"modifier on a fahost member", [&] { return member(domainPort(3, 1), 3, "x"); }, -82},
        {"port not a device port", [&] { return member(portOid, 0, std::nullopt); }, -72},
        {"zone not stored", [&] { return member("000a0909090909090909", 2, "x"); }, -80},
        {"standard zone as target", [&] { return member(z1, 2, "x"); }, -208},
        {"quick loop zone without alpa", [&] { return member(named("q1"), 1, "x"); }, -71},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        oid = "untouched";
        EXPECT_EQ(c.expected, c.attempt());
        EXPECT_EQ("", oid) << "no identifier handed out";
        expectSame(picture(), before);
    }
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionActive"));
}

// The oldest level has no switch transaction: the library keeps its own,
// and each creation reaches the switch's defined database at once.
TEST_F(ZoningCreateTest, OldestLevelCreatesOnTheSwitchAsItGoes) {
    open("");
    // A member needs no transaction.
    std::string memberOid;
    MemberInput input(domainPort(1, 2), 0, std::nullopt);
    ASSERT_EQ(0, create(input, memberOid));
    EXPECT_EQ("1,2", text(memberOid, "MemberName"));
    EXPECT_TRUE(journal().empty());
    // A zone needs the transaction.
    const Picture before = picture();
    ZoneInput early("zx", 1, {memberOid});
    std::string oid;
    EXPECT_EQ(-40, create(early, oid));
    expectSame(picture(), before);

    ASSERT_EQ(0, start());
    EXPECT_EQ(1, flag(caps(), "ZoneTransactionActive"));
    const std::string m2 = freeMember(3, 8);
    ZoneInput zone("znew", 1, {memberOid});
    std::string zoneOid, aliasOid, setOid;
    ASSERT_EQ(0, create(zone, zoneOid));
    EXPECT_EQ(switchDefined().at("znew"), std::make_pair(2, std::vector<std::string>{"1,2"}))
        << "on the switch before any commit";
    AliasInput alias("al2", {m2});
    ASSERT_EQ(0, create(alias, aliasOid));
    ZoneSetInput zoneSet("cfg3", false, {zoneOid, named("z2")});
    ASSERT_EQ(0, create(zoneSet, setOid));
    EXPECT_TRUE(switchZoning()["transaction"].is_null());
    EXPECT_EQ(libraryView(), switchDefined());

    ASSERT_EQ(0, commit());
    const json zoning = switchZoning();
    EXPECT_EQ(zoning["saved"], zoning["defined"]) << "the commit saved the defined database";
    EXPECT_EQ(libraryView(), switchDefined());
    EXPECT_TRUE(journal().empty());
    EXPECT_EQ(0, flag(caps(), "ZoneTransactionActive"));
    readAll();
    EXPECT_EQ(zoneOid, named("znew"));
    EXPECT_EQ(setOid, named("cfg3"));
    EXPECT_EQ(libraryView(), switchDefined());
}

} // namespace
