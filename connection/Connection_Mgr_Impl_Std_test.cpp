#include "connection/Connection_Mgr_Impl_Std.h"

#include "connection/Proxy_Connection_List.h"
#include "connection/SessionHooks.h"
#include "connection/testing/FakeConnectionFactory.h"

#include <gtest/gtest.h>

#include "foundation/Logging.h"
#include "tests/support/TraceCapture.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <future>
#include <iterator>
#include <list>
#include <string>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr auto kMustWake = 10s;
constexpr auto kStaysBlocked = 100ms;

const char* const kSwitchA = "127.0.0.1";
const char* const kSwitchB = "127.0.0.2";

// The sessions of these tests are tags that name their proxy host: the
// hooks below tell the manager the host of each.
ClientSession* sessionOn(const char* host) {
    return reinterpret_cast<ClientSession*>(const_cast<char*>(host));
}

class SessionsOnHosts : public SessionHooks {
public:
    IPAddress proxyHost(ClientSession* session) override {
        return IPAddress(reinterpret_cast<const char*>(session));
    }
};

class ManagerTest : public ::testing::Test {
protected:
    // The factories outlive the manager, as the process-wide ones do.
    FakeConnectionFactory rpcFactory;
    FakeConnectionFactory httpFactory;
    std::unique_ptr<Connection_Mgr_Impl_Std> manager;

    void makeManager(int maxConnections) {
        manager = std::make_unique<Connection_Mgr_Impl_Std>(maxConnections);
        manager->addConnectionFactory(rpcProtocolKey(), &rpcFactory);
        manager->addConnectionFactory(httpProtocolKey(), &httpFactory);
    }

    // Runs a caller on its own thread; see the pool tests. Deleting the
    // manager closes its pools and so wakes a caller a failed test left.
    template <typename Call> std::future<Fabric_Connection_Ifc*>& inThread(Call call) {
        return callers.emplace_back(std::async(std::launch::async, call));
    }

    void SetUp() override {
        previousHooks = installSessionHooks(&sessions);
        makeManager(5);
    }
    void TearDown() override {
        manager.reset();
        installSessionHooks(previousHooks);
    }

    std::list<std::future<Fabric_Connection_Ifc*>> callers;
    SessionsOnHosts sessions;
    SessionHooks* previousHooks = nullptr;
};

TEST_F(ManagerTest, NoFactoryForTheProtocolIsAConnectionException) {
    const ConnectionDescriptor unknown = fakeDescriptor(kSwitchA, ProtocolKey(3, 102));
    try {
        manager->getConnection(unknown);
        FAIL() << "expected ConnectionException";
    } catch (const ConnectionException& e) {
        EXPECT_EQ(e.getMessage(), "Unable to locate appropriate connection factory.");
        EXPECT_EQ(e.getCode(), 2000);
    }
    // Nothing half-made: the known protocols still work.
    EXPECT_NE(manager->getConnection(fakeDescriptor(kSwitchA)), nullptr);
}

TEST_F(ManagerTest, PoolsOfSwitchesAndProtocolsShareNeitherConnectionsNorLimits) {
    makeManager(1);
    const ConnectionDescriptor rpcA = fakeDescriptor(kSwitchA);
    const ConnectionDescriptor httpA = fakeDescriptor(kSwitchA, httpProtocolKey());
    const ConnectionDescriptor rpcB = fakeDescriptor(kSwitchB);

    // Each pool is full at one connection, and none waits for another.
    Fabric_Connection_Ifc* onRpcA = manager->getConnection(rpcA);
    Fabric_Connection_Ifc* onHttpA = manager->getConnection(httpA);
    Fabric_Connection_Ifc* onRpcB = manager->getConnection(rpcB);
    EXPECT_EQ(rpcFactory.created, 2);
    EXPECT_EQ(httpFactory.created, 1);

    manager->returnConnection(onRpcA);
    manager->returnConnection(onHttpA);
    manager->returnConnection(onRpcB);
    EXPECT_EQ(manager->getConnection(rpcB), onRpcB);
    EXPECT_EQ(manager->getConnection(httpA), onHttpA);
    EXPECT_EQ(manager->getConnection(rpcA), onRpcA);
    EXPECT_EQ(manager->getProxy_Connection_List(rpcA)->totalCount(), 1);
}

