// The reading side of the 2.2 level: object names, the members of one
// object, whole object lists in the defined and the active view, and the
// typing of zone member texts.
#include <cctype>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <unordered_set>

#include "connection/clilib_nameserver.h"
#include "zoning/UDAL_ZoningAccess_2_2_Impl.h"
#include "zoning/ZoningArguments.h"
#include "zoning/ZoningResultVector.h"
#include "zoning/ZoningRpc.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "..\\zoning\\UDAL_ZoningAccess_2_2_Impl";
constexpr char kAllNames[] = "GetAllZoningObjectNames";

// Member type bits.
constexpr int kFormHost = 0x1;
constexpr int kFormBracket = 0x2;
constexpr int kFormParenthesis = 0x4;
constexpr int kPortPair = 0x8;
constexpr int kKnownPort = 0x10;
constexpr int kKnownNode = 0x20;
constexpr int kUnknownName = 0x80;
constexpr int kUntypedName = 0x100;
constexpr int kAliasMember = 0x1000;

std::string flags(const char* first, ZoningFlag a, const char* second, ZoningFlag b) {
    return std::string(first) + flagText(a) + second + flagText(b);
}

// Whether the text starts as "%d,%d" reads it: two decimal numbers with a
// comma between them.
bool readsAsPortPair(const std::string& text) {
    std::size_t pos = 0;
    const auto number = [&] {
        while (pos < text.size() && std::isspace(static_cast<unsigned char>(text[pos]))) {
            ++pos;
        }
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        const std::size_t digits = pos;
        while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
            ++pos;
        }
        return pos > digits;
    };
    if (!number() || pos >= text.size() || text[pos] != ',') {
        return false;
    }
    ++pos;
    return number();
}

// The name inside a member text and the bit of its form.
struct MemberForm {
    std::string name;
    int bits = 0;
};

MemberForm splitForm(const std::string& text) {
    const auto open = text.find('(');
    if (open != std::string::npos && text.find(')') != std::string::npos) {
        return {text.substr(0, open), kFormParenthesis};
    }
    const auto host = text.find("H{");
    if (host != std::string::npos) {
        const auto end = text.find('}', host + 2);
        if (end != std::string::npos) {
            return {text.substr(host + 2, end - host - 2), kFormHost};
        }
    }
    const auto bracket = text.find('[');
    if (bracket != std::string::npos && text.find(']') != std::string::npos) {
        return {text.substr(0, bracket), kFormBracket};
    }
    return {text, 0};
}

std::unique_ptr<char[]> nameCopy(const char* name) {
    return std::unique_ptr<char[]>(copyZoningText(name != nullptr ? name : ""));
}

bool namesContain(const ZoningNamesReply& reply, const char* name) {
    for (u_int i = 0; i < reply.names.names_len; ++i) {
        const char* listed = reply.names.names_val[i];
        if (listed != nullptr && std::strcmp(listed, name) == 0) {
            return true;
        }
    }
    return false;
}

} // namespace

int UDAL_ZoningAccess_2_2_Impl::ZoningMemberObjectGetType(const char* member, ZoningFlag typing,
                                                          ZoningFlag active) {
    constexpr char kOperation[] = "ZoningMemberObjectGetType";
    requireArgument(member != nullptr, kOperation);
    requireFlag(typing, kOperation);
    requireFlag(active, kOperation);
    const ZoningTrace trace("ZoningMemberObjectGetType Version 2.2", kSource);
    trace.enter(std::string("ZoningMemberObjectName=") + member +
                flags(" Typing=", typing, " Active=", active));
    const int type = memberObjectGetType(member, typing, active);
    trace.exit("MemberType=" + std::to_string(type));
    return type;
}

