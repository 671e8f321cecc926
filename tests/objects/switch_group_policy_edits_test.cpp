// Switch groups and defined security policies created and deleted through
// the object edit table against the simulator: what reaches the switch is
// read back over the simulator's control channel, what is stored through
// the object store and the query exports.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "connection/clilib_security.h"
#include "editing/ObjectEditTable.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "objects/ObjectCounters.h"
#include "objects/ObjectTypes.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/records.h"
#include "orvane/status.h"
#include "tests/support/FabricSessions.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using nlohmann::json;

const char* kFabric = "000910000060690e0001";
const char* kProxy = "000210000060690e0001";
const char* kSecond = "000210000060690e0002";
const char* kThird = "000210000060690e0003";
const char* kCapabilities = "002010000060690e0001";
const char* kDefinedSet = "003010000060690e0001";
const char* kProxyWwn = "10:00:00:60:69:0e:00:01";
const char* kSecondWwn = "10:00:00:60:69:0e:00:02";
// The group named by its first member, the proxy.
const char* kProxyGroup = "002310000060690e0001";

json document() {
    return json::parse(R"json({"fabrics": [
      {"name": "secure", "users": [{"name": "admin", "password": "password"}],
       "switches": [
         {"wwn": "10:00:00:60:69:0e:00:01", "firmware": "v5.2.0", "address": "@0",
          "info": {"a4": "v5.2.0"}},
         {"wwn": "10:00:00:60:69:0e:00:02", "firmware": "v5.2.0", "info": {"a4": "v5.2.0"}},
         {"wwn": "10:00:00:60:69:0e:00:03", "firmware": "v5.2.0", "info": {"a4": "v5.2.0"}}],
       "security": {"secureMode": 1,
                    "defined": [["SCC_POLICY", "10:00:00:60:69:0e:00:01"]],
                    "active": []}}]})json");
}

std::string text(const char* field) {
    return std::string(field, strnlen(field, 48));
}

std::vector<std::string> oids(const OID_t* list) {
    std::vector<std::string> out;
    for (; list != nullptr && (*list)[0] != '\0'; ++list) {
        out.push_back(text(*list));
    }
    return out;
}

// A list of 48-character entries ended by an empty one.
std::vector<OID_t> entryList(const std::vector<std::string>& entries) {
    std::vector<OID_t> list(entries.size() + 1);
    std::memset(list.data(), 0, sizeof(OID_t) * list.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::memcpy(list[i], entries[i].data(), std::min<std::size_t>(entries[i].size(), 48));
    }
    return list;
}

// The identifier of the switch of world wide name 10:00:00:60:69:0f:hi:lo.
std::string extraSwitch(unsigned index) {
    char oid[21];
    std::snprintf(oid, sizeof oid, "000210000060690f%04x", index);
    return oid;
}

