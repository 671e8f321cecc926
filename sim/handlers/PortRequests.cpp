// Port requests: information and settings, statistics and error counters,
// loop ports, device texts and port modules.
#include <cstring>

#include "sim/ServiceData.h"
#include "sim/handlers/RecordFields.h"
#include "sim/handlers/RequestHandlers.h"

namespace {

using nlohmann::json;

#define PORT_FIELDS(R)                                                                             \
    RECORD_NUMBER(R, u1), RECORD_NUMBER(R, u2), RECORD_NUMBER(R, u3), RECORD_NUMBER(R, u4),        \
        RECORD_NUMBER(R, u5), RECORD_NUMBER(R, u6), RECORD_NUMBER(R, u7), RECORD_NUMBER(R, u8),    \
        RECORD_NUMBER(R, u9), RECORD_NUMBER(R, u10), RECORD_TEXT(R, text1), RECORD_TEXT(R, text2), \
        RECORD_NUMBER(R, v1), RECORD_NUMBER(R, v2)

const RecordField kPortInfoFields[] = {PORT_FIELDS(PortInfoRecord)};
const RecordField kPortInfo2Fields[] = {PORT_FIELDS(PortInfo2Record),
                                        RECORD_NUMBER(PortInfo2Record, v3),
                                        RECORD_NUMBER(PortInfo2Record, v4)};

// Field of a port setting by mask bit; the second record knows more.
const char* portMaskField(unsigned int mask, bool second) {
    switch (mask) {
    case 1:
        return "u3";
    case 2:
        return "u7";
    case 4:
        return "u9";
    case 8:
        return second ? "v3" : nullptr;
    case 16:
        return second ? "v4" : nullptr;
    case 32:
        return second ? "u8" : nullptr;
    default:
        return nullptr;
    }
}

json* requestedPort(CallContext& ctx, MSReply& reply, const void* name) {
    json* port = findPort(ctx.fabric, static_cast<const unsigned char*>(name));
    if (port == nullptr) {
        failRequest(ctx, reply, "no such port");
    }
    return port;
}

template <class Record>
void fillPort(Record& record, const json& port, std::span<const RecordField> fields) {
    wwnBytes(port["wwn"], reinterpret_cast<unsigned char*>(record.portName));
    fillRecord(&record, fields, port.value("info", json::object()));
}

// 1541 and 1553.
void getPortInfo(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    if (json* port = requestedPort(ctx, reply, request.MSRequestArgs_u.portInfo.portName)) {
        fillPort(reply.body.MSReplyBody_u.portInfo, *port, kPortInfoFields);
    }
}

void getPortInfo2(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    if (json* port = requestedPort(ctx, reply, request.MSRequestArgs_u.fcsQuery.switchName)) {
        fillPort(reply.body.MSReplyBody_u.portInfo2, *port, kPortInfo2Fields);
    }
}

// 1542 and 1554: the field that the mask (second number) names.
template <class Record>
void setPort(CallContext& ctx, const Record& record, std::span<const RecordField> fields,
             bool second, MSReply& reply) {
    json* port = requestedPort(ctx, reply, record.portName);
    if (port == nullptr) {
        return;
    }
    const char* field = portMaskField(record.u2, second);
    if (field == nullptr) {
        failRequest(ctx, reply, "unknown field mask");
        return;
    }
    if (!port->contains("info")) {
        (*port)["info"] = json::object();
    }
    storeField(&record, fields, field, (*port)["info"]);
}

void setPortInfo(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    setPort(ctx, request.MSRequestArgs_u.portInfo, kPortInfoFields, false, reply);
}

void setPortInfo2(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    setPort(ctx, request.MSRequestArgs_u.portInfo2, kPortInfo2Fields, true, reply);
}

void fillCounters(CounterPair* counters, std::size_t count, const json& values) {
    for (std::size_t i = 0; i < count && values.is_array() && i < values.size(); ++i) {
        const auto value = values[i].get<std::uint64_t>();
        counters[i].high = static_cast<unsigned int>(value >> 32);
        counters[i].low = static_cast<unsigned int>(value & 0xFFFFFFFFu);
    }
}

// 1543 and 1547.
void getPortStats(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    if (json* port = requestedPort(ctx, reply, request.MSRequestArgs_u.wwnInt.wwn)) {
        PortStatsRecord& record = reply.body.MSReplyBody_u.portStats;
        record.value = port->value("statsValue", 0);
        fillCounters(record.counters, 24, port->value("stats", json::array()));
    }
}

void getPortErrors(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    if (json* port = requestedPort(ctx, reply, request.MSRequestArgs_u.wwnInt.wwn)) {
        fillCounters(reply.body.MSReplyBody_u.portErrors.counters, 22,
                     port->value("errors", json::array()));
    }
}

// 1544 and 1548: clear the counters (value 1 only).
void clearCounters(CallContext& ctx, const MSRequestArgs& request, MSReply& reply,
                   const char* key) {
    json* port = requestedPort(ctx, reply, request.MSRequestArgs_u.wwnInt.wwn);
    if (port == nullptr) {
        return;
    }
    if (request.MSRequestArgs_u.wwnInt.value != 1) {
        failRequest(ctx, reply, "bad clear request");
        return;
    }
    (*port)[key] = json::array();
}

void clearPortStats(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    clearCounters(ctx, request, reply, "stats");
}

void clearPortErrors(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    clearCounters(ctx, request, reply, "errors");
}

// The entry of `list` that a request's number names: the one whose
// "portId" equals it when the entries carry port identifiers (the library
// asks by port identifier), else entry number n.
const json* numberedEntry(const json& list, unsigned int number) {
    if (!list.is_array()) {
        return nullptr;
    }
    bool keyed = false;
    for (const json& entry : list) {
        if (entry.is_object() && entry.contains("portId")) {
            keyed = true;
            if (simdata::portIdField(entry, "portId") == number) {
                return &entry;
            }
        }
    }
    return !keyed && number < list.size() ? &list[number] : nullptr;
}

// The entry of the `key` lists that a request's number names. Port
// identifiers are the fabric's: an entry carrying one may stand in any
// switch of the fabric, the proxy's own list searched first. A list without
// identifiers is numbered, and only the proxy's counts.
const json* fabricEntry(CallContext& ctx, const char* key, unsigned int number) {
    const auto listOf = [key](const SwitchModel& sw) -> const json* {
        const auto list = sw.source.find(key);
        return list != sw.source.end() ? &*list : nullptr;
    };
    const json* own = listOf(ctx.proxy);
    if (const json* entry = own != nullptr ? numberedEntry(*own, number) : nullptr) {
        return entry;
    }
    for (const SwitchModel& sw : ctx.fabric.switches) {
        const json* list = listOf(sw);
        if (&sw == &ctx.proxy || list == nullptr || !list->is_array()) {
            continue;
        }
        for (const json& entry : *list) {
            if (entry.is_object() && entry.contains("portId") &&
                simdata::portIdField(entry, "portId") == number) {
                return &entry;
            }
        }
    }
    return nullptr;
}

// 1550: a loop port of the fabric by port identifier (or of the proxy by
// number). Its "loopMap" (16 bytes in hexadecimal) fills the second text as
// raw bytes.
void getLoopPort(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const unsigned int index = request.MSRequestArgs_u.flPortInfo.value;
    const json* port = fabricEntry(ctx, "flPorts", index);
    if (port == nullptr) {
        failRequest(ctx, reply, "no such loop port");
        return;
    }
    FLPortInfoRecord& record = reply.body.MSReplyBody_u.flPortInfo;
    record.value = index;
    copyFixedText(record.text1, port->value("text1", std::string()));
    if (port->contains("loopMap")) {
        simdata::parseHex((*port)["loopMap"].get<std::string>(),
                          reinterpret_cast<unsigned char*>(record.text2), sizeof record.text2);
    } else {
        copyFixedText(record.text2, port->value("text2", std::string()));
    }
}

// 1545 and 1546: a device of the fabric by port identifier (or of the proxy
// by number), as text or as raw bytes.
const json* requestedDevice(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const unsigned int index = request.MSRequestArgs_u.number;
    const json* device = fabricEntry(ctx, "devices", index);
    if (device == nullptr) {
        failRequest(ctx, reply, "no such device");
    }
    return device;
}

void getDevice(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    if (const json* device = requestedDevice(ctx, request, reply)) {
        copyFixedText(reply.body.MSReplyBody_u.text36, device->value("text", std::string()));
    }
}

void getDevice2(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const json* device = requestedDevice(ctx, request, reply);
    if (device == nullptr) {
        return;
    }
    char* text = reply.body.MSReplyBody_u.text256;
    const json bytes = device->value("bytes", json::array());
    for (std::size_t i = 0; i < bytes.size() && i < 256; ++i) {
        text[i] = static_cast<char>(bytes[i].get<int>());
    }
}

// 1551: the port modules of the switch.
void getPortModules(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const auto* name =
        reinterpret_cast<const unsigned char*>(request.MSRequestArgs_u.fcsQuery.switchName);
    SwitchModel* sw = findSwitchModel(ctx.fabric, name);
    if (sw == nullptr) {
        failRequest(ctx, reply, "no such switch");
        return;
    }
    PortModuleList& list = reply.body.MSReplyBody_u.portModules;
    std::memcpy(list.switchName, sw->wwn.data(), sizeof(list.switchName));
    const json modules = sw->source.value("portModules", json::array());
    list.modules.modules_len = static_cast<u_int>(modules.size());
    list.modules.modules_val = ctx.arena.array<PortModuleEntry>(modules.size());
    for (std::size_t m = 0; m < modules.size(); ++m) {
        PortModuleEntry& entry = list.modules.modules_val[m];
        const json values = modules[m].value("values", json::array());
        int* numbers[] = {&entry.value1, &entry.value2, &entry.value3, &entry.value4,
                          &entry.value5};
        for (std::size_t i = 0; i < 5 && i < values.size(); ++i) {
            *numbers[i] = values[i].get<int>();
        }
        const json texts = modules[m].value("texts", json::array());
        const auto text = [&](std::size_t i) {
            return i < texts.size() ? texts[i].get<std::string>() : std::string();
        };
        copyFixedText(entry.text1, text(0));
        copyFixedText(entry.text2, text(1));
        copyFixedText(entry.text3, text(2));
        copyFixedText(entry.text4, text(3));
        copyFixedText(entry.text5, text(4));
        copyFixedText(entry.text6, text(5));
        copyFixedText(entry.text7, text(6));
        const json ports = modules[m].value("ports", json::array());
        entry.ports.ports_len = static_cast<u_int>(ports.size());
        entry.ports.ports_val = ctx.arena.array<int>(ports.size());
        for (std::size_t p = 0; p < ports.size(); ++p) {
            entry.ports.ports_val[p] = ports[p].get<int>();
        }
    }
}

// 1552: records the requested states and answers with them.
void setPortModuleState(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const PortModuleStateArgs& args = request.MSRequestArgs_u.portModuleState;
    SwitchModel* sw =
        findSwitchModel(ctx.fabric, reinterpret_cast<const unsigned char*>(args.name));
    if (sw == nullptr) {
        failRequest(ctx, reply, "no such switch");
        return;
    }
    json states = json::array();
    PortModuleStateArgs& answer = reply.body.MSReplyBody_u.portModuleState;
    std::memcpy(answer.name, args.name, sizeof(answer.name));
    answer.states.states_len = args.states.states_len;
    answer.states.states_val = ctx.arena.array<IntPair>(args.states.states_len);
    for (u_int i = 0; i < args.states.states_len; ++i) {
        answer.states.states_val[i] = args.states.states_val[i];
        states.push_back({args.states.states_val[i].first, args.states.states_val[i].second});
    }
    sw->source["portModuleStates"] = std::move(states);
}

const ExtraRequestEntry kPortRequests[] = {
    {1541, getPortInfo},    {1542, setPortInfo},        {1543, getPortStats},
    {1544, clearPortStats}, {1545, getDevice},          {1546, getDevice2},
    {1547, getPortErrors},  {1548, clearPortErrors},    {1550, getLoopPort},
    {1551, getPortModules}, {1552, setPortModuleState}, {1553, getPortInfo2},
    {1554, setPortInfo2},
};

} // namespace

std::span<const ExtraRequestEntry> portRequestHandlers() {
    return kPortRequests;
}
