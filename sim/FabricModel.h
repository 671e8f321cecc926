// The fabrics and switches that the simulator plays, read from a fabric file.
//
// A fabric file is one JSON object:
//   {
//     "fabrics": [
//       { "name": "Fabric A",
//         "wwn": "10:00:00:60:69:00:00:01",        // optional: first switch's name
//         "users": [ { "name": "admin", "password": "secret", "accessLevel": 3 } ], // logins
//         "credentials": "checked",                // later calls' credentials (sim/Credentials.h)
//         "zoning": { ... },                       // zoning databases (sim/ZoningDatabase.h)
//         "switches": [
//           { "wwn": "10:00:00:60:69:00:00:01", "name": "sw1",
//             "firmware": "v4.1.0",                   // absent: the switch reports none
//             "address": "127.20.0.1",                // present: a proxy switch served there
//             "certificate": "switch-01",             // certificate login (sim/SecureLogin.h)
//             "secureLogin": true,
//             "zeroFabricWwn": true }                 // this proxy answers an all-zero fabric name
//         ],
//         "shape": { "portsPerSwitch": 32, ... } }],  // ports, devices, links, zoning
//                                                   // (sim/FabricShape.h)
//     "unservedAddresses": ["127.20.0.9"],            // known to tests, never listened on
//     "generate": { "fabrics": 2, "switchesPerFabric": 64, "firmware": "v4.1.0",
//                   "addresses": ["127.21.0.1", "127.21.0.2"], "users": [...],
//                   "portsPerSwitch": 32, ... },      // and the other "shape" keys
//     "faults": [ ... ]                                // see FaultInjector.h
//   }
// Every object keeps its JSON text in `source`, so that handlers can read
// fields that the model does not name yet.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <nlohmann/json.hpp>

#include "remote_api.h"
#include "sim/ZoningDatabase.h"

using Wwn = std::array<std::uint8_t, 8>;

// "10:00:00:60:69:00:00:01" or "1000006069000001"; throws std::invalid_argument.
Wwn parseWwn(const std::string& text);
std::string formatWwn(const Wwn& wwn);

struct UserAccount {
    std::string name;
    std::string password;
    int accessLevel = 3;
};

struct SwitchModel {
    Wwn wwn{};
    std::string name;
    std::optional<std::string> firmware;
    std::string address; // empty unless this is a proxy switch
    nlohmann::json source;
};

struct FabricEntry {
    std::string name;
    Wwn wwn{};
    std::vector<UserAccount> users;
    std::vector<SwitchModel> switches;
    ZoningDatabase zoning; // the "zoning" object (sim/ZoningDatabase.h)
    nlohmann::json source;

    const SwitchModel* findSwitch(const Wwn& wwn) const;

    // The port named `wwn` on any switch of the fabric: its entry in the
    // switch's "ports" (the management requests) or, with
    // `configurationServer`, in its "fcs" "ports"; null for none. The ports
    // are indexed at the first look-up after forgetPortIndex.
    nlohmann::json* findPortSource(const Wwn& wwn, bool configurationServer);
    // Called whenever the fabric's switches or their port lists change.
    void forgetPortIndex();

    // The name server's entries in wire form, in port identifier order:
    // made from "nameServer" at the first query, dropped when a
    // registration changes it (sim/NameServer.cpp).
    std::optional<std::vector<NSEntry>> nameServerEntries;

private:
    // Pointers into this fabric's own switch sources: a copy starts empty.
    struct PortIndex {
        PortIndex() = default;
        PortIndex(const PortIndex&) {}
        PortIndex(PortIndex&&) noexcept = default;
        PortIndex& operator=(const PortIndex&) {
            *this = PortIndex();
            return *this;
        }
        PortIndex& operator=(PortIndex&&) noexcept = default;

        bool built = false;
        std::unordered_map<std::uint64_t, nlohmann::json*> ports;
        std::unordered_map<std::uint64_t, nlohmann::json*> configurationServerPorts;
    };
    void indexPorts();
    PortIndex portIndex_;
};

// A login that a proxy switch granted.
struct GrantedLogin {
    Wwn proxy{};
    int accessLevel = 0;
};

// A proxy switch and the fabric it belongs to.
struct ProxyLocation {
    std::size_t fabric;
    std::size_t switchIndex;
};

class FabricModel {
public:
    // Throws std::runtime_error with a message naming the bad field.
    static FabricModel fromJson(const nlohmann::json& document);
    static FabricModel fromFile(const std::string& path);

    const std::vector<FabricEntry>& fabrics() const { return fabrics_; }
    std::vector<FabricEntry>& fabrics() { return fabrics_; }
    // Every address served, in file order.
    std::vector<std::string> proxyAddresses() const;
    // The proxy switch served on `address`. Switches keep their addresses
    // for the life of the model (the index is built when it is read).
    std::optional<ProxyLocation> proxyAt(const std::string& address) const;
    // The faults listed in the file (FaultInjector reads them).
    const nlohmann::json& faults() const { return faults_; }

    // A switch leaves its fabric and joins fabric `to`, or, without `to`,
    // leaves every fabric (it is kept aside and may join one later). A
    // proxy switch keeps its address and answers for its new fabric.
    // Throws std::invalid_argument for an unknown switch or fabric, a proxy
    // switch set aside, or a fabric that would be left without switches.
    void moveSwitch(const Wwn& wwn, std::optional<std::size_t> to);
    // The switch of any fabric, or one set aside; null when there is none.
    SwitchModel* anySwitch(const Wwn& wwn);

    // A switch leaves its fabric until `back`: it is kept aside with its
    // place, and the address of a proxy switch is served by no fabric
    // meanwhile. False when the switch is in no fabric or is its last one.
    bool leaveUntil(const Wwn& wwn, std::chrono::steady_clock::time_point back);
    // The switches whose time away is over (with `all`, every one) join
    // their fabric again at their place.
    void rejoinDue(std::chrono::steady_clock::time_point now, bool all = false);
    // True while the proxy switch served on `address` is away.
    bool addressAway(const std::string& address) const;

    // The port indexes of every fabric are made anew at their next use.
    void forgetPortIndexes();

    // Read-out for the control channel; passwords are masked.
    nlohmann::json toJson() const;

    // Logins accepted so far; numbers the next one.
    unsigned loginCount = 0;
    // The logins granted, by number: the proxy switch and the access level
    // (see sim/Credentials.h).
    std::map<unsigned, GrantedLogin> grantedLogins;

private:
    void addGenerated(const nlohmann::json& generate);
    void indexProxies();

    std::vector<FabricEntry> fabrics_;
    std::vector<SwitchModel> outsideFabrics_; // switches that left every fabric
    std::map<std::string, ProxyLocation> proxies_;
    struct AwaySwitch {
        SwitchModel sw;
        std::size_t fabric;
        std::chrono::steady_clock::time_point back;
    };
    std::vector<AwaySwitch> away_;
    // The order of a fabric's switches before the first of them left, kept
    // while any is away: a switch that comes back goes to its place in it.
    std::map<std::size_t, std::vector<Wwn>> homeOrder_;
    nlohmann::json faults_ = nlohmann::json::array();
};
