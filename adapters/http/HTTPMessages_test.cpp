#include "adapters/http/HTTPRequest_1_0.h"
#include "adapters/http/HTTPResponse_1_0.h"
#include "adapters/http/HTTPStatus.h"

#include <gtest/gtest.h>

namespace {

struct RenderCase {
    const char* method;
    const char* path;
    int protocol;
    int version;
    const char* userAgent;
    const char* expected;
};

void PrintTo(const RenderCase& c, std::ostream* os) {
    *os << c.path;
}

class RequestRendering : public ::testing::TestWithParam<RenderCase> {};

TEST_P(RequestRendering, RendersExactWireText) {
    const RenderCase& c = GetParam();
    HTTPRequest_1_0 request;
    HTTPRequestLine& line = request.getHeader().getRequestLine();
    line.setMethod(c.method);
    line.setRequestPath(c.path);
    line.setProtocol(c.protocol);
    line.setVersion(c.version);
    request.getHeader().setUserAgent(c.userAgent);
    EXPECT_EQ(request.getRequest(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RequestRendering,
    ::testing::Values(
        RenderCase{"GET", "switch.html", HTTP_PROTOCOL_HTTP, HTTP_VERSION_1_0, "PelmarClient/1.0",
                   "GET /switch.html HTTP/1.0\r\nUser-Agent: PelmarClient/1.0\r\n\r\n"},
        RenderCase{"GET", "x", HTTP_PROTOCOL_HTTPS, HTTP_VERSION_1_0, "", "GET /x /1.0\r\n\r\n"},
        RenderCase{"HEAD", "", HTTP_PROTOCOL_HTTP, 0x01010000, "", "HEAD / HTTP/1.1\r\n\r\n"},
        RenderCase{"POST", "a", 0, 0, "", "POST /a /0.0\r\n\r\n"}));

TEST(RequestRendering, WritesFieldsInHeaderOrderAndDropsClearedOnes) {
    HTTPRequest_1_0 request;
    HTTPRequestMessageHeader_1_0& header = request.getHeader();
    header.getRequestLine().setMethod("GET");
    header.getRequestLine().setRequestPath("p");
    header.getRequestLine().setProtocol(HTTP_PROTOCOL_HTTP);
    header.getRequestLine().setVersion(HTTP_VERSION_1_0);
    header.setUserAgent("ua");
    header.setReferer("r");
    header.setExtensionHeader("e");
    header.setContentType("t");
    header.setPragma("no-cache");
    header.setDate("d");
    header.setFrom("f");
    header.setFrom("");
    EXPECT_EQ(header.getUserAgent(), "User-Agent: ua");
    EXPECT_EQ(header.getFrom(), "");
    EXPECT_EQ(request.getRequest(), "GET /p HTTP/1.0\r\n"
                                    "Date: d\r\nPragma: no-cache\r\n"
                                    "Content-Type: t\r\nextension-header: e\r\n"
                                    "Referer: r\r\nUser-Agent: ua\r\n\r\n");
}

struct ResponseCase {
    const char* name;
    std::string text;
    int status;       // what analyseResponse returns
    int code;         // the status code read
    int protocol;     // the protocol identifier afterwards
    std::string body; // the data lines
};

void PrintTo(const ResponseCase& c, std::ostream* os) {
    *os << c.name;
}

class ResponseParsing : public ::testing::TestWithParam<ResponseCase> {};

TEST_P(ResponseParsing, ReadsStatusAndDataLines) {
    const ResponseCase& c = GetParam();
    HTTPResponse_1_0 response;
    EXPECT_EQ(response.analyseResponse(c.text), c.status);
    EXPECT_EQ(response.getHeader().getStatusLine().getStatusCode(), c.code);
    EXPECT_EQ(response.getHeader().getStatusLine().getProtocol(), c.protocol);
    EXPECT_EQ(response.getResponseBody(), c.body);
}

const std::string kPage = "<HTML>\r\n<BODY>\r\na=1\r\n\r\nb=2\r\n</BODY>\r\n</HTML>\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, ResponseParsing,
    ::testing::Values(
        ResponseCase{"Ok", "HTTP/1.0 200 OK\r\nServer: s\r\n\r\n" + kPage, 0, 200,
                     HTTP_PROTOCOL_HTTP, "a=1\r\nb=2\r\n"},
        ResponseCase{"Http11", "HTTP/1.1 200 OK\r\n\r\n" + kPage, 0, 200, HTTP_PROTOCOL_HTTP,
                     "a=1\r\nb=2\r\n"},
        ResponseCase{"NotFoundStillSplit", "HTTP/1.0 404 Not Found\r\n\r\n" + kPage,
                     HTTP_ERR_BAD_RESPONSE, 404, HTTP_PROTOCOL_HTTP, "a=1\r\nb=2\r\n"},
        ResponseCase{"Redirect", "HTTP/1.0 302 Found\r\nLocation: /x\r\n\r\n",
                     HTTP_ERR_BAD_RESPONSE, 302, HTTP_PROTOCOL_HTTP, ""},
        ResponseCase{"Https", "HTTPS/1.0 200 OK\r\n\r\n" + kPage, 0, 200, HTTP_PROTOCOL_HTTPS,
                     "a=1\r\nb=2\r\n"},
        ResponseCase{"OtherWordKeepsProtocol", "FTP/1.0 200 OK\r\n\r\nx\r\n", 0, 200,
                     HTTP_PROTOCOL_HTTP, "x\r\n"},
        ResponseCase{"BareLfHeader", "HTTP/1.0 200 OK\nA: b\n\n<BODY>\nk=v\n</BODY>\n", 0, 200,
                     HTTP_PROTOCOL_HTTP, "k=v\n"},
        ResponseCase{"NoSlash", "garbage\r\n\r\nx\r\n", HTTP_ERR_BAD_RESPONSE, 0,
                     HTTP_PROTOCOL_HTTP, "x\r\n"},
        ResponseCase{"UnreadableCode", "HTTP/1.0 OK\r\n\r\n", HTTP_ERR_BAD_RESPONSE, 0,
                     HTTP_PROTOCOL_HTTP, ""},
        ResponseCase{"CodeOverflowUnreadable", "HTTP/1.0 99999999999 OK\r\n\r\n",
                     HTTP_ERR_BAD_RESPONSE, 0, HTTP_PROTOCOL_HTTP, ""},
        ResponseCase{"NoLineEndAtAll", "HTTP/1.0 200 OK", 0, 200, HTTP_PROTOCOL_HTTP, ""},
        ResponseCase{"NoBodyTagsFiltersWhole", "HTTP/1.0 200 OK\r\n\r\n<P>\r\nx=1\r\n\r\n\ny=2", 0,
                     200, HTTP_PROTOCOL_HTTP, "x=1\r\n\ny=2"},
        ResponseCase{"BodyAfterHeadWithoutBodyTags",
                     "HTTP/1.0 200 OK\r\n\r\npre<HEAD>t</HEAD>\r\nh=1\r\n", 0, 200,
                     HTTP_PROTOCOL_HTTP, "h=1\r\n"},
        ResponseCase{"ClosingTagBeforeOpening",
                     "HTTP/1.0 200 OK\r\n\r\n</BODY>\r\n<BODY>\r\nz=1\r\n", 0, 200,
                     HTTP_PROTOCOL_HTTP, "z=1\r\n"},
        ResponseCase{"LastLineWithoutEnd", "HTTP/1.0 200 OK\r\n\r\n<BODY>\r\nq=1</BODY>", 0, 200,
                     HTTP_PROTOCOL_HTTP, "q=1</BODY>"},
        ResponseCase{"Empty", "", HTTP_ERR_BAD_RESPONSE, 0, HTTP_PROTOCOL_HTTP, ""}),
    [](const ::testing::TestParamInfo<ResponseCase>& info) { return info.param.name; });

TEST(HTMLDocumentSplit, KeepsTheTextAroundHeadAndBody) {
    HTMLDocument document;
    document.split("pre<HEAD>h</HEAD> x\r\nmid<BODY>b\r\n</BODY>tail\r\nafter");
    EXPECT_EQ(document.getPreHead(), "pre");
    EXPECT_EQ(document.getHead().text, "<HEAD>h</HEAD> x\r\n");
    EXPECT_EQ(document.getBody().getRaw(), "<BODY>b\r\n</BODY>tail\r\n");
    EXPECT_EQ(document.getPostBody(), "after");
    EXPECT_EQ(document.getBody().getFiltered(), "");
}

} // namespace
