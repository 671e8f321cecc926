// The switch simulator as a client sees it: rpcbind answers, the
// management procedures answered from the fabric file, injected faults,
// call counters, control requests and the process life.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <rpc/pmap_clnt.h>
#include <rpc/rpc.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "remote_api.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using nlohmann::json;

constexpr unsigned char kFabricA[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x00};
constexpr unsigned char kProxyA[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x01};
constexpr unsigned char kSwitchA2[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x02};
constexpr unsigned char kSwitchA3[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x03};
constexpr unsigned char kProxyB[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xBB, 0x00, 0x01};
constexpr unsigned char kUnknown[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xCC, 0x00, 0x01};

// Two fabrics: A with its own fabric name, a proxy, a second switch and
// one that reports no firmware; B with only its proxy (whose name is the
// fabric's). "@2" is picked but never served.
json twoFabrics() {
    return json::parse(R"({
      "fabrics": [
        { "name": "A", "wwn": "10:00:00:60:69:aa:00:00",
          "users": [ { "name": "admin", "password": "secret" } ],
          "switches": [
            { "wwn": "10:00:00:60:69:aa:00:01", "firmware": "v4.1.0", "address": "@0" },
            { "wwn": "1000006069aa0002", "firmware": "v3.2.1" },
            { "wwn": "10:00:00:60:69:aa:00:03" } ] },
        { "name": "B",
          "switches": [
            { "wwn": "10:00:00:60:69:bb:00:01", "firmware": "v2.6.0", "address": "@1" } ] } ],
      "unservedAddresses": [ "@2" ]
    })");
}

struct ClientDeleter {
    void operator()(CLIENT* client) const { clnt_destroy(client); }
};
using Client = std::unique_ptr<CLIENT, ClientDeleter>;

