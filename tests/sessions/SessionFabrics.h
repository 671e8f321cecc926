// The fabrics of the session tests and the calls that open their sessions,
// through the exported functions alone.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "tests/support/SwitchSimulator.h"

namespace sessions {

inline constexpr char kFabricA[] = "000910000060690000a1";
inline constexpr char kFabricB[] = "000910000060690000b1";
inline constexpr char kUser[] = "admin";
inline constexpr char kPassword[] = "password";

// Fabric A: proxy switches @0 and @1 and one more switch; fabric B: proxy
// switch @2 and two more. All at one firmware level.
inline nlohmann::json twoFabrics() {
    return nlohmann::json::parse(R"({"fabrics": [
      {"name": "A", "wwn": "10:00:00:60:69:00:00:a1",
       "users": [{"name": "admin", "password": "password"}],
       "switches": [
         {"wwn": "10:00:00:60:69:00:00:a1", "firmware": "v4.1.0", "address": "@0"},
         {"wwn": "10:00:00:60:69:00:00:a2", "firmware": "v4.1.0", "address": "@1"},
         {"wwn": "10:00:00:60:69:00:00:a3", "firmware": "v4.1.0"}]},
      {"name": "B", "wwn": "10:00:00:60:69:00:00:b1",
       "users": [{"name": "admin", "password": "password"}],
       "switches": [
         {"wwn": "10:00:00:60:69:00:00:b1", "firmware": "v4.1.0", "address": "@2"},
         {"wwn": "10:00:00:60:69:00:00:b2", "firmware": "v4.1.0"},
         {"wwn": "10:00:00:60:69:00:00:b3", "firmware": "v4.1.0"}]}]})");
}

inline std::string oidText(const char* oid) {
    return std::string(oid, strnlen(oid, sizeof(OID_t)));
}

// Starts the library with the proxy switches at `indexes` (admin logins)
// and discovers their fabrics.
inline void discover(SwitchSimulator& sim, const std::vector<int>& indexes = {0, 1, 2}) {
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    for (int index : indexes) {
        std::string host = sim.address(static_cast<std::size_t>(index));
        FabAPI_ProxyEntry entry{host.data(), const_cast<char*>(kUser),
                                const_cast<char*>(kPassword)};
        ASSERT_EQ(0, FabAPI_AppendProxyEntry(&entry));
    }
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
    EXPECT_EQ(0, falFreeObject(info));
}

// FabAPI_EstablishSession for the fabric identifier; *out is the record.
inline int establish(const char* fabricOid, FabAPI_ClientSessionID** out) {
    FabAPI_FabricIdentity identity{};
    std::strncpy(identity.structFabSig.structFabricOID, fabricOid, sizeof(OID_t) - 1);
    return FabAPI_EstablishSession(&identity, out);
}

inline int establishLegacy(const char* fabricOid) {
    OID_t oid = {};
    std::strncpy(oid, fabricOid, sizeof oid - 1);
    return EstablishFabricSession(&oid, kUser, kPassword);
}

inline std::vector<std::string> switchesOf(const FabAPI_FabricSignature& signature) {
    std::vector<std::string> switches;
    for (int i = 0; i < signature.count; ++i) {
        switches.push_back(oidText(signature.structSwitchOIDs[i]));
    }
    return switches;
}

inline std::vector<std::string> listedSessions() {
    FabAPI_ClientSessionIDList* list = nullptr;
    EXPECT_EQ(0, FabAPI_ListSessions(&list));
    std::vector<std::string> ids;
    if (list == nullptr) {
        return ids;
    }
    for (int i = 0; i < list->count; ++i) {
        ids.push_back(oidText(list->ids[i]->structSessionID));
    }
    EXPECT_EQ(0, falFreeObject(list));
    return ids;
}

} // namespace sessions
