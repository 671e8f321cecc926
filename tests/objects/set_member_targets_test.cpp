// AddSetMember and RemoveSetMember on the targets outside zoning, against
// the simulator: a platform's address set (no transaction needed), a
// switch's licence keys, and the members of a security policy inside the
// security transaction; the refusals of each path.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib_security.h"
#include "editing/SetMemberEdits.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "objects/PlatformClasses.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "tests/support/FabricSessions.h"
#include "tests/support/SwitchSimulator.h"

namespace {

namespace tag = set_member_tag;

const char* kFabric = "000910000060690b0001";
const char* kProxy = "000210000060690b0001";
const char* kSecond = "000210000060690b0002";
const char* kCapabilities = "002010000060690b0001";
const char* kZoningCapabilities = "001510000060690b0001";
const char* kOldFabric = "000910000060690e0001";
const char* kOldProxy = "000210000060690e0001";
const std::string kLongName = "DCC_POLICY_" + std::string(30, 'L');

nlohmann::json document() {
    nlohmann::json doc = nlohmann::json::parse(R"json({"fabrics": [
      {"name": "secure", "users": [{"name": "admin", "password": "password"}],
       "platformInfo": {"1": 1},
       "platforms": [{"kind": 4, "name": "host", "value1": 3,
                      "members": [{"kind": 9, "name": "127.0.0.9"}], "wwns": []}],
       "switches": [
         {"wwn": "10:00:00:60:69:0b:00:01", "firmware": "v5.2.0", "address": "@0",
          "info": {"a4": "v5.2.0"}, "licenses": ["present-key"]},
         {"wwn": "10:00:00:60:69:0b:00:02", "firmware": "v5.2.0", "info": {"a4": "v5.2.0"}}],
       "security": {"secureMode": 1, "secDbStatus": [0, 0],
         "defined": [["FCS_POLICY", "10:00:00:60:69:0b:00:01"], ["TELNET_POLICY", ""]],
         "active": [["FCS_POLICY", "10:00:00:60:69:0b:00:01"]]}},
      {"name": "old", "users": [{"name": "admin", "password": "password"}],
       "switches": [{"wwn": "10:00:00:60:69:0e:00:01", "firmware": "v2.4.1",
                     "address": "@1"}]}]})json");
    doc["fabrics"][0]["security"]["active"].push_back(nlohmann::json::array({kLongName, ""}));
    return doc;
}

std::vector<char> entries(const std::vector<std::string>& texts, std::size_t size) {
    std::vector<char> out(size * (texts.size() + 1), '\0');
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::memcpy(out.data() + size * i, texts[i].data(), std::min(texts[i].size(), size));
    }
    return out;
}

class SetMemberTargets : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
        sim_ = new SwitchSimulator(document());
        FabAPI_ShutdownFabricAPI();
        ASSERT_NO_FATAL_FAILURE(
            openFabricSessions(*sim_, {0, 1}, {kFabric, kOldFabric}, {0, 500, 501}));
        void** records = nullptr;
        const int read = GetAllObjects(&records);
        ASSERT_TRUE(read == 0 || read == FABAPI_ERR_SOME_OBJECTS_FAILED) << read;
        for (void** record = records; record != nullptr && *record != nullptr; ++record) {
            falFreeObject(*record);
        }
        falFreeObject(records);
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    void TearDown() override {
        sim_->clearFaults();
        setZoningFlag("ZoneTransactionDirty", 0);
    }

    static nlohmann::json source(int fabric = 0) {
        return sim_->request({{"op", "source"}, {"fabric", fabric}}).at("source");
    }
    static std::vector<std::string> licences() {
        const nlohmann::json sw = sim_->request(
            {{"op", "source"}, {"fabric", 0}, {"switch", "10:00:00:60:69:0b:00:01"}})["source"];
        return sw.value("licenses", std::vector<std::string>{});
    }
    static unsigned short zoningFlag(const char* name) {
        LockGuard model(getObjectStoreMutex());
        unsigned short value = 0xFFFF;
        if (StoredObject* caps = findObjectUnlocked(kZoningCapabilities)) {
            caps->getShortAttr(name, value);
        }
        return value;
    }
    static void setZoningFlag(const char* name, unsigned short value) {
        LockGuard model(getObjectStoreMutex());
        if (StoredObject* caps = findObjectUnlocked(kZoningCapabilities)) {
            caps->setShortAttr(name, value);
        }
    }
    static std::string platformOid() {
        LockGuard model(getObjectStoreMutex());
        std::vector<std::string> platforms;
        findObjectUnlocked(kFabric)->getRelations("setPlatform", platforms);
        return platforms.empty() ? "" : platforms.front();
    }
    // The identifier of a policy: its type, then the policy number's and
    // the fabric counter's hex digits, lowest first, one per byte.
    static std::string policyOid(unsigned short type, unsigned number) {
        int counter = 0;
        StoredObject* fabric = findObject(kFabric);
        EXPECT_TRUE(fabric != nullptr && fabric->getIntAttr("FabricCounter", counter));
        char text[21];
        std::snprintf(text, sizeof text, "%04x", type);
        std::string out = text;
        for (unsigned value : {number, static_cast<unsigned>(counter)}) {
            for (int i = 0; i < 4; ++i) {
                std::snprintf(text, sizeof text, "%02x", (value >> (4 * i)) & 0xF);
                out += text;
            }
        }
        return out;
    }
    static SessionContext* handle() {
        void* context = nullptr;
        StoredObject* fabric = findObject(kFabric);
        EXPECT_TRUE(fabric != nullptr && fabric->getHandleAttr("HDL", context));
        return static_cast<SessionContext*>(context);
    }
    static std::string definedMembers(const std::string& name) {
        const nlohmann::json fabric = source();
        for (const auto& policy : fabric["security"]["defined"]) {
            if (policy.at(0) == name) {
                return policy.at(1).get<std::string>();
            }
        }
        return "<none>";
    }

    static SwitchSimulator* sim_;
};

