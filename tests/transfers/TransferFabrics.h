// The fabrics of the transfer tests; their sessions open with
// openFabricSessions().
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "tests/support/FabricSessions.h"
#include "tests/support/SwitchSimulator.h"

namespace transfers {

inline constexpr char kFabricA[] = "000910000060690000a1";
inline constexpr char kFabricB[] = "000910000060690000b1";
// Switches of fabric A (proxy at @0) and B (proxy at @1).
inline constexpr char kSwitchA1[] = "000210000060690000a1";
inline constexpr char kSwitchA2[] = "000210000060690000a2";
inline constexpr char kSwitchB1[] = "000210000060690000b1";
inline constexpr char kSwitchB2[] = "000210000060690000b2";
inline constexpr char kWwnA1[] = "10:00:00:60:69:00:00:a1";
inline constexpr char kWwnA2[] = "10:00:00:60:69:00:00:a2";
inline constexpr char kWwnB1[] = "10:00:00:60:69:00:00:b1";
inline constexpr char kWwnB2[] = "10:00:00:60:69:00:00:b2";

// Two fabrics of two switches each; `extra` is merged into every switch.
inline nlohmann::json twoFabrics(const nlohmann::json& extra = nlohmann::json::object()) {
    nlohmann::json fabrics = nlohmann::json::parse(R"({"fabrics": [
      {"name": "A", "wwn": "10:00:00:60:69:00:00:a1",
       "users": [{"name": "admin", "password": "password"}],
       "switches": [
         {"wwn": "10:00:00:60:69:00:00:a1", "firmware": "v4.1.0", "address": "@0"},
         {"wwn": "10:00:00:60:69:00:00:a2", "firmware": "v4.1.0"}]},
      {"name": "B", "wwn": "10:00:00:60:69:00:00:b1",
       "users": [{"name": "admin", "password": "password"}],
       "switches": [
         {"wwn": "10:00:00:60:69:00:00:b1", "firmware": "v4.1.0", "address": "@1"},
         {"wwn": "10:00:00:60:69:00:00:b2", "firmware": "v4.1.0"}]}]})");
    for (auto& fabric : fabrics["fabrics"])
        for (auto& sw : fabric["switches"])
            sw.update(extra);
    return fabrics;
}

inline std::string oidText(const char* oid) {
    return std::string(oid, strnlen(oid, 48));
}

inline OID_t* asOid(OID_t& field, const char* text) {
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text, sizeof field - 1);
    return &field;
}

} // namespace transfers
