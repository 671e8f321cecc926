#include "zoning/ZoneMember.h"

#include <cstdio>
#include <cstring>
#include <new>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "foundation/OidText.h"
#include "objects/ChildClasses.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectTypes.h"
#include "objects/gorlib.h"
#include "zoning/FullZoningDbLoader.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCacheDiscard.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningObjectBuild.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

using namespace zoning_table;

constexpr int kNoMember = -25;
constexpr int kNoParent = -17;
constexpr int kNoDatabase = -28;
constexpr int kNoCapabilities = -29;
constexpr int kBrokenChain = -26;
constexpr int kNoActiveZoneSet = -57;
constexpr int kNoMemory = -2;

constexpr int kLunForm = 0x4;
constexpr int kFahostForm = 0x1;
constexpr int kAlpaForm = 0x2;
constexpr int kDomainPort = 0x8;
constexpr int kPortName = 0x10;
constexpr int kNodeName = 0x20;
constexpr int kUnknownName = 0x80;
constexpr int kUntypedName = 0x100;

constexpr unsigned short kPortType = ObjectType::Port;
constexpr unsigned short kNodeType = ObjectType::Node;
// The "PortType" values of device ports: the member designates the port.
constexpr unsigned short kDevicePortTypes[] = {PORT_TYPE_N, PORT_TYPE_NL};

// The member text without its modifier form.
std::string unwrapped(const std::string& text, int kindBits) {
    if ((kindBits & kLunForm) != 0) {
        return text.substr(0, text.find('('));
    }
    if ((kindBits & kFahostForm) != 0) {
        const std::string inner = text.size() > 2 ? text.substr(2) : "";
        return inner.substr(0, inner.find('}'));
    }
    if ((kindBits & kAlpaForm) != 0) {
        return text.substr(0, text.find('['));
    }
    return text;
}

std::string oidOfWwn(unsigned short type, const unsigned char wwn[8]) {
    char text[sizeof(OID_t)] = {};
    std::snprintf(text, sizeof(text), "%04x%02x%02x%02x%02x%02x%02x%02x%02x", type, wwn[0], wwn[1],
                  wwn[2], wwn[3], wwn[4], wwn[5], wwn[6], wwn[7]);
    return text;
}

// The target type of a world wide name by the kind bits and what the store
// holds.
unsigned short wwnTargetType(int kindBits, const unsigned char wwn[8]) {
    const StoredObject* port = findObjectUnlocked(oidOfWwn(kPortType, wwn));
    if ((kindBits & kPortName) != 0) {
        if (port == nullptr) {
            return kTargetUnknownName;
        }
        unsigned short portType = 0;
        port->getShortAttr("PortType", portType);
        for (const unsigned short device : kDevicePortTypes) {
            if (portType == device) {
                return kPortType;
            }
        }
        return kTargetOtherObject;
    }
    if ((kindBits & kNodeName) != 0) {
        return kNodeType;
    }
    if (findObjectUnlocked(oidOfWwn(kSwitchType, wwn)) != nullptr) {
        return kTargetOtherObject;
    }
    if ((kindBits & kUntypedName) != 0) {
        return kTargetUntypedName;
    }
    return port != nullptr ? kTargetOtherObject : kTargetUnknownName;
}

// The defined zoning object of `name` after a reload of the defined
// database, found from the member's parent chain.
int definedTarget(const std::string& memberOid, const std::string& name, char* target) {
    StoredObject* member = findObjectUnlocked(memberOid);
    if (member == nullptr) {
        return kNoMember;
    }
    const std::string parentOid = firstRelation(*member, "setParent");
    StoredObject* parent = parentOid.empty() ? nullptr : findObjectUnlocked(parentOid);
    if (parent == nullptr) {
        return kBrokenChain;
    }
    StoredObject* database = parent;
    std::string databaseOid = parentOid;
    if (oidObjectType(parentOid) != ObjectType::FullZoneDB) {
        databaseOid = firstRelation(*parent, "setParent");
        database = databaseOid.empty() ? nullptr : findObjectUnlocked(databaseOid);
        if (database == nullptr) {
            return kBrokenChain;
        }
    }
    const StoredObject* capabilities = parentObject(*database);
    const std::string fabricKey =
        capabilities != nullptr ? firstRelation(*capabilities, "setParent") : "";
    if (fabricKey.empty()) {
        return kBrokenChain;
    }
    if (FindZoningCacheTable<ZoningNameTable>(fabricKey, FullNames) == nullptr) {
        return kNoParent;
    }
    if (const int status = LoadFullZoningDb(database, databaseOid); status != 0) {
        return status;
    }
    const auto* names = FindZoningCacheTable<ZoningNameTable>(fabricKey, FullNames);
    if (names == nullptr) {
        return kNoParent;
    }
    const auto found = names->find(name);
    std::memset(target, 0, sizeof(OID_t));
    CopyName48(target, found != names->end() ? found->second.c_str() : "00000000000000000000");
    return 0;
}

} // namespace