int UDAL_ZoningAccess_2_2_Impl::memberObjectGetType(const char* member, ZoningFlag typing,
                                                    ZoningFlag active) try {
    constexpr char kOperation[] = "memberObjectGetType";
    requireArgument(member != nullptr, kOperation);
    const ZoningTrace trace("memberObjectGetType Version 2.2", kSource);
    trace.enter(std::string("MemberName=") + member +
                flags(" Typing=", typing, " Active=", active));
    const MemberForm form = splitForm(member);
    int type = form.bits;
    unsigned char wwn[8] = {};
    if (readsAsPortPair(form.name)) {
        type |= kPortPair;
    } else if (parseWorldWideName(form.name.c_str(), wwn) >= 1) {
        if (typing != 1) {
            type |= kUntypedName;
        } else if (nameServerKnows(NS_GID_PN, wwn, kOperation)) {
            type |= kKnownPort;
        } else {
            type |= nameServerKnows(NS_GSNN_NN, wwn, kOperation) ? kKnownNode : kUnknownName;
        }
    }
    trace.exit("MemberType=" + std::to_string(type));
    return type;
} catch (const std::bad_alloc&) {
    throwNoMemory("memberObjectGetType");
}

bool UDAL_ZoningAccess_2_2_Impl::nameServerKnows(int query, const unsigned char wwn[8],
                                                 const char* operation) {
    // Only the query code and the name it asks about are set.
    NSRequestArgs request{};
    request.queryCode = query;
    std::memcpy(query == NS_GID_PN ? request.portName : request.nodeName, wwn, 8);
    ZoningReply reply(rpc(operation).rpcNSSvrRequest(&request));
    requireReply(reply, operation);
    return reply->status == 0;
}

std::string UDAL_ZoningAccess_2_2_Impl::activeZoneSetName(const char* operation) {
    ZoningReply reply(rpc(operation).rpcGetActiveZoningConfig());
    requireReply(reply, operation);
    const int status = reply->status;
    std::string name = reply->text != nullptr ? reply->text : "";
    reply.release();
    throwOnSwitchStatus(status, operation);
    return name;
}

ZoningNameList* UDAL_ZoningAccess_2_2_Impl::objectMembers(int type, const char* name,
                                                          const char* operation) {
    const ZoningObjectArgs request{type, const_cast<char*>(name), const_cast<char*>("")};
    ZoningReply reply(rpc(operation).rpcZoningGetObjectMembers(&request));
    requireReply(reply, operation);
    throwOnSwitchStatus(reply->status, operation);
    return processResponse(&*reply);
}

ZoningNameList* UDAL_ZoningAccess_2_2_Impl::zoneSetMembers(const char* name,
                                                           const char* operation) {
    const ZoningObjectArgs request{ZONING_TYPE_ZONE_SET, const_cast<char*>(name),
                                   const_cast<char*>("")};
    ZoningReply reply(rpc(operation).rpcZoningGetObjectMembers(&request));
    requireReply(reply, operation);
    throwOnSwitchStatus(reply->status, operation);
    if (reply->names.names_len == 0) {
        return new ZoningNameList();
    }
    return processResponse(&*reply);
}

ZoningNameList* UDAL_ZoningAccess_2_2_Impl::optionalNameList(int type, const char* operation) {
    ZoningReply reply(rpc(operation).rpcZoningGetObjectNames(type));
    if (!reply || reply->status != 0 || reply->names.names_len == 0) {
        return nullptr;
    }
    try {
        return processResponse(&*reply);
    } catch (const UDAL_ZoningException& e) {
        if (e.getCode() == ZONING_ERR_NO_MEMORY) {
            throw;
        }
        return nullptr;
    }
}

std::vector<char*>* UDAL_ZoningAccess_2_2_Impl::namesOfType(int type, const char* operation) {
    ZoningReply reply(rpc(operation).rpcZoningGetObjectNames(type));
    requireReply(reply, operation);
    throwOnSwitchStatus(reply->status, operation);
    if (reply->names.names_len == 0) {
        return nullptr;
    }
    ZoningResultVector<char*> result(*this);
    for (u_int i = 0; i < reply->names.names_len; ++i) {
        result.add(nameCopy(reply->names.names_val[i]));
    }
    return result.release();
}

void UDAL_ZoningAccess_2_2_Impl::appendNamesOfTypes(std::vector<char*>& names,
                                                    std::initializer_list<int> types,
                                                    const char* operation) {
    for (int type : types) {
        ZoningReply reply(rpc(operation).rpcZoningGetObjectNames(type));
        if (!reply || reply->status != 0) {
            continue;
        }
        for (u_int i = 0; i < reply->names.names_len; ++i) {
            appendOwned(names, nameCopy(reply->names.names_val[i]));
        }
    }
}

