// Switch, port, module, node, switch group and security attributes changed
// through AddAttributes and AddObjectAttributes on a simulated fabric in
// secure mode: each change is read back from the simulated switch's control
// channel and, where the object records carry it, through GetSingleObject;
// refusals are checked to send nothing and to change nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "objects/ChildClasses.h"
#include "editing/SwitchAttributeChanges.h"
#include "editing/ZoneMemberAttributeChanges.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/records.h"
#include "tests/support/FabricSessions.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/zoning/exports/ZoningExportsFabric.h"

namespace {

using nlohmann::json;

const char* kFabric = "000910000060690a0001";
const char* kSwitch = "000210000060690a0001";
const char* kP0 = "000120000060690a0001";
const char* kP1 = "000120010060690a0001";
const char* kDevicePort = "0001210000e08b0a0001";
const char* kNode = "0004200000e08b0a0001";
const char* kStats0 = "001220000060690a0001";
const char* kErrors0 = "001320000060690a0001";
const char* kModule1 = "001710000060690a000100000001";
const char* kGroup = "002310000060690a0001";
const char* kCapabilities = "002010000060690a0001";
const char* kDefinedSet = "003010000060690a0001";
const char* kSecurityStats = "003210000060690a0001";
const char* kSwitchWwn = "10:00:00:60:69:0a:00:01";
const char* kDefinedDb = "001810000060690a0001";
const char* kPreparedMember = "0016aa00000000000001";
const char* kZonedMember = "0016aa00000000000002";
const char* kP0Name = "20:00:00:60:69:0a:00:01";

namespace code {
constexpr unsigned PortState = 0x40108;
constexpr unsigned PortSpeed = 0x40111;
constexpr unsigned PortLinkDistance = 0x40112;
constexpr unsigned TxLinkRouteCost = 0x40113;
constexpr unsigned TrunkDisable = 0x4011C;
constexpr unsigned PortStatsReset = 0x40E41;
constexpr unsigned PortErrorsReset = 0x40E71;
constexpr unsigned PortModuleState = 0x40E24;
constexpr unsigned PortSymbolicName = 0x110118;
constexpr unsigned SwitchState = 0x40212;
constexpr unsigned SwitchTime = 0x50213;
constexpr unsigned SwitchTimeZone = 0x50214;
constexpr unsigned SwitchName = 0x11020B;
constexpr unsigned LoginPassword = 0x7020F;
constexpr unsigned InBandAddr = 0xF0202;
constexpr unsigned OutBandAddr = 0xF0203;
constexpr unsigned InBandNetMask = 0xF0216;
constexpr unsigned OutBandNetMask = 0xF0217;
constexpr unsigned IPGateway = 0xF0218;
constexpr unsigned EmbSwBaseIPAddr = 0xF0229;
constexpr unsigned EmbSwBaseDomainId = 0x4022A;
constexpr unsigned EmbSwEportMode = 0x6022B;
constexpr unsigned EmbSwBoxSerialNumber = 0x7022C;
constexpr unsigned ThrexEventsEnable = 0x40224;
constexpr unsigned EnableEventNotifications = 0x40905;
constexpr unsigned NodeSymbolicName = 0x80422;
constexpr unsigned PhysGroupName = 0x7022F;
constexpr unsigned ApplyBoundaryChanges = 0x40EA0;
constexpr unsigned SecurityTransactionActive = 0xA0E93;
constexpr unsigned CommitSecurityTransaction = 0xA0E94;
constexpr unsigned ActivatePolicySet = 0xB0E98;
constexpr unsigned SecurityStatsReset = 0x40E9D;
constexpr unsigned FCSAdminPassword = 0x70E96;
constexpr unsigned NonFCSAdminPassword = 0x70E97;
constexpr unsigned ZoneMemberTarget = 0x70B31;
constexpr unsigned ZoneMemberModifier = 0x70B32;
constexpr unsigned ZMType = 0x40B33;
} // namespace code

json document() {
    json doc = json::parse(R"json({"fabrics": [{"name": "edits",
      "users": [{"name": "admin", "password": "password"}],
      "security": {"secureMode": 1, "counter": 17,
                   "defined": [["DCC_POLICY_A", "10:00:00:60:69:0a:00:01(1,2)"]],
                   "active": [["PRIMARY", "10:00:00:60:69:0a:00:01"]]},
      "switches": [
        {"wwn": "10:00:00:60:69:0a:00:01", "firmware": "v5.2.0", "address": "@0",
         "info": {"a4": "v5.2.0", "m1": 2, "m4": 0, "m5": 1, "n5": 1, "a5": "edge-1"},
         "securityStats": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12],
         "switchGroups": [{"name": "group-a", "value1": 4, "value2": 1,
                           "members": ["10:00:00:60:69:0a:00:01"]}],
         "portModuleRanges": [[0, 1], [2, 3]],
         "ports": [
           {"wwn": "20:00:00:60:69:0a:00:01",
            "info": {"u1": 0, "u3": 1, "u4": 1, "u5": 4, "u6": 2, "u7": 2, "u8": 5, "u9": 500,
                     "v2": 65792},
            "stats": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                      21, 22, 23, 24],
            "errors": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                       21, 22]},
           {"wwn": "20:01:00:60:69:0a:00:01", "info": {"u1": 1, "u3": 1, "u6": 3, "v2": 66048}},
           {"wwn": "20:02:00:60:69:0a:00:01", "info": {"u1": 2, "u3": 2, "u6": 4}},
           {"wwn": "20:03:00:60:69:0a:00:01", "info": {"u1": 3, "u6": 1}}],
         "portModules": [
           {"values": [0, 0, 0, 0, 1], "texts": ["PN-0", "SN-0"], "ports": [0, 1]},
           {"values": [1, 5, 6, 2, 3], "texts": [], "ports": [2, 3]}],
         "fcs": {"ports": [
           {"wwn": "20:00:00:60:69:0a:00:01", "type": 129,
            "attached": [{"wwn": "21:00:00:e0:8b:0a:00:01", "type": 1}]},
           {"wwn": "20:01:00:60:69:0a:00:01", "type": 130, "attached": []},
           {"wwn": "20:02:00:60:69:0a:00:01", "type": 132, "attached": []},
           {"wwn": "20:03:00:60:69:0a:00:01", "type": 0}]}},
        {"wwn": "10:00:00:60:69:0a:00:02", "firmware": "v5.2.0", "info": {"a4": "v5.2.0"},
         "ports": [{"wwn": "20:00:00:60:69:0a:00:02"}]}],
      "nameServer": [
        {"portId": "010100", "portType": 1, "portName": "21:00:00:e0:8b:0a:00:01",
         "nodeName": "20:00:00:e0:8b:0a:00:01", "switchPort": "20:00:00:60:69:0a:00:01",
         "symbolicPortName": "hba-port", "symbolicNodeName": "host-a", "classOfService": 8,
         "fc4Types": [8]}]}]})json");
    std::ifstream pem(ORVANE_PKI_DIR "/switch-01.pem");
    doc["fabrics"][0]["switches"][0]["certificate"] =
        std::string(std::istreambuf_iterator<char>(pem), {});
    return doc;
}

