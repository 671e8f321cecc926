// Name-server and fabric configuration server queries.
#include "connection/clilib_nameserver.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "connection/clilib_request.h"
#include "connection/clilib_trace.h"

using namespace clilib;

namespace {

struct NSReplyRelease {
    void operator()(NSReply* reply) const { freeNSReply(reply); }
};
using NSReplyPtr = std::unique_ptr<NSReply, NSReplyRelease>;

enum class ArgumentKind {
    PortId,
    Scope,
    PortName,
    NodeName,
    NodeIp,
    Fc4Type,
    PortType,
    PortIp,
    None
};

// Which argument a query takes; false for a code the name server does not
// take from us.
bool argumentKindOf(int code, ArgumentKind& kind) {
    switch (code) {
    case NS_GA_NXT:
    case NS_GPN_ID:
    case NS_GNN_ID:
    case NS_GCS_ID:
    case NS_GFT_ID:
    case NS_GSPN_ID:
    case NS_GPT_ID:
    case NS_GIPP_ID:
    case NS_GFPN_ID:
    case NS_GHA_ID:
    case NS_ENTRY_BY_PORT_ID:
        kind = ArgumentKind::PortId;
        return true;
    case NS_GID_A:
        kind = ArgumentKind::Scope;
        return true;
    case NS_GID_PN:
    case NS_GIPP_PN:
        kind = ArgumentKind::PortName;
        return true;
    case NS_GID_NN:
    case NS_GIP_NN:
    case NS_GIPA_NN:
    case NS_GSNN_NN:
        kind = ArgumentKind::NodeName;
        return true;
    case NS_GNN_IP:
    case NS_GIPA_IP:
        kind = ArgumentKind::NodeIp;
        return true;
    case NS_GID_FT:
    case NS_GPN_FT:
    case NS_GNN_FT:
        kind = ArgumentKind::Fc4Type;
        return true;
    case NS_GID_PT:
        kind = ArgumentKind::PortType;
        return true;
    case NS_GID_IPP:
    case NS_GPN_IPP:
        kind = ArgumentKind::PortIp;
        return true;
    case NS_PORT_LIST:
        kind = ArgumentKind::None;
        return true;
    default:
        return false;
    }
}

bool takesBytes(ArgumentKind kind) {
    return kind == ArgumentKind::PortName || kind == ArgumentKind::NodeName ||
           kind == ArgumentKind::NodeIp || kind == ArgumentKind::PortIp;
}

// A port identifier as three bytes, domain first.
void putPortId(unsigned char (&out)[3], unsigned int portId) {
    out[0] = static_cast<unsigned char>(portId >> 16);
    out[1] = static_cast<unsigned char>(portId >> 8);
    out[2] = static_cast<unsigned char>(portId);
}

int portIdValue(const unsigned char (&id)[3]) {
    return (id[0] << 16) | (id[1] << 8) | id[2];
}

// A typed byte block holding `size` bytes from `data`.
int copyBytes(const void* data, std::size_t size, void** result) {
    void* block = allocApiBytes(size);
    if (block == nullptr) {
        return REQ_ERR_NO_MEMORY;
    }
    std::memcpy(block, data, size);
    *result = block;
    return 0;
}

template <class T> int copyValue(const T& value, void** result) {
    return copyBytes(&value, sizeof(T), result);
}

// The length byte of a symbolic name with its text, bounded by the field.
template <std::size_t N>
std::size_t copySymbolicName(char* out, unsigned char length, const char (&field)[N]) {
    const std::size_t n = std::min<std::size_t>(length, N);
    std::memcpy(out, field, n);
    out[n] = '\0';
    return n;
}

void toEntry(const NSEntry& in, NameServerEntry& out) {
    std::memset(&out, 0, sizeof(out));
    out.portType = in.portType;
    out.portId = portIdValue(in.portId);
    std::memcpy(out.portName, in.portName, 8);
    out.symbolicPortNameLength = static_cast<int>(
        copySymbolicName(out.symbolicPortName, in.symbolicPortNameLength, in.symbolicPortName));
    std::memcpy(out.nodeName, in.nodeName, 8);
    out.symbolicNodeNameLength = static_cast<int>(
        copySymbolicName(out.symbolicNodeName, in.symbolicNodeNameLength, in.symbolicNodeName));
    std::memcpy(out.initialProcessAssociator, in.initialProcessAssociator, 8);
    std::memcpy(out.nodeIpAddress, in.nodeIpAddress, 16);
    out.classOfService = static_cast<int>(in.classOfService);
    std::memcpy(out.fc4Types, in.fc4Types, 32);
    std::memcpy(out.portIpAddress, in.portIpAddress, 16);
    std::memcpy(out.fabricPortName, in.fabricPortName, 8);
    out.hardAddress = portIdValue(in.hardAddress);
}

// GSPN_ID, GSNN_NN: no result for an empty name.
template <std::size_t N>
int symbolicNameResult(unsigned char length, const char (&field)[N], void** result) {
    if (length == 0) {
        return 0;
    }
    SymbolicName name{};
    name.length = static_cast<int>(copySymbolicName(name.text, length, field));
    return copyValue(name, result);
}

// A list of `count` converted elements in one byte block; none for an
// empty list.
template <class Out, class In, class Convert>
int listResult(const In* elements, unsigned int count, Convert convert, void** result) {
    if (count == 0) {
        return 0;
    }
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(static_cast<std::size_t>(count), sizeof(Out), &bytes)) {
        return REQ_ERR_NO_MEMORY;
    }
    auto* out = static_cast<Out*>(allocApiBytes(bytes));
    if (out == nullptr) {
        return REQ_ERR_NO_MEMORY;
    }
    for (unsigned int i = 0; i < count; ++i) {
        out[i] = convert(elements[i]);
    }
    *result = out;
    return 0;
}

