// A client built on the RPC wrappers, against two simulated proxy switches:
// each answers for itself, injected faults give what the caller expects,
// and one call at a time runs in the process.
#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <rpc/rpc.h>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "foundation/InternalTiming.h"
#include "tests/support/ShortRpcTimeout.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

struct ProxySwitch {
    unsigned char fabric[8];
    unsigned char proxy[8];
    const char* firmware;
};

const ProxySwitch kSwitches[2] = {
    {{0x10, 0x00, 0x00, 0x60, 0x69, 0xaa, 0x00, 0x00},
     {0x10, 0x00, 0x00, 0x60, 0x69, 0xaa, 0x00, 0x01},
     "v4.1.0"},
    {{0x10, 0x00, 0x00, 0x60, 0x69, 0xbb, 0x00, 0x00},
     {0x10, 0x00, 0x00, 0x60, 0x69, 0xbb, 0x00, 0x81},
     "v2.6.0"},
};

json twoProxySwitches() {
    return json::parse(R"({
      "fabrics": [
        { "name": "A", "wwn": "10:00:00:60:69:aa:00:00",
          "switches": [ { "wwn": "10:00:00:60:69:aa:00:01", "firmware": "v4.1.0",
                          "address": "@0" } ] },
        { "name": "B", "wwn": "10:00:00:60:69:bb:00:00",
          "switches": [ { "wwn": "10:00:00:60:69:bb:00:81", "firmware": "v2.6.0",
                          "address": "@1" } ] } ]
    })");
}

// The connection as the library makes it: clnt_create through rpcbind.
std::unique_ptr<Fabric_Connection_Impl_RPC> connectTo(const std::string& address) {
    CLIENT* client = clnt_create(address.c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp");
    EXPECT_NE(nullptr, client) << clnt_spcreateerror(address.c_str());
    return std::make_unique<Fabric_Connection_Impl_RPC>(client);
}

bool ping(Fabric_Connection_Impl_RPC& connection) {
    const xdrproc_t xdrVoid = reinterpret_cast<xdrproc_t>(reinterpret_cast<void (*)()>(xdr_void));
    timeval timeout{5, 0};
    return clnt_call(connection.getHandle(), NULLPROC, xdrVoid, nullptr, xdrVoid, nullptr,
                     timeout) == RPC_SUCCESS;
}

class RpcClientTest : public ::testing::Test {
protected:
    SwitchSimulator sim{twoProxySwitches()};
};

TEST_F(RpcClientTest, TwoSwitchesInParallelEachAnswerForThemselves) {
    constexpr int kRounds = 10;
    auto askSwitch = [&](int index) {
        std::unique_ptr<Fabric_Connection_Impl_RPC> connection = connectTo(sim.address(index));
        const ProxySwitch& expected = kSwitches[index];
        int good = 0;
        for (int round = 0; round < kRounds; ++round) {
            WWNBytes* fabric = connection->rpcGetFabricWWN();
            WWNBytes* proxy = connection->rpcGetSwitchName();
            FirmwareVersionReply* version = connection->rpcGetFirmwareVersion(expected.proxy);
            if (ping(*connection) && fabric != nullptr && proxy != nullptr && version != nullptr &&
                std::memcmp(*fabric, expected.fabric, 8) == 0 &&
                std::memcmp(*proxy, expected.proxy, 8) == 0 && version->status == 0 &&
                std::strcmp(version->versionText, expected.firmware) == 0) {
                ++good;
            }
            Fabric_Connection_Impl_RPC::freeReply(fabric);
            Fabric_Connection_Impl_RPC::freeReply(proxy);
            Fabric_Connection_Impl_RPC::freeReply(xdr_FirmwareVersionReply, version);
        }
        return good;
    };
    auto first = std::async(std::launch::async, askSwitch, 0);
    auto second = std::async(std::launch::async, askSwitch, 1);
    EXPECT_EQ(kRounds, first.get());
    EXPECT_EQ(kRounds, second.get());
    for (int index = 0; index < 2; ++index) {
        for (std::uint32_t procedure : {0u, 2u, 3u, 4u}) {
            EXPECT_EQ(static_cast<std::uint64_t>(kRounds),
                      sim.callCount(sim.address(index), procedure))
                << "switch " << index << " procedure " << procedure;
        }
    }
}

TEST_F(RpcClientTest, InjectedFaultsGiveWhatTheCallerExpects) {
    ShortRpcTimeout timeout(800ms);
    std::unique_ptr<Fabric_Connection_Impl_RPC> connection = connectTo(sim.address(0));
    const std::string address = sim.address(0);

    // A status in the reply reaches the caller.
    sim.injectFault(
        {{"address", address}, {"procedure", 4}, {"kind", "status"}, {"status", -5}, {"count", 1}});
    FirmwareVersionReply* version = connection->rpcGetFirmwareVersion(kSwitches[0].proxy);
    ASSERT_NE(nullptr, version);
    EXPECT_EQ(-5, version->status);
    Fabric_Connection_Impl_RPC::freeReply(xdr_FirmwareVersionReply, version);

    // A dropped reply gives null once the time-out has passed.
    sim.injectFault({{"address", address}, {"procedure", 3}, {"kind", "noReply"}, {"count", 1}});
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(nullptr, connection->rpcGetSwitchName());
    EXPECT_GE(std::chrono::steady_clock::now() - start, 800ms);
    // The connection still serves the next call.
    WWNBytes* proxy = connection->rpcGetSwitchName();
    ASSERT_NE(nullptr, proxy);
    EXPECT_EQ(0, std::memcmp(*proxy, kSwitches[0].proxy, 8));
    Fabric_Connection_Impl_RPC::freeReply(proxy);

    // A delay within the time-out still answers; one beyond it gives null.
    sim.injectFault({{"address", address},
                     {"procedure", 2},
                     {"kind", "delay"},
                     {"delayMs", 200},
                     {"count", 1}});
    WWNBytes* fabric = connection->rpcGetFabricWWN();
    ASSERT_NE(nullptr, fabric);
    EXPECT_EQ(0, std::memcmp(*fabric, kSwitches[0].fabric, 8));
    Fabric_Connection_Impl_RPC::freeReply(fabric);

    sim.injectFault({{"address", address},
                     {"procedure", 2},
                     {"kind", "delay"},
                     {"delayMs", 2000},
                     {"count", 1}});
    start = std::chrono::steady_clock::now();
    EXPECT_EQ(nullptr, connection->rpcGetFabricWWN());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2000ms);
    // The late reply, when it comes, is not taken for the next call's.
    std::this_thread::sleep_for(1500ms);
    proxy = connection->rpcGetSwitchName();
    ASSERT_NE(nullptr, proxy);
    EXPECT_EQ(0, std::memcmp(*proxy, kSwitches[0].proxy, 8));
    Fabric_Connection_Impl_RPC::freeReply(proxy);
}

