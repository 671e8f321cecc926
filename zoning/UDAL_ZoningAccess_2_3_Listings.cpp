// The reading side from firmware 2.3 on: the defined database is read name
// by name (procedures 15 and 16), the active one whole as text (27).
#include <memory>
#include <new>

#include "zoning/UDAL_ZoningAccess_2_3_Impl.h"
#include "zoning/ZoningArguments.h"
#include "zoning/ZoningResultVector.h"
#include "zoning/ZoningRpc.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "..\\zoning\\UDAL_ZoningAccess_2_3_Impl";
constexpr char kAllNames[] = "GetAllZoningObjectNames";
constexpr char kMembers[] = "GetZoningObjectMembers";
constexpr char kObjects[] = "GetZoningObjects";
constexpr int kAliasMember = 0x1000;

std::string flags(ZoningFlag active, ZoningFlag typing) {
    return std::string(" Active=") + flagText(active) + " Typing=" + flagText(typing);
}

// An entry of the active view. Running out of memory for it gives code 8.
std::unique_ptr<ZoningObjectEntry> activeEntry(const std::string& name, int type,
                                               const char* operation) {
    try {
        return std::make_unique<ZoningObjectEntry>(name.c_str(), type, nullptr, 1);
    } catch (const std::bad_alloc&) {
        throw UDAL_ZoningException(ZONING_ERR_NO_REPLY, operation);
    }
}

// The type of a zone of the active database, asked through the access
// object's own type operation. Below 2.6 that operation answers from the
// defined database, which may no longer hold a zone that is still active
// (deleted there since the activation): such a zone reads as a plain zone,
// so that the rest of the active database stays readable.
int activeZoneType(UDAL_ZoningAccess_Ifc& access, const std::string& name) {
    try {
        return access.ZoningObjectGetType(name.c_str(), 1);
    } catch (const UDAL_ZoningException& e) {
        if (e.getCode() != ZONING_ERR_NOTHING_FOUND) {
            throw;
        }
        return ZONING_TYPE_ZONE;
    }
}

} // namespace

std::string UDAL_ZoningAccess_2_3_Impl::requireActiveZoneSetName(const char* operation) {
    std::string name = activeZoneSetName(operation);
    if (name.empty()) {
        throw UDAL_ZoningException(ZONING_ERR_NO_ACTIVE_CONFIG, kAllNames);
    }
    return name;
}

ActiveZoningText UDAL_ZoningAccess_2_3_Impl::readActiveDatabase(const char* operation) {
    ZoningReply reply(rpc(operation).rpcGetZoningDatabase_2_3());
    requireReply(reply, operation);
    throwOnSwitchStatus(reply->status, operation);
    ActiveZoningText database;
    const int code = parseActiveZoningText(reply->text != nullptr ? reply->text : "", database);
    reply.release();
    if (code != 0) {
        throw UDAL_ZoningException(code, operation);
    }
    return database;
}

std::vector<char*>* UDAL_ZoningAccess_2_3_Impl::GetZoningObjectNames(int type,
                                                                     ZoningFlag active) try {
    requireArgument(isNameListType(type), kAllNames);
    requireFlag(active, kAllNames);
    const ZoningTrace trace("GetZoningObjectNames Version 2.3", kSource);
    trace.enter("ZoningObjectType=" + zoningTypeName(type) + " Active=" + flagText(active));
    refuseActiveAliases(type, active, ZONING_ERR_NOTHING_FOUND, kAllNames);
    std::vector<char*>* names = nullptr;
    if (type == ZONING_TYPE_ALL) {
        ZoningResultVector<char*> result(*this);
        if (active == 0) {
            appendNamesOfTypes(*result, {1, 2, 3, 4, 5, 6, 7}, kAllNames);
        } else {
            ZoningReply reply(rpc(kAllNames).rpcGetActiveZoningConfig());
            if (reply && reply->status == 0 && reply->text != nullptr && reply->text[0] != '\0') {
                result.add(std::unique_ptr<char[]>(copyZoningText(reply->text)));
            }
            reply.release();
            appendNamesOfTypes(*result, {2, 4, 5, 6, 7}, kAllNames);
        }
        if (result.empty()) {
            throw UDAL_ZoningException(ZONING_ERR_NOTHING_FOUND, kAllNames);
        }
        names = result.release();
    } else if (active == 1 && type == ZONING_TYPE_ZONE_SET) {
        ZoningResultVector<char*> result(*this);
        result.add(
            std::unique_ptr<char[]>(copyZoningText(requireActiveZoneSetName(kAllNames).c_str())));
        names = result.release();
    } else {
        names = namesOfType(type, kAllNames);
    }
    trace.exit();
    return names;
} catch (const std::bad_alloc&) {
    throwNoMemory(kAllNames);
}