// A management client found through rpcbind, as the library makes it.
Client managementClient(const std::string& address,
                        std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    Client client(clnt_create(address.c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp"));
    if (client) {
        timeval tv{static_cast<time_t>(timeout.count() / 1000),
                   static_cast<suseconds_t>(timeout.count() % 1000 * 1000)};
        clnt_control(client.get(), CLSET_TIMEOUT, reinterpret_cast<char*>(&tv));
    }
    return client;
}

// xdr_void takes no arguments; the cast goes through the generic function type.
const xdrproc_t kXdrVoid = reinterpret_cast<xdrproc_t>(reinterpret_cast<void (*)()>(xdr_void));

bool sameWwn(const unsigned char* a, const unsigned char* b) {
    return std::memcmp(a, b, 8) == 0;
}

class SwitchSimulatorTest : public ::testing::Test {
protected:
    SwitchSimulator sim{twoFabrics()};
};

TEST_F(SwitchSimulatorTest, ClntCreateFindsTheProgramOnTwoAddressesAtOnce) {
    Client a = managementClient(sim.address(0));
    Client b = managementClient(sim.address(1));
    ASSERT_TRUE(a) << clnt_spcreateerror(sim.address(0).c_str());
    ASSERT_TRUE(b) << clnt_spcreateerror(sim.address(1).c_str());

    WWNBytes fabricA{}, fabricB{}, proxyA{}, proxyB{};
    ASSERT_EQ(rpc_get_fabric_wwn_1(nullptr, fabricA, a.get()), RPC_SUCCESS);
    ASSERT_EQ(rpc_get_fabric_wwn_1(nullptr, fabricB, b.get()), RPC_SUCCESS);
    ASSERT_EQ(rpc_get_switch_name_1(nullptr, proxyA, a.get()), RPC_SUCCESS);
    ASSERT_EQ(rpc_get_switch_name_1(nullptr, proxyB, b.get()), RPC_SUCCESS);
    EXPECT_TRUE(sameWwn(fabricA, kFabricA));
    EXPECT_TRUE(sameWwn(proxyA, kProxyA));
    // Without a "wwn" of its own a fabric is named after its first switch.
    EXPECT_TRUE(sameWwn(fabricB, kProxyB));
    EXPECT_TRUE(sameWwn(proxyB, kProxyB));

    timeval timeout{5, 0};
    EXPECT_EQ(clnt_call(a.get(), NULLPROC, kXdrVoid, nullptr, kXdrVoid, nullptr, timeout),
              RPC_SUCCESS);
}

TEST_F(SwitchSimulatorTest, ManyClientsInParallel) {
    std::vector<std::thread> threads;
    std::atomic<int> answered{0};
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            Client client = managementClient(sim.address(t % 2));
            WWNBytes wwn{};
            for (int i = 0; client && i < 20; ++i) {
                if (rpc_get_switch_name_1(nullptr, wwn, client.get()) == RPC_SUCCESS &&
                    sameWwn(wwn, t % 2 == 0 ? kProxyA : kProxyB)) {
                    ++answered;
                }
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(answered, 160);
    EXPECT_EQ(sim.callCount(sim.address(0), 3) + sim.callCount(sim.address(1), 3), 160u);
}

TEST_F(SwitchSimulatorTest, PortmapperGetportAnswersOverUdpAndTcp) {
    sockaddr_in server{};
    server.sin_family = AF_INET;
    inet_pton(AF_INET, sim.address(1).c_str(), &server.sin_addr);
    server.sin_port = htons(111);
    EXPECT_EQ(pmap_getport(&server, REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, IPPROTO_TCP),
              sim.managementPort(sim.address(1)));
    // Only the management program over TCP is registered; as rpcbind does,
    // another version of it gets its port and the server tells its versions.
    EXPECT_EQ(pmap_getport(&server, REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, IPPROTO_UDP), 0);
    EXPECT_EQ(pmap_getport(&server, REMOTE_MGMT_PROG, 2, IPPROTO_TCP),
              sim.managementPort(sim.address(1)));
    EXPECT_EQ(pmap_getport(&server, 100003, 3, IPPROTO_TCP), 0);

    // Version 2 over TCP too.
    int sock = RPC_ANYSOCK;
    server.sin_port = htons(111);
    Client client(clnttcp_create(&server, PMAPPROG, PMAPVERS, &sock, 0, 0));
    ASSERT_TRUE(client);
    pmap query{REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, IPPROTO_TCP, 0};
    u_long port = 0;
    timeval timeout{5, 0};
    ASSERT_EQ(clnt_call(client.get(), PMAPPROC_GETPORT, reinterpret_cast<xdrproc_t>(xdr_pmap),
                        reinterpret_cast<char*>(&query), reinterpret_cast<xdrproc_t>(xdr_u_long),
                        reinterpret_cast<char*>(&port), timeout),
              RPC_SUCCESS);
    EXPECT_EQ(port, sim.managementPort(sim.address(1)));
}

TEST_F(SwitchSimulatorTest, ClntCreateFailsOnAnUnservedAddress) {
    EXPECT_FALSE(managementClient(sim.address(2)));
}

TEST_F(SwitchSimulatorTest, FirmwareVersionOfEachSwitch) {
    struct Case {
        const unsigned char* wwn;
        int status;
        const char* text;
    } cases[] = {
        {kProxyA, 0, "v4.1.0"}, {kSwitchA2, 0, "v3.2.1"}, {kSwitchA3, -1, ""}, // reports no version
        {kUnknown, -1, ""},                                                    // not in the fabric
        {kProxyB, -1, ""}, // in the other fabric
    };
    Client client = managementClient(sim.address(0));
    ASSERT_TRUE(client);
    for (const auto& c : cases) {
        WWNBytes name;
        std::memcpy(name, c.wwn, 8);
        FirmwareVersionReply reply{};
        ASSERT_EQ(rpc_get_firmware_version_1(name, &reply, client.get()), RPC_SUCCESS);
        EXPECT_EQ(reply.status, c.status) << c.text;
        EXPECT_STREQ(reply.versionText, c.text);
    }
}

TEST_F(SwitchSimulatorTest, AuthenticateChecksTheFabricUsers) {
    struct Case {
        const char* login; // Base64 of password ":" user NUL
        int accessLevel;
    } cases[] = {
        {"c2VjcmV0OmFkbWluAA==", 3},  // secret:admin
        {"c2VjcmV0OmFkbWlu", 3},      // without the NUL
        {"d3Jvbmc6YWRtaW4A", -1},     // wrong:admin
        {"c2VjcmV0Om5vYm9keQA=", -1}, // secret:nobody
        {"not base64!", -1},          {"", -1},
    };
    Client client = managementClient(sim.address(0));
    ASSERT_TRUE(client);
    unsigned lastNumber = 0;
    for (const auto& c : cases) {
        std::string login = c.login;
        char* text = login.data();
        AuthReply reply{};
        ASSERT_EQ(rpc_authenticate_1(&text, &reply, client.get()), RPC_SUCCESS);
        EXPECT_EQ(reply.accessLevel, c.accessLevel) << c.login;
        if (c.accessLevel >= 0) {
            EXPECT_TRUE(sameWwn(reinterpret_cast<unsigned char*>(reply.wwn), kProxyA));
            EXPECT_GT(reply.number, lastNumber); // each login gets its own number
            lastNumber = reply.number;
        }
    }
    // Fabric B has no users at all.
    Client other = managementClient(sim.address(1));
    ASSERT_TRUE(other);
    std::string login = "c2VjcmV0OmFkbWluAA==";
    char* text = login.data();
    AuthReply reply{};
    ASSERT_EQ(rpc_authenticate_1(&text, &reply, other.get()), RPC_SUCCESS);
    EXPECT_EQ(reply.accessLevel, -1);
}

TEST_F(SwitchSimulatorTest, OtherProceduresAndVersionsAreRefused) {
    Client client = managementClient(sim.address(0));
    ASSERT_TRUE(client);
    timeval timeout{5, 0};
    EXPECT_EQ(clnt_call(client.get(), 99, kXdrVoid, nullptr, kXdrVoid, nullptr, timeout),
              RPC_PROCUNAVAIL);

    sockaddr_in server{};
    server.sin_family = AF_INET;
    inet_pton(AF_INET, sim.address(0).c_str(), &server.sin_addr);
    server.sin_port = htons(sim.managementPort(sim.address(0)));
    int sock = RPC_ANYSOCK;
    Client wrongVersion(clnttcp_create(&server, REMOTE_MGMT_PROG, 2, &sock, 0, 0));
    ASSERT_TRUE(wrongVersion);
    EXPECT_EQ(
        clnt_call(wrongVersion.get(), NULLPROC, kXdrVoid, nullptr, kXdrVoid, nullptr, timeout),
        RPC_PROGVERSMISMATCH);
}

TEST_F(SwitchSimulatorTest, ManagementRequestListsTheFabricSwitches) {
    Client client = managementClient(sim.address(0));
    ASSERT_TRUE(client);
    MSRequestArgs request{};
    request.command = 257;
    char empty[] = "";
    request.MSRequestArgs_u.fcsQuery.text = empty;
    MSReply reply{};
    ASSERT_EQ(rpc_ms_svr_request_1(&request, &reply, client.get()), RPC_SUCCESS);
    EXPECT_EQ(reply.status, 0);
    ASSERT_EQ(reply.body.command, 257);
    const auto& list = reply.body.MSReplyBody_u.elements;
    ASSERT_EQ(list.elements_len, 3u);
    EXPECT_TRUE(sameWwn(reinterpret_cast<unsigned char*>(list.elements_val[2].name), kSwitchA3));
    EXPECT_EQ(list.elements_val[2].value, 1u);
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_MSReply), reinterpret_cast<char*>(&reply));

    request.command = 4242; // no handler: the switch refuses it with a status
    ASSERT_EQ(rpc_ms_svr_request_1(&request, &reply, client.get()), RPC_SUCCESS);
    EXPECT_NE(reply.status, 0);
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_MSReply), reinterpret_cast<char*>(&reply));
}

