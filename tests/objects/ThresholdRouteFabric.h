// One simulated fabric for the threshold and route tests: a proxy switch
// with threshold configurations and two ports, a second switch, two node
// ports attached to the proxy's ports, and route tables. The session is
// opened through the exported functions.
#pragma once

#include <chrono>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "foundation/InternalTiming.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "tests/support/SwitchSimulator.h"

namespace thrfabric {

inline constexpr char kFabricOid[] = "00091000006069070001";
inline constexpr char kProxyOid[] = "00021000006069070001";
inline constexpr char kEdgeOid[] = "00021000006069070002";
inline constexpr char kHostA[] = "00012100000e8b070001";
inline constexpr char kHostB[] = "00012100000e8b070002";

// Switch index 12 (class 2, area 11) and 56 (class 6, area 23) hold
// configurations; the others are empty.
inline nlohmann::json document() {
    nlohmann::json areas = nlohmann::json::array();
    for (int i = 0; i <= 56; ++i) {
        areas.push_back(nlohmann::json::object());
    }
    areas[12] = nlohmann::json::parse(R"({
        "defaultUnit": "errors", "default": [1, 10, 100, 4], "customUnit": "crc",
        "values": [2, 20, 200, 8, 1, 11, 12, 13, 14, 15, 21, 22, 23, 24, 25, 99, 2],
        "thresholds": [
          {"name": "port0", "label": "Port 0", "time": "never", "values": [1, 5, 6, 7, 8, 9, 10]},
          {"name": "port1", "label": "Port 1", "time": "today", "values": [0, 0, 0, 0, 0, 0, 0]}]})");
    areas[56] = nlohmann::json::parse(R"({"defaultUnit": "volts",
        "values": [0, 0, 50, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1]})");
    nlohmann::json doc = nlohmann::json::parse(R"({"fabrics": [
      {"name": "thr", "switches": [
        {"wwn": "10:00:00:60:69:07:00:01", "firmware": "v5.2.0", "address": "@0",
         "info": {"a4": "v5.2.0", "n9": 30},
         "fcs": {"domainId": 1},
         "ports": [{"wwn": "20:00:00:60:69:07:00:01"}, {"wwn": "20:01:00:60:69:07:00:01"}]},
        {"wwn": "10:00:00:60:69:07:00:02", "firmware": "v4.0.1", "fcs": {"domainId": 2},
         "info": {"a4": "v4.0.1", "n9": 30}}],
       "nameServer": [
         {"portId": "010100", "portType": 1, "portName": "21:00:00:0e:8b:07:00:01",
          "nodeName": "20:00:00:0e:8b:07:00:01", "switchPort": "20:00:00:60:69:07:00:01"},
         {"portId": "010200", "portType": 1, "portName": "21:00:00:0e:8b:07:00:02",
          "nodeName": "20:00:00:0e:8b:07:00:02", "switchPort": "20:01:00:60:69:07:00:01"}],
       "routes": [
         {"source": "10:00:00:60:69:07:00:01", "destination": "10:00:00:60:69:07:00:02",
          "legal": [3, 17]},
         {"source": "20:00:00:60:69:07:00:01", "destination": "20:01:00:60:69:07:00:01",
          "pairs": [[0, 1], [5, 2], [4, 9], [6, 9]]},
         {"source": "20:01:00:60:69:07:00:01", "destination": "20:00:00:60:69:07:00:01",
          "pairs": [[7, 9], [8, 9]]}]}]})");
    doc["fabrics"][0]["switches"][0]["threx"]["classAreas"] = areas;
    doc["fabrics"][0]["users"] =
        nlohmann::json::parse(R"([{"name": "admin", "password": "password"}])");
    return doc;
}

// Starts the library, lists the proxy, discovers the fabric and opens its
// session.
inline void open(SwitchSimulator& sim) {
    internalTiming().rpcCallTimeout = std::chrono::milliseconds(3000);
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    std::string host = sim.address(0);
    FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"),
                            const_cast<char*>("password")};
    ASSERT_EQ(0, FabAPI_AppendProxyEntry(&entry));
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
    ASSERT_EQ(0, falFreeObject(info));
    FabAPI_FabricIdentity identity{};
    std::strncpy(identity.structFabSig.structFabricOID, kFabricOid, 47);
    FabAPI_ClientSessionID* session = nullptr;
    const int opened = FabAPI_EstablishSession(&identity, &session);
    ASSERT_TRUE(opened == 0 || opened == 500) << opened;
    falFreeObject(session);
}

// A test suite that shares one simulated fabric, with its session open,
// among all of its tests.
class Suite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        FabAPI_ShutdownFabricAPI();
        sim_ = new SwitchSimulator(document());
        open(*sim_);
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    static inline SwitchSimulator* sim_ = nullptr;
};

} // namespace thrfabric
