#include "adapters/http/HTTPConnection.h"
#include "adapters/http/HTTPConnectionFactory.h"
#include "adapters/http/HTTPStatus.h"
#include "adapters/http/ProxyInfoPage.h"
#include "connection/Connection_Mgr_Impl_Std.h"
#include "foundation/APIException.h"
#include "foundation/InternalTiming.h"
#include "tests/support/SwitchSimulator.h"
#include "topology/UDAL_Topology.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

json threeSwitchFabric() {
    return json::parse(R"({"fabrics": [{"name": "A",
        "switches": [
          {"wwn": "10:00:00:60:69:00:00:01", "name": "core", "firmware": "v4.1.0",
           "address": "@0", "domain": 1, "fcs": "Primary"},
          {"wwn": "10:00:00:60:69:00:00:02", "name": "edge-1", "domain": 2},
          {"wwn": "10:00:00:60:69:00:00:03", "name": "edge-2", "domain": 7, "type": 9}],
        "isls": [
          {"from": "10:00:00:60:69:00:00:01", "fromPort": 4, "to": "10:00:00:60:69:00:00:02",
           "toPort": 5, "cost": 500, "count": 1, "type": 1},
          {"from": "10:00:00:60:69:00:00:03", "fromPort": 0, "to": "10:00:00:60:69:00:00:01",
           "toPort": 6, "cost": 1000, "count": 2, "type": 1}]}]})");
}

template <typename Record> struct Owned {
    std::list<Record*> items;
    ~Owned() {
        for (Record* record : items) {
            delete record;
        }
    }
};

class HttpPagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        internalTiming().httpQuietTimeout = 300ms;
        sim = std::make_unique<SwitchSimulator>(threeSwitchFabric());
        adapter.setHost(sim->address(0));
        createConnectionManager(5, {{httpProtocolKey(), getHTTPConnectionFactory()}});
    }
    void TearDown() override { deleteConnectionManager(); }

    ConnectionDescriptor descriptor() const {
        return ConnectionDescriptor(
            httpProtocolKey(),
            FabricProxyEntry("admin", "password", IPAddress(sim->address(0).c_str())),
            CONNECTION_LOGIN_NONE);
    }

    // An HTTP connection from the manager's pool for the proxy switch.
    HTTPConnection* pooled() {
        Fabric_Connection_Ifc* connection = getConnectionManager()->getConnection(descriptor());
        return static_cast<HTTPConnection*>(connection->getHandle());
    }

    std::unique_ptr<SwitchSimulator> sim;
    HTTPAdapter adapter;
};

TEST_F(HttpPagesTest, PoolMakesOneConnectionThatKnowsItsProxy) {
    HTTPConnection* connection = pooled();
    EXPECT_EQ(connection->checkStatus().code, 0);
    EXPECT_EQ(connection->getProxyWWNAddress().toString(), "10:00:00:60:69:00:00:01");
    EXPECT_EQ(connection->getProxyVersion().toString(), "v4.1.0");
    getConnectionManager()->returnConnection(connection);
    EXPECT_EQ(pooled(), connection);
    getConnectionManager()->returnConnection(connection);
    EXPECT_EQ(sim->callCount(sim->address(0), 80, 1), 1u);
}

TEST_F(HttpPagesTest, SwitchWhosePageFailsGetsNoPooledConnection) {
    sim->injectFault({{"address", sim->address(0)},
                      {"procedure", 80},
                      {"code", 1},
                      {"kind", "status"},
                      {"status", 500},
                      {"count", 1}});
    try {
        pooled();
        FAIL() << "a connection was made";
    } catch (const ConnectionException& e) {
        EXPECT_EQ(e.getCode(), HTTP_ERR_BAD_RESPONSE);
    }
    HTTPConnection* connection = pooled();
    EXPECT_EQ(connection->checkStatus().code, 0);
    getConnectionManager()->returnConnection(connection);
}

TEST_F(HttpPagesTest, SwitchPageGivesProxyNameAndFirmware) {
    const std::list<std::string>* lines = nullptr;
    ASSERT_EQ(adapter.GetDataPage("switch.html", lines), 0);
    const ProxyInfo info = readProxyInfo(*lines);
    ASSERT_TRUE(info.wwn && info.version);
    EXPECT_EQ(info.wwn->toString(), "10:00:00:60:69:00:00:01");
    EXPECT_EQ(info.version->toString(), "v4.1.0");
    EXPECT_EQ(sim->callCount(sim->address(0), 80, 1), 1u);
}

