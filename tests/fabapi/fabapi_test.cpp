// The start-up, proxy, discovery and tracing exports as a caller sees them:
// this program links libOrvane_2.so alone and reaches switches only through
// the simulator.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using nlohmann::json;

constexpr char kFabricA[] = "000910000060690000a1";
constexpr char kFabricB[] = "000910000060690000b1";

// Fabric A has two proxy switches (@0, @1) and a third switch; fabric B one
// proxy (@2); the proxy at @3 answers an all-zero fabric name; nothing
// listens at @4.
json twoFabrics() {
    return json::parse(R"({
      "fabrics": [
        {"name": "A", "wwn": "10:00:00:60:69:00:00:a1",
         "users": [{"name": "admin", "password": "password"}],
         "switches": [
           {"wwn": "10:00:00:60:69:00:00:a1", "firmware": "v4.1.0", "address": "@0"},
           {"wwn": "10:00:00:60:69:00:00:a2", "firmware": "v4.1.0", "address": "@1"},
           {"wwn": "10:00:00:60:69:00:00:a3", "firmware": "v2.4.1"}]},
        {"name": "B", "wwn": "10:00:00:60:69:00:00:b1",
         "switches": [{"wwn": "10:00:00:60:69:00:00:b1", "address": "@2"}]},
        {"name": "Forming",
         "switches": [{"wwn": "10:00:00:60:69:00:00:c1", "address": "@3",
                       "zeroFabricWwn": true}]}],
      "unservedAddresses": ["@4"]})");
}

FabAPI_ProxyEntry entry(const std::string& host, const char* user, const char* password) {
    return FabAPI_ProxyEntry{const_cast<char*>(host.c_str()), const_cast<char*>(user),
                             const_cast<char*>(password)};
}

int append(const std::string& host, const char* user = "", const char* password = "") {
    FabAPI_ProxyEntry record = entry(host, user, password);
    return FabAPI_AppendProxyEntry(&record);
}

int remove(const std::string& host, const char* user = nullptr, const char* password = nullptr) {
    FabAPI_ProxyEntry record = entry(host, user, password);
    return FabAPI_RemoveProxyEntry(&record);
}

std::vector<std::string> hostsOf(const FabAPI_ProxyEntry* entries, int count) {
    std::vector<std::string> hosts;
    for (int i = 0; i < count; ++i) {
        hosts.emplace_back(entries[i].pcHostName);
    }
    return hosts;
}

std::vector<std::string> listedHosts() {
    FabAPI_ProxyEntryList* list = nullptr;
    EXPECT_EQ(0, FabAPI_ListProxyEntries(&list));
    if (list == nullptr) {
        return {};
    }
    auto hosts = hostsOf(list->entries, list->count);
    EXPECT_EQ(0, falFreeObject(list));
    return hosts;
}

std::string oidText(const OID_t oid) {
    return std::string(oid, strnlen(oid, sizeof(OID_t)));
}

// Each test starts and ends with the library shut down.
class FabApiTest : public ::testing::Test {
protected:
    void SetUp() override { FabAPI_ShutdownFabricAPI(); }
    void TearDown() override { FabAPI_ShutdownFabricAPI(); }
};

TEST_F(FabApiTest, ExportsRefuseCallsBeforeStartAndAfterShutdown) {
    FabAPI_ProxyEntryList* list = nullptr;
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, append("10.0.0.1"));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, remove("10.0.0.1"));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ListProxyEntries(&list));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_DiscoverFabrics(&info));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ShutdownFabricAPI());

    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    EXPECT_EQ(FABAPI_ERR_ALREADY_INITIALIZED, FabAPI_InitializeFabricAPI(nullptr));
    ASSERT_EQ(0, append("10.0.0.1"));
    EXPECT_EQ(FABAPI_ERR_ALREADY_INITIALIZED, FabAPI_InitializeFabricAPI(nullptr));
    EXPECT_EQ(std::vector<std::string>{"10.0.0.1"}, listedHosts()) << "a second start keeps it";

    ASSERT_EQ(0, FabAPI_ShutdownFabricAPI());
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, append("10.0.0.2"));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ListProxyEntries(&list));
    EXPECT_EQ(nullptr, list);

    // Started again, the library works with an empty proxy list.
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    EXPECT_TRUE(listedHosts().empty());
    EXPECT_EQ(42, fnOrvane());
}

