// Configuration downloads that meet a switch that stops answering: the
// download is dropped on the switch before the failure is returned.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "orvane/transfers.h"
#include "tests/support/ShortRpcTimeout.h"
#include "tests/transfers/TransferFabrics.h"

namespace {

using namespace transfers;
using namespace std::chrono_literals;
using nlohmann::json;

class ConfigFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        FabAPI_ShutdownFabricAPI();
        setUpload(0, "[system]\na.mode:1\nb.mode:1\n");
        setUpload(4, "[online]\na.\nb.\n[non-supported]\nc.\n");
        openFabricSessions(sim_, {0}, {kFabricA});
    }
    void TearDown() override { FabAPI_ShutdownFabricAPI(); }

    void setUpload(int selector, const std::string& text) {
        sim_.request({{"op", "setUpload"}, {"address", sim_.address(0)}, {"switch", kWwnA2},
                      {"value", selector}, {"text", text}});
    }
    int download(const char* text) {
        return ConfigurationDownload(asOid(oid_, kSwitchA2)[0], 0, text);
    }
    // The states of the switch's configuration downloads, oldest first.
    std::vector<std::string> downloadStates() {
        std::vector<std::string> states;
        const json transfers = sim_.request({{"op", "transfers"}});
        for (const json& d : transfers["downloads"])
            if (d["switch"] == kWwnA2 && d["kind"] == 2)
                states.push_back(d["state"]);
        return states;
    }

    SwitchSimulator sim_{twoFabrics()};
    OID_t oid_{};
};

TEST_F(ConfigFaultTest, AChunkWithoutReplyAbortsTheDownload) {
    const ShortRpcTimeout shortTimeout(500ms);
    sim_.injectFault({{"address", sim_.address(0)},
                      {"procedure", 40},
                      {"code", 1833},
                      {"kind", "noReply"},
                      {"count", 1}});
    EXPECT_EQ(FABAPI_ERR_REQUEST_FAILED, download("a.mode:2\n"));
    // The switch holds no open download: the one that failed was dropped.
    EXPECT_EQ((std::vector<std::string>{"aborted"}), downloadStates());
    EXPECT_EQ(1u, sim_.callCount(sim_.address(0), 40, 1834)) << "one abort request";
    EXPECT_EQ(0u, sim_.callCount(sim_.address(0), 40, 1835)) << "no end request";

    // The next download goes through and is applied.
    EXPECT_EQ(0, download("b.mode:2\n"));
    EXPECT_EQ((std::vector<std::string>{"ended"}), downloadStates());
    const json state = sim_.request(
        {{"op", "configuration"}, {"address", sim_.address(0)}, {"switch", kWwnA2}});
    ASSERT_EQ(1u, state["downloads"].size()) << state.dump();
    EXPECT_EQ("b.mode:2\n", state["downloads"][0]["text"]);
}

} // namespace