std::vector<ZoningNameEntry*>*
UDAL_ZoningAccess_2_3_Impl::GetZoningObjectMembers(const char* name, int type, ZoningFlag active,
                                                   ZoningFlag typing) try {
    requireArgument(name != nullptr && isMemberListType(type), kMembers);
    requireFlags(active, typing, kMembers);
    const ZoningTrace trace("GetZoningObjectMembers Version 2.3", kSource);
    trace.enter(nameAndTypeText(name, zoningTypeName(type)) + flags(active, typing));
    requireNameFits(name, ZoningNameMax, kMembers);
    refuseActiveAliases(type, active, ZONING_ERR_NOT_ACTIVE, kMembers);
    ZoningResultVector<ZoningNameEntry*> result(*this);
    if (active == 0) {
        OwnedNameList members(type == ZONING_TYPE_ZONE_SET ? zoneSetMembers(name, kMembers)
                                                           : objectMembers(type, name, kMembers));
        OwnedNameList zones, qlZones, faZones, aliases;
        if (typing == 1 && type == ZONING_TYPE_ZONE_SET) {
            zones.reset(optionalNameList(ZONING_TYPE_ZONE, kMembers));
            qlZones.reset(optionalNameList(ZONING_TYPE_QL_ZONE, kMembers));
            faZones.reset(optionalNameList(ZONING_TYPE_FA_ZONE, kMembers));
        } else if (typing == 1 && isZoneKind(type)) {
            aliases.reset(optionalNameList(ZONING_TYPE_ALIAS, kMembers));
        }
        for (const char* member : *members) {
            int memberType = 0;
            if (typing == 0) {
                memberType = memberObjectGetType(member, 0, 0);
            } else if (type == ZONING_TYPE_ZONE_SET) {
                memberType = nameListContains(member, zones.get())     ? 0x200
                             : nameListContains(member, qlZones.get()) ? 0x400
                             : nameListContains(member, faZones.get()) ? 0x800
                                                                       : 0;
            } else if (type == ZONING_TYPE_PRO_ZONE) {
                memberType = 0;
            } else if (isZoneKind(type) && nameListContains(member, aliases.get())) {
                memberType = kAliasMember;
            } else {
                memberType = memberObjectGetType(member, 1, 0);
            }
            result.add(std::make_unique<ZoningNameEntry>(member, memberType));
        }
    } else {
        const std::string zoneSetName = requireActiveZoneSetName(kMembers);
        if (type == ZONING_TYPE_ZONE_SET && zoneSetName != name) {
            throw UDAL_ZoningException(ZONING_ERR_NOT_ACTIVE, kMembers);
        }
        const ActiveZoningText database = readActiveDatabase(kMembers);
        if (type == ZONING_TYPE_ZONE_SET) {
            for (const auto& zone : database.zones) {
                result.add(std::make_unique<ZoningNameEntry>(
                    zone.name.c_str(), memberObjectGetType(zone.name.c_str(), typing, 1)));
            }
        } else {
            const ActiveZoneText* found = nullptr;
            for (const auto& zone : database.zones) {
                if (zone.name == name) {
                    found = &zone;
                    break;
                }
            }
            if (found == nullptr) {
                throw UDAL_ZoningException(ZONING_ERR_NOT_ACTIVE, kMembers);
            }
            for (const auto& member : found->members) {
                result.add(std::make_unique<ZoningNameEntry>(
                    member.c_str(), memberObjectGetType(member.c_str(), typing, 1)));
            }
        }
    }
    trace.exit();
    return result.release();
} catch (const std::bad_alloc&) {
    throwNoMemory(kMembers);
}