int discoverMemberTarget(StoredObject* parent, const char* memberOid, int kindBits, char* target) {
    // An identifier fills at most 47 characters of its field; a longer one
    // names no member and is refused before anything is written.
    if (memberOid == nullptr || parent == nullptr || target == nullptr ||
        strnlen(memberOid, sizeof(OID_t)) == sizeof(OID_t)) {
        return -3;
    }
    const std::string oidText(oidFieldText(memberOid));
    const ZoningTrace trace("Discovering TargetOid", "ZoningFunctions");
    trace.enter("Member=" + oidText);
    void* handle = nullptr;
    if (const int status = GetFabricHandleOfObject(parent, handle); status != 0) {
        return status;
    }
    const StoredObject* member = findObjectUnlocked(oidText);
    std::string text;
    if (member == nullptr || !member->getStringAttr("MemberName", text)) {
        return kNoMember;
    }
    const std::string name = unwrapped(text, kindBits);
    int domain = 0;
    int port = 0;
    if ((kindBits & kDomainPort) != 0 && std::sscanf(name.c_str(), "%d,%d", &domain, &port) == 2) {
        return encodeDomainPortRef(domain, port, target);
    }
    if ((kindBits & (kPortName | kNodeName | kUnknownName | kUntypedName)) != 0) {
        unsigned char wwn[8] = {};
        parseWWNText(name.c_str(), wwn);
        std::memset(target, 0, sizeof(OID_t));
        CopyName48(target, oidOfWwn(wwnTargetType(kindBits, wwn), wwn).c_str());
        trace.exit(std::string(oidFieldText(target)));
        return 0;
    }
    if (const int status = definedTarget(oidText, name, target); status != 0) {
        return status;
    }
    trace.exit(std::string(oidFieldText(target)));
    return 0;
}

int ZoneMember::BuildObject(const OID_t oid, void** record) try {
    const ZoningTrace trace("BuildObject(ZoneMember)", "ZoningFunctions");
    if (oid == nullptr || record == nullptr) {
        return -3;
    }
    const std::string oidText(oidFieldText(oid));
    trace.enter("ZoneMemberOid=" + oidText);
    const StoredObject* member = findObjectByOid(oid);
    std::string text;
    if (member == nullptr || !member->getStringAttr("MemberName", text)) {
        return kNoMember;
    }
    StoredObject* parent = parentObject(*member);
    if (parent == nullptr) {
        return kNoParent;
    }
    const StoredObject* database = parent;
    if (storedObjectType(*parent) != ObjectType::FullZoneDB) {
        database = parentObject(*parent);
        if (database == nullptr) {
            return kNoDatabase;
        }
    }
    const StoredObject* capabilities = parentObject(*database);
    if (capabilities == nullptr) {
        return kNoCapabilities;
    }
    std::string databaseOid;
    database->getStringAttr("OID", databaseOid);
    unsigned short typing = 0;
    capabilities->getShortAttr("ZoneMemberTargetTyping", typing);
    void* handle = nullptr;
    if (const int status = GetFabricHandleOfObject(parent, handle); status != 0) {
        return status;
    }
    std::string capabilitiesOid;
    capabilities->getStringAttr("OID", capabilitiesOid);
    const ZoningLink link{static_cast<SessionContext*>(handle),
                          GetProxySwitchVersionClass(capabilitiesOid),
                          firstRelation(*capabilities, "setParent")};
    if (storedObjectType(*database) == ObjectType::ActiveZoneDB) {
        std::vector<std::string> names;
        int thrown = 0;
        if (const int status = readZoningNames(link, ZONING_TYPE_ZONE_SET, true, names, &thrown);
            status != 0) {
            if (meansNoActiveZoneSet(thrown)) {
                DiscardActiveZoningCache(databaseOid);
                return kNoActiveZoneSet;
            }
            return status;
        }
    }
    int kind = 0;
    if (const int status = readMemberKind(link, text, typing != 0, false, kind); status != 0) {
        return status;
    }
    char target[sizeof(OID_t)] = {};
    if (const int status = discoverMemberTarget(parent, oidText.c_str(), kind, target);
        status != 0) {
        return status;
    }
    // The target's reload of the defined database may have removed the
    // member with its zone: look it up again.
    StoredObject* current = findObjectByOid(oid);
    if (current == nullptr) {
        return kNoMember;
    }
    current->setBytesAttr("ZoneMemberTarget", target, sizeof(target));
    std::string modifier;
    current->getStringAttr("ZoneMemberModifier", modifier);
    unsigned short zmType = 0;
    if (!current->getShortAttr("ZMType", zmType)) {
        return kNoParent;
    }
    const std::size_t size = sizeof(ZoneMemberRecord) + modifier.size() + 1;
    auto* out = static_cast<ZoneMemberRecord*>(falAllocObject(size));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::ZoneMember;
    CopyName48(out->OID, oidText.c_str());
    std::memcpy(out->targetOid, target, sizeof(target));
    out->zmType = zmType;
    out->pcZoneMemberModifier = reinterpret_cast<char*>(out + 1);
    std::memcpy(out->pcZoneMemberModifier, modifier.c_str(), modifier.size() + 1);
    *record = out;
    trace.exit();
    return 0;
} catch (const std::bad_alloc&) {
    return kNoMemory;
}