// One call of procedure 1, 2 or 4 on a fresh client: its RPC status and,
// for procedure 4, the reply status (for 1, the access level).
struct CallResult {
    clnt_stat rpc;
    int status;
};

CallResult callProcedure(const std::string& address, int procedure,
                         std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    Client client = managementClient(address, timeout);
    if (!client) {
        return {RPC_FAILED, 0};
    }
    if (procedure == 1) {
        char login[] = "cGFzc3dvcmQ=:admin";
        char* text = login;
        AuthReply reply{};
        const clnt_stat rpc = rpc_authenticate_1(&text, &reply, client.get());
        return {rpc, reply.accessLevel};
    }
    if (procedure == 4) {
        WWNBytes name;
        std::memcpy(name, kProxyA, 8);
        FirmwareVersionReply reply{};
        const clnt_stat rpc = rpc_get_firmware_version_1(name, &reply, client.get());
        return {rpc, reply.status};
    }
    WWNBytes wwn{};
    return {rpc_get_fabric_wwn_1(nullptr, wwn, client.get()), 0};
}

// Sends `bytes` on a fresh connection to the management port and tells
// whether the simulator closed the connection (within a short bound).
bool closesAfter(const std::string& address, std::uint16_t port, const std::string& bytes) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in server{};
    server.sin_family = AF_INET;
    server.sin_port = htons(port);
    inet_pton(AF_INET, address.c_str(), &server.sin_addr);
    bool closed = false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0 &&
        send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size())) {
        timeval bound{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
        char buffer[64];
        closed = recv(fd, buffer, sizeof buffer, 0) == 0;
    }
    close(fd);
    return closed;
}

