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
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, append("127.66.0.1"));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, remove("127.66.0.1"));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ListProxyEntries(&list));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_DiscoverFabrics(&info));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ShutdownFabricAPI());

    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    EXPECT_EQ(FABAPI_ERR_ALREADY_INITIALIZED, FabAPI_InitializeFabricAPI(nullptr));
    ASSERT_EQ(0, append("127.66.0.1"));
    EXPECT_EQ(FABAPI_ERR_ALREADY_INITIALIZED, FabAPI_InitializeFabricAPI(nullptr));
    EXPECT_EQ(std::vector<std::string>{"127.66.0.1"}, listedHosts()) << "a second start keeps it";

    ASSERT_EQ(0, FabAPI_ShutdownFabricAPI());
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, append("127.66.0.2"));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ListProxyEntries(&list));
    EXPECT_EQ(nullptr, list);

    // Started again, the library works with an empty proxy list.
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    EXPECT_TRUE(listedHosts().empty());
    EXPECT_EQ(42, fnOrvane());
}

TEST_F(FabApiTest, ProxyListKeepsOneEntryPerHostAndHandsOutNoPassword) {
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    EXPECT_EQ(0, append("127.66.0.1", "admin", "secret"));
    EXPECT_EQ(FABAPI_ERR_PROXY_ALREADY_LISTED, append("127.66.0.1", "other", "x"));
    EXPECT_EQ(0, append("127.66.0.2", "ops", ""));

    FabAPI_ProxyEntry noPassword = entry("127.66.0.3", "admin", nullptr);
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
    EXPECT_STREQ("127.66.0.1", list->entries[0].pcHostName);
    EXPECT_STREQ("admin", list->entries[0].pcUser) << "the first entry stays";
    EXPECT_STREQ("", list->entries[0].pcPassword);
    EXPECT_STREQ("ops", list->entries[1].pcUser);
    EXPECT_EQ(0, falFreeObject(list));

    EXPECT_EQ(FABAPI_ERR_PROXY_NOT_LISTED, remove("127.66.0.9"));
    EXPECT_EQ(0, remove("127.66.0.1", "someone", nullptr)) << "the host alone decides";
    EXPECT_EQ(std::vector<std::string>{"127.66.0.2"}, listedHosts());
    EXPECT_EQ(0, remove("127.66.0.2"));
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
    char first[] = "127.66.0.1";
    char empty[] = "";
    char second[] = "127.66.0.2";
    char* addresses[] = {first, empty, second, nullptr};
    ASSERT_EQ(0, InitializeFabricAccess(addresses));
    EXPECT_EQ(std::vector<std::string>{"127.66.0.1"}, listedHosts()) << "an empty text ends it";

    char path[] = "/tmp/fabapi-config-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    const std::string text = "127.66.0.5\n127.66.0.6\n127.66.0.5\n127.66.0.7";
    ASSERT_EQ(static_cast<ssize_t>(text.size()), write(fd, text.data(), text.size()));
    close(fd);
    ASSERT_EQ(0, setenv("FABRIC_CONFIG_FILE", path, 1));
    EXPECT_EQ(0, InitializeFabricAccess(nullptr));
    EXPECT_EQ((std::vector<std::string>{"127.66.0.5", "127.66.0.6", "127.66.0.7"}), listedHosts());

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

// A temporary configuration file named by FABRIC_CONFIG_FILE.
class ConfigFile {
public:
    explicit ConfigFile(const std::string& content) {
        char name[] = "/tmp/fabapi-config-XXXXXX";
        const int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        path_ = name;
        EXPECT_EQ(static_cast<ssize_t>(content.size()), write(fd, content.data(), content.size()));
        close(fd);
        setenv("FABRIC_CONFIG_FILE", path_.c_str(), 1);
    }
    ~ConfigFile() {
        unsetenv("FABRIC_CONFIG_FILE");
        std::remove(path_.c_str());
    }

private:
    std::string path_;
};

// What a door does with a text: enters it, refuses it (-3, nothing
// entered), or takes it as the end of the list (0, nothing entered).
enum class Door { Enters, Refuses, Ends };

TEST_F(FabApiTest, OnlyAddressesAndHostNamesAreEnteredAsProxies) {
    struct Case {
        const char* name;
        std::string text;
        Door append;
        Door array;
        Door file; // the text as the file's only line, without line end
    };
    const std::vector<Case> cases = {
        {"address", "127.66.0.1", Door::Enters, Door::Enters, Door::Enters},
        {"host name", "switch-7.fabric", Door::Enters, Door::Enters, Door::Enters},
        {"255 characters", std::string(255, 'h'), Door::Enters, Door::Enters, Door::Enters},
        {"empty", "", Door::Refuses, Door::Ends, Door::Ends},
        {"format directives", "%s%s%n%n", Door::Refuses, Door::Refuses, Door::Refuses},
        {"with a port", "127.0.0.1:80", Door::Refuses, Door::Refuses, Door::Refuses},
        {"trailing blank", "127.66.0.1 ", Door::Refuses, Door::Refuses, Door::Refuses},
        {"inner blank", "switch 7", Door::Refuses, Door::Refuses, Door::Refuses},
        {"underscore", "switch_7", Door::Refuses, Door::Refuses, Door::Refuses},
        {"256 characters", std::string(256, 'h'), Door::Refuses, Door::Refuses, Door::Refuses},
        {"10 MB", std::string(10 << 20, 'h'), Door::Refuses, Door::Refuses, Door::Refuses},
    };
    const std::string before = "127.66.9.9";
    const auto listedAfter = [&](Door door, const std::string& text) {
        return door == Door::Enters ? std::vector<std::string>{text}
               : door == Door::Ends ? std::vector<std::string>{}
                                    : std::vector<std::string>{before};
    };
    const auto statusOf = [](Door door) { return door == Door::Refuses ? -3 : 0; };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
        EXPECT_EQ(statusOf(c.append), append(c.text));
        EXPECT_EQ(c.append == Door::Enters ? std::vector<std::string>{c.text}
                                           : std::vector<std::string>{},
                  listedHosts());

        std::string first = before;
        char* previous[] = {first.data(), nullptr};
        ASSERT_EQ(0, InitializeFabricAccess(previous));
        std::string text = c.text;
        char* addresses[] = {text.data(), nullptr};
        EXPECT_EQ(statusOf(c.array), InitializeFabricAccess(addresses));
        EXPECT_EQ(listedAfter(c.array, c.text), listedHosts());

        ASSERT_EQ(0, InitializeFabricAccess(previous));
        {
            ConfigFile file(c.text);
            EXPECT_EQ(statusOf(c.file), InitializeFabricAccess(nullptr));
        }
        EXPECT_EQ(listedAfter(c.file, c.text), listedHosts());
        ASSERT_EQ(0, FabAPI_ShutdownFabricAPI());
    }
}

