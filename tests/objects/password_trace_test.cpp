// The password edits of AddAttributes run with every trace category on,
// from start-up to shutdown: the trace file holds the calls, and not one of
// the password texts, whether an edit succeeded, was refused before it was
// sent or was refused by the switch.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "foundation/InternalTiming.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using nlohmann::json;

const char* kFabric = "000910000060690e0001";
const char* kSwitch = "000210000060690e0001";
const char* kCapabilities = "002010000060690e0001";

constexpr unsigned kLoginPassword = 0x7020F;
constexpr unsigned kFCSAdminPassword = 0x70E96;
constexpr unsigned kNonFCSAdminPassword = 0x70E97;

// Every password text of the run; none may reach the trace.
const char kProxyPassword[] = "Proxy-Login-5518";
const char kLogin[] = "Login-Pw-7391";
const char kLoginRefused[] = "Login-Refused-2047";
const char kOldFcs[] = "Fcs-Old-1183";
const char kNewFcs[] = "Fcs-New-6620";
const char kOldNonFcs[] = "NonFcs-Old-4471";
const char kNewNonFcs[] = "NonFcs-New-9035";
const char kHalfPair[] = "Half-Pair-3318";
const char kTooLong[] = "Too-Long-Password-Text-0123456789";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

json document() {
    json doc = json::parse(R"({"fabrics": [{"name": "passwords",
      "security": {"secureMode": 1, "counter": 3},
      "switches": [{"wwn": "10:00:00:60:69:0e:00:01", "firmware": "v5.2.0", "address": "@0",
                    "info": {"a4": "v5.2.0"}}]}]})");
    doc["fabrics"][0]["users"] = json::array({{{"name", "admin"}, {"password", kProxyPassword}}});
    std::ifstream pem(ORVANE_PKI_DIR "/switch-01.pem");
    doc["fabrics"][0]["switches"][0]["certificate"] =
        std::string(std::istreambuf_iterator<char>(pem), {});
    return doc;
}

int set(const char* oid, unsigned attribute, const std::string& value) {
    return AddObjectAttributes(oid, attribute, const_cast<char*>(value.c_str()));
}

TEST(PasswordTrace, NoPasswordReachesTheTrace) {
    internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
    SwitchSimulator sim(document());
    char path[] = "/tmp/orvane-password-trace-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    char all[] = "Vosk_All";
    FabAPI_TraceID everything{all};
    FabAPI_ShutdownFabricAPI();
    ASSERT_EQ(0, FabAPI_StartTracing(&everything, path));

    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    std::string host = sim.address(0);
    std::string proxyPassword = kProxyPassword;
    FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"), proxyPassword.data()};
    ASSERT_EQ(0, FabAPI_AppendProxyEntry(&entry));
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
    falFreeObject(info);
    FabAPI_FabricIdentity identity{};
    std::strncpy(identity.structFabSig.structFabricOID, kFabric, 47);
    FabAPI_ClientSessionID* session = nullptr;
    const int opened = FabAPI_EstablishSession(&identity, &session);
    ASSERT_TRUE(opened == 0 || opened == 500 || opened == 501) << opened;
    falFreeObject(session);
    void** records = nullptr;
    ASSERT_EQ(0, GetAllObjects(&records));
    for (void** record = records; *record != nullptr; ++record) {
        falFreeObject(*record);
    }
    falFreeObject(records);

    // Accepted, refused before sending, refused by the switch.
    EXPECT_EQ(0, set(kSwitch, kLoginPassword, kLogin));
    EXPECT_EQ(-84, set(kSwitch, kLoginPassword, kTooLong));
    const std::string fcs = std::string(kOldFcs) + ":" + kNewFcs;
    const std::string nonFcs = std::string(kOldNonFcs) + ":" + kNewNonFcs;
    EXPECT_EQ(0, set(kCapabilities, kFCSAdminPassword, fcs));
    EXPECT_EQ(0, set(kCapabilities, kNonFCSAdminPassword, nonFcs));
    EXPECT_EQ(-3, set(kCapabilities, kFCSAdminPassword, std::string(kHalfPair) + ":"));
    EXPECT_EQ(-84, set(kCapabilities, kNonFCSAdminPassword, std::string("a:") + kTooLong));
    sim.injectFault({{"address", sim.address(0)}, {"kind", "status"}, {"status", -1}});
    EXPECT_NE(0, set(kSwitch, kLoginPassword, kLoginRefused));
    EXPECT_NE(0, set(kCapabilities, kFCSAdminPassword, fcs));
    sim.clearFaults();

    FabAPI_ShutdownFabricAPI();
    ASSERT_EQ(0, FabAPI_StopTracing(&everything));
    const std::string trace = readFile(path);
    std::remove(path);

    EXPECT_NE(std::string::npos, trace.find("AddObjectAttributes")) << "the calls were traced";
    EXPECT_NE(std::string::npos, trace.find("switchSetInfo"));
    for (const char* secret : {kProxyPassword, kLogin, kLoginRefused, kOldFcs, kNewFcs,
                               kOldNonFcs, kNewNonFcs, kHalfPair, kTooLong}) {
        EXPECT_EQ(std::string::npos, trace.find(secret)) << secret << " is in the trace";
    }
}

} // namespace