SwitchSimulator* SetMemberTargets::sim_ = nullptr;

TEST_F(SetMemberTargets, PlatformAddressesWithoutAnyTransaction) {
    const std::string platform = platformOid();
    ASSERT_FALSE(platform.empty());
    ASSERT_EQ(0, zoningFlag("ZoneTransactionActive"));
    RecordText address[2] = {};
    std::strcpy(address[0].Text, "127.0.0.3");
    address[0].Length = 9;
    const char* members = reinterpret_cast<const char*>(address);
    ASSERT_EQ(0, AddSetMember(platform.c_str(), PLATFORM_ATTR_ADDRESS_SET, members));
    EXPECT_EQ(2u, source()["platforms"][0]["members"].size());
    ASSERT_EQ(0, RemoveSetMember(platform.c_str(), PLATFORM_ATTR_ADDRESS_SET, members));
    EXPECT_EQ(1u, source()["platforms"][0]["members"].size());
    // The platform operations answer for every tag; the transaction flag
    // stays untouched.
    EXPECT_EQ(-34, AddSetMember(platform.c_str(), tag::ZoneMembers, members));
    EXPECT_EQ(-34, AddSetMember(platform.c_str(), tag::PolicySetOids, members));
    EXPECT_EQ(0, zoningFlag("ZoneTransactionDirty"));
}

TEST_F(SetMemberTargets, LicenceKeysAddedAndRemoved) {
    const std::vector<char> keys = entries({"key-one", "key-two"}, 64);
    ASSERT_EQ(0, AddSetMember(kProxy, tag::LicenseKeys, keys.data()));
    EXPECT_EQ(licences(), (std::vector<std::string>{"present-key", "key-one", "key-two"}));
    EXPECT_EQ(1, zoningFlag("ZoneTransactionDirty")) << "set with no transaction open";
    ASSERT_EQ(0, RemoveSetMember(kProxy, tag::LicenseKeys, keys.data()));
    EXPECT_EQ(licences(), std::vector<std::string>{"present-key"});

    // An empty list sends nothing.
    const std::vector<char> none = entries({}, 64);
    EXPECT_EQ(0, AddSetMember(kProxy, tag::LicenseKeys, none.data()));
    EXPECT_EQ(licences(), std::vector<std::string>{"present-key"});
    // A key of 63 characters, the longest the request carries whole here.
    const std::string longKey(63, 'k');
    const std::vector<char> one = entries({longKey}, 64);
    ASSERT_EQ(0, AddSetMember(kProxy, tag::LicenseKeys, one.data()));
    EXPECT_EQ(licences().back(), longKey);
    ASSERT_EQ(0, RemoveSetMember(kProxy, tag::LicenseKeys, one.data()));
}

