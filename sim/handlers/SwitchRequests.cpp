// Switch requests: information and settings, API version, discovery,
// control processors, enclosure, products, licence keys and switch groups.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "sim/handlers/RecordFields.h"
#include "sim/handlers/RequestHandlers.h"

namespace {

using nlohmann::json;

#define COMMON_SWITCH_FIELDS(R)                                                                    \
    RECORD_NUMBER(R, n1), RECORD_NUMBER(R, n2), RECORD_NUMBER(R, n3), RECORD_TEXT(R, t1),          \
        RECORD_TEXT(R, t2), RECORD_TEXT(R, t3), RECORD_TEXT(R, t4), RECORD_TEXT(R, t5),            \
        RECORD_NUMBER(R, n4), RECORD_NUMBER(R, n5), RECORD_NUMBER(R, n6), RECORD_NUMBER(R, n7),    \
        RECORD_NUMBER(R, n8), RECORD_NUMBER(R, n9), RECORD_TEXT(R, a1), RECORD_TEXT(R, a2),        \
        RECORD_TEXT(R, a3), RECORD_TEXT(R, a4), RECORD_TEXT(R, a5), RECORD_NUMBER(R, n10),         \
        RECORD_TEXT(R, b1), RECORD_TEXT(R, b2)

const RecordField kSwitchInfoFields[] = {
    COMMON_SWITCH_FIELDS(SwitchInfoRecord),
    RECORD_NUMBER(SwitchInfoRecord, n11),
    RECORD_NUMBER(SwitchInfoRecord, n12),
    RECORD_NUMBER(SwitchInfoRecord, n13),
};

// The embedded switch's invariant name (e1), the partner switch's name (q2)
// and the loop address bitmap (q5) are bytes, not texts.
const RecordField kSwitchInfo2Fields[] = {
    RECORD_NUMBER(SwitchInfo2Record, h1),    RECORD_NUMBER(SwitchInfo2Record, h2),
    COMMON_SWITCH_FIELDS(SwitchInfo2Record), RECORD_NUMBER(SwitchInfo2Record, m1),
    RECORD_NUMBER(SwitchInfo2Record, m2),    RECORD_NUMBER(SwitchInfo2Record, m3),
    RECORD_NUMBER(SwitchInfo2Record, m4),    RECORD_NUMBER(SwitchInfo2Record, m5),
    RECORD_NUMBER(SwitchInfo2Record, z1),    RECORD_NUMBER(SwitchInfo2Record, z2),
    RECORD_NUMBER(SwitchInfo2Record, z3),    RECORD_NUMBER(SwitchInfo2Record, z4),
    RECORD_NUMBER(SwitchInfo2Record, z5),    RECORD_NUMBER(SwitchInfo2Record, z6),
    RECORD_BYTES(SwitchInfo2Record, e1),     RECORD_NUMBER(SwitchInfo2Record, e2),
    RECORD_TEXT(SwitchInfo2Record, e3),      RECORD_NUMBER(SwitchInfo2Record, e4),
    RECORD_NUMBER(SwitchInfo2Record, e5),    RECORD_TEXT(SwitchInfo2Record, e6),
    RECORD_NUMBER(SwitchInfo2Record, c1),    RECORD_TEXT(SwitchInfo2Record, s1),
    RECORD_NUMBER(SwitchInfo2Record, q1),    RECORD_BYTES(SwitchInfo2Record, q2),
    RECORD_TEXT(SwitchInfo2Record, q3),      RECORD_TEXT(SwitchInfo2Record, q4),
    RECORD_BYTES(SwitchInfo2Record, q5),     RECORD_TEXT(SwitchInfo2Record, f1),
    RECORD_TEXT(SwitchInfo2Record, f2),
};

const RecordField kFruFields[] = {
    RECORD_TEXT(FRURecord, partNumber),
    RECORD_TEXT(FRURecord, serialNumber),
    RECORD_TEXT(FRURecord, vendorPartNumber),
    RECORD_TEXT(FRURecord, vendorSerialNumber),
    RECORD_TEXT(FRURecord, text5),
    RECORD_TEXT(FRURecord, text6),
    RECORD_NUMBER(FRURecord, value1),
    RECORD_NUMBER(FRURecord, value2),
    RECORD_TEXT(FRURecord, text7),
    RECORD_TEXT(FRURecord, text8),
    RECORD_NUMBER(FRURecord, value3),
    RECORD_NUMBER(FRURecord, value4),
};

const RecordField kControlProcessorFields[] = {
    RECORD_NUMBER(CPInfoRecord, value1), RECORD_NUMBER(CPInfoRecord, value2),
    RECORD_NUMBER(CPInfoRecord, value3), RECORD_NUMBER(CPInfoRecord, value4),
    RECORD_NUMBER(CPInfoRecord, value5), RECORD_NUMBER(CPInfoRecord, value6),
    RECORD_TEXT(CPInfoRecord, text1),    RECORD_TEXT(CPInfoRecord, text2),
    RECORD_TEXT(CPInfoRecord, text3),    RECORD_TEXT(CPInfoRecord, text4),
};

// The fields a switch setting names by its mask bit.
struct MaskFields {
    unsigned int mask;
    const char* first;
    const char* second;
};

const MaskFields kSwitchMasks[] = {
    {0x1, "t1", nullptr},    {0x2, "t2", nullptr},    {0x80, "t3", nullptr},
    {0x100, "t4", nullptr},  {0x200, "t5", nullptr},  {0x4, "n5", nullptr},
    {0x8, "n8", nullptr},    {0x10, "n9", nullptr},   {0x20, "a5", nullptr},
    {0x40, "b1", "b2"},      {0x400, "e3", nullptr},  {0x800, "e4", nullptr},
    {0x1000, "e5", nullptr}, {0x2000, "e6", nullptr}, {0x4000, "q1", "q2"},
    {0x8000, "q3", "q4"},
};

// The switch a request names, or a failed reply.
SwitchModel* requestedSwitch(CallContext& ctx, MSReply& reply, const void* name) {
    SwitchModel* sw = findSwitchModel(ctx.fabric, static_cast<const unsigned char*>(name));
    if (sw == nullptr) {
        failRequest(ctx, reply, "no such switch");
    }
    return sw;
}

json& section(SwitchModel& sw, const char* key, json empty) {
    if (!sw.source.contains(key)) {
        sw.source[key] = std::move(empty);
    }
    return sw.source[key];
}

// The "info" fields of the switch. Where "info" gives none, the fabric
// file's own data of the switch stands in: its name ("a5"), its firmware
// ("a4"), its management address ("t2": the address it is served on, else
// the first of its configuration server's "managementAddresses"), and
// whether it is the principal switch ("n3": the one the fabric is named
// after).
json switchInfoValues(const FabricEntry& fabric, const SwitchModel& sw) {
    json values = sw.source.value("info", json::object());
    if (!values.contains("a5") && !sw.name.empty()) {
        values["a5"] = sw.name;
    }
    if (!values.contains("a4") && sw.firmware) {
        values["a4"] = *sw.firmware;
    }
    if (!values.contains("t2")) {
        std::string address = sw.address;
        const json fcs = sw.source.value("fcs", json::object());
        const json listed = fcs.value("managementAddresses", json::array());
        if (address.empty() && !listed.empty() && listed[0].is_string()) {
            address = listed[0].get<std::string>();
        }
        if (!address.empty()) {
            values["t2"] = address;
        }
    }
    if (!values.contains("n3")) {
        values["n3"] = sw.wwn == fabric.wwn ? 1 : 0;
    }
    return values;
}

// 1285: the switch information record.
void getSwitchInfo(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    SwitchModel* sw = requestedSwitch(ctx, reply, request.MSRequestArgs_u.switchInfo.switchName);
    if (sw == nullptr) {
        return;
    }
    SwitchInfoRecord& record = reply.body.MSReplyBody_u.switchInfo;
    std::memcpy(record.switchName, sw->wwn.data(), sizeof(record.switchName));
    fillRecord(&record, kSwitchInfoFields, switchInfoValues(ctx.fabric, *sw));
}

// 1287: the second information record with licence keys and products.
void getSwitchInfo2(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    SwitchModel* sw = requestedSwitch(ctx, reply, request.MSRequestArgs_u.switchInfo2.switchName);
    if (sw == nullptr) {
        return;
    }
    SwitchInfo2Record& record = reply.body.MSReplyBody_u.switchInfo2;
    std::memcpy(record.switchName, sw->wwn.data(), sizeof(record.switchName));
    json values = switchInfoValues(ctx.fabric, *sw);
    // The certificate state follows what was last installed on the switch.
    if (!values.contains("c1") && sw->source.contains("validCertificate")) {
        values["c1"] = sw->source["validCertificate"].get<bool>() ? 1 : 0;
    }
    fillRecord(&record, kSwitchInfo2Fields, values);
    const json keys = sw->source.value("licenses", json::array());
    record.licenseKeys.licenseKeys_len = static_cast<u_int>(keys.size());
    record.licenseKeys.licenseKeys_val = ctx.arena.array<Name64>(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        copyWholeFixedText(record.licenseKeys.licenseKeys_val[i], keys[i].get<std::string>());
    }
    const json products = sw->source.value("licensedProducts", json::array());
    record.licensedProducts.licensedProducts_len = static_cast<u_int>(products.size());
    record.licensedProducts.licensedProducts_val = ctx.arena.array<int>(products.size());
    for (std::size_t i = 0; i < products.size(); ++i) {
        record.licensedProducts.licensedProducts_val[i] = products[i].get<int>();
    }
}

// 1286 and 1288: the one field that the mask (first number) names.
template <class Record>
void setSwitchInfo(CallContext& ctx, const Record& record, std::span<const RecordField> fields,
                   unsigned int lastMask, MSReply& reply) {
    SwitchModel* sw = requestedSwitch(ctx, reply, record.switchName);
    if (sw == nullptr) {
        return;
    }
    for (const MaskFields& entry : kSwitchMasks) {
        if (entry.mask == record.n1 && entry.mask <= lastMask) {
            json& info = section(*sw, "info", json::object());
            storeField(&record, fields, entry.first, info);
            if (entry.second != nullptr) {
                storeField(&record, fields, entry.second, info);
            }
            return;
        }
    }
    failRequest(ctx, reply, "unknown field mask");
}

void setSwitchInfo1(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    setSwitchInfo(ctx, request.MSRequestArgs_u.switchInfo, kSwitchInfoFields, 0x200, reply);
}

void setSwitchInfo2(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    setSwitchInfo(ctx, request.MSRequestArgs_u.switchInfo2, kSwitchInfo2Fields, 0x8000, reply);
}

// The API version word a switch answers: "apiVersion" of the fabric file,
// else the word of its firmware generation: 0x02000000 for firmware after
// 3.0, 0x01000000 for 3.0.2, 0 for 2.3 to 3.0 and for a switch without a
// version.
int apiVersionOf(const SwitchModel& sw) {
    if (sw.source.contains("apiVersion")) {
        return sw.source["apiVersion"].get<int>();
    }
    if (!sw.firmware) {
        return 0;
    }
    std::string text = *sw.firmware;
    if (!text.empty() && (text[0] == 'v' || text[0] == 'V' || text[0] == 'a' || text[0] == 'A')) {
        text.erase(0, 1);
    }
    const auto startsWith = [&](const char* prefix) { return text.rfind(prefix, 0) == 0; };
    if (startsWith("3.0.2")) {
        return 0x01000000;
    }
    if (startsWith("2.3") || startsWith("2.4") || startsWith("2.5") || startsWith("3.0")) {
        return 0;
    }
    return 0x02000000;
}

// 1289: the API version.
void getApiVersion(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    SwitchModel* sw = requestedSwitch(ctx, reply, request.MSRequestArgs_u.wwn);
    if (sw != nullptr) {
        reply.body.MSReplyBody_u.value = apiVersionOf(*sw);
    }
}

// 1281: every switch of the fabric. Each entry carries the switch's API
// version word, the index of its first port module, its port count, the
// port-module ranges (first and last index into the port names) and the
// port world wide names; by default one module of every port.
void discoverFabric(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    DiscoverFabricRecord& record = reply.body.MSReplyBody_u.discoverFabric;
    record.kind = request.MSRequestArgs_u.discoverFabric.kind;
    const auto& switches = ctx.fabric.switches;
    record.value1 = static_cast<int>(switches.size());
    record.switches.switches_len = static_cast<u_int>(switches.size());
    record.switches.switches_val = ctx.arena.array<DiscoveredSwitch>(switches.size());
    for (std::size_t i = 0; i < switches.size(); ++i) {
        DiscoveredSwitch& entry = record.switches.switches_val[i];
        std::memcpy(entry.switchName, switches[i].wwn.data(), sizeof(entry.switchName));
        const json& source = switches[i].source;
        const json ports = source.value("ports", json::array());
        entry.apiVersion = apiVersionOf(switches[i]);
        entry.firstPortModule = source.value("firstPortModule", 0u);
        entry.portCount = source.value("portCount", static_cast<int>(ports.size()));
        json ranges = source.value("portModuleRanges", json::array());
        if (!source.contains("portModuleRanges") && !ports.empty()) {
            ranges = json::array({json::array({0, static_cast<int>(ports.size()) - 1})});
        }
        entry.pairs.pairs_len = static_cast<u_int>(ranges.size());
        entry.pairs.pairs_val = ctx.arena.array<IntPair>(ranges.size());
        for (std::size_t l = 0; l < ranges.size(); ++l) {
            entry.pairs.pairs_val[l] = {ranges[l][0].get<int>(), ranges[l][1].get<int>()};
        }
        entry.wwns.wwns_len = static_cast<u_int>(ports.size());
        entry.wwns.wwns_val = ctx.arena.array<WWNBytes>(ports.size());
        for (std::size_t p = 0; p < ports.size(); ++p) {
            wwnBytes(ports[p].value("wwn", std::string()), entry.wwns.wwns_val[p]);
        }
    }
}

// 1557: control processor number n (first number) of the switch.
void getControlProcessor(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const SwitchInfoRecord& asked = request.MSRequestArgs_u.switchInfo;
    SwitchModel* sw = requestedSwitch(ctx, reply, asked.switchName);
    if (sw == nullptr) {
        return;
    }
    const json processors = sw->source.value("controlProcessors", json::array());
    if (asked.n1 >= processors.size()) {
        failRequest(ctx, reply, "no such control processor");
        return;
    }
    CPInfoRecord& record = reply.body.MSReplyBody_u.cpInfo;
    std::memcpy(record.switchName, sw->wwn.data(), sizeof(record.switchName));
    fillRecord(&record, kControlProcessorFields, processors[asked.n1]);
    fillRecord(&record.fru, kFruFields, processors[asked.n1].value("fru", json::object()));
}

const RecordField kEnclosureSlotFields[] = {
    RECORD_NUMBER(EnclosureSlot, value1),
    RECORD_NUMBER(EnclosureSlot, value2),
};

const RecordField kEnclosureFiveFields[] = {
    RECORD_NUMBER(EnclosureFive, value1), RECORD_NUMBER(EnclosureFive, value2),
    RECORD_NUMBER(EnclosureFive, value3), RECORD_NUMBER(EnclosureFive, value4),
    RECORD_NUMBER(EnclosureFive, value5),
};

const RecordField kEnclosureUnitFields[] = {
    RECORD_NUMBER(EnclosureUnit, value),
};

const RecordField kEnclosureBladeFields[] = {
    RECORD_NUMBER(EnclosureBlade, value1), RECORD_NUMBER(EnclosureBlade, value2),
    RECORD_NUMBER(EnclosureBlade, value3), RECORD_NUMBER(EnclosureBlade, value4),
    RECORD_NUMBER(EnclosureBlade, value5), RECORD_NUMBER(EnclosureBlade, value6),
};

// One list of the enclosure: each entry's numbers by name, and its "fru"
// when the entry type carries one.
template <class Entry>
Entry* enclosureList(CallContext& ctx, const json& entries, std::span<const RecordField> fields,
                     u_int& length) {
    length = static_cast<u_int>(entries.size());
    Entry* list = ctx.arena.array<Entry>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        fillRecord(&list[i], fields, entries[i]);
        if constexpr (requires { list[i].fru; }) {
            fillRecord(&list[i].fru, kFruFields, entries[i].value("fru", json::object()));
        }
    }
    return list;
}

