#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <string>

#include "sim/FabricModel.h"
#include "sim/FabricShape.h"

namespace {

using nlohmann::json;

json fabricOf(int switches, const json& shape) {
    json list = json::array();
    for (int s = 1; s <= switches; ++s) {
        char wwn[32];
        std::snprintf(wwn, sizeof wwn, "10:00:00:60:69:44:00:%02x", s);
        list.push_back({{"wwn", wwn}, {"firmware", "v4.1.0"}});
    }
    json fabric = {{"switches", list}};
    shapeFabric(fabric, shape, 1);
    return fabric;
}

// Every port of the port lists by name, with the switch that has it.
std::map<std::string, const json*> portsByName(const json& fabric) {
    std::map<std::string, const json*> ports;
    for (const json& sw : fabric["switches"]) {
        for (const json& port : sw["fcs"]["ports"]) {
            ports[port["wwn"].get<std::string>()] = &port;
        }
    }
    return ports;
}

TEST(FabricShape, EdgesAreLinkedToEveryCoreBothWays) {
    const json fabric = fabricOf(5, {{"cores", 2}, {"portsPerSwitch", 8}});
    const auto ports = portsByName(fabric);
    int links = 0;
    for (const auto& [name, port] : ports) {
        if ((*port)["type"] != 0x84) {
            continue;
        }
        ++links;
        ASSERT_EQ(1u, (*port)["attached"].size()) << name;
        const std::string far = (*port)["attached"][0]["wwn"];
        ASSERT_TRUE(ports.count(far)) << far;
        EXPECT_EQ(name, (*ports.at(far))["attached"][0]["wwn"]) << "the far end names this port";
    }
    EXPECT_EQ(2 * 3 * 2, links) << "three edges, two cores, two ends each";
    EXPECT_EQ(6u, fabric["isls"].size());
    // A core has room for its three links and its devices.
    EXPECT_EQ(8u, fabric["switches"][0]["fcs"]["ports"].size());
}

TEST(FabricShape, DevicesHaveNodesNameServerEntriesAndZones) {
    const json fabric = fabricOf(3, {{"devicesPerSwitch", 4}});
    const auto ports = portsByName(fabric);
    ASSERT_EQ(12u, fabric["nameServer"].size());
    std::set<int> kinds;
    for (const json& entry : fabric["nameServer"]) {
        kinds.insert(entry["portType"].get<int>());
        const json& switchPort = *ports.at(entry["switchPort"].get<std::string>());
        ASSERT_EQ(1u, switchPort["attached"].size());
        EXPECT_EQ(entry["portName"], switchPort["attached"][0]["wwn"]);
        EXPECT_EQ(entry["portType"], switchPort["attached"][0]["type"]);
        EXPECT_NE(entry["portName"], entry["nodeName"]);
    }
    EXPECT_EQ((std::set<int>{1, 2}), kinds) << "hosts and storage";
    const json& zoning = fabric["zoning"];
    EXPECT_EQ("cfg_san", zoning["active"]);
    ASSERT_FALSE(zoning["defined"].empty());
    EXPECT_EQ(6u, zoning["defined"].back()["members"].size()) << "two zones a switch";
}

TEST(FabricShape, ModulesCoverThePortsFromAFirstModuleThatIsNotAlwaysZero) {
    const json fabric = fabricOf(3, {{"portModules", 3}, {"portsPerSwitch", 20}});
    std::set<int> firstModules;
    for (const json& sw : fabric["switches"]) {
        const json& ranges = sw["portModuleRanges"];
        ASSERT_EQ(3u, ranges.size());
        EXPECT_EQ(0, ranges[0][0]);
        EXPECT_EQ(sw["portCount"].get<int>() - 1, ranges[2][1]);
        EXPECT_EQ(ranges[0][1].get<int>() + 1, ranges[1][0]);
        EXPECT_EQ(sw["firstPortModule"], sw["info"]["m4"]);
        EXPECT_EQ(3, sw["info"]["m1"]);
        EXPECT_EQ(sw["firstPortModule"], sw["portModules"][0]["values"][0]);
        firstModules.insert(sw["firstPortModule"].get<int>());
        EXPECT_FALSE(sw["info"]["t2"].get<std::string>().empty()) << "a management address";
        EXPECT_TRUE(sw.contains("signingKey"));
    }
    EXPECT_GT(firstModules.size(), 1u);
}

TEST(FabricShape, KeepsWhatTheFileStatesAndIsTheSameEachTime) {
    json fabric = json::parse(R"({"switches": [
        {"wwn": "10:00:00:60:69:45:00:01", "info": {"a5": "own name"}},
        {"wwn": "10:00:00:60:69:45:00:02", "signingKey": "switch-03"}]})");
    json again = fabric;
    shapeFabric(fabric, json::object(), 2);
    shapeFabric(again, json::object(), 2);
    EXPECT_EQ(fabric, again);
    EXPECT_EQ("own name", fabric["switches"][0]["info"]["a5"]);
    EXPECT_EQ("switch-03", fabric["switches"][1]["signingKey"]);
    EXPECT_EQ(1, fabric["switches"][1]["info"]["m1"]) << "no firmware: one module";
}

TEST(FabricShape, RefusesBadNumbers) {
    for (const json& bad :
         {json{{"portsPerSwitch", 1}}, json{{"portsPerSwitch", 241}}, json{{"portModules", 9}},
          json{{"portsPerSwitch", 4}, {"portModules", 3}}, json{{"zoning", 1}},
          json{{"cores", "two"}}, json(5)}) {
        json fabric = {{"switches", {{{"wwn", "10:00:00:60:69:45:00:01"}}}}};
        EXPECT_THROW(shapeFabric(fabric, bad, 1), std::invalid_argument) << bad.dump();
    }
}

TEST(FabricShape, GeneratedFabricsCarryTheShape) {
    const auto model = FabricModel::fromJson(json::parse(R"({"generate":
        {"fabrics": 1, "switchesPerFabric": 4, "portsPerSwitch": 16, "devicesPerSwitch": 2,
         "addresses": ["127.9.0.1"]}})"));
    const auto& fabric = model.fabrics()[0];
    ASSERT_EQ(4u, fabric.switches.size());
    EXPECT_EQ(16u, fabric.switches[3].source["ports"].size());
    EXPECT_EQ(8u, fabric.source["nameServer"].size());
    EXPECT_EQ("127.9.0.1", fabric.switches[0].source["info"]["t2"]);
}

} // namespace
