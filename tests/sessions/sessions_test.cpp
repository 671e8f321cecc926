// The session and signature exports as a caller sees them: this program
// links libOrvane_2.so alone and reaches switches only through the
// simulator.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/sessions/SessionFabrics.h"

namespace {

using namespace sessions;
using nlohmann::json;

constexpr std::uint32_t kAuthenticate = 1;
constexpr std::uint32_t kSecureLogin = 126;

// Each test starts and ends with the library shut down.
class SessionExports : public ::testing::Test {
protected:
    void SetUp() override { FabAPI_ShutdownFabricAPI(); }
    void TearDown() override {
        // Whatever a failed test left open: its own sessions, then those of
        // the older calls (which also shut the library down).
        for (FabAPI_ClientSessionID* record : records_) {
            FabAPI_CloseSession(record);
            falFreeObject(record);
        }
        CloseFabricSessions();
        FabAPI_ShutdownFabricAPI();
    }

    // Opens a session with FabAPI_EstablishSession; the record is freed at
    // the end of the test.
    FabAPI_ClientSessionID* open(const char* fabricOid) {
        FabAPI_ClientSessionID* record = nullptr;
        EXPECT_EQ(0, establish(fabricOid, &record)) << fabricOid;
        if (record != nullptr) {
            records_.push_back(record);
        }
        return record;
    }

    // The signature and the status of FabAPI_GetFabricSignature.
    std::vector<std::string> liveSwitches(FabAPI_ClientSessionID* session, int expected) {
        FabAPI_FabricSignature* signature = nullptr;
        EXPECT_EQ(expected, FabAPI_GetFabricSignature(session, &signature));
        if (signature == nullptr) {
            return {};
        }
        EXPECT_EQ(kFabricA, oidText(signature->structFabricOID));
        std::vector<std::string> switches = switchesOf(*signature);
        EXPECT_EQ(0, falFreeObject(signature));
        return switches;
    }

    // FabAPI_SyncSession's status; the signature's switches in `switches`.
    int sync(FabAPI_ClientSessionID* session, std::vector<std::string>* switches = nullptr) {
        FabAPI_FabricSignature* signature = nullptr;
        const int status = FabAPI_SyncSession(session, &signature);
        if (signature != nullptr) {
            if (switches != nullptr) {
                *switches = switchesOf(*signature);
            }
            EXPECT_EQ(0, falFreeObject(signature));
        }
        return status;
    }