// 1559: the enclosure: the switch's name, the chassis name ("chassisWwn"),
// the chassis type and processor count ("value1", "value2"), the chassis's
// switches ("wwns"), its fans ("blowers"), sensors ("sensors"), power
// supplies ("powerSupplies"), units ("frus": the chassis first, then the
// name cards) and blades ("blades").
void getEnclosure(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    SwitchModel* sw = requestedSwitch(ctx, reply, request.MSRequestArgs_u.fcsQuery.switchName);
    if (sw == nullptr) {
        return;
    }
    const json enclosure = sw->source.value("enclosure", json::object());
    EnclosureRecord& record = reply.body.MSReplyBody_u.enclosure;
    std::memcpy(record.name1, sw->wwn.data(), sizeof(record.name1));
    // A fabric file without "chassisWwn" leaves the chassis name zero.
    if (const std::string chassis = enclosure.value("chassisWwn", std::string());
        !chassis.empty()) {
        wwnBytes(chassis, reinterpret_cast<unsigned char*>(record.name2));
    }
    record.value1 = enclosure.value("value1", 0);
    record.value2 = enclosure.value("value2", 0);
    const json wwns = enclosure.value("wwns", json::array());
    record.wwns.wwns_len = static_cast<u_int>(wwns.size());
    record.wwns.wwns_val = ctx.arena.array<WWNBytes>(wwns.size());
    for (std::size_t i = 0; i < wwns.size(); ++i) {
        wwnBytes(wwns[i], record.wwns.wwns_val[i]);
    }
    const json frus = enclosure.value("frus", json::array());
    record.frus.frus_len = static_cast<u_int>(frus.size());
    record.frus.frus_val = ctx.arena.array<FRURecord>(frus.size());
    for (std::size_t i = 0; i < frus.size(); ++i) {
        fillRecord(&record.frus.frus_val[i], kFruFields, frus[i]);
    }
    record.slots.slots_val =
        enclosureList<EnclosureSlot>(ctx, enclosure.value("blowers", json::array()),
                                     kEnclosureSlotFields, record.slots.slots_len);
    record.fives.fives_val =
        enclosureList<EnclosureFive>(ctx, enclosure.value("sensors", json::array()),
                                     kEnclosureFiveFields, record.fives.fives_len);
    record.units.units_val =
        enclosureList<EnclosureUnit>(ctx, enclosure.value("powerSupplies", json::array()),
                                     kEnclosureUnitFields, record.units.units_len);
    record.blades.blades_val =
        enclosureList<EnclosureBlade>(ctx, enclosure.value("blades", json::array()),
                                      kEnclosureBladeFields, record.blades.blades_len);
}

