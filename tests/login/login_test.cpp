// RPC connections made by the RPC connection factory against the switch
// simulator: the password and certificate logins, their failures, bounded
// connects, and pooled connections through the connection manager.
#include <arpa/inet.h>
#include <chrono>
#include <cstring>
#include <future>
#include <memory>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

#include "connection/CertMgr.h"
#include "connection/ConnectionDescriptor.h"
#include "connection/Connection_Mgr_Impl_Std.h"
#include "connection/FabricProxyEntry.h"
#include "connection/Fabric_Connection_Factory_Impl_RPC.h"
#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/ProtocolKey.h"
#include "foundation/APIException.h"
#include "foundation/InternalTiming.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr std::uint32_t kAuthenticate = 1;
constexpr std::uint32_t kSecureLogin = 126;

// Proxy "@0" (certificate switch-01, secure-login flag on), "@1" (signed by
// a foreign authority), "@2" (a 4096-bit key), "@3" (no certificate); "@4"
// is free and served by nobody.
json fabricDocument() {
    return json::parse(R"({
      "fabrics": [
        { "name": "A", "wwn": "10:00:00:60:69:aa:00:00",
          "users": [ { "name": "admin", "password": "pass:word", "accessLevel": 3 },
                     { "name": "guest", "password": "guest", "accessLevel": 0 } ],
          "switches": [
            { "wwn": "10:00:00:60:69:aa:00:01", "firmware": "v4.1.0", "address": "@0",
              "certificate": "switch-01", "secureLogin": true },
            { "wwn": "10:00:00:60:69:aa:00:02", "address": "@1", "certificate": "switch-foreign" },
            { "wwn": "10:00:00:60:69:aa:00:03", "address": "@2", "certificate": "switch-rsa4096" },
            { "wwn": "10:00:00:60:69:aa:00:04", "address": "@3" } ] } ],
      "unservedAddresses": [ "@4" ]
    })");
}

class ShortTimeouts {
public:
    ShortTimeouts() : saved_(internalTiming()) {
        internalTiming().rpcCallTimeout = 1500ms;
        internalTiming().connectTimeout = 1500ms;
    }
    ~ShortTimeouts() { internalTiming() = saved_; }

private:
    InternalTiming saved_;
};

ConnectionDescriptor descriptor(const std::string& address, const std::string& user,
                                const std::string& password, int mode) {
    return ConnectionDescriptor(rpcProtocolKey(),
                                FabricProxyEntry(user, password, IPAddress(address.c_str())), mode);
}

struct Failure {
    std::string message;
    int code = 0;
};

// What creating a connection threw; a made connection is a test failure.
Failure createFails(const ConnectionDescriptor& d) {
    try {
        std::unique_ptr<Fabric_Connection_Ifc> made(
            Fabric_Connection_Factory_Impl_RPC::instance()->createFabricConnection(d));
        ADD_FAILURE() << "a connection was made";
    } catch (const APIException& e) {
        return {e.getMessage(), e.getCode()};
    }
    return {};
}

std::unique_ptr<Fabric_Connection_Impl_RPC> create(const ConnectionDescriptor& d) {
    return std::unique_ptr<Fabric_Connection_Impl_RPC>(static_cast<Fabric_Connection_Impl_RPC*>(
        Fabric_Connection_Factory_Impl_RPC::instance()->createFabricConnection(d)));
}

bool sendsUnixCredential(const Fabric_Connection_Impl_RPC& connection) {
    const AUTH* auth = connection.getHandle()->cl_auth;
    return auth != nullptr && auth->ah_cred.oa_flavor == AUTH_UNIX;
}

class LoginTest : public ::testing::Test {
protected:
    ShortTimeouts timeouts;
    SwitchSimulator sim{fabricDocument()};
};

