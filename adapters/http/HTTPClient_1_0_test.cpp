#include "adapters/http/HTTPAdapter.h"
#include "adapters/http/HTTPClient_1_0.h"
#include "adapters/http/HTTPStatus.h"
#include "adapters/http/testing/TestPageServer.h"
#include "foundation/InternalTiming.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

const std::string kRequest = "GET /switch.html HTTP/1.0\r\nUser-Agent: PelmarClient/1.0\r\n\r\n";

std::string page(const std::string& status, const std::string& bodyLines) {
    return "HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\n\r\n<HTML>\r\n<BODY>\r\n" +
           bodyLines + "</BODY>\r\n</HTML>\r\n";
}

TestPageServer::Handler answer(const std::string& text) {
    return [text](const std::string&) { return text; };
}

class HTTPClientTest : public ::testing::Test {
protected:
    void SetUp() override {
        internalTiming().httpQuietTimeout = 300ms;
        internalTiming().connectTimeout = 2000ms;
    }
    HTTPClient_1_0 client;
};

TEST_F(HTTPClientTest, FetchesPageFromServerThatClosesWithoutWaiting) {
    internalTiming().httpQuietTimeout = 20s; // a close must end the read, not the quiet time
    TestPageServer server(0, answer(page("200 OK", "a=1\r\n\r\nb=2\r\n")));
    ASSERT_EQ(client.makeConnection(server.address(), server.port()), 0);
    std::string body = "old";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.get("switch.html", body), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
    EXPECT_EQ(body, "a=1\r\nb=2\r\n");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0], kRequest);
}