// 1830: the text and names of the product the request's number selects.
void getProduct(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    SwitchModel* sw = requestedSwitch(ctx, reply, request.MSRequestArgs_u.switchInt.switchName);
    if (sw == nullptr) {
        return;
    }
    // The product the request's number selects from "products" (by "id"),
    // else the one "product".
    const SwitchIntArgs& args = request.MSRequestArgs_u.switchInt;
    json product = sw->source.value("product", json::object());
    for (const json& entry : sw->source.value("products", json::array())) {
        if (entry.value("id", 0) == args.value) {
            product = entry;
        }
    }
    ProductRecord& record = reply.body.MSReplyBody_u.product;
    copyFixedText(record.text, product.value("text", std::string()));
    record.value = product.value("value", 0);
    const json names = product.value("names", json::array());
    record.names.names_len = static_cast<u_int>(names.size());
    record.names.names_val = ctx.arena.array<Name64>(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        copyFixedText(record.names.names_val[i], names[i].get<std::string>());
    }
}

// 1824 and 1825: add or remove a licence key.
void changeLicenseKey(CallContext& ctx, const MSRequestArgs& request, MSReply& reply, bool add) {
    const SwitchTextArgs& args = request.MSRequestArgs_u.switchText;
    SwitchModel* sw = requestedSwitch(ctx, reply, args.switchName);
    if (sw == nullptr) {
        return;
    }
    const std::string key(args.text, strnlen(args.text, sizeof(args.text)));
    json& keys = section(*sw, "licenses", json::array());
    const auto found = std::find(keys.begin(), keys.end(), json(key));
    if (add) {
        if (found != keys.end()) {
            failRequest(ctx, reply, "licence key already installed");
        } else {
            keys.push_back(key);
        }
    } else if (found == keys.end()) {
        failRequest(ctx, reply, "no such licence key");
    } else {
        keys.erase(found);
    }
}

