// Fabrics of every firmware generation that the object classes tell apart,
// served by one simulator, and the calls that open their sessions through
// the exported functions alone.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "tests/support/SwitchSimulator.h"

namespace generations {

// One fabric of the document: its identifier, its proxy's address index,
// and its switches' identifiers in identifier order.
struct GenerationFabric {
    const char* what;
    const char* fabricOid;
    int proxyIndex;
    std::vector<std::string> switchOids;
};

// 1: a proxy that names no version, and a 4.1 switch.
// 2: a 2.4.1 proxy and a 4.1 switch.
// 3: a lone 3.0.2a proxy.
// 4: a proxy of a later generation (5.2.0) and a 4.0.1 switch, with ports,
//    licences, a switch group and name-server entries.
// 5: a 4.1 proxy with a 3.0.2 and a 2.4.1 switch.
// 6: a 4.1 proxy and a switch that names no version.
inline nlohmann::json document() {
    nlohmann::json doc = nlohmann::json::parse(R"({"fabrics": [
      {"name": "none", "switches": [
        {"wwn": "10:00:00:60:69:01:00:01", "address": "@0",
         "fcs": {"domainId": 3, "managementId": 77, "logicalName": "old-proxy",
                 "ports": [{"wwn": "20:00:00:60:69:01:00:01"}, {"wwn": "00:00:00:00:00:00:00:00"},
                           {"wwn": "20:01:00:60:69:01:00:01"}]}},
        {"wwn": "10:00:00:60:69:01:00:02", "firmware": "v4.1.0"}]},
      {"name": "two-four", "switches": [
        {"wwn": "10:00:00:60:69:02:00:01", "firmware": "v2.4.1", "address": "@1",
         "info": {"n2": 5, "n3": 1, "n4": 1, "n5": 2, "n6": 7, "n7": 99, "n8": 1234, "n9": 60,
                  "t1": "127.1.2.3", "a1": "Vendor", "a2": "Model-24", "a4": "v2.4.1",
                  "a5": "edge-24", "n10": 1, "b1": "info one", "b2": "info two", "n11": 1}},
        {"wwn": "10:00:00:60:69:02:00:02", "firmware": "v4.1.0"}]},
      {"name": "three-oh-two", "switches": [
        {"wwn": "10:00:00:60:69:03:00:01", "firmware": "v3.0.2a", "address": "@2"}]},
      {"name": "later", "switches": [
        {"wwn": "10:00:00:60:69:04:00:01", "firmware": "v5.2.0", "address": "@3",
         "info": {"n2": 1, "n3": 1, "n4": 1, "n5": 1, "n6": 1, "a4": "v5.2.0", "a5": "core",
                  "n9": 30, "m1": 1, "m4": 0, "z1": 2, "z2": 3, "z4": 1, "z6": 0, "e5": 9,
                  "c1": 1, "s1": "SER-1", "q1": 2, "q2": "6e:6e:6e:6e:6e:6e:6e:6e", "f1": "Maker", "f2": "M-1"},
         "licenses": ["key-a", "key-b", "key-c"], "licensedProducts": [7],
         "ports": [{"wwn": "20:00:00:60:69:04:00:01"}, {"wwn": "20:01:00:60:69:04:00:01"}]},
        {"wwn": "10:00:00:60:69:04:00:02", "firmware": "v4.0.1",
         "info": {"a4": "v4.0.1", "n9": 30, "m1": 2, "m4": 0, "m5": 1},
         "switchGroups": [{"name": "group-a", "members": ["10:00:00:60:69:04:00:01"]}]}],
       "nameServer": [
         {"portId": "010100", "portType": 1, "portName": "21:00:00:e0:8b:00:00:01",
          "nodeName": "20:00:00:e0:8b:00:00:01", "switchPort": "20:00:00:60:69:04:00:01",
          "symbolicNodeName": "host-a"},
         {"portId": "010200", "portType": 7, "portName": "21:00:00:e0:8b:00:00:02",
          "nodeName": "20:00:00:e0:8b:00:00:01", "switchPort": "20:01:00:60:69:04:00:01"}]},
      {"name": "mixed", "switches": [
        {"wwn": "10:00:00:60:69:05:00:01", "firmware": "v4.1.0", "address": "@4"},
        {"wwn": "10:00:00:60:69:05:00:02", "firmware": "v3.0.2"},
        {"wwn": "10:00:00:60:69:05:00:03", "firmware": "v2.4.1"}]},
      {"name": "mixed-none", "switches": [
        {"wwn": "10:00:00:60:69:06:00:01", "firmware": "v4.1.0", "address": "@5"},
        {"wwn": "10:00:00:60:69:06:00:02"}]}]})");
    for (auto& fabric : doc["fabrics"]) {
        fabric["users"] = nlohmann::json::parse(R"([{"name": "admin", "password": "password"}])");
    }
    return doc;
}

inline const std::vector<GenerationFabric>& fabrics() {
    static const std::vector<GenerationFabric> all = {
        {"no version", "00091000006069010001", 0,
         {"00021000006069010001", "00021000006069010002"}},
        {"2.4.1", "00091000006069020001", 1, {"00021000006069020001", "00021000006069020002"}},
        {"3.0.2a", "00091000006069030001", 2, {"00021000006069030001"}},
        {"later", "00091000006069040001", 3, {"00021000006069040001", "00021000006069040002"}},
        {"mixed", "00091000006069050001", 4,
         {"00021000006069050001", "00021000006069050002", "00021000006069050003"}},
        {"mixed without version", "00091000006069060001", 5,
         {"00021000006069060001", "00021000006069060002"}},
    };
    return all;
}

inline std::string oidText(const char* oid) {
    return std::string(oid, strnlen(oid, 48));
}

// Starts the library, lists every proxy, discovers and opens a session on
// every fabric of the document.
inline void openAll(SwitchSimulator& sim) {
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    for (const GenerationFabric& fabric : fabrics()) {
        std::string host = sim.address(static_cast<std::size_t>(fabric.proxyIndex));
        FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"),
                                const_cast<char*>("password")};
        ASSERT_EQ(0, FabAPI_AppendProxyEntry(&entry));
    }
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
    ASSERT_EQ(0, falFreeObject(info));
    for (const GenerationFabric& fabric : fabrics()) {
        FabAPI_FabricIdentity identity{};
        std::strncpy(identity.structFabSig.structFabricOID, fabric.fabricOid, 47);
        FabAPI_ClientSessionID* session = nullptr;
        const int opened = FabAPI_EstablishSession(&identity, &session);
        EXPECT_TRUE(opened == 0 || opened == 500) << fabric.what << ": " << opened;
        if (session != nullptr) {
            falFreeObject(session);
        }
    }
}

} // namespace generations