TEST_F(LoginTest, PasswordLoginInstallsTheSwitchCredential) {
    auto connection =
        create(descriptor(sim.address(0), "admin", "pass:word", CONNECTION_LOGIN_PASSWORD));
    ASSERT_NE(nullptr, connection->getLoginSignature());
    const std::string signature = connection->getLoginSignature();
    // "<host>;<proxy wwn>;<login number>"
    EXPECT_NE(std::string::npos, signature.find(";10:00:00:60:69:aa:00:01;")) << signature;
    EXPECT_TRUE(sendsUnixCredential(*connection));
    EXPECT_EQ(1u, sim.callCount(sim.address(0), kAuthenticate));
    // The logged-in connection works.
    EXPECT_EQ("10:00:00:60:69:aa:00:01", connection->getProxyWWNAddress().toString());
    EXPECT_EQ("10:00:00:60:69:aa:00:00", connection->getFabricWWNAddress().toString());
    EXPECT_EQ("v4.1.0", connection->getProxyVersion().toString());
    EXPECT_EQ(0, connection->checkStatus().code);
    EXPECT_EQ("RPC connection success.", connection->checkStatus().text);
    EXPECT_TRUE(connection->hasLoginCredentials());
    // The interface's handle is the same RPC client.
    Fabric_Connection_Ifc& asInterface = *connection;
    EXPECT_EQ(static_cast<void*>(connection->getHandle()), asInterface.getHandle());
}

TEST_F(LoginTest, PasswordLoginFailures) {
    struct Case {
        const char* user;
        const char* password;
        const char* message;
        int code;
        std::uint64_t authenticateCalls;
    } cases[] = {
        {"admin", "wrong", "Unauthorized access level", -14, 1},
        {"nobody", "pass:word", "Unauthorized access level", -14, 1},
        {"admin", "", "Unauthorized access level", -14, 1},
        {"", "pass:word", "User Entry NULL.", -14, 0},
    };
    for (const Case& c : cases) {
        sim.resetCounters();
        const Failure failure =
            createFails(descriptor(sim.address(0), c.user, c.password, CONNECTION_LOGIN_PASSWORD));
        EXPECT_EQ(c.message, failure.message) << c.user << "/" << c.password;
        EXPECT_EQ(c.code, failure.code) << c.user << "/" << c.password;
        EXPECT_EQ(c.authenticateCalls, sim.callCount(sim.address(0), kAuthenticate));
    }
    // No reply at all.
    sim.injectFault({{"address", sim.address(0)}, {"procedure", kAuthenticate}, {"kind", "close"}});
    const Failure failure =
        createFails(descriptor(sim.address(0), "admin", "pass:word", CONNECTION_LOGIN_PASSWORD));
    EXPECT_EQ("Authenticate call failed", failure.message);
    EXPECT_EQ(-14, failure.code);
}

TEST_F(LoginTest, CertificateLoginInstallsTheSwitchCredential) {
    auto connection =
        create(descriptor(sim.address(0), "admin", "pass:word", CONNECTION_LOGIN_SIGNATURE));
    ASSERT_NE(nullptr, connection->getLoginSignature());
    EXPECT_NE(std::string::npos,
              std::string(connection->getLoginSignature()).find(";10:00:00:60:69:aa:00:01;"));
    EXPECT_TRUE(sendsUnixCredential(*connection));
    EXPECT_EQ(2u, sim.callCount(sim.address(0), kSecureLogin)); // challenge and answer
    EXPECT_EQ(0u, sim.callCount(sim.address(0), kAuthenticate));
    EXPECT_EQ(0, connection->checkStatus().code);
}