class SwitchGroupPolicyEdits : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
        sim_ = new SwitchSimulator(document());
        FabAPI_ShutdownFabricAPI();
        ASSERT_NO_FATAL_FAILURE(openFabricSessions(*sim_, {0}, {kFabric}, {0, 500, 501}));
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    void SetUp() override {
        sim_->clearFaults();
        for (const char* oid : {kFabric, kCapabilities, kDefinedSet}) {
            void* record = nullptr;
            ASSERT_EQ(0, GetSingleObject(oid, &record)) << oid;
            falFreeObject(record);
        }
        sim_->resetCounters();
    }
    void TearDown() override { sim_->clearFaults(); }

    static SessionContext* handle() {
        void* context = nullptr;
        StoredObject* fabric = findObject(kFabric);
        EXPECT_TRUE(fabric != nullptr && fabric->getHandleAttr("HDL", context));
        return static_cast<SessionContext*>(context);
    }
    // Runs the creator of the record's type as CreateFabricObject does,
    // with the fabric's stored object as owner.
    static int create(unsigned short type, const void* record, std::string& createdOid) {
        ObjectCreator creator = objectCreatorFor(type);
        EXPECT_NE(nullptr, creator);
        if (creator == nullptr) {
            return 1;
        }
        OID_t out = {};
        const int status = creator(findObject(kFabric), handle(), record, out);
        createdOid = text(out);
        return status;
    }
    // Runs the deleter of the object's type as the deletion walk does.
    static int remove(unsigned short type, const std::string& oid) {
        const ObjectDeleter* deleter = objectDeleterFor(type);
        EXPECT_NE(nullptr, deleter);
        if (deleter == nullptr) {
            return 1;
        }
        LockGuard model(getObjectStoreMutex());
        StoredObject* object = findObject(oid);
        if (const int checked = deleter->check(object); checked != 0) {
            return checked;
        }
        return object == nullptr ? -17 : deleter->remove(object, handle());
    }
    static json switchSource(const char* wwn) {
        return sim_->request({{"op", "source"}, {"fabric", 0}, {"switch", wwn}}).at("source");
    }
    static json switchGroups() {
        return switchSource(kProxyWwn).value("switchGroups", json::array());
    }
    static std::uint64_t requests(int code) { return sim_->callCount(sim_->address(0), 40, code); }
    static std::uint64_t policyRequests(int type) {
        return sim_->callCount(sim_->address(0), 125, type);
    }

    static PhysSwitchGroupDefinition group(const std::string& name, int type, OID_t* members) {
        PhysSwitchGroupDefinition record{};
        record.ObjType = ObjectType::PhysicalSwitchGroup;
        std::memcpy(record.PhysGroupName, name.data(),
                    std::min(name.size(), sizeof record.PhysGroupName));
        record.PhysGroupType = type;
        record.setPhysGroupSwitch = members;
        return record;
    }

    // --- security policies ---
    static std::string policyOid(unsigned number) {
        int counter = 0;
        StoredObject* fabric = findObject(kFabric);
        EXPECT_TRUE(fabric != nullptr && fabric->getIntAttr("FabricCounter", counter));
        std::string out = "0031";
        char digit[3];
        for (unsigned value : {number, static_cast<unsigned>(counter)}) {
            for (int i = 0; i < 4; ++i) {
                std::snprintf(digit, sizeof digit, "%02x", (value >> (4 * i)) & 0xF);
                out += digit;
            }
        }
        return out;
    }
    static json definedPolicies() {
        return sim_->request({{"op", "source"}, {"fabric", 0}})
            .at("source")
            .at("security")
            .at("defined");
    }
    static std::string definedMembers(const std::string& name) {
        for (const auto& policy : definedPolicies()) {
            if (policy.at(0) == name) {
                return policy.at(1).get<std::string>();
            }
        }
        return "<none>";
    }
    static void setFlag(const char* name, unsigned short value) {
        LockGuard model(getObjectStoreMutex());
        findObject(kCapabilities)->setShortAttr(name, value);
    }
    static unsigned short flag(const char* name) {
        unsigned short value = 99;
        findObject(kCapabilities)->getShortAttr(name, value);
        return value;
    }
    // Opens the transaction on the switch and on the capabilities object,
    // as the transaction attribute does; a second opening is harmless.
    static void openTransaction() {
        mpsStartSecurityTransaction(handle());
        setFlag("SecurityTransactionActive", 1);
    }
    static SecurityPolicyRecord policy(const char* name, OID_t* members) {
        SecurityPolicyRecord record{};
        record.ObjType = ObjectType::DefinedPolicy;
        record.PolicyName = const_cast<char*>(name);
        record.MemberOIDs = members;
        return record;
    }

    static SwitchSimulator* sim_;
};

SwitchSimulator* SwitchGroupPolicyEdits::sim_ = nullptr;