int convertReply(int code, const NSReplyBody& body, void** result) {
    const auto& arm = body.NSReplyBody_u;
    const NSEntry& entry = arm.entry;
    switch (code) {
    case NS_GA_NXT:
    case NS_ENTRY_BY_PORT_ID: {
        NameServerEntry out;
        toEntry(entry, out);
        return copyValue(out, result);
    }
    case NS_GID_A: {
        const unsigned int count = arm.addresses.addresses_len;
        return listResult<std::array<unsigned char, 3>>(
            arm.addresses.addresses_val, count,
            [](const NSPortAddress& a) {
                return std::array<unsigned char, 3>{a[0], a[1], a[2]};
            },
            result);
    }
    case NS_GPN_ID:
    case NS_GPN_IPP:
        return copyBytes(entry.portName, 8, result);
    case NS_GNN_ID:
    case NS_GNN_IP:
        return copyBytes(entry.nodeName, 8, result);
    case NS_GCS_ID:
        return copyValue(entry.classOfService, result);
    case NS_GFT_ID:
        return copyBytes(entry.fc4Types, 32, result);
    case NS_GSPN_ID:
        return symbolicNameResult(entry.symbolicPortNameLength, entry.symbolicPortName, result);
    case NS_GPT_ID:
        return copyBytes(&entry.portType, 1, result);
    case NS_GIPP_ID:
    case NS_GIPP_PN:
        return copyBytes(entry.portIpAddress, 16, result);
    case NS_GFPN_ID:
        return copyBytes(entry.fabricPortName, 8, result);
    case NS_GHA_ID:
        return copyValue(portIdValue(entry.hardAddress), result);
    case NS_GID_PN:
    case NS_GID_IPP:
        return copyValue(portIdValue(entry.portId), result);
    case NS_GID_NN:
    case NS_GID_FT:
    case NS_GID_PT:
        return listResult<NameServerPortId>(
            arm.portIds.portIds_val, arm.portIds.portIds_len,
            [](const NSPortIdEntry& e) {
                return NameServerPortId{e.control, portIdValue(e.portId)};
            },
            result);
    case NS_GIP_NN:
        return copyBytes(entry.nodeIpAddress, 16, result);
    case NS_GIPA_NN:
    case NS_GIPA_IP:
        return copyBytes(entry.initialProcessAssociator, 8, result);
    case NS_GSNN_NN:
        return symbolicNameResult(entry.symbolicNodeNameLength, entry.symbolicNodeName, result);
    case NS_GPN_FT:
    case NS_GNN_FT:
        return listResult<NameServerPortName>(
            arm.portNames.portNames_val, arm.portNames.portNames_len,
            [](const NSPortNameEntry& e) {
                NameServerPortName out{e.control, portIdValue(e.portId), {}};
                std::memcpy(out.name, e.name, 8);
                return out;
            },
            result);
    case NS_PORT_LIST: {
        const unsigned int count = arm.ports.ports_len;
        void* block = allocApiRecord(ApiRecordPortList, count);
        if (block == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        if (count > 0) {
            std::memcpy(static_cast<char*>(block) + sizeof(std::uint32_t), arm.ports.ports_val,
                        count * sizeof(NSPortListEntry));
        }
        *result = block;
        return 0;
    }
    default:
        return 0;
    }
}

int sendNameServer(SessionContext* ctx, const NSRequestArgs& args, NSReplyPtr& reply) {
    NSReply* raw = nullptr;
    const int status = sendNSSvrRequest(ctx, &args, &raw);
    reply.reset(raw);
    return status;
}

NSRequestArgs newNameServerRequest(int code) {
    NSRequestArgs args;
    std::memset(&args, 0, sizeof(args));
    args.queryCode = code;
    return args;
}

} // namespace