TEST_F(LoginTest, CertificateLoginFailures) {
    struct Case {
        int proxy;
        const char* password;
        const char* message;
        int code;
    } cases[] = {
        {1, "pass:word", "Signature encryption failure.", -1}, // foreign authority
        {2, "pass:word", "Signature encryption failure.", -1}, // key too large for the buffer
        {3, "pass:word", "No switch certificate.", -10300},
        {0, "wrong", "Secure login access denied", -14},
    };
    for (const Case& c : cases) {
        const Failure failure = createFails(
            descriptor(sim.address(c.proxy), "admin", c.password, CONNECTION_LOGIN_SIGNATURE));
        EXPECT_EQ(c.message, failure.message) << "proxy " << c.proxy;
        EXPECT_EQ(c.code, failure.code) << "proxy " << c.proxy;
    }
    struct FaultCase {
        json fault;
        const char* message;
        int code;
    } faults[] = {
        {{{"code", 293}, {"kind", "close"}}, "Null RPC response.", -10300},
        {{{"code", 293}, {"kind", "status"}, {"status", 5}}, "No switch certificate.", -10300},
        {{{"code", 1}, {"kind", "close"}}, "Authentication error", -10023},
        {{{"code", 1}, {"kind", "status"}, {"status", 7}}, "Switch error", 7},
    };
    for (FaultCase& c : faults) {
        sim.clearFaults();
        c.fault["address"] = sim.address(0);
        c.fault["procedure"] = kSecureLogin;
        sim.injectFault(c.fault);
        const Failure failure = createFails(
            descriptor(sim.address(0), "admin", "pass:word", CONNECTION_LOGIN_SIGNATURE));
        EXPECT_EQ(c.message, failure.message) << c.fault.dump();
        EXPECT_EQ(c.code, failure.code) << c.fault.dump();
    }
}

TEST_F(LoginTest, ConnectionWithoutLoginSendsNoLogin) {
    auto connection =
        create(descriptor(sim.address(0), "admin", "pass:word", CONNECTION_LOGIN_NONE));
    EXPECT_EQ(nullptr, connection->getLoginSignature());
    EXPECT_FALSE(sendsUnixCredential(*connection));
    EXPECT_TRUE(connection->hasLoginCredentials());
    EXPECT_EQ(0u, sim.callCount(sim.address(0), kAuthenticate));
    EXPECT_EQ(0u, sim.callCount(sim.address(0), kSecureLogin));
    EXPECT_TRUE(connection->queryLoginFlag());
    auto plain = create(descriptor(sim.address(1), "admin", "", CONNECTION_LOGIN_NONE));
    EXPECT_FALSE(plain->hasLoginCredentials());
    EXPECT_FALSE(plain->queryLoginFlag());
    EXPECT_EQ(sim.address(1), plain->getProxyIPAddress().c_str());
    EXPECT_EQ("admin", plain->getLoginUser());
    EXPECT_TRUE(plain->getProtocolDescriptor().equals(rpcProtocolKey()));
    // That switch reports no firmware version.
    try {
        plain->getProxyVersion();
        ADD_FAILURE() << "a version was reported";
    } catch (const ConnectionException& e) {
        EXPECT_STREQ("Switch firmware version get call failed.", e.what());
        EXPECT_EQ(-10200, e.getCode());
    }
    // A later login on it, as discovery does: certificate first, then password.
    EXPECT_THROW(plain->loginWithSignature(), ConnectionException);
    const std::string plainSignature = connection->loginWithPassword().getText();
    EXPECT_STREQ(plainSignature.c_str(), connection->getLoginSignature());
    // Two connections with equal descriptors are distinct.
    auto twin = create(descriptor(sim.address(0), "admin", "pass:word", CONNECTION_LOGIN_NONE));
    EXPECT_FALSE(connection->equals(*twin));
    EXPECT_TRUE(connection->equals(*connection));
}

// The status with which the switch answers a challenge answer of `text`.
int answerStatus(Fabric_Connection_Impl_RPC& connection, const std::string& certificate,
                 const std::string& text) {
    char cipher[512] = {};
    int length = sizeof(cipher);
    EXPECT_EQ(0, createCertificateManager()->encryptForSwitch(
                     certificate.data(), static_cast<int>(certificate.size()),
                     reinterpret_cast<const unsigned char*>(text.c_str()),
                     static_cast<int>(text.size() + 1), cipher, &length));
    MPSRequestArgs login{};
    login.requestType = 1;
    std::memcpy(login.MPSRequestArgs_u.login.data, cipher, static_cast<std::size_t>(length));
    login.MPSRequestArgs_u.login.length = length;
    MPSReply* reply = connection.rpcSecureLogin(&login);
    EXPECT_NE(nullptr, reply);
    const int status = reply != nullptr ? reply->status : 1;
    Fabric_Connection_Impl_RPC::freeReply(xdr_MPSReply, reply);
    return status;
}

