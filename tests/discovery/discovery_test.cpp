// FabricDiscoveryMgr against the simulator: which logins complete an
// identity, and what the identity registry keeps.
#include <gtest/gtest.h>

#include "api/FabricDiscoveryMgr.h"
#include "api/FabricIdentityRegistry.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using nlohmann::json;

// One fabric of four proxy switches: @0 takes the certificate login, the
// others only passwords. The fabric has five switches.
json oneFabric() {
    return json::parse(R"({
      "fabrics": [
        {"name": "A", "wwn": "10:00:00:60:69:aa:00:01",
         "users": [{"name": "admin", "password": "password"}],
         "switches": [
           {"wwn": "10:00:00:60:69:aa:00:01", "address": "@0", "certificate": "switch-01",
            "secureLogin": true},
           {"wwn": "10:00:00:60:69:aa:00:02", "address": "@1"},
           {"wwn": "10:00:00:60:69:aa:00:03", "address": "@2"},
           {"wwn": "10:00:00:60:69:aa:00:04", "address": "@3"},
           {"wwn": "10:00:00:60:69:aa:00:05"}]}]})");
}

FabricProxyEntry proxy(const std::string& host, const std::string& user = "admin",
                       const std::string& password = "password") {
    return FabricProxyEntry(user, password, IPAddress(host.c_str()));
}

class DiscoveryTest : public ::testing::Test {
protected:
    SwitchSimulator sim{oneFabric()};
    FabricDiscoveryMgr manager;

    // The single identity of a discovery through `entries`.
    std::unique_ptr<FabricDiscoveryInfo> discoverOne(const std::vector<FabricProxyEntry>& entries) {
        auto info = manager.discover(entries);
        EXPECT_EQ(1u, info->getIdentities().size());
        return info;
    }
    const FabricIdentity& only(const FabricDiscoveryInfo& info) {
        return *info.getIdentities().begin()->second;
    }
};

TEST_F(DiscoveryTest, ALoginOnAnyProxyCompletesTheIdentity) {
    const struct {
        const char* what;
        int proxy;
        const char* password;
        bool complete;
    } cases[] = {
        {"certificate login", 0, "password", true},
        {"certificate refused, password accepted", 1, "password", true},
        {"wrong password", 2, "wrong", false},
        {"no password: no login tried", 3, "", false},
    };
    for (const auto& c : cases) {
        sim.resetCounters();
        const auto info = discoverOne({proxy(sim.address(c.proxy), "admin", c.password)});
        const FabricIdentity& identity = only(*info);
        EXPECT_EQ(c.complete, identity.isComplete()) << c.what;
        EXPECT_EQ(c.complete ? 5u : 0u, identity.getSignature().getSwitches().size()) << c.what;
        ASSERT_EQ(1u, identity.getProxyEntries().size());
        EXPECT_EQ(sim.address(c.proxy), identity.getProxyEntries()[0]->getHost().c_str());
        if (c.password[0] == '\0') {
            EXPECT_EQ(0u, sim.callCount(sim.address(c.proxy), 126)) << c.what;
            EXPECT_EQ(0u, sim.callCount(sim.address(c.proxy), 1)) << c.what;
        }
    }
}

TEST_F(DiscoveryTest, TheSwitchListComesFromTheFirstProxyThatLogsIn) {
    const auto info =
        discoverOne({proxy(sim.address(3), "admin", ""), proxy(sim.address(2), "admin", "wrong"),
                     proxy(sim.address(1)), proxy(sim.address(0))});
    const FabricIdentity& identity = only(*info);
    EXPECT_TRUE(identity.isComplete());
    EXPECT_EQ(4u, identity.getProxyEntries().size());
    EXPECT_EQ(1u, sim.callCount(sim.address(1), 40, 257));
    EXPECT_EQ(0u, sim.callCount(sim.address(0), 40, 257));
    EXPECT_EQ(0u, sim.callCount(sim.address(0), 126)) << "no login once complete";
}

TEST_F(DiscoveryTest, TheRegistryHoldsCopiesOfTheLastDiscoveryOnly) {
    const WWNAddress fabric = [&] {
        auto info = discoverOne({proxy(sim.address(1))});
        return info->getIdentities().begin()->first;
    }();
    bool found = false;
    getFabricIdentityRegistry().find(fabric, [&](FabricIdentity* identity) {
        found = identity != nullptr && identity->isComplete() &&
                identity->getProxyEntries().size() == 1;
    });
    EXPECT_TRUE(found) << "the copy outlives the discovery result";

    const auto none = manager.discover({});
    EXPECT_TRUE(none->getIdentities().empty());
    EXPECT_TRUE(none->getUnreachableEntries().empty());
    EXPECT_TRUE(none->getUnstableEntries().empty());
    EXPECT_EQ(0, getFabricIdentityRegistry().count());
}

TEST_F(DiscoveryTest, AProxyThatDropsTheCallIsUnreachable) {
    sim.injectFault({{"address", sim.address(1)}, {"procedure", 2}, {"kind", "close"}});
    const auto info = manager.discover({proxy(sim.address(1)), proxy(sim.address(0))});
    ASSERT_EQ(1u, info->getUnreachableEntries().size());
    EXPECT_EQ(sim.address(1), info->getUnreachableEntries()[0].getHost().c_str());
    EXPECT_EQ("admin", info->getUnreachableEntries()[0].getUser());
    ASSERT_EQ(1u, info->getIdentities().size());
    EXPECT_EQ(1u, info->getIdentities().begin()->second->getProxyEntries().size());
}

} // namespace