TEST_F(SwitchSimulatorTest, GarbageOnTheWireClosesOnlyThatConnection) {
    const std::string address = sim.address(0);
    const std::uint16_t port = sim.managementPort(address);
    using namespace std::string_literals;
    const std::string cases[] = {
        "\xff\xff\xff\xff"s,                                 // a record far over the bound
        "\x80\x00\x00\x08\x00\x00\x00\x01\x00\x00\x00\x01"s, // a reply, not a call
        "\x80\x00\x00\x04\x00\x00\x00\x01"s,                 // a header cut short
    };
    for (const auto& bytes : cases) {
        EXPECT_TRUE(closesAfter(address, port, bytes));
    }
    EXPECT_EQ(callProcedure(address, 2).rpc, RPC_SUCCESS);
}

TEST_F(SwitchSimulatorTest, EachFaultKind) {
    struct Case {
        const char* name;
        json fault;
        int procedure;
        clnt_stat rpc;
        int status;
    } cases[] = {
        {"status in the reply", {{"kind", "status"}, {"status", -86}}, 4, RPC_SUCCESS, -86},
        {"status without a field", {{"kind", "status"}, {"status", -86}}, 2, RPC_SYSTEMERROR, 0},
        {"status as access level", {{"kind", "status"}, {"status", -3}}, 1, RPC_SUCCESS, -3},
        {"delay", {{"kind", "delay"}, {"delayMs", 300}}, 4, RPC_SUCCESS, 0},
        {"no reply", {{"kind", "noReply"}}, 2, RPC_TIMEDOUT, 0},
        {"connection closed", {{"kind", "close"}}, 2, RPC_CANTRECV, 0},
        {"malformed", {{"kind", "malformed"}}, 2, RPC_CANTDECODERES, 0},
        {"malformed envelope", {{"kind", "malformed"}}, 4, RPC_CANTDECODERES, 0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        sim.clearFaults();
        json fault = c.fault;
        fault["address"] = sim.address(0);
        fault["procedure"] = c.procedure;
        sim.injectFault(fault);
        const auto begin = std::chrono::steady_clock::now();
        const CallResult result =
            callProcedure(sim.address(0), c.procedure, std::chrono::milliseconds(1000));
        const auto elapsed = std::chrono::steady_clock::now() - begin;
        EXPECT_EQ(result.rpc, c.rpc) << clnt_sperrno(result.rpc);
        EXPECT_EQ(result.status, c.status);
        if (fault["kind"] == "delay") {
            EXPECT_GE(elapsed, std::chrono::milliseconds(300));
        }
        // The other address is untouched.
        EXPECT_EQ(callProcedure(sim.address(1), c.procedure).rpc, RPC_SUCCESS);
    }
    sim.clearFaults();
    EXPECT_EQ(callProcedure(sim.address(0), 2).rpc, RPC_SUCCESS);
}

// The version of one switch read through address(0); -1 when the proxy
// does not find it in its fabric.
int firmwareStatusOf(const std::string& address, const unsigned char* wwn) {
    Client client = managementClient(address);
    if (!client) {
        return -100;
    }
    WWNBytes name;
    std::memcpy(name, wwn, 8);
    FirmwareVersionReply reply{};
    return rpc_get_firmware_version_1(name, &reply, client.get()) == RPC_SUCCESS ? reply.status
                                                                                 : -100;
}

TEST_F(SwitchSimulatorTest, ASwitchLeavesItsFabricAndJoinsItAgain) {
    // The proxy switch: the call that meets the fault and every call on its
    // address while it is away close the connection; the other fabric is
    // untouched; it answers again once its time away is over.
    sim.injectFault({{"address", sim.address(0)},
                     {"procedure", 4},
                     {"kind", "leaveJoin"},
                     {"absentMs", 700},
                     {"count", 1}});
    const auto left = std::chrono::steady_clock::now();
    EXPECT_EQ(callProcedure(sim.address(0), 4).rpc, RPC_CANTRECV);
    EXPECT_EQ(callProcedure(sim.address(0), 2).rpc, RPC_CANTRECV);
    EXPECT_EQ(callProcedure(sim.address(1), 2).rpc, RPC_SUCCESS);
    EXPECT_EQ(sim.state()["fabrics"][0]["switches"].size(), 2u);
    std::this_thread::sleep_until(left + std::chrono::milliseconds(900));
    EXPECT_EQ(callProcedure(sim.address(0), 4).status, 0);
    const json back = sim.state()["fabrics"][0]["switches"];
    ASSERT_EQ(back.size(), 3u);
    EXPECT_EQ(back[0]["address"], sim.address(0)) << "back at its place";

    // Another switch of the fabric: the proxy no longer finds it until it
    // is back; clearFaults brings it back at once.
    sim.injectFault({{"address", sim.address(0)},
                     {"procedure", 2},
                     {"kind", "leaveJoin"},
                     {"switch", "10:00:00:60:69:aa:00:02"},
                     {"absentMs", 60000}});
    EXPECT_EQ(callProcedure(sim.address(0), 2).rpc, RPC_CANTRECV);
    EXPECT_EQ(firmwareStatusOf(sim.address(0), kSwitchA2), -1);
    sim.clearFaults();
    EXPECT_EQ(firmwareStatusOf(sim.address(0), kSwitchA2), 0);
    EXPECT_EQ(sim.state()["fabrics"][0]["switches"][1]["wwn"], "10:00:00:60:69:aa:00:02");

    // The last switch of a fabric stays: the fault only closes the connection.
    sim.injectFault(
        {{"address", sim.address(1)}, {"procedure", 2}, {"kind", "leaveJoin"}, {"count", 1}});
    EXPECT_EQ(callProcedure(sim.address(1), 2).rpc, RPC_CANTRECV);
    EXPECT_EQ(callProcedure(sim.address(1), 2).rpc, RPC_SUCCESS);
}

TEST_F(SwitchSimulatorTest, CountedFaultFiresThatManyTimes) {
    sim.injectFault({{"procedure", 4}, {"kind", "status"}, {"status", -5}, {"count", 2}});
    EXPECT_EQ(callProcedure(sim.address(0), 4).status, -5);
    EXPECT_EQ(callProcedure(sim.address(1), 4).status, -5);
    EXPECT_EQ(callProcedure(sim.address(0), 4).status, 0);
    EXPECT_EQ(sim.request({{"op", "faults"}})["faults"].size(), 0u);
}

TEST_F(SwitchSimulatorTest, FaultOnARequestCodeLeavesOtherCodesAlone) {
    sim.injectFault({{"address", sim.address(0)},
                     {"procedure", 40},
                     {"code", 257},
                     {"kind", "status"},
                     {"status", -21}});
    Client client = managementClient(sim.address(0));
    ASSERT_TRUE(client);
    MSRequestArgs request{};
    char empty[] = "";
    request.MSRequestArgs_u.fcsQuery.text = empty;
    MSReply reply{};
    request.command = 257;
    ASSERT_EQ(rpc_ms_svr_request_1(&request, &reply, client.get()), RPC_SUCCESS);
    EXPECT_EQ(reply.status, -21);
    EXPECT_EQ(reply.body.command, 257);
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_MSReply), reinterpret_cast<char*>(&reply));
    request.command = 4242;
    ASSERT_EQ(rpc_ms_svr_request_1(&request, &reply, client.get()), RPC_SUCCESS);
    EXPECT_EQ(reply.status, -1);
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_MSReply), reinterpret_cast<char*>(&reply));
}