    SwitchSimulator sim_{twoFabrics()};
    std::vector<FabAPI_ClientSessionID*> records_;
};

const std::vector<std::string> kSwitchesOfA = {"000210000060690000a1", "000210000060690000a2",
                                               "000210000060690000a3"};

TEST_F(SessionExports, BothFamiliesOpenListAndCloseSessions) {
    discover(sim_);
    FabAPI_ClientSessionID* a = open(kFabricA);
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(kFabricA, oidText(a->structSessionID));
    ASSERT_EQ(0, establishLegacy(kFabricB));
    EXPECT_EQ((std::vector<std::string>{kFabricA, kFabricB}), listedSessions());

    OID_t fabricOid;
    std::memset(fabricOid, 'x', sizeof fabricOid);
    ASSERT_EQ(0, FabAPI_GetFabricOidFromSession(a, fabricOid));
    EXPECT_EQ(kFabricA, oidText(fabricOid));
    EXPECT_EQ('\0', fabricOid[47]) << "NUL-padded to the end of the field";

    // Each close-all refuses while the other interface has sessions open.
    EXPECT_EQ(FABAPI_ERR_INVALID_OPEN_SESSIONS, FabAPI_CloseSessions());
    EXPECT_EQ(FABAPI_ERR_INVALID_OPEN_SESSIONS, CloseFabricSessions());
    EXPECT_EQ(FABAPI_ERR_INVALID_OPEN_SESSIONS, FabAPI_ShutdownFabricAPI());
    EXPECT_EQ(2u, listedSessions().size()) << "nothing was closed";

    EXPECT_EQ(0, FabAPI_CloseSession(a));
    EXPECT_EQ(FABAPI_ERR_NO_SUCH_SESSION, FabAPI_CloseSession(a));
    EXPECT_EQ(std::vector<std::string>{kFabricB}, listedSessions());
    // A closed session can be opened again.
    FabAPI_ClientSessionID* again = open(kFabricA);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(0, FabAPI_CloseSession(again));

    OID_t b = {};
    std::strncpy(b, kFabricB, sizeof b - 1);
    EXPECT_EQ(0, CloseFabricSession(&b));
    EXPECT_EQ(FABAPI_ERR_NO_SUCH_SESSION, CloseFabricSession(&b));
    EXPECT_TRUE(listedSessions().empty());
    EXPECT_EQ(0, FabAPI_CloseSessions());
}

TEST_F(SessionExports, OpeningNeedsAStartedLibraryADiscoveredFabricAndOneSessionAFabric) {
    FabAPI_ClientSessionID* record = nullptr;
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, establish(kFabricA, &record));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, establishLegacy(kFabricA));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_CloseSessions());
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, CloseFabricSessions());

    // The fabrics of the last discovery outlive a shutdown: a discovery that
    // finds none forgets them.
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    FabAPI_FabricDiscoveryInfo* none = nullptr;
    ASSERT_EQ(0, FabAPI_DiscoverFabrics(&none));
    EXPECT_EQ(0, falFreeObject(none));
    EXPECT_EQ(FABAPI_ERR_FABRIC_NOT_DISCOVERED, establish(kFabricA, &record));
    EXPECT_EQ(FABAPI_ERR_FABRIC_NOT_DISCOVERED, establishLegacy(kFabricA));
    ASSERT_EQ(0, FabAPI_ShutdownFabricAPI());

    discover(sim_);
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, establish(kFabricA, nullptr));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_EstablishSession(nullptr, &record));
    const std::string longer = std::string(kFabricA) + "0";
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, establish(longer.c_str(), &record));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, EstablishFabricSession(nullptr, kUser, kPassword));

    ASSERT_NE(nullptr, open(kFabricA));
    EXPECT_EQ(FABAPI_ERR_SESSION_ALREADY_OPEN, establish(kFabricA, &record));
    EXPECT_EQ(FABAPI_ERR_SESSION_ALREADY_OPEN, establishLegacy(kFabricA));
    EXPECT_EQ(nullptr, record);

    FabAPI_ClientSessionID unknown{const_cast<char*>("000910000060690000ff")};
    FabAPI_FabricSignature* signature = nullptr;
    EXPECT_EQ(FABAPI_ERR_NO_SUCH_SESSION, FabAPI_CloseSession(&unknown));
    EXPECT_EQ(FABAPI_ERR_NO_SUCH_SESSION, FabAPI_GetFabricSignature(&unknown, &signature));
    EXPECT_EQ(FABAPI_ERR_NO_SUCH_SESSION, FabAPI_SyncSession(&unknown, &signature));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_CloseSession(nullptr));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_GetFabricSignature(&unknown, nullptr));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_ListSessions(nullptr));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_GetFabricOidFromSession(&unknown, nullptr));
}

TEST_F(SessionExports, PasswordLoginChoosesTheNewestProxyAndPassesOverADeadOne) {
    // @0 answers nothing once discovered; @1 carries the session.
    discover(sim_, {0, 1});
    sim_.injectFault({{"address", sim_.address(0)}, {"kind", "close"}});
    sim_.resetCounters();
    ASSERT_NE(nullptr, open(kFabricA));
    EXPECT_EQ(0u, sim_.callCount(sim_.address(0), kAuthenticate));
    EXPECT_EQ(1u, sim_.callCount(sim_.address(1), kAuthenticate));

    // No proxy switch answers: the failure of the last one tried.
    sim_.injectFault({{"address", sim_.address(1)}, {"kind", "close"}});
    EXPECT_EQ(0, FabAPI_CloseSessions());
    FabAPI_ClientSessionID* record = nullptr;
    EXPECT_EQ(-89, establish(kFabricA, &record)) << "-10029: no proxy answered";
    EXPECT_EQ(nullptr, record);
    EXPECT_TRUE(listedSessions().empty());
}

