#include <gtest/gtest.h>

#include "objects/FabricObjectTree.h"
#include "tests/support/ZoningTestFabric.h"
#include "zoning/SessionZoningCache.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningMemberRefresh.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

TEST(SessionZoningCache, RemovingTheFabricsObjectsFreesItsZoningCache) {
    SessionZoningCache hooks;
    ZoningCacheHooks* previous = installZoningCacheHooks(&hooks);
    {
        ZoningTestFabric fabric;
        RemoveZoningCache(fabric.key);
        zoningCacheHooks().createFabricTables(fabric.key);
        ASSERT_NE(findZoningCache(fabric.key), nullptr);
        {
            LockGuard model(getObjectStoreMutex());
            ASSERT_EQ(CreateZoneObject(fabric.full, "z1", 1), 0);
            StoredObject* zone = findObjectUnlocked(listValues(*fabric.full, "setZone").back());
            ASSERT_EQ(CreateZoneMemberObject(zone, "1,1", 8), 0);
            ASSERT_EQ(RefreshZoningMembers(fabric.key, zoning_table::FullZones, "z1", *zone), 0);
            ASSERT_EQ(CreateZoneObject(fabric.active, "z1", 1), 0);
            AddZoningJournalRecord(fabric.key, zoning_verb::ZoneAddMap, "", "z1", "",
                                   std::make_unique<ZoningMemberMap>());
        }
        RemoveFabricObjects(fabric.key);
        EXPECT_EQ(findZoningCache(fabric.key), nullptr);
        EXPECT_TRUE(objectMap().empty());
    }
    installZoningCacheHooks(previous);
}

} // namespace