TEST_F(SetMemberTargets, LicenceKeyRefusals) {
    // The switch refuses the second of three keys with -56: the first
    // stays, the third is not sent.
    sim_->injectFault({{"address", sim_->address(0)},
                       {"procedure", 40},
                       {"code", 1824},
                       {"kind", "delay"},
                       {"delayMs", 0},
                       {"count", 1}});
    sim_->injectFault({{"address", sim_->address(0)},
                       {"procedure", 40},
                       {"code", 1824},
                       {"kind", "status"},
                       {"status", -56},
                       {"count", 1}});
    const std::vector<char> three = entries({"k1", "k2", "k3"}, 64);
    EXPECT_EQ(-34, AddSetMember(kProxy, tag::LicenseKeys, three.data()));
    EXPECT_EQ(licences(), (std::vector<std::string>{"present-key", "k1"}));
    // Any other refusal (a key not installed) gives -46.
    EXPECT_EQ(-46, RemoveSetMember(kProxy, tag::LicenseKeys, entries({"k9"}, 64).data()));
    EXPECT_EQ(0, RemoveSetMember(kProxy, tag::LicenseKeys, entries({"k1"}, 64).data()));
    // Keys belong to switches only.
    EXPECT_EQ(-6, AddSetMember(kFabric, tag::LicenseKeys, entries({"k1"}, 64).data()));
    EXPECT_EQ(licences(), std::vector<std::string>{"present-key"});
}

TEST_F(SetMemberTargets, SecurityPolicyMembersInsideTheSecurityTransaction) {
    const std::string fcs = policyOid(49, 1);
    const std::vector<char> second = entries({kSecond}, 48);
    EXPECT_EQ(-40, AddSetMember(fcs.c_str(), tag::PolicyMembers, second.data()))
        << "no security transaction";
    ASSERT_EQ(0, mpsStartSecurityTransaction(handle()));
    {
        LockGuard model(getObjectStoreMutex());
        findObject(kCapabilities)->setShortAttr("SecurityTransactionActive", 1);
    }
    ASSERT_EQ(0, AddSetMember(fcs.c_str(), tag::PolicyMembers, second.data()));
    EXPECT_EQ("10:00:00:60:69:0b:00:01;10:00:00:60:69:0b:00:02", definedMembers("FCS_POLICY"));
    EXPECT_EQ(1, zoningFlag("ZoneTransactionDirty"));
    ASSERT_EQ(0, RemoveSetMember(fcs.c_str(), tag::PolicyMembers, second.data()));
    EXPECT_EQ("10:00:00:60:69:0b:00:01", definedMembers("FCS_POLICY"));
    // A policy name the switch's field cannot hold is refused, not cut.
    EXPECT_EQ(-3, AddSetMember(policyOid(34, 23).c_str(), tag::PolicyMembers, second.data()));
    ASSERT_EQ(0, mpsAbortSecurityTransaction(handle()));
    LockGuard model(getObjectStoreMutex());
    findObject(kCapabilities)->setShortAttr("SecurityTransactionActive", 0);
}

TEST_F(SetMemberTargets, Refusals) {
    const std::vector<char> one = entries({kSecond}, 48);
    const struct {
        const char* what;
        std::string target;
        unsigned code;
        int added;
        int removed;
    } cases[] = {
        // Below the 2.6 fabric level the policy tags are refused before the
        // target is looked up.
        {"policy members on 2.3", kOldProxy, tag::PolicyMembers, -34, -34},
        {"policy sets on 2.3", kOldProxy, tag::PolicySetOids, -34, -34},
        {"switch group on 2.3", kOldProxy, tag::PhysSwitchGroupOid, -34, -34},
        // A target without a policy name.
        {"policy members of a switch", kProxy, tag::PolicyMembers, -17, -17},
        // A tag no path takes, after the dirty flag is set.
        {"unknown tag", kProxy, 0x12345, -34, -34},
        {"policy sets on 2.6", kProxy, tag::PolicySetOids, -34, -34},
        // Zoning tags on a target outside zoning: a single member to add
        // fails the fabric or kind check, one to remove is not a member.
        {"zone members of a switch", kProxy, tag::ZoneMembers, -5, -3},
        {"zone set members of a switch", kProxy, tag::ZoneSetMembers, -71, -3},
        {"no fabric above", "0002100000606900ffff", tag::LicenseKeys, -3, -3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.added, AddSetMember(c.target.c_str(), c.code, one.data())) << c.what;
        EXPECT_EQ(c.removed, RemoveSetMember(c.target.c_str(), c.code, one.data())) << c.what;
    }
    EXPECT_EQ(1, zoningFlag("ZoneTransactionDirty"));
    EXPECT_EQ(-3, AddSetMember(nullptr, tag::LicenseKeys, one.data()));
    EXPECT_EQ(-3, RemoveSetMember(kProxy, tag::LicenseKeys, nullptr));
}

TEST(SetMemberFrame, NotInitialised) {
    FabAPI_ShutdownFabricAPI();
    const char members[48] = {};
    EXPECT_EQ(-98, AddSetMember(kProxy, tag::LicenseKeys, members));
    EXPECT_EQ(-98, RemoveSetMember(kProxy, tag::LicenseKeys, members));
}

} // namespace
