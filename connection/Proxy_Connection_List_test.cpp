#include "connection/Proxy_Connection_List.h"

#include "connection/testing/FakeConnectionFactory.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <list>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A wait that must end: long enough for a loaded machine, short enough that
// a broken wake-up fails the test instead of hanging it.
constexpr auto kMustWake = 10s;
// How long a caller that should be blocked is watched before it is released.
constexpr auto kStaysBlocked = 100ms;

class PoolTest : public ::testing::Test {
protected:
    FakeConnectionFactory factory;
    ConnectionDescriptor descriptor = fakeDescriptor("127.0.0.1");
    Proxy_Connection_List pool{5, &factory};

    std::vector<Fabric_Connection_Ifc*> takeAll() {
        std::vector<Fabric_Connection_Ifc*> taken;
        for (int i = 0; i < pool.maxConnections(); ++i) {
            taken.push_back(pool.getConnection(descriptor));
        }
        return taken;
    }

    // Runs a caller on its own thread. Its future belongs to the fixture, so
    // a failed test first closes the pool (TearDown), which wakes the caller,
    // and only then waits for it: a lost wake-up fails instead of hanging.
    template <typename Call> std::future<Fabric_Connection_Ifc*>& inThread(Call call) {
        return callers.emplace_back(std::async(std::launch::async, call));
    }

    void TearDown() override { pool.close(); }

    std::list<std::future<Fabric_Connection_Ifc*>> callers;
};

TEST_F(PoolTest, HandsOutTheLastReturnedConnectionFirst) {
    Fabric_Connection_Ifc* a = pool.getConnection(descriptor);
    Fabric_Connection_Ifc* b = pool.getConnection(descriptor);
    ASSERT_NE(a, b);
    pool.returnConnection(a);
    pool.returnConnection(b);

    EXPECT_EQ(pool.getConnection(descriptor), b);
    EXPECT_EQ(pool.getConnection(descriptor), a);
    EXPECT_EQ(factory.created, 2);
    EXPECT_EQ(pool.inUseCount(), 2);
    EXPECT_EQ(pool.idleCount(), 0);
}

TEST_F(PoolTest, SixthCallerWaitsAndGetsExactlyTheReturnedConnection) {
    std::vector<Fabric_Connection_Ifc*> taken = takeAll();
    ASSERT_EQ(pool.totalCount(), 5);

    auto& sixth = inThread([&] { return pool.getConnection(descriptor); });
    ASSERT_EQ(sixth.wait_for(kStaysBlocked), std::future_status::timeout);

    pool.returnConnection(taken[2]);
    ASSERT_EQ(sixth.wait_for(kMustWake), std::future_status::ready);
    EXPECT_EQ(sixth.get(), taken[2]);
    EXPECT_EQ(factory.created, 5);
    EXPECT_EQ(pool.inUseCount(), 5);
}

TEST_F(PoolTest, FindsAnIdleConnectionByItsIdentity) {
    Fabric_Connection_Ifc* a = pool.getConnection(descriptor);
    Fabric_Connection_Ifc* b = pool.getConnection(descriptor);
    Fabric_Connection_Ifc* c = pool.getConnection(descriptor);
    pool.returnConnection(a);
    pool.returnConnection(b);
    pool.returnConnection(c);

    EXPECT_EQ(pool.getConnection(descriptor, ConnectionID(b)), b);
    // The others keep their order: c was returned last.
    EXPECT_EQ(pool.getConnection(descriptor), c);
    EXPECT_EQ(pool.getConnection(descriptor), a);

    int stranger = 0;
    EXPECT_EQ(pool.getConnection(descriptor, ConnectionID(&stranger)), nullptr);
}

TEST_F(PoolTest, WaitsForAConnectionByIdentityWhileItIsOnLoan) {
    Fabric_Connection_Ifc* a = pool.getConnection(descriptor);
    auto& again = inThread([&] { return pool.getConnection(descriptor, ConnectionID(a)); });
    ASSERT_EQ(again.wait_for(kStaysBlocked), std::future_status::timeout);

    pool.returnConnection(a);
    ASSERT_EQ(again.wait_for(kMustWake), std::future_status::ready);
    EXPECT_EQ(again.get(), a);
}

