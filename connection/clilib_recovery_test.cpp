#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "connection/RecoveryHooks.h"
#include "connection/clilib.h"

namespace {

// Stands in for the object store and the fabric re-check.
class RecordingRecovery : public RecoveryHooks {
public:
    std::optional<std::vector<std::string>> fabricSwitches(const std::string& fabricOid) override {
        askedFabric = fabricOid;
        return storedSwitches;
    }
    int recheckFabricAfterError(SessionContext* ctx, const std::vector<std::string>& switches,
                                int mappedCode) override {
        ++rechecks;
        recheckContext = ctx;
        recheckSwitches = switches;
        recheckCode = mappedCode;
        return -95;
    }

    std::optional<std::vector<std::string>> storedSwitches;
    std::string askedFabric;
    int rechecks = 0;
    SessionContext* recheckContext = nullptr;
    std::vector<std::string> recheckSwitches;
    int recheckCode = 0;
};

class SwitchStatusRecovery : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = installRecoveryHooks(&recovery_);
        std::memset(&ctx_, 0, sizeof(ctx_));
        const unsigned char fabric[8] = {0x10, 0, 0, 0x60, 0x69, 0, 0, 0x01};
        std::memcpy(ctx_.fabricWWN, fabric, 8);
    }
    void TearDown() override { installRecoveryHooks(previous_); }

    RecordingRecovery recovery_;
    RecoveryHooks* previous_ = nullptr;
    SessionContext ctx_;
};

TEST_F(SwitchStatusRecovery, RecheckedStatusesGoToTheFabricCheck) {
    recovery_.storedSwitches = std::vector<std::string>{"00021000006069000001"};
    struct Case {
        int status;
        int mapped;
    };
    // Direct codes and switch-layer codes that the table maps to them.
    const Case cases[] = {{-86, -86}, {-20005, -86}, {-56, -56}, {-20009, -56}, {-10200, -56},
                          {-21, -21}, {-24096, -21}, {-14, -14}, {-20256, -14}, {-10025, -14}};
    for (const Case& c : cases) {
        recovery_.rechecks = 0;
        EXPECT_EQ(handleSwitchStatus(&ctx_, c.status), -95) << c.status;
        EXPECT_EQ(recovery_.rechecks, 1) << c.status;
        EXPECT_EQ(recovery_.recheckCode, c.mapped) << c.status;
    }
    EXPECT_EQ(recovery_.askedFabric, "00091000006069000001");
    EXPECT_EQ(recovery_.recheckContext, &ctx_);
    EXPECT_EQ(recovery_.recheckSwitches, *recovery_.storedSwitches);
}

TEST_F(SwitchStatusRecovery, OtherStatusesComeBackUnchanged) {
    recovery_.storedSwitches = std::vector<std::string>{};
    for (int status : {-1, -5, -40, -10021, -20011, 14, 3}) {
        EXPECT_EQ(handleSwitchStatus(&ctx_, status), status);
    }
    EXPECT_EQ(recovery_.rechecks, 0);
}

TEST_F(SwitchStatusRecovery, FabricWithoutStoredObjectKeepsTheStatus) {
    recovery_.storedSwitches.reset();
    EXPECT_EQ(handleSwitchStatus(&ctx_, -20005), -20005);
    EXPECT_EQ(handleSwitchStatus(&ctx_, -21), -21);
    EXPECT_EQ(recovery_.rechecks, 0);
}

TEST(SwitchStatusDefault, WithoutHooksNothingIsRechecked) {
    SessionContext ctx{};
    EXPECT_EQ(handleSwitchStatus(&ctx, -20005), -20005);
}

} // namespace
