// The fabric re-check end to end: sessions opened through the exports, a
// request of the request layer on a session's context, and a switch status
// that may mean the fabric changed.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>

#include "api/FabricRecheck.h"
#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "orvane/fabapi.h"
#include "tests/sessions/SessionFabrics.h"
#include "tests/support/LockHeldElsewhere.h"

namespace {

using namespace sessions;
using namespace std::chrono_literals;
using nlohmann::json;

constexpr unsigned char kProxy[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x00, 0x00, 0xa1};
// A switch status that maps to -21 (object not found): re-checked.
constexpr int kNotFound = -24096;

class FabricRecheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        internalTiming().rpcCallTimeout = 3000ms;
        FabAPI_ShutdownFabricAPI();
        discover(sim_);
        ASSERT_EQ(0, establish(kFabricA, &session_));
        void* handle = nullptr;
        StoredObject* fabric = findObject(kFabricA);
        ASSERT_NE(nullptr, fabric);
        ASSERT_TRUE(fabric->getHandleAttr("HDL", handle));
        ctx_ = static_cast<SessionContext*>(handle);
    }
    void TearDown() override {
        falFreeObject(session_);
        EXPECT_EQ(0, FabAPI_ShutdownFabricAPI());
    }

    // A request that the switch answers with kNotFound once.
    int failingRequest() {
        sim_.injectFault({{"address", sim_.address(0)},
                          {"procedure", 40},
                          {"code", 1289},
                          {"kind", "status"},
                          {"status", kNotFound},
                          {"count", 1}});
        int version = 0;
        return getAPIversion(ctx_, kProxy, &version);
    }

    SwitchSimulator sim_{twoFabrics()};
    FabAPI_ClientSessionID* session_ = nullptr;
    SessionContext* ctx_ = nullptr;
};

TEST_F(FabricRecheckTest, AFailedRequestTellsWhatBecameOfTheFabric) {
    const std::string proxy = "10:00:00:60:69:00:00:a1";
    const std::string other = "10:00:00:60:69:00:00:a2";
    const std::string edge = "10:00:00:60:69:00:00:a3";
    const json leaves = {{"op", "moveSwitch"}, {"switch", edge}};
    const json comesBack = {{"op", "moveSwitch"}, {"switch", edge}, {"to", 0}};
    const auto firmwareOf = [](const std::string& wwn, const char* firmware) {
        return json{
            {"op", "setSwitchFields"}, {"switch", wwn}, {"fields", {{"firmware", firmware}}}};
    };
    struct Case {
        const char* what;
        std::vector<json> change;
        std::vector<json> undo;
        int expected;
    };
    const Case cases[] = {
        {"nothing changed: the failure stands", {}, {}, -21},
        {"a switch left the fabric", {leaves}, {comesBack}, FABAPI_ERR_SWITCH_LEFT_FABRIC},
        {"a switch left and the fabric's level changed",
         {firmwareOf(other, "v2.4.1"), leaves},
         {comesBack, firmwareOf(other, "v4.1.0")},
         FABAPI_ERR_FABRIC_CHANGED},
        {"the proxy switch is in another fabric now",
         {{{"op", "moveSwitch"}, {"switch", proxy}, {"to", 1}}},
         {{{"op", "moveSwitch"}, {"switch", proxy}, {"to", 0}}},
         FABAPI_ERR_FABRIC_CHANGED},
        {"the fabric cannot be read any more",
         {{{"op", "setSwitchFields"}, {"switch", proxy}, {"fields", {{"zeroFabricWwn", true}}}}},
         {{{"op", "setSwitchFields"}, {"switch", proxy}, {"fields", {{"zeroFabricWwn", false}}}}},
         FABAPI_ERR_FABRIC_UNREADABLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const json& request : c.change) {
            sim_.request(request);
        }
        EXPECT_EQ(c.expected, failingRequest());
        for (const json& request : c.undo) {
            sim_.request(request);
        }
    }
}

TEST_F(FabricRecheckTest, NoFailureReadsNothing) {
    sim_.resetCounters();
    EXPECT_EQ(0, recheckFabricAfterError(ctx_, {"000210000060690000a3"}, 0));
    EXPECT_EQ(0u, sim_.callCount(sim_.address(0), 2));
}

TEST_F(FabricRecheckTest, UnderTheDeviceAccessLockTheObjectModelLockIsNeverAwaited) {
    sim_.request({{"op", "moveSwitch"}, {"switch", "10:00:00:60:69:00:00:a3"}});
    {
        // Free object-model lock: the re-check takes it and tells.
        LockGuard device(getSwitchRequestMutex());
        EXPECT_EQ(FABAPI_ERR_SWITCH_LEFT_FABRIC, failingRequest());
    }
    // Another thread holds the object-model lock (and might wait for the
    // device-access lock): the re-check does not wait, the status stands.
    std::optional<LockHeldElsewhere> model(getObjectStoreMutex());
    auto request = std::async(std::launch::async, [&] {
        LockGuard device(getSwitchRequestMutex());
        return failingRequest();
    });
    const bool finished = request.wait_for(10s) == std::future_status::ready;
    model.reset();
    ASSERT_TRUE(finished) << "the re-check waited for the object-model lock";
    EXPECT_EQ(kNotFound, request.get()) << "no stored fabric could be read: unchanged";
}

} // namespace