void* number(std::uintptr_t value) {
    return reinterpret_cast<void*>(value);
}

// A list of identifiers as AddAttributes takes it.
std::vector<char> oidList(const std::vector<const char*>& oids) {
    std::vector<char> list((oids.size() + 1) * sizeof(OID_t), '\0');
    for (std::size_t i = 0; i < oids.size(); ++i) {
        std::strncpy(&list[i * sizeof(OID_t)], oids[i], sizeof(OID_t) - 1);
    }
    return list;
}

class AttributeChanges : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
        sim_ = new SwitchSimulator(document());
        FabAPI_ShutdownFabricAPI();
        ASSERT_NO_FATAL_FAILURE(openFabricSessions(*sim_, {0}, {kFabric}, {0, 500, 501}));
        // Every object read once, as an application does before it edits.
        void** records = nullptr;
        ASSERT_EQ(0, GetAllObjects(&records));
        for (void** record = records; *record != nullptr; ++record) {
            falFreeObject(*record);
        }
        falFreeObject(records);
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }

    template <class Record> static Record* read(const char* oid) {
        void* record = nullptr;
        EXPECT_EQ(0, GetSingleObject(oid, &record)) << oid;
        return static_cast<Record*>(record);
    }
    static json source() {
        return sim_->request({{"op", "source"}, {"fabric", 0}})["source"];
    }
    static json switchSource() {
        return sim_->request({{"op", "source"}, {"fabric", 0}, {"switch", kSwitchWwn}})["source"];
    }
    static json portInfo(std::size_t port) { return switchSource()["ports"][port]["info"]; }
    static json security() { return source()["security"]; }
    static std::uint64_t calls(std::uint32_t procedure, std::int32_t request) {
        return sim_->callCount(sim_->address(0), procedure, request);
    }
    static int set(const char* oid, unsigned attribute, void* value) {
        return AddObjectAttributes(oid, attribute, value);
    }
    static int setShort(const char* oid, unsigned attribute, unsigned short value) {
        return AddObjectAttributes(oid, attribute, &value);
    }
    static unsigned short storedShort(const char* oid, const char* name) {
        LockGuard model(getObjectStoreMutex());
        unsigned short value = 0xFFFF;
        if (StoredObject* object = findObjectUnlocked(oid)) {
            object->getShortAttr(name, value);
        }
        return value;
    }
    static int storedInt(const char* oid, const char* name) {
        LockGuard model(getObjectStoreMutex());
        int value = -12345;
        if (StoredObject* object = findObjectUnlocked(oid)) {
            object->getIntAttr(name, value);
        }
        return value;
    }
    static void storeShort(const char* oid, const char* name, unsigned short value) {
        LockGuard model(getObjectStoreMutex());
        if (StoredObject* object = findObjectUnlocked(oid)) {
            object->setShortAttr(name, value);
        }
    }
    // The security transaction closed on both sides.
    static void closeSecurityTransaction() {
        if (security().value("transaction", false)) {
            setShort(kCapabilities, code::SecurityTransactionActive, 0);
        }
        storeShort(kCapabilities, "SecurityTransactionActive", 0);
        storeShort(kCapabilities, "SecurityTransactionDirty", 0);
    }

    static SwitchSimulator* sim_;
};

SwitchSimulator* AttributeChanges::sim_ = nullptr;

// --- Switch attributes ------------------------------------------------------------