TEST_F(FabApiTest, ALineFeedEndsAConfigurationLineButNoCallersText) {
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, append("127.66.0.1\n"));
    char text[] = "127.66.0.1\n";
    char* addresses[] = {text, nullptr};
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, InitializeFabricAccess(addresses));
    EXPECT_TRUE(listedHosts().empty());

    ConfigFile file("127.66.0.1\r\n127.66.0.2\n\n127.66.0.3\r");
    EXPECT_EQ(0, InitializeFabricAccess(nullptr));
    EXPECT_EQ((std::vector<std::string>{"127.66.0.1", "127.66.0.2", "127.66.0.3"}), listedHosts());
}

TEST_F(FabApiTest, RefusedArgumentsDoNotStartTheLibrary) {
    FabAPI_ProxyEntryList* list = nullptr;
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, GetFabricIdentities(nullptr));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ListProxyEntries(&list)) << "still not started";

    char bad[] = "127.0.0.1:80";
    char* addresses[] = {bad, nullptr};
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, InitializeFabricAccess(addresses));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, FabAPI_ListProxyEntries(&list)) << "still not started";
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
    ASSERT_EQ(0, append("127.66.0.1", "admin", "topsecret"));
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

TEST_F(FabApiTest, TracingIntoAFileThatCannotBeOpenedStartsNothing) {
    char all[] = "Vosk_All";
    char session[] = "Vosk_Session";
    FabAPI_TraceID allCategories{all};
    FabAPI_TraceID sessionCategory{session};
    const char unwritable[] = "/nonexistent-fabapi-folder/trace.txt";

    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_StartTracing(&allCategories, unwritable));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_StartTracing(&sessionCategory, unwritable));
    EXPECT_EQ(FABAPI_ERR_NOT_TRACING, FabAPI_StopTracing(&allCategories)) << "nothing started";
    EXPECT_EQ(FABAPI_ERR_NOT_TRACING, FabAPI_Trace(&sessionCategory, "lost"));

    // A category already traced stays so, whatever file the second start names.
    char path[] = "/tmp/fabapi-trace-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    ASSERT_EQ(0, FabAPI_StartTracing(&sessionCategory, path));
    EXPECT_EQ(FABAPI_ERR_ALREADY_TRACING, FabAPI_StartTracing(&sessionCategory, unwritable));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, FabAPI_StartTracing(&allCategories, unwritable))
        << "seven categories were left to start";
    EXPECT_EQ(0, FabAPI_StopTracing(&sessionCategory));
    EXPECT_EQ(FABAPI_ERR_NOT_TRACING, FabAPI_StopTracing(&allCategories));
    std::remove(path);
}

