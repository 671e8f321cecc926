#include "zoning/ZoningMemberRefresh.h"

#include <new>
#include <set>

#include "api/ObjectStore.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using namespace zoning_table;

constexpr unsigned short kZoneMember = 22;
constexpr unsigned short kUndefined = 0xFFFB;

bool isActiveNames(const std::string& tableName) {
    return tableName == ActiveNames;
}

// The object types a prune of the member table may destroy; empty for a
// table it leaves alone.
ObjectTypes prunedTypes(const std::string& tableName) {
    if (tableName == FullZones || tableName == FullAliases || tableName == ActiveZones) {
        return kMemberObjectTypes;
    }
    if (tableName == FullZoneSets) {
        return kUndefinedObjectTypes;
    }
    return {};
}

// The attribute that names a listed object of `type` in the member table,
// or null when the table does not hold such objects.
const char* memberNameAttribute(const std::string& tableName, unsigned short type) {
    if (tableName == FullZones) {
        return type == kZoneMember  ? "MemberName"
               : type == kUndefined ? "UndefinedObjName"
                                    : nullptr;
    }
    if (tableName == FullAliases || tableName == ActiveZones) {
        return "MemberName";
    }
    if (tableName == FullZoneSets) {
        return type == kUndefined ? "UndefinedObjName" : nullptr;
    }
    return nullptr;
}

std::set<std::string> listedMembers(const StoredObject& owner) {
    const std::vector<std::string> listed = listValues(owner, "setMember");
    return {listed.begin(), listed.end()};
}

// Inserts name -> identifier for every listed object that `nameOf` names.
template <class NameOf>
void fillFromList(const StoredObject& owner, ZoningMemberMap& map, NameOf&& nameOf) {
    for (const std::string& oid : listValues(owner, "setMember")) {
        const StoredObject* object = findObjectUnlocked(oid);
        if (object == nullptr) {
            continue;
        }
        const char* attribute = nameOf(*object);
        std::string name;
        if (attribute != nullptr && object->getStringAttr(attribute, name)) {
            map.emplace(name, oid);
        }
    }
}

// An active zone that leaves the active database takes its own members
// with it (those it made, whose parent it is, and those its "AZDBZ" entry
// names), so that none stays behind without its zone.
void pruneActiveZoneMembers(ZoningObjectRemoval& removal, const std::string& zoneOid,
                            const std::string& zoneName, ZoningMemberTable* zoneMembers) {
    if (const StoredObject* zone = findObjectUnlocked(zoneOid)) {
        for (const std::string& member : listValues(*zone, "setMember")) {
            const StoredObject* object = findObjectUnlocked(member);
            if (object != nullptr && firstRelation(*object, "setParent") == zoneOid) {
                removal.remove(member, kMemberObjectTypes);
            }
        }
    }
    if (zoneMembers == nullptr) {
        return;
    }
    if (const auto entry = zoneMembers->find(zoneName); entry != zoneMembers->end()) {
        if (entry->second != nullptr) {
            for (const auto& [member, oid] : *entry->second) {
                const StoredObject* object = findObjectUnlocked(oid);
                if (object != nullptr && firstRelation(*object, "setParent") == zoneOid) {
                    removal.remove(oid, kMemberObjectTypes);
                }
            }
        }
        zoneMembers->erase(entry);
    }
}

} // namespace

void PruneZoningMembers(const std::string& fabricKey, const std::string& tableName,
                        const std::string& key, const StoredObject& owner) {
    const std::set<std::string> listed = listedMembers(owner);
    ZoningObjectRemoval removal(fabricKey);
    if (isActiveNames(tableName)) {
        auto* table = FindZoningCacheTable<ZoningNameTable>(fabricKey, tableName);
        auto* zoneMembers = FindZoningCacheTable<ZoningMemberTable>(fabricKey, ActiveZones);
        for (const auto& [name, oid] : table != nullptr ? *table : ZoningNameTable()) {
            if (!listed.contains(oid)) {
                pruneActiveZoneMembers(removal, oid, name, zoneMembers);
                removal.remove(oid, kZoneTypes);
            }
        }
        return;
    }
    const auto types = prunedTypes(tableName);
    auto* table = FindZoningCacheTable<ZoningMemberTable>(fabricKey, tableName);
    if (table == nullptr || types.empty()) {
        return;
    }
    const auto entry = table->find(key);
    if (entry == table->end() || entry->second == nullptr) {
        return;
    }
    for (const auto& [member, oid] : *entry->second) {
        if (!listed.contains(oid)) {
            removal.remove(oid, types);
        }
    }
}

int RefreshZoningMembers(const std::string& fabricKey, const std::string& tableName,
                         const std::string& key, const StoredObject& owner) try {
    if (isActiveNames(tableName)) {
        auto* table = FindZoningCacheTable<ZoningNameTable>(fabricKey, tableName);
        if (table == nullptr) {
            return -17;
        }
        table->clear();
        fillFromList(owner, *table, [](const StoredObject&) { return "ZoneName"; });
        return 0;
    }
    auto* table = FindZoningCacheTable<ZoningMemberTable>(fabricKey, tableName);
    if (table == nullptr) {
        return -17;
    }
    table->erase(key);
    auto members = std::make_unique<ZoningMemberMap>();
    fillFromList(owner, *members, [&](const StoredObject& object) {
        return memberNameAttribute(tableName, storedObjectType(object));
    });
    table->emplace(key, std::move(members));
    return 0;
} catch (const std::bad_alloc&) {
    return -2;
}
