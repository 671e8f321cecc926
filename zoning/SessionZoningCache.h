// The zoning cache behind the fabric object tree: a session's opening makes
// the fabric's tables, its closing discards the zoning databases' parts and
// frees them.
#pragma once

#include "objects/ZoningCacheHooks.h"

class SessionZoningCache : public ZoningCacheHooks {
public:
    // CreateZoningCache.
    void createFabricTables(const std::string& fabricOid) override;
    // DiscardActiveZoningCache and DiscardFullZoningCache.
    void discardActiveZoningCache(const std::string& databaseOid) override;
    void discardFullZoningCache(const std::string& databaseOid) override;
    // RemoveZoningCache.
    void releaseFabricTables(const std::string& fabricOid) override;
    // The active listings kept, and the defined databases loaded once, for
    // one walk (ActiveZoningDbCache.h, FullZoningDbLoader.h).
    void queryWalkBegins() override;
    void queryWalkEnds() override;
};

// Installs the process-wide SessionZoningCache (idempotent).
void installSessionZoningCache();
