#include "sim/FabricServices.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "sim/ServiceData.h"
#include "sim/SwitchCertificates.h"

using nlohmann::json;

namespace {

constexpr int kRefused = -1;
// A switch status of module 205, which the library reports as -109.
constexpr int kBoundaryOrder = -20000 - (205 << 8);

void refuse(MSReply& reply, CallContext& ctx, int status = kRefused) {
    reply.status = status;
    reply.message = ctx.arena.text("request refused");
}

// The switch named by a request, or null after refusing.
SwitchModel* namedSwitch(CallContext& ctx, const void* name, MSReply& reply) {
    SwitchModel* sw = simdata::findSwitch(ctx, static_cast<const unsigned char*>(name));
    if (sw == nullptr) {
        refuse(reply, ctx);
    }
    return sw;
}

// The "fcs" port object with this name in any switch of the fabric.
const json* findPort(CallContext& ctx, const char* name) {
    Wwn wwn{};
    std::memcpy(wwn.data(), name, wwn.size());
    return ctx.fabric.findPortSource(wwn, true);
}

// A member of a JSON object, read in place; `fallback` when it is absent.
const json& member(const json& object, const char* key, const json& fallback) {
    if (!object.is_object()) {
        return fallback;
    }
    const auto it = object.find(key);
    return it != object.end() ? *it : fallback;
}

const json kNoObject = json::object();
const json kNoList = json::array();

ElementEntry* elementList(CallContext& ctx, MSReply& reply, std::size_t count) {
    auto& list = reply.body.MSReplyBody_u.elements;
    list.elements_len = static_cast<u_int>(count);
    list.elements_val = ctx.arena.array<ElementEntry>(count);
    return list.elements_val;
}

// --- Fabric configuration server ---

void portList(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    SwitchModel* sw = namedSwitch(ctx, request.MSRequestArgs_u.fcsQuery.switchName, reply);
    if (sw == nullptr) {
        return;
    }
    const json& ports = member(member(sw->source, "fcs", kNoObject), "ports", kNoList);
    ElementEntry* out = elementList(ctx, reply, ports.size());
    for (std::size_t i = 0; i < ports.size(); ++i) {
        simdata::wwnField(ports[i], "wwn", reinterpret_cast<unsigned char*>(out[i].name));
        out[i].value = ports[i].value("type", 0u);
    }
}

void attachedPortNames(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const json* port = findPort(ctx, request.MSRequestArgs_u.fcsQuery.switchName);
    if (port == nullptr) {
        refuse(reply, ctx);
        return;
    }
    const json attached = port->value("attached", json::array());
    ElementEntry* out = elementList(ctx, reply, attached.size());
    for (std::size_t i = 0; i < attached.size(); ++i) {
        simdata::wwnField(attached[i], "wwn", reinterpret_cast<unsigned char*>(out[i].name));
        out[i].value =
            (attached[i].value("flags", 0u) & 0xFF) << 8 | (attached[i].value("type", 0u) & 0xFF);
    }
}

void switchValue(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    SwitchModel* sw = namedSwitch(ctx, request.MSRequestArgs_u.fcsQuery.switchName, reply);
    if (sw == nullptr) {
        return;
    }
    const json& fcs = member(sw->source, "fcs", kNoObject);
    auto& arm = reply.body.MSReplyBody_u;
    switch (request.command) {
    case 274:
        std::memset(arm.domainId, 0, sizeof(arm.domainId));
        arm.domainId[1] = static_cast<char>(fcs.value("domainId", 0));
        break;
    case 273:
        arm.number = fcs.value("type", 0u);
        break;
    case 275:
        arm.number = fcs.value("managementId", 0u);
        break;
    case 276:
        std::memcpy(arm.fabricName, ctx.fabric.wwn.data(), sizeof(arm.fabricName));
        break;
    case 278: {
        const json addresses = fcs.value("managementAddresses", json::array());
        auto& list = arm.managementAddresses;
        list.value = static_cast<unsigned int>(addresses.size());
        list.addresses.addresses_len = static_cast<u_int>(addresses.size());
        list.addresses.addresses_val = ctx.arena.array<ManagementAddress>(addresses.size());
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            copyFixedText(list.addresses.addresses_val[i], addresses[i].get<std::string>());
        }
        break;
    }
    case 279: {
        const json info = fcs.value("elementInfo", json::object());
        auto& out = arm.elementInfo;
        const std::string text = info.value("text", "");
        std::memset(out.text, 0, sizeof(out.text));
        std::memcpy(out.text, text.data(), std::min(text.size(), sizeof(out.text)));
        out.value = static_cast<char>(info.value("value", 0));
        const std::string data = info.value("data", "");
        out.data.data_len = static_cast<u_int>(data.size());
        out.data.data_val = ctx.arena.text(data);
        break;
    }
    case 277: {
        const std::string name = fcs.value("logicalName", "");
        std::memset(arm.logicalName, 0, sizeof(arm.logicalName));
        const std::size_t length = std::min<std::size_t>(name.size(), sizeof(arm.logicalName) - 1);
        std::memcpy(arm.logicalName + 1, name.data(), length);
        arm.logicalName[0] = static_cast<char>(fcs.value("logicalNameLength", length));
        break;
    }
    default:
        break;
    }
}