TEST_F(SwitchGroupPolicyEdits, SwitchGroupIsCreatedWithItsMembersAndDeleted) {
    std::vector<OID_t> members = entryList({kProxy, kSecond});
    const PhysSwitchGroupDefinition record = group("core-group", 7, members.data());
    std::string oid;
    ASSERT_EQ(0, create(ObjectType::PhysicalSwitchGroup, &record, oid));
    EXPECT_EQ(kProxyGroup, oid);

    const json groups = switchGroups();
    ASSERT_EQ(1u, groups.size());
    EXPECT_EQ("core-group", groups[0].at("name"));
    EXPECT_EQ(7, groups[0].at("value1"));
    EXPECT_EQ(2, groups[0].at("value2"));
    EXPECT_EQ((json::array({kProxyWwn, kSecondWwn})), groups[0].at("members"));

    {
        LockGuard model(getObjectStoreMutex());
        StoredObject* stored = findObject(oid);
        ASSERT_NE(nullptr, stored);
        std::string name;
        EXPECT_TRUE(stored->getStringAttr("PhysGroupName", name));
        EXPECT_EQ("core-group", name);
        EXPECT_TRUE(stored->hasRelation("setParent", kProxy));
        EXPECT_TRUE(stored->hasRelation("setParent", kSecond));
        EXPECT_TRUE(findObject(kProxy)->hasRelation("setPhysSwitchGroup", oid));
        EXPECT_TRUE(findObject(kSecond)->hasRelation("setPhysSwitchGroup", oid));
        EXPECT_FALSE(findObject(kThird)->hasRelation("setPhysSwitchGroup", oid));
    }

    // The stored group reads back through the query export.
    void* raw = nullptr;
    ASSERT_EQ(0, GetSingleObject(oid.c_str(), &raw));
    auto* read = static_cast<PhysSwitchGroupRecord*>(raw);
    EXPECT_EQ(ObjectType::PhysicalSwitchGroup, read->ObjType);
    EXPECT_STREQ("core-group", read->PhysGroupName);
    EXPECT_EQ(7, read->PhysGroupType);
    EXPECT_EQ((std::vector<std::string>{kProxy, kSecond}), oids(read->setPhysGroupSwitch));
    falFreeObject(read);

    ASSERT_EQ(0, remove(ObjectType::PhysicalSwitchGroup, oid));
    EXPECT_TRUE(switchGroups().empty());
    EXPECT_EQ(nullptr, findObject(oid));
    EXPECT_FALSE(findObject(kProxy)->hasRelation("setPhysSwitchGroup", oid));
    EXPECT_FALSE(findObject(kSecond)->hasRelation("setPhysSwitchGroup", oid));
}

TEST_F(SwitchGroupPolicyEdits, SwitchGroupOfTheMostMembersAndNameOfTheFullField) {
    // 128 members, the proxy first; the others are stored switches.
    std::vector<std::string> entries = {kProxy};
    {
        LockGuard model(getObjectStoreMutex());
        for (unsigned i = 1; i < 128; ++i) {
            const std::string oid = extraSwitch(i);
            OID_t field = {};
            std::memcpy(field, oid.data(), oid.size());
            getOrCreateObject(ObjectType::Switch, WWNAddress(field));
            entries.push_back(oid);
        }
    }
    std::vector<OID_t> members = entryList(entries);
    const std::string name(32, 'g');
    const PhysSwitchGroupDefinition record = group(name, 1, members.data());
    std::string oid;
    ASSERT_EQ(0, create(ObjectType::PhysicalSwitchGroup, &record, oid));
    const json groups = switchGroups();
    ASSERT_EQ(1u, groups.size());
    EXPECT_EQ(name, groups[0].at("name"));
    EXPECT_EQ(128u, groups[0].at("members").size());
    EXPECT_EQ("10:00:00:60:69:0f:00:7f", groups[0].at("members").at(127));
    ASSERT_EQ(0, remove(ObjectType::PhysicalSwitchGroup, oid));
    EXPECT_TRUE(switchGroups().empty());
}

