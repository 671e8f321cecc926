#include "zoning/ZoneSet.h"

#include <new>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "objects/gorlib.h"
#include "zoning/FullZoningDbLoader.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningMemberRefresh.h"
#include "zoning/ZoningObjectBuild.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

using namespace zoning_table;

constexpr int kNoZoneSet = -27;
constexpr int kNoDatabase = -28;
constexpr int kNoCapabilities = -29;
constexpr int kNoTable = -17;
constexpr int kGone = -21;
constexpr int kNoMemory = -2;

// Marks `zoneSet` as the active one of `database`: the first other zone set
// marked active loses its mark.
void markActive(StoredObject& zoneSet, const StoredObject& database) {
    for (const std::string& oid : listValues(database, "setZoneSet")) {
        StoredObject* other = findObjectUnlocked(oid);
        unsigned short flag = 0;
        if (other != nullptr && other != &zoneSet && other->getShortAttr("ActivateZoneSet", flag) &&
            flag != 0) {
            other->setShortAttr("ActivateZoneSet", 0);
            break;
        }
    }
    zoneSet.setShortAttr("ActivateZoneSet", 1);
}

} // namespace

int ZoneSet::BuildObject(const OID_t oid, void** record) try {
    const ZoningTrace trace("BuildObject(ZoneSet)", "ZoningFunctions");
    if (oid == nullptr || record == nullptr) {
        return -3;
    }
    const std::string oidText(oidFieldText(oid));
    trace.enter("ZoneSetOid=" + oidText);
    StoredObject* zoneSet = findObjectByOid(oid);
    if (zoneSet == nullptr) {
        return kNoZoneSet;
    }
    const std::string databaseOid = firstRelation(*zoneSet, "setParent");
    if (databaseOid.empty()) {
        return kNoZoneSet;
    }
    StoredObject* database = findObjectUnlocked(databaseOid);
    if (database == nullptr) {
        return kNoDatabase;
    }
    void* handle = nullptr;
    if (const int status = GetFabricHandleOfObject(zoneSet, handle); status != 0) {
        return status;
    }
    std::string name;
    if (!zoneSet->getStringAttr("ZoneSetName", name)) {
        return kNoZoneSet;
    }
    const StoredObject* capabilities = nullptr;
    ZoningLink link;
    if (!linkThroughCapabilities(*database, handle, capabilities, link)) {
        return kNoCapabilities;
    }
    if (FindZoningCacheTable<ZoningNameTable>(link.fabricKey, FullNames) == nullptr ||
        FindZoningCacheTable<ZoningMemberTable>(link.fabricKey, FullZoneSets) == nullptr) {
        return kNoTable;
    }
    unsigned short refresh = 0;
    capabilities->getShortAttr("ZoningRefresh", refresh);
    if (refresh == 1) {
        if (const int status = LoadFullZoningDb(database, databaseOid); status != 0) {
            return status;
        }
        zoneSet = findObjectByOid(oid);
        if (zoneSet == nullptr) {
            return kGone;
        }
    }
    link.versionClass = GetProxySwitchVersionClass(link.fabricKey);
    bool listed = false;
    ListedMembers members;
    if (const int status =
            readZoningMembers(link, name, ZONING_TYPE_ZONE_SET, false, false, listed, members);
        status != 0) {
        return status;
    }
    if (!listed) {
        return kNoZoneSet;
    }
    std::vector<std::string> activeNames;
    int thrown = 0;
    if (const int status =
            readZoningNames(link, ZONING_TYPE_ZONE_SET, true, activeNames, &thrown);
        status != 0) {
        if (!meansNoActiveZoneSet(thrown)) {
            return status;
        }
        // No zone set is active: neither is this one.
        zoneSet->setShortAttr("ActivateZoneSet", 0);
        activeNames.clear();
    }
    if (!activeNames.empty()) {
        unsigned short flag = 0;
        if (activeNames.back() != name) {
            zoneSet->setShortAttr("ActivateZoneSet", 0);
        } else if (!zoneSet->getShortAttr("ActivateZoneSet", flag) || flag == 0) {
            markActive(*zoneSet, *database);
        }
    }

    zoneSet->clearList("setMember");
    const auto* names = FindZoningCacheTable<ZoningNameTable>(link.fabricKey, FullNames);
    const auto* sets = FindZoningCacheTable<ZoningMemberTable>(link.fabricKey, FullZoneSets);
    if (names == nullptr || sets == nullptr) {
        return kNoTable;
    }
    const auto setEntry = sets->find(name);
    const ZoningMemberMap* known =
        setEntry != sets->end() && setEntry->second != nullptr ? setEntry->second.get() : nullptr;
    for (const ListedMember& member : members) {
        std::string oid;
        if (const auto found = names->find(member.name); found != names->end()) {
            oid = found->second;
        } else if (known != nullptr) {
            if (const auto mapped = known->find(member.name); mapped != known->end()) {
                oid = mapped->second;
            }
        }
        if (!oid.empty()) {
            zoneSet->appendListValue("setMember", oid);
        } else if (const int status = CreateUndefinedZoningObject(zoneSet, member.name);
                   status != 0) {
            return status;
        }
    }
    PruneZoningMembers(link.fabricKey, FullZoneSets, name, *zoneSet);
    if (const int status = RefreshZoningMembers(link.fabricKey, FullZoneSets, name, *zoneSet);
        status != 0) {
        return status;
    }

    const std::vector<std::string> oids = listValues(*zoneSet, "setMember");
    char* nameText = nullptr;
    char* list = nullptr;
    auto* out = static_cast<ZoneSetObjectRecord*>(
        allocNamedListRecord(sizeof(ZoneSetObjectRecord), name, oids, nameText, list));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::ZoneConfig;
    CopyName48(out->OID, oidText.c_str());
    out->pcZoneSetName = nameText;
    unsigned short active = 0;
    zoneSet->getShortAttr("ActivateZoneSet", active);
    out->activateZoneSet = active;
    out->pcMemberOids = reinterpret_cast<OID_t*>(list);
    *record = out;
    trace.exit("ZoneSetOid=" + oidText);
    return 0;
} catch (const std::bad_alloc&) {
    return kNoMemory;
}
