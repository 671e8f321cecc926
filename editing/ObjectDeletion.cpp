#include "editing/ObjectDeletion.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <orvane/objects.h>
#include <orvane/status.h>

#include "api/ExportFrame.h"
#include "api/ObjectStore.h"
#include "editing/ObjectEditTable.h"
#include "editing/ZoningTransaction.h"
#include "foundation/APIException.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/ShutdownLock.h"
#include "foundation/StatusTranslation.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "objects/PlatformClasses.h"
#include "zoning/UDAL_ZoningException.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

constexpr char kSource[] = "deleteObjects";

constexpr int kNotFound = -17;
constexpr int kNoFabricHandle = -4;
constexpr int kNoName = -21;
constexpr int kNoParent = -28;
constexpr int kNoCapabilities = -29;
constexpr int kActiveDatabaseObject = -75;
constexpr int kMemberOfZoneOrAlias = -76;
constexpr int kCapabilitiesListed = -20;

// What a zone, zone set or alias deletion edits, by the object's type.
struct ZoningKind {
    unsigned short type;
    const char* nameAttribute;
    const char* databaseList;
    const char* memberTable;
    const char* restoreMapVerb;
};

const ZoningKind kKinds[] = {
    {ObjectType::Zone, "ZoneName", "setZone", zoning_table::FullZones, zoning_verb::ZoneAddMap},
    {ObjectType::ZoneConfig, "ZoneSetName", "setZoneSet", zoning_table::FullZoneSets,
     zoning_verb::ZoneSetAddMap},
    {ObjectType::ZoneAlias, "ZoneAliasName", "setZoneAlias", zoning_table::FullAliases,
     zoning_verb::AliasAddMap},
};

const ZoningKind* kindOf(unsigned short type) {
    for (const ZoningKind& kind : kKinds) {
        if (kind.type == type) {
            return &kind;
        }
    }
    return nullptr;
}

// The zoning type the switch deletes the object under. A zone's
// "ZoneType" 1, 2, 3 and 4 stand for the plain, QL, FA and protocol kinds;
// a zone without a known kind is deleted as a plain zone.
int switchTypeOf(const StoredObject& object, unsigned short type) {
    if (type == ObjectType::ZoneConfig) {
        return ZONING_TYPE_ZONE_SET;
    }
    if (type == ObjectType::ZoneAlias) {
        return ZONING_TYPE_ALIAS;
    }
    unsigned short zoneType = 0;
    object.getShortAttr("ZoneType", zoneType);
    switch (zoneType) {
    case 2:
        return ZONING_TYPE_QL_ZONE;
    case 3:
        return ZONING_TYPE_FA_ZONE;
    case 4:
        return ZONING_TYPE_PRO_ZONE;
    default:
        return ZONING_TYPE_ZONE;
    }
}

// --- checks ----------------------------------------------------------------

// Zones, zone sets, aliases and zone members: a stored parent of the
// defined database (a zone member: the database itself), the capabilities
// object above it, and for all but members an open transaction.
int checkZoningObject(StoredObject* object) {
    const unsigned short type = storedObjectType(*object);
    StoredObject* parent = parentObject(*object);
    if (parent == nullptr) {
        return kNoParent;
    }
    const unsigned short parentType = storedObjectType(*parent);
    if (parentType == ObjectType::ActiveZoneDB) {
        return kActiveDatabaseObject;
    }
    if (type == ObjectType::ZoneMember && parentType != ObjectType::FullZoneDB) {
        return kMemberOfZoneOrAlias;
    }
    StoredObject* capabilities = parentObject(*parent);
    if (capabilities == nullptr) {
        return kNoCapabilities;
    }
    if (type != ObjectType::ZoneMember) {
        if (!zoneTransactionOpen(*capabilities)) {
            return FABAPI_ERR_NO_ZONE_TRANSACTION;
        }
    }
    return 0;
}

// Platforms and zoning capabilities: a stored parent (the fabric) that
// names its stored zoning capabilities.
int checkFabricChild(StoredObject* object) {
    StoredObject* parent = parentObject(*object);
    if (parent == nullptr) {
        return kNotFound;
    }
    const std::string capabilities = firstRelation(*parent, "setZoningCapabilities");
    return !capabilities.empty() && findObjectUnlocked(capabilities) != nullptr ? 0 : kNotFound;
}