void addLicenseKey(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    changeLicenseKey(ctx, request, reply, true);
}

void removeLicenseKey(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    changeLicenseKey(ctx, request, reply, false);
}

// --- Switch groups ("switchGroups" of the switch) ---

json* findGroup(json& groups, const char* name, std::size_t size) {
    const std::string wanted(name, strnlen(name, size));
    for (json& group : groups) {
        if (group.value("name", std::string()) == wanted) {
            return &group;
        }
    }
    return nullptr;
}

// 2049: the switch's first group: its name, its type ("value1"), its member
// count and the members' names.
void getSwitchGroup(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    SwitchModel* sw = requestedSwitch(ctx, reply, request.MSRequestArgs_u.groupSwitch);
    if (sw == nullptr) {
        return;
    }
    const json groups = sw->source.value("switchGroups", json::array());
    if (groups.empty()) {
        failRequest(ctx, reply, "no switch group");
        return;
    }
    const json& group = groups[0];
    SGroupRecord& record = reply.body.MSReplyBody_u.sgroup;
    copyWholeFixedText(record.groupName, group.value("name", std::string()));
    record.value1 = group.value("value1", 0);
    const json members = group.value("members", json::array());
    const std::size_t count = std::min<std::size_t>(members.size(), std::size(record.members));
    record.value2 = static_cast<int>(count);
    for (std::size_t i = 0; i < count; ++i) {
        wwnBytes(members[i], record.members[i]);
    }
}

