#include "sim/NameServer.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "sim/ServiceData.h"

using nlohmann::json;

namespace {

constexpr int kNotFound = -1;

// One entry of the fabric file in wire form.
NSEntry toEntry(const json& item) {
    NSEntry entry;
    std::memset(&entry, 0, sizeof(entry));
    entry.portType = item.value("portType", 0);
    const std::uint32_t id = simdata::portIdField(item, "portId");
    entry.portId[0] = static_cast<unsigned char>(id >> 16);
    entry.portId[1] = static_cast<unsigned char>(id >> 8);
    entry.portId[2] = static_cast<unsigned char>(id);
    simdata::wwnField(item, "portName", entry.portName);
    simdata::wwnField(item, "nodeName", entry.nodeName);
    const std::string portSymbol = item.value("symbolicPortName", "");
    const std::string nodeSymbol = item.value("symbolicNodeName", "");
    entry.symbolicPortNameLength =
        static_cast<unsigned char>(std::min(portSymbol.size(), sizeof(entry.symbolicPortName)));
    std::memcpy(entry.symbolicPortName, portSymbol.data(), entry.symbolicPortNameLength);
    entry.symbolicNodeNameLength =
        static_cast<unsigned char>(std::min(nodeSymbol.size(), sizeof(entry.symbolicNodeName)));
    std::memcpy(entry.symbolicNodeName, nodeSymbol.data(), entry.symbolicNodeNameLength);
    simdata::wwnField(item, "initialProcessAssociator", entry.initialProcessAssociator);
    if (item.contains("nodeIp")) {
        simdata::parseHex(item["nodeIp"].get<std::string>(), entry.nodeIpAddress, 16);
    }
    if (item.contains("portIp")) {
        simdata::parseHex(item["portIp"].get<std::string>(), entry.portIpAddress, 16);
    }
    entry.classOfService = item.value("classOfService", 0u);
    // FC-4 type t sets bit t % 32 of big-endian word t / 32.
    for (const auto& type : item.value("fc4Types", json::array())) {
        const unsigned int t = type.get<unsigned int>() & 0xFF;
        entry.fc4Types[(t / 32) * 4 + 3 - (t % 32) / 8] |=
            static_cast<unsigned char>(1u << (t % 8));
    }
    simdata::wwnField(item, "switchPort", entry.fabricPortName);
    const std::uint32_t hard = simdata::portIdField(item, "hardAddress");
    entry.hardAddress[0] = static_cast<unsigned char>(hard >> 16);
    entry.hardAddress[1] = static_cast<unsigned char>(hard >> 8);
    entry.hardAddress[2] = static_cast<unsigned char>(hard);
    return entry;
}

std::uint32_t idOf(const NSEntry& entry) {
    return (entry.portId[0] << 16) | (entry.portId[1] << 8) | entry.portId[2];
}

bool hasFc4Type(const NSEntry& entry, unsigned int t) {
    return (entry.fc4Types[(t / 32) * 4 + 3 - (t % 32) / 8] >> (t % 8)) & 1u;
}

// The entries of the fabric, in port identifier order, read from the
// fabric file data once until a registration changes it.
const std::vector<NSEntry>& entriesOf(FabricEntry& fabric) {
    if (!fabric.nameServerEntries) {
        std::vector<NSEntry> entries;
        const auto list = fabric.source.find("nameServer");
        if (list != fabric.source.end() && list->is_array()) {
            for (const auto& item : *list) {
                entries.push_back(toEntry(item));
            }
        }
        std::sort(entries.begin(), entries.end(),
                  [](const NSEntry& a, const NSEntry& b) { return idOf(a) < idOf(b); });
        fabric.nameServerEntries = std::move(entries);
    }
    return *fabric.nameServerEntries;
}

template <class Match> const NSEntry* findEntry(const std::vector<NSEntry>& entries, Match match) {
    for (const auto& entry : entries) {
        if (match(entry)) {
            return &entry;
        }
    }
    return nullptr;
}

// The fabric file entry with this port identifier.
json* sourceEntry(FabricEntry& fabric, std::uint32_t id) {
    if (!fabric.source.contains("nameServer")) {
        return nullptr;
    }
    for (auto& item : fabric.source["nameServer"]) {
        if (simdata::portIdField(item, "portId") == id) {
            return &item;
        }
    }
    return nullptr;
}

// Fills the reply arm for `request`; false when nothing matches.
bool answer(CallContext& ctx, const NSRequestArgs& request, NSReply& reply) {
    const std::vector<NSEntry>& entries = entriesOf(ctx.fabric);
    auto& arm = reply.body.NSReplyBody_u;
    const std::uint32_t id =
        (request.portId[0] << 16) | (request.portId[1] << 8) | request.portId[2];
    const auto sameBytes = [](const unsigned char* a, const unsigned char* b, std::size_t n) {
        return std::memcmp(a, b, n) == 0;
    };
    const NSEntry* found = nullptr;
    switch (request.queryCode) {
    case 256: // GA_NXT: the next higher identifier, wrapping to the lowest
        found = findEntry(entries, [&](const NSEntry& e) { return idOf(e) > id; });
        if (found == nullptr && !entries.empty()) {
            found = &entries.front();
        }
        break;
    case 274:
    case 275:
    case 276:
    case 279:
    case 280:
    case 282:
    case 283:
    case 284:
    case 285:
    case 4097:
        found = findEntry(entries, [&](const NSEntry& e) { return idOf(e) == id; });
        break;
    case 289:
    case 299:
        found = findEntry(
            entries, [&](const NSEntry& e) { return sameBytes(e.portName, request.portName, 8); });
        break;
    case 309:
    case 310:
    case 313:
        found = findEntry(
            entries, [&](const NSEntry& e) { return sameBytes(e.nodeName, request.nodeName, 8); });
        break;
    case 339:
    case 342:
        found = findEntry(entries, [&](const NSEntry& e) {
            return sameBytes(e.nodeIpAddress, request.nodeIpAddress, 16);
        });
        break;
    case 433:
    case 434:
        found = findEntry(entries, [&](const NSEntry& e) {
            return sameBytes(e.portIpAddress, request.portIpAddress, 16);
        });
        break;
    case 257: { // GID_A: the ports of one domain
        std::vector<const NSEntry*> matches;
        for (const auto& e : entries) {
            if (e.portId[0] == request.scope) {
                matches.push_back(&e);
            }
        }
        auto* list = ctx.arena.array<NSPortAddress>(matches.size());
        for (std::size_t i = 0; i < matches.size(); ++i) {
            std::memcpy(list[i], matches[i]->portId, 3);
        }
        arm.addresses = {static_cast<u_int>(matches.size()), list};
        return !matches.empty();
    }
    case 305:
    case 369:
    case 417:
    case 370:
    case 371: {
        std::vector<const NSEntry*> matches;
        for (const auto& e : entries) {
            const bool match = request.queryCode == 305 ? sameBytes(e.nodeName, request.nodeName, 8)
                               : request.queryCode == 417 ? e.portType == request.portType
                                                          : hasFc4Type(e, request.fc4Type);
            if (match) {
                matches.push_back(&e);
            }
        }
        const bool names = request.queryCode == 370 || request.queryCode == 371;
        if (names) {
            auto* list = ctx.arena.array<NSPortNameEntry>(matches.size());
            for (std::size_t i = 0; i < matches.size(); ++i) {
                list[i].control = i + 1 == matches.size() ? 0x80 : 0;
                std::memcpy(list[i].portId, matches[i]->portId, 3);
                std::memcpy(list[i].name,
                            request.queryCode == 370 ? matches[i]->portName : matches[i]->nodeName,
                            8);
            }
            arm.portNames = {static_cast<u_int>(matches.size()), list};
        } else {
            // A faulty switch may leave the last entry unmarked.
            const bool marked = !ctx.fabric.source.value("unmarkedPortIdLists", false);
            auto* list = ctx.arena.array<NSPortIdEntry>(matches.size());
            for (std::size_t i = 0; i < matches.size(); ++i) {
                list[i].control = marked && i + 1 == matches.size() ? 0x80 : 0;
                std::memcpy(list[i].portId, matches[i]->portId, 3);
            }
            arm.portIds = {static_cast<u_int>(matches.size()), list};
        }
        return !matches.empty();
    }
    case 768: {
        auto* list = ctx.arena.array<NSPortListEntry>(entries.size());
        for (std::size_t i = 0; i < entries.size(); ++i) {
            list[i].portType = entries[i].portType;
            std::memcpy(list[i].portId, entries[i].portId, 3);
            std::memcpy(list[i].portName, entries[i].portName, 8);
            std::memcpy(list[i].nodeName, entries[i].nodeName, 8);
            std::memcpy(list[i].switchPortName, entries[i].fabricPortName, 8);
        }
        arm.ports = {static_cast<u_int>(entries.size()), list};
        return true;
    }
    case 536: { // RSPN_ID
        json* item = sourceEntry(ctx.fabric, id);
        if (item == nullptr || request.symbolicPortNameLength > 255) {
            return false;
        }
        (*item)["symbolicPortName"] =
            std::string(request.symbolicPortName, request.symbolicPortNameLength);
        ctx.fabric.nameServerEntries.reset(); // `entries` is not used again
        return true;
    }
    case 569: { // RSNN_NN: every entry of the node that the symbolic node name record names
        bool any = false;
        for (auto& item : ctx.fabric.source["nameServer"]) {
            unsigned char node[8];
            simdata::wwnField(item, "nodeName", node);
            if (sameBytes(node, request.symbolicNodeNameNode, 8)) {
                item["symbolicNodeName"] = std::string(
                    request.symbolicNodeName,
                    strnlen(request.symbolicNodeName, sizeof(request.symbolicNodeName)));
                any = true;
            }
        }
        ctx.fabric.nameServerEntries.reset(); // `entries` is not used again
        return any;
    }
    default:
        return true; // the envelope alone
    }
    if (found == nullptr) {
        return false;
    }
    arm.entry = *found;
    return true;
}

} // namespace

ProcedureResult nameServerRequest(CallContext& ctx, std::span<const char> args) {
    NSRequestArgs request;
    std::memset(&request, 0, sizeof(request));
    if (!decodeXdr(args, reinterpret_cast<xdrproc_t>(xdr_NSRequestArgs), &request)) {
        return {AcceptStatus::GarbageArguments, {}};
    }
    NSReply reply{};
    reply.message = ctx.arena.text("");
    reply.body.queryCode = request.queryCode;
    bool ok = false;
    try {
        ok = answer(ctx, request, reply);
    } catch (const std::exception&) {
        ok = false; // a fabric file value that does not parse
    }
    if (!ok) {
        reply.status = kNotFound;
        reply.message = ctx.arena.text("no such entry");
        reply.body.queryCode = 0; // nothing follows the envelope
    }
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_NSRequestArgs), reinterpret_cast<char*>(&request));
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_NSReply), &reply);
}