std::vector<ZoningObjectEntry*>*
UDAL_ZoningAccess_2_3_Impl::GetZoningObjects(int type, ZoningFlag active, ZoningFlag typing) try {
    requireArgument(isObjectListType(type), kObjects);
    requireFlags(active, typing, kObjects);
    const ZoningTrace trace("GetZoningObjects Version 2.3", kSource);
    trace.enter(" ZoningObjectType=" + zoningTypeName(type) + flags(active, typing));
    refuseActiveAliases(type, active, ZONING_ERR_NOTHING_FOUND, kObjects);
    ZoningResultVector<ZoningObjectEntry*> result(*this);
    if (active == 0) {
        appendDefinedEntries(*result, type, kMembers);
    } else {
        const std::string zoneSetName = requireActiveZoneSetName(kObjects);
        if (type == ZONING_TYPE_ZONE_SET || type == ZONING_TYPE_ALL) {
            result.add(activeEntry(zoneSetName, ZONING_TYPE_ZONE_SET, kObjects));
        }
        if (type != ZONING_TYPE_ZONE_SET) {
            const ActiveZoningText database = readActiveDatabase(kObjects);
            for (const auto& zone : database.zones) {
                const int zoneType = activeZoneType(*this, zone.name);
                if (type == ZONING_TYPE_ALL || zoneType == type) {
                    result.add(std::make_unique<ZoningObjectEntry>(zone.name.c_str(), zoneType,
                                                                   nullptr, 1));
                }
            }
        }
    }
    trace.exit();
    return result.release();
} catch (const std::bad_alloc&) {
    throwNoMemory(kObjects);
}

std::vector<ZoningObjectEntry*>*
UDAL_ZoningAccess_2_3_Impl::GetZoningObjects(ZoningFlag active, ZoningFlag typing) try {
    requireFlags(active, typing, kObjects);
    const ZoningTrace trace("GetZoningObjects Version 2.3", kSource);
    trace.enter(flags(active, typing));
    if (active == 0) {
        std::vector<ZoningObjectEntry*>* objects = definedObjectsWithMembers(typing);
        trace.exit();
        return objects;
    }
    const ActiveZoningText database = readActiveDatabase(kObjects);
    ZoningResultVector<ZoningObjectEntry*> result(*this);
    ZoningResultVector<ZoningNameEntry*> zoneSetMembers(*this);
    for (const auto& zone : database.zones) {
        const int zoneType = activeZoneType(*this, zone.name);
        zoneSetMembers.add(
            std::make_unique<ZoningNameEntry>(zone.name.c_str(), zoneMemberKind(zoneType)));
        ZoningResultVector<ZoningNameEntry*> members(*this);
        for (const auto& member : zone.members) {
            members.add(std::make_unique<ZoningNameEntry>(
                member.c_str(), memberObjectGetType(member.c_str(), typing, 1)));
        }
        auto entry = activeEntry(zone.name, zoneType, kObjects);
        result->reserve(result->size() + 1); // so that the entry is added without fail
        entry->members = members.release();
        result.add(std::move(entry));
    }
    auto zoneSet = activeEntry(database.zoneSetName, ZONING_TYPE_ZONE_SET, kObjects);
    result->reserve(result->size() + 1);
    zoneSet->members = zoneSetMembers.release();
    result.add(std::move(zoneSet));
    trace.exit();
    return result.release();
} catch (const std::bad_alloc&) {
    throwNoMemory(kObjects);
}