void portValue(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const json* port = findPort(ctx, request.MSRequestArgs_u.fcsQuery.switchName);
    if (port == nullptr) {
        refuse(reply, ctx);
        return;
    }
    auto& arm = reply.body.MSReplyBody_u;
    switch (request.command) {
    case 289:
        arm.number = port->value("type", 0u);
        break;
    case 290:
        arm.number = port->value("physical", 0u);
        break;
    case 294: {
        const json state = port->value("state", json::array({0, 0}));
        arm.portState[0] = state.at(0).get<unsigned int>();
        arm.portState[1] = state.at(1).get<unsigned int>();
        break;
    }
    default:
        break;
    }
}

// --- Certificates and security counters ---

void signingRequest(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    SwitchModel* sw = namedSwitch(ctx, request.MSRequestArgs_u.certificate.switchName, reply);
    if (sw == nullptr) {
        return;
    }
    std::optional<std::string> made;
    if (!sw->source.contains("csr")) {
        made = makeSigningRequest(*sw);
        if (!made) {
            refuse(reply, ctx);
            return;
        }
    }
    const std::string text = made ? *made : sw->source["csr"].get<std::string>();
    auto& arm = reply.body.MSReplyBody_u.certificate;
    std::memcpy(arm.switchName, request.MSRequestArgs_u.certificate.switchName, 8);
    arm.text = {static_cast<u_int>(text.size()), ctx.arena.text(text)};
}

void installCertificate(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const auto& arm = request.MSRequestArgs_u.certificate;
    SwitchModel* sw = namedSwitch(ctx, arm.switchName, reply);
    if (sw == nullptr) {
        return;
    }
    keepInstalledCertificate(*sw,
                             std::string(arm.text.text_val != nullptr ? arm.text.text_val : "",
                                         arm.text.text_val != nullptr ? arm.text.text_len : 0));
}

void securityStats(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const auto& arm = request.MSRequestArgs_u.switchInt;
    SwitchModel* sw = namedSwitch(ctx, arm.switchName, reply);
    if (sw == nullptr) {
        return;
    }
    if (arm.value != 0) {
        sw->source["securityStats"] = json::array();
        for (int i = 0; i < 12; ++i) {
            sw->source["securityStats"].push_back(0);
        }
        return;
    }
    const json stats = sw->source.value("securityStats", json::array());
    auto& out = reply.body.MSReplyBody_u.securityStats;
    for (std::size_t i = 0; i < 12; ++i) {
        out.values[i] = i < stats.size() ? stats[i].get<unsigned int>() : 0;
    }
}

// --- Threshold monitoring ---

