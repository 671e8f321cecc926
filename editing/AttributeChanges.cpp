#include "editing/AttributeChanges.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <new>
#include <string>

#include <orvane/objects.h>
#include <orvane/status.h>

#include "api/ApiState.h"
#include "api/ExportFrame.h"
#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/ShutdownLock.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

constexpr char kSource[] = "objectAttributes";

constexpr int kNoFabricHandle = -4;
constexpr int kNoParent = -5;
constexpr int kNotStored = -17;
constexpr int kRefusedAtLevel = -34;

constexpr unsigned short kFabricLevelForSecurity = 2600;

// Codes that need no fabric level: the threshold boundary and alarm codes
// and the codes of a zone member being prepared.
constexpr unsigned kWithoutFabricLevel[] = {0x40EA0, 0x40EA1, 0x40EA2, 0x40EA3,
                                            0x70B31, 0x70B32, 0x40B33};
// Refused below fabric level 2600.
constexpr unsigned kSecurityLevelCodes[] = {
    0xA0E93, // SecurityTransactionActive
    0xA0E94, // CommitSecurityTransaction
    0xB0E98, // ActivatePolicySet
    0x70E96, // FCSAdminPassword
    0x70E97, // NonFCSAdminPassword
    0x40B2A, // DefaultZoningBehavior
    0x40E9D, // SecurityStatsReset
};
// Refused at every level: only AddSetMember takes them.
constexpr unsigned kSetMemberOnlyCodes[] = {
    0x10021F, // LicenseKeySet
    0xB0225,  // PhysSwitchGroupOID
};

template <std::size_t N> bool listed(const unsigned (&codes)[N], unsigned code) {
    for (const unsigned listedCode : codes) {
        if (listedCode == code) {
            return true;
        }
    }
    return false;
}

std::map<unsigned, AttributeHandlerRow>& handlerRows() {
    static std::map<unsigned, AttributeHandlerRow> rows;
    return rows;
}

std::map<unsigned short, AttributeHandler>& typeHandlers() {
    static std::map<unsigned short, AttributeHandler> handlers;
    return handlers;
}

const AttributeHandlerRow* rowOf(unsigned code) {
    const auto found = handlerRows().find(code);
    return found == handlerRows().end() || found->second.handler == nullptr ? nullptr
                                                                            : &found->second;
}

void traceFailure(const char* method, const char* message, int line) {
    traceRecord(Vosk_Ext_API, message, method, "", kSource, line);
}

// GetFabricHandleOfObject of the "setParent" object: -5 without a parent
// relation or parent object, -4 without a handle.
int handleOfParent(const StoredObject& object, SessionContext*& session) {
    StoredObject* parent = parentObject(object);
    if (parent == nullptr) {
        return kNoParent;
    }
    void* handle = nullptr;
    if (GetFabricHandleOfObject(parent, handle) != 0 || handle == nullptr) {
        return kNoFabricHandle;
    }
    session = static_cast<SessionContext*>(handle);
    return 0;
}

int handleOfAttribute(const StoredObject& object, SessionContext*& session) {
    void* handle = nullptr;
    if (!object.getHandleAttr("HDL", handle) || handle == nullptr) {
        return kNoFabricHandle;
    }
    session = static_cast<SessionContext*>(handle);
    return 0;
}

// A defined policy set's fabric is its parent's parent.
int handleOfPolicySet(const StoredObject& object, SessionContext*& session) {
    StoredObject* parent = parentObject(object);
    if (parent == nullptr) {
        return kNotStored;
    }
    StoredObject* fabric = parentObject(*parent);
    if (fabric == nullptr) {
        return kNoParent;
    }
    return handleOfAttribute(*fabric, session);
}

// A zone member reaches its fabric through its zone or alias (unless its
// parent is the defined database itself), the defined database, the
// capabilities object and the fabric.
int handleOfZoneMember(const StoredObject& member, SessionContext*& session) {
    const std::string parentOid = firstRelation(member, "setParent");
    StoredObject* above = parentObject(member);
    if (above == nullptr) {
        return kNotStored;
    }
    if (oidObjectType(parentOid) != ObjectType::FullZoneDB) {
        above = parentObject(*above); // the zone or alias -> the defined database
        if (above == nullptr) {
            return kNotStored;
        }
    }
    StoredObject* capabilities = parentObject(*above);
    if (capabilities == nullptr) {
        return kNotStored;
    }
    StoredObject* fabric = parentObject(*capabilities);
    if (fabric == nullptr) {
        return kNoParent;
    }
    return handleOfAttribute(*fabric, session);
}

int findHandle(AttributeEntry& entry) {
    switch (entry.objType) {
    case ObjectType::Fabric:
        return handleOfAttribute(*entry.object, entry.session);
    case ObjectType::Zone:
    case ObjectType::ZoneConfig:
    case ObjectType::ZoneAlias:
    case ObjectType::ZoningCapabilities:
    case ObjectType::ActiveZoneDB:
    case ObjectType::SecurityCapabilities:
        return handleOfParent(*entry.object, entry.session);
    case ObjectType::DefinedPolicySet:
        return handleOfPolicySet(*entry.object, entry.session);
    case ObjectType::ZoneMember:
        return handleOfZoneMember(*entry.object, entry.session);
    default: {
        void* handle = nullptr;
        if (GetFabricHandleOfObject(entry.object, handle) != 0 || handle == nullptr) {
            return kNoFabricHandle;
        }
        entry.session = static_cast<SessionContext*>(handle);
        return 0;
    }
    }
}

