// The route and threshold configuration commands of the XML interface
// against the simulated switches: legal route entries, route objects of port
// pairs, route table settings, threshold templates and threshold changes,
// each checked in its reply and, where it changes a switch, in the
// simulator's state.
#include <gtest/gtest.h>

#include <cstdint>
#include <regex>
#include <string>
#include <vector>

#include "orvane/objects.h"
#include "orvane/xmlcommand.h"
#include "tests/xml/XmlCommandReply.h"
#include "tests/objects/ThresholdRouteFabric.h"

namespace {

using nlohmann::json;
using thrfabric::kEdgeOid;
using thrfabric::kHostA;
using thrfabric::kHostB;
using thrfabric::kProxyOid;

constexpr char kProxyWwn[] = "10:00:00:60:69:07:00:01";

using xmlreply::body;
using xmlreply::request;
constexpr auto fault = xmlreply::faultA;

std::string element(const char* name, const std::string& value) {
    return std::string("<") + name + ">" + value + "</" + name + ">";
}

struct Case {
    std::string request;
    bool result;
    std::string body; // a regular expression when `pattern`
    bool pattern = false;
};

// The threshold and route fabric with one more route table entry: from the
// edge switch toward the proxy, without any legal entry.
json document() {
    json doc = thrfabric::document();
    doc["fabrics"][0]["routes"].push_back(
        {{"source", "10:00:00:60:69:07:00:02"}, {"destination", kProxyWwn}, {"legal", json::array()}});
    return doc;
}

class RouteThresholdCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(initializeCommand());
        FabAPI_ShutdownFabricAPI();
        sim_ = new SwitchSimulator(document());
        thrfabric::open(*sim_);
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    static void runAll(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            std::string reply;
            const bool result = processCommand(c.request, reply);
            EXPECT_EQ(c.result, result) << c.request << reply;
            if (c.pattern) {
                EXPECT_TRUE(std::regex_match(body(reply), std::regex(c.body)))
                    << c.request << body(reply);
            } else {
                EXPECT_EQ(c.body, body(reply)) << c.request;
            }
        }
    }
    static json switchSource() {
        return sim_->request({{"op", "source"}, {"fabric", 0}, {"switch", kProxyWwn}})["source"];
    }
    static json fabricSource() {
        return sim_->request({{"op", "source"}, {"fabric", 0}})["source"];
    }
    static inline SwitchSimulator* sim_ = nullptr;
};

TEST_F(RouteThresholdCommands, LegalRouteTableEntries) {
    const auto legal = [](const std::string& from, const std::string& to) {
        return request("GetLegalRouteTableEntries",
                       element("Switch", from) + element("DestSwitch", to));
    };
    const std::string noEntry = "<Fault>No entry found</Fault>\n";
    // Two identifiers that differ only after their 47th character name the
    // same switch.
    const std::string longA = std::string(kProxyOid) + std::string(27, '0') + "1";
    const std::string longB = std::string(kProxyOid) + std::string(27, '0') + "2";
    runAll({
        {legal(kProxyOid, kEdgeOid), true,
         "<ObjectReference>20:03:00:60:69:07:00:01</ObjectReference>\n"
         "<ObjectReference>20:11:00:60:69:07:00:01</ObjectReference>\n"},
        // The switch answers, without any legal entry.
        {legal(kEdgeOid, kProxyOid), true, noEntry},
        // The export refuses and leaves no entry: "No entry found" is the
        // whole answer, and the command succeeds.
        {legal(kProxyOid, kHostA), true, noEntry},
        {request("GetLegalRouteTableEntries", element("Switch", kProxyOid)), true, noEntry},
        {legal(kProxyOid, kProxyOid), false, fault(-3)},
        {legal(longA, longB), false, fault(-3)},
        {request("GetLegalRouteTableEntries", element("DestSwitch", kEdgeOid)), false, fault(-3)},
        {legal("", kEdgeOid), false, fault(-3)},
    });
}