struct FailureCase {
    const char* name;
    TestPageServer::Mode mode;
    std::string answer;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class HTTPClientFailure : public HTTPClientTest,
                          public ::testing::WithParamInterface<FailureCase> {};

TEST_P(HTTPClientFailure, ReturnsBadResponseAndKeepsBody) {
    TestPageServer server(0, answer(GetParam().answer), GetParam().mode);
    ASSERT_EQ(client.makeConnection(server.address(), server.port()), 0);
    std::string body = "untouched";
    EXPECT_EQ(client.get("switch.html", body), HTTP_ERR_BAD_RESPONSE);
    EXPECT_EQ(body, "untouched");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HTTPClientFailure,
    ::testing::Values(
        FailureCase{"NotFound", TestPageServer::Mode::AnswerAndClose, page("404 Not Found", "")},
        FailureCase{"ServerError", TestPageServer::Mode::AnswerAndClose,
                    page("500 Internal Server Error", "x=1\r\n")},
        FailureCase{"ClosedWithoutAnswer", TestPageServer::Mode::AnswerAndClose, ""},
        FailureCase{"SilentAfterAccept", TestPageServer::Mode::Silent, ""},
        FailureCase{"GarbageStatusLine", TestPageServer::Mode::AnswerAndClose, "\x01\x02\r\n"},
        FailureCase{"OverLongAnswer", TestPageServer::Mode::AnswerAndClose,
                    "HTTP/1.0 200 OK\r\n\r\n" + std::string(HTTP_MAX_RESPONSE_BYTES, 'x')}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

TEST_F(HTTPClientTest, ServerThatKeepsConnectionOpenEndsAfterOneQuietWait) {
    TestPageServer server(0, answer(page("200 OK", "k=v\r\n")),
                          TestPageServer::Mode::AnswerAndKeepOpen);
    ASSERT_EQ(client.makeConnection(server.address(), server.port()), 0);
    std::string body;
    EXPECT_EQ(client.get("FabricInfo.html", body), 0);
    EXPECT_EQ(body, "k=v\r\n");
}

TEST_F(HTTPClientTest, KeepsBytesAfterZeroByteInAnswer) {
    TestPageServer server(0, answer(page("200 OK", std::string("a\0b\r\nc\r\n", 8))));
    ASSERT_EQ(client.makeConnection(server.address(), server.port()), 0);
    std::string body;
    EXPECT_EQ(client.get("p", body), 0);
    EXPECT_EQ(body, std::string("a\0b\r\nc\r\n", 8));
}

TEST_F(HTTPClientTest, UnusableHostsFailWithConnectError) {
    for (const char* host : {"no-such-host.invalid", "0.0.0.0", "", "255.255.255.255"}) {
        EXPECT_EQ(client.makeConnection(host, 80), HTTP_ERR_CONNECT) << host;
        EXPECT_EQ(client.getConnectionStatus(), HTTP_CLIENT_CLOSED);
    }
    EXPECT_EQ(client.makeConnection(nullptr, 80), HTTP_ERR_CONNECT);
}

TEST_F(HTTPClientTest, RefusedConnectionFailsWithConnectError) {
    int port = 0;
    std::string address;
    {
        TestPageServer gone(0);
        port = gone.port();
        address = gone.address();
    }
    EXPECT_EQ(client.makeConnection(address, port), HTTP_ERR_CONNECT);
}

TEST_F(HTTPClientTest, ReusesConnectionToSameServerAndReconnectsToAnother) {
    TestPageServer first(0);
    TestPageServer second(0);
    ASSERT_EQ(client.makeConnection(first.address(), first.port()), 0);
    ASSERT_EQ(client.makeConnection(first.address(), first.port()), 0);
    EXPECT_EQ(client.getConnectionStatus(), HTTP_CLIENT_CONNECTED);
    ASSERT_EQ(client.makeConnection(second.address(), second.port()), 0);
    EXPECT_EQ(client.getRemoteHost(), second.address());
    for (int i = 0; i < 100 && second.connections() == 0; ++i) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(first.connections(), 1);
    EXPECT_EQ(second.connections(), 1);
}

TEST_F(HTTPClientTest, RequestsNeedAnOpenConnectionAndBothMessages) {
    std::string text;
    EXPECT_EQ(client.sendRequest("GET / HTTP/1.0\r\n\r\n", text), HTTP_ERR_NO_CLIENT);
    EXPECT_EQ(client.get("x", text), HTTP_ERR_NO_CLIENT);
    HTTPResponse_1_0 response;
    EXPECT_EQ(client.getResponse(nullptr, &response), HTTP_ERR_NO_MESSAGE);
    EXPECT_EQ(client.closeConnection(), 0);
}

TEST_F(HTTPClientTest, AdapterGivesDataLinesFromPort80AndLeavesClientClosed) {
    TestPageServer server(HTTP_PAGE_PORT, answer(page("200 OK", "a\r\n\r\n<TABLE>\r\n\nb\r\n")));
    HTTPAdapter adapter;
    adapter.setHost(server.address());
    const std::list<std::string>* lines = nullptr;
    ASSERT_EQ(adapter.GetDataPage("FabricInfo.html", lines), 0);
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(*lines, (std::list<std::string>{"a", "b"}));
    EXPECT_EQ(server.requests().at(0).rfind("GET /FabricInfo.html HTTP/1.0\r\n", 0), 0u);
}

TEST_F(HTTPClientTest, AdapterListStaysEmptyAfterFailedPage) {
    TestPageServer server(HTTP_PAGE_PORT, [](const std::string& request) {
        return request.find("/good") != std::string::npos ? page("200 OK", "x\r\n")
                                                          : page("404 Not Found", "y\r\n");
    });
    HTTPAdapter adapter;
    adapter.setHost(server.address());
    const std::list<std::string>* lines = nullptr;
    ASSERT_EQ(adapter.GetDataPage("good", lines), 0);
    EXPECT_EQ(lines->size(), 1u);
    EXPECT_EQ(adapter.GetDataPage("bad", lines), HTTP_ERR_BAD_RESPONSE);
    EXPECT_TRUE(lines->empty());
}

TEST(HTTPAdapterLines, CutsLinesLikeThePageReader) {
    std::string text = "\n\nab\r\ncd\n\r\nlast";
    EXPECT_EQ(HTTPAdapter::getOneLineFromPage(text), "ab");
    EXPECT_EQ(HTTPAdapter::getOneLineFromPage(text), "cd");
    EXPECT_EQ(HTTPAdapter::getOneLineFromPage(text), "");
    EXPECT_EQ(text, "last");
    EXPECT_EQ(HTTPAdapter::getOneLineFromPage(text), "last");
    EXPECT_EQ(text, "");
}

} // namespace