TEST_F(PoolTest, ReplacingAConnectionOfAFullPoolKeepsTheTotal) {
    std::vector<Fabric_Connection_Ifc*> taken = takeAll();

    Fabric_Connection_Ifc* fresh = pool.replaceConnection(taken[1], ConnectionID(taken[1]));
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(pool.totalCount(), 5);
    EXPECT_EQ(pool.inUseCount(), 5);
    EXPECT_EQ(factory.destroyed, 1);
    EXPECT_EQ(factory.created, 6);
}

TEST_F(PoolTest, ReplacingWakesAWaiterWhenTheNewConnectionCannotBeMade) {
    std::vector<Fabric_Connection_Ifc*> taken = takeAll();
    auto& waiter = inThread([&] { return pool.getConnection(descriptor); });
    ASSERT_EQ(waiter.wait_for(kStaysBlocked), std::future_status::timeout);

    factory.failCreate = true;
    EXPECT_THROW(pool.replaceConnection(taken[0], ConnectionID(taken[0])), ConnectionException);
    // The waiter was woken by the room made and now meets the failure itself.
    ASSERT_EQ(waiter.wait_for(kMustWake), std::future_status::ready);
    EXPECT_THROW(waiter.get(), ConnectionException);
    EXPECT_EQ(pool.totalCount(), 4);
}

TEST_F(PoolTest, FactoryFailureEntersNothingAndReleasesThePool) {
    factory.failCreate = true;
    try {
        pool.getConnection(descriptor);
        FAIL() << "expected the factory's exception";
    } catch (const ConnectionException& e) {
        EXPECT_EQ(e.getCode(), -10023);
    }
    EXPECT_EQ(pool.totalCount(), 0);

    factory.failCreate = false;
    EXPECT_NE(pool.getConnection(descriptor), nullptr);
}

TEST_F(PoolTest, AConnectionReturnedTwiceIsLentOnce) {
    Fabric_Connection_Ifc* a = pool.getConnection(descriptor);
    pool.returnConnection(a);
    pool.returnConnection(a);

    EXPECT_EQ(pool.idleCount(), 1);
    EXPECT_EQ(pool.getConnection(descriptor), a);
    EXPECT_NE(pool.getConnection(descriptor), a);
}

TEST_F(PoolTest, ClosingWakesWaitersWithNullAndFreesLoansWhenReturned) {
    std::vector<Fabric_Connection_Ifc*> taken = takeAll();
    pool.returnConnection(taken[4]);
    taken.pop_back();
    auto& byIdentity =
        inThread([&] { return pool.getConnection(descriptor, ConnectionID(taken[0])); });
    Fabric_Connection_Ifc* last = pool.getConnection(descriptor);
    auto& waiter = inThread([&] { return pool.getConnection(descriptor); });
    ASSERT_EQ(waiter.wait_for(kStaysBlocked), std::future_status::timeout);

    pool.close();
    ASSERT_EQ(waiter.wait_for(kMustWake), std::future_status::ready);
    ASSERT_EQ(byIdentity.wait_for(kMustWake), std::future_status::ready);
    EXPECT_EQ(waiter.get(), nullptr);
    EXPECT_EQ(byIdentity.get(), nullptr);
    EXPECT_EQ(factory.destroyed, 0); // every connection is on loan

    // Loaned connections stay usable until they come back, then go.
    EXPECT_EQ(last->getConnectionDescriptor().getProxyEntry().getUser(), "user");
    pool.returnConnection(last);
    EXPECT_EQ(factory.destroyed, 1);
    EXPECT_EQ(pool.getConnection(descriptor), nullptr);
    for (Fabric_Connection_Ifc* c : taken) {
        pool.returnConnection(c);
    }
    EXPECT_EQ(factory.live(), 0);
    EXPECT_EQ(pool.totalCount(), 0);
}

TEST(PoolLifetime, DestructionDestroysIdleAndLoanedConnections) {
    FakeConnectionFactory factory;
    const ConnectionDescriptor descriptor = fakeDescriptor("127.0.0.1");
    {
        Proxy_Connection_List pool(5, &factory);
        Fabric_Connection_Ifc* a = pool.getConnection(descriptor);
        pool.getConnection(descriptor);
        pool.returnConnection(a);
    }
    EXPECT_EQ(factory.created, 2);
    EXPECT_EQ(factory.destroyed, 2);
}

} // namespace