TEST_F(AttributeChanges, SwitchFieldsReachTheSwitch) {
    struct Case {
        unsigned attribute;
        void* value;
        const char* field;
        json expected;
    } cases[] = {
        {code::SwitchTime, number(1700000000), "n8", 1700000000},
        {code::SwitchTimeZone, number(7), "n9", 7},
        {code::SwitchName, const_cast<char*>("core-7"), "a5", "core-7"},
        {code::InBandAddr, const_cast<char*>("127.1.2.3"), "t1", "127.1.2.3"},
        {code::OutBandAddr, const_cast<char*>("127.168.100.200"), "t2", "127.168.100.200"},
        {code::InBandNetMask, const_cast<char*>("255.255.0.0"), "t3", "255.255.0.0"},
        {code::OutBandNetMask, const_cast<char*>("255.255.255.0"), "t4", "255.255.255.0"},
        {code::IPGateway, const_cast<char*>("none"), "t5", "none"},
        {code::EmbSwBaseIPAddr, const_cast<char*>("0.0.0.0"), "e3", "0.0.0.0"},
        {code::EmbSwBaseDomainId, number(12), "e4", 12},
        {code::EmbSwEportMode, number(1), "e5", 1},
        {code::EmbSwBoxSerialNumber, const_cast<char*>("BOX-0042"), "e6", "BOX-0042"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(0, set(kSwitch, c.attribute, c.value)) << std::hex << c.attribute;
        EXPECT_EQ(c.expected, switchSource()["info"][c.field]) << std::hex << c.attribute;
    }
    EXPECT_EQ(1700000000, storedInt(kSwitch, "SwitchTime"));
    EXPECT_EQ(7, storedInt(kSwitch, "SwitchTimeZone"));
    auto* sw = read<SwitchRecord>(kSwitch);
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(1700000000u, static_cast<unsigned>(sw->SwitchTime));
    falFreeObject(sw);
}

TEST_F(AttributeChanges, SwitchStateCodesGoOutAsTheSwitchNumbers) {
    const struct {
        unsigned value;
        unsigned sent;
    } cases[] = {{0x231, 2}, {2, 2}, {0x233, 4}, {0x230, 1}};
    for (const auto& c : cases) {
        ASSERT_EQ(0, set(kSwitch, code::SwitchState, number(c.value))) << c.value;
        EXPECT_EQ(c.sent, switchSource()["info"]["n5"].get<unsigned>()) << c.value;
        EXPECT_EQ(c.sent, storedShort(kSwitch, "SwitchState")) << c.value;
    }
    ASSERT_EQ(0, set(kSwitch, code::SwitchState, number(0x232)));
    auto* sw = read<SwitchRecord>(kSwitch);
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(0x232, sw->SwitchState);
    falFreeObject(sw);
}

TEST_F(AttributeChanges, LoginPasswordGoesToTheAdministratorAccount) {
    ASSERT_EQ(0, set(kSwitch, code::LoginPassword, const_cast<char*>("n3w-Secret")));
    const json info = switchSource()["info"];
    EXPECT_EQ("admin", info["b1"]);
    EXPECT_EQ("n3w-Secret", info["b2"]);
    const std::uint64_t sent = calls(40, 1286);
    // 32 characters are the longest password an account takes.
    const std::string longest(32, 'p');
    EXPECT_EQ(0, set(kSwitch, code::LoginPassword, const_cast<char*>(longest.c_str())));
    EXPECT_EQ(sent + 1, calls(40, 1286));
    const std::string tooLong(33, 'p');
    EXPECT_EQ(-84, set(kSwitch, code::LoginPassword, const_cast<char*>(tooLong.c_str())));
    EXPECT_EQ(-3, set(kSwitch, code::LoginPassword, nullptr));
    EXPECT_EQ(sent + 1, calls(40, 1286)) << "refused passwords are not sent";
}

TEST_F(AttributeChanges, IpAddressTexts) {
    const struct {
        const char* text;
        bool valid;
    } cases[] = {
        {"127.2.3.4", true},        {"none", true},           {"0.0.0.0", true},
        {"255.255.255.255", true},  {"127.02.3.4", false},    {"127.2.3", false},
        {"127.2.3.4x", false},      {"127.2.3.4.5", false},
        {"256.1.1.1", false}, // never contacted: a text that is only checked
        {"127..2.3", false},        {"127.2..3.4", false},    {".127.2.3.4", false},
        {"127.2.3.4.", false},      {"127.2.3.", false},      {"", false},
        {"127.2.3.-4", false},      {" 127.2.3.4", false},    {"127.2.3.4444", false},
        {"1127.2.3.4", false},      {"127.200.100.2000", false}, {"none ", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.valid, isValidIpAddressText(c.text)) << '"' << c.text << '"';
    }
    EXPECT_FALSE(isValidIpAddressText(nullptr));
    EXPECT_FALSE(isValidIpAddressText("1234567890123456")) << "16 characters";

    // Refused texts end the call before any entry: nothing is sent.
    const std::uint64_t sent = calls(40, 1286) + calls(40, 1288);
    EXPECT_EQ(-31, set(kSwitch, code::InBandAddr, const_cast<char*>("127.02.3.4")));
    EXPECT_EQ(-31, set(kSwitch, code::EmbSwBaseIPAddr, const_cast<char*>("127.2.3.4.5")));
    EXPECT_EQ(-3, set(kSwitch, code::IPGateway, nullptr));
    const std::vector<char> list = oidList({kP0, kSwitch});
    EXPECT_EQ(-31, AddAttributes(list.data(), code::OutBandAddr, const_cast<char*>("127.2.3")));
    EXPECT_EQ(sent, calls(40, 1286) + calls(40, 1288));
}

TEST_F(AttributeChanges, SwitchRefusalsAndWrongTargets) {
    // A port is no switch: recorded, and the next entry is still visited.
    const std::vector<char> list = oidList({kP0, kSwitch});
    EXPECT_EQ(-17, AddAttributes(list.data(), code::SwitchTime, number(1234)));
    EXPECT_EQ(1234, switchSource()["info"]["n8"]);
    EXPECT_EQ(-3, set(kSwitch, code::SwitchName, nullptr));
    EXPECT_EQ(-3, set(kSwitch, code::EmbSwBoxSerialNumber, nullptr));

    ASSERT_EQ(0, set(kSwitch, code::SwitchState, number(3)));

    // The switch refuses every change.
    sim_->injectFault({{"address", sim_->address(0)}, {"procedure", 40}, {"code", 1286},
                       {"kind", "status"}, {"status", -1}});
    const struct {
        unsigned attribute;
        void* value;
        int expected;
    } cases[] = {
        {code::SwitchState, number(4), -6},
        {code::SwitchTime, number(99), -3},
        {code::SwitchName, const_cast<char*>("x"), -3},
        {code::LoginPassword, const_cast<char*>("pw"), -3},
        {code::InBandAddr, const_cast<char*>("127.1.1.1"), -3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, set(kSwitch, c.attribute, c.value)) << std::hex << c.attribute;
    }
    sim_->clearFaults();
    EXPECT_EQ(1234, switchSource()["info"]["n8"]);
    EXPECT_EQ(1234, storedInt(kSwitch, "SwitchTime")) << "a refused change is not stored";
    EXPECT_EQ(3, storedShort(kSwitch, "SwitchState")) << "the last accepted state";
}

// --- Port and module attributes ---------------------------------------------------------

TEST_F(AttributeChanges, PortFieldsReachTheSwitch) {
    ASSERT_EQ(0, set(kP1, code::PortState, number(2)));
    EXPECT_EQ(2, portInfo(1)["u3"]);
    EXPECT_EQ(2, storedShort(kP1, "PortState"));
    ASSERT_EQ(0, set(kP1, code::PortSpeed, number(4)));
    EXPECT_EQ(4, portInfo(1)["u7"]);
    EXPECT_EQ(4, storedShort(kP1, "PortSpeed"));
    ASSERT_EQ(0, set(kP1, code::TxLinkRouteCost, number(1000)));
    EXPECT_EQ(1000, portInfo(1)["u9"]);
    EXPECT_EQ(1000, storedInt(kP1, "TxLinkRouteCost"));
    ASSERT_EQ(0, set(kP1, code::PortLinkDistance, number(3)));
    EXPECT_EQ(3, portInfo(1)["u8"]);
    ASSERT_EQ(0, set(kP1, code::TrunkDisable, number(5)));
    EXPECT_EQ(0xFFFFFFFFu, portInfo(1)["v3"].get<std::uint32_t>()) << "non-zero: every bit";
    ASSERT_EQ(0, set(kP1, code::TrunkDisable, number(0)));
    EXPECT_EQ(0u, portInfo(1)["v3"].get<std::uint32_t>());

    auto* port = read<PortRecord>(kP1);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(4, port->PortSpeed);
    EXPECT_EQ(1000, port->TxLinkRouteCost);
    EXPECT_EQ(3, port->PortLinkDistance);
    falFreeObject(port);
}

TEST_F(AttributeChanges, UnchangedSpeedOrCostSendsNothing) {
    const std::uint64_t sets = calls(40, 1542);
    EXPECT_EQ(0, set(kP0, code::PortSpeed, number(2)));
    EXPECT_EQ(0, set(kP0, code::TxLinkRouteCost, number(500)));
    EXPECT_EQ(sets, calls(40, 1542));
    EXPECT_EQ(0xFFFF, storedShort(kP0, "PortSpeed")) << "nothing stored";
    EXPECT_EQ(-12345, storedInt(kP0, "TxLinkRouteCost"));
}

TEST_F(AttributeChanges, PortRefusalsAndWrongTargets) {
    const struct {
        const char* oid;
        unsigned attribute;
        int expected;
    } wrongTargets[] = {
        {kSwitch, code::PortState, -20},       {kSwitch, code::PortSpeed, -20},
        {kSwitch, code::PortLinkDistance, -20}, {kSwitch, code::TrunkDisable, -20},
        {kP0, code::PortStatsReset, -20},      {kP0, code::PortErrorsReset, -20},
        {kP0, code::PortModuleState, -20},     {kNode, code::PortSymbolicName, -7},
    };
    for (const auto& c : wrongTargets) {
        EXPECT_EQ(c.expected, set(c.oid, c.attribute, number(1))) << c.oid << std::hex << " "
                                                                   << c.attribute;
    }
    // An ending failure leaves the entries behind it alone.
    const std::uint64_t sets = calls(40, 1542);
    const std::vector<char> list = oidList({kSwitch, kP1});
    EXPECT_EQ(-20, AddAttributes(list.data(), code::PortState, number(1)));
    EXPECT_EQ(sets, calls(40, 1542));

    sim_->injectFault({{"address", sim_->address(0)}, {"procedure", 40}, {"code", 1542},
                       {"kind", "status"}, {"status", -1}});
    sim_->injectFault({{"address", sim_->address(0)}, {"procedure", 40}, {"code", 1554},
                       {"kind", "status"}, {"status", -1}});
    EXPECT_EQ(-17, set(kP0, code::PortState, number(2)));
    EXPECT_EQ(-17, set(kP0, code::PortSpeed, number(8)));
    EXPECT_EQ(-17, set(kP0, code::TxLinkRouteCost, number(10)));
    EXPECT_EQ(-36, set(kP0, code::PortLinkDistance, number(2)));
    EXPECT_NE(0, set(kP0, code::TrunkDisable, number(1)));
    sim_->clearFaults();
    EXPECT_EQ(1, portInfo(0)["u3"]);
    EXPECT_EQ(2, portInfo(0)["u7"]);
    EXPECT_EQ(0xFFFF, storedShort(kP0, "PortState")) << "a refused change is not stored";

    // Without the port's information nothing is sent.
    const std::uint64_t before = calls(40, 1542);
    sim_->injectFault({{"address", sim_->address(0)}, {"procedure", 40}, {"code", 1541},
                       {"kind", "status"}, {"status", -1}});
    EXPECT_EQ(-7, set(kP0, code::PortSpeed, number(8)));
    EXPECT_EQ(-7, set(kP0, code::TxLinkRouteCost, number(10)));
    sim_->clearFaults();
    EXPECT_EQ(before, calls(40, 1542));
}

TEST_F(AttributeChanges, PortCountersAreResetOnTheSwitch) {
    ASSERT_EQ(0, set(kStats0, code::PortStatsReset, nullptr));
    EXPECT_EQ(json::array(), switchSource()["ports"][0]["stats"]);
    ASSERT_EQ(0, set(kErrors0, code::PortErrorsReset, nullptr));
    EXPECT_EQ(json::array(), switchSource()["ports"][0]["errors"]);
}

TEST_F(AttributeChanges, PortModuleStateNamesTheModuleByIndex) {
    ASSERT_EQ(0, set(kModule1, code::PortModuleState, number(3)));
    EXPECT_EQ(json::parse("[[1, 3]]"), switchSource()["portModuleStates"]);
    sim_->injectFault({{"address", sim_->address(0)}, {"procedure", 40}, {"code", 1552},
                       {"kind", "status"}, {"status", -1}});
    EXPECT_NE(0, set(kModule1, code::PortModuleState, number(4)));
    sim_->clearFaults();
    EXPECT_EQ(json::parse("[[1, 3]]"), switchSource()["portModuleStates"]);
}

// --- Symbolic names and the other objects ------------------------------------------------

TEST_F(AttributeChanges, SymbolicNamesAreRegisteredWithTheNameServer) {
    ASSERT_EQ(0, set(kDevicePort, code::PortSymbolicName, const_cast<char*>("hba-renamed")));
    EXPECT_EQ("hba-renamed", source()["nameServer"][0]["symbolicPortName"]);
    EXPECT_EQ(0x010100, storedInt(kDevicePort, "PortId"));
    ASSERT_EQ(0, set(kNode, code::NodeSymbolicName, const_cast<char*>("host-renamed")));
    EXPECT_EQ("host-renamed", source()["nameServer"][0]["symbolicNodeName"]);

    // A switch port has an identifier but no symbolic name.
    EXPECT_EQ(-7, set(kP1, code::PortSymbolicName, const_cast<char*>("x")));
    EXPECT_EQ(66048, storedInt(kP1, "PortId"));

    const std::string tooLong(256, 'n');
    const struct {
        const char* oid;
        unsigned attribute;
        const char* value;
        int expected;
    } cases[] = {
        {kDevicePort, code::PortSymbolicName, nullptr, -3},
        {kDevicePort, code::PortSymbolicName, tooLong.c_str(), -7},
        {kNode, code::NodeSymbolicName, nullptr, -3},
        {kNode, code::NodeSymbolicName, "", -11},
        {kDevicePort, code::NodeSymbolicName, "x", -17},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, set(c.oid, c.attribute, const_cast<char*>(c.value)))
            << c.oid << std::hex << " " << c.attribute;
    }
    EXPECT_EQ("hba-renamed", source()["nameServer"][0]["symbolicPortName"]);
    EXPECT_EQ("host-renamed", source()["nameServer"][0]["symbolicNodeName"]);
}