// 2050: creates or replaces the named group: its type, then the member
// count and the members.
void setSwitchGroup(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const SGroupArgs& args = request.MSRequestArgs_u.sgroup;
    SwitchModel* sw = requestedSwitch(ctx, reply, args.wwn);
    if (sw == nullptr) {
        return;
    }
    const auto count = static_cast<std::size_t>(
        std::clamp(args.value2, 0, static_cast<int>(std::size(args.members))));
    json group = {{"name", std::string(args.groupName, strnlen(args.groupName, 32))},
                  {"value1", args.value1},
                  {"value2", static_cast<int>(count)},
                  {"members", json::array()}};
    for (std::size_t i = 0; i < count; ++i) {
        group["members"].push_back(wwnText(args.members[i]));
    }
    json& groups = section(*sw, "switchGroups", json::array());
    if (json* existing = findGroup(groups, args.groupName, sizeof(args.groupName))) {
        *existing = std::move(group);
    } else {
        groups.push_back(std::move(group));
    }
}

// 2051: deletes the named group.
void deleteSwitchGroup(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const SGroupNameArgs& args = request.MSRequestArgs_u.sgroupName;
    SwitchModel* sw = requestedSwitch(ctx, reply, args.wwn);
    if (sw == nullptr) {
        return;
    }
    json& groups = section(*sw, "switchGroups", json::array());
    json* group = findGroup(groups, args.groupName, sizeof(args.groupName));
    if (group == nullptr) {
        failRequest(ctx, reply, "no such switch group");
        return;
    }
    groups.erase(groups.begin() + (group - &groups[0]));
}