TEST_F(FabApiTest, ProxyListKeepsOneEntryPerHostAndHandsOutNoPassword) {
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    EXPECT_EQ(0, append("10.0.0.1", "admin", "secret"));
    EXPECT_EQ(FABAPI_ERR_PROXY_ALREADY_LISTED, append("10.0.0.1", "other", "x"));
    EXPECT_EQ(0, append("10.0.0.2", "ops", ""));

    FabAPI_ProxyEntry noPassword = entry("10.0.0.3", "admin", nullptr);
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_AppendProxyEntry(&noPassword));
    FabAPI_ProxyEntry noHost = entry("", "admin", "pw");
    noHost.pcHostName = nullptr;
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_AppendProxyEntry(&noHost));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_AppendProxyEntry(nullptr));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_RemoveProxyEntry(&noHost));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_ListProxyEntries(nullptr));

    FabAPI_ProxyEntryList* list = nullptr;
    ASSERT_EQ(0, FabAPI_ListProxyEntries(&list));
    ASSERT_EQ(2, list->count);
    EXPECT_STREQ("10.0.0.1", list->entries[0].pcHostName);
    EXPECT_STREQ("admin", list->entries[0].pcUser) << "the first entry stays";
    EXPECT_STREQ("", list->entries[0].pcPassword);
    EXPECT_STREQ("ops", list->entries[1].pcUser);
    EXPECT_EQ(0, falFreeObject(list));

    EXPECT_EQ(FABAPI_ERR_PROXY_NOT_LISTED, remove("10.0.0.9"));
    EXPECT_EQ(0, remove("10.0.0.1", "someone", nullptr)) << "the host alone decides";
    EXPECT_EQ(std::vector<std::string>{"10.0.0.2"}, listedHosts());
    EXPECT_EQ(0, remove("10.0.0.2"));
    EXPECT_TRUE(listedHosts().empty());

    ASSERT_EQ(0, FabAPI_ListProxyEntries(&list));
    EXPECT_EQ(nullptr, list->entries);
    EXPECT_EQ(0, list->count);
    EXPECT_EQ(0, falFreeObject(list));
}