json* classArea(SwitchModel& sw, int index) {
    if (!sw.source.contains("threx")) {
        return nullptr;
    }
    json& areas = sw.source["threx"]["classAreas"];
    if (!areas.is_array() || index < 0 || static_cast<std::size_t>(index) >= areas.size()) {
        return nullptr;
    }
    json& area = areas[static_cast<std::size_t>(index)];
    if (!area.contains("values")) {
        area["values"] = json::array();
    }
    while (area["values"].size() < 17) {
        area["values"].push_back(0);
    }
    return &area;
}

json* threshold(json& area, int index) {
    json& list = area["thresholds"];
    if (!list.is_array() || index < 0 || static_cast<std::size_t>(index) >= list.size()) {
        return nullptr;
    }
    json& entry = list[static_cast<std::size_t>(index)];
    if (!entry.contains("values")) {
        entry["values"] = json::array();
    }
    while (entry["values"].size() < 7) {
        entry["values"].push_back(0);
    }
    return &entry;
}

void threx(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const ThrexRequestRecord& record = request.MSRequestArgs_u.threxRequest;
    SwitchModel* sw = namedSwitch(ctx, record.switchName, reply);
    if (sw == nullptr) {
        return;
    }
    auto& arm = reply.body.MSReplyBody_u;
    if (request.command == 1797) {
        arm.value = static_cast<int>(
            sw->source.value("threx", json::object()).value("classAreas", json::array()).size());
        return;
    }
    json* area = classArea(*sw, record.value1);
    if (area == nullptr) {
        refuse(reply, ctx);
        return;
    }
    json& values = (*area)["values"];
    const auto set = [&](std::size_t slot, int value) { values[slot] = value; };
    switch (request.command) {
    case 1798: {
        auto& out = arm.threxClassArea;
        copyFixedText(out.text1, area->value("defaultUnit", ""));
        const json defaults = area->value("default", json::array({0, 0, 0, 0}));
        out.value1 = defaults.at(0).get<int>();
        out.value2 = defaults.at(1).get<int>();
        out.value3 = defaults.at(2).get<int>();
        out.value4 = defaults.at(3).get<int>();
        copyFixedText(out.text2, area->value("customUnit", ""));
        for (std::size_t i = 0; i < 17; ++i) {
            out.values[i] = values[i].get<int>();
        }
        return;
    }
    case 1799:
    case 1812:
    case 1813:
    case 1814: {
        json* entry = threshold(*area, record.value2);
        if (entry == nullptr) {
            refuse(reply, ctx);
            return;
        }
        json& v = (*entry)["values"];
        if (request.command == 1812) {
            v[0] = record.value3;
        } else if (request.command == 1813) {
            v[6] = record.value3; // behaviour interval
        } else if (request.command == 1814) {
            v[5] = record.value3; // behaviour type
        } else {
            auto& out = arm.threxThreshold;
            out.value1 = v[0].get<int>();
            copyFixedText(out.text1, entry->value("name", ""));
            copyFixedText(out.text2, entry->value("label", ""));
            out.value2 = v[1].get<int>();
            out.value3 = v[2].get<int>();
            out.value4 = v[3].get<int>();
            copyFixedText(out.text3, entry->value("time", ""));
            out.value5 = v[4].get<int>();
            out.value6 = v[5].get<int>();
            out.value7 = v[6].get<int>();
        }
        return;
    }
    case 1800:
    case 1801:
    case 1802:
    case 1803:
        (*area)["lastChange"] = request.command;
        return;
    case 1804:
        set(16, record.value2); // slot 15 carries nothing
        return;
    case 1805:
        if (record.value2 < 1 || record.value2 > 5) {
            refuse(reply, ctx);
            return;
        }
        set(9 + static_cast<std::size_t>(record.value2), record.value3);
        return;
    case 1806:
        set(4, record.value2);
        return;
    case 1807:
        set(3, record.value2);
        return;
    case 1808:
        if (record.value2 < values[1].get<int>()) {
            refuse(reply, ctx, kBoundaryOrder);
            return;
        }
        set(2, record.value2);
        return;
    case 1809:
        if (record.value2 > values[2].get<int>()) {
            refuse(reply, ctx, kBoundaryOrder);
            return;
        }
        set(1, record.value2);
        return;
    case 1810:
        set(0, record.value2);
        return;
    case 1811:
        (*area)["customUnit"] =
            std::string(record.text1, strnlen(record.text1, sizeof(record.text1)));
        return;
    default:
        refuse(reply, ctx);
        return;
    }
}

