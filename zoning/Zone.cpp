#include "zoning/Zone.h"

#include <new>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectTypes.h"
#include "zoning/FullZoningDbLoader.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCacheDiscard.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningMemberRefresh.h"
#include "zoning/ZoningObjectBuild.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

using namespace zoning_table;

constexpr int kNoZone = -26;
constexpr int kNoDatabase = -28;
constexpr int kNoCapabilities = -29;
constexpr int kNoTable = -17;
constexpr int kGone = -21;
constexpr int kNoMemory = -2;
constexpr int kProtocolZone = 4; // the switch's zoning type whose members may be switches

// The identifier the member map of `zone` in `table` holds for `member`.
std::string mappedMember(const std::string& fabricKey, const char* table, const std::string& zone,
                         const std::string& member) {
    const auto* members = FindZoningCacheTable<ZoningMemberTable>(fabricKey, table);
    if (members == nullptr) {
        return "";
    }
    const auto entry = members->find(zone);
    if (entry == members->end() || entry->second == nullptr) {
        return "";
    }
    const auto found = entry->second->find(member);
    return found != entry->second->end() ? found->second : "";
}

int finish(const std::string& oidText, const std::string& name, int switchType,
           const StoredObject& zone, void** record) {
    const std::vector<std::string> members = listValues(zone, "setMember");
    char* nameText = nullptr;
    char* list = nullptr;
    auto* out = static_cast<ZoneRecord*>(
        allocNamedListRecord(sizeof(ZoneRecord), name, members, nameText, list));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::Zone;
    CopyName48(out->OID, oidText.c_str());
    out->pcZoneName = nameText;
    out->zoneType = static_cast<unsigned short>(MapZoningTypeCode(switchType));
    out->zoneSubType = zoneSubTypeOfName(name);
    out->pcMemberOids = list;
    *record = out;
    return 0;
}

int buildActive(StoredObject& zone, const std::string& oidText, const std::string& name,
                const std::string& databaseOid, const StoredObject& capabilities,
                const ZoningLink& link, void** record) {
    unsigned short transaction = 0;
    capabilities.getShortAttr("ZoneTransactionActive", transaction);
    bool listed = false;
    std::vector<ActiveListedObject> objects;
    int thrown = 0;
    if (const int status =
            readActiveListing(link, transaction == 1, listed, objects, &thrown, &name);
        status != 0) {
        if (thrown == ZONING_ERR_NO_ACTIVE_CONFIG) {
            DiscardActiveZoningCache(databaseOid);
        }
        return status;
    }
    const ActiveListedObject* entry = nullptr;
    for (const ActiveListedObject& object : objects) {
        if (object.name == name) {
            entry = &object;
            break;
        }
    }
    if (entry == nullptr) {
        return kGone;
    }
    if (!entry->members) {
        return kNoDatabase;
    }
    zone.clearList("setMember");
    for (const ListedMember& member : *entry->members) {
        if (entry->type == kProtocolZone) {
            if (const std::string sw = storedSwitchOfWwnText(member.name); !sw.empty()) {
                zone.appendListValue("setMember", sw);
                continue;
            }
        }
        if (const std::string known = mappedMember(link.fabricKey, ActiveZones, name, member.name);
            !known.empty()) {
            zone.appendListValue("setMember", known);
        } else if (const int status = CreateZoneMemberObject(&zone, member.name, member.type);
                   status != 0) {
            return status;
        }
    }
    PruneZoningMembers(link.fabricKey, ActiveZones, name, zone);
    if (const int status = RefreshZoningMembers(link.fabricKey, ActiveZones, name, zone);
        status != 0) {
        return status;
    }
    return finish(oidText, name, entry->type, zone, record);
}

