// The member texts sent to the switch for each kind of policy, and the
// member identifiers read back from the switch's member words.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "foundation/WWNAddress.h"
#include "objects/ChildClasses.h"
#include "objects/ObjectTypes.h"
#include "services/SecurityMembers.h"
#include "services/SecurityObjects.h"

namespace {

// A member list of 48-character entries ended by an empty one.
std::vector<char> memberList(const std::vector<std::string>& entries) {
    std::vector<char> list(48 * (entries.size() + 1), '\0');
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::memcpy(list.data() + 48 * i, entries[i].data(),
                    std::min<std::size_t>(entries[i].size(), 48));
    }
    return list;
}

const char* kSwitchOid = "000210000060690d0001";
const char* kSwitchWwn = "10:00:00:60:69:0d:00:01";

TEST(PolicyMemberText, ConvertsEntriesByPolicyKind) {
    const unsigned char fabricPortName[8] = {0x20, 0, 0, 0x60, 0x69, 0x0d, 0, 0x05};
    getOrCreateObject(ObjectType::Port, WWNAddress(fabricPortName))
        ->setShortAttr("PortType", PORT_TYPE_F);
    const struct {
        const char* policy;
        std::vector<std::string> entries;
        const char* text;
        int count;
    } cases[] = {
        {"FCS_POLICY",
         {kSwitchOid, "*", kSwitchWwn},
         "10:00:00:60:69:0d:00:01;*;10:00:00:60:69:0d:00:01",
         3},
        {"SES_POLICY", {"000120000060690d0001"}, "20:00:00:60:69:0d:00:01", 1},
        {"TELNET_POLICY", {"127.0.0.7", "host-b"}, "127.0.0.7;host-b", 2},
        // A fabric port contributes nothing, its separator stays.
        {"DCC_POLICY_X",
         {"000120000060690d0001", "000120000060690d0005", kSwitchWwn},
         "20:00:00:60:69:0d:00:01;;10:00:00:60:69:0d:00:01",
         3},
        {"DCC_POLICY_X", {"fffa10000060690d00010407"}, "10:00:00:60:69:0d:00:01(4-7)", 1},
        {"DCC_POLICY_X", {"fffa10000060690d00010404"}, "10:00:00:60:69:0d:00:01(4)", 1},
        {"DCC_POLICY_X", {"000210000060690d0001(1,2)"}, "10:00:00:60:69:0d:00:01(1,2)", 1},
        // Short entries that are not ports are passed over.
        {"DCC_POLICY_X", {"000210000060690d0001"}, "", 1},
        {"DCC_POLICY_X", {}, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.policy) + " " + c.text);
        const std::vector<char> list = memberList(c.entries);
        int count = -1;
        std::string text = "stale";
        ASSERT_EQ(0, buildPolicyMemberText(count, c.policy, list.data(), text));
        EXPECT_EQ(c.text, text);
        EXPECT_EQ(c.count, count);
    }
    int count = -1;
    std::string text = "stale";
    EXPECT_EQ(0, buildPolicyMemberText(count, "FCS_POLICY", nullptr, text));
    EXPECT_EQ(0, count);
    EXPECT_EQ("", text);
}

TEST(PolicyMemberText, RefusesEntriesItCannotSendSafely) {
    std::string overLong(48, 'a');
    const struct {
        const char* policy;
        std::vector<std::string> entries;
    } cases[] = {
        {"NO_SUCH_POLICY", {"*"}},
        {"DCC_POLIC", {"*"}},
        {"TELNET_POLICY", {"127.0.0.7;127.0.0.8"}},
        {"HTTP_POLICY", {"a|b"}},
        {"FCS_POLICY", {"10:00:00:60:69:0d:00:0g"}},  // not a hex digit
        {"FCS_POLICY", {"10:00:00:60:69:0d:00:011"}}, // one character too many
        {"FCS_POLICY", {"10-00-00-60-69-0d-00-01"}},
        {"FCS_POLICY", {"not an identifier"}},
        {"DCC_POLICY_X", {"fffa10000060690d0001zz07"}},
        {"API_POLICY", {overLong}}, // no NUL inside the entry
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.policy) + " " + c.entries.front().substr(0, 30));
        std::vector<char> list = memberList(c.entries);
        if (c.entries.front().size() == 48) {
            list.resize(48 * 2, '\0');
            std::memcpy(list.data(), overLong.data(), 48);
        }
        int count = -1;
        std::string text;
        EXPECT_EQ(-3, buildPolicyMemberText(count, c.policy, list.data(), text));
    }
}

TEST(PolicyMemberText, WorldWideNameTexts) {
    EXPECT_TRUE(isWwnText("*"));
    EXPECT_TRUE(isWwnText("10:00:00:60:69:0D:00:01"));
    EXPECT_FALSE(isWwnText(nullptr));
    EXPECT_FALSE(isWwnText(""));
    EXPECT_FALSE(isWwnText("10:00:00:60:69:0d:00:0"));
    EXPECT_FALSE(isWwnText("10:00:00:60:69:0d:00:01:"));
    EXPECT_FALSE(isWwnText("1000:00:60:69:0d:00:01:"));
    EXPECT_EQ("10:00:00:60:69:0d:00:01", oidToWwnText("000210000060690D0001"));
    EXPECT_EQ("", oidToWwnText("0002"));
}

TEST(PolicyMembers, DccWordsBecomePortGroupsPerRun) {
    EXPECT_EQ((std::vector<std::string>{"fffa10000060690d00010103", "fffa10000060690d00010707"}),
              policyMemberToOids("10:00:00:60:69:0d:00:01(1,2,3,7)", "DCC_POLICY_A"));
    EXPECT_EQ((std::vector<std::string>{"000120000060690d0001"}),
              policyMemberToOids("20:00:00:60:69:0d:00:01", "DCC_POLICY_A"));
    EXPECT_EQ((std::vector<std::string>{kSwitchOid}), policyMemberToOids(kSwitchWwn, "FCS_POLICY"));
    EXPECT_EQ((std::vector<std::string>{"000120000060690d0001"}),
              policyMemberToOids("20:00:00:60:69:0d:00:01", "MS_POLICY"));
    EXPECT_EQ((std::vector<std::string>{"127.0.0.9"}),
              policyMemberToOids("127.0.0.9", "API_POLICY"));
    EXPECT_TRUE(policyMemberToOids("10:00:00:60:69:0d:00:01(1,x)", "DCC_POLICY_A").empty());
    EXPECT_TRUE(policyMemberToOids("short", "FCS_POLICY").empty());
}

TEST(PolicyMembers, PolicyNumbersAndKeys) {
    unsigned dcc = 20;
    EXPECT_EQ(1u, policyNumberOf("FCS_POLICY", dcc));
    EXPECT_EQ(12u, policyNumberOf("SCC_POLICY", dcc));
    EXPECT_EQ(21u, policyNumberOf("DCC_POLICY_A", dcc));
    EXPECT_EQ(22u, policyNumberOf("DCC_POLICY_B", dcc));
    EXPECT_EQ(0u, policyNumberOf("PRIMARY", dcc));
    EXPECT_EQ(0u, policyNumberOf("DCC", dcc));
    dcc = 65024;
    EXPECT_EQ(0u, policyNumberOf("DCC_POLICY_C", dcc));
    unsigned char key[8];
    policyKeyOf(0x1234, 0xabc, key);
    const unsigned char expected[8] = {4, 3, 2, 1, 0xc, 0xb, 0xa, 0};
    EXPECT_EQ(0, std::memcmp(expected, key, 8));
}

} // namespace
