#include <cstdio>
#include <cstring>
#include <new>

#include <orvane/records.h>
#include <orvane/status.h>

#include "api/ObjectStore.h"
#include "connection/clilib_nameserver.h"
#include "connection/clilib_records.h"
#include "editing/ZoneCreation.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "objects/ChildClasses.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectTypes.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

using namespace zoning_creation;

constexpr int kBadArgument = FABAPI_ERR_BAD_ARGUMENT;
constexpr int kNoMemory = FABAPI_ERR_OUT_OF_MEMORY;
constexpr std::size_t kShortestTarget = 20;

constexpr unsigned short kDomainPortRef = 0xF000;
constexpr unsigned short kUnknownName = 0xFFF9;
constexpr unsigned short kUntypedName = 0xFFF7;

// Member types.
constexpr unsigned short kPlain = 0;
constexpr unsigned short kLun = 1;
constexpr unsigned short kAlpa = 2;
constexpr unsigned short kFahost = 3;

bool kindAccepted(unsigned short kind) {
    switch (kind) {
    case ObjectType::Port:
    case ObjectType::Node:
    case ObjectType::Zone:
    case kDomainPortRef:
    case kUnknownName:
    case kUntypedName:
        return true;
    default:
        return false;
    }
}

std::string oidOf(unsigned short type, const unsigned char wwn[8]) {
    std::string oid;
    formatOidString(type, WWNAddress(wwn), oid);
    return oid;
}

// The kind of an identifier: its first four hex digits.
unsigned short kindOf(const std::string& oid) {
    OID_t field = {};
    CopyName48(field, oid.c_str());
    unsigned short kind = 0;
    ParseHex4(field, &kind);
    return kind;
}

// What the fabric's name server calls the world wide name: the identifier
// of the port of that port name, else of the node of that node name, else
// empty.
std::string resolveByNameServer(SessionContext* fabricHandle, const unsigned char wwn[8]) {
    if (fabricHandle == nullptr) {
        return "";
    }
    LockGuard device(getSwitchRequestMutex());
    int* portId = nullptr;
    const int byPort = snsGetPortIDByPortName(fabricHandle, wwn, &portId);
    if (portId != nullptr) {
        freeApiRecord(portId);
    }
    if (byPort == 0 && portId != nullptr) {
        return oidOf(ObjectType::Port, wwn);
    }
    NameServerPortId* ports = nullptr;
    const int byNode = snsGetPortIDsByNodeName(fabricHandle, wwn, &ports);
    if (ports != nullptr) {
        freeApiRecord(ports);
    }
    if (byNode == 0 && ports != nullptr) {
        return oidOf(ObjectType::Node, wwn);
    }
    return "";
}

// The target's name as zones and aliases send it: false when a world wide
// name it needs is missing.
bool targetName(unsigned short kind, const std::string& target, const StoredObject* object,
                const unsigned char wwn[8], std::string& name) {
    switch (kind) {
    case ObjectType::Zone:
        return object != nullptr && object->getStringAttr("ZoneName", name);
    case kDomainPortRef: {
        int domain = 0;
        int port = 0;
        if (decodeDomainPortRef(target.c_str(), &domain, &port) != 0) {
            return false;
        }
        char text[32];
        std::snprintf(text, sizeof text, "%u,%u", static_cast<unsigned>(domain),
                      static_cast<unsigned>(port));
        name = text;
        return true;
    }
    default: {
        if (object == nullptr) {
            // A placeholder is to be made: its name is the identifier's.
            name = WWNAddress(wwn).toString();
            return true;
        }
        const std::optional<WWNAddress> stored = object->getWwnAttr("WWN");
        if (!stored) {
            return false;
        }
        name = stored->toString();
        return true;
    }
    }
}

std::string decorated(unsigned short memberType, const std::string& target,
                      const std::string& modifier) {
    switch (memberType) {
    case kLun:
        return target + "(" + modifier + ")";
    case kAlpa:
        return target + "[" + modifier + "]";
    case kFahost:
        return "H{" + target + "}";
    default:
        return target;
    }
}

