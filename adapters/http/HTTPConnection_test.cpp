#include "adapters/http/HTTPConnection.h"
#include "adapters/http/HTTPConnectionFactory.h"
#include "adapters/http/HTTPStatus.h"
#include "adapters/http/HttpTrace.h"
#include "adapters/http/testing/TestPageServer.h"
#include "foundation/APIException.h"
#include "foundation/InternalTiming.h"
#include "foundation/Logging.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

std::string switchPage(const std::string& lines) {
    return "HTTP/1.0 200 OK\r\n\r\n<HTML>\r\n<BODY>\r\n" + lines + "</BODY>\r\n</HTML>\r\n";
}

ConnectionDescriptor httpDescriptor(const std::string& host) {
    return ConnectionDescriptor(httpProtocolKey(),
                                FabricProxyEntry("admin", "secret", IPAddress(host.c_str())),
                                CONNECTION_LOGIN_NONE);
}

class HTTPConnectionTest : public ::testing::Test {
protected:
    void SetUp() override { internalTiming().httpQuietTimeout = 300ms; }

    std::unique_ptr<HTTPConnection> connect(const std::string& lines) {
        server = std::make_unique<TestPageServer>(
            HTTP_PAGE_PORT, [page = switchPage(lines)](const std::string&) { return page; });
        return std::make_unique<HTTPConnection>(httpDescriptor(server->address()));
    }

    std::unique_ptr<TestPageServer> server;
};

TEST_F(HTTPConnectionTest, LearnsNameAndVersionFromSwitchPage) {
    auto connection = connect("swWwn:10:00:00:60:69:12:34:56\r\nswFWVersion:v3.1.0\r\n");
    EXPECT_EQ(connection->getPageStatus(), 0);
    const ConnectionStatus status = connection->checkStatus();
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(status.text, "HTTP Connection Ready");
    EXPECT_EQ(connection->getProxyWWNAddress().toString(), "10:00:00:60:69:12:34:56");
    EXPECT_EQ(connection->getProxyVersion().toString(), "v3.1.0");
    EXPECT_EQ(std::string(connection->getProxyIPAddress().c_str()), server->address());
    EXPECT_TRUE(connection->getProtocolDescriptor() == httpProtocolKey());
    EXPECT_EQ(connection->getLoginUser(), "admin");
    EXPECT_EQ(connection->getLoginPassword(), "secret");
    EXPECT_EQ(connection->getHandle(), connection.get());
    EXPECT_EQ(server->requests().at(0),
              "GET /switch.html HTTP/1.0\r\nUser-Agent: PelmarClient/1.0\r\n\r\n");
}

TEST_F(HTTPConnectionTest, FabricNameIsUnsupportedAndEqualityIsIdentity) {
    auto connection = connect("swWwn:10:00:00:60:69:12:34:56\r\n");
    try {
        connection->getFabricWWNAddress();
        FAIL() << "no exception";
    } catch (const ConnectionException& e) {
        EXPECT_EQ(e.getMessage(), "Unsupported operation.");
        EXPECT_EQ(e.getCode(), API_EXCEPTION_DEFAULT_CODE);
    }
    HTTPConnection other(httpDescriptor(server->address()));
    EXPECT_TRUE(connection->equals(*connection));
    EXPECT_FALSE(connection->equals(other));
    EXPECT_NE(connection->hashCode(), other.hashCode());
}

TEST_F(HTTPConnectionTest, VersionWithoutNameLeavesConnectionFailed) {
    auto connection = connect("swFWVersion:v2.3\r\n");
    const ConnectionStatus status = connection->checkStatus();
    EXPECT_EQ(status.code, 1);
    EXPECT_EQ(status.text, "HTTP Connection Failed");
    EXPECT_EQ(connection->getProxyVersion().toString(), "v2.3");
    try {
        connection->getProxyWWNAddress();
        FAIL() << "no exception";
    } catch (const ConnectionException& e) {
        EXPECT_EQ(e.getMessage(), "Unavailable.");
    }
}

struct NameCase {
    const char* name;
    const char* lines;
    const char* expected; // empty: no name
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.name;
}