void UDAL_ZoningAccess_2_2_Impl::appendDefinedEntries(std::vector<ZoningObjectEntry*>& entries,
                                                      int type, const char* operation) {
    ZoningReply reply(rpc(operation).rpcZoningGetObjectNames(type));
    requireReply(reply, operation);
    throwOnSwitchStatus(reply->status, operation);
    OwnedNameList names(processResponse(&*reply));
    reply.release();
    for (const char* name : *names) {
        appendOwned(entries, std::make_unique<ZoningObjectEntry>(name, type, nullptr, 0));
    }
}

std::vector<char*>* UDAL_ZoningAccess_2_2_Impl::GetZoningObjectNames(int type,
                                                                     ZoningFlag active) try {
    constexpr char kOperation[] = "GetZoningObjectNames";
    requireArgument(isNameListType(type), kOperation);
    requireFlag(active, kOperation);
    const ZoningTrace trace("GetZoningObjectNames Version 2.2", kSource);
    trace.enter("ZoningObjectType=" + std::to_string(type) + " Active=" + flagText(active));
    refuseActiveAliases(type, active, ZONING_ERR_NOTHING_FOUND, kOperation);
    std::vector<char*>* names = nullptr;
    if (active == 1) {
        names = activeObjectNames(type, type == 1 || type == 8 ? kAllNames : kOperation);
    } else if (type != ZONING_TYPE_ALL) {
        names = namesOfType(type, kOperation);
    } else {
        ZoningResultVector<char*> result(*this);
        appendNamesOfTypes(*result, {1, 2, 3, 4, 5, 6, 7}, kOperation);
        if (result.empty()) {
            throw UDAL_ZoningException(ZONING_ERR_NOTHING_FOUND, kOperation);
        }
        names = result.release();
    }
    trace.exit();
    return names;
} catch (const std::bad_alloc&) {
    throwNoMemory(active == 1 && (type == 1 || type == 8) ? kAllNames : "GetZoningObjectNames");
}

// The names of the active view: the active zone set (type 1), the members
// of the active zone set that are objects of the type (2, 4, 6), or both
// (8: the set first, then its members of the zone types 2, 4, 5, 6, 7).
std::vector<char*>* UDAL_ZoningAccess_2_2_Impl::activeObjectNames(int type, const char* operation) {
    const std::string zoneSetName = activeZoneSetName(operation);
    ZoningResultVector<char*> result(*this);
    if (type == ZONING_TYPE_ZONE_SET) {
        result.add(nameCopy(zoneSetName.c_str()));
        return result.release();
    }
    const ZoningObjectArgs request{ZONING_TYPE_ZONE_SET, const_cast<char*>(zoneSetName.c_str()),
                                   const_cast<char*>("")};
    ZoningReply setMembers(rpc(operation).rpcZoningGetObjectMembers(&request));
    requireReply(setMembers, operation);
    std::unordered_set<std::string_view> typed;
    std::vector<ZoningReply<ZoningNamesReply>> lists;
    if (type == ZONING_TYPE_ALL) {
        throwOnSwitchStatus(setMembers->status, operation);
        result.add(nameCopy(zoneSetName.c_str()));
        lists.reserve(5);
        for (int each : {2, 4, 5, 6, 7}) {
            lists.emplace_back(rpc(operation).rpcZoningGetObjectNames(each));
        }
    } else {
        lists.emplace_back(rpc(operation).rpcZoningGetObjectNames(type));
        requireReply(lists.back(), operation);
        if (lists.back()->status != 0 || setMembers->status != 0) {
            return nullptr;
        }
    }
    for (const auto& list : lists) {
        if (list && list->status == 0) {
            for (u_int i = 0; i < list->names.names_len; ++i) {
                if (list->names.names_val[i] != nullptr) {
                    typed.insert(list->names.names_val[i]);
                }
            }
        }
    }
    for (u_int i = 0; setMembers->status == 0 && i < setMembers->names.names_len; ++i) {
        const char* member = setMembers->names.names_val[i];
        if (member != nullptr && typed.contains(member)) {
            result.add(nameCopy(member));
        }
    }
    if (result.empty()) {
        if (type == ZONING_TYPE_ALL) {
            throw UDAL_ZoningException(ZONING_ERR_NOTHING_FOUND, operation);
        }
        return nullptr;
    }
    return result.release();
}

