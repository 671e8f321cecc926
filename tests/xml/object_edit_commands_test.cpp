// The object editing commands of the XML interface against a simulated
// fabric: attribute changes that start, roll back and commit zoning
// transactions, zoning objects created, edited, activated and deleted inside
// them, and the zoning name check; each reply checked and the switch's
// zoning databases read back over the simulator's control channel.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "orvane/fabapi.h"
#include "orvane/xmlcommand.h"
#include "tests/xml/XmlCommandReply.h"
#include "tests/zoning/exports/ZoningExportsFabric.h"

namespace {

using nlohmann::json;
using xmlreply::body;
using xmlreply::request;
using zoning_exports::fabricOid;
using zoning_exports::oidOfType;
constexpr auto fault = xmlreply::faultA;

std::string reference(const std::string& oid) {
    return "<ObjectReference>" + oid + "</ObjectReference>";
}

// A YarlAttribute element of the given attributes (already quoted).
std::string attribute(const std::string& attributes) {
    return "<YarlAttribute " + attributes + "/>";
}

std::string named(const std::string& name, const std::string& value) {
    return attribute("name=\"" + name + "\" value=\"" + value + "\"");
}

struct Case {
    std::string request;
    bool result;
    std::string body;
};

class ObjectEditCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(initializeCommand());
        FabAPI_ShutdownFabricAPI();
        sim_ = new SwitchSimulator(zoning_exports::document("v4.1.0"));
        zoning_exports::openBoth(*sim_);
        // Every object read once, as an application does before it edits.
        std::string reply;
        ASSERT_TRUE(processCommand(request("GetAllObjects"), reply)) << reply;
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    void TearDown() override {
        // No test leaves a transaction open for the next.
        if (!switchZoning()["transaction"].is_null()) {
            run(addAttributes(caps(), named("ZoneTransactionActive", "0")));
        }
    }

    static std::string caps() { return oidOfType("0015", 0); }
    static std::string fullDb() { return oidOfType("0018", 0); }

    static std::string addAttributes(const std::string& oid, const std::string& attributes) {
        return request("AddAttributes", reference(oid) + attributes);
    }
    static xmlreply::Outcome run(const std::string& text) { return xmlreply::run(text); }
    static void runAll(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            const xmlreply::Outcome outcome = run(c.request);
            EXPECT_EQ(c.result, outcome.result) << c.request << outcome.reply;
            EXPECT_EQ(c.body, body(outcome.reply)) << c.request;
        }
    }
    static json switchZoning() { return sim_->request({{"op", "zoning"}, {"fabric", 0}})["zoning"]; }

    static inline SwitchSimulator* sim_ = nullptr;
};

TEST_F(ObjectEditCommands, AddAttributesDrivesTheZoningTransaction) {
    const json before = switchZoning();
    ASSERT_TRUE(before["transaction"].is_null());

    // Started by name, rolled back by tag (0xA0B23 in decimal).
    runAll({{addAttributes(caps(), named("ZoneTransactionActive", "1")), true, ""}});
    EXPECT_FALSE(switchZoning()["transaction"].is_null()) << "started on the switch";
    runAll({
        // A second start is the export's refusal, passed through.
        {addAttributes(caps(), named("ZoneTransactionActive", "1")), false, fault(-66)},
        {addAttributes(caps(), attribute("tag=\"658211\" value=\"0\"")), true, ""},
    });
    EXPECT_TRUE(switchZoning()["transaction"].is_null()) << "rolled back";
    EXPECT_EQ(before["defined"], switchZoning()["defined"]);

    // A commit ends the transaction the switch holds.
    runAll({
        {addAttributes(caps(), named("ZoneTransactionActive", "1")), true, ""},
        {addAttributes(caps(), named("ZoneTransactionCommit", "1")), true, ""},
    });
    EXPECT_TRUE(switchZoning()["transaction"].is_null()) << "committed";
    // Nothing open: a rollback is refused.
    runAll({{addAttributes(caps(), named("ZoneTransactionActive", "0")), false, fault(-40)}});
}

TEST_F(ObjectEditCommands, AddAttributesRefusesUnusableRequests) {
    const std::string target = reference(caps());
    runAll({
        {request("AddAttributes", target), false, fault(-3)},
        {request("AddAttributes", target + attribute("value=\"1\"")), false, fault(-3)},
        {request("AddAttributes", target + attribute("tag=\"0\" name=\"\" value=\"1\"")), false,
         fault(-3)},
        {request("AddAttributes", target + named("NoSuchAttribute", "1")), false, fault(-3)},
        {request("AddAttributes", target + attribute("name=\"ZoneTransactionActive\"")), false,
         fault(-3)},
        {request("AddAttributes", target + named("ZoneTransactionActive", "true")), false,
         fault(-3)},
        {request("AddAttributes", target + named("ZoneTransactionActive", "")), false, fault(-3)},
        {request("AddAttributes", target + named("SwitchState", "0x1f")), false, fault(-3)},
        {request("AddAttributes", target + named("SwitchState", "70000")), false, fault(-3)},
        {request("AddAttributes", target + named("SwitchTime", "12:00")), false, fault(-3)},
        {request("AddAttributes", target + named("PlatformName", std::string(256, 'p'))), false,
         fault(-3)},
        // No object: the export finds no fabric.
        {request("AddAttributes", named("ZoneTransactionActive", "1")), false, fault(-3)},
    });
    // Only the first YarlAttribute counts.
    runAll({{request("AddAttributes",
                     target + named("ZoneTransactionActive", "true") +
                         named("ZoneTransactionActive", "1")),
             false, fault(-3)}});
    EXPECT_TRUE(switchZoning()["transaction"].is_null()) << "nothing reached the switch";
}

