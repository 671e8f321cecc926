// The object editing commands of the XML interface against a simulated
// fabric: attribute changes that start, roll back and commit zoning
// transactions, each reply checked and the switch's zoning state read back
// over the simulator's control channel.
#include <gtest/gtest.h>

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

} // namespace