TEST_F(AttributeChanges, SwitchGroupIsRenamed) {
    ASSERT_EQ(0, set(kGroup, code::PhysGroupName, const_cast<char*>("group-b")));
    EXPECT_EQ("group-b", switchSource()["switchGroups"][0]["name"]);
    auto* group = read<PhysSwitchGroupRecord>(kGroup);
    ASSERT_NE(group, nullptr);
    EXPECT_STREQ("group-b", group->PhysGroupName);
    falFreeObject(group);
    EXPECT_EQ(-3, set(kGroup, code::PhysGroupName, nullptr));
    EXPECT_EQ(-17, set(kSwitch, code::PhysGroupName, const_cast<char*>("x")));
    sim_->injectFault({{"address", sim_->address(0)}, {"procedure", 40}, {"kind", "status"},
                       {"status", -1}});
    EXPECT_EQ(-3, set(kGroup, code::PhysGroupName, const_cast<char*>("group-c")))
        << "no group read from the switch";
    sim_->clearFaults();
    EXPECT_EQ("group-b", switchSource()["switchGroups"][0]["name"]);
}

TEST_F(AttributeChanges, EventNotificationAndThresholdEventsOfTheFabric) {
    ASSERT_EQ(0, set(kFabric, code::EnableEventNotifications, number(1)));
    auto* fabric = read<FabricRecord>(kFabric);
    ASSERT_NE(fabric, nullptr);
    EXPECT_EQ(1, fabric->EnableEventNotifications);
    falFreeObject(fabric);
    ASSERT_EQ(0, set(kSwitch, code::ThrexEventsEnable, number(1)));
    EXPECT_EQ(1u, sim_->request({{"op", "eventRegistrations"}})["threx"].size());
    auto* sw = read<SwitchRecord>(kSwitch);
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(1, sw->ThrexEventsEnable);
    falFreeObject(sw);
    ASSERT_EQ(0, set(kSwitch, code::ThrexEventsEnable, number(0x10000))) << "low 16 bits: off";
    EXPECT_TRUE(sim_->request({{"op", "eventRegistrations"}})["threx"].empty());
    ASSERT_EQ(0, set(kFabric, code::EnableEventNotifications, number(0)));
    fabric = read<FabricRecord>(kFabric);
    ASSERT_NE(fabric, nullptr);
    EXPECT_EQ(0, fabric->EnableEventNotifications);
    falFreeObject(fabric);
    EXPECT_EQ(-3, set(kFabric, code::EnableEventNotifications, number(4)));
}