TEST_F(ManagerTest, FindsAnIdleConnectionByIdentity) {
    const ConnectionDescriptor rpcA = fakeDescriptor(kSwitchA);
    Fabric_Connection_Ifc* first = manager->getConnection(rpcA);
    Fabric_Connection_Ifc* second = manager->getConnection(rpcA);
    manager->returnConnection(first);
    manager->returnConnection(second);

    EXPECT_EQ(manager->getConnection(rpcA, ConnectionID(first)), first);
    // No pool on the other switch: nothing to find, and no pool is made.
    EXPECT_EQ(manager->getConnection(fakeDescriptor(kSwitchB), ConnectionID(first)), nullptr);
    EXPECT_EQ(rpcFactory.created, 2);
}

TEST_F(ManagerTest, ReplacingABrokenConnectionKeepsTheTotalOfAFullPool) {
    const ConnectionDescriptor rpcA = fakeDescriptor(kSwitchA);
    std::vector<Fabric_Connection_Ifc*> taken;
    for (int i = 0; i < 5; ++i) {
        taken.push_back(manager->getConnection(rpcA));
    }
    Fabric_Connection_Ifc* fresh = manager->replaceConnection(taken[0], ConnectionID(taken[0]));
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(rpcFactory.destroyed, 1);
    EXPECT_EQ(manager->getProxy_Connection_List(rpcA)->totalCount(), 5);

    // The replacement is on loan like any other and goes back to its pool.
    manager->returnConnection(fresh);
    EXPECT_EQ(manager->getProxy_Connection_List(rpcA)->idleCount(), 1);
}

TEST_F(ManagerTest, SessionCountsDecideWhenASwitchLosesItsPools) {
    const ConnectionDescriptor rpcA = fakeDescriptor(kSwitchA);
    manager->sessionEstablished(sessionOn(kSwitchA));
    manager->sessionEstablished(sessionOn(kSwitchA));
    manager->returnConnection(manager->getConnection(rpcA));

    manager->sessionEnded(sessionOn(kSwitchA));
    EXPECT_EQ(rpcFactory.destroyed, 0);
    EXPECT_EQ(manager->getProxy_Connection_List(rpcA)->idleCount(), 1);

    manager->sessionEnded(sessionOn(kSwitchA));
    EXPECT_EQ(rpcFactory.destroyed, 1);
    manager->sessionEnded(sessionOn(kSwitchA)); // ignored
    EXPECT_EQ(rpcFactory.destroyed, 1);

    // A new request starts a fresh pool.
    EXPECT_EQ(manager->getProxy_Connection_List(rpcA)->totalCount(), 0);
}

TEST_F(ManagerTest, SessionsOnOneSwitchLeaveTheOtherSwitchsPoolsAlone) {
    manager->sessionEstablished(sessionOn(kSwitchA));
    manager->returnConnection(manager->getConnection(fakeDescriptor(kSwitchB)));
    manager->sessionEnded(sessionOn(kSwitchA));
    EXPECT_EQ(rpcFactory.destroyed, 0);
    EXPECT_EQ(manager->getProxy_Connection_List(fakeDescriptor(kSwitchB))->idleCount(), 1);
}