// --- zones, zone sets and aliases ----------------------------------------------

// The object's own members that go with it: every member of an alias; the
// zone members and undefined objects of a zone; the undefined objects of a
// zone set (its other members are zones, which stay). Those its member
// map names are counted as well as those it lists.
void recordRemovedMembers(const std::string& fabricKey, const StoredObject& owner,
                          unsigned short ownerType, const ZoningMemberMap* mapped) {
    std::vector<std::string> members = listValues(owner, "setMember");
    if (mapped != nullptr) {
        for (const auto& [name, oid] : *mapped) {
            members.push_back(oid);
        }
    }
    for (const std::string& oid : members) {
        const StoredObject* member = findObjectUnlocked(oid);
        if (member == nullptr) {
            continue;
        }
        const unsigned short type = storedObjectType(*member);
        const bool undefined = type == kUndefinedObjectTypes[0];
        const bool goes = ownerType == ObjectType::ZoneAlias ||
                          (ownerType == ObjectType::Zone &&
                           (type == ObjectType::ZoneMember || undefined)) ||
                          (ownerType == ObjectType::ZoneConfig && undefined);
        if (goes) {
            RecordRemovedObject(fabricKey, oid);
        }
    }
}

// Takes `oid` out of the object's list and journals the rows that put it
// back in its place: replayed newest first, they take the entries behind
// it off, append it, and append those entries again. Nothing is journalled
// when the list does not hold it.
void removeFromList(const std::string& fabricKey, StoredObject& object,
                    const std::string& objectKey, const char* list, const std::string& oid) {
    const std::vector<std::string> values = listValues(object, list);
    const auto at = std::find(values.begin(), values.end(), oid);
    if (at == values.end()) {
        return;
    }
    const std::vector<std::string> behind(at + 1, values.end());
    object.removeListValue(list, oid);
    for (auto value = behind.rbegin(); value != behind.rend(); ++value) {
        AddZoningJournalRecord(fabricKey, zoning_verb::AddToList, objectKey, list, *value);
    }
    AddZoningJournalRecord(fabricKey, zoning_verb::AddToList, objectKey, list, oid);
    for (auto value = behind.rbegin(); value != behind.rend(); ++value) {
        AddZoningJournalRecord(fabricKey, zoning_verb::DeleteFromList, objectKey, list, *value);
    }
}

// The switch takes a deleted zone out of the zone sets that list it and a
// deleted alias out of the zones; so does the library, journalled, so that
// a commit leaves no identifier of a destroyed object behind.
void leaveOwners(const std::string& fabricKey, const StoredObject& database, unsigned short type,
                 const std::string& oid, const std::string& name) {
    const bool zone = type == ObjectType::Zone;
    if (!zone && type != ObjectType::ZoneAlias) {
        return;
    }
    auto* maps = FindZoningCacheTable<ZoningMemberTable>(
        fabricKey, zone ? zoning_table::FullZoneSets : zoning_table::FullZones);
    for (const std::string& ownerOid : listValues(database, zone ? "setZoneSet" : "setZone")) {
        StoredObject* owner = findObjectUnlocked(ownerOid);
        if (owner == nullptr) {
            continue;
        }
        removeFromList(fabricKey, *owner, ownerOid, "setMember", oid);
        std::string ownerName;
        if (maps == nullptr || !owner->getStringAttr(zone ? "ZoneSetName" : "ZoneName", ownerName)) {
            continue;
        }
        const auto entry = maps->find(ownerName);
        if (entry == maps->end() || entry->second == nullptr) {
            continue;
        }
        const auto member = entry->second->find(name);
        if (member != entry->second->end()) {
            AddZoningJournalRecord(fabricKey,
                                   zone ? zoning_verb::ZoneSetAddMember : zoning_verb::ZoneAddMember,
                                   ownerOid, name, member->second);
            entry->second->erase(member);
        }
    }
}