TEST_F(AttributeChanges, EventAndThresholdSwitchesTakeTheirTargets) {
    EXPECT_EQ(-17, set(kSwitch, code::EnableEventNotifications, number(1)));
    EXPECT_EQ(-17, set(kP0, code::ThrexEventsEnable, number(1)));
    // The boundary and alarm codes need no stored object and no fabric; an
    // empty list changes nothing.
    const std::vector<char> empty = oidList({});
    EXPECT_EQ(0, AddAttributes(empty.data(), code::ApplyBoundaryChanges, nullptr));
    EXPECT_NE(0, set("0024ffffffffffffffff", code::ApplyBoundaryChanges, nullptr));
}

// --- Security attributes ----------------------------------------------------------------

TEST_F(AttributeChanges, SecurityTransactionStartAbortAndCommit) {
    closeSecurityTransaction();
    ASSERT_EQ(0, setShort(kCapabilities, code::SecurityTransactionActive, 1));
    EXPECT_TRUE(security()["transaction"].get<bool>());
    EXPECT_EQ(1, storedShort(kCapabilities, "SecurityTransactionActive"));
    const std::uint64_t starts = calls(125, 257);
    EXPECT_EQ(0, setShort(kCapabilities, code::SecurityTransactionActive, 1)) << "already open";
    EXPECT_EQ(starts, calls(125, 257));

    // Abort: the switch drops the transaction, the flags close.
    storeShort(kCapabilities, "SecurityTransactionDirty", 1);
    ASSERT_EQ(0, setShort(kCapabilities, code::SecurityTransactionActive, 0));
    EXPECT_FALSE(security()["transaction"].get<bool>());
    EXPECT_EQ(0, storedShort(kCapabilities, "SecurityTransactionActive"));
    EXPECT_EQ(0, storedShort(kCapabilities, "SecurityTransactionDirty"));
    EXPECT_EQ(1, storedShort(kCapabilities, "CommitSecurityTransaction"));

    // An abort the switch refuses (it holds no transaction) still closes the flags.
    storeShort(kCapabilities, "SecurityTransactionActive", 1);
    storeShort(kCapabilities, "SecurityTransactionDirty", 1);
    EXPECT_EQ(0, setShort(kCapabilities, code::SecurityTransactionActive, 0));
    EXPECT_EQ(0, storedShort(kCapabilities, "SecurityTransactionActive"));
    EXPECT_EQ(0, storedShort(kCapabilities, "SecurityTransactionDirty"));
    closeSecurityTransaction();

    // Commit.
    EXPECT_EQ(-40, setShort(kCapabilities, code::CommitSecurityTransaction, 1));
    ASSERT_EQ(0, setShort(kCapabilities, code::SecurityTransactionActive, 1));
    storeShort(kCapabilities, "SecurityTransactionDirty", 1);
    storeShort(kCapabilities, "CommitSecurityTransaction", 0);
    ASSERT_EQ(0, setShort(kCapabilities, code::CommitSecurityTransaction, 1));
    EXPECT_FALSE(security()["transaction"].get<bool>());
    EXPECT_EQ(0, storedShort(kCapabilities, "SecurityTransactionActive"));
    EXPECT_EQ(0, storedShort(kCapabilities, "SecurityTransactionDirty"));
    EXPECT_EQ(1, storedShort(kCapabilities, "CommitSecurityTransaction"));
    // A commit the switch refuses (it holds no transaction) still closes the flags.
    storeShort(kCapabilities, "SecurityTransactionActive", 1);
    storeShort(kCapabilities, "SecurityTransactionDirty", 1);
    EXPECT_EQ(-55, setShort(kCapabilities, code::CommitSecurityTransaction, 1));
    EXPECT_EQ(0, storedShort(kCapabilities, "SecurityTransactionActive"));
    EXPECT_EQ(0, storedShort(kCapabilities, "SecurityTransactionDirty"));
    closeSecurityTransaction();

    auto* capabilities = read<SecurityCapabilitiesRecord>(kCapabilities);
    ASSERT_NE(capabilities, nullptr);
    EXPECT_EQ(0, capabilities->SecurityTransactionActive);
    falFreeObject(capabilities);
}

