#include "zoning/ZoningQueryWalk.h"

#include <cstring>
#include <string>
#include <vector>

#include <orvane/records.h>

#include "objects/ObjectQueries.h"
#include "objects/ObjectTypes.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

void addOid(std::vector<std::string>& oids, const OID_t oid) {
    if (oid[0] != '\0') {
        oids.emplace_back(oid, strnlen(oid, sizeof(OID_t)));
    }
}

// The identifiers of a list of 48-byte entries ended by an empty one.
void addOids(std::vector<std::string>& oids, const char* list) {
    for (; list != nullptr && list[0] != '\0'; list += sizeof(OID_t)) {
        addOid(oids, list);
    }
}

// Only the member children of their own: zone members and undefined
// zoning objects.
std::vector<std::string> ownMembers(const char* list) {
    std::vector<std::string> all;
    addOids(all, list);
    std::vector<std::string> own;
    for (std::string& oid : all) {
        const unsigned short type = oidObjectType(oid);
        if (type == ObjectType::ZoneMember || type == ObjectType::UndefinedZoningObject) {
            own.push_back(std::move(oid));
        }
    }
    return own;
}

std::vector<std::string> capabilitiesChildren(const void* record) {
    const auto* capabilities = static_cast<const ZoningCapabilitiesRecord*>(record);
    std::vector<std::string> oids;
    addOid(oids, capabilities->FullZoneDBOID);
    // Without an active zone set the active database cannot be read.
    if (capabilities->ZoningEnabled == 1) {
        addOid(oids, capabilities->ActiveZoneDBOID);
    }
    return oids;
}

std::vector<std::string> definedChildren(const void* record) {
    const auto* database = static_cast<const FullZoneDBRecord*>(record);
    std::vector<std::string> oids;
    addOids(oids, reinterpret_cast<const char*>(database->pcZoneSetOids));
    addOids(oids, reinterpret_cast<const char*>(database->pcZoneAliasOids));
    addOids(oids, reinterpret_cast<const char*>(database->pcZoneOids));
    return oids;
}

std::vector<std::string> activeChildren(const void* record) {
    std::vector<std::string> oids;
    addOids(oids, reinterpret_cast<const char*>(
                      static_cast<const ActiveZoneDBRecord*>(record)->pcMemberOids));
    return oids;
}

std::vector<std::string> zoneChildren(const void* record) {
    return ownMembers(static_cast<const ZoneRecord*>(record)->pcMemberOids);
}

std::vector<std::string> zoneSetChildren(const void* record) {
    return ownMembers(reinterpret_cast<const char*>(
        static_cast<const ZoneSetObjectRecord*>(record)->pcMemberOids));
}

std::vector<std::string> aliasChildren(const void* record) {
    return ownMembers(static_cast<const ZoneAliasRecord*>(record)->pcMemberOids);
}

} // namespace

void installZoningQueryWalk() {
    registerDescentStep({ObjectType::ZoningCapabilities, capabilitiesChildren});
    registerDescentStep({ObjectType::FullZoneDB, definedChildren});
    registerDescentStep({ObjectType::ActiveZoneDB, activeChildren});
    registerDescentStep({ObjectType::ZoneConfig, zoneSetChildren});
    registerDescentStep({ObjectType::Zone, zoneChildren});
    registerDescentStep({ObjectType::ZoneAlias, aliasChildren});
}
