// A session's zoning cache: opening the session makes the fabric's eight
// empty tables, closing it frees them.
#include <gtest/gtest.h>

#include "orvane/fabapi.h"
#include "tests/sessions/SessionFabrics.h"
#include "zoning/ZoningCache.h"

namespace {

using namespace sessions;

TEST(SessionZoningCache, OpenMakesTheFabricTablesAndCloseFreesThem) {
    SwitchSimulator sim{twoFabrics()};
    FabAPI_ShutdownFabricAPI();
    discover(sim);
    FabAPI_ClientSessionID* session = nullptr;
    ASSERT_EQ(0, establish(kFabricA, &session));

    ZoningCache* cache = findZoningCache(kFabricA);
    ASSERT_NE(nullptr, cache);
    for (const char* table :
         {"FZDB", "FZDBZ", "FZDBZALIAS", "FZDBZSET", "AZDB", "AZDBZ", "DBTRTABLE", "OIDSET"})
        EXPECT_TRUE(cache->hasTable(table)) << table;

    EXPECT_EQ(0, FabAPI_CloseSession(session));
    EXPECT_EQ(nullptr, findZoningCache(kFabricA));
    falFreeObject(session);
    EXPECT_EQ(0, FabAPI_ShutdownFabricAPI());
}

} // namespace