TEST_F(AttributeChanges, SecurityTransactionValuesAndTargets) {
    closeSecurityTransaction();
    const std::uint64_t requests = calls(125, 257) + calls(125, 260) + calls(125, 261);
    unsigned short two = 2;
    const struct {
        const char* oid;
        unsigned attribute;
        void* value;
        int expected;
    } cases[] = {
        {kCapabilities, code::SecurityTransactionActive, nullptr, -3},
        {kCapabilities, code::SecurityTransactionActive, &two, -3},
        {kCapabilities, code::CommitSecurityTransaction, nullptr, -3},
        {kCapabilities, code::CommitSecurityTransaction, &two, -3},
        {kSwitch, code::SecurityTransactionActive, &two, -3},
        {kCapabilities, code::CommitSecurityTransaction, nullptr, -3},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, set(c.oid, c.attribute, c.value)) << c.oid;
    }
    EXPECT_EQ(requests, calls(125, 257) + calls(125, 260) + calls(125, 261));

    // Every entry is visited: a wrong target is recorded and the
    // capabilities object behind it still starts its transaction.
    unsigned short one = 1;
    const std::vector<char> list = oidList({kSwitch, kCapabilities, kP0});
    EXPECT_EQ(-17, AddAttributes(list.data(), code::SecurityTransactionActive, &one));
    EXPECT_TRUE(security()["transaction"].get<bool>());
    EXPECT_EQ(1, storedShort(kCapabilities, "SecurityTransactionActive"));
    closeSecurityTransaction();
}

