#include <gtest/gtest.h>

#include "sim/FabricModel.h"

namespace {

using nlohmann::json;

TEST(Wwn, ParsesBothFormsAndRefusesOthers) {
    const Wwn expected{0x10, 0x00, 0x00, 0x60, 0x69, 0xaa, 0xbb, 0xff};
    EXPECT_EQ(parseWwn("10:00:00:60:69:aa:bb:ff"), expected);
    EXPECT_EQ(parseWwn("1000006069AABBFF"), expected);
    EXPECT_EQ(formatWwn(expected), "10:00:00:60:69:aa:bb:ff");
    for (const char* bad : {"", "10:00:00:60:69:aa:bb", "10:00:00:60:69:aa:bb:ff:00",
                            "10:00:00:60:69:aa:bb:fg", "0x10000060:69aabbff"}) {
        EXPECT_THROW(parseWwn(bad), std::invalid_argument) << bad;
    }
}

TEST(FabricModel, ReadsFabricsSwitchesAndProxies) {
    const auto model = FabricModel::fromJson(json::parse(R"({"fabrics": [
        {"name": "A", "users": [{"name": "admin", "password": "pw"}],
         "switches": [{"wwn": "10:00:00:00:00:00:00:01", "address": "127.9.0.1"},
                      {"wwn": "10:00:00:00:00:00:00:02", "firmware": "v3.1.0",
                       "ports": 16}]}]})"));
    ASSERT_EQ(model.fabrics().size(), 1u);
    const auto& fabric = model.fabrics()[0];
    EXPECT_EQ(fabric.wwn, fabric.switches[0].wwn); // named after its first switch
    EXPECT_FALSE(fabric.switches[0].firmware);
    EXPECT_EQ(fabric.switches[1].firmware, "v3.1.0");
    EXPECT_EQ(fabric.switches[1].source["ports"], 16); // unmodelled fields stay readable
    EXPECT_EQ(model.proxyAddresses(), std::vector<std::string>{"127.9.0.1"});
    ASSERT_TRUE(model.proxyAt("127.9.0.1"));
    EXPECT_FALSE(model.proxyAt("127.9.0.2"));
    EXPECT_EQ(model.toJson()["fabrics"][0]["users"][0]["password"], "********");
}

TEST(FabricModel, GeneratesNumberedFabrics) {
    const auto model = FabricModel::fromJson(json::parse(R"({"generate":
        {"fabrics": 2, "switchesPerFabric": 300, "addresses": ["127.9.0.1", "127.9.0.2"]}})"));
    ASSERT_EQ(model.fabrics().size(), 2u);
    const auto& second = model.fabrics()[1];
    ASSERT_EQ(second.switches.size(), 300u);
    EXPECT_EQ(formatWwn(second.switches[299].wwn), "10:00:00:02:00:00:01:2c");
    EXPECT_EQ(second.switches[0].address, "127.9.0.2");
    EXPECT_TRUE(second.switches[1].address.empty());
}

TEST(FabricModel, SwitchesLeaveAndJoinFabrics) {
    auto model = FabricModel::fromJson(json::parse(R"({"fabrics": [
        {"switches": [{"wwn": "10:00:00:00:00:00:00:01"},
                      {"wwn": "10:00:00:00:00:00:00:02", "address": "127.9.0.1"}]},
        {"switches": [{"wwn": "10:00:00:00:00:00:00:03", "address": "127.9.0.2"}]}]})"));
    const Wwn edge = parseWwn("10:00:00:00:00:00:00:01");
    const Wwn proxy = parseWwn("10:00:00:00:00:00:00:02");

    model.moveSwitch(edge, std::nullopt);
    EXPECT_EQ(model.fabrics()[0].findSwitch(edge), nullptr);
    ASSERT_NE(model.anySwitch(edge), nullptr) << "kept aside";
    // The proxy switch moved down a place and is still found at its address.
    ASSERT_TRUE(model.proxyAt("127.9.0.1"));
    EXPECT_EQ(model.fabrics()[0].switches[model.proxyAt("127.9.0.1")->switchIndex].wwn, proxy);

    model.moveSwitch(edge, 1);
    EXPECT_NE(model.fabrics()[1].findSwitch(edge), nullptr);
    EXPECT_THROW(model.moveSwitch(proxy, std::nullopt), std::invalid_argument);
    EXPECT_THROW(model.moveSwitch(proxy, 5), std::invalid_argument);
    EXPECT_THROW(model.moveSwitch(parseWwn("10:00:00:00:00:00:00:09"), 0), std::invalid_argument);

    EXPECT_THROW(model.moveSwitch(proxy, 1), std::invalid_argument) << "its fabric's last";

    // A proxy switch that joins another fabric answers for it.
    model.moveSwitch(edge, 0);
    model.moveSwitch(proxy, 1);
    EXPECT_EQ(model.proxyAt("127.9.0.1")->fabric, 1u);
}

