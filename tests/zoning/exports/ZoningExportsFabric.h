// A simulated fabric of one firmware level with a defined zoning database,
// and one without an active zone set, opened through the exports alone.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/records.h"
#include "orvane/status.h"
#include "tests/support/SwitchSimulator.h"

namespace zoning_exports {

// cfg1 (active) holds z1, z2, q1 (type 4) and f1 (type 6); a1 is an alias.
inline nlohmann::json zoning(bool active) {
    nlohmann::json zoning = nlohmann::json::parse(R"json({"defined": [
        { "name": "cfg1", "type": 1, "members": ["z1", "z2", "q1", "f1"] },
        { "name": "cfg2", "type": 1, "members": ["z2"] },
        { "name": "z1", "type": 2, "members": ["a1", "21:00:00:e0:8b:00:00:01", "1,4"] },
        { "name": "z2", "type": 2, "members": ["1,5"] },
        { "name": "q1", "type": 4, "members": ["2,1"] },
        { "name": "f1", "type": 6, "members": ["2,2"] },
        { "name": "spare", "type": 2, "members": ["20:00:00:e0:8b:00:00:01", "p[3]"] },
        { "name": "a1", "type": 3, "members": ["3,1", "3,2"] }]})json");
    if (active) {
        zoning["active"] = "cfg1";
    }
    return zoning;
}

// Fabric 0 (proxy @0) has cfg1 active, fabric 1 (proxy @1) nothing active;
// both proxies run `firmware` (empty: none reported).
inline nlohmann::json document(const std::string& firmware) {
    nlohmann::json fabrics = nlohmann::json::array();
    for (int i = 0; i < 2; ++i) {
        const std::string wwn = "10:00:00:60:69:7" + std::to_string(i) + ":00:0";
        nlohmann::json proxy = {{"wwn", wwn + "1"}, {"address", "@" + std::to_string(i)}};
        if (!firmware.empty()) {
            proxy["firmware"] = firmware;
        }
        fabrics.push_back(
            {{"name", "F" + std::to_string(i)},
             {"switches", nlohmann::json::array({proxy})},
             {"nameServer", nlohmann::json::array({{{"portId", "010400"},
                                                    {"portType", 1},
                                                    {"portName", "21:00:00:e0:8b:00:00:01"},
                                                    {"nodeName", "20:00:00:e0:8b:00:00:01"}}})},
             {"zoning", zoning(i == 0)},
             {"users", nlohmann::json::parse(R"([{"name": "admin", "password": "password"}])")}});
    }
    return {{"fabrics", fabrics}};
}

// The identifier of fabric `i`, and that of its object of `type`, which
// carry the proxy's world wide name.
inline std::string oidOfType(const char* type, int i) {
    return std::string(type) + "10000060697" + std::to_string(i) + "0001";
}
inline std::string fabricOid(int i) {
    return "000910000060697" + std::to_string(i) + "0001";
}

inline std::string oidText(const char* oid) {
    return std::string(oid, strnlen(oid, 48));
}

inline std::vector<std::string> oidList(const OID_t* list) {
    std::vector<std::string> oids;
    for (; list != nullptr && list[0][0] != '\0'; ++list) {
        oids.push_back(oidText(*list));
    }
    return oids;
}

// Starts the library and opens a session on both fabrics.
inline void openBoth(SwitchSimulator& sim) {
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    for (std::size_t i = 0; i < 2; ++i) {
        std::string host = sim.address(i);
        FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"),
                                const_cast<char*>("password")};
        ASSERT_EQ(0, FabAPI_AppendProxyEntry(&entry));
    }
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
    ASSERT_EQ(0, falFreeObject(info));
    for (int i = 0; i < 2; ++i) {
        FabAPI_FabricIdentity identity{};
        std::strncpy(identity.structFabSig.structFabricOID, fabricOid(i).c_str(), 47);
        FabAPI_ClientSessionID* session = nullptr;
        ASSERT_EQ(0, FabAPI_EstablishSession(&identity, &session)) << i;
        falFreeObject(session);
    }
}

} // namespace zoning_exports
