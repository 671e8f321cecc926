#include "zoning/ZoningCacheDiscard.h"

#include "api/ObjectStore.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using namespace zoning_table;

// Destroys the members of every entry of `table` that are of `types`, and
// empties the table.
void discardMembers(ZoningMemberTable& table, ObjectTypes types) {
    for (const auto& [name, members] : table) {
        if (members == nullptr) {
            continue;
        }
        for (const auto& [member, oid] : *members) {
            eraseObjectOfType(oid, types);
        }
    }
    table.clear();
}

void discardNamed(ZoningNameTable& table) {
    for (const auto& [name, oid] : table) {
        eraseObjectOfType(oid, kZoningObjectTypes);
    }
    table.clear();
}

} // namespace

int DiscardFullZoningCache(const std::string& oid) {
    StoredObject* database = findObjectUnlocked(oid);
    if (database == nullptr) {
        return -28;
    }
    const std::string key = fabricKeyOfDatabase(*database);
    auto* names = FindZoningCacheTable<ZoningNameTable>(key, FullNames);
    auto* zones = FindZoningCacheTable<ZoningMemberTable>(key, FullZones);
    auto* aliases = FindZoningCacheTable<ZoningMemberTable>(key, FullAliases);
    auto* zoneSets = FindZoningCacheTable<ZoningMemberTable>(key, FullZoneSets);
    if (key.empty() || names == nullptr || zones == nullptr || aliases == nullptr ||
        zoneSets == nullptr) {
        return -17;
    }
    discardMembers(*zones, kMemberObjectTypes);
    discardMembers(*aliases, kZoningObjectTypes);
    discardMembers(*zoneSets, kUndefinedObjectTypes);
    discardNamed(*names);
    for (const char* list : {"setMember", "setZone", "setZoneAlias", "setZoneSet"}) {
        database->clearList(list);
    }
    return 0;
}

int DiscardActiveZoningCache(const std::string& oid) {
    StoredObject* database = findObjectUnlocked(oid);
    if (database == nullptr) {
        return -30;
    }
    const std::string key = fabricKeyOfDatabase(*database);
    auto* names = FindZoningCacheTable<ZoningNameTable>(key, ActiveNames);
    auto* zones = FindZoningCacheTable<ZoningMemberTable>(key, ActiveZones);
    if (key.empty() || names == nullptr || zones == nullptr) {
        return -17;
    }
    discardNamed(*names);
    discardMembers(*zones, kMemberObjectTypes);
    database->clearList("setMember");
    database->setStringAttr("ZoneSetName", "");
    return 0;
}
