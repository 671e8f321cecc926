#include "zoning/SessionZoningCache.h"

#include "zoning/ActiveZoningDbCache.h"
#include "zoning/FullZoningDbLoader.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningCacheDiscard.h"

void SessionZoningCache::createFabricTables(const std::string& fabricOid) {
    CreateZoningCache(fabricOid);
}

void SessionZoningCache::discardActiveZoningCache(const std::string& databaseOid) {
    DiscardActiveZoningCache(databaseOid);
}

void SessionZoningCache::discardFullZoningCache(const std::string& databaseOid) {
    DiscardFullZoningCache(databaseOid);
}

void SessionZoningCache::releaseFabricTables(const std::string& fabricOid) {
    RemoveZoningCache(fabricOid);
}

void SessionZoningCache::queryWalkBegins() {
    BeginActiveListingWalk();
    BeginFullZoningDbWalk();
}

void SessionZoningCache::queryWalkEnds() {
    EndFullZoningDbWalk();
    EndActiveListingWalk();
}

void installSessionZoningCache() {
    static SessionZoningCache hooks;
    installZoningCacheHooks(&hooks);
}