// The library's side of a deletion the switch made: the transaction
// marked dirty, the object and its own members in the removal set, and the
// object out of its database's list, of every table of the cache and of
// the member lists of its owners, each removal journalled.
void removeFromCache(const ZoningKind& kind, const std::string& fabricKey,
                     StoredObject& capabilities, StoredObject& object, StoredObject& database,
                     const std::string& oid, const std::string& name) {
    markZoneTransactionDirty(&capabilities);
    auto* names = FindZoningCacheTable<ZoningNameTable>(fabricKey, zoning_table::FullNames);
    auto* members = FindZoningCacheTable<ZoningMemberTable>(fabricKey, kind.memberTable);
    const auto mapped = members->find(name);
    recordRemovedMembers(fabricKey, object, kind.type,
                         mapped != members->end() ? mapped->second.get() : nullptr);

    std::string databaseOid;
    database.getStringAttr("OID", databaseOid);
    removeFromList(fabricKey, database, databaseOid.substr(0, 20), kind.databaseList, oid);

    if (const auto named = names->find(name); named != names->end()) {
        AddZoningJournalRecord(fabricKey, zoning_verb::FullNameAdd, "", name, named->second);
        names->erase(named);
    }
    if (mapped != members->end()) {
        // The row owns the member map from here on.
        AddZoningJournalRecord(fabricKey, kind.restoreMapVerb, "", name, "",
                               std::move(mapped->second));
        members->erase(mapped);
    }
    leaveOwners(fabricKey, database, kind.type, oid, name);
    RecordRemovedObject(fabricKey, oid);
}

// Deletes the object on the switch by its name and type, then from the
// cache; the stored objects stay until the transaction commits.
int removeZoningObject(StoredObject* object, SessionContext* handle) {
    const unsigned short type = storedObjectType(*object);
    const ZoningKind& kind = *kindOf(type);
    std::string name;
    if (!object->getStringAttr(kind.nameAttribute, name)) {
        return kNoName;
    }
    StoredObject* database = parentObject(*object);
    StoredObject* capabilities = database != nullptr ? parentObject(*database) : nullptr;
    if (capabilities == nullptr) {
        return kNotFound;
    }
    const std::string fabricKey = firstRelation(*capabilities, "setParent");
    if (fabricKey.empty() ||
        FindZoningCacheTable<ZoningNameTable>(fabricKey, zoning_table::FullNames) == nullptr ||
        FindZoningCacheTable<ZoningMemberTable>(fabricKey, kind.memberTable) == nullptr) {
        return kNotFound;
    }
    std::string oid;
    object->getStringAttr("OID", oid);

    std::unique_ptr<UDAL_ZoningAccess_Ifc> access;
    try {
        access.reset(getZoningAccess(GetProxySwitchVersionClass(oid), handle));
        if (access == nullptr) {
            return FABAPI_ERR_OUT_OF_MEMORY;
        }
        access->ZoningObjectDelete(name.c_str(), switchTypeOf(*object, type));
    } catch (const UDAL_ZoningException& failure) {
        return MapZoningError(failure.getCode());
    } catch (const APIException& failure) {
        return MapApiError(failure.getCode());
    }
    access.reset();

    try {
        removeFromCache(kind, fabricKey, *capabilities, *object, *database, oid, name);
    } catch (const std::bad_alloc&) {
        // The switch deleted the object but the cache may be half edited:
        // the next read loads the defined database again.
        capabilities->setShortAttr("ZoningRefresh", 1);
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
    return 0;
}

// --- zone members, zoning capabilities and platforms -----------------------------

// A zone member of the defined database itself: gone from its list and the
// store at once.
int removeZoneMember(StoredObject* member, SessionContext*) {
    std::string oid;
    member->getStringAttr("OID", oid);
    if (StoredObject* database = parentObject(*member)) {
        database->removeListValue("setMember", oid);
    }
    eraseObject(oid);
    return 0;
}

int removeNothing(StoredObject*, SessionContext*) {
    return 0;
}

int removePlatform(StoredObject* platform, SessionContext*) {
    return deletePlatformObject(platform);
}

// --- the walk ----------------------------------------------------------------------

// The fabric handle of the object; a zone member's is that of its
// database.
int handleOf(StoredObject* object, unsigned short type, SessionContext*& session) {
    StoredObject* from = type == ObjectType::ZoneMember ? parentObject(*object) : object;
    void* handle = nullptr;
    if (from == nullptr || GetFabricHandleOfObject(from, handle) != 0 || handle == nullptr) {
        return kNoFabricHandle;
    }
    session = static_cast<SessionContext*>(handle);
    return 0;
}

// The fabric of the list's first object, by the fabric paths of the object
// model or, for the objects those have no path for (zone members), up its
// "setParent" chain.
StoredObject* fabricOfFirst(const std::string& oid) {
    if (oid.empty()) {
        return nullptr;
    }
    if (StoredObject* fabric = GetFabricEntryOfObject(oid)) {
        return fabric;
    }
    StoredObject* object = findObjectUnlocked(oid);
    return object != nullptr ? fabricOfObject(object) : nullptr;
}

int deleteListed(const OID_t* entries) {
    StoredObject* fabric = fabricOfFirst(std::string(oidFieldText(entries[0])));
    unsigned short level = 0;
    if (fabric == nullptr || !fabric->getShortAttr("fabVersion", level)) {
        return kNotFound;
    }
    int result = 0;
    for (const OID_t* entry = entries; (*entry)[0] != '\0'; ++entry) {
        StoredObject* object = findObjectUnlocked(std::string(oidFieldText(*entry)));
        unsigned short type = 0;
        if (object == nullptr || !object->getShortAttr("ObjType", type)) {
            return kNotFound;
        }
        const ObjectDeleter* deleter = objectDeleterFor(type);
        if (deleter == nullptr || deleter->remove == nullptr) {
            return kNotFound;
        }
        if (deleter->check != nullptr) {
            if (const int refused = deleter->check(object); refused != 0) {
                return refused;
            }
        }
        SessionContext* session = nullptr;
        if (const int status = handleOf(object, type, session); status != 0) {
            return status;
        }
        if (type == ObjectType::ZoningCapabilities) {
            result = kCapabilitiesListed;
            continue;
        }
        if (const int status = deleter->remove(object, session); status != 0) {
            return status;
        }
    }
    return result;
}

void traceFailure(const char* method, const char* message, int line) {
    traceRecord(Vosk_Ext_API, message, method, "", kSource, line);
}

} // namespace