TEST(SessionLogins, NewestFirmwareWinsAndACertificateProxyLogsInBySignature) {
    SwitchSimulator sim(json::parse(R"({"fabrics": [
      {"name": "A", "wwn": "10:00:00:60:69:00:00:a1",
       "users": [{"name": "admin", "password": "password"}],
       "switches": [
         {"wwn": "10:00:00:60:69:00:00:a1", "firmware": "v3.0.1", "address": "@0"},
         {"wwn": "10:00:00:60:69:00:00:a2", "firmware": "v4.1.0", "address": "@1"}]},
      {"name": "B", "wwn": "10:00:00:60:69:00:00:b1",
       "users": [{"name": "admin", "password": "password"}],
       "switches": [
         {"wwn": "10:00:00:60:69:00:00:b1", "firmware": "v4.1.0", "address": "@2"},
         {"wwn": "10:00:00:60:69:00:00:b2", "firmware": "v4.1.0", "address": "@3",
          "certificate": "switch-01", "secureLogin": true}]}]})"));
    FabAPI_ShutdownFabricAPI();
    discover(sim, {0, 1, 2, 3});
    sim.resetCounters();
    FabAPI_ClientSessionID* a = nullptr;
    FabAPI_ClientSessionID* b = nullptr;
    ASSERT_EQ(0, establish(kFabricA, &a));
    EXPECT_EQ(0u, sim.callCount(sim.address(0), kAuthenticate));
    EXPECT_EQ(1u, sim.callCount(sim.address(1), kAuthenticate)) << "the newer firmware";

    ASSERT_EQ(0, establish(kFabricB, &b));
    EXPECT_EQ(0u, sim.callCount(sim.address(2), kAuthenticate));
    EXPECT_EQ(0u, sim.callCount(sim.address(3), kAuthenticate));
    EXPECT_GE(sim.callCount(sim.address(3), kSecureLogin), 2u) << "the certificate login";
    EXPECT_EQ(0, falFreeObject(a));
    EXPECT_EQ(0, falFreeObject(b));
    EXPECT_EQ(0, FabAPI_ShutdownFabricAPI());
}

TEST_F(SessionExports, AProxyNowInAnotherFabricOpensNoSession) {
    discover(sim_);
    // B's proxy switch joins fabric A after discovery.
    sim_.request({{"op", "moveSwitch"}, {"switch", "10:00:00:60:69:00:00:b1"}, {"to", 0}});
    FabAPI_ClientSessionID* record = nullptr;
    EXPECT_EQ(FABAPI_ERR_FABRIC_WWN_MISMATCH, establish(kFabricB, &record));
    EXPECT_EQ(FABAPI_ERR_FABRIC_WWN_MISMATCH, establish(kFabricB, &record)) << "nothing kept";
    EXPECT_EQ(nullptr, record);
    EXPECT_TRUE(listedSessions().empty());
}

TEST_F(SessionExports, SignatureAndSyncFollowASwitchThatJoinsAndOneThatLeaves) {
    discover(sim_);
    FabAPI_ClientSessionID* a = open(kFabricA);
    ASSERT_NE(nullptr, a);
    FabAPI_FabricSignature* before = nullptr;
    ASSERT_EQ(0, FabAPI_GetFabricSignature(a, &before));
    EXPECT_EQ(kFabricA, oidText(before->structFabricOID));
    EXPECT_EQ(kSwitchesOfA, switchesOf(*before));

    // B's third switch joins A: the tree lacks it until the session syncs.
    sim_.request({{"op", "moveSwitch"}, {"switch", "10:00:00:60:69:00:00:b3"}, {"to", 0}});
    FabAPI_FabricSignature* joined = nullptr;
    ASSERT_EQ(FABAPI_WARN_SIGNATURE_DIFFERS, FabAPI_GetFabricSignature(a, &joined));
    EXPECT_EQ(4, joined->count);
    int comparison = 5;
    ASSERT_EQ(0, FabAPI_CompareFabricSignatures(before, joined, &comparison));
    EXPECT_EQ(-1, comparison);
    ASSERT_EQ(0, FabAPI_CompareFabricSignatures(joined, before, &comparison));
    EXPECT_EQ(1, comparison);
    std::vector<std::string> synced;
    EXPECT_EQ(0, sync(a, &synced));
    EXPECT_EQ(4u, synced.size());
    EXPECT_EQ(4u, liveSwitches(a, 0).size()) << "the tree holds the new switch";

    // A's own third switch leaves: the tree still has it, so the signature
    // matches; syncing drops it.
    sim_.request({{"op", "moveSwitch"}, {"switch", "10:00:00:60:69:00:00:a3"}});
    EXPECT_EQ(3u, liveSwitches(a, 0).size());
    EXPECT_EQ(0, sync(a, &synced));
    EXPECT_EQ((std::vector<std::string>{"000210000060690000a1", "000210000060690000a2",
                                        "000210000060690000b3"}),
              synced);
    // The switch comes back: the rebuilt tree lacks it again.
    sim_.request({{"op", "moveSwitch"}, {"switch", "10:00:00:60:69:00:00:a3"}, {"to", 0}});
    EXPECT_EQ(4u, liveSwitches(a, FABAPI_WARN_SIGNATURE_DIFFERS).size());
    EXPECT_EQ(0, falFreeObject(before));
    EXPECT_EQ(0, falFreeObject(joined));
}