TEST_F(AttributeChanges, PolicySetActivationAndSecurityCounters) {
    closeSecurityTransaction();
    // Outside a transaction the switch refuses: the flags stay.
    storeShort(kCapabilities, "SecurityTransactionDirty", 1);
    EXPECT_NE(0, setShort(kDefinedSet, code::ActivatePolicySet, 1));
    EXPECT_EQ(1, storedShort(kCapabilities, "SecurityTransactionDirty"));

    ASSERT_EQ(0, setShort(kCapabilities, code::SecurityTransactionActive, 1));
    storeShort(kCapabilities, "CommitSecurityTransaction", 0);
    ASSERT_EQ(0, setShort(kDefinedSet, code::ActivatePolicySet, 1));
    EXPECT_EQ(0, storedShort(kCapabilities, "SecurityTransactionDirty"));
    EXPECT_EQ(1, storedShort(kCapabilities, "CommitSecurityTransaction"));
    const json active = security()["active"];
    ASSERT_EQ(2u, active.size());
    EXPECT_EQ("DCC_POLICY_A", active[1][0]);
    EXPECT_EQ(-17, setShort(kCapabilities, code::ActivatePolicySet, 1));
    closeSecurityTransaction();

    ASSERT_EQ(0, set(kSecurityStats, code::SecurityStatsReset, nullptr));
    EXPECT_EQ(json(std::vector<int>(12, 0)), switchSource()["securityStats"]);
    EXPECT_EQ(-17, set(kSwitch, code::SecurityStatsReset, nullptr));
}

TEST_F(AttributeChanges, AdministratorPasswordPairs) {
    ASSERT_EQ(0, set(kCapabilities, code::FCSAdminPassword, const_cast<char*>("old-1:new-1")));
    ASSERT_EQ(0, set(kCapabilities, code::NonFCSAdminPassword, const_cast<char*>("old-2:new-2")));
    const json sent = security()["adminPasswords"];
    EXPECT_FALSE(sent["3"].get<std::string>().empty());
    EXPECT_FALSE(sent["4"].get<std::string>().empty());
    EXPECT_EQ(std::string::npos, sent.dump().find("new-1")) << "sent encrypted";

    const std::uint64_t requests = calls(125, 3) + calls(125, 4);
    const std::string longest(32, 'q');
    const std::string tooLong(33, 'q');
    const std::string longPair = longest + ":" + tooLong;
    const std::string longFirst = tooLong + ":x";
    const struct {
        const char* value;
        int expected;
    } cases[] = {
        {nullptr, -3}, {"", -3},          {"nocolon", -3},        {":second", -3},
        {"first:", -3}, {":", -3},        {"a:b:c", -3},          {longPair.c_str(), -84},
        {longFirst.c_str(), -84},
    };
    for (const auto& c : cases) {
        for (const unsigned attribute : {code::FCSAdminPassword, code::NonFCSAdminPassword}) {
            EXPECT_EQ(c.expected, set(kCapabilities, attribute, const_cast<char*>(c.value)))
                << (c.value != nullptr ? c.value : "null");
        }
    }
    EXPECT_EQ(requests, calls(125, 3) + calls(125, 4)) << "refused pairs are not sent";
    const std::string longestPair = longest + ":" + longest;
    EXPECT_EQ(0, set(kCapabilities, code::FCSAdminPassword, const_cast<char*>(longestPair.c_str())));
    EXPECT_EQ(-17, set(kSwitch, code::FCSAdminPassword, const_cast<char*>("a:b")));
}

// --- Zone members being prepared ------------------------------------------------------