int Int_DeleteObjects(const char* oidList) {
    if (oidList == nullptr) {
        return kNotFound;
    }
    LockGuard model(getObjectStoreMutex());
    return deleteListed(reinterpret_cast<const OID_t*>(oidList));
}

int DeleteSingleObject(const char* oid) {
    constexpr char kMethod[] = "DeleteSingleObject";
    try {
        if (const int refused = tracedInitRefusal(kMethod, kSource, __LINE__)) {
            return refused;
        }
        ShutdownLock gate(false);
        if (const int refused = tracedShutdownRefusal(kMethod, kSource, gate, __LINE__)) {
            return refused;
        }
        if (oid == nullptr) {
            traceFailure(kMethod, "Method Failed, Invalid NULL argument passed.", __LINE__);
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        traceRecord(Vosk_Ext_API, "Entering ", kMethod, "", kSource, __LINE__);
        // At most 47 characters, then the empty entry that ends the list.
        char list[2 * sizeof(OID_t)] = {};
        CopyName48(list, oid);
        const int status = Int_DeleteObjects(list);
        traceRecord(Vosk_Ext_API, "Exiting ", kMethod, "", kSource, __LINE__);
        return status;
    } catch (...) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
}

int DeleteObjects(const char* oidList) {
    constexpr char kMethod[] = "DeleteObjects";
    try {
        traceRecord(Vosk_Ext_API, "Entering ", kMethod, "", kSource, __LINE__);
        if (const int refused = tracedInitRefusal(kMethod, kSource, __LINE__)) {
            return refused;
        }
        ShutdownLock gate(false);
        if (const int refused = tracedShutdownRefusal(kMethod, kSource, gate, __LINE__)) {
            return refused;
        }
        const int status = oidList == nullptr ? 0 : Int_DeleteObjects(oidList);
        traceRecord(Vosk_Ext_API, "Exiting ", kMethod, "", kSource, __LINE__);
        return status;
    } catch (...) {
        return FABAPI_ERR_OUT_OF_MEMORY;
    }
}

void installObjectDeletion() {
    for (const ZoningKind& kind : kKinds) {
        registerObjectDeleter(kind.type, {checkZoningObject, removeZoningObject});
    }
    registerObjectDeleter(ObjectType::ZoneMember, {checkZoningObject, removeZoneMember});
    registerObjectDeleter(ObjectType::ZoningCapabilities, {checkFabricChild, removeNothing});
    registerObjectDeleter(ObjectType::Platform, {checkFabricChild, removePlatform});
}
