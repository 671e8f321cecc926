// The security objects of a fabric in secure mode, read from the simulator
// through the query exports; member edits and policy deletion inside the
// security transaction, read back from the simulator's control channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "connection/clilib_security.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "objects/ObjectTypes.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/records.h"
#include "orvane/status.h"
#include "services/SecurityMembers.h"
#include "tests/support/SwitchSimulator.h"

namespace {

const char* kFabric = "000910000060690b0001";
const char* kPlainFabric = "000910000060690c0001";
const char* kProxy = "000210000060690b0001";
const char* kSecond = "000210000060690b0002";
const char* kCapabilities = "002010000060690b0001";
const char* kPlainCapabilities = "002010000060690c0001";
const char* kActiveSet = "002110000060690b0001";
const char* kDefinedSet = "003010000060690b0001";
const char* kStats = "003210000060690b0001";
const std::string kStamp(200, 's');
// A policy name longer than an identifier field.
const std::string kLongName = "DCC_POLICY_" + std::string(60, 'L');
// A switch that is not in the fabric.
const char* kStranger = "000210000060690b0009";

nlohmann::json document() {
    nlohmann::json doc = nlohmann::json::parse(R"json({"fabrics": [
      {"name": "secure", "users": [{"name": "admin", "password": "password"}],
       "switches": [
         {"wwn": "10:00:00:60:69:0b:00:01", "firmware": "v5.2.0", "address": "@0",
          "info": {"a4": "v5.2.0"}, "securityStats": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12]},
         {"wwn": "10:00:00:60:69:0b:00:02", "firmware": "v5.2.0", "info": {"a4": "v5.2.0"}}],
       "security": {"secureMode": 1, "secDbStatus": [0, -2],
         "defined": [["FCS_POLICY", "10:00:00:60:69:0b:00:01"], ["TELNET_POLICY", ""],
                     ["DCC_POLICY_A", "10:00:00:60:69:0b:00:01(1,2,3,7)"], ["ODD_POLICY", "x"]],
         "active": [["PRIMARY", "10:00:00:60:69:0b:00:09"],
                    ["PRIMARY", "10:00:00:60:69:0b:00:01;10:00:00:60:69:0b:00:02"],
                    ["FCS_POLICY", "10:00:00:60:69:0b:00:01;10:00:00:60:69:0b:00:02"],
                    ["DCC_POLICY_A", "20:00:00:60:69:0b:00:01"], ["DCC_POLICY_B", "EMPTY"]]}},
      {"name": "plain", "users": [{"name": "admin", "password": "password"}],
       "switches": [{"wwn": "10:00:00:60:69:0c:00:01", "firmware": "v5.2.0", "address": "@1",
                     "info": {"a4": "v5.2.0"}}]}]})json");
    doc["fabrics"][0]["security"]["versionStamp"] = kStamp;
    doc["fabrics"][0]["security"]["active"].push_back(nlohmann::json::array({kLongName, ""}));
    return doc;
}

std::string text(const char* oid) {
    return std::string(oid, strnlen(oid, 48));
}

std::vector<std::string> oids(const OID_t* list) {
    std::vector<std::string> out;
    for (; list != nullptr && (*list)[0] != '\0'; ++list) {
        out.push_back(text(*list));
    }
    return out;
}