TEST_F(HttpPagesTest, TopologyPagesGiveSwitchesAndLinksOfTheFabric) {
    UDAL_Topology topology;
    HTTPConnection* connection = pooled();
    ASSERT_EQ(topology.setConnection(connection), 0);
    Owned<UDAL_Switch> switches;
    Owned<UDAL_ISL> links;
    ASSERT_EQ(topology.GetALLSwitchesHTTP(&switches.items), 0);
    ASSERT_EQ(topology.GetAllISLsHTTP(&links.items), 0);

    ASSERT_EQ(switches.items.size(), 3u);
    const UDAL_Switch& core = *switches.items.front();
    EXPECT_STREQ(core.switchName, "core");
    EXPECT_EQ(core.domainID, 1);
    EXPECT_EQ(core.fcsRole, FCS_ROLE_PRIMARY);
    EXPECT_EQ(core.worldWideName[7], 0x01);
    EXPECT_STREQ(core.ethernetIP, sim->address(0).c_str());
    const UDAL_Switch& last = *switches.items.back();
    EXPECT_STREQ(last.switchName, "edge-2");
    EXPECT_EQ(last.domainID, 7);
    EXPECT_EQ(last.switchType, 9);

    // Each link is listed under both of its domains.
    std::vector<std::vector<int>> seen;
    for (const UDAL_ISL* l : links.items) {
        seen.push_back({l->domain, l->remoteDomain, l->port, l->remotePort, l->cost, l->count});
    }
    EXPECT_EQ(seen, (std::vector<std::vector<int>>{{1, 2, 4, 5, 500, 1},
                                                   {1, 7, 6, 0, 1000, 2},
                                                   {2, 1, 5, 4, 500, 1},
                                                   {7, 1, 0, 6, 1000, 2}}));
}

struct FaultCase {
    const char* name;
    const char* kind;
    int status;
    int expected;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class HttpPageFaults : public HttpPagesTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(HttpPageFaults, GiveTheClientsCode) {
    const FaultCase& c = GetParam();
    sim->injectFault({{"address", sim->address(0)},
                      {"procedure", 80},
                      {"code", 2},
                      {"kind", c.kind},
                      {"status", c.status}});
    UDAL_Topology topology;
    HTTPConnection* connection = pooled();
    ASSERT_EQ(topology.setConnection(connection), 0);
    Owned<UDAL_Switch> switches;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(topology.GetALLSwitchesHTTP(&switches.items), c.expected);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 20s);
    if (c.expected != 0) {
        EXPECT_TRUE(switches.items.empty());
    }
    if (std::string(c.name) == "OverLongLine") {
        // The over-long value is cut to the field, which stays terminated.
        ASSERT_EQ(switches.items.size(), 1u);
        EXPECT_EQ(std::string(switches.items.front()->switchName), std::string(127, 'x'));
    }
    // Other pages are not affected.
    const std::list<std::string>* lines = nullptr;
    EXPECT_EQ(connection->GetDataPage("switch.html", lines), 0);
    getConnectionManager()->returnConnection(connection);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HttpPageFaults,
    ::testing::Values(FaultCase{"NotFound", "status", 404, HTTP_ERR_BAD_RESPONSE},
                      FaultCase{"ServerError", "status", 500, HTTP_ERR_BAD_RESPONSE},
                      FaultCase{"SilenceAfterAccept", "noReply", 0, HTTP_ERR_BAD_RESPONSE},
                      FaultCase{"ClosedWithoutAnswer", "close", 0, HTTP_ERR_BAD_RESPONSE},
                      FaultCase{"KeptOpen", "delay", 0, 0},
                      FaultCase{"MalformedLines", "malformed", 0, HTTP_ERR_BAD_RESPONSE},
                      FaultCase{"OverLongLine", "malformed", 1, 0}),
    [](const ::testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST_F(HttpPagesTest, UnknownPageIsNotFound) {
    const std::list<std::string>* lines = nullptr;
    EXPECT_EQ(adapter.GetDataPage("nothing.html", lines), HTTP_ERR_BAD_RESPONSE);
    EXPECT_EQ(sim->callCount(sim->address(0), 80, 0), 1u);
}

} // namespace