// --- Zoning objects through the commands alone --------------------------------

// The names in one of the switch's zoning lists, with their members.
std::map<std::string, std::vector<std::string>> byName(const json& list) {
    std::map<std::string, std::vector<std::string>> out;
    for (const json& object : list) {
        out[object["name"]] = object["members"].get<std::vector<std::string>>();
    }
    return out;
}

class ZoningScenario : public ObjectEditCommands {
protected:
    // The identifier in the reply's ObjectReference, or "" (with a failure).
    static std::string createdOid(const std::string& reply) {
        std::smatch match;
        if (!std::regex_search(reply, match, std::regex("<ObjectReference>([0-9a-f]{20,47})"
                                                        "</ObjectReference>"))) {
            ADD_FAILURE() << reply;
            return "";
        }
        return match[1];
    }
    static std::string createRequest(const std::string& object, const std::string& members) {
        std::string sets;
        if (!members.empty()) {
            sets = "<Sets><Set>" + members + "</Set></Sets>";
        }
        return request("CreateFabricObject", reference(fabricOid(0)) + "<ObjectDefinition>" +
                                                 object + sets + "</ObjectDefinition>");
    }
    static std::string setMember(const std::string& oid) {
        return "<SetMember>" + oid + "</SetMember>";
    }
    // Creates through the command; the new identifier.
    static std::string create(const std::string& object, const std::string& members = "") {
        const xmlreply::Outcome outcome = run(createRequest(object, members));
        EXPECT_TRUE(outcome.result) << object << outcome.reply;
        EXPECT_EQ(std::string::npos, outcome.reply.find("<Fault>")) << outcome.reply;
        return createdOid(body(outcome.reply));
    }
    // A free zone member for port `port` of domain 1.
    static std::string member(int port) {
        const xmlreply::Outcome ref = run(request(
            "EncodeDomainPortRef", "<Domain>1</Domain><Port>" + std::to_string(port) + "</Port>"));
        std::smatch oid;
        EXPECT_TRUE(std::regex_search(ref.reply, oid, std::regex("OID=\"([0-9a-f]{20})\""))) << ref.reply;
        return create("<Object ObjType=\"22\" ZoneMemberTarget=\"" + oid[1].str() +
                      "\" ZMType=\"0\"/>");
    }
    static std::string editMembers(const char* command, const std::string& target,
                                   const char* set, const std::vector<std::string>& members) {
        std::string attributes;
        for (const std::string& m : members) {
            attributes += attribute(std::string("name=\"") + set + "\" value=\"" + m + "\"");
        }
        return request(command, reference(target) + attributes);
    }
    static std::string nameCheck(const std::string& database, const std::string& name) {
        return request("ZoningObjectNameExists",
                       reference(database) + "<ObjectSpecs ObjName=\"" + name + "\"/>");
    }
    static json transactionCopy() { return switchZoning()["transaction"]["copy"]; }
};