TEST_F(LoginTest, SwitchTakesEachChallengeAnswerOnce) {
    auto connection =
        create(descriptor(sim.address(0), "admin", "pass:word", CONNECTION_LOGIN_NONE));
    MPSRequestArgs challenge{};
    challenge.requestType = 293;
    MPSReply* offer = connection->rpcSecureLogin(&challenge);
    ASSERT_NE(nullptr, offer);
    const auto& body = offer->body.MPSReplyBody_u.certificate;
    const std::string certificate(body.certificate.certificate_val,
                                  body.certificate.certificate_len);
    const int counter = body.counter;
    Fabric_Connection_Impl_RPC::freeReply(xdr_MPSReply, offer);

    const std::string answer = std::to_string(counter) + ":admin:pass:word";
    EXPECT_EQ(-1, answerStatus(*connection, certificate,
                               std::to_string(counter + 1000) + ":admin:pass:word"));
    EXPECT_EQ(0, answerStatus(*connection, certificate, answer));
    EXPECT_EQ(-1, answerStatus(*connection, certificate, answer)); // a replay
}

TEST_F(LoginTest, UnreachableProxyFailsWithinTheConnectTimeout) {
    const auto start = std::chrono::steady_clock::now();
    const Failure failure =
        createFails(descriptor(sim.address(4), "admin", "pass:word", CONNECTION_LOGIN_PASSWORD));
    EXPECT_EQ("Unable to establish RPC connnection", failure.message);
    EXPECT_EQ(-10023, failure.code);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
}

TEST_F(LoginTest, SilentProxyFailsWithinTheConnectTimeout) {
    // A portmapper that accepts connections and never answers.
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    const int reuse = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof(reuse));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(111);
    ASSERT_EQ(1, inet_pton(AF_INET, sim.address(4).c_str(), &address.sin_addr));
    ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)));
    ASSERT_EQ(0, listen(listener, 4));

    const auto start = std::chrono::steady_clock::now();
    const Failure failure =
        createFails(descriptor(sim.address(4), "admin", "pass:word", CONNECTION_LOGIN_PASSWORD));
    const auto took = std::chrono::steady_clock::now() - start;
    close(listener);
    EXPECT_EQ("Unable to establish RPC connnection", failure.message);
    EXPECT_EQ(-10023, failure.code);
    EXPECT_GE(took, 1000ms);
    EXPECT_LT(took, 5s);
}

TEST_F(LoginTest, ManagerPoolsAtMostFiveLoggedInConnectionsAndReusesThem) {
    createConnectionManager(5,
                            {{rpcProtocolKey(), Fabric_Connection_Factory_Impl_RPC::instance()}});
    Connection_Mgr_Ifc* manager = getConnectionManager();
    ASSERT_NE(nullptr, manager);
    const ConnectionDescriptor d =
        descriptor(sim.address(0), "admin", "pass:word", CONNECTION_LOGIN_PASSWORD);
    std::vector<Fabric_Connection_Ifc*> taken;
    for (int i = 0; i < 5; ++i) {
        taken.push_back(manager->getConnection(d));
        ASSERT_NE(nullptr, taken.back());
    }
    EXPECT_EQ(5u, sim.callCount(sim.address(0), kAuthenticate));

    // A sixth caller waits until a connection comes back, and gets that one.
    auto sixth = std::async(std::launch::async, [&] { return manager->getConnection(d); });
    EXPECT_EQ(std::future_status::timeout, sixth.wait_for(200ms));
    manager->returnConnection(taken[2]);
    ASSERT_EQ(std::future_status::ready, sixth.wait_for(10s));
    EXPECT_EQ(taken[2], sixth.get());
    EXPECT_EQ(5u, sim.callCount(sim.address(0), kAuthenticate)); // reused, no new login
    EXPECT_EQ(0, taken[2]->checkStatus().code);

    for (Fabric_Connection_Ifc* connection : taken) {
        manager->returnConnection(connection);
    }
    deleteConnectionManager();
}