TEST(MemberNames, RebuiltForTheNewType) {
    const struct {
        const char* name;
        unsigned oldType;
        unsigned newType;
        const char* modifier;
        const char* expected;
    } cases[] = {
        {"aa:bb(5)", 1, 2, "5", "aa:bb[5]"},   {"aa:bb[7]", 2, 1, "7", "aa:bb(7)"},
        {"aa:bb(5)", 1, 0, "5", "aa:bb"},      {"aa:bb(5)", 1, 1, "", "aa:bb"},
        {"aa:bb", 0, 3, "", "H{aa:bb}"},       {"H{aa:bb}", 3, 0, "", "aa:bb"},
        {"H{aa:bb}", 3, 2, "9", "aa:bb[9]"},
        {"zone1", 0, 1, "3", "zone1(3)"},      {"aa:bb(5)", 4, 1, "5", "aa:bb(5)"},
        {"aa:bb(5)", 1, 4, "5", "aa:bb(5)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, rebuildMemberName(c.name, c.oldType, c.newType, c.modifier))
            << c.name << " " << c.oldType << "->" << c.newType;
    }
}

class PreparedMember : public AttributeChanges {
protected:
    void SetUp() override {
        LockGuard model(getObjectStoreMutex());
        StoredObject* database = findObjectUnlocked(kDefinedDb);
        ASSERT_NE(database, nullptr);
        // The new target is a device port, as a zone member's port must be.
        StoredObject* target = findObjectUnlocked(kP1);
        ASSERT_NE(target, nullptr);
        target->setShortAttr("PortType", PORT_TYPE_N);
        // A zone of the defined database that holds the second member.
        StoredObject* zone = getOrCreateObject(
            10, WWNAddress(std::array<unsigned char, 8>{0xaa, 0, 0, 0, 0, 0, 0, 1}.data()));
        zone->clearSet("setParent");
        zone->addRelatedObject("setParent", database);
        const struct {
            const char* oid;
            unsigned char last;
            StoredObject* parent;
        } members[] = {{kPreparedMember, 1, database}, {kZonedMember, 2, zone}};
        for (const auto& m : members) {
            StoredObject* member = getOrCreateObject(
                22, WWNAddress(std::array<unsigned char, 8>{0xaa, 0, 0, 0, 0, 0, 0, m.last}.data()));
            std::string oid;
            member->getStringAttr("OID", oid);
            ASSERT_EQ(m.oid, oid);
            member->clearSet("setParent");
            member->addRelatedObject("setParent", m.parent);
            member->setShortAttr("ZMType", 1);
            member->setStringAttr("ZoneMemberModifier", "5");
            member->setStringAttr("ZoneMemberTarget", kP0);
            member->setStringAttr("MemberName", std::string(kP0Name) + "(5)");
        }
    }
    static std::string stored(const char* name) {
        LockGuard model(getObjectStoreMutex());
        std::string value = "<none>";
        if (StoredObject* member = findObjectUnlocked(kPreparedMember)) {
            member->getStringAttr(name, value);
        }
        return value;
    }
    static int databaseMembers() {
        LockGuard model(getObjectStoreMutex());
        StoredObject* database = findObjectUnlocked(kDefinedDb);
        return database != nullptr ? static_cast<int>(database->getRelationCount("setMember")) : -1;
    }
};

TEST_F(PreparedMember, TypeAndModifierRebuildTheName) {
    const struct {
        unsigned attribute;
        void* value;
        std::string name;
        unsigned short type;
        unsigned short ready;
    } steps[] = {
        {code::ZMType, number(2), std::string(kP0Name) + "[5]", 2, 1},
        {code::ZMType, number(0), kP0Name, 0, 0},
        {code::ZMType, number(1), std::string(kP0Name) + "(5)", 1, 1},
        {code::ZoneMemberModifier, const_cast<char*>(""), kP0Name, 1, 0},
        {code::ZoneMemberModifier, const_cast<char*>("12"), std::string(kP0Name) + "(12)", 1, 1},
        {code::ZMType, number(3), std::string("H{") + kP0Name + "}", 3, 0},
        {code::ZoneMemberModifier, const_cast<char*>(""), std::string("H{") + kP0Name + "}", 3, 1},
        {code::ZMType, number(0), kP0Name, 0, 1},
    };
    for (const auto& step : steps) {
        ASSERT_EQ(0, set(kPreparedMember, step.attribute, step.value)) << step.name;
        EXPECT_EQ(step.name, stored("MemberName"));
        EXPECT_EQ(step.type, storedShort(kPreparedMember, "ZMType")) << step.name;
        EXPECT_EQ(step.ready, storedShort(kPreparedMember, "ZMReady")) << step.name;
    }
}

TEST_F(PreparedMember, TargetTakesTheNameTheCreatorDerives) {
    const int before = databaseMembers();
    ASSERT_EQ(0, set(kPreparedMember, code::ZoneMemberTarget, const_cast<char*>(kP1)));
    EXPECT_EQ(kP1, stored("ZoneMemberTarget"));
    EXPECT_EQ("20:01:00:60:69:0a:00:01(5)", stored("MemberName"));
    EXPECT_EQ(1, storedShort(kPreparedMember, "ZMReady"));
    EXPECT_EQ(before, databaseMembers()) << "the temporary member is gone";
}

TEST_F(PreparedMember, RefusalsChangeNothing) {
    const std::string tooLong(48, '1');
    const struct {
        const char* oid;
        unsigned attribute;
        void* value;
        int expected;
    } cases[] = {
        {kPreparedMember, code::ZMType, number(4), -3},
        {kPreparedMember, code::ZoneMemberModifier, nullptr, -3},
        {kPreparedMember, code::ZoneMemberTarget, nullptr, -3},
        {kPreparedMember, code::ZoneMemberTarget, const_cast<char*>(tooLong.c_str()), -3},
        {kPreparedMember, code::ZoneMemberTarget, const_cast<char*>("0001"), -3},
        {kZonedMember, code::ZMType, number(2), -77},
        {kZonedMember, code::ZoneMemberModifier, const_cast<char*>("x"), -77},
        {kSwitch, code::ZMType, number(2), -17},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, set(c.oid, c.attribute, c.value)) << c.oid << std::hex << " "
                                                                << c.attribute;
    }
    EXPECT_EQ(std::string(kP0Name) + "(5)", stored("MemberName"));
    EXPECT_EQ(kP0, stored("ZoneMemberTarget"));
    EXPECT_EQ(1, storedShort(kPreparedMember, "ZMType"));
}

// --- The zoning level of each entry -------------------------------------------------------

// One list names the zoning capabilities of a fabric whose proxy runs a
// later level and of one whose proxy runs the oldest, which has no switch
// transaction (the library keeps its own there, and its rollback answers
// -36): each entry is sent at its own fabric's level, whatever the first
// entry's.
TEST(ZoningLevelPerEntry, EachEntryUsesItsOwnFabricsLevel) {
    FabAPI_ShutdownFabricAPI();
    json doc = zoning_exports::document("v4.1.0");
    doc["fabrics"][0]["switches"][0].erase("firmware");
    SwitchSimulator sim(doc);
    zoning_exports::openBoth(sim);
    const std::string caps0 = zoning_exports::oidOfType("0015", 0);
    const std::string caps1 = zoning_exports::oidOfType("0015", 1);
    const auto transaction = [&](int fabric) {
        return sim.request({{"op", "zoning"}, {"fabric", fabric}})["zoning"]["transaction"];
    };
    unsigned short one = 1;
    const std::vector<char> list = oidList({caps1.c_str(), caps0.c_str()});
    EXPECT_EQ(0, AddAttributes(list.data(), 0xA0B23, &one));
    EXPECT_FALSE(transaction(1).is_null()) << "started on the later level's switch";
    EXPECT_TRUE(transaction(0).is_null()) << "the oldest level's switch was not asked";
    unsigned short zero = 0;
    EXPECT_EQ(0, AddObjectAttributes(caps1.c_str(), 0xA0B23, &zero));
    EXPECT_TRUE(transaction(1).is_null()) << "rolled back on the switch";
    EXPECT_EQ(-36, AddObjectAttributes(caps0.c_str(), 0xA0B23, &zero)) << "nothing undone there";
    FabAPI_ShutdownFabricAPI();
}

} // namespace