TEST_F(SwitchGroupPolicyEdits, SwitchGroupDefinitionsRefusedBeforeAnythingIsSent) {
    std::vector<std::string> tooMany = {kProxy};
    {
        LockGuard model(getObjectStoreMutex());
        for (unsigned i = 1; i <= 128; ++i) {
            const std::string oid = extraSwitch(i);
            OID_t field = {};
            std::memcpy(field, oid.data(), oid.size());
            getOrCreateObject(ObjectType::Switch, WWNAddress(field));
            tooMany.push_back(oid);
        }
    }
    std::vector<OID_t> good = entryList({kProxy, kSecond});
    std::vector<OID_t> notSwitch = entryList({kProxy, kFabric});
    std::vector<OID_t> unknown = entryList({kProxy, "000210000060690e0009"});
    std::vector<OID_t> overLong = entryList(tooMany);
    std::vector<OID_t> none = entryList({});
    PhysSwitchGroupDefinition noNul = group("", 1, good.data());
    std::memset(noNul.PhysGroupName, 'n', sizeof noNul.PhysGroupName);
    PhysSwitchGroupDefinition otherType = group("core", 1, good.data());
    otherType.ObjType = ObjectType::DefinedPolicy;
    const struct {
        const char* what;
        PhysSwitchGroupDefinition record;
    } cases[] = {
        {"member not a switch", group("core", 1, notSwitch.data())},
        {"member not stored", group("core", 1, unknown.data())},
        {"more than 128 members", group("core", 1, overLong.data())},
        {"name longer than the switch's field", group(std::string(33, 'n'), 1, good.data())},
        {"name without NUL in its field", noNul},
        {"empty name", group("", 1, good.data())},
        {"no member", group("core", 1, none.data())},
        {"no member list", group("core", 1, nullptr)},
        {"another type", otherType},
    };
    for (const auto& c : cases) {
        std::string oid = "untouched";
        EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, create(ObjectType::PhysicalSwitchGroup, &c.record, oid))
            << c.what;
    }
    std::string oid;
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, create(ObjectType::PhysicalSwitchGroup, nullptr, oid));
    const PhysSwitchGroupDefinition record = group("core", 1, good.data());
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, objectCreatorFor(ObjectType::PhysicalSwitchGroup)(
                                           findObject(kFabric), handle(), &record, nullptr));
    EXPECT_EQ(0u, requests(2050));
    EXPECT_EQ(nullptr, findObject(kProxyGroup));
}

TEST_F(SwitchGroupPolicyEdits, SwitchGroupFailuresOfTheSwitch) {
    std::vector<OID_t> members = entryList({kProxy, kSecond});
    const PhysSwitchGroupDefinition record = group("core", 1, members.data());
    std::string oid;
    // A refused definition is translated and stores nothing.
    sim_->injectFault({{"procedure", 40}, {"code", 2050}, {"kind", "status"}, {"status", -10051}});
    EXPECT_EQ(-52, create(ObjectType::PhysicalSwitchGroup, &record, oid));
    EXPECT_EQ(nullptr, findObject(kProxyGroup));
    sim_->clearFaults();

    ASSERT_EQ(0, create(ObjectType::PhysicalSwitchGroup, &record, oid));
    // A refused deletion gives -47 and leaves the store as it was.
    sim_->injectFault({{"procedure", 40}, {"code", 2051}, {"kind", "status"}, {"status", -10051}});
    EXPECT_EQ(-47, remove(ObjectType::PhysicalSwitchGroup, oid));
    ASSERT_NE(nullptr, findObject(oid));
    EXPECT_TRUE(findObject(kProxy)->hasRelation("setPhysSwitchGroup", oid));
    EXPECT_EQ(1u, switchGroups().size());
    sim_->clearFaults();
    ASSERT_EQ(0, remove(ObjectType::PhysicalSwitchGroup, oid));

    // A group without its name cannot be named to the switch.
    {
        LockGuard model(getObjectStoreMutex());
        OID_t field = {};
        std::memcpy(field, kThird, std::strlen(kThird));
        getOrCreateObject(ObjectType::PhysicalSwitchGroup, WWNAddress(field));
    }
    sim_->resetCounters();
    EXPECT_EQ(-48, remove(ObjectType::PhysicalSwitchGroup, "002310000060690e0003"));
    EXPECT_EQ(0u, requests(2051));
    EXPECT_TRUE(eraseObject("002310000060690e0003"));
}