int buildDefined(const OID_t oid, const std::string& oidText, const std::string& name,
                 StoredObject& database, const std::string& databaseOid,
                 const StoredObject& capabilities, const ZoningLink& link, void** record,
                 const ZoningTrace& trace) {
    int switchType = 0;
    if (const int status = readZoningObjectType(link, name, false, switchType); status != 0) {
        return status;
    }
    bool listed = false;
    ListedMembers members;
    if (const int status =
            readZoningMembers(link, name, switchType, false, false, listed, members);
        status != 0) {
        return status;
    }
    if (!listed) {
        return kNoZone;
    }
    StoredObject* zone = findObjectByOid(oid);
    if (zone == nullptr) {
        return kGone;
    }
    zone->clearList("setMember");
    unsigned short refresh = 0;
    capabilities.getShortAttr("ZoningRefresh", refresh);
    if (refresh == 1) {
        if (const int status = LoadFullZoningDb(&database, databaseOid); status != 0) {
            return status;
        }
        // The reload destroys a zone the switch no longer lists.
        zone = findObjectByOid(oid);
        if (zone == nullptr) {
            return kGone;
        }
    }
    const auto* names = FindZoningCacheTable<ZoningNameTable>(link.fabricKey, FullNames);
    if (names == nullptr) {
        return kNoTable;
    }
    for (const ListedMember& member : members) {
        if (switchType == kProtocolZone) {
            if (const std::string sw = storedSwitchOfWwnText(member.name); !sw.empty()) {
                zone->appendListValue("setMember", sw);
                continue;
            }
        }
        if (const auto known = names->find(member.name); known != names->end()) {
            zone->appendListValue("setMember", known->second);
            continue;
        }
        if (const std::string known = mappedMember(link.fabricKey, FullZones, name, member.name);
            !known.empty()) {
            zone->appendListValue("setMember", known);
            continue;
        }
        unsigned char wwn[8] = {};
        const bool designates =
            readsAsDomainPort(member.name) || parseWwnText(member.name.c_str(), wwn);
        const int status = designates ? CreateZoneMemberObject(zone, member.name, member.type)
                                      : CreateUndefinedZoningObject(zone, member.name);
        if (status != 0) {
            return status;
        }
    }
    PruneZoningMembers(link.fabricKey, FullZones, name, *zone);
    if (const int status = RefreshZoningMembers(link.fabricKey, FullZones, name, *zone);
        status != 0) {
        return status;
    }
    if (const int status = finish(oidText, name, switchType, *zone, record); status != 0) {
        return status;
    }
    trace.exit();
    return 0;
}

} // namespace

int zoneSubTypeOfName(const std::string& name) {
    const auto holds = [&](const char* text) { return name.find(text) != std::string::npos; };
    if (!holds("/")) {
        return 0;
    }
    return holds("IP") ? 5 : holds("VI") ? 255 : 8;
}

int Zone::BuildObject(const OID_t oid, void** record) try {
    const ZoningTrace trace("BuildObject(Zone)", "ZoningFunctions");
    if (oid == nullptr || record == nullptr) {
        return -3;
    }
    const std::string oidText(oidFieldText(oid));
    trace.enter("ZoneOid=" + oidText);
    StoredObject* zone = findObjectByOid(oid);
    if (zone == nullptr) {
        return kNoZone;
    }
    void* handle = nullptr;
    if (const int status = GetFabricHandleOfObject(zone, handle); status != 0) {
        return status;
    }
    std::string name;
    const std::string databaseOid = firstRelation(*zone, "setParent");
    if (!zone->getStringAttr("ZoneName", name) || databaseOid.empty()) {
        return kNoZone;
    }
    StoredObject* database = findObjectUnlocked(databaseOid);
    if (database == nullptr) {
        return kNoDatabase;
    }
    const StoredObject* capabilities = nullptr;
    ZoningLink link;
    if (!linkThroughCapabilities(*database, handle, capabilities, link)) {
        return kNoCapabilities;
    }
    if (FindZoningCacheTable<ZoningMemberTable>(link.fabricKey, ActiveZones) == nullptr ||
        FindZoningCacheTable<ZoningNameTable>(link.fabricKey, FullNames) == nullptr ||
        FindZoningCacheTable<ZoningMemberTable>(link.fabricKey, FullZones) == nullptr) {
        return kNoTable;
    }
    link.versionClass = GetProxySwitchVersionClass(link.fabricKey);
    if (oidObjectType(databaseOid) == ObjectType::ActiveZoneDB) {
        return buildActive(*zone, oidText, name, databaseOid, *capabilities, link, record);
    }
    return buildDefined(oid, oidText, name, *database, databaseOid, *capabilities, link, record,
                        trace);
} catch (const std::bad_alloc&) {
    return kNoMemory;
}