// The form bits of the member kind that go with the member type, as the
// switch reports them for a listed member.
int formBitsOf(unsigned short memberType) {
    switch (memberType) {
    case kLun:
        return 0x4;
    case kAlpa:
        return 0x2;
    case kFahost:
        return 0x1;
    default:
        return 0;
    }
}

} // namespace

int createZoneMemberFromInput(StoredObject* database, SessionContext* fabricHandle,
                              const void* input, char* createdOid) try {
    if (input == nullptr) {
        return kBadArgument;
    }
    const auto* record = static_cast<const ZoneMemberRecord*>(input);
    const ZoningTrace trace("Creating ZoneMember", "ZoningFunctions");
    const unsigned short memberType = record->zmType;
    trace.enter("InputObject: Type=" + MemberTypeName(memberType));
    if (database == nullptr || memberType > kFahost) {
        return kBadArgument;
    }
    const std::size_t targetLength = strnlen(record->targetOid, sizeof(OID_t));
    if (targetLength < kShortestTarget || targetLength == sizeof(OID_t)) {
        return kBadArgument;
    }
    std::string target(record->targetOid, targetLength);
    unsigned short kind = kindOf(target);
    if (!kindAccepted(kind)) {
        return kBadArgument;
    }
    unsigned char wwn[8] = {};
    parseOidWwn(record->targetOid, wwn);

    std::string modifier;
    if (record->pcZoneMemberModifier != nullptr &&
        !readRecordText(record->pcZoneMemberModifier, modifier)) {
        return kBadArgument;
    }
    RemoveBlanks(modifier);
    const bool needsModifier = memberType == kLun || memberType == kAlpa;
    if (needsModifier == modifier.empty()) {
        return -82;
    }

    StoredObject* object = findObjectUnlocked(target);
    if (object == nullptr && (kind == kUnknownName || kind == kUntypedName)) {
        const std::string resolved = resolveByNameServer(fabricHandle, wwn);
        if (!resolved.empty()) {
            target = resolved;
            kind = kindOf(target);
            object = findObjectUnlocked(target);
        }
    }
    // A target the store does not hold gets a placeholder of its name, made
    // once every check has passed.
    unsigned short placeholderType = 0;
    if (object == nullptr) {
        if (kind == ObjectType::Zone) {
            return -80;
        }
        placeholderType = kind == kDomainPortRef ? kDomainPortRef : kUnknownName;
        kind = placeholderType;
        target = oidOf(placeholderType, wwn);
    } else if (kind == ObjectType::Port) {
        unsigned short portType = 0;
        object->getShortAttr("PortType", portType);
        if (portType != PORT_TYPE_N && portType != PORT_TYPE_NL) {
            return -72;
        }
    } else if (kind == ObjectType::Zone) {
        unsigned short zoneType = 0;
        object->getShortAttr("ZoneType", zoneType);
        if (zoneType != 2) {
            return -208;
        }
        if (memberType != kAlpa) {
            return -71;
        }
    }
    std::string name;
    if (!targetName(kind, target, object, wwn, name)) {
        return kBadArgument;
    }
    const std::string memberName = decorated(memberType, name, modifier);

    bool placeholderMade = false;
    if (placeholderType != 0) {
        placeholderMade = findObjectUnlocked(target) == nullptr;
        if (getOrCreateObject(placeholderType, WWNAddress(wwn)) == nullptr) {
            return kNoMemory;
        }
    }
    if (CreateZoneMemberObject(database, memberName, formBitsOf(memberType)) != 0) {
        if (placeholderMade) {
            eraseObject(target);
        }
        return kNoMemory;
    }
    const std::string memberOid = listValues(*database, "setMember").back();
    StoredObject* member = findObjectUnlocked(memberOid);
    member->setStringAttr("ZoneMemberModifier", modifier);
    member->setShortAttr("ZMType", memberType);
    char targetField[sizeof(OID_t)] = {};
    CopyName48(targetField, target.c_str());
    member->setBytesAttr("ZoneMemberTarget", targetField, sizeof targetField);
    copyCreatedOid(memberOid, createdOid);
    trace.exit("CreatedZoneMemberOid=" + memberOid);
    return 0;
} catch (const std::bad_alloc&) {
    return kNoMemory;
}
