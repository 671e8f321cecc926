// Shutting the library down while a discovery waits on proxy switches that
// accept calls and never answer them. The exports are called as a caller
// calls them; the program links the library's internals only to shorten
// the time-outs and to see when shutdown has begun.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <thread>

#include "foundation/InternalTiming.h"
#include "foundation/ShutdownLock.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using nlohmann::json;

// How long a hung proxy switch holds the call being made to it. Every check
// below happens well within it, while the discovery still waits.
constexpr auto kHang = 5s;
// Bound of every wait of the test.
constexpr auto kBound = 60s;
// The procedure that asks a proxy switch for its fabric's name.
constexpr std::uint32_t kFabricNameProcedure = 2;
constexpr int kProxies = 3;

// Three proxy switches that take every call and answer none.
json hungProxies() {
    json fabric = json::parse(R"({"fabrics": [{"name": "A", "switches": [
        {"wwn": "10:00:00:60:69:00:00:a1", "address": "@0"},
        {"wwn": "10:00:00:60:69:00:00:a2", "address": "@1"},
        {"wwn": "10:00:00:60:69:00:00:a3", "address": "@2"}]}]})");
    for (int i = 0; i < kProxies; ++i) {
        fabric["faults"].push_back({{"address", "@" + std::to_string(i)}, {"kind", "noReply"}});
    }
    return fabric;
}

int append(const std::string& host) {
    FabAPI_ProxyEntry entry{const_cast<char*>(host.c_str()), const_cast<char*>(""),
                            const_cast<char*>("")};
    return FabAPI_AppendProxyEntry(&entry);
}

int discover() {
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    const int status = FabAPI_DiscoverFabrics(&info);
    if (status == FABAPI_OK) {
        falFreeObject(info);
    }
    return status;
}

template <class Condition> bool becomesTrue(Condition condition) {
    const auto deadline = Clock::now() + kBound;
    while (!condition() && Clock::now() < deadline) {
        std::this_thread::sleep_for(2ms);
    }
    return condition();
}

bool isRunning(const std::future<int>& call) {
    return call.wait_for(0s) != std::future_status::ready;
}

// The library started with the three proxies listed and a discovery under
// way, waiting on the first of them.
class HungProxiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved = internalTiming();
        internalTiming().rpcCallTimeout = kHang;
        internalTiming().connectTimeout = kHang;
        ASSERT_EQ(FABAPI_OK, FabAPI_InitializeFabricAPI(nullptr));
        for (int i = 0; i < kProxies; ++i) {
            ASSERT_EQ(FABAPI_OK, append(sim.address(i)));
        }
        discovery = std::async(std::launch::async, discover);
        ASSERT_TRUE(becomesTrue([&] { return callsTo(0) > 0; }));
    }
    void TearDown() override {
        if (discovery.valid()) {
            discovery.wait_for(kBound);
        }
        if (shutdown.valid()) {
            shutdown.wait_for(kBound);
        }
        FabAPI_ShutdownFabricAPI();
        internalTiming() = saved;
    }

    std::uint64_t callsTo(int proxy) {
        return sim.callCount(sim.address(proxy), kFabricNameProcedure);
    }
    // Starts the shutdown on its own thread and waits until it has begun.
    void beginShutdown() {
        shutdown = std::async(std::launch::async, FabAPI_ShutdownFabricAPI);
        ASSERT_TRUE(becomesTrue(IsShuttingDown));
    }

    SwitchSimulator sim{hungProxies()};
    InternalTiming saved;
    std::future<int> discovery;
    std::future<int> shutdown;
};

TEST_F(HungProxiesTest, CallsArrivingAfterShutdownBeganReturnAtOnce) {
    beginShutdown();
    ASSERT_TRUE(isRunning(shutdown)) << "shutdown waits for the discovery";

    FabAPI_ProxyEntryList* list = nullptr;
    FabricIdentitiesType* table = nullptr;
    char address[] = "127.66.0.1";
    char* addresses[] = {address, nullptr};
    EXPECT_EQ(FABAPI_ERR_SHUTTING_DOWN, append("127.66.0.1"));
    EXPECT_EQ(FABAPI_ERR_SHUTTING_DOWN, FabAPI_ListProxyEntries(&list));
    EXPECT_EQ(FABAPI_ERR_SHUTTING_DOWN, discover());
    EXPECT_EQ(FABAPI_ERR_SHUTTING_DOWN, InitializeFabricAccess(addresses));
    EXPECT_EQ(FABAPI_ERR_SHUTTING_DOWN, GetFabricIdentities(&table));
    EXPECT_TRUE(isRunning(discovery)) << "the calls did not wait for the discovery to end";
    EXPECT_EQ(nullptr, list);
    EXPECT_EQ(nullptr, table);
}

TEST_F(HungProxiesTest, ADiscoveryTriesNoFurtherProxyOnceShutdownBegan) {
    beginShutdown();
    ASSERT_EQ(std::future_status::ready, discovery.wait_for(kBound));
    EXPECT_EQ(FABAPI_ERR_SHUTTING_DOWN, discovery.get()) << "its result is cut short";
    ASSERT_EQ(std::future_status::ready, shutdown.wait_for(kBound));
    EXPECT_EQ(FABAPI_OK, shutdown.get());
    EXPECT_EQ(1u, callsTo(0));
    EXPECT_EQ(0u, callsTo(1)) << "shutdown waited only for the proxy being tried";
    EXPECT_EQ(0u, callsTo(2));
}

} // namespace