TEST_F(RouteThresholdCommands, PortPairToRouteOID) {
    const auto pair = [](const std::string& attributes) {
        return request("PortPairToRouteOID", "<PortPairReference " + attributes + "/>");
    };
    const std::string route = "<ObjectReference>0011[0-9a-f]{16}</ObjectReference>";
    runAll({
        {pair(std::string("source=\"") + kHostA + "\" dest=\"" + kHostB + "\""), true, route,
         true},
        {pair(std::string("source=\"") + kHostB + "\" dest=\"" + kHostA + "\""), true, route,
         true},
        {request("PortPairToRouteOID"), false, fault(10)},
        {pair(std::string("source=\"") + kHostA + "\" dest=\"" + kHostA + "\""), false, fault(-3)},
        {pair(std::string("source=\"") + kHostA + "\""), false, fault(-3)},
        {pair(std::string("source=\"") + kHostA + "\" dest=\"00012100000e8b07ffff\""), false,
         fault(-3)},
    });

    // The route answered is the one the library stores and reads.
    std::string reply;
    ASSERT_TRUE(processCommand(
        pair(std::string("source=\"") + kHostA + "\" dest=\"" + kHostB + "\""), reply));
    std::smatch match;
    const std::string text = body(reply);
    ASSERT_TRUE(std::regex_search(text, match, std::regex("0011[0-9a-f]{16}")));
    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(match[0].str().c_str(), &record));
    EXPECT_EQ(17, static_cast<RouteRecord*>(record)->ObjType);
    falFreeObject(record);
}

TEST_F(RouteThresholdCommands, SetRouteTableEntry) {
    const auto set = [](const std::string& from, const std::string& to) {
        return request("SetRouteTableEntry", "<Switch " + from + "/><DestSwitch " + to + "/>");
    };
    const std::string proxy = std::string("switchOID=\"") + kProxyOid + "\"";
    const std::string edge = std::string("switchOID=\"") + kEdgeOid + "\"";
    const std::size_t before = fabricSource().value("routeSettings", json::array()).size();
    runAll({
        {set(proxy + " inPort=\"4\"", edge + " outPort=\"9\""), true, ""},
        {set(proxy + " inPort=\"4\"", "switchOID=\"" + std::string(kHostA) + "\" outPort=\"9\""),
         false, fault(-3)},
        {request("SetRouteTableEntry", "<Switch " + proxy + " inPort=\"4\"/>"), false, fault(-3)},
        {request("SetRouteTableEntry", "<DestSwitch " + edge + " outPort=\"9\"/>"), false,
         fault(-3)},
        {set(proxy, edge + " outPort=\"9\""), false, fault(-3)},
        {set(proxy + " inPort=\"4\"", edge), false, fault(-3)},
        {set("inPort=\"4\"", edge + " outPort=\"9\""), false, fault(-3)},
        {set(proxy + " inPort=\"4\"", "outPort=\"9\""), false, fault(-3)},
        // Ports are decimal numbers of 0 to 255: nothing else names a port.
        {set(proxy + " inPort=\"x1\"", edge + " outPort=\"9\""), false, fault(-3)},
        {set(proxy + " inPort=\"4\"", edge + " outPort=\"9a\""), false, fault(-3)},
        {set(proxy + " inPort=\"256\"", edge + " outPort=\"9\""), false, fault(-3)},
        {set(proxy + " inPort=\"-1\"", edge + " outPort=\"9\""), false, fault(-3)},
        {set(proxy + " inPort=\"99999999999\"", edge + " outPort=\"9\""), false, fault(-3)},
        {set(proxy + " inPort=\"255\"", edge + " outPort=\"0\""), true, ""},
    });
    // The switch received the two settings: in port, out port and the
    // destination switch by name.
    const json settings = fabricSource().value("routeSettings", json::array());
    ASSERT_EQ(before + 2, settings.size()) << settings.dump();
    EXPECT_EQ(json::array({"2004006069070001", "2009006069070001", "1000006069070002"}),
              settings[before]);
    EXPECT_EQ(json::array({"20ff006069070001", "2000006069070001", "1000006069070002"}),
              settings[before + 1]);
}

} // namespace