TEST_F(ZoningScenario, ATransactionDrivenThroughTheCommands) {
    const auto definedBefore = byName(switchZoning()["defined"]);

    // Zoning objects need an open transaction; free zone members do not.
    const std::string m1 = member(9);
    runAll({{createRequest("<Object ObjType=\"10\" ZoneName=\"zx\" ZoneType=\"1\"/>",
                           setMember(m1)),
             false, fault(-40)}});

    runAll({{addAttributes(caps(), named("ZoneTransactionActive", "1")), true, ""}});
    const std::string m2 = member(10);
    const std::string zone = create("<Object ObjType=\"10\" ZoneName=\"zx\" ZoneType=\"1\"/>",
                                    setMember(m1) + setMember(m2));
    EXPECT_EQ("000a", zone.substr(0, 4));
    const std::string alias =
        create("<Object ObjType=\"20\" ZoneAliasName=\"ax\"/>", setMember(member(11)));
    EXPECT_EQ("0014", alias.substr(0, 4));
    const std::string zoneSet = create(
        "<Object ObjType=\"11\" ZoneSetName=\"cfgx\" ActivateZoneSet=\"0\"/>", setMember(zone));
    EXPECT_EQ("000b", zoneSet.substr(0, 4));

    // One member in, one out: the zone ends up with ports 9 and 12.
    const std::string m4 = member(12);
    runAll({
        {editMembers("AddSetMember", zone, "ZoneMemberSet", {m4}), true, ""},
        {editMembers("RemoveSetMember", zone, "ZoneMemberSet", {m2}), true, ""},
        {editMembers("RemoveSetMember", "", "ZoneMemberSet", {m2}), false, fault(10)},
        {editMembers("AddSetMember", zone, "NoSuchSet", {m2}), false, fault(-3)},
    });
    auto copy = byName(transactionCopy());
    EXPECT_EQ((std::vector<std::string>{"1,9", "1,12"}), copy["zx"]);
    EXPECT_EQ((std::vector<std::string>{"1,11"}), copy["ax"]);
    EXPECT_EQ((std::vector<std::string>{"zx"}), copy["cfgx"]);
    EXPECT_EQ(definedBefore, byName(switchZoning()["defined"])) << "still inside the transaction";

    // Activation ends the transaction: the switch keeps everything.
    runAll({{addAttributes(zoneSet, named("ActivateZoneSet", "1")), true, ""}});
    json zoning = switchZoning();
    EXPECT_TRUE(zoning["transaction"].is_null());
    EXPECT_EQ("cfgx", zoning["effective"]["zoneSet"]);
    auto defined = byName(zoning["defined"]);
    EXPECT_EQ((std::vector<std::string>{"1,9", "1,12"}), defined["zx"]);
    EXPECT_EQ((std::vector<std::string>{"1,11"}), defined["ax"]);
    EXPECT_EQ((std::vector<std::string>{"zx"}), defined["cfgx"]);

    // The name check finds what the library created.
    runAll({
        {nameCheck(fullDb(), "zx"), true,
         "<ObjectReference>" + zone + "</ObjectReference>\n<ObjectExists>Yes</ObjectExists>"},
        {nameCheck(fullDb(), "ZX"), true, "<ObjectExists>No</ObjectExists>"},
        {nameCheck(fullDb(), "nosuch"), true, "<ObjectExists>No</ObjectExists>"},
        {request("ZoningObjectNameExists", reference(fullDb())), true,
         "<ObjectExists>No</ObjectExists>"},
        // Identifiers that are no full zoning database, though the name is
        // taken: "No", and the command succeeds.
        {nameCheck(fabricOid(0), "zx"), true, "<ObjectExists>No</ObjectExists>"},
        {nameCheck(caps(), "zx"), true, "<ObjectExists>No</ObjectExists>"},
        {nameCheck(zone, "zx"), true, "<ObjectExists>No</ObjectExists>"},
        {nameCheck("", "zx"), true, "<ObjectExists>No</ObjectExists>"},
    });

    // Another transaction, rolled back: a new zone, a member added and an
    // alias deleted, all undone on both sides.
    const auto definedAfter = byName(switchZoning()["defined"]);
    runAll({{addAttributes(caps(), named("ZoneTransactionActive", "1")), true, ""}});
    create("<Object ObjType=\"10\" ObjectName=\"zy\" ZoneType=\"1\"/>", setMember(member(13)));
    runAll({
        {editMembers("AddSetMember", zone, "ZoneMemberSet", {member(14)}), true, ""},
        {request("DeleteObjects", reference(alias)), true, ""},
        {request("DeleteObjects"), false, fault(-3)},
    });
    copy = byName(transactionCopy());
    EXPECT_EQ(1u, copy.count("zy"));
    EXPECT_EQ(0u, copy.count("ax")) << "deleted inside the transaction";
    EXPECT_EQ((std::vector<std::string>{"1,9", "1,12", "1,14"}), copy["zx"]);
    runAll({{addAttributes(caps(), named("ZoneTransactionActive", "0")), true, ""}});
    zoning = switchZoning();
    EXPECT_TRUE(zoning["transaction"].is_null());
    EXPECT_EQ(definedAfter, byName(zoning["defined"]));
    runAll({
        {nameCheck(fullDb(), "zy"), true, "<ObjectExists>No</ObjectExists>"},
        {nameCheck(fullDb(), "ax"), true,
         "<ObjectReference>" + alias + "</ObjectReference>\n<ObjectExists>Yes</ObjectExists>"},
    });
}

// A check that cannot be made at all (the library is down) reads as "No":
// the command never answers a Fault.
TEST(ZoningNameCheck, ACheckThatCannotBeMadeAnswersNo) {
    ASSERT_TRUE(initializeCommand());
    FabAPI_ShutdownFabricAPI();
    std::string reply;
    EXPECT_TRUE(processCommand(
        request("ZoningObjectNameExists", reference(oidOfType("0018", 0)) +
                                              "<ObjectSpecs ObjName=\"zx\"/>"),
        reply));
    EXPECT_EQ("<ObjectExists>No</ObjectExists>", body(reply));
}

} // namespace
