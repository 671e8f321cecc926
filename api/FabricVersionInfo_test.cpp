#include "api/FabricVersionInfo.h"

#include <gtest/gtest.h>

#include "api/FabricSignature.h"

namespace {

TEST(ClassifyVersionString, ReducesAVersionTextToItsGeneration) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"v2.4.1", 1}, {"2.3", 1},    {"a2.5.0", 1}, {"V3.0.1", 1}, {"3.0", 1},   {"v3.0.2a", 2},
        {"3.0.2", 2},  {"A3.0.2", 2}, {"v4.1.0", 0}, {"2.6", 0},    {"", 0},      {nullptr, 0},
        {"vv2.4", 0},  {"x2.4", 0},   {"2.", 0},     {"v", 0},      {"3.0.1", 1}, {" 2.4", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, ClassifyVersionString(c.text)) << (c.text ? c.text : "(null)");
    }
}

TEST(VersionLevelOfReply, ReadsTheFirmwareAnswerOneWayForEveryCaller) {
    const struct {
        int status;
        const char* text;
        std::uint16_t level;
        int secondary;
    } cases[] = {
        {0, "V3.0.2a", FABRIC_LEVEL_2_3, FABRIC_LEVEL_SECONDARY_3_0_2},
        {0, "v3.1", FABRIC_LEVEL_CURRENT, 0},
        {0, "2.4.1", FABRIC_LEVEL_2_3, 0},
        {0, "", FABRIC_LEVEL_CURRENT, 0},
        {0, nullptr, FABRIC_LEVEL_2_3, 0},
        {-10200, "v4.1.0", FABRIC_LEVEL_NO_VERSION, 0},
    };
    for (const auto& c : cases) {
        int secondary = -1;
        EXPECT_EQ(c.level, VersionLevelOfReply(c.status, c.text, &secondary))
            << (c.text ? c.text : "(null)");
        EXPECT_EQ(c.secondary, secondary) << (c.text ? c.text : "(null)");
    }
}

TEST(FabricVersionInfo, StartsCurrentAndOnlyEverLowersTheFabricLevel) {
    FabricVersionInfo info;
    EXPECT_EQ(FABRIC_LEVEL_CURRENT, info.getFabricLevel());
    EXPECT_EQ(FABRIC_LEVEL_CURRENT, info.getProxyLevel());
    info.lowerFabricLevel(FABRIC_LEVEL_2_3);
    info.lowerFabricLevel(FABRIC_LEVEL_CURRENT);
    EXPECT_EQ(FABRIC_LEVEL_2_3, info.getFabricLevel());
    info.lowerFabricLevel(FABRIC_LEVEL_NO_VERSION);
    EXPECT_EQ(FABRIC_LEVEL_NO_VERSION, info.getFabricLevel());
    info.setProxyLevel(FABRIC_LEVEL_2_3);
    info.setProxyLevel(FABRIC_LEVEL_CURRENT); // the proxy level is simply set
    EXPECT_EQ(FABRIC_LEVEL_CURRENT, info.getProxyLevel());
}

TEST(FabricVersionInfo, ASignatureWithoutSwitchesAsksNothing) {
    const FabricSignature empty(WWNAddress(), {}, true);
    const FabricVersionInfo info = ComputeFabricVersionInfo(nullptr, empty);
    EXPECT_EQ(FABRIC_LEVEL_CURRENT, info.getFabricLevel());
    EXPECT_EQ(FABRIC_LEVEL_CURRENT, info.getProxyLevel());
}

} // namespace
