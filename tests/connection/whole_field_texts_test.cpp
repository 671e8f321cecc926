// Caller texts that the switch reads by their field's size go out whole: a
// text that fills its field arrives without losing its last character, and
// a longer one is refused before anything is sent.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "connection/clilib.h"
#include "foundation/InternalStatus.h"
#include "foundation/InternalTiming.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/TestSession.h"

namespace {

using nlohmann::json;

constexpr unsigned char kProxy[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAB, 0x00, 0x01};
constexpr unsigned char kEdge[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAB, 0x00, 0x02};
constexpr char kProxyText[] = "10:00:00:60:69:ab:00:01";

json fabricDocument() {
    return json::parse(R"({"fabrics": [{"name": "A", "wwn": "10:00:00:60:69:ab:00:00",
        "switches": [
          {"wwn": "10:00:00:60:69:ab:00:01", "firmware": "v4.1.0", "address": "@0",
           "licenses": ["key-one"]},
          {"wwn": "10:00:00:60:69:ab:00:02", "firmware": "v4.1.0"}]}]})");
}

// A text of `length` characters that shows where it was cut.
std::string text(std::size_t length) {
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        out.push_back(static_cast<char>('a' + i % 26));
    }
    return out;
}

class WholeFieldTexts : public ::testing::Test {
protected:
    void SetUp() override {
        internalTiming().rpcCallTimeout = std::chrono::milliseconds(3000);
        ctx_ = session_.context();
        ASSERT_NE(ctx_, nullptr);
        sim_.resetCounters();
    }
    void TearDown() override { session_.close(); }

    std::uint64_t calls(int code) { return sim_.callCount(sim_.address(0), 40, code); }
    json proxySource() {
        return sim_.request({{"op", "source"}, {"fabric", 0}, {"switch", kProxyText}}).at("source");
    }

    SwitchSimulator sim_{fabricDocument()};
    TestSession session_{sim_.address(0)};
    SessionContext* ctx_ = nullptr;
};

TEST_F(WholeFieldTexts, LicenceKeyOfSixtyFourCharactersArrivesWhole) {
    const std::string key = text(64);
    ASSERT_EQ(0, switchAddLicenseKey(ctx_, kProxy, key.c_str()));
    EXPECT_EQ((json::array({"key-one", key})), proxySource().at("licenses"));

    // Read back, the key fills its entry whole.
    SwitchInfo2Record request{};
    std::memcpy(request.switchName, kProxy, 8);
    SwitchInfo2Record* info = nullptr;
    ASSERT_EQ(0, switchGetInfo2(ctx_, &request, &info));
    ASSERT_EQ(2u, info->licenseKeys.licenseKeys_len);
    EXPECT_EQ(key, std::string(info->licenseKeys.licenseKeys_val[1], 64));
    EXPECT_STREQ("key-one", info->licenseKeys.licenseKeys_val[0]);
    freeSwitchInfo2(info);

    // The key as read can be removed again.
    ASSERT_EQ(0, switchRemoveLicenseKey(ctx_, kProxy, key.c_str()));
    EXPECT_EQ((json::array({"key-one"})), proxySource().at("licenses"));
}

TEST_F(WholeFieldTexts, LicenceKeyLongerThanItsFieldIsRefused) {
    const std::string key = text(65);
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, switchAddLicenseKey(ctx_, kProxy, key.c_str()));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, switchRemoveLicenseKey(ctx_, kProxy, key.c_str()));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, switchAddLicenseKey(ctx_, kProxy, nullptr));
    EXPECT_EQ(0u, calls(1824));
    EXPECT_EQ(0u, calls(1825));
    EXPECT_EQ((json::array({"key-one"})), proxySource().at("licenses"));
}

// The switch setting texts by mask: each field takes a text of its size
// whole and refuses one character more.
TEST_F(WholeFieldTexts, SwitchSettingTextsFillTheirFields) {
    const struct {
        const char* what;
        bool second; // switchSetInfo2
        unsigned int mask;
        const char* field;
        const char* pairField; // the login password beside the account name
        std::size_t size;
    } cases[] = {
        {"switch name", false, 0x20, "a5", nullptr, 32},
        {"in-band address", false, 0x1, "t1", nullptr, 16},
        {"gateway", false, 0x200, "t5", nullptr, 16},
        {"login texts", false, 0x40, "b1", "b2", 32},
        {"switch name (second record)", true, 0x20, "a5", nullptr, 32},
        {"box serial number", true, 0x2000, "e6", nullptr, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto set = [&](const std::string& value) {
            SwitchInfoValue v;
            v.text = value.c_str();
            v.secondText = c.pairField != nullptr ? value.c_str() : nullptr;
            return c.second ? switchSetInfo2(ctx_, c.mask, kProxy, v)
                            : switchSetInfo(ctx_, c.mask, kProxy, v);
        };
        const int code = c.second ? 1288 : 1286;
        const std::string whole = text(c.size);
        ASSERT_EQ(0, set(whole));
        const json info = proxySource().at("info");
        EXPECT_EQ(whole, info.at(c.field));
        if (c.pairField != nullptr) {
            EXPECT_EQ(whole, info.at(c.pairField));
        }
        const std::uint64_t sent = calls(code);
        EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, set(text(c.size + 1)));
        EXPECT_EQ(sent, calls(code)) << "nothing sent";
        EXPECT_EQ(whole, proxySource().at("info").at(c.field)) << "the switch keeps the last";
    }
    // A pair needs both texts.
    SwitchInfoValue half;
    half.text = "admin";
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, switchSetInfo(ctx_, 0x40, kProxy, half));
}

TEST_F(WholeFieldTexts, SwitchNameOfThirtyTwoCharactersIsReadBackWhole) {
    const std::string name = text(32);
    SwitchInfoValue value;
    value.text = name.c_str();
    ASSERT_EQ(0, switchSetInfo(ctx_, 0x20, kProxy, value));
    SwitchInfoRecord request{};
    std::memcpy(request.switchName, kProxy, 8);
    SwitchInfoRecord* info = nullptr;
    ASSERT_EQ(0, switchGetInfo(ctx_, &request, &info));
    EXPECT_EQ(name, std::string(info->a5, sizeof info->a5));
    freeApiRecord(info);
}

TEST_F(WholeFieldTexts, SwitchGroupNamesFillTheirFields) {
    WWNBytes members[128] = {};
    std::memcpy(members[0], kProxy, 8);
    std::memcpy(members[1], kEdge, 8);
    const std::string name = text(32);
    ASSERT_EQ(0, switchSetSGroup(ctx_, kProxy, name.c_str(), 3, 2, members));
    EXPECT_EQ(name, proxySource().at("switchGroups").at(0).at("name"));
    SGroupRecord* group = nullptr;
    ASSERT_EQ(0, switchGetSGroup(ctx_, kProxy, &group));
    EXPECT_EQ(name, std::string(group->groupName, sizeof group->groupName));
    freeApiRecord(group);

    const std::string longer = text(33);
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, switchSetSGroup(ctx_, kProxy, longer.c_str(), 3, 2, members));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, switchRenameSGroup(ctx_, kProxy, name.c_str(), longer.c_str()));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, switchDelSGroup(ctx_, kProxy, longer.c_str()));
    EXPECT_EQ(1u, calls(2050));
    EXPECT_EQ(0u, calls(2051) + calls(2052));

    ASSERT_EQ(0, switchDelSGroup(ctx_, kProxy, name.c_str()));
    EXPECT_TRUE(proxySource().at("switchGroups").empty());
}

} // namespace
