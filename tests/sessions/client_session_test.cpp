// A session's connections against the switch simulator: the own connection
// lent to one request at a time, pooled connections through the connection
// manager, and the replacement of a broken own connection.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>

#include "adapters/http/HTTPConnectionFactory.h"
#include "api/ClientSession.h"
#include "api/ClientSessionHooks.h"
#include "api/ProxyRPCConnection.h"
#include "connection/ConnectionID.h"
#include "connection/Connection_Mgr_Impl_Std.h"
#include "connection/Fabric_Connection_Factory_Impl_RPC.h"
#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/Proxy_Connection_List.h"
#include "connection/clilib.h"
#include "connection/clilib_session.h"
#include "foundation/APIException.h"
#include "foundation/InternalStatus.h"
#include "foundation/InternalTiming.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr auto kStaysBlocked = 150ms;
constexpr auto kMustWake = 10s;
constexpr std::uint32_t kAuthenticate = 1;
constexpr unsigned char kProxy[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x00, 0x00, 0xa1};

class SessionConnections : public ::testing::Test {
protected:
    void SetUp() override {
        internalTiming().rpcCallTimeout = 3000ms;
        installClientSessionHooks();
        createConnectionManager(5,
                                {{rpcProtocolKey(), Fabric_Connection_Factory_Impl_RPC::instance()},
                                 {httpProtocolKey(), getHTTPConnectionFactory()}});
        session_ = std::make_unique<ClientSession>(
            entry_, getProxyRPCConnection(entry_, CONNECTION_LOGIN_PASSWORD), false);
    }
    void TearDown() override {
        session_.reset();
        deleteConnectionManager();
    }

    std::uint64_t logins() { return sim_.callCount(sim_.address(0), kAuthenticate); }

    SwitchSimulator sim_{json::parse(R"({"fabrics": [{"name": "A",
        "wwn": "10:00:00:60:69:00:00:a1", "users": [{"name": "admin", "password": "password"}],
        "switches": [{"wwn": "10:00:00:60:69:00:00:a1", "firmware": "v4.1.0",
                      "address": "@0"}]}]})")};
    const FabricProxyEntry entry_{"admin", "password", IPAddress(sim_.address(0).c_str())};
    std::unique_ptr<ClientSession> session_;
};

TEST_F(SessionConnections, TwoBorrowersTakeTurns) {
    Fabric_Connection_Impl_RPC* first = session_->acquireConnection();
    ASSERT_NE(nullptr, first);
    EXPECT_STRNE("", session_->loginSignatureText()) << "the login's credential is kept";
    auto second = std::async(std::launch::async, [&] { return session_->acquireConnection(); });
    ASSERT_EQ(std::future_status::timeout, second.wait_for(kStaysBlocked));
    session_->releaseConnection(first);
    ASSERT_EQ(std::future_status::ready, second.wait_for(kMustWake));
    EXPECT_EQ(first, second.get());
    EXPECT_TRUE(session_->isConnectionInUse());
    session_->releaseConnection(first);
    EXPECT_FALSE(session_->isConnectionInUse());
}

TEST_F(SessionConnections, APooledConnectionGoesBackToItsPoolAndLeavesTheOwnOneLent) {
    Fabric_Connection_Impl_RPC* own = session_->acquireConnection();
    Fabric_Connection_Ifc* pooled = session_->getConnection(rpcProtocolKey());
    ASSERT_NE(nullptr, pooled);
    EXPECT_NE(static_cast<Fabric_Connection_Ifc*>(own), pooled);
    EXPECT_EQ(2u, logins()) << "the pooled connection logs in as the session did";
    session_->releaseConnection(pooled);
    EXPECT_TRUE(session_->isConnectionInUse());
    auto* manager = dynamic_cast<Connection_Mgr_Impl_Std*>(getConnectionManager());
    ASSERT_NE(nullptr, manager);
    const ConnectionDescriptor descriptor(rpcProtocolKey(), entry_, CONNECTION_LOGIN_PASSWORD);
    EXPECT_EQ(1, manager->getProxy_Connection_List(descriptor)->idleCount());
    session_->releaseConnection(own);

    // The switch's last session ending drops its pools.
    session_.reset();
    EXPECT_EQ(0, manager->getProxy_Connection_List(descriptor)->totalCount());
}

TEST_F(SessionConnections, TheRequestLayerBorrowsPooledHttpConnectionsThroughTheSession) {
    SessionContext* ctx = createSessionContext(session_.release()); // owns the session now
    Fabric_Connection_Ifc* http = getSessionHTTPConnection(ctx);
    ASSERT_NE(nullptr, http);
    EXPECT_TRUE(http->getProtocolDescriptor() == httpProtocolKey());
    EXPECT_FALSE(ctx->session->isConnectionInUse()) << "the own connection stays free";
    returnSessionRPCConnection(http, ctx);
    auto* manager = dynamic_cast<Connection_Mgr_Impl_Std*>(getConnectionManager());
    const ConnectionDescriptor descriptor(httpProtocolKey(), entry_, CONNECTION_LOGIN_PASSWORD);
    EXPECT_EQ(1, manager->getProxy_Connection_List(descriptor)->idleCount());
    Fabric_Connection_Ifc* own = getSessionConnection(ctx);
    EXPECT_TRUE(own->getProtocolDescriptor() == rpcProtocolKey());
    returnSessionRPCConnection(own, ctx);
    destroySessionContext(ctx);
    EXPECT_THROW(getSessionHTTPConnection(nullptr), ConnectionException);
}

TEST_F(SessionConnections, AReplacedConnectionIsLoggedInAgain) {
    Fabric_Connection_Impl_RPC* own = session_->acquireConnection();
    Fabric_Connection_Ifc* fresh = session_->replaceConnection(own, ConnectionID(own));
    ASSERT_NE(nullptr, fresh);
    EXPECT_EQ(2u, logins());
    EXPECT_TRUE(session_->isConnectionInUse()) << "the caller holds the new one";
    session_->releaseConnection(fresh);
    EXPECT_EQ(fresh, session_->acquireConnection());
    session_->releaseConnection(fresh);
}

TEST_F(SessionConnections, AFailedReplacementLeavesTheSessionBrokenNotStuck) {
    SessionContext* ctx = createSessionContext(session_.get());
    ClientSession* session = session_.release(); // the context owns it now
    Fabric_Connection_Impl_RPC* own = session->acquireConnection();
    auto waiter = std::async(std::launch::async, [&] { return session->acquireConnection(); });
    ASSERT_EQ(std::future_status::timeout, waiter.wait_for(kStaysBlocked));

    // The switch refuses the new connection's login.
    sim_.injectFault({{"address", sim_.address(0)},
                      {"procedure", kAuthenticate},
                      {"kind", "status"},
                      {"status", -1}});
    EXPECT_THROW(session->replaceConnection(own, ConnectionID(own)), ConnectionException);
    ASSERT_EQ(std::future_status::ready, waiter.wait_for(kMustWake)) << "the waiter was woken";
    EXPECT_EQ(nullptr, waiter.get());
    EXPECT_FALSE(session->isConnectionInUse());
    EXPECT_EQ(nullptr, session->acquireConnection()) << "at once, without waiting";

    // Requests on the session report that it has no connection.
    int version = 0;
    EXPECT_EQ(REQ_ERR_NO_CONNECTION, getAPIversion(ctx, kProxy, &version));
    destroySessionContext(ctx); // nothing is closed twice
}

} // namespace