TEST(FabricModel, SwitchesLeaveForAWhileAndComeBackToTheirPlaces) {
    auto model = FabricModel::fromJson(json::parse(R"({"fabrics": [
        {"switches": [{"wwn": "10:00:00:00:00:00:00:01", "address": "127.9.0.1"},
                      {"wwn": "10:00:00:00:00:00:00:02"},
                      {"wwn": "10:00:00:00:00:00:00:03"}]},
        {"switches": [{"wwn": "10:00:00:00:00:00:00:04", "address": "127.9.0.2"}]}]})"));
    const Wwn proxy = parseWwn("10:00:00:00:00:00:00:01");
    const Wwn second = parseWwn("10:00:00:00:00:00:00:02");
    const auto now = std::chrono::steady_clock::now();
    const auto soon = now + std::chrono::seconds(1);

    ASSERT_TRUE(model.leaveUntil(second, soon));
    ASSERT_TRUE(model.leaveUntil(proxy, soon + std::chrono::seconds(1)));
    EXPECT_EQ(model.fabrics()[0].switches.size(), 1u);
    EXPECT_FALSE(model.proxyAt("127.9.0.1"));
    EXPECT_TRUE(model.addressAway("127.9.0.1"));
    EXPECT_NE(model.anySwitch(proxy), nullptr);
    EXPECT_FALSE(model.leaveUntil(parseWwn("10:00:00:00:00:00:00:04"), soon)) << "its last";
    EXPECT_FALSE(model.leaveUntil(second, soon)) << "already away";

    model.rejoinDue(now);
    EXPECT_EQ(model.fabrics()[0].switches.size(), 1u) << "not due yet";
    model.rejoinDue(soon);
    EXPECT_TRUE(model.addressAway("127.9.0.1"));
    model.rejoinDue(soon, true);
    EXPECT_FALSE(model.addressAway("127.9.0.1"));
    const auto& switches = model.fabrics()[0].switches;
    ASSERT_EQ(switches.size(), 3u);
    EXPECT_EQ(switches[0].wwn, proxy);
    EXPECT_EQ(switches[1].wwn, second);
    EXPECT_EQ(model.proxyAt("127.9.0.1")->switchIndex, 0u);
}

TEST(FabricModel, RefusesBadFiles) {
    struct Case {
        const char* document;
        const char* message;
    } cases[] = {
        {R"([])", "must be an object"},
        {R"({"fabrics": [{"switches": []}]})", "non-empty list"},
        {R"({"fabrics": [{"switches": [{"wwn": "nonsense"}]}]})", "world wide name"},
        {R"({"fabrics": [{"switches": [{"wwn": "1000000000000001", "firmware": 4}]}]})",
         "firmware"},
        {R"({"fabrics": [{"switches": [{"wwn": "1000000000000001", "address": "192.0.2.1"}]}]})", // never contacted
         "127.0.0.0/8"},
        {R"({"fabrics": [{"switches": [{"wwn": "1000000000000001", "address": "127.1.1.1"},
                                       {"wwn": "1000000000000002", "address": "127.1.1.1"}]}]})",
         "served by two"},
        {R"({"fabrics": [{"users": [{"name": "x"}], "switches": [{"wwn": "1000000000000001"}]}]})",
         "password"},
        {R"({"generate": {"fabrics": 2, "addresses": ["127.1.1.1"]}})", "one address per fabric"},
        {R"({"faults": {}})", "faults"},
    };
    for (const auto& c : cases) {
        try {
            FabricModel::fromJson(json::parse(c.document));
            ADD_FAILURE() << "accepted " << c.document;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

} // namespace