TEST_F(SwitchGroupPolicyEdits, DefinedPoliciesAreCreatedByName) {
    openTransaction();
    const unsigned nextDcc = objectCounters().definedPolicySet.load() + 1;
    const struct {
        const char* name;
        std::vector<std::string> members;
        const char* sent;
        unsigned number;
    } cases[] = {
        {"FCS_POLICY", {kProxy, "*"}, "10:00:00:60:69:0e:00:01;*", 1},
        {"TELNET_POLICY", {"127.0.0.5"}, "127.0.0.5", 5},
        {"HTTP_POLICY", {}, "EMPTY", 6},
        {"DCC_POLICY_NEW", {kSecondWwn}, kSecondWwn, nextDcc},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        setFlag("SecurityTransactionDirty", 0);
        setFlag("CommitSecurityTransaction", 1);
        std::vector<OID_t> members = entryList(c.members);
        const SecurityPolicyRecord record = policy(c.name, members.data());
        std::string oid;
        ASSERT_EQ(0, create(ObjectType::DefinedPolicy, &record, oid));
        EXPECT_EQ(policyOid(c.number), oid);
        EXPECT_EQ(c.sent, definedMembers(c.name));
        EXPECT_EQ(1, flag("SecurityTransactionDirty"));
        EXPECT_EQ(0, flag("CommitSecurityTransaction"));
        LockGuard model(getObjectStoreMutex());
        StoredObject* stored = findObject(oid);
        ASSERT_NE(nullptr, stored);
        std::string name;
        EXPECT_TRUE(stored->getStringAttr("PolicyName", name));
        EXPECT_EQ(c.name, name);
        EXPECT_TRUE(stored->hasRelation("setParent", kDefinedSet));
        EXPECT_TRUE(findObject(kDefinedSet)->hasRelation("setPolicySetOIDSet", oid));
    }
    // The new policy reads back through the query export.
    void* raw = nullptr;
    ASSERT_EQ(0, GetSingleObject(policyOid(5).c_str(), &raw));
    auto* read = static_cast<SecurityPolicyRecord*>(raw);
    EXPECT_STREQ("TELNET_POLICY", read->PolicyName);
    EXPECT_EQ((std::vector<std::string>{"127.0.0.5"}), oids(read->MemberOIDs));
    falFreeObject(read);

    // Deleted on the switch; the transaction is marked, the object stays.
    const std::string telnet = policyOid(5);
    setFlag("SecurityTransactionDirty", 0);
    setFlag("CommitSecurityTransaction", 1);
    ASSERT_EQ(0, remove(ObjectType::DefinedPolicy, telnet));
    EXPECT_EQ("<none>", definedMembers("TELNET_POLICY"));
    EXPECT_EQ(1, flag("SecurityTransactionActive"));
    EXPECT_EQ(1, flag("SecurityTransactionDirty"));
    EXPECT_EQ(0, flag("CommitSecurityTransaction"));
    EXPECT_NE(nullptr, findObject(telnet));
    for (const char* name : {"FCS_POLICY", "HTTP_POLICY", "DCC_POLICY_NEW"}) {
        ASSERT_EQ(0, mpsDeletePolicy(handle(), name)) << name;
    }
}

TEST_F(SwitchGroupPolicyEdits, DefinedPolicyDefinitionsRefused) {
    openTransaction();
    std::vector<OID_t> members = entryList({"*"});
    std::vector<OID_t> badMember = entryList({"10:00:00:60:69:0e:00:0x"});
    const struct {
        const char* what;
        SecurityPolicyRecord record;
        int expected;
    } cases[] = {
        {"unknown name", policy("ODD_POLICY", members.data()), -3},
        {"short DCC prefix", policy("DCC_POLIC", members.data()), -3},
        {"lower case", policy("fcs_policy", members.data()), -3},
        {"separator in a DCC name", policy("DCC_POLICY;X", members.data()), -3},
        {"bar in a DCC name", policy("DCC_POLICY|X", members.data()), -3},
        {"empty name", policy("", members.data()), -3},
        {"member that cannot be sent", policy("FCS_POLICY", badMember.data()), -3},
        {"no member list", policy("FCS_POLICY", nullptr), -3},
        {"no name", policy(nullptr, members.data()), -13},
        {"another type",
         [&] {
             SecurityPolicyRecord r = policy("FCS_POLICY", members.data());
             r.ObjType = ObjectType::PhysicalSwitchGroup;
             return r;
         }(),
         -13},
    };
    for (const auto& c : cases) {
        std::string oid;
        EXPECT_EQ(c.expected, create(ObjectType::DefinedPolicy, &c.record, oid)) << c.what;
    }
    std::string oid;
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, create(ObjectType::DefinedPolicy, nullptr, oid));
    EXPECT_EQ(-13, objectCreatorFor(ObjectType::DefinedPolicy)(nullptr, handle(), &cases[0].record,
                                                               std::vector<char>(48).data()));
    EXPECT_EQ(0u, policyRequests(272));

    // Without a security transaction nothing is sent or stored.
    setFlag("SecurityTransactionActive", 0);
    const SecurityPolicyRecord ms = policy("MS_POLICY", members.data());
    EXPECT_EQ(-40, create(ObjectType::DefinedPolicy, &ms, oid));
    EXPECT_EQ(0u, policyRequests(272));
    EXPECT_EQ(nullptr, findObject(policyOid(9)));
}