namespace {

std::string threshold(int cls, int area, int index = -1) {
    OID_t text = {};
    const int status = index < 0 ? EncodeThrexClassAreaOID(kProxyOid, cls, area, text)
                                 : EncodeThrexThresholdEntryOID(kProxyOid, cls, area, index, text);
    EXPECT_EQ(0, status);
    return text;
}

std::string attribute(const std::string& name, const std::string& value) {
    return "<YarlAttribute name=\"" + name + "\" value=\"" + value + "\"/>";
}

std::string refused(const std::string& name, const std::string& value) {
    return "<OriginalRequest><DataRequest>\nname:" + name + "\nvalue:" + value +
           "\n</DataRequest></OriginalRequest>\n" + fault(-3);
}

constexpr std::uint32_t kManagement = 40;

TEST_F(RouteThresholdCommands, GetObjectTemplateConsultsNoSwitch) {
    const auto templ = [](const std::string& oid) {
        return request("GetObjectTemplate", element("Switch", oid));
    };
    const std::string classArea = threshold(2, 11);
    const std::uint64_t before = sim_->callCount(sim_->address(0), kManagement);
    runAll({
        {templ(classArea), true, ""},
        {templ(threshold(6, 23, 4)), true, ""},
        {templ(classArea + "ffff"), true, ""},
        {templ(kProxyOid), false, fault(-3)},
        {templ(classArea.substr(0, 19)), false, fault(-3)},
        {request("GetObjectTemplate"), false, fault(-3)},
        {templ("zz" + classArea.substr(2)), false, fault(-3)},
        // A threshold type whose name part is not hex digits.
        {templ("0024100000606907zz010002000b0000"), false, fault(-3)},
    });
    EXPECT_EQ(before, sim_->callCount(sim_->address(0), kManagement));
}

TEST_F(RouteThresholdCommands, ModifyObjectChangesTheNamedFields) {
    const std::string classArea = threshold(2, 11);
    const std::string entry = threshold(2, 11, 0);
    const auto modify = [](const std::string& oid, const std::string& attributes) {
        return request("ModifyObject", element("ObjectReference", oid) + attributes);
    };
    const auto area = [] { return switchSource()["threx"]["classAreas"][12]; };
    const auto values = [&] { return area()["values"]; };

    const std::uint64_t calls = sim_->callCount(sim_->address(0), kManagement);
    runAll({{modify(classArea, ""), true, ""}});
    EXPECT_EQ(calls, sim_->callCount(sim_->address(0), kManagement))
        << "an unchanged template sends nothing";

    const json original = values();
    runAll({
        // Refused before anything is sent: the switch keeps its values.
        {modify(classArea, attribute("CustomTimeBase", "12a")), false,
         refused("CustomTimeBase", "12a")},
        {modify(classArea, attribute("CustomTimeBase", "4") + attribute("Bogus", "1")), false,
         refused("Bogus", "1")},
        {modify(classArea, attribute("customTimeBase", "4")), false, refused("customTimeBase", "4")},
        {modify(classArea, attribute("CustomTimeBase", "")), false, refused("CustomTimeBase", "")},
        {modify(classArea, attribute("CustomTimeBase", "-1")), false,
         refused("CustomTimeBase", "-1")},
        {modify(classArea, attribute("CustomBufferSize", "99999999999")), false,
         refused("CustomBufferSize", "99999999999")},
        {modify(classArea, attribute("CustomUnitString", std::string(256, 'u'))), false,
         refused("CustomUnitString", std::string(256, 'u'))},
        {modify(classArea, attribute("ThreshStatus", "1")), false, refused("ThreshStatus", "1")},
        {modify(entry, attribute("CustomTimeBase", "5")), false, refused("CustomTimeBase", "5")},
        {modify(classArea, attribute("CustomTimeBase", "1&lt;2")), false,
         refused("CustomTimeBase", "1&lt;2")},
        {modify(kProxyOid, attribute("CustomTimeBase", "5")), false, fault(-20)},
        {modify("zz" + classArea.substr(2), ""), false, fault(-20)},
        {modify(classArea.substr(0, 19), ""), false, fault(-3)},
        {request("ModifyObject", attribute("CustomTimeBase", "5")), false, fault(-3)},
        // The export's own refusals.
        {modify(classArea, attribute("AlarmLevelSelect", "3")), false, fault(-104)},
        {modify(classArea,
                attribute("CustomHighBoundary", "5") + attribute("CustomLowBoundary", "50")),
         false, fault(-109)},
    });
    EXPECT_EQ(original, values());

    runAll({{modify(classArea, attribute("CustomTimeBase", "3") +
                                   attribute("CustomUnitString", "pkts") +
                                   attribute("CustomLowBoundary", "10") +
                                   attribute("CustomHighBoundary", "300") +
                                   attribute("AlarmLevelSelect", "1")),
             true, ""}});
    json v = values();
    EXPECT_EQ(3, v[0]);
    EXPECT_EQ(10, v[1]);
    EXPECT_EQ(300, v[2]);
    EXPECT_EQ(1, v[16]);
    EXPECT_EQ("pkts", area()["customUnit"]);

    // Both spellings name the fifth custom alarm.
    runAll({{modify(classArea, attribute("CustomInbetweenAlarm", "7")), true, ""}});
    EXPECT_EQ(7, values()[14]);
    runAll({{modify(classArea, attribute("CustomInBetweenAlarm", "8")), true, ""}});
    EXPECT_EQ(8, values()[14]);

    runAll({{modify(entry, attribute("ThreshStatus", "0") + attribute("ThreshBehaviorType", "2") +
                               attribute("ThreshBehaviorInterval", "30")),
             true, ""}});
    const json thresholds = area()["thresholds"][0]["values"];
    EXPECT_EQ(0, thresholds[0]);
    EXPECT_EQ(2, thresholds[5]);
    EXPECT_EQ(30, thresholds[6]);
}

} // namespace