TEST_F(SessionExports, SyncRefusesAFabricThatChangedOrCannotBeRead) {
    discover(sim_);
    FabAPI_ClientSessionID* a = open(kFabricA);
    ASSERT_NE(nullptr, a);
    const std::string proxy = "10:00:00:60:69:00:00:a1";
    const std::string edge = "10:00:00:60:69:00:00:a3";
    // The proxy switch answers every switch list request with `status`.
    const auto switchListAnswers = [&](int status) {
        return json{{"op", "inject"},
                    {"fault",
                     {{"address", sim_.address(0)},
                      {"procedure", 40},
                      {"code", 257},
                      {"kind", "status"},
                      {"status", status}}}};
    };
    struct Case {
        const char* what;
        json change;
        json undo;
        int expected;
    };
    const std::vector<Case> cases = {
        {"a switch at an older level lowers the fabric's level",
         {{"op", "setSwitchFields"}, {"switch", edge}, {"fields", {{"firmware", "v2.4.1"}}}},
         {{"op", "setSwitchFields"}, {"switch", edge}, {"fields", {{"firmware", "v4.1.0"}}}},
         FABAPI_ERR_SESSION_NOT_SYNCHRONIZABLE},
        {"the proxy switch answers an all-zero fabric name",
         {{"op", "setSwitchFields"}, {"switch", proxy}, {"fields", {{"zeroFabricWwn", true}}}},
         {{"op", "setSwitchFields"}, {"switch", proxy}, {"fields", {{"zeroFabricWwn", false}}}},
         FABAPI_ERR_FABRIC_UNREADABLE},
        {"the proxy switch stays busy",
         switchListAnswers(-20005),
         {{"op", "clearFaults"}},
         FABAPI_ERR_FABRIC_UNREADABLE},
        {"the switch list cannot be read",
         switchListAnswers(-5),
         {{"op", "clearFaults"}},
         FABAPI_ERR_SESSION_NOT_SYNCHRONIZABLE},
        {"the proxy switch joined another fabric",
         {{"op", "moveSwitch"}, {"switch", proxy}, {"to", 1}},
         {{"op", "moveSwitch"}, {"switch", proxy}, {"to", 0}},
         FABAPI_ERR_SESSION_NOT_SYNCHRONIZABLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sim_.request(c.change);
        EXPECT_EQ(c.expected, sync(a));
        sim_.request(c.undo);
        EXPECT_EQ(0, sync(a)) << "the session is still usable";
    }
    FabAPI_FabricSignature* signature = nullptr;
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_SyncSession(a, nullptr));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_SyncSession(nullptr, &signature));
}

TEST(SessionSecureMode, SyncAsksASecureFabricToConfirmTheSession) {
    json document = twoFabrics();
    document["fabrics"][0]["security"] = {{"secureMode", 1}, {"query2", 1}};
    document["fabrics"][1]["security"] = {{"secureMode", 1}, {"query2", 0}};
    SwitchSimulator sim(document);
    FabAPI_ShutdownFabricAPI();
    discover(sim);
    FabAPI_ClientSessionID* a = nullptr;
    FabAPI_ClientSessionID* b = nullptr;
    ASSERT_EQ(0, establish(kFabricA, &a));
    ASSERT_EQ(0, establish(kFabricB, &b));
    FabAPI_FabricSignature* signature = nullptr;
    EXPECT_EQ(0, FabAPI_SyncSession(a, &signature));
    EXPECT_EQ(0, falFreeObject(signature));
    EXPECT_EQ(FABAPI_WARN_SESSION_UNCONFIRMED, FabAPI_SyncSession(b, &signature));
    EXPECT_EQ(0, falFreeObject(signature));
    sim.injectFault({{"address", sim.address(0)},
                     {"procedure", 125},
                     {"code", 2},
                     {"kind", "status"},
                     {"status", -5}});
    EXPECT_EQ(FABAPI_ERR_SESSION_NOT_SYNCHRONIZABLE, FabAPI_SyncSession(a, &signature));
    EXPECT_EQ(0, falFreeObject(signature)) << "the signature is handed out all the same";
    EXPECT_EQ(0, falFreeObject(a));
    EXPECT_EQ(0, falFreeObject(b));
    EXPECT_EQ(0, FabAPI_ShutdownFabricAPI());
}

