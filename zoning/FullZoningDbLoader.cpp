#include "zoning/FullZoningDbLoader.h"

#include <set>

#include "foundation/WalkingThread.h"
#include "zoning/DefinedZoningDatabase.h"
#include "zoning/ZoningCodes.h"

namespace {

// The fabrics whose defined database the walk in progress has loaded, and
// the walking thread.
struct LoadWalk {
    WalkingThread walker;
    std::set<std::string> loaded;

    bool walking() const { return walker.here(); }
};

LoadWalk& loadWalk() {
    static LoadWalk walk;
    return walk;
}

} // namespace

void BeginFullZoningDbWalk() {
    loadWalk().loaded.clear();
    loadWalk().walker.begin();
}

void EndFullZoningDbWalk() {
    if (loadWalk().walker.end()) {
        loadWalk().loaded.clear();
    }
}

int LoadFullZoningDb(StoredObject* database, const std::string&) {
    DefinedZoningDatabase defined;
    if (const int status = defined.open(database); status != 0) {
        return status;
    }
    const std::string& key = defined.fabricKey();
    LoadWalk& walk = loadWalk();
    if (walk.walking() && walk.loaded.contains(key)) {
        return 0;
    }
    if (FindZoningCacheTable<ZoningMemberTable>(key, zoning_table::FullZones) == nullptr ||
        FindZoningCacheTable<ZoningMemberTable>(key, zoning_table::FullAliases) == nullptr) {
        return -17;
    }
    ZoningListing zoneSets, zones, qlZones, faZones, aliases;
    const std::pair<int, ZoningListing*> reads[] = {{ZONING_TYPE_ZONE_SET, &zoneSets},
                                                    {ZONING_TYPE_ZONE, &zones},
                                                    {ZONING_TYPE_QL_ZONE, &qlZones},
                                                    {ZONING_TYPE_FA_ZONE, &faZones},
                                                    {ZONING_TYPE_ALIAS, &aliases}};
    for (const auto& [type, listing] : reads) {
        if (const int status = defined.readObjects(type, *listing); status != 0) {
            return status;
        }
    }
    std::optional<std::string> activeName;
    if (const int status = defined.readActiveZoneSetName(activeName); status != 0) {
        return status;
    }
    defined.relistZoneSets(zoneSets, activeName);
    defined.relistAliases(aliases);
    defined.relistZones({&zones, &qlZones, &faZones});
    defined.removeUnlisted(kDatabaseObjectTypes, true);
    defined.rebuildNames();
    if (walk.walking()) {
        walk.loaded.insert(key);
    }
    return 0;
}