int NSSvrRequest(SessionContext* ctx, int code, const NameServerArgument& argument,
                 unsigned char byteArgument, void** result) {
    ClilibTrace trace("NSSvrRequest");
    if (ctx == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    ArgumentKind kind;
    if (!argumentKindOf(code, kind) || (takesBytes(kind) && argument.bytes == nullptr)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    NSRequestArgs args = newNameServerRequest(code);
    switch (kind) {
    case ArgumentKind::PortId:
        putPortId(args.portId, argument.portId);
        break;
    case ArgumentKind::Scope:
        args.scope = byteArgument;
        break;
    case ArgumentKind::PortName:
        std::memcpy(args.portName, argument.bytes, sizeof(args.portName));
        break;
    case ArgumentKind::NodeName:
        std::memcpy(args.nodeName, argument.bytes, sizeof(args.nodeName));
        break;
    case ArgumentKind::NodeIp:
        std::memcpy(args.nodeIpAddress, argument.bytes, sizeof(args.nodeIpAddress));
        break;
    case ArgumentKind::Fc4Type:
        args.fc4Type = byteArgument;
        break;
    case ArgumentKind::PortType:
        args.portType = byteArgument;
        break;
    case ArgumentKind::PortIp:
        std::memcpy(args.portIpAddress, argument.bytes, sizeof(args.portIpAddress));
        break;
    case ArgumentKind::None:
        break;
    }
    NSReplyPtr reply;
    const int status = sendNameServer(ctx, args, reply);
    if (status != 0) {
        return status;
    }
    return convertReply(code, reply->body, result);
}

int snsRequest(SessionContext* ctx, int code, const void* argument, void** result) {
    if (ctx == nullptr || result == nullptr || (argument == nullptr && code != NS_GA_NXT)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    NameServerArgument value;
    ArgumentKind kind;
    if (argument != nullptr && argumentKindOf(code, kind)) {
        if (kind == ArgumentKind::PortId) {
            std::memcpy(&value.portId, argument, sizeof(value.portId));
        } else {
            value.bytes = static_cast<const unsigned char*>(argument);
        }
    }
    return NSSvrRequest(ctx, code, value, 0, result);
}

namespace {

template <class T> int forward(SessionContext* ctx, int code, const void* argument, T** result) {
    if (ctx == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    void* block = nullptr;
    const int status = snsRequest(ctx, code, argument, &block);
    *result = static_cast<T*>(block);
    return status;
}

} // namespace

int snsGetNextEntry(SessionContext* ctx, unsigned int portId, NameServerEntry** result) {
    return forward(ctx, NS_GA_NXT, &portId, result);
}

int snsGetEntryByPortID(SessionContext* ctx, unsigned int portId, NameServerEntry** result) {
    return forward(ctx, NS_ENTRY_BY_PORT_ID, &portId, result);
}

int snsGetPortName(SessionContext* ctx, unsigned int portId, unsigned char** portName) {
    return forward(ctx, NS_GPN_ID, &portId, portName);
}

int snsGetPortIDByPortName(SessionContext* ctx, const unsigned char portName[8], int** portId) {
    return forward(ctx, NS_GID_PN, portName, portId);
}

int snsGetPortIDsByNodeName(SessionContext* ctx, const unsigned char nodeName[8],
                            NameServerPortId** portIds) {
    return forward(ctx, NS_GID_NN, nodeName, portIds);
}

int snsGetSymbolicNodeName(SessionContext* ctx, const unsigned char nodeName[8],
                           SymbolicName** name) {
    return forward(ctx, NS_GSNN_NN, nodeName, name);
}

int snsGetEntryList768(SessionContext* ctx, int* count, NSPortListEntry** entries) {
    if (ctx == nullptr || count == nullptr || entries == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *count = 0;
    *entries = nullptr;
    void* block = nullptr;
    const int status = NSSvrRequest(ctx, NS_PORT_LIST, {}, 0, &block);
    if (status != 0 || block == nullptr) {
        return status;
    }
    const auto entryCount = *static_cast<std::uint32_t*>(block);
    if (entryCount == 0) {
        freeApiRecord(block); // nothing to hand out
        return 0;
    }
    *count = static_cast<int>(entryCount);
    *entries =
        reinterpret_cast<NSPortListEntry*>(static_cast<char*>(block) + sizeof(std::uint32_t));
    return 0;
}

void freeEntryList768(NSPortListEntry* entries) {
    if (entries != nullptr) {
        freeApiRecord(reinterpret_cast<char*>(entries) - sizeof(std::uint32_t));
    }
}

int snsSetSPN(SessionContext* ctx, unsigned int portId, const char* text, std::size_t length) {
    if (ctx == nullptr || text == nullptr || length > SymbolicNameMax) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    NSRequestArgs args = newNameServerRequest(NS_RSPN_ID);
    putPortId(args.portId, portId);
    args.symbolicPortNameLength = static_cast<unsigned int>(length);
    std::memcpy(args.symbolicPortName, text, length);
    NSReplyPtr reply;
    return sendNameServer(ctx, args, reply);
}

int snsSetSNN(SessionContext* ctx, const unsigned char nodeName[8], const char* text,
              std::size_t length) {
    if (ctx == nullptr || nodeName == nullptr || text == nullptr || length > SymbolicNameMax) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    NSRequestArgs args = newNameServerRequest(NS_RSNN_NN);
    // The node goes in the node-name field, as in every request about a
    // node, and again in the symbolic-node-name record.
    std::memcpy(args.nodeName, nodeName, 8);
    std::memcpy(args.symbolicNodeNameNode, nodeName, 8);
    std::memcpy(args.symbolicNodeName, text, length);
    NSReplyPtr reply;
    return sendNameServer(ctx, args, reply);
}

// --- Fabric configuration server ------------------------------------------

int sendFCSQuery(SessionContext* ctx, int code, const FCSQueryArgs* query, const char* text,
                 FCSQueryResult* out) {
    if (ctx == nullptr || out == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *out = FCSQueryResult{};
    char empty[] = "";
    MSRequestArgs args = newRequest(code);
    auto& fcs = args.MSRequestArgs_u.fcsQuery;
    if (query != nullptr) {
        fcs = *query;
    }
    fcs.text = const_cast<char*>(text != nullptr ? text : empty); // encoding only reads it
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        try {
            switch (code) {
            case FCS_GIEL:
            case FCS_GPL:
            case FCS_GAPNL:
                out->elements.assign(arm.elements.elements_val,
                                     arm.elements.elements_val + arm.elements.elements_len);
                break;
            case FCS_GIET:
            case FCS_GMID:
            case FCS_GPT:
            case FCS_GPPN:
                out->value = arm.number;
                break;
            case FCS_GDID:
                std::memcpy(out->bytes, arm.domainId, sizeof(arm.domainId));
                break;
            case FCS_GFN:
                std::memcpy(out->bytes, arm.fabricName, sizeof(arm.fabricName));
                break;
            case FCS_GPS:
                std::memcpy(out->bytes, arm.portState, sizeof(arm.portState));
                break;
            case FCS_GIELN:
                std::memcpy(out->bytes, arm.logicalName, sizeof(arm.logicalName));
                break;
            case FCS_GMAL: {
                const auto& list = arm.managementAddresses;
                out->value = list.value;
                for (unsigned int i = 0; i < list.addresses.addresses_len; ++i) {
                    const char* address = list.addresses.addresses_val[i];
                    out->addresses.emplace_back(address, address + sizeof(ManagementAddress));
                }
                break;
            }
            case FCS_GIEIL: {
                const auto& info = arm.elementInfo;
                std::memcpy(&out->firstWord, info.text, sizeof(info.text));
                reinterpret_cast<char*>(&out->firstWord)[3] = info.value;
                out->data.assign(info.data.data_val, info.data.data_val + info.data.data_len);
                break;
            }
            default:
                break;
            }
        } catch (const std::bad_alloc&) {
            return REQ_ERR_NO_MEMORY;
        }
        return 0;
    });
}

namespace {

FCSQueryArgs namedQuery(const unsigned char* name) {
    FCSQueryArgs args;
    std::memset(&args, 0, sizeof(args));
    copyName(args.switchName, name);
    return args;
}

// A holder block (type 3 or 12) of `count` converted entries in a block of
// their own (type 4 or 11); no entry block for an empty list.
template <class Entry, class Convert>
int holderResult(std::uint32_t holderType, std::uint32_t entryType,
                 const std::vector<ElementEntry>& elements, Convert convert, void** result) {
    auto* holder = static_cast<ApiBlockHolder*>(allocApiRecord(holderType, 1));
    if (holder == nullptr) {
        return REQ_ERR_NO_MEMORY;
    }
    const auto count = static_cast<std::uint32_t>(elements.size());
    holder->count = count;
    if (count > 0) {
        auto* entries = static_cast<Entry*>(allocApiRecord(entryType, count));
        if (entries == nullptr) {
            freeApiRecord(holder);
            return REQ_ERR_NO_MEMORY;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            entries[i] = convert(elements[i]);
        }
        holder->block = entries;
    }
    *result = holder;
    return 0;
}

// A one-integer block of `type` (raw bytes count in bytes).
int intResult(std::uint32_t type, int value, int** result) {
    const std::uint32_t count = type == ApiRecordBytes ? sizeof(int) : 1;
    auto* block = static_cast<int*>(allocApiRecord(type, count));
    if (block == nullptr) {
        return REQ_ERR_NO_MEMORY;
    }
    *block = value;
    *result = block;
    return 0;
}

// Sends `code` naming `name` (or nothing) into `reply`; checks the result
// pointer first and clears it.
template <class T>
int fcsQuery(SessionContext* ctx, int code, const unsigned char* name, T** result,
             FCSQueryResult& reply) {
    if (ctx == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    if (name == nullptr) {
        return sendFCSQuery(ctx, code, nullptr, nullptr, &reply);
    }
    const FCSQueryArgs args = namedQuery(name);
    return sendFCSQuery(ctx, code, &args, nullptr, &reply);
}

FabricElement toFabricElement(const ElementEntry& entry) {
    FabricElement out{};
    std::memcpy(out.name, entry.name, 8);
    out.type = static_cast<int>(entry.value & 0xFF);
    return out;
}

int elementList(SessionContext* ctx, int code, const unsigned char* name,
                FabricElementList** result) {
    FCSQueryResult reply;
    int status = fcsQuery(ctx, code, name, result, reply);
    if (status != 0) {
        return status;
    }
    void* block = nullptr;
    status = holderResult<FabricElement>(3, 4, reply.elements, toFabricElement, &block);
    *result = static_cast<FabricElementList*>(block);
    return status;
}

int intQuery(SessionContext* ctx, int code, const unsigned char* name, std::uint32_t type,
             int (*pick)(const FCSQueryResult&), int** result) {
    if (name == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    FCSQueryResult reply;
    const int status = fcsQuery(ctx, code, name, result, reply);
    if (status != 0) {
        return status;
    }
    return intResult(type, pick(reply), result);
}

int pickValue(const FCSQueryResult& reply) {
    return static_cast<int>(reply.value);
}

} // namespace

int getInterconnectElementList(SessionContext* ctx, FabricElementList** result) {
    return elementList(ctx, FCS_GIEL, nullptr, result);
}

int getPortList(SessionContext* ctx, const unsigned char switchName[8],
                FabricElementList** result) {
    if (switchName == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    return elementList(ctx, FCS_GPL, switchName, result);
}

int getAttachedPortNameList(SessionContext* ctx, const unsigned char portName[8],
                            AttachedPortNameList** result) {
    if (portName == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    FCSQueryResult reply;
    int status = fcsQuery(ctx, FCS_GAPNL, portName, result, reply);
    if (status != 0) {
        return status;
    }
    void* block = nullptr;
    status = holderResult<AttachedPortName>(
        12, 11, reply.elements,
        [](const ElementEntry& entry) {
            AttachedPortName out{};
            std::memcpy(out.name, entry.name, 8);
            out.flags = static_cast<unsigned char>(entry.value >> 8);
            out.portType = static_cast<int>(entry.value & 0xFF);
            return out;
        },
        &block);
    *result = static_cast<AttachedPortNameList*>(block);
    return status;
}

int getDomainID(SessionContext* ctx, const unsigned char switchName[8], int** domainId) {
    return intQuery(
        ctx, FCS_GDID, switchName, ApiRecordBytes,
        [](const FCSQueryResult& reply) { return static_cast<int>(reply.bytes[1]); }, domainId);
}

int getPortType(SessionContext* ctx, const unsigned char portName[8], int** portType) {
    return intQuery(ctx, FCS_GPT, portName, 10, pickValue, portType);
}

int getPhysicalPortNumber(SessionContext* ctx, const unsigned char portName[8], int** number) {
    return intQuery(ctx, FCS_GPPN, portName, ApiRecordBytes, pickValue, number);
}

int getPortState(SessionContext* ctx, const unsigned char portName[8], int** state) {
    return intQuery(
        ctx, FCS_GPS, portName, 13,
        [](const FCSQueryResult& reply) {
            unsigned int words[2];
            std::memcpy(words, reply.bytes, sizeof(words));
            return static_cast<int>(words[1]);
        },
        state);
}

int getManagementID(SessionContext* ctx, const unsigned char switchName[8], int** id) {
    return intQuery(ctx, FCS_GMID, switchName, ApiRecordBytes, pickValue, id);
}

int getInterconnectElementLogicalName(SessionContext* ctx, const unsigned char switchName[8],
                                      char** name) {
    if (switchName == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    FCSQueryResult reply;
    const int status = fcsQuery(ctx, FCS_GIELN, switchName, name, reply);
    if (status != 0) {
        return status;
    }
    // The length byte is unsigned; the text cannot run past the 256 bytes.
    const std::size_t length = std::min<std::size_t>(reply.bytes[0], sizeof(reply.bytes) - 1);
    auto* text = static_cast<char*>(allocApiBytes(length + 1));
    if (text == nullptr) {
        return REQ_ERR_NO_MEMORY;
    }
    std::memcpy(text, reply.bytes + 1, length);
    text[length] = '\0';
    *name = text;
    return 0;
}