// A signature record of `fabric` and its switches, on the caller's side.
struct SignatureRecord {
    std::vector<OID_t> switches;
    FabAPI_FabricSignature record{};

    SignatureRecord(const char* fabric, const std::vector<const char*>& names)
        : switches(names.size()) {
        std::strncpy(record.structFabricOID, fabric, sizeof(OID_t) - 1);
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::memset(switches[i], 0, sizeof(OID_t));
            std::strncpy(switches[i], names[i], sizeof(OID_t) - 1);
        }
        record.structSwitchOIDs = switches.empty() ? nullptr : switches.data();
        record.count = static_cast<int>(names.size());
    }
};

TEST(SignatureComparison, TellsSameSubsetAndOtherWithoutTheLibrary) {
    const char* s1 = "000210000060690000a1";
    const char* s2 = "000210000060690000a2";
    const char* s3 = "000210000060690000a3";
    struct Case {
        SignatureRecord first;
        SignatureRecord second;
        int expected;
    };
    const Case cases[] = {
        {{kFabricA, {s1, s2}}, {kFabricA, {s2, s1}}, 0},
        {{kFabricA, {s1}}, {kFabricA, {s1, s2}}, -1},
        {{kFabricA, {s1, s2, s3}}, {kFabricA, {s3}}, 1},
        {{kFabricA, {}}, {kFabricA, {s1}}, -1},
        {{kFabricA, {s1, s2}}, {kFabricB, {s1, s2}}, -2},
        {{kFabricA, {s1, s2}}, {kFabricA, {s1, s3}}, -2},
        {{kFabricA, {s1}}, {kFabricA, {s2, s3}}, -2},
    };
    for (const Case& c : cases) {
        int result = 7;
        EXPECT_EQ(0, FabAPI_CompareFabricSignatures(
                         const_cast<FabAPI_FabricSignature*>(&c.first.record),
                         const_cast<FabAPI_FabricSignature*>(&c.second.record), &result));
        EXPECT_EQ(c.expected, result);
    }
    SignatureRecord negative(kFabricA, {s1});
    negative.record.count = -1;
    SignatureRecord one(kFabricA, {s1});
    int result = 0;
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT,
              FabAPI_CompareFabricSignatures(&negative.record, &one.record, &result));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT,
              FabAPI_CompareFabricSignatures(&one.record, nullptr, &result));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT,
              FabAPI_CompareFabricSignatures(&one.record, &one.record, nullptr));
}

TEST_F(SessionExports, ClosingALegacySessionByItsRecordKeepsCloseAllWorking) {
    discover(sim_);
    ASSERT_EQ(0, establishLegacy(kFabricA));
    char id[sizeof(OID_t)] = {};
    std::strncpy(id, kFabricA, sizeof id - 1);
    FabAPI_ClientSessionID record{id};
    EXPECT_EQ(0, FabAPI_CloseSession(&record));
    // The older table forgot it too: closing all works and finds nothing.
    EXPECT_EQ(0, FabAPI_CloseSessions());
    EXPECT_EQ(0, CloseFabricSessions());
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ListSessions(nullptr));
}

TEST_F(SessionExports, ShutdownClosesTheSessionsAndTheOlderCloseAllKeepsTheProxies) {
    discover(sim_);
    ASSERT_NE(nullptr, open(kFabricA));
    ASSERT_NE(nullptr, open(kFabricB));
    EXPECT_EQ(0, FabAPI_ShutdownFabricAPI());
    FabAPI_ClientSessionIDList* list = nullptr;
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ListSessions(&list));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_CloseSession(records_[0]));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ShutdownFabricAPI());

    // The sessions are gone with the library: a new start opens them again.
    discover(sim_);
    ASSERT_EQ(0, establishLegacy(kFabricA));
    ASSERT_EQ(0, establishLegacy(kFabricB));
    EXPECT_EQ(0, CloseFabricSessions());
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ListSessions(&list));
    // The proxy list stayed: discovery through the older call finds both.
    FabricIdentitiesType* table = nullptr;
    ASSERT_EQ(0, GetFabricIdentities(&table));
    EXPECT_EQ(kFabricA, oidText(table[0].fabricOID));
    EXPECT_EQ(kFabricB, oidText(table[1].fabricOID));
    EXPECT_EQ(0, falFreeObject(table));
    ASSERT_EQ(0, establishLegacy(kFabricA)) << "the object store was emptied";
    EXPECT_EQ(0, CloseFabricSessions());
}

} // namespace