TEST_F(FabApiTest, DiscoveryGroupsProxiesByFabricAndSetsAsideTheUnusable) {
    SwitchSimulator sim(twoFabrics());
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    ASSERT_EQ(0, append(sim.address(4), "admin", "password")); // unreachable
    ASSERT_EQ(0, append(sim.address(1), "admin", "password"));
    ASSERT_EQ(0, append(sim.address(2))); // no login: incomplete
    ASSERT_EQ(0, append(sim.address(3))); // zero fabric name
    ASSERT_EQ(0, append(sim.address(0), "admin", "password"));

    FabAPI_FabricDiscoveryInfo* info = nullptr;
    ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
    ASSERT_NE(nullptr, info);
    ASSERT_EQ(2, info->identityCount);

    const FabAPI_FabricIdentity& a = info->structFabIdentities[0];
    EXPECT_EQ(oidText(a.structFabSig.structFabricOID), kFabricA);
    EXPECT_EQ((std::vector<std::string>{sim.address(1), sim.address(0)}),
              hostsOf(a.entries, a.count))
        << "in the order they were tried";
    EXPECT_STREQ("admin", a.entries[0].pcUser);
    EXPECT_STREQ("", a.entries[0].pcPassword);
    ASSERT_EQ(3, a.structFabSig.count) << "logged in: the switch list was read";
    EXPECT_EQ("000210000060690000a1", oidText(a.structFabSig.structSwitchOIDs[0]));
    EXPECT_EQ("000210000060690000a3", oidText(a.structFabSig.structSwitchOIDs[2]));
    // The switch list is read once, through the first proxy that logs in.
    EXPECT_EQ(1u, sim.callCount(sim.address(1), 40, 257));
    EXPECT_EQ(0u, sim.callCount(sim.address(0), 40, 257));

    const FabAPI_FabricIdentity& b = info->structFabIdentities[1];
    EXPECT_EQ(oidText(b.structFabSig.structFabricOID), kFabricB);
    EXPECT_EQ(std::vector<std::string>{sim.address(2)}, hostsOf(b.entries, b.count));
    EXPECT_EQ(0, b.structFabSig.count);
    EXPECT_EQ(nullptr, b.structFabSig.structSwitchOIDs);

    EXPECT_EQ(std::vector<std::string>{sim.address(4)},
              hostsOf(info->structUnreachableEntries, info->unreachableCount));
    EXPECT_STREQ("admin", info->structUnreachableEntries[0].pcUser);
    EXPECT_STREQ("", info->structUnreachableEntries[0].pcPassword);
    EXPECT_EQ(std::vector<std::string>{sim.address(3)},
              hostsOf(info->structUnstableEntries, info->unstableCount));
    EXPECT_EQ(0, falFreeObject(info));

    // A later discovery forgets what only a removed proxy showed.
    ASSERT_EQ(0, remove(sim.address(2)));
    ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
    ASSERT_EQ(1, info->identityCount);
    EXPECT_EQ(oidText(info->structFabIdentities[0].structFabSig.structFabricOID), kFabricA);
    EXPECT_EQ(0, falFreeObject(info));
}

TEST_F(FabApiTest, DiscoveryOfAnEmptyListYieldsEmptyArrays) {
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    FabAPI_FabricDiscoveryInfo* info = nullptr;
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_DiscoverFabrics(nullptr));
    ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
    EXPECT_EQ(0, info->identityCount);
    EXPECT_EQ(nullptr, info->structFabIdentities);
    EXPECT_EQ(0, info->unreachableCount);
    EXPECT_EQ(0, info->unstableCount);
    EXPECT_EQ(0, falFreeObject(info));
}

TEST_F(FabApiTest, InitializeFabricAccessTakesAddressesFromTheCallerOrTheFile) {
    char first[] = "10.0.0.1";
    char empty[] = "";
    char second[] = "10.0.0.2";
    char* addresses[] = {first, empty, second, nullptr};
    ASSERT_EQ(0, InitializeFabricAccess(addresses));
    EXPECT_EQ(std::vector<std::string>{"10.0.0.1"}, listedHosts()) << "an empty text ends it";

    char path[] = "/tmp/fabapi-config-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string text = "10.0.0.5\n10.0.0.6\n10.0.0.5\n10.0.0.7";
    ASSERT_EQ(static_cast<ssize_t>(text.size()), write(fd, text.data(), text.size()));
    close(fd);
    ASSERT_EQ(0, setenv("FABRIC_CONFIG_FILE", path, 1));
    EXPECT_EQ(0, InitializeFabricAccess(nullptr));
    EXPECT_EQ((std::vector<std::string>{"10.0.0.5", "10.0.0.6", "10.0.0.7"}), listedHosts());

    ASSERT_EQ(0, setenv("FABRIC_CONFIG_FILE", "/nonexistent/fabapi-config", 1));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, InitializeFabricAccess(nullptr));
    ASSERT_EQ(0, unsetenv("FABRIC_CONFIG_FILE"));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, InitializeFabricAccess(nullptr));
    EXPECT_EQ(3u, listedHosts().size()) << "a failed fill leaves the list as it was";
    std::remove(path);
}