class ProxyNameLines : public HTTPConnectionTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(ProxyNameLines, GiveTheName) {
    auto connection = connect(GetParam().lines);
    if (*GetParam().expected == '\0') {
        EXPECT_EQ(connection->checkStatus().code, 1);
        EXPECT_THROW(connection->getProxyWWNAddress(), ConnectionException);
    } else {
        EXPECT_EQ(connection->checkStatus().code, 0);
        EXPECT_EQ(connection->getProxyWWNAddress().toString(), GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProxyNameLines,
    ::testing::Values(NameCase{"LaterLineWins",
                               "swWwn=10:00:00:00:00:00:00:01\r\nswWwn=20:00:00:00:00:00:00:02\r\n",
                               "20:00:00:00:00:00:00:02"},
                      NameCase{"ShortValueFillsWhatIsRead", "swWwn=ab-cd-e\r\n",
                               "ab:cd:0e:00:00:00:00:00"},
                      NameCase{"AnySeparator", "x swWwn 10.00.00.60.69.12.34.56 y\r\n",
                               "10:00:00:60:69:12:34:56"},
                      NameCase{"KeyAtLineEnd", "swWwn\r\nswWwn=\r\n", ""},
                      NameCase{"NoHexDigits", "swWwn=zz:zz\r\n", ""},
                      NameCase{"NoKey", "wwn=10:00:00:00:00:00:00:01\r\n", ""}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return info.param.name; });

TEST_F(HTTPConnectionTest, FactoryMakesConnectionsOnlyForReadablePages) {
    HTTPConnectionFactory& factory = *getHTTPConnectionFactory();
    {
        TestPageServer ok(HTTP_PAGE_PORT, [](const std::string&) {
            return switchPage("swWwn:10:00:00:60:69:12:34:56\r\n");
        });
        Fabric_Connection_Ifc* made = factory.createFabricConnection(httpDescriptor(ok.address()));
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->checkStatus().code, 0);
        factory.destroyFabricConnection(made);
    }
    struct Refusal {
        TestPageServer::Handler handler;
        int code;
    };
    for (const Refusal& refusal :
         {Refusal{[](const std::string&) { return std::string("HTTP/1.0 404 Not Found\r\n\r\n"); },
                  HTTP_ERR_BAD_RESPONSE},
          Refusal{[](const std::string&) { return std::string(); }, HTTP_ERR_BAD_RESPONSE}}) {
        TestPageServer server(HTTP_PAGE_PORT, refusal.handler);
        try {
            factory.destroyFabricConnection(
                factory.createFabricConnection(httpDescriptor(server.address())));
            ADD_FAILURE() << "made a connection";
        } catch (const ConnectionException& e) {
            EXPECT_EQ(e.getCode(), refusal.code);
        }
    }
    factory.destroyFabricConnection(nullptr);
}

TEST_F(HTTPConnectionTest, FactoryRefusesSwitchWithoutWebServer) {
    std::string address;
    {
        TestPageServer gone(HTTP_PAGE_PORT);
        address = gone.address();
    }
    try {
        getHTTPConnectionFactory()->createFabricConnection(httpDescriptor(address));
        FAIL() << "made a connection";
    } catch (const ConnectionException& e) {
        EXPECT_EQ(e.getCode(), HTTP_ERR_CONNECT);
    }
}

TEST_F(HTTPConnectionTest, TracesUnderItsOwnLoggerWithoutThePassword) {
    TraceCapture capture(HTTP_LOGGER);
    ASSERT_TRUE(capture.started());
    {
        auto connection = connect("swWwn:10:00:00:60:69:12:34:56\r\n");
        EXPECT_EQ(connection->getLoginPassword(), "secret");
    }
    const std::string text = capture.finish();
    EXPECT_NE(text.find("Entering "), std::string::npos);
    EXPECT_NE(text.find("Exiting "), std::string::npos);
    EXPECT_NE(text.find("HTTPClient_1_0::get"), std::string::npos);
    EXPECT_NE(text.find("Remote IP = "), std::string::npos);
    EXPECT_EQ(text.find("secret"), std::string::npos);
}

} // namespace