TEST_F(ManagerTest, ALoanedConnectionOutlivesItsDroppedPoolUntilReturned) {
    const ConnectionDescriptor rpcA = fakeDescriptor(kSwitchA);
    manager->sessionEstablished(sessionOn(kSwitchA));
    Fabric_Connection_Ifc* loaned = manager->getConnection(rpcA);
    manager->returnConnection(manager->getConnection(rpcA));

    manager->sessionEnded(sessionOn(kSwitchA));
    EXPECT_EQ(rpcFactory.destroyed, 1); // the idle one
    // Still alive and usable (AddressSanitizer watches this).
    EXPECT_EQ(loaned->getConnectionDescriptor().getProxyEntry().getUser(), "user");

    manager->returnConnection(loaned);
    EXPECT_EQ(rpcFactory.destroyed, 2);
    EXPECT_EQ(rpcFactory.live(), 0);
    // It did not slip into the switch's next pool.
    EXPECT_EQ(manager->getProxy_Connection_List(rpcA)->totalCount(), 0);
}

TEST_F(ManagerTest, AWaiterGetsNullWhenItsPoolIsDropped) {
    makeManager(1);
    const ConnectionDescriptor rpcA = fakeDescriptor(kSwitchA);
    manager->sessionEstablished(sessionOn(kSwitchA));
    Fabric_Connection_Ifc* loaned = manager->getConnection(rpcA);
    auto& waiter = inThread([&] { return manager->getConnection(rpcA); });
    ASSERT_EQ(waiter.wait_for(kStaysBlocked), std::future_status::timeout);

    manager->sessionEnded(sessionOn(kSwitchA));
    ASSERT_EQ(waiter.wait_for(kMustWake), std::future_status::ready);
    EXPECT_EQ(waiter.get(), nullptr);

    manager->returnConnection(loaned);
    EXPECT_EQ(rpcFactory.live(), 0);
}

TEST_F(ManagerTest, ReturningAnUnknownConnectionIsHarmless) {
    manager->returnConnection(nullptr);
    FakeConnection stray(fakeDescriptor(kSwitchB));
    manager->returnConnection(&stray); // no pool for that switch: ignored
    EXPECT_EQ(rpcFactory.created, 0);
}

TEST_F(ManagerTest, DeletingTheManagerDestroysEveryConnection) {
    const ConnectionDescriptor rpcA = fakeDescriptor(kSwitchA);
    manager->returnConnection(manager->getConnection(rpcA));
    manager->getConnection(rpcA);
    manager->getConnection(fakeDescriptor(kSwitchB, httpProtocolKey()));
    manager.reset();
    EXPECT_EQ(rpcFactory.live(), 0);
    EXPECT_EQ(httpFactory.live(), 0);
}

TEST_F(ManagerTest, TracesItsOperationsUnderItsCategory) {
    TraceCapture capture(Vosk_ConnectionMgr);
    ASSERT_TRUE(capture.started());
    manager->returnConnection(nullptr);
    const std::string trace = capture.finish();
    EXPECT_NE(trace.find("Message: Entering "), std::string::npos);
    EXPECT_NE(trace.find("Source Method Name: Connection_Mgr_Impl_Std::returnConnection"),
              std::string::npos);
    EXPECT_NE(trace.find("Source Arguments: NULL\tMessage: Method error: NULL Connection passed "
                         "to method: Connection_Mgr_Impl_Std::returnConnection"),
              std::string::npos);
    EXPECT_NE(trace.find("Message: Exiting "), std::string::npos);
}

TEST(ProcessWideManager, IsCreatedWithTheFactoriesGivenAndDeletedAtShutdown) {
    FakeConnectionFactory httpFactory;
    EXPECT_EQ(getConnectionManager(), nullptr);
    createConnectionManager(5, {{httpProtocolKey(), &httpFactory}});
    Connection_Mgr_Ifc* manager = getConnectionManager();
    ASSERT_NE(manager, nullptr);
    Fabric_Connection_Ifc* connection =
        manager->getConnection(fakeDescriptor(kSwitchA, httpProtocolKey()));
    EXPECT_NE(connection, nullptr);
    manager->returnConnection(connection);
    EXPECT_THROW(manager->getConnection(fakeDescriptor(kSwitchA)), ConnectionException)
        << "no factory was given for the RPC key";
    deleteConnectionManager();
    EXPECT_EQ(getConnectionManager(), nullptr);
}

} // namespace
