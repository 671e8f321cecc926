#include "sim/FabricShape.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "sim/FabricModel.h"

namespace {

using nlohmann::json;

// FC-GS port types of the port list and the attached-port lists.
constexpr int kNPort = 0x01;
constexpr int kNLPort = 0x02;
constexpr int kFPort = 0x81;
constexpr int kFLPort = 0x82;
constexpr int kEPort = 0x84;
// Indexes of the port information record's type table.
constexpr int kInfoTypeNone = 1;
constexpr int kInfoTypeF = 2;
constexpr int kInfoTypeFL = 3;
constexpr int kInfoTypeE = 4;
// A port number is one byte of the port's world wide name.
constexpr int kMaxPorts = 240;
// The arbitrated-loop address of the storage ports (loop index 2).
constexpr int kStorageLoopAddress = 0x01;

struct Shape {
    int ports = 32;
    int modules = 2;
    int devices = 4;
    int cores = 2;
    bool zoning = true;
};

int boundedInt(const json& shape, const char* key, int fallback, int low, int high) {
    const auto it = shape.find(key);
    if (it == shape.end()) {
        return fallback;
    }
    if (!it->is_number_integer() || it->get<int>() < low || it->get<int>() > high) {
        throw std::invalid_argument("shape: \"" + std::string(key) + "\" must be a number from " +
                                    std::to_string(low) + " to " + std::to_string(high));
    }
    return it->get<int>();
}

Shape readShape(const json& shape) {
    if (!shape.is_object()) {
        throw std::invalid_argument("shape: must be an object");
    }
    Shape out;
    out.ports = boundedInt(shape, "portsPerSwitch", out.ports, 2, kMaxPorts);
    out.modules = boundedInt(shape, "portModules", out.modules, 1, 8);
    out.devices = boundedInt(shape, "devicesPerSwitch", out.devices, 0, 64);
    out.cores = boundedInt(shape, "cores", out.cores, 1, 8);
    if (out.ports < 2 * out.modules) {
        throw std::invalid_argument("shape: every port module needs two ports");
    }
    if (const auto it = shape.find("zoning"); it != shape.end()) {
        if (!it->is_boolean()) {
            throw std::invalid_argument("shape: \"zoning\" must be true or false");
        }
        out.zoning = it->get<bool>();
    }
    return out;
}

void setDefault(json& object, const char* key, json value) {
    if (!object.contains(key)) {
        object[key] = std::move(value);
    }
}

// A name made of the switch's name with its first two bytes replaced.
std::string derivedName(const Wwn& sw, int first, int second) {
    Wwn name = sw;
    name[0] = static_cast<std::uint8_t>(first);
    name[1] = static_cast<std::uint8_t>(second);
    return formatWwn(name);
}

std::string hex6(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%06x", value & 0xFFFFFFu);
    return text;
}

// A standard inquiry answer: device type, 36 bytes in all.
json inquiry(int deviceType, const std::string& product) {
    json bytes = json::array({deviceType, 0, 5, 2, 31, 0, 0, 0});
    std::string text = "SWSIM   " + product;
    text.resize(28, ' ');
    for (char c : text) {
        bytes.push_back(static_cast<unsigned char>(c));
    }
    return bytes;
}

// Firmware after 3.0 reads its ports by port-module ranges; older firmware,
// and a switch that names none, keeps one module of every port.
bool isCurrentFirmware(std::string text) {
    if (!text.empty() && (text[0] == 'v' || text[0] == 'V' || text[0] == 'a' || text[0] == 'A')) {
        text.erase(0, 1);
    }
    if (text.empty()) {
        return false;
    }
    for (const char* older : {"2.3", "2.4", "2.5", "3.0"}) {
        if (text.rfind(older, 0) == 0) {
            return false;
        }
    }
    return true;
}

// One attached device: a host behind an F_Port or storage on a loop behind
// an FL_Port.
struct Device {
    bool storage;
    int port;  // the switch port it hangs on
    int index; // among the switch's devices
};

// The ports, links and devices of one switch, laid out in port order:
// links first, then devices, then free ports.
struct SwitchLayout {
    struct LinkEnd {
        std::size_t other; // the switch at the far end
        int farPort;       // its port
    };
    int portCount = 0;
    std::vector<LinkEnd> links; // one per link port, from port 0
    std::vector<Device> devices;
};

struct FabricLayout {
    std::vector<SwitchLayout> switches;
    struct Link {
        std::size_t from, to;
        int fromPort, toPort;
    };
    std::vector<Link> links;
};

// Core-edge: the first switches are cores (at least one edge remains); each
// edge switch is linked to every core that has a port left.
FabricLayout layOut(std::size_t switchCount, const Shape& shape) {
    FabricLayout layout;
    layout.switches.resize(switchCount);
    const std::size_t cores =
        switchCount < 2 ? 0 : std::min<std::size_t>(shape.cores, switchCount - 1);
    std::vector<int> used(switchCount, 0);
    for (std::size_t edge = cores; edge < switchCount; ++edge) {
        for (std::size_t core = 0; core < cores; ++core) {
            if (used[core] + shape.devices >= kMaxPorts ||
                used[edge] + shape.devices >= kMaxPorts) {
                continue;
            }
            layout.links.push_back({edge, core, used[edge], used[core]});
            layout.switches[edge].links.push_back({core, used[core]++});
            layout.switches[core].links.push_back({edge, used[edge]++});
        }
    }
    for (std::size_t s = 0; s < switchCount; ++s) {
        SwitchLayout& sw = layout.switches[s];
        for (int d = 0; d < shape.devices; ++d) {
            sw.devices.push_back({d % 2 == 1, used[s] + d, d});
        }
        sw.portCount = std::max(shape.ports, used[s] + shape.devices);
    }
    return layout;
}

json portModules(const Wwn& wwn, int portCount, int modules, int firstModule, json& ranges) {
    json entries = json::array();
    ranges = json::array();
    const int size = portCount / modules;
    for (int m = 0; m < modules; ++m) {
        const int first = m * size;
        const int last = m == modules - 1 ? portCount - 1 : first + size - 1;
        ranges.push_back({first, last});
        const std::string serial = "PM" + formatWwn(wwn).substr(12) + "-" + std::to_string(m);
        entries.push_back(
            {{"values", {firstModule + m, 1, 1, first, last}},
             {"texts",
              {"PN-" + std::to_string(size), serial, "", "OEM-" + serial, "R1", "", "2026-01-01"}},
             {"ports", json::array()}});
    }
    return entries;
}

void shapeSwitch(json& sw, std::size_t index, const SwitchLayout& layout, const Shape& shape,
                 const json& switches, int fabricNumber, json& nameServer) {
    const Wwn wwn = parseWwn(sw.at("wwn").get<std::string>());
    const int domain = sw.value("domain", static_cast<int>(index) + 1);
    const std::string name = sw.value("name", "switch-" + std::to_string(domain));
    const std::string firmware = sw.value("firmware", "");
    const int number = static_cast<int>(index) + 1;
    const std::string address = sw.contains("address")
                                    ? sw["address"].get<std::string>()
                                    : "127." + std::to_string(200 + number / 256) + "." +
                                          std::to_string(fabricNumber % 256) + "." +
                                          std::to_string(number % 256);
    setDefault(sw, "domain", domain);
    setDefault(sw, "name", name);

    // Ports in port order, with the port list entries and their attached ports.
    json ports = json::array();
    json listed = json::array();
    json devices = json::array();
    json loops = json::array();
    const auto portName = [&](int p) { return derivedName(wwn, 0x20, p); };
    for (int p = 0; p < layout.portCount; ++p) {
        int fcsType = 0;
        int infoType = kInfoTypeNone;
        int portId = domain << 16 | p << 8;
        json attached = json::array();
        if (p < static_cast<int>(layout.links.size())) {
            const SwitchLayout::LinkEnd& end = layout.links[static_cast<std::size_t>(p)];
            const Wwn far = parseWwn(switches[end.other].at("wwn").get<std::string>());
            fcsType = kEPort;
            infoType = kInfoTypeE;
            attached.push_back({{"wwn", derivedName(far, 0x20, end.farPort)}, {"type", kEPort}});
        }
        for (const Device& device : layout.devices) {
            if (device.port != p) {
                continue;
            }
            const int k = device.index;
            const std::string portWwn = derivedName(wwn, device.storage ? 0x22 : 0x21, k);
            const std::string nodeWwn = derivedName(wwn, device.storage ? 0x2a : 0x29, k);
            const std::string role = device.storage ? "storage" : "host";
            fcsType = device.storage ? kFLPort : kFPort;
            infoType = device.storage ? kInfoTypeFL : kInfoTypeF;
            const int devicePortId = portId | (device.storage ? kStorageLoopAddress : 0);
            attached.push_back({{"wwn", portWwn}, {"type", device.storage ? kNLPort : kNPort}});
            nameServer.push_back({{"portId", hex6(devicePortId)},
                                  {"portType", device.storage ? kNLPort : kNPort},
                                  {"portName", portWwn},
                                  {"nodeName", nodeWwn},
                                  {"switchPort", portName(p)},
                                  {"symbolicPortName", role + "-" + name + "-" + std::to_string(k)},
                                  {"symbolicNodeName", role + "-" + name + "-" + std::to_string(k)},
                                  {"classOfService", 8},
                                  {"fc4Types", {8}}});
            devices.push_back({{"portId", hex6(devicePortId)},
                               {"bytes", inquiry(device.storage ? 0x00 : 0x03,
                                                 device.storage ? "DISK" : "HBA")}});
            if (device.storage) {
                loops.push_back({{"portId", hex6(devicePortId)},
                                 {"loopMap", "04000000000000000000000000000000"}});
            }
        }
        const bool online = fcsType != 0;
        ports.push_back({{"wwn", portName(p)},
                         {"info",
                          {{"u1", p},
                           {"u3", online ? 1 : 2},
                           {"u4", online ? 1 : 2},
                           {"u5", online ? 1 : 0},
                           {"u6", infoType},
                           {"u7", 2},
                           {"u8", 1},
                           {"u9", 500},
                           {"u10", 1},
                           {"text1", "GB" + formatWwn(wwn).substr(15) + std::to_string(p)},
                           {"text2", "switchsim"},
                           {"v1", 8},
                           {"v2", portId},
                           {"v3", 0xFFFF},
                           {"v4", 0}}}});
        listed.push_back({{"wwn", portName(p)},
                          {"type", fcsType},
                          {"physical", p},
                          {"state", {0, online ? 1 : 4}},
                          {"attached", attached}});
    }

    const bool currentFirmware = isCurrentFirmware(firmware);
    const int modules = currentFirmware ? shape.modules : 1;
    const int firstModule = currentFirmware ? number % 3 : 0;
    json ranges;
    setDefault(sw, "portModules", portModules(wwn, layout.portCount, modules, firstModule, ranges));
    setDefault(sw, "firstPortModule", firstModule);
    setDefault(sw, "portModuleRanges", ranges);
    setDefault(sw, "portCount", layout.portCount);
    setDefault(sw, "ports", ports);
    setDefault(sw, "devices", devices);
    setDefault(sw, "flPorts", loops);

    json& fcs = sw["fcs"];
    if (!fcs.is_object()) {
        fcs = json::object();
    }
    setDefault(fcs, "domainId", domain);
    setDefault(fcs, "managementId", domain);
    setDefault(fcs, "logicalName", name);
    setDefault(fcs, "type", 1);
    setDefault(fcs, "managementAddresses", json::array({address}));
    setDefault(fcs, "ports", listed);

    json& info = sw["info"];
    if (!info.is_object()) {
        info = json::object();
    }
    const json fields = {{"n2", domain},
                         {"n3", index == 0 ? 1 : 0},
                         {"t1", "0.0.0.0"},
                         {"t2", address},
                         {"t3", "0.0.0.0"},
                         {"t4", "255.255.0.0"},
                         {"t5", "127.0.0.1"},
                         {"n4", 1},
                         {"n5", 1},
                         {"n6", 1},
                         {"n7", domain},
                         {"a1", "switchsim"},
                         {"a2", "sim-" + std::to_string(layout.portCount)},
                         {"a4", firmware},
                         {"a5", name},
                         {"n10", 1},
                         {"n11", modules},
                         {"m1", modules},
                         {"m4", firstModule},
                         {"s1", "SN" + formatWwn(wwn).substr(12)}};
    for (const auto& [key, value] : fields.items()) {
        setDefault(info, key.c_str(), value);
    }
    setDefault(sw, "licensedProducts", {1, 2});
    setDefault(sw, "products",
               {{{"id", 1}, {"text", "Zoning"}, {"value", 1}, {"names", {"Zoning"}}},
                {{"id", 2}, {"text", "Trunking"}, {"value", 1}, {"names", {"Trunking"}}}});
    setDefault(
        sw, "licenses",
        {"LK-" + std::to_string(domain) + "-zoning", "LK-" + std::to_string(domain) + "-trunking"});
    if (!sw.contains("csr")) {
        setDefault(sw, "signingKey", "switch-0" + std::to_string(1 + index % 3));
    }
}

// Zones of each host and the storage beside it on its switch, an alias for
// each host, and one zone set of every zone, active.
json zoningOf(const json& switches, const FabricLayout& layout) {
    json defined = json::array();
    json zones = json::array();
    for (std::size_t s = 0; s < switches.size(); ++s) {
        const Wwn wwn = parseWwn(switches[s].at("wwn").get<std::string>());
        const int domain = switches[s].value("domain", static_cast<int>(s) + 1);
        const auto& devices = layout.switches[s].devices;
        for (std::size_t d = 0; d + 1 < devices.size(); d += 2) {
            const std::string pair = std::to_string(domain) + "_" + std::to_string(d / 2);
            const std::string alias = "host_d" + pair;
            const std::string zone = "zone_d" + pair;
            defined.push_back({{"name", alias},
                               {"type", 3},
                               {"members", {derivedName(wwn, 0x21, devices[d].index)}}});
            defined.push_back({{"name", zone},
                               {"type", 2},
                               {"members", {alias, derivedName(wwn, 0x22, devices[d + 1].index)}}});
            zones.push_back(zone);
        }
    }
    if (zones.empty()) {
        return json();
    }
    defined.push_back({{"name", "cfg_san"}, {"type", 1}, {"members", zones}});
    return {{"defined", defined}, {"active", "cfg_san"}};
}

} // namespace

void shapeFabric(json& fabric, const json& shapeJson, int fabricNumber) {
    const Shape shape = readShape(shapeJson);
    json& switches = fabric.at("switches");
    const FabricLayout layout = layOut(switches.size(), shape);
    json nameServer = json::array();
    for (std::size_t s = 0; s < switches.size(); ++s) {
        shapeSwitch(switches[s], s, layout.switches[s], shape, switches, fabricNumber, nameServer);
    }
    json isls = json::array();
    for (const auto& link : layout.links) {
        isls.push_back({{"from", switches[link.from]["wwn"]},
                        {"to", switches[link.to]["wwn"]},
                        {"fromPort", link.fromPort},
                        {"toPort", link.toPort}});
    }
    setDefault(fabric, "nameServer", nameServer);
    setDefault(fabric, "isls", isls);
    if (shape.zoning && !fabric.contains("zoning")) {
        json zoning = zoningOf(switches, layout);
        if (!zoning.is_null()) {
            fabric["zoning"] = zoning;
        }
    }
}