TEST_F(SwitchSimulatorTest, FaultsFromTheFabricFile) {
    json fabric = twoFabrics();
    fabric["faults"] = {{{"address", "@1"}, {"procedure", 2}, {"kind", "close"}}};
    SwitchSimulator faulty(fabric);
    EXPECT_EQ(callProcedure(faulty.address(0), 2).rpc, RPC_SUCCESS);
    EXPECT_NE(callProcedure(faulty.address(1), 2).rpc, RPC_SUCCESS);
}

TEST_F(SwitchSimulatorTest, CountersPerAddressProcedureAndCode) {
    Client client = managementClient(sim.address(0));
    ASSERT_TRUE(client);
    WWNBytes wwn{};
    ASSERT_EQ(rpc_get_fabric_wwn_1(nullptr, wwn, client.get()), RPC_SUCCESS);
    ASSERT_EQ(rpc_get_fabric_wwn_1(nullptr, wwn, client.get()), RPC_SUCCESS);
    MSRequestArgs request{};
    char empty[] = "";
    request.MSRequestArgs_u.fcsQuery.text = empty;
    request.command = 257;
    MSReply reply{};
    ASSERT_EQ(rpc_ms_svr_request_1(&request, &reply, client.get()), RPC_SUCCESS);
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_MSReply), reinterpret_cast<char*>(&reply));

    EXPECT_EQ(sim.callCount(sim.address(0), 2), 2u);
    EXPECT_EQ(sim.callCount(sim.address(1), 2), 0u);
    EXPECT_EQ(sim.callCount(sim.address(0), 40, 257), 1u);
    EXPECT_EQ(sim.callCount(sim.address(0), 40, 258), 0u);
    sim.resetCounters();
    EXPECT_EQ(sim.callCount(sim.address(0), 2), 0u);
}