TEST_F(SwitchGroupPolicyEdits, DefinedPolicyFailuresOfTheSwitchAreTranslated) {
    openTransaction();
    std::vector<OID_t> members = entryList({"*"});
    const SecurityPolicyRecord record = policy("API_POLICY", members.data());
    std::string oid;
    setFlag("SecurityTransactionDirty", 0);
    sim_->injectFault({{"procedure", 125}, {"code", 272}, {"kind", "status"}, {"status", -10051}});
    EXPECT_EQ(-52, create(ObjectType::DefinedPolicy, &record, oid));
    EXPECT_EQ(nullptr, findObject(policyOid(7)));
    EXPECT_EQ(0, flag("SecurityTransactionDirty"));
    sim_->clearFaults();

    ASSERT_EQ(0, create(ObjectType::DefinedPolicy, &record, oid));
    sim_->injectFault({{"procedure", 125}, {"code", 273}, {"kind", "status"}, {"status", -10051}});
    EXPECT_EQ(-52, remove(ObjectType::DefinedPolicy, oid));
    EXPECT_EQ("*", definedMembers("API_POLICY"));

    // deleteSecurityObjects translates the switch's refusal as well.
    OID_t list[2] = {};
    std::memcpy(list[0], oid.data(), oid.size());
    EXPECT_EQ(-52, deleteSecurityObjects(list));
    sim_->clearFaults();

    // Deletion needs the open transaction, checked before the handle.
    setFlag("SecurityTransactionActive", 0);
    EXPECT_EQ(-40, remove(ObjectType::DefinedPolicy, oid));
    openTransaction();
    ASSERT_EQ(0, remove(ObjectType::DefinedPolicy, oid));
    EXPECT_EQ("<none>", definedMembers("API_POLICY"));

    // A policy object outside any policy set has no security root.
    {
        LockGuard model(getObjectStoreMutex());
        const unsigned char key[8] = {9, 9, 9, 9, 9, 9, 9, 9};
        getOrCreateObject(ObjectType::DefinedPolicy, WWNAddress(key));
    }
    EXPECT_EQ(-17, remove(ObjectType::DefinedPolicy, "00310909090909090909"));
}

} // namespace

namespace {

// The same paths reached through the exports.
TEST_F(SwitchGroupPolicyEdits, ExportsCreateAndDeleteGroupsAndPolicies) {
    std::vector<OID_t> members = entryList({kProxy, kThird});
    const PhysSwitchGroupDefinition record = group("edge-group", 4, members.data());
    OID_t created = {};
    ASSERT_EQ(0, CreateFabricObject(kFabric, &record, created));
    EXPECT_EQ(kProxyGroup, text(created));
    ASSERT_EQ(1u, switchGroups().size());
    EXPECT_EQ("edge-group", switchGroups()[0].at("name"));
    std::vector<OID_t> doomed = entryList({kProxyGroup});
    ASSERT_EQ(0, DeleteObjects(doomed[0]));
    EXPECT_TRUE(switchGroups().empty());
    EXPECT_EQ(nullptr, findObject(kProxyGroup));

    openTransaction();
    std::vector<OID_t> none = entryList({});
    const SecurityPolicyRecord http = policy("HTTP_POLICY", none.data());
    std::memset(created, 0, sizeof created);
    ASSERT_EQ(0, CreateFabricObject(kFabric, &http, created));
    EXPECT_EQ(policyOid(6), text(created));
    EXPECT_EQ("EMPTY", definedMembers("HTTP_POLICY"));
    std::vector<OID_t> policies = entryList({policyOid(6)});
    ASSERT_EQ(0, DeleteObjects(policies[0]));
    EXPECT_EQ("<none>", definedMembers("HTTP_POLICY"));
    EXPECT_NE(nullptr, findObject(policyOid(6)));
}

} // namespace