class SecurityObjects : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
        sim_ = new SwitchSimulator(document());
        FabAPI_ShutdownFabricAPI();
        ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
        for (int i = 0; i < 2; ++i) {
            std::string host = sim_->address(i);
            FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"),
                                    const_cast<char*>("password")};
            ASSERT_EQ(0, FabAPI_AppendProxyEntry(&entry));
        }
        FabAPI_FabricDiscoveryInfo* info = nullptr;
        ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
        falFreeObject(info);
        for (const char* fabric : {kFabric, kPlainFabric}) {
            FabAPI_FabricIdentity identity{};
            std::strncpy(identity.structFabSig.structFabricOID, fabric, 47);
            FabAPI_ClientSessionID* session = nullptr;
            const int opened = FabAPI_EstablishSession(&identity, &session);
            ASSERT_TRUE(opened == 0 || opened == 500 || opened == 501) << opened;
            falFreeObject(session);
        }
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    void SetUp() override {
        // The fabric objects are made by the first read of the fabric.
        void* record = nullptr;
        ASSERT_EQ(0, GetSingleObject(kFabric, &record));
        falFreeObject(record);
    }

    template <class Record> static Record* read(const char* oid, int expected = 0) {
        void* record = nullptr;
        EXPECT_EQ(expected, GetSingleObject(oid, &record)) << oid;
        return static_cast<Record*>(record);
    }
    // The records of one type of the secure fabric, from the walk of all
    // its objects; freed with the holder.
    struct Records {
        std::vector<void*> list;
        ~Records() {
            for (void* record : list) {
                falFreeObject(record);
            }
        }
        std::size_t size() const { return list.size(); }
        void* operator[](std::size_t i) const { return list[i]; }
    };
    static void ofType(unsigned short type, Records& out) {
        void** list = nullptr;
        ASSERT_EQ(0, GetObjectsByType(kFabric, -1, &list));
        for (void** at = list; at != nullptr && *at != nullptr; ++at) {
            unsigned short own = 0;
            std::memcpy(&own, *at, sizeof own);
            if (own == type) {
                out.list.push_back(*at);
            } else {
                falFreeObject(*at);
            }
        }
        falFreeObject(list);
    }
    // The identifier of a policy: its type, then the policy number's and
    // the fabric counter's hex digits, lowest first, one per byte.
    static std::string policyOid(unsigned short type, unsigned number) {
        int counter = 0;
        StoredObject* fabric = findObject(kFabric);
        EXPECT_TRUE(fabric != nullptr && fabric->getIntAttr("FabricCounter", counter));
        char oid[21];
        std::snprintf(oid, sizeof oid, "%04x", type);
        std::string out = oid;
        for (unsigned value : {number, static_cast<unsigned>(counter)}) {
            for (int i = 0; i < 4; ++i) {
                std::snprintf(oid, sizeof oid, "%02x", (value >> (4 * i)) & 0xF);
                out += oid;
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
    static nlohmann::json switchSecurity() {
        return sim_->request({{"op", "source"}, {"fabric", 0}}).at("source").at("security");
    }
    static std::string definedMembers(const std::string& name) {
        const nlohmann::json security = switchSecurity();
        for (const auto& policy : security.at("defined")) {
            if (policy.at(0) == name) {
                return policy.at(1).get<std::string>();
            }
        }
        return "<none>";
    }
    // Opens the transaction on the switch and on the capabilities object,
    // as the transaction attribute does.
    static void openTransaction() {
        ASSERT_EQ(0, mpsStartSecurityTransaction(handle()));
        LockGuard model(getObjectStoreMutex());
        findObject(kCapabilities)->setShortAttr("SecurityTransactionActive", 1);
    }
    static unsigned short flag(const char* name) {
        unsigned short value = 99;
        findObject(kCapabilities)->getShortAttr(name, value);
        return value;
    }
    static std::vector<char> members(const std::vector<std::string>& entries) {
        std::vector<char> list(48 * (entries.size() + 1), '\0');
        for (std::size_t i = 0; i < entries.size(); ++i) {
            std::memcpy(list.data() + 48 * i, entries[i].c_str(), entries[i].size());
        }
        return list;
    }
    static int add(const std::string& policy, const char* name,
                   const std::vector<std::string>& entries) {
        LockGuard model(getObjectStoreMutex());
        return addSecurityPolicyMember(policy.c_str(), handle(), name, members(entries).data());
    }
    static int remove(const std::string& policy, const char* name,
                      const std::vector<std::string>& entries) {
        LockGuard model(getObjectStoreMutex());
        return removeSecurityPolicyMember(policy.c_str(), handle(), name, members(entries).data());
    }

    static SwitchSimulator* sim_;
};

SwitchSimulator* SecurityObjects::sim_ = nullptr;

TEST_F(SecurityObjects, CapabilitiesOfAFabricInSecureMode) {
    auto* caps = read<SecurityCapabilitiesRecord>(kCapabilities);
    ASSERT_NE(nullptr, caps);
    EXPECT_EQ(ObjectType::SecurityCapabilities, caps->ObjType);
    EXPECT_EQ(kCapabilities, text(caps->OID));
    EXPECT_EQ(1, caps->SecureModeEnabled);
    EXPECT_EQ(kActiveSet, text(caps->ActivePolicySetOID));
    EXPECT_EQ(kDefinedSet, text(caps->DefinedPolicySetOID));
    EXPECT_EQ(0, caps->SecurityTransactionActive);
    EXPECT_EQ(1, caps->CommitSecurityTransaction);
    EXPECT_EQ(0, caps->SecurityTransactionDirty);
    EXPECT_EQ(kProxy, text(caps->PrimaryFCSOID));
    // The switch's stamp is cut to the record's 127 characters and NUL.
    EXPECT_EQ(kStamp.substr(0, 127), std::string(caps->PolicyVersionStamp));
    EXPECT_EQ(-2, caps->SecDBStatus);
    falFreeObject(caps);
    LockGuard model(getObjectStoreMutex());
    EXPECT_EQ(1u, findObject(kCapabilities)->getRelationCount("setPrimaryFCS"));
    // A primary switch outside the fabric is not made up.
    EXPECT_EQ(nullptr, findObject(kStranger));
}

TEST_F(SecurityObjects, CapabilitiesOfAFabricNotInSecureMode) {
    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(kPlainFabric, &record));
    falFreeObject(record);
    auto* caps = read<SecurityCapabilitiesRecord>(kPlainCapabilities);
    ASSERT_NE(nullptr, caps);
    EXPECT_EQ(0, caps->SecureModeEnabled);
    EXPECT_STREQ("None", caps->PolicyVersionStamp);
    EXPECT_EQ("", text(caps->ActivePolicySetOID));
    EXPECT_EQ("", text(caps->DefinedPolicySetOID));
    EXPECT_EQ("", text(caps->PrimaryFCSOID));
    falFreeObject(caps);
    StoredObject* object = findObject(kPlainCapabilities);
    EXPECT_EQ(0u, object->getRelationCount("setDefinedPolicySet"));
    EXPECT_EQ(0u, object->getRelationCount("setActivePolicySet"));
}

TEST_F(SecurityObjects, FailedSecureModeReadKeepsTheStoredState) {
    falFreeObject(read<SecurityCapabilitiesRecord>(kCapabilities));
    sim_->injectFault({{"address", sim_->address(0)},
                       {"procedure", 125},
                       {"code", 256},
                       {"kind", "status"},
                       {"status", -5}});
    void* record = nullptr;
    EXPECT_GT(0, GetSingleObject(kCapabilities, &record));
    EXPECT_EQ(nullptr, record);
    sim_->clearFaults();
    StoredObject* object = findObject(kCapabilities);
    unsigned short mode = 0;
    EXPECT_TRUE(object->getShortAttr("SecureModeEnabled", mode));
    EXPECT_EQ(1, mode);
    EXPECT_EQ(1u, object->getRelationCount("setDefinedPolicySet"));
    EXPECT_EQ(1u, object->getRelationCount("setActivePolicySet"));
}

TEST_F(SecurityObjects, PolicySetsAndPoliciesByType) {
    Records sets;
    ofType(ObjectType::DefinedPolicySet, sets);
    ASSERT_EQ(1u, sets.size());
    auto* defined = static_cast<PolicySetRecord*>(sets[0]);
    EXPECT_EQ(ObjectType::DefinedPolicySet, defined->ObjType);
    EXPECT_EQ(kDefinedSet, text(defined->OID));
    EXPECT_EQ(0, defined->ActivatePolicySet);
    // The unknown policy leaves no entry.
    EXPECT_EQ((std::vector<std::string>{policyOid(49, 1), policyOid(49, 5), policyOid(49, 21)}),
              oids(defined->PolicyOIDs));

    Records actives;
    ofType(ObjectType::ActivePolicySet, actives);
    ASSERT_EQ(1u, actives.size());
    auto* active = static_cast<PolicySetRecord*>(actives[0]);
    EXPECT_EQ(kActiveSet, text(active->OID));
    EXPECT_EQ(1, active->ActivatePolicySet);
    EXPECT_EQ((std::vector<std::string>{policyOid(34, 1), policyOid(34, 21), policyOid(34, 22),
                                        policyOid(34, 23)}),
              oids(active->PolicyOIDs));

    const struct {
        short type;
        unsigned number;
        const char* name;
        std::vector<std::string> members;
    } policies[] = {
        {49, 1, "FCS_POLICY", {kProxy}},
        {49, 5, "TELNET_POLICY", {}},
        {49, 21, "DCC_POLICY_A", {"fffa10000060690b00010103", "fffa10000060690b00010707"}},
        {34, 1, "FCS_POLICY", {kProxy, kSecond}},
        {34, 21, "DCC_POLICY_A", {"000120000060690b0001"}},
        {34, 22, "DCC_POLICY_B", {}},
        {34, 23, kLongName.c_str(), {}},
    };
    for (const auto& expected : policies) {
        SCOPED_TRACE(expected.name);
        const std::string oid =
            policyOid(static_cast<unsigned short>(expected.type), expected.number);
        auto* policy = read<SecurityPolicyRecord>(oid.c_str());
        ASSERT_NE(nullptr, policy);
        EXPECT_EQ(expected.type, policy->ObjType);
        EXPECT_EQ(oid, text(policy->OID));
        EXPECT_STREQ(expected.name, policy->PolicyName);
        EXPECT_EQ(expected.members, oids(policy->MemberOIDs));
        falFreeObject(policy);
    }
    Records all;
    ofType(ObjectType::DefinedPolicy, all);
    EXPECT_EQ(3u, all.size());
}

TEST_F(SecurityObjects, WalkOfAllObjectsReachesThePolicies) {
    void** list = nullptr;
    ASSERT_EQ(0, GetAllObjects(&list));
    std::vector<std::string> seen;
    for (void** at = list; at != nullptr && *at != nullptr; ++at) {
        unsigned short type = 0;
        std::memcpy(&type, *at, sizeof type);
        if (type >= 32 && type <= 50 && type != 35 && type != 36 && type != 37 && type != 38 &&
            type != 39) {
            seen.push_back(text(static_cast<const char*>(*at) + 2));
        }
        falFreeObject(*at);
    }
    falFreeObject(list);
    for (const std::string& oid :
         {std::string(kCapabilities), std::string(kPlainCapabilities), std::string(kDefinedSet),
          std::string(kActiveSet), policyOid(49, 1), policyOid(49, 21), policyOid(34, 22)}) {
        EXPECT_NE(seen.end(), std::find(seen.begin(), seen.end(), oid)) << oid;
    }
}

TEST_F(SecurityObjects, SwitchSecurityStatistics) {
    auto* sw = read<SwitchRecord>(kProxy);
    ASSERT_NE(nullptr, sw);
    EXPECT_EQ(kStats, text(sw->SecurityStatsOID));
    falFreeObject(sw);
    auto* stats = read<SecurityStatsObjectRecord>(kStats);
    ASSERT_NE(nullptr, stats);
    EXPECT_EQ(ObjectType::SecurityStats, stats->ObjType);
    EXPECT_EQ(kProxy, text(stats->SwitchOID));
    const unsigned int* counters = &stats->TelnetPolicyViolations;
    for (unsigned i = 0; i < 12; ++i) {
        EXPECT_EQ(i + 1, counters[i]) << i;
    }
    falFreeObject(stats);
    int login = 0;
    EXPECT_TRUE(findObject(kStats)->getIntAttr("LoginViolations", login));
    EXPECT_EQ(12, login);

    sim_->injectFault({{"address", sim_->address(0)},
                       {"procedure", 40},
                       {"code", 2067},
                       {"kind", "status"},
                       {"status", -5}});
    void* record = nullptr;
    EXPECT_GT(0, GetSingleObject(kStats, &record));
    EXPECT_EQ(nullptr, record);
    sim_->clearFaults();
}

TEST_F(SecurityObjects, MembersAndPoliciesEditedInATransaction) {
    {
        Records policies;
        ofType(ObjectType::DefinedPolicy, policies);
    }
    const std::string fcs = policyOid(49, 1);
    const std::string telnet = policyOid(49, 5);

    // Outside a transaction nothing reaches the switch.
    sim_->resetCounters();
    EXPECT_EQ(-40, add(fcs, "FCS_POLICY", {kSecond}));
    EXPECT_EQ(0u, sim_->callCount(sim_->address(0), 125, 274));

    openTransaction();
    ASSERT_EQ(0, add(fcs, "FCS_POLICY", {kSecond, "*"}));
    EXPECT_EQ("10:00:00:60:69:0b:00:01;10:00:00:60:69:0b:00:02;*", definedMembers("FCS_POLICY"));
    EXPECT_EQ(1, flag("SecurityTransactionDirty"));
    EXPECT_EQ(0, flag("CommitSecurityTransaction"));
    EXPECT_TRUE(findObject(fcs)->hasRelation("setPolicyMemberSet", kSecond));
    EXPECT_TRUE(findObject(fcs)->hasRelation("setPolicyMemberSet", "*"));

    ASSERT_EQ(0, remove(fcs, "FCS_POLICY", {"*"}));
    EXPECT_EQ("10:00:00:60:69:0b:00:01;10:00:00:60:69:0b:00:02", definedMembers("FCS_POLICY"));
    // The switch refuses to remove a member the policy does not hold.
    EXPECT_GT(0, remove(fcs, "FCS_POLICY", {"*"}));

    // A policy created on the switch is read as an object of the set.
    ASSERT_EQ(0, mpsCreatePolicy(handle(), "HTTP_POLICY", "127.0.0.9"));
    auto* defined = read<PolicySetRecord>(kDefinedSet);
    ASSERT_NE(nullptr, defined);
    const std::string http = policyOid(49, 6);
    EXPECT_EQ((std::vector<std::string>{fcs, telnet, policyOid(49, 21), http}),
              oids(defined->PolicyOIDs));
    falFreeObject(defined);
    ASSERT_EQ(0, add(http, "HTTP_POLICY", {"127.0.0.10"}));
    EXPECT_EQ("127.0.0.9;127.0.0.10", definedMembers("HTTP_POLICY"));

    OID_t doomed[2] = {};
    std::strcpy(doomed[0], telnet.c_str());
    ASSERT_EQ(0, deleteSecurityObjects(doomed));
    EXPECT_EQ("<none>", definedMembers("TELNET_POLICY"));
    EXPECT_FALSE(findObject(kDefinedSet)->hasRelation("setPolicySetOIDSet", telnet));
    EXPECT_NE(nullptr, findObject(telnet));
    void* gone = nullptr;
    EXPECT_EQ(-21, GetSingleObject(telnet.c_str(), &gone));
    EXPECT_EQ(nullptr, gone);

    ASSERT_EQ(0, mpsActivatePolicySet(handle()));
    ASSERT_EQ(0, mpsCommitSecurityTransaction(handle()));
    const nlohmann::json active = switchSecurity().at("active");
    ASSERT_EQ(6u, active.size()); // the primary pieces and the four defined policies
    EXPECT_EQ("PRIMARY", active[0][0]);
    EXPECT_EQ("PRIMARY", active[1][0]);
    EXPECT_EQ("HTTP_POLICY", active[5][0]);
    auto* activeSet = read<PolicySetRecord>(kActiveSet);
    ASSERT_NE(nullptr, activeSet);
    EXPECT_EQ((std::vector<std::string>{policyOid(34, 1), policyOid(34, 21), policyOid(34, 6)}),
              oids(activeSet->PolicyOIDs));
    falFreeObject(activeSet);
    auto* policy = read<SecurityPolicyRecord>(policyOid(34, 6).c_str());
    ASSERT_NE(nullptr, policy);
    EXPECT_EQ((std::vector<std::string>{"127.0.0.9", "127.0.0.10"}), oids(policy->MemberOIDs));
    falFreeObject(policy);
}

TEST_F(SecurityObjects, MemberEditErrors) {
    {
        Records policies;
        ofType(ObjectType::DefinedPolicy, policies);
    }
    const std::string fcs = policyOid(49, 1);
    openTransaction();
    sim_->resetCounters();
    const struct {
        const char* what;
        std::string policy;
        const char* name;
        std::vector<std::string> entries;
        int expected;
    } cases[] = {
        {"unknown policy object", "003109090909090909", "FCS_POLICY", {"*"}, -17},
        {"name outside the table", fcs, "ODD_POLICY", {"*"}, -3},
        {"empty list", fcs, "FCS_POLICY", {}, -3},
        {"separator in an entry", fcs, "FCS_POLICY", {"*;*"}, -3},
        {"bad world wide name", fcs, "FCS_POLICY", {"10:00:00:60:69:0b:00:0x"}, -3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, add(c.policy, c.name, c.entries)) << c.what;
        EXPECT_EQ(c.expected, remove(c.policy, c.name, c.entries)) << c.what;
    }
    EXPECT_EQ(0u, sim_->callCount(sim_->address(0), 125, 274));
    EXPECT_EQ(0u, sim_->callCount(sim_->address(0), 125, 275));

    // Deletion: each entry checked before the switch is asked.
    OID_t entry[2] = {};
    const struct {
        const char* what;
        std::string oid;
        long expected;
    } deletions[] = {
        {"not stored", "003109090909090909", -13},
        {"policy of the active set", policyOid(34, 1), -20},
        {"not a security object", kProxy, -34},
    };
    falFreeObject(read<PolicySetRecord>(kActiveSet));
    for (const auto& d : deletions) {
        std::memset(entry, 0, sizeof entry);
        std::strcpy(entry[0], d.oid.c_str());
        EXPECT_EQ(d.expected, deleteSecurityObjects(entry)) << d.what;
    }
    EXPECT_EQ(0u, sim_->callCount(sim_->address(0), 125, 273));
    {
        LockGuard model(getObjectStoreMutex());
        findObject(kCapabilities)->setShortAttr("SecurityTransactionActive", 0);
    }
    std::memset(entry, 0, sizeof entry);
    std::strcpy(entry[0], fcs.c_str());
    EXPECT_EQ(-40, deleteSecurityObjects(entry));
    EXPECT_EQ(-40, add(fcs, "FCS_POLICY", {"*"}));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, deleteSecurityObjects(nullptr));
}