// Calls on many threads while another thread shuts the library down: each
// call returns a code its export may return, shutdown completes, and every
// caller goes on calling until it has seen the library shut down.
TEST_F(FabApiTest, ShutdownWhileCallsAreInFlight) {
    constexpr int kCallers = 8;
    json fabric = twoFabrics();
    // Each caller lists an address of its own where nothing listens, so the
    // discovering caller's connections to it are refused at once.
    for (int t = 0; t < kCallers; ++t) {
        fabric["unservedAddresses"].push_back("@" + std::to_string(5 + t));
    }
    SwitchSimulator sim(fabric);
    ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    ASSERT_EQ(0, append(sim.address(0), "admin", "password"));
    ASSERT_EQ(0, append(sim.address(2)));

    const std::set<int> expected = {FABAPI_OK, FABAPI_ERR_PROXY_ALREADY_LISTED,
                                    FABAPI_ERR_PROXY_NOT_LISTED, FABAPI_ERR_SHUTTING_DOWN,
                                    FABAPI_ERR_NOT_INITIALIZED};
    std::atomic<int> unexpected{0};
    std::atomic<int> running{0};
    std::atomic<int> sawShutDown{0};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::vector<std::thread> callers;
    for (int t = 0; t < kCallers; ++t) {
        callers.emplace_back([&, t] {
            const std::string host = sim.address(5 + t);
            bool counted = false;
            bool shutDown = false;
            const auto check = [&](int status) {
                unexpected += expected.count(status) == 0 ? 1 : 0;
                shutDown = shutDown || status == FABAPI_ERR_NOT_INITIALIZED;
            };
            while (!shutDown && std::chrono::steady_clock::now() < deadline) {
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
                if (!counted) {
                    counted = true;
                    ++running;
                }
            }
            sawShutDown += shutDown ? 1 : 0;
        });
    }
    // Shut down once every caller is under way.
    while (running < kCallers && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(kCallers, running.load());
    EXPECT_EQ(0, FabAPI_ShutdownFabricAPI());
    for (auto& caller : callers) {
        caller.join();
    }
    EXPECT_EQ(0, unexpected.load());
    EXPECT_EQ(kCallers, sawShutDown.load()) << "every caller saw the library shut down";
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, append(sim.address(5)));
}

} // namespace