// While a delayed call to one switch is in flight, a call on the other
// connection waits for the RPC lock before it reaches its switch.
TEST_F(RpcClientTest, ACallWaitsForTheRpcLockWhileAnotherIsInFlight) {
    ShortRpcTimeout timeout(10s);
    std::unique_ptr<Fabric_Connection_Impl_RPC> slow = connectTo(sim.address(0));
    std::unique_ptr<Fabric_Connection_Impl_RPC> other = connectTo(sim.address(1));
    sim.injectFault({{"address", sim.address(0)},
                     {"procedure", 2},
                     {"kind", "delay"},
                     {"delayMs", 1500},
                     {"count", 1}});

    auto held = std::async(std::launch::async, [&] { return slow->rpcGetFabricWWN(); });
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (sim.callCount(sim.address(0), 2) == 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    ASSERT_EQ(1u, sim.callCount(sim.address(0), 2));
    auto waiting = std::async(std::launch::async, [&] { return other->rpcGetSwitchName(); });
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(0u, sim.callCount(sim.address(1), 3));

    WWNBytes* fabric = held.get();
    WWNBytes* proxy = waiting.get();
    ASSERT_NE(nullptr, fabric);
    ASSERT_NE(nullptr, proxy);
    EXPECT_EQ(0, std::memcmp(*proxy, kSwitches[1].proxy, 8));
    EXPECT_EQ(1u, sim.callCount(sim.address(1), 3));
    Fabric_Connection_Impl_RPC::freeReply(fabric);
    Fabric_Connection_Impl_RPC::freeReply(proxy);
}

} // namespace