TEST_F(SwitchSimulatorTest, StateReadOutMasksPasswords) {
    const json state = sim.state();
    ASSERT_EQ(state["fabrics"].size(), 2u);
    const json& a = state["fabrics"][0];
    EXPECT_EQ(a["wwn"], "10:00:00:60:69:aa:00:00");
    EXPECT_EQ(a["switches"].size(), 3u);
    EXPECT_EQ(a["switches"][0]["address"], sim.address(0));
    EXPECT_EQ(a["switches"][2]["firmware"], nullptr);
    EXPECT_EQ(a["users"][0]["name"], "admin");
    EXPECT_EQ(a["users"][0]["password"], "********");
    EXPECT_EQ(state.dump().find("secret"), std::string::npos);
}

TEST_F(SwitchSimulatorTest, BadControlRequestsAreRefused) {
    EXPECT_THROW(sim.request({{"op", "nonsense"}}), std::runtime_error);
    EXPECT_THROW(sim.injectFault({{"kind", "explode"}}), std::runtime_error);
    EXPECT_THROW(sim.injectFault({{"kind", "delay"}, {"delayMs", -1}}), std::runtime_error);
    EXPECT_NO_THROW(sim.request({{"op", "ping"}}));
}

TEST_F(SwitchSimulatorTest, ExitsWhenStandardInputCloses) {
    sim.closeStdin();
    const auto status = sim.waitForExit(std::chrono::seconds(10));
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 0);
}

TEST_F(SwitchSimulatorTest, StopsOnSigtermWithAClientStillConnected) {
    Client client = managementClient(sim.address(0));
    ASSERT_TRUE(client);
    sim.injectFault({{"kind", "delay"}, {"delayMs", 60000}});
    std::thread waiting([&] {
        WWNBytes wwn{};
        rpc_get_fabric_wwn_1(nullptr, wwn, client.get());
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const int status = sim.stop();
    waiting.join();
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(SwitchSimulatorFiles, RefusesAddressesOutsideLoopback) {
    json fabric = json::parse(R"({"fabrics": [{"switches": [
        {"wwn": "10:00:00:60:69:00:00:01", "address": "192.0.2.1"}]}]})"); // never contacted
    EXPECT_THROW(SwitchSimulator{fabric}, std::runtime_error);
}

TEST(SwitchSimulatorFiles, GeneratedFabrics) {
    SwitchSimulator sim(SwitchSimulator::generatedFabrics(2, 40));
    const json state = sim.state();
    ASSERT_EQ(state["fabrics"].size(), 2u);
    EXPECT_EQ(state["fabrics"][1]["switches"].size(), 40u);
    Client client = managementClient(sim.address(1));
    ASSERT_TRUE(client);
    WWNBytes fabric{};
    ASSERT_EQ(rpc_get_fabric_wwn_1(nullptr, fabric, client.get()), RPC_SUCCESS);
    const unsigned char expected[8] = {0x10, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01};
    EXPECT_TRUE(sameWwn(fabric, expected));
}

} // namespace