TEST_F(FabApiTest, InitializeFabricAccessWithoutAddressesOrFileStartsTheLibraryButFails) {
    ASSERT_EQ(0, unsetenv("FABRIC_CONFIG_FILE"));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, InitializeFabricAccess(nullptr));
    EXPECT_TRUE(listedHosts().empty()) << "the library is up: the list can be read";
}

TEST_F(FabApiTest, GetFabricIdentitiesListsEachFabricWithItsProxies) {
    SwitchSimulator sim(twoFabrics());
    FabricIdentitiesType* table = nullptr;

    char empty[] = "";
    char* none[] = {empty};
    ASSERT_EQ(0, InitializeFabricAccess(none));
    EXPECT_EQ(FABAPI_ERR_EMPTY_PROXY_LIST, GetFabricIdentities(&table));
    EXPECT_EQ(nullptr, table);

    std::vector<std::string> hosts = {sim.address(0), sim.address(2), sim.address(1),
                                      sim.address(4)};
    std::vector<char*> addresses;
    for (auto& host : hosts) {
        addresses.push_back(host.data());
    }
    addresses.push_back(nullptr);
    ASSERT_EQ(0, InitializeFabricAccess(addresses.data()));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, GetFabricIdentities(nullptr));
    ASSERT_EQ(0, GetFabricIdentities(&table));
    ASSERT_NE(nullptr, table);
    EXPECT_EQ(oidText(table[0].fabricOID), kFabricA);
    EXPECT_EQ(std::string(table[0].proxyAddresses[0]), sim.address(0));
    EXPECT_EQ(std::string(table[0].proxyAddresses[1]), sim.address(1));
    EXPECT_STREQ("", table[0].proxyAddresses[2]);
    EXPECT_EQ(oidText(table[1].fabricOID), kFabricB);
    EXPECT_EQ(std::string(table[1].proxyAddresses[0]), sim.address(2));
    EXPECT_STREQ("", table[1].proxyAddresses[1]);
    EXPECT_EQ('\0', table[2].fabricOID[0]);
    EXPECT_EQ(nullptr, table[2].proxyAddresses);
    EXPECT_EQ(0, falFreeObject(table));

    // Only a dead proxy: no fabric, and a table holding just its end row.
    char* dead[] = {hosts[3].data(), nullptr};
    ASSERT_EQ(0, InitializeFabricAccess(dead));
    table = nullptr;
    EXPECT_EQ(FABAPI_ERR_NO_FABRIC_FOUND, GetFabricIdentities(&table));
    ASSERT_NE(nullptr, table);
    EXPECT_EQ('\0', table[0].fabricOID[0]);
    EXPECT_EQ(nullptr, table[0].proxyAddresses);
    EXPECT_EQ(0, falFreeObject(table));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST_F(FabApiTest, TracingWritesTheCallsAndMessagesOfTheStartedCategories) {
    char path[] = "/tmp/fabapi-trace-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    char all[] = "Vosk_All";
    char session[] = "Vosk_Session";
    char unknown[] = "Vosk_Nothing";
    FabAPI_TraceID allCategories{all};
    FabAPI_TraceID sessionCategory{session};
    FabAPI_TraceID unknownCategory{unknown};

    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_StartTracing(nullptr, path));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_StartTracing(&allCategories, ""));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_Trace(&sessionCategory, nullptr));
    EXPECT_EQ(FABAPI_ERR_NOT_TRACING, FabAPI_StopTracing(&allCategories));

    // Tracing works before the library is started.
    ASSERT_EQ(0, FabAPI_StartTracing(&allCategories, path));
    EXPECT_EQ(FABAPI_ERR_ALREADY_TRACING, FabAPI_StartTracing(&sessionCategory, path));
    EXPECT_EQ(FABAPI_ERR_ALREADY_TRACING, FabAPI_StartTracing(&allCategories, path));
    EXPECT_EQ(0, FabAPI_Trace(&sessionCategory, "a caller's note"));
    EXPECT_EQ(FABAPI_ERR_NOT_TRACING, FabAPI_Trace(&unknownCategory, "lost"));
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    ASSERT_EQ(0, append("10.0.0.1", "admin", "topsecret"));
    ASSERT_EQ(0, FabAPI_ShutdownFabricAPI());

    EXPECT_EQ(0, FabAPI_StopTracing(&sessionCategory));
    EXPECT_EQ(FABAPI_ERR_NOT_TRACING, FabAPI_StopTracing(&sessionCategory));
    EXPECT_EQ(FABAPI_ERR_NOT_TRACING, FabAPI_Trace(&sessionCategory, "after stop"));
    EXPECT_EQ(0, FabAPI_StopTracing(&allCategories)) << "the other seven were still traced";
    EXPECT_EQ(FABAPI_ERR_NOT_TRACING, FabAPI_StopTracing(&allCategories));

    const std::string trace = readFile(path);
    EXPECT_NE(trace.find("a caller's note"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Entering "), std::string::npos) << trace;
    EXPECT_NE(trace.find("FabAPI_AppendProxyEntry"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Exiting "), std::string::npos) << trace;
    EXPECT_NE(trace.find("Orvane API initialized"), std::string::npos) << trace;
    EXPECT_NE(trace.find("Orvane API shut down"), std::string::npos) << trace;
    EXPECT_EQ(trace.find("after stop"), std::string::npos) << trace;
    EXPECT_EQ(trace.find("topsecret"), std::string::npos) << "no password in a trace";
    std::remove(path);
}

// Calls on many threads while another thread shuts the library down: each
// call returns a code its export may return, and shutdown completes.
TEST_F(FabApiTest, ShutdownWhileCallsAreInFlight) {
    SwitchSimulator sim(twoFabrics());
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    ASSERT_EQ(0, append(sim.address(0), "admin", "password"));
    ASSERT_EQ(0, append(sim.address(2)));

    const std::set<int> expected = {FABAPI_OK, FABAPI_ERR_PROXY_ALREADY_LISTED,
                                    FABAPI_ERR_PROXY_NOT_LISTED, FABAPI_ERR_SHUTTING_DOWN,
                                    FABAPI_ERR_NOT_INITIALIZED};
    std::atomic<bool> stop{false};
    std::atomic<int> calls{0};
    std::atomic<int> unexpected{0};
    std::atomic<int> refusedAfterShutdown{0};
    const auto check = [&](int status) {
        ++calls;
        if (expected.count(status) == 0) {
            ++unexpected;
        }
        if (status == FABAPI_ERR_NOT_INITIALIZED) {
            ++refusedAfterShutdown;
        }
    };
    std::vector<std::thread> callers;
    for (int t = 0; t < 8; ++t) {
        callers.emplace_back([&, t] {
            const std::string host = "10.1.0." + std::to_string(t);
            for (int i = 0; i < 2000 && !stop; ++i) {
                check(append(host));
                FabAPI_ProxyEntryList* list = nullptr;
                const int listed = FabAPI_ListProxyEntries(&list);
                check(listed);
                if (listed == 0) {
                    falFreeObject(list);
                }
                if (t == 0) {
                    FabAPI_FabricDiscoveryInfo* info = nullptr;
                    const int found = FabAPI_DiscoverFabrics(&info);
                    check(found);
                    if (found == 0) {
                        falFreeObject(info);
                    }
                }
                check(remove(host));
                if (refusedAfterShutdown > 100) {
                    break;
                }
            }
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(0, FabAPI_ShutdownFabricAPI());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stop = true;
    for (auto& caller : callers) {
        caller.join();
    }
    EXPECT_EQ(0, unexpected.load());
    EXPECT_GT(calls.load(), 0);
    EXPECT_GT(refusedAfterShutdown.load(), 0) << "calls went on after the shutdown";
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, append("10.1.0.99"));
}

} // namespace