// The type and world wide name of the identifier
// ("%04x%02x%02x%02x%02x%02x%02x%02x%02x"); the name stays zero when the
// text does not parse.
WWNAddress wwnOfOid(const std::string& oid) {
    unsigned type = 0;
    unsigned bytes[8] = {};
    if (std::sscanf(oid.c_str(), "%04x%02x%02x%02x%02x%02x%02x%02x%02x", &type, &bytes[0],
                    &bytes[1], &bytes[2], &bytes[3], &bytes[4], &bytes[5], &bytes[6],
                    &bytes[7]) != 9) {
        return WWNAddress();
    }
    unsigned char wwn[WWNAddress::Size];
    for (std::size_t i = 0; i < WWNAddress::Size; ++i) {
        wwn[i] = static_cast<unsigned char>(bytes[i]);
    }
    return WWNAddress(wwn);
}

} // namespace

void registerAttributeHandler(unsigned code, const AttributeHandlerRow& row) {
    handlerRows()[code] = row;
}

void registerObjectTypeAttributeHandler(unsigned short objType, AttributeHandler handler) {
    typeHandlers()[objType] = handler;
}

int applyAttributeChange(const char* targetOids, unsigned code, void* value) {
    const AttributeHandlerRow* row = rowOf(code);
    const OID_t* entries = reinterpret_cast<const OID_t*>(targetOids);
    const std::string firstOid(oidFieldText(entries[0]));

    const bool needsLevel =
        !listed(kWithoutFabricLevel, code) && !(row != nullptr && row->withoutFabricLevel);
    if (needsLevel) {
        StoredObject* fabric = GetFabricEntryOfObject(firstOid);
        unsigned short level = 0;
        if (fabric == nullptr || !fabric->getShortAttr("fabVersion", level)) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        if ((level < kFabricLevelForSecurity && listed(kSecurityLevelCodes, code)) ||
            listed(kSetMemberOnlyCodes, code)) {
            return kRefusedAtLevel;
        }
    } else if (listed(kSetMemberOnlyCodes, code)) {
        return kRefusedAtLevel;
    }
    if (row != nullptr && row->valueCheck != nullptr) {
        if (const int status = row->valueCheck(code, value); status != 0) {
            return status;
        }
    }

    int result = 0;
    for (const OID_t* oid = entries; (*oid)[0] != '\0'; ++oid) {
        AttributeEntry entry;
        entry.oid = std::string(oidFieldText(*oid));
        entry.code = code;
        entry.value = value;
        entry.firstOid = firstOid;
        AttributeOutcome outcome;
        if (row != nullptr && row->withoutLookup) {
            outcome = row->handler(entry);
        } else {
            entry.object = findObjectUnlocked(entry.oid);
            if (entry.object == nullptr) {
                return kNotStored;
            }
            entry.object->getShortAttr("ObjType", entry.objType);
            const auto typeHandler = typeHandlers().find(entry.objType);
            if (typeHandler != typeHandlers().end() && typeHandler->second != nullptr) {
                outcome = typeHandler->second(entry);
            } else {
                if (const int status = findHandle(entry); status != 0) {
                    return status;
                }
                entry.wwn = wwnOfOid(entry.oid);
                outcome = row != nullptr ? row->handler(entry)
                                         : AttributeOutcome::record(FABAPI_ERR_BAD_ARGUMENT);
            }
        }
        switch (outcome.kind) {
        case AttributeOutcome::Kind::End:
            return outcome.status;
        case AttributeOutcome::Kind::Record:
            result = outcome.status;
            break;
        case AttributeOutcome::Kind::Next:
            break;
        }
    }
    return result;
}

int AddAttributes(const char* targetOids, unsigned attributeCode, void* value) {
    constexpr char kMethod[] = "AddAttributes";
    try {
        if (const int refused = tracedInitRefusal(kMethod, kSource, __LINE__)) {
            return refused;
        }
        ShutdownLock gate(false);
        if (const int refused = tracedShutdownRefusal(kMethod, kSource, gate, __LINE__)) {
            return refused;
        }
        if (targetOids == nullptr) {
            traceFailure(kMethod, "Method Failed, Invalid NULL argument passed.", __LINE__);
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        const std::string argument = "AttributeTag=" + std::to_string(attributeCode);
        traceRecord(Vosk_Ext_API, "Entering ", kMethod, argument.c_str(), kSource, __LINE__);
        if (!isAPIInitialized()) {
            return FABAPI_ERR_NOT_INITIALIZED;
        }
        int status = 0;
        {
            LockGuard model(getObjectStoreMutex());
            status = applyAttributeChange(targetOids, attributeCode, value);
        }
        traceRecord(Vosk_Ext_API, "Exiting ", kMethod, "", kSource, __LINE__);
        return status;
    } catch (...) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
}

int AddObjectAttributes(const char* targetOid, unsigned attributeCode, void* value) {
    constexpr char kMethod[] = "AddObjectAttributes";
    try {
        if (const int refused = tracedInitRefusal(kMethod, kSource, __LINE__)) {
            return refused;
        }
        {
            ShutdownLock gate(false);
            if (const int refused = tracedShutdownRefusal(kMethod, kSource, gate, __LINE__)) {
                return refused;
            }
        }
        if (targetOid == nullptr) {
            traceFailure(kMethod, "Method Failed, Invalid NULL argument passed.", __LINE__);
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        // At most 47 characters, then the empty entry that ends the list.
        char list[2 * sizeof(OID_t)] = {};
        CopyName48(list, targetOid);
        const std::string argument =
            "TargetOid=" + std::string(list) + " AttributeTag=" + std::to_string(attributeCode);
        traceRecord(Vosk_Ext_API, "Entering ", kMethod, argument.c_str(), kSource, __LINE__);
        const int status = AddAttributes(list, attributeCode, value);
        traceRecord(Vosk_Ext_API, "Exiting ", kMethod, "", kSource, __LINE__);
        return status;
    } catch (...) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
}