// The transaction attributes as a caller writes them: after a commit or an
// abort, whatever the switch answered, the flags say that no transaction is
// open, so the next start reaches the switch and an edit before it gets -40.
TEST_F(SecurityObjects, TransactionFlagsCloseAfterCommitAndAbort) {
    {
        Records policies;
        ofType(ObjectType::DefinedPolicy, policies);
    }
    const std::string fcs = policyOid(49, 1);
    const unsigned kActive = 0xA0E93;
    const unsigned kCommit = 0xA0E94;
    auto write = [](unsigned attribute, unsigned short value) {
        return AddAttributes(members({kCapabilities}).data(), attribute, &value);
    };
    auto calls = [](std::uint32_t request) {
        return sim_->callCount(sim_->address(0), 125, request);
    };
    auto closed = [] {
        return flag("SecurityTransactionActive") == 0 && flag("SecurityTransactionDirty") == 0 &&
               flag("CommitSecurityTransaction") == 1;
    };
    ASSERT_EQ(0, write(kActive, 0)); // whatever earlier tests left open
    sim_->resetCounters();

    // Commit, then start again: the second start reaches the switch.
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(0, write(kActive, 1)) << round;
        EXPECT_EQ(static_cast<std::uint64_t>(round + 1), calls(257));
        EXPECT_TRUE(switchSecurity().value("transaction", false));
        ASSERT_EQ(0, round == 0 ? add(fcs, "FCS_POLICY", {"*"}) : remove(fcs, "FCS_POLICY", {"*"}));
        EXPECT_EQ(1, flag("SecurityTransactionDirty"));
        ASSERT_EQ(0, write(kCommit, 1)) << round;
        EXPECT_FALSE(switchSecurity().value("transaction", false));
        EXPECT_TRUE(closed()) << round;
        EXPECT_EQ(-40, add(fcs, "FCS_POLICY", {"*"})) << round;
    }
    EXPECT_EQ(1u, calls(274)); // the refused edits sent nothing
    EXPECT_EQ(1u, calls(275));
    EXPECT_EQ(-40, write(kCommit, 1));

    // An abort after a commit: the switch holds nothing to abort; the
    // flags stay closed and the next start still works.
    EXPECT_EQ(0, write(kActive, 0));
    EXPECT_EQ(1u, calls(261));
    EXPECT_TRUE(closed());
    ASSERT_EQ(0, write(kActive, 1));
    EXPECT_EQ(3u, calls(257));

    // A commit the switch refuses: -55, and the flags close all the same;
    // an abort then clears what the switch kept open.
    sim_->injectFault({{"address", sim_->address(0)}, {"procedure", 125}, {"code", 260},
                       {"kind", "status"}, {"status", -10051}});
    EXPECT_EQ(-55, write(kCommit, 1));
    sim_->clearFaults();
    EXPECT_TRUE(closed());
    auto* caps = read<SecurityCapabilitiesRecord>(kCapabilities);
    ASSERT_NE(nullptr, caps);
    EXPECT_EQ(0, caps->SecurityTransactionActive);
    EXPECT_EQ(0, caps->SecurityTransactionDirty);
    falFreeObject(caps);
    EXPECT_EQ(-40, add(fcs, "FCS_POLICY", {"*"}));
    EXPECT_EQ(0, write(kActive, 0));
    EXPECT_FALSE(switchSecurity().value("transaction", false));
    ASSERT_EQ(0, write(kActive, 1));
    EXPECT_TRUE(switchSecurity().value("transaction", false));
    EXPECT_EQ(0, write(kActive, 0));
    EXPECT_TRUE(closed());
}

TEST(SecurityObjectsExport, RefusedBeforeStartUp) {
    FabAPI_ShutdownFabricAPI();
    OID_t entry[2] = {};
    std::strcpy(entry[0], "003101000000010000000");
    EXPECT_EQ(-98, deleteSecurityObjects(entry));
}

} // namespace
