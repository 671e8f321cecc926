// The fabric level that ComputeFabricVersionInfo reads from the switches.
#include <gtest/gtest.h>

#include "api/FabricSignature.h"
#include "api/FabricVersionInfo.h"
#include "tests/service_requests/RequestSession.h"

namespace {

using nlohmann::json;

WWNAddress wwn(unsigned char last) {
    const unsigned char bytes[8] = {0x10, 0, 0, 0x60, 0x69, 0, 0, last};
    return WWNAddress(bytes);
}

// The proxy (…:01) and three more switches: one per firmware generation,
// one that names no version.
json mixedFabric() {
    return json::parse(R"({
      "fabrics": [{"name": "A", "switches": [
        {"wwn": "10:00:00:60:69:00:00:01", "firmware": "v2.4.1", "address": "@0"},
        {"wwn": "10:00:00:60:69:00:00:02", "firmware": "v4.1.0"},
        {"wwn": "10:00:00:60:69:00:00:03", "firmware": "v3.0.2a"},
        {"wwn": "10:00:00:60:69:00:00:04"}]}]})");
}

class FabricVersionTest : public RequestSession {
protected:
    void SetUp() override { open(mixedFabric()); }
    FabricVersionInfo levelOf(std::set<WWNAddress> switches) {
        return ComputeFabricVersionInfo(ctx(), FabricSignature(wwn(1), switches, true));
    }
};

TEST_F(FabricVersionTest, TheFabricTakesTheLowestLevelOfItsSwitches) {
    const struct {
        const char* what;
        std::set<WWNAddress> switches;
        std::uint16_t fabric;
        std::uint16_t proxy;
    } cases[] = {
        {"current firmware only", {wwn(2)}, FABRIC_LEVEL_CURRENT, FABRIC_LEVEL_CURRENT},
        {"3.0.2 counts as 2.3", {wwn(2), wwn(3)}, FABRIC_LEVEL_2_3, FABRIC_LEVEL_CURRENT},
        {"the proxy at 2.4", {wwn(1), wwn(2)}, FABRIC_LEVEL_2_3, FABRIC_LEVEL_2_3},
        {"no version, ports answer",
         {wwn(1), wwn(2), wwn(4)},
         FABRIC_LEVEL_NO_VERSION,
         FABRIC_LEVEL_2_3},
    };
    for (const auto& c : cases) {
        const FabricVersionInfo info = levelOf(c.switches);
        EXPECT_EQ(c.fabric, info.getFabricLevel()) << c.what;
        EXPECT_EQ(c.proxy, info.getProxyLevel()) << c.what;
    }
}

TEST_F(FabricVersionTest, ASwitchThatAnswersNothingLeavesTheLevel) {
    // Not in the fabric: the version and the port list both fail.
    const FabricVersionInfo info = levelOf({wwn(2), wwn(9)});
    EXPECT_EQ(FABRIC_LEVEL_CURRENT, info.getFabricLevel());
}

} // namespace
