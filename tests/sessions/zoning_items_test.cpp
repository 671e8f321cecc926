// The object classes' walk over a fabric's switches to the zoning access,
// on a session against the switch simulator.
#include <gtest/gtest.h>

#include <chrono>

#include "foundation/InternalTiming.h"
#include "zoning/ZoningItems.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/TestSession.h"

namespace {

using nlohmann::json;

// The class of 4.1 firmware, and one that names no zoning access.
constexpr int kLevel41 = 5;
constexpr int kNoLevel = 9;

class ZoningItems : public ::testing::Test {
protected:
    void SetUp() override { internalTiming().rpcCallTimeout = std::chrono::milliseconds(3000); }

    SwitchSimulator sim_{json::parse(R"({"fabrics": [{"name": "A", "switches": [
        {"wwn": "10:00:00:60:69:00:00:a1", "firmware": "v4.1.0", "address": "@0"},
        {"wwn": "10:00:00:60:69:00:00:a2", "firmware": "v4.1.0"}]}]})")};
    TestSession session_{sim_.address(0)};
};

TEST_F(ZoningItems, EverySwitchIsHandedToTheZoningAccessOfTheProxysLevel) {
    bool allPass = true;
    EXPECT_EQ(0, CheckZoningItems(session_.context(), kLevel41, allPass));
    EXPECT_FALSE(allPass) << "no zoning access passes a switch";
    EXPECT_EQ(0, AddZoningAttributes(session_.context(), kLevel41, 1));
    EXPECT_FALSE(session_.connectionInUse()) << "the access gave the connection back";

    allPass = true;
    EXPECT_EQ(-2, CheckZoningItems(session_.context(), kNoLevel, allPass));
    EXPECT_TRUE(allPass);
    EXPECT_EQ(-2, AddZoningAttributes(session_.context(), kNoLevel, 1));

    sim_.injectFault({{"address", sim_.address(0)},
                      {"procedure", 40},
                      {"code", 257},
                      {"kind", "status"},
                      {"status", -5},
                      {"count", 1}});
    EXPECT_EQ(-5, CheckZoningItems(session_.context(), kLevel41, allPass));
    EXPECT_TRUE(allPass) << "left as it was";
    EXPECT_FALSE(session_.connectionInUse());
}

} // namespace
