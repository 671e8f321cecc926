#include "composition/InitializationMgr.h"

#include <gtest/gtest.h>

#include "api/ApiState.h"
#include "api/FabricDiscoveryMgr.h"
#include "api/ProxyEntryList.h"
#include "api/SessionFactory.h"
#include "connection/CertMgr.h"
#include "connection/Connection_Mgr_Impl_Std.h"
#include "connection/SecurityMgr_Impl_Basic.h"
#include "objects/ThrexMngr.h"
#include "services/ConfigManager.h"
#include "services/EventManager.h"

namespace {

class InitializationMgrTest : public ::testing::Test {
protected:
    void TearDown() override {
        InitializationMgr::shutdownAPI(true);
        getProxyEntryList().clear();
    }
};

bool everyManagerExists() {
    return getSessionTable() != nullptr && getLegacySessionTable() != nullptr &&
           getFabricDiscoveryMgr() != nullptr && getConnectionManager() != nullptr &&
           getSecurityManager() != nullptr && getSessionFactory() != nullptr &&
           EventManager::instance() != nullptr && getThrexMngr() != nullptr &&
           ConfigManager::instance() != nullptr;
}

bool noManagerExists() {
    return getSessionTable() == nullptr && getLegacySessionTable() == nullptr &&
           getFabricDiscoveryMgr() == nullptr && getConnectionManager() == nullptr &&
           getSecurityManager() == nullptr && getSessionFactory() == nullptr &&
           EventManager::instance() == nullptr && getThrexMngr() == nullptr &&
           ConfigManager::instance() == nullptr;
}

TEST_F(InitializationMgrTest, StartCreatesEveryManagerOnceAndShutdownDeletesThem) {
    EXPECT_FALSE(InitializationMgr::isAPIInitialized());
    EXPECT_TRUE(noManagerExists());
    InitializationMgr::shutdownAPI(true); // not started: nothing happens

    InitializationMgr::initializeAPI(false);
    ASSERT_TRUE(InitializationMgr::isAPIInitialized());
    EXPECT_TRUE(everyManagerExists());
    SessionFactory* factory = getSessionFactory();
    EventManager* events = EventManager::instance();
    InitializationMgr::initializeAPI(true); // already started: nothing changes
    EXPECT_EQ(factory, getSessionFactory());
    EXPECT_EQ(events, EventManager::instance());

    InitializationMgr::shutdownAPI(false);
    EXPECT_FALSE(InitializationMgr::isAPIInitialized());
    EXPECT_TRUE(noManagerExists());
}

TEST_F(InitializationMgrTest, TheProxyListIsEmptiedOnlyWhenAsked) {
    getProxyEntryList().append(FabricProxyEntry("", "", IPAddress("127.66.0.1")));
    InitializationMgr::initializeAPI(false);
    InitializationMgr::shutdownAPI(false);
    EXPECT_EQ(1u, getProxyEntryList().copyEntries().size()) << "kept over a stop";

    InitializationMgr::initializeAPI(false);
    EXPECT_TRUE(everyManagerExists()) << "a second start makes fresh managers";
    InitializationMgr::shutdownAPI(true);
    EXPECT_TRUE(getProxyEntryList().copyEntries().empty());

    getProxyEntryList().append(FabricProxyEntry("", "", IPAddress("127.66.0.1")));
    InitializationMgr::initializeAPI(true);
    EXPECT_TRUE(getProxyEntryList().copyEntries().empty());
}

} // namespace