std::vector<ZoningNameEntry*>*
UDAL_ZoningAccess_2_2_Impl::GetZoningObjectMembers(const char* name, int type, ZoningFlag active,
                                                   ZoningFlag typing) try {
    constexpr char kOperation[] = "GetZoningObjectMembers";
    requireArgument(name != nullptr && isMemberListType(type), kOperation);
    requireFlags(active, typing, kOperation);
    const ZoningTrace trace("GetZoningObjectMembers Version 2.2", kSource);
    trace.enter(nameAndTypeText(name, std::to_string(type)) +
                flags(" Active=", active, " Typing=", typing));
    requireNameFits(name, ZoningNameMax, kOperation);
    refuseActiveAliases(type, active, ZONING_ERR_NOT_ACTIVE, kOperation);
    if (active == 1) {
        const std::string zoneSetName = activeZoneSetName(kOperation);
        bool inActiveView = zoneSetName == name;
        if (type != ZONING_TYPE_ZONE_SET) {
            const ZoningObjectArgs request{ZONING_TYPE_ZONE_SET,
                                           const_cast<char*>(zoneSetName.c_str()),
                                           const_cast<char*>("")};
            ZoningReply setMembers(rpc(kOperation).rpcZoningGetObjectMembers(&request));
            requireReply(setMembers, kOperation);
            throwOnSwitchStatus(setMembers->status, kOperation);
            inActiveView = namesContain(*setMembers, name);
        }
        if (!inActiveView) {
            throw UDAL_ZoningException(ZONING_ERR_NOT_ACTIVE, kOperation);
        }
    }
    OwnedNameList members(type == ZONING_TYPE_ZONE_SET ? zoneSetMembers(name, kOperation)
                                                       : objectMembers(type, name, kOperation));
    OwnedNameList zones, qlZones, faZones, aliases;
    if (type == ZONING_TYPE_ZONE_SET) {
        zones.reset(optionalNameList(ZONING_TYPE_ZONE, kOperation));
        qlZones.reset(optionalNameList(ZONING_TYPE_QL_ZONE, kOperation));
        faZones.reset(optionalNameList(ZONING_TYPE_FA_ZONE, kOperation));
    } else if (isZoneKind(type)) {
        aliases.reset(optionalNameList(ZONING_TYPE_ALIAS, kOperation));
    }
    ZoningResultVector<ZoningNameEntry*> result(*this);
    for (const char* member : *members) {
        int memberType = 0;
        if (type == ZONING_TYPE_ZONE_SET) {
            memberType = nameListContains(member, zones.get())     ? 0x200
                         : nameListContains(member, qlZones.get()) ? 0x400
                         : nameListContains(member, faZones.get()) ? 0x800
                                                                   : 0;
        } else if (type == ZONING_TYPE_PRO_ZONE) {
            memberType = 0;
        } else if (nameListContains(member, aliases.get())) {
            memberType = kAliasMember;
        } else {
            memberType = memberObjectGetType(member, typing, active);
        }
        if (active == 1 && (memberType & kAliasMember) != 0) {
            appendAliasMembers(*result, member, typing, active, kOperation);
        } else {
            result.add(std::make_unique<ZoningNameEntry>(member, memberType));
        }
    }
    trace.exit();
    return result.release();
} catch (const std::bad_alloc&) {
    throwNoMemory("GetZoningObjectMembers");
}

void UDAL_ZoningAccess_2_2_Impl::appendAliasMembers(std::vector<ZoningNameEntry*>& result,
                                                    const char* alias, ZoningFlag typing,
                                                    ZoningFlag active, const char* operation) {
    const ZoningObjectArgs request{ZONING_TYPE_ALIAS, const_cast<char*>(alias),
                                   const_cast<char*>("")};
    ZoningReply reply(rpc(operation).rpcZoningGetObjectMembers(&request));
    requireReply(reply, operation);
    throwOnSwitchStatus(reply->status, operation);
    if (reply->names.names_len == 0) {
        return; // an alias without members adds nothing to the zone
    }
    OwnedNameList members(processResponse(&*reply));
    reply.release();
    for (const char* member : *members) {
        appendOwned(result, std::make_unique<ZoningNameEntry>(
                                member, memberObjectGetType(member, typing, active)));
    }
}