TEST(RPCSecureSig, KeepsABoundedTerminatedCopy) {
    const std::string longText(400, 'x');
    RPCSecureSig credential(longText.c_str(), 3);
    EXPECT_EQ(std::string(RPCSecureSig::TextSize - 1, 'x'), credential.getText());
    RPCSecureSig copy(credential);
    EXPECT_NE(credential.getText(), copy.getText());
    EXPECT_STREQ(credential.getText(), copy.getText());
    EXPECT_EQ(3, copy.getNumber());
    RPCSecureSig empty(nullptr, 0);
    EXPECT_STREQ("", empty.getText());
}

} // namespace

namespace {

// A switch that refuses every call without a credential it granted.
json checkedFabric() {
    return json::parse(R"({
      "fabrics": [
        { "name": "C", "wwn": "10:00:00:60:69:cc:00:00", "credentials": "required",
          "users": [ { "name": "admin", "password": "secret", "accessLevel": 2 } ],
          "switches": [
            { "wwn": "10:00:00:60:69:cc:00:01", "firmware": "v4.1.0", "address": "@0",
              "certificate": "switch-02" } ] } ]
    })");
}

class CredentialTest : public ::testing::Test {
protected:
    ShortTimeouts timeouts;
    SwitchSimulator sim{checkedFabric()};
};

TEST_F(CredentialTest, LaterCallsCarryTheGrantedCredential) {
    for (int mode : {CONNECTION_LOGIN_PASSWORD, CONNECTION_LOGIN_SIGNATURE}) {
        auto connection = create(descriptor(sim.address(0), "admin", "secret", mode));
        EXPECT_EQ("10:00:00:60:69:cc:00:00", connection->getFabricWWNAddress().toString())
            << "mode " << mode;
    }
    // Without a login the switch refuses the call.
    auto anonymous = create(descriptor(sim.address(0), "admin", "secret", CONNECTION_LOGIN_NONE));
    try {
        anonymous->getFabricWWNAddress();
        ADD_FAILURE() << "a call without credential was answered";
    } catch (const ConnectionException& e) {
        EXPECT_EQ(-56, e.getCode());
        EXPECT_STREQ("getFabricWWNAddress call in Fabric_Connection_Impl_RPC failed", e.what());
    }
    EXPECT_EQ(1, anonymous->checkStatus().code);
    EXPECT_EQ("RPC connection failure.", anonymous->checkStatus().text);
    // A credential the switch did not grant is refused too.
    anonymous->installCredential(RPCSecureSig("host;10:00:00:60:69:cc:00:01;999", 2));
    EXPECT_EQ(1, anonymous->checkStatus().code);
    // Once logged in, it works.
    anonymous->loginWithPassword();
    EXPECT_EQ(0, anonymous->checkStatus().code);
}

TEST_F(CredentialTest, AFreshHandleAfterATimeOutKeepsTheCredential) {
    auto connection =
        create(descriptor(sim.address(0), "admin", "secret", CONNECTION_LOGIN_PASSWORD));
    sim.injectFault(
        {{"address", sim.address(0)}, {"procedure", 2}, {"kind", "noReply"}, {"count", 1}});
    EXPECT_THROW(connection->getFabricWWNAddress(), ConnectionException);
    EXPECT_EQ("10:00:00:60:69:cc:00:00", connection->getFabricWWNAddress().toString());
    EXPECT_EQ(1u, sim.callCount(sim.address(0), kAuthenticate));
}

} // namespace