// --- Routes ---

json* findRoute(CallContext& ctx, const char* source, const char* destination) {
    if (!ctx.fabric.source.contains("routes")) {
        return nullptr;
    }
    for (auto& route : ctx.fabric.source["routes"]) {
        unsigned char from[8];
        unsigned char to[8];
        simdata::wwnField(route, "source", from);
        simdata::wwnField(route, "destination", to);
        if (std::memcmp(from, source, 8) == 0 && std::memcmp(to, destination, 8) == 0) {
            return &route;
        }
    }
    return nullptr;
}

void routeEntries(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const auto& arm = request.MSRequestArgs_u.route;
    json* route = findRoute(ctx, arm.sourceSwitch, arm.destinationSwitch);
    if (route == nullptr) {
        refuse(reply, ctx);
        return;
    }
    auto& out = reply.body.MSReplyBody_u;
    if (request.command == 1029) {
        const json pairs = route->value("pairs", json::array());
        auto* list = ctx.arena.array<IntPair>(pairs.size());
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            list[i] = {pairs[i].at(0).get<int>(), pairs[i].at(1).get<int>()};
        }
        out.routes.value = route->value("count", static_cast<int>(pairs.size() / 2));
        out.routes.routes = {static_cast<u_int>(pairs.size()), list};
    } else {
        const json legal = route->value("legal", json::array());
        auto* list = ctx.arena.array<int>(legal.size());
        for (std::size_t i = 0; i < legal.size(); ++i) {
            list[i] = legal[i].get<int>();
        }
        out.legalRoutes.value = route->value("legalCount", static_cast<int>(legal.size()));
        out.legalRoutes.ports = {static_cast<u_int>(legal.size()), list};
    }
}

void setRoute(CallContext& ctx, const MSRequestArgs& request, MSReply&) {
    const auto& arm = request.MSRequestArgs_u.routeTriple;
    ctx.fabric.source["routeSettings"].push_back(
        json::array({simdata::toHex(arm.name1, 8), simdata::toHex(arm.name2, 8),
                     simdata::toHex(arm.name3, 8)}));
}

const ServiceRequest kRequests[] = {
    {273, switchValue},
    {274, switchValue},
    {276, switchValue},
    {278, switchValue},
    {279, switchValue},
    {275, switchValue},
    {277, switchValue},
    {280, portList},
    {289, portValue},
    {290, portValue},
    {292, attachedPortNames},
    {294, portValue},
    {1029, routeEntries},
    {1031, routeEntries},
    {1032, setRoute},
    {1797, threx},
    {1798, threx},
    {1799, threx},
    {1800, threx},
    {1801, threx},
    {1802, threx},
    {1803, threx},
    {1804, threx},
    {1805, threx},
    {1806, threx},
    {1807, threx},
    {1808, threx},
    {1809, threx},
    {1810, threx},
    {1811, threx},
    {1812, threx},
    {1813, threx},
    {1814, threx},
    {2064, signingRequest},
    {2065, installCertificate},
    {2067, securityStats},
};

} // namespace

std::span<const ServiceRequest> fabricServiceRequests() {
    return kRequests;
}

bool answerFabricServiceRequest(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    for (const auto& entry : kRequests) {
        if (entry.code != request.command) {
            continue;
        }
        try {
            entry.handler(ctx, request, reply);
        } catch (const std::exception&) {
            refuse(reply, ctx);
        }
        return true;
    }
    return false;
}