// 2052: renames the named group.
void renameSwitchGroup(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    const SGroupRenameArgs& args = request.MSRequestArgs_u.sgroupRename;
    SwitchModel* sw = requestedSwitch(ctx, reply, args.wwn);
    if (sw == nullptr) {
        return;
    }
    json& groups = section(*sw, "switchGroups", json::array());
    json* group = findGroup(groups, args.oldName, sizeof(args.oldName));
    if (group == nullptr) {
        failRequest(ctx, reply, "no such switch group");
        return;
    }
    (*group)["name"] = std::string(args.newName, strnlen(args.newName, sizeof(args.newName)));
}

const ExtraRequestEntry kSwitchRequests[] = {
    {1281, discoverFabric},      {1285, getSwitchInfo},     {1286, setSwitchInfo1},
    {1287, getSwitchInfo2},      {1288, setSwitchInfo2},    {1289, getApiVersion},
    {1557, getControlProcessor}, {1559, getEnclosure},      {1830, getProduct},
    {1824, addLicenseKey},       {1825, removeLicenseKey},  {2049, getSwitchGroup},
    {2050, setSwitchGroup},      {2051, deleteSwitchGroup}, {2052, renameSwitchGroup},
};

} // namespace

std::span<const ExtraRequestEntry> switchRequestHandlers() {
    return kSwitchRequests;
}

namespace {

ExtraRequestHandler lookUp(std::int32_t code) {
    for (auto table : {switchRequestHandlers(), portRequestHandlers(), platformRequestHandlers()}) {
        for (const ExtraRequestEntry& entry : table) {
            if (entry.code == code) {
                return entry.handler;
            }
        }
    }
    return nullptr;
}

// Runs the handler of the request's code, then plays a switch that labels
// its answer with another request's arm when the proxy's "replyArms"
// ({"<code>": arm}) says so.
void dispatch(CallContext& ctx, const MSRequestArgs& request, MSReply& reply) {
    lookUp(request.command)(ctx, request, reply);
    const auto arms = ctx.proxy.source.find("replyArms");
    if (arms != ctx.proxy.source.end() && arms->is_object()) {
        const auto arm = arms->find(std::to_string(request.command));
        if (arm != arms->end()) {
            reply.body.command = arm->get<int>();
        }
    }
}

} // namespace

ExtraRequestHandler findExtraRequestHandler(std::int32_t code) {
    return lookUp(code) != nullptr ? dispatch : nullptr;
}