std::vector<ZoningObjectEntry*>*
UDAL_ZoningAccess_2_2_Impl::GetZoningObjects(int type, ZoningFlag active, ZoningFlag typing) try {
    constexpr char kOperation[] = "GetZoningObjects";
    requireArgument(isObjectListType(type), kOperation);
    requireFlags(active, typing, kOperation);
    const ZoningTrace trace("GetZoningObjects Version 2.2", kSource);
    trace.enter(" ZoningObjectType=" + std::to_string(type) +
                flags(" Active=", active, " Typing=", typing));
    refuseActiveAliases(type, active, ZONING_ERR_NOTHING_FOUND, kOperation);
    ZoningResultVector<ZoningObjectEntry*> result(*this);
    if (active == 0) {
        appendDefinedEntries(*result, type, kOperation);
    } else {
        const std::string zoneSetName = activeZoneSetName(kOperation);
        if (type == ZONING_TYPE_ZONE_SET || type == ZONING_TYPE_ALL) {
            result.add(std::make_unique<ZoningObjectEntry>(zoneSetName.c_str(),
                                                           ZONING_TYPE_ZONE_SET, nullptr, 1));
        }
        if (type != ZONING_TYPE_ZONE_SET) {
            OwnedNameList members(
                objectMembers(ZONING_TYPE_ZONE_SET, zoneSetName.c_str(), kOperation));
            for (const char* member : *members) {
                const int memberType = ZoningObjectGetType(member, 1);
                if (type == ZONING_TYPE_ALL || memberType == type) {
                    result.add(std::make_unique<ZoningObjectEntry>(member, memberType, nullptr, 1));
                }
            }
        }
    }
    trace.exit();
    return result.release();
} catch (const std::bad_alloc&) {
    throwNoMemory("GetZoningObjects");
}

std::vector<ZoningObjectEntry*>* UDAL_ZoningAccess_2_2_Impl::GetZoningObjects(ZoningFlag active,
                                                                              ZoningFlag typing) {
    constexpr char kOperation[] = "GetZoningObjects";
    requireFlags(active, typing, kOperation);
    const ZoningTrace trace("GetZoningObjects Version 2.2", kSource);
    trace.enter(flags(" Active=", active, " Typing=", typing));
    std::vector<ZoningObjectEntry*>* objects = nullptr;
    if (active == 0) {
        objects = definedObjectsWithMembers(typing);
    } else {
        ZoningResultVector<ZoningObjectEntry*> result(*this,
                                                      GetZoningObjects(ZONING_TYPE_ALL, 1, typing));
        for (ZoningObjectEntry* entry : *result) {
            entry->members = GetZoningObjectMembers(entry->name, entry->type, 1, typing);
        }
        objects = result.release();
    }
    trace.exit();
    return objects;
}

// The defined database listed one type at a time, so that every entry
// carries its own type and its members can be asked with it.
std::vector<ZoningObjectEntry*>*
UDAL_ZoningAccess_2_2_Impl::definedObjectsWithMembers(ZoningFlag typing) try {
    ZoningResultVector<ZoningObjectEntry*> result(*this);
    for (int type : {1, 2, 3, 4, 6, 7}) {
        std::vector<ZoningObjectEntry*>* entries = nullptr;
        try {
            entries = GetZoningObjects(type, 0, typing);
        } catch (const UDAL_ZoningException& e) {
            if (e.getCode() != ZONING_ERR_NOTHING_FOUND) {
                throw;
            }
            continue; // no object of this type
        }
        ZoningResultVector<ZoningObjectEntry*> typed(*this, entries);
        result.append(typed);
    }
    for (ZoningObjectEntry* entry : *result) {
        try {
            entry->members = GetZoningObjectMembers(entry->name, entry->type, 0, typing);
        } catch (const UDAL_ZoningException& e) {
            if (e.getCode() != ZONING_ERR_NOTHING_FOUND) {
                throw;
            }
            // an object without members keeps a null member vector
        }
    }
    return result.release();
} catch (const std::bad_alloc&) {
    throwNoMemory("GetZoningObjects");
}
