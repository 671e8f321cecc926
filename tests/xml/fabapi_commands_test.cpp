// The FabAPI_ and identifier commands of the XML interface as a caller sees
// them: this program links libOrvane_2.so alone and reaches switches only
// through the simulator.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "orvane/xmlcommand.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using nlohmann::json;

constexpr char kFabricA[] = "000910000060690000a1";
constexpr char kFabricB[] = "000910000060690000b1";
constexpr char kSwitchA1[] = "000210000060690000a1";
constexpr char kSwitchA2[] = "000210000060690000a2";

// Fabric A: proxies @0 and @1 and a third switch; fabric B: proxy @2;
// nothing listens at @3.
json fabrics() {
    return json::parse(R"({
      "fabrics": [
        {"name": "A", "wwn": "10:00:00:60:69:00:00:a1",
         "users": [{"name": "admin", "password": "password"}],
         "switches": [
           {"wwn": "10:00:00:60:69:00:00:a1", "firmware": "v4.1.0", "address": "@0"},
           {"wwn": "10:00:00:60:69:00:00:a2", "firmware": "v4.1.0", "address": "@1"},
           {"wwn": "10:00:00:60:69:00:00:a3", "firmware": "v4.1.0"}]},
        {"name": "B", "wwn": "10:00:00:60:69:00:00:b1",
         "users": [{"name": "admin", "password": "password"}],
         "switches": [{"wwn": "10:00:00:60:69:00:00:b1", "firmware": "v4.1.0",
                       "address": "@2"}]}],
      "unservedAddresses": ["@3"]})");
}

std::string request(const std::string& command, const std::string& body = "") {
    return "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n<MsgType>" + command +
           "</MsgType>\n" + body + "</YarlRequest>\n";
}

// The reply expected for `echo` with `body`; the date reads "DATE".
std::string reply(const std::string& echo, const std::string& body = "") {
    return "<?xml version='1.0' encoding='utf-8'?>\n<YarlResponse>\n<Date>DATE</Date>\n"
           "<EchoMsgType>" +
           echo + "</EchoMsgType>\n" + body + "</YarlResponse>\n";
}

std::string withoutDate(const std::string& text) {
    static const std::regex date("<Date>[^<]*</Date>");
    return std::regex_replace(text, date, "<Date>DATE</Date>",
                              std::regex_constants::format_first_only);
}

std::string faultA(int code) {
    return "<Fault>\n<YarlErrorCode>" + std::to_string(code) + "</YarlErrorCode></Fault>\n";
}
std::string faultB(int code) {
    return "<Fault>\n<YarlErrorCode>" + std::to_string(code) + "</YarlErrorCode>\n</Fault>\n";
}

struct Outcome {
    bool result;
    std::string reply;
};

// Through the standard string form, or with `cForm` the C form.
Outcome run(const std::string& text, bool cForm = false) {
    if (cForm) {
        void* block = nullptr;
        const bool result = processCommand(text.c_str(), &block);
        std::string answer = block != nullptr ? static_cast<const char*>(block) : "";
        EXPECT_EQ(0, falFreeObject(block));
        return {result, withoutDate(answer)};
    }
    std::string answer;
    const bool result = processCommand(text, answer);
    return {result, withoutDate(answer)};
}

struct ReplyCase {
    std::string request;
    bool result;
    std::string reply;
};

void expectReplies(std::span<const ReplyCase> cases) {
    for (const ReplyCase& c : cases) {
        const Outcome outcome = run(c.request);
        EXPECT_EQ(c.result, outcome.result) << c.request;
        EXPECT_EQ(c.reply, outcome.reply) << c.request;
    }
}

std::string proxyEntry(const std::string& host, const std::string& user = "admin",
                       const std::string& password = "password") {
    return "<FabAPI_ProxyEntry pcHostName=\"" + host + "\" pcUser=\"" + user + "\" pcPassword=\"" +
           password + "\" />\n";
}

// A proxy line of a reply: the password is never shown.
std::string proxyLine(const std::string& host, const std::string& user = "admin") {
    return "<FabAPI_ProxyEntry pcHostName=\"" + host + "\" pcUser=\"" + user +
           "\" pcPassword=\"********\" />\n";
}

std::string sessionElement(const std::string& id) {
    return "<FabAPI_ClientSessionID OID=\"" + id + "\" />";
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string tempPath() {
    char name[] = "/tmp/xml-fabapi-XXXXXX";
    const int fd = mkstemp(name);
    EXPECT_GE(fd, 0);
    close(fd);
    return name;
}

// Each test starts and ends with the library shut down.
class FabApiCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(initializeCommand()); }
    void SetUp() override { FabAPI_ShutdownFabricAPI(); }
    void TearDown() override { FabAPI_ShutdownFabricAPI(); }

    // Starts the library through its command and lists the proxies given.
    void start(const std::string& entries) {
        ASSERT_TRUE(run(request("FabAPI_InitializeFabricAPI",
                                "<FabAP_ConfigEntry pcName=\"a\" pcValue=\"b\" />"))
                        .result);
        const Outcome appended = run(request("FabAPI_AppendProxyEntry", entries));
        ASSERT_TRUE(appended.result) << appended.reply;
    }
};

TEST_F(FabApiCommandTest, StartUpAndShutdownWriteTheirOwnFaults) {
    const ReplyCase cases[] = {
        {request("FabAPI_ShutdownFabricAPI"), false,
         reply("FabAPI_ShutdownFabricAPI", faultB(FABAPI_ERR_NOT_INITIALIZED))},
        {request("FabAPI_InitializeFabricAPI"), true, reply("FabAPI_InitializeFabricAPI")},
        {request("FabAPI_InitializeFabricAPI", "<FabAP_ConfigEntry pcName=\"x\" />"), false,
         reply("FabAPI_InitializeFabricAPI", faultB(FABAPI_ERR_ALREADY_INITIALIZED))},
        {request("FabAPI_ListProxyEntries"), true, reply("FabAPI_ListProxyEntries")},
        {request("FabAPI_ListSessions"), true, reply("FabAPI_ListSessions")},
        {request("FabAPI_CloseSessions"), true, reply("FabAPI_CloseSessions")},
        {request("FabAPI_ShutdownFabricAPI"), true, reply("FabAPI_ShutdownFabricAPI")},
        {request("FabAPI_ListSessions"), false,
         reply("FabAPI_ListSessions", faultB(FABAPI_ERR_NOT_INITIALIZED))},
        {request("FabAPI_DiscoverFabrics"), false,
         reply("FabAPI_DiscoverFabrics", faultB(FABAPI_ERR_NOT_INITIALIZED))},
    };
    expectReplies(cases);
}

TEST_F(FabApiCommandTest, ProxyEntriesAreTakenOneByOneAndListedWithoutPasswords) {
    ASSERT_TRUE(run(request("FabAPI_InitializeFabricAPI")).result);
    const ReplyCase cases[] = {
        // The second is listed already: its failure element, the first stays.
        {request("FabAPI_AppendProxyEntry", proxyEntry("127.66.0.1", "admin", "topsecret") +
                                                proxyEntry("127.66.0.1") +
                                                proxyEntry("127.66.0.2", "ops&amp;co")),
         false,
         reply("FabAPI_AppendProxyEntry", "<FabAPI_ProxyEntry pcHost=\"127.66.0.1\" >" +
                                              faultB(FABAPI_ERR_PROXY_ALREADY_LISTED) +
                                              "</FabAPI_ProxyEntry>")},
        {request("FabAPI_ListProxyEntries"), true,
         reply("FabAPI_ListProxyEntries",
               proxyLine("127.66.0.1") + proxyLine("127.66.0.2", "ops&amp;co"))},
        // No entry: nothing to do.
        {request("FabAPI_AppendProxyEntry"), true, reply("FabAPI_AppendProxyEntry")},
        // A refused host is written back escaped; the status is the last refusal's.
        {request("FabAPI_AppendProxyEntry",
                 proxyEntry("127.66.0.2") + "<FabAPI_ProxyEntry pcUser=\"admin\" />"),
         false,
         reply("FabAPI_AppendProxyEntry", "<FabAPI_ProxyEntry pcHost=\"127.66.0.2\" >" +
                                              faultB(FABAPI_ERR_PROXY_ALREADY_LISTED) +
                                              "</FabAPI_ProxyEntry>"
                                              "<FabAPI_ProxyEntry pcHost=\"\" >" +
                                              faultB(FABAPI_ERR_BAD_ARGUMENT) +
                                              "</FabAPI_ProxyEntry>")},
        {request("FabAPI_RemoveProxyEntry", proxyEntry("127.66.0.9") + proxyEntry("127.66.0.1")),
         false,
         reply("FabAPI_RemoveProxyEntry", "<FabAPI_ProxyEntry pcHost=\"127.66.0.9\" >" +
                                              faultB(FABAPI_ERR_PROXY_NOT_LISTED) +
                                              "</FabAPI_ProxyEntry>")},
        {request("FabAPI_ListProxyEntries"), true,
         reply("FabAPI_ListProxyEntries", proxyLine("127.66.0.2", "ops&amp;co"))},
        {request("FabAPI_RemoveProxyEntry"), true, reply("FabAPI_RemoveProxyEntry")},
    };
    expectReplies(cases);

    const Outcome refused =
        run(request("FabAPI_AppendProxyEntry", proxyEntry("a&lt;&amp;&quot;b")));
    EXPECT_FALSE(refused.result);
    EXPECT_NE(std::string::npos, refused.reply.find("pcHost=\"a&lt;&amp;&quot;b\" >"))
        << refused.reply;
}

TEST_F(FabApiCommandTest, DiscoveryListsFabricsAndTheUnreachableProxies) {
    SwitchSimulator sim(fabrics());
    start(proxyEntry(sim.address(0)) + proxyEntry(sim.address(3)) + proxyEntry(sim.address(1)));
    const Outcome found = run(request("FabAPI_DiscoverFabrics"), true);
    EXPECT_TRUE(found.result) << found.reply;
    EXPECT_EQ(reply("FabAPI_DiscoverFabrics",
                    std::string("<structFabIdentities>\n<FabAPI_FabricIdentity>\n"
                                "<structFabSig structFabricOID=\"") +
                        kFabricA + "\" >\n<structSwitchOIDs>" + kSwitchA1 +
                        "</structSwitchOIDs>\n<structSwitchOIDs>" + kSwitchA2 +
                        "</structSwitchOIDs>\n<structSwitchOIDs>000210000060690000a3"
                        "</structSwitchOIDs>\n</structFabSig>\n" +
                        proxyLine(sim.address(0)) + proxyLine(sim.address(1)) +
                        "</FabAPI_FabricIdentity>\n</structFabIdentities>\n"
                        "<structUnreachableEntries>\n" +
                        proxyLine(sim.address(3)) +
                        "</structUnreachableEntries>\n<structUnstableEntries>\n"
                        "</structUnstableEntries>\n"),
              found.reply);
    EXPECT_EQ(std::string::npos, found.reply.find("password\"")) << "no password shown";
}

TEST_F(FabApiCommandTest, SessionsOpenListSignCloseThroughTheirCommands) {
    SwitchSimulator sim(fabrics());
    start(proxyEntry(sim.address(0)) + proxyEntry(sim.address(2)));
    ASSERT_TRUE(run(request("FabAPI_DiscoverFabrics")).result);

    const std::string identityA =
        std::string("<FabAPI_FabricIdentity fabricOID=\"") + kFabricA + "\" />";
    const std::string signatureA =
        std::string("<FabAPI_FabricSignature structFabricOID=\"") + kFabricA +
        "\" >\n<structSwitchOID>" + kSwitchA1 + "</structSwitchOID>\n<structSwitchOID>" +
        kSwitchA2 + "</structSwitchOID>\n<structSwitchOID>000210000060690000a3</structSwitchOID>\n";
    const std::string missing = faultB(FABAPI_ERR_BAD_ARGUMENT);
    const ReplyCase cases[] = {
        {request("FabAPI_EstablishSession"), false, reply("FabAPI_EstablishSession", missing)},
        // Only the first identity counts.
        {request("FabAPI_EstablishSession",
                 identityA + "<FabAPI_FabricIdentity fabricOID=\"" + kFabricB + "\" />"),
         true,
         reply("FabAPI_EstablishSession",
               std::string("<FabAPI_ClientSessionID structSessionID=\"") + kFabricA + "\" />\n")},
        {request("FabAPI_EstablishSession", identityA), false,
         reply("FabAPI_EstablishSession", faultB(FABAPI_ERR_SESSION_ALREADY_OPEN))},
        {request("FabAPI_EstablishSession",
                 "<FabAPI_FabricIdentity fabricOID=\"000910000060690000ff\" />"),
         false, reply("FabAPI_EstablishSession", faultB(FABAPI_ERR_FABRIC_NOT_DISCOVERED))},
        {request("FabAPI_ListSessions"), true,
         reply("FabAPI_ListSessions",
               std::string("<FabAPI_ClientSessionID>") + kFabricA + "</FabAPI_ClientSessionID>\n")},
        // An identifier that is no open session: the export gets none.
        {request("FabAPI_GetFabricSignature", sessionElement(kFabricA) + sessionElement(kFabricB)),
         false,
         reply("FabAPI_GetFabricSignature",
               signatureA + "</FabAPI_FabricSignature>\n" + faultB(FABAPI_ERR_BAD_ARGUMENT))},
        {request("FabAPI_GetFabricSignature", sessionElement(std::string(kFabricA) + "x")), false,
         reply("FabAPI_GetFabricSignature", faultB(FABAPI_ERR_BAD_ARGUMENT))},
        {request("FabAPI_GetFabricSignature"), true, reply("FabAPI_GetFabricSignature")},
        // SyncSession closes its block after a line break; the last element's status counts.
        {request("FabAPI_SyncSession", sessionElement(kFabricB) + sessionElement(kFabricA)), true,
         reply("FabApi_SyncSession",
               faultB(FABAPI_ERR_NO_SUCH_SESSION) + signatureA + "\n</FabAPI_FabricSignature>\n")},
        {request("FabAPI_GetFabricOidFromSession", std::string("<FabAPI_ClientSessionID>") +
                                                       kFabricA + " \n</FabAPI_ClientSessionID>"),
         true,
         reply("FabAPI_GetFabricOidFromSession",
               std::string("<Fabric OID=\"") + kFabricA + "\" />\n")},
        {request("FabAPI_GetFabricOidFromSession", "<FabAPI_ClientSessionID/>"), false,
         reply("FabAPI_GetFabricOidFromSession", missing)},
        {request("FabAPI_CloseSession"), false, reply("FabAPI_CloseSession", missing)},
        {request("FabAPI_CloseSession",
                 std::string("<FabAPI_ClientSessionID>") + kFabricB + "</FabAPI_ClientSessionID>"),
         false, reply("FabAPI_CloseSession", faultB(FABAPI_ERR_NO_SUCH_SESSION))},
        {request("FabAPI_CloseSession",
                 std::string("<FabAPI_ClientSessionID>") + kFabricA + "</FabAPI_ClientSessionID>"),
         true, reply("FabAPI_CloseSession")},
        {request("FabAPI_ListSessions"), true, reply("FabAPI_ListSessions")},
        {request("FabAPI_EstablishSession",
                 std::string("<FabAPI_FabricIdentity fabricOID=\"") + kFabricB + "\" />"),
         true,
         reply("FabAPI_EstablishSession",
               std::string("<FabAPI_ClientSessionID structSessionID=\"") + kFabricB + "\" />\n")},
        {request("FabAPI_CloseSessions"), true, reply("FabAPI_CloseSessions")},
        {request("FabAPI_ListSessions"), true, reply("FabAPI_ListSessions")},
    };
    expectReplies(cases);
}

std::string signatures(const std::string& first, const std::string& second,
                       const std::string& more = "") {
    return first + second + more;
}

std::string signature(const std::string& fabric, const std::vector<std::string>& switches,
                      const std::string& between = "\n  ") {
    std::string text = "<FabAPI_FabricSignatures structFabricOID=\"" + fabric + "\">";
    for (const std::string& id : switches) {
        text += between + "<structSwitchOID>" + id + "</structSwitchOID>";
    }
    return text + between + "</FabAPI_FabricSignatures>\n";
}

TEST_F(FabApiCommandTest, CompareFabricSignaturesCountsOnlyTheSwitchElements) {
    const auto result = [](int value) {
        return reply("FabAPI_CompareFabricSignatures",
                     "<CompareFabricSignatures result=\"" + std::to_string(value) + "\" />\n");
    };
    const std::string both = signature(kFabricA, {kSwitchA1, kSwitchA2});
    const std::string one = signature(kFabricA, {kSwitchA2}, "");
    const ReplyCase cases[] = {
        // White space and comments between the elements take no place.
        {request("FabAPI_CompareFabricSignatures",
                 signatures(both, signature(kFabricA, {kSwitchA2, kSwitchA1}, "<!-- x -->"))),
         true, result(0)},
        {request("FabAPI_CompareFabricSignatures", signatures(one, both)), true, result(-1)},
        {request("FabAPI_CompareFabricSignatures", signatures(both, one)), true, result(1)},
        {request("FabAPI_CompareFabricSignatures",
                 signatures(both, signature(kFabricB, {kSwitchA1, kSwitchA2}))),
         true, result(-2)},
        // A third signature is not read; nested switch elements do not count.
        {request("FabAPI_CompareFabricSignatures", signatures(both, both, signature(kFabricB, {}))),
         true, result(0)},
        {request("FabAPI_CompareFabricSignatures",
                 signatures(both, "<FabAPI_FabricSignatures structFabricOID=\"" +
                                      std::string(kFabricA) + "\"><x><structSwitchOID>" +
                                      kSwitchA1 + "</structSwitchOID></x>" +
                                      "</FabAPI_FabricSignatures>")),
         true, result(1)},
        {request("FabAPI_CompareFabricSignatures", both), false,
         reply("FabAPI_CompareFabricSignatures", faultB(FABAPI_ERR_BAD_ARGUMENT))},
    };
    expectReplies(cases);
}

TEST_F(FabApiCommandTest, TracingCommandsStartStopAndWriteByElement) {
    const std::string path = tempPath();
    const std::string traceId = "<FabAPI_TraceID pcTraceID=\"";
    const ReplyCase cases[] = {
        // The second lacks its file: the first stays started.
        {request("FabAPI_StartTracing", traceId + "Vosk_Session\" pcFile=\"" + path + "\"/>" +
                                            traceId + "Vosk_API_XML\"/>" + traceId +
                                            "Vosk_All\" pcFile=\"" + path + "\"/>"),
         false, reply("FabAPI_StartTracing", faultB(FABAPI_ERR_BAD_ARGUMENT))},
        {request("FabAPI_StartTracing", traceId + "Vosk_Session\" pcFile=\"" + path + "\"/>"),
         false,
         reply("FabAPI_StartTracing", traceId + "Vosk_Session\" >" +
                                          faultB(FABAPI_ERR_ALREADY_TRACING) +
                                          "</FabAPI_TraceID>\n")},
        {request("FabAPI_Trace",
                 "<FabAPI_Trace pcTraceID=\"Vosk_Session\" pcTraceMsg=\"a note &amp; more\"/>"
                 "<FabAPI_Trace pcTraceID=\"Vosk_Nothing\" pcTraceMsg=\"lost\"/>"),
         false, reply("FabAPI_Trace", faultB(FABAPI_ERR_NOT_TRACING))},
        {request("FabAPI_Trace"), true, reply("FabAPI_Trace")},
        {request("FabAPI_StopTracing", traceId + "Vosk_Session\"/>" + traceId + "Vosk_Session\"/>"),
         false,
         reply("FabAPI_StopTracing", traceId + "Vosk_Session\" >" + faultB(FABAPI_ERR_NOT_TRACING) +
                                         "</FabAPI_TraceID>\n")},
        {request("FabAPI_StopTracing", "<FabAPI_TraceID pcFile=\"x\"/>"), false,
         reply("FabAPI_StopTracing", faultB(FABAPI_ERR_BAD_ARGUMENT))},
        {request("FabAPI_StopTracing"), true, reply("FabAPI_StopTracing")},
    };
    expectReplies(cases);
    EXPECT_NE(std::string::npos, readFile(path).find("a note & more")) << readFile(path);
    std::remove(path.c_str());
}

TEST_F(FabApiCommandTest, PasswordsOfProxyEntriesStayOutOfTracesAndReplies) {
    const std::string path = tempPath();
    const std::string all = "<FabAPI_TraceID pcTraceID=\"Vosk_All\" pcFile=\"" + path + "\"/>";
    ASSERT_TRUE(run(request("FabAPI_StartTracing", all)).result);
    ASSERT_TRUE(run(request("FabAPI_InitializeFabricAPI")).result);
    const Outcome appended =
        run(request("FabAPI_AppendProxyEntry", proxyEntry("127.66.0.1", "admin", "topsecret") +
                                                   proxyEntry("127.66.0.1", "admin", "hushhush")));
    const Outcome listed = run(request("FabAPI_ListProxyEntries"));
    ASSERT_TRUE(run(request("FabAPI_StopTracing", all)).result);

    const std::string written = readFile(path);
    EXPECT_NE(std::string::npos, written.find("YarlAppendProxyEntry")) << written;
    EXPECT_NE(std::string::npos, written.find("pcPassword=\"********\"")) << written;
    for (const char* secret : {"topsecret", "hushhush"}) {
        EXPECT_EQ(std::string::npos, written.find(secret)) << secret;
        EXPECT_EQ(std::string::npos, appended.reply.find(secret)) << secret;
        EXPECT_EQ(std::string::npos, listed.reply.find(secret)) << secret;
    }
    std::remove(path.c_str());
}

TEST_F(FabApiCommandTest, IdentifierCommandsAsATableOfCases) {
    ASSERT_TRUE(run(request("FabAPI_InitializeFabricAPI")).result); // the codecs need it
    const auto wwnToOid = [](const std::string& wwn, const std::string& type) {
        return request("WWNtoOID", "<WWNtoOIDArgs wwn=\"" + wwn + "\" type=\"" + type + "\"/>");
    };
    const auto oidToWwn = [](const std::string& oid) {
        return request("OIDtoWWN", "<OIDtoWWNArgs OID=\"" + oid + "\"/>");
    };
    const auto object = [](const std::string& echo, const std::string& oid) {
        return reply(echo, "<Object OID=\"" + oid + "\" />\n");
    };
    const std::string bad = faultA(FABAPI_ERR_BAD_ARGUMENT);
    const ReplyCase cases[] = {
        {wwnToOid("10000060690000A1", "2"), true,
         reply("WWNtoOID", "<ObjectReference>000210000060690000a1</ObjectReference>\n")},
        {wwnToOid("10:00:00:60:69:00:00:a1", "0x9"), true,
         reply("WWNtoOID", "<ObjectReference>000910000060690000a1</ObjectReference>\n")},
        // A pair counts as far as it holds hex digits.
        {wwnToOid("1g00006069000a1z", "2"), true,
         reply("WWNtoOID", "<ObjectReference>00020100006069000a01</ObjectReference>\n")},
        {wwnToOid("10000060690000a", "2"), true,
         reply("WWNtoOID", "<ErrorMsg>Input string is too short:10000060690000a</ErrorMsg>\n")},
        {wwnToOid("&lt;&amp;&gt;", "2"), true,
         reply("WWNtoOID", "<ErrorMsg>Input string is too short:&lt;&amp;&gt;</ErrorMsg>\n")},
        {wwnToOid("10:00:00:60:69:00:00:zz", "2"), false, reply("WWNtoOID", bad)},
        {wwnToOid("10-00-00-60-69-00-00-a1", "2"), false, reply("WWNtoOID", bad)},
        {wwnToOid("10000060690000a1", "10002"), false, reply("WWNtoOID", bad)},
        {wwnToOid("10000060690000a1", "zz"), false, reply("WWNtoOID", bad)},
        {request("WWNtoOID"), false, reply("WWNtoOID", bad)},
        {oidToWwn("000210000060690000a1"), true,
         reply("OIDtoWWN", "<ObjectReference>\n<WWN>10:00:00:60:69:00:00:a1</WWN>\n"
                           "<ObjType>2</ObjType>\n</ObjectReference>\n")},
        {oidToWwn("fffa10000060690000A10203"), true,
         reply("OIDtoWWN", "<ObjectReference>\n<WWN>10:00:00:60:69:00:00:a1</WWN>\n"
                           "<ObjType>fffa</ObjType>\n</ObjectReference>\n")},
        {oidToWwn("0002100000606900"), true,
         reply("OIDtoWWN", "<Fault>\n<ErrorMsg>Input string is too short:0002100000606900"
                           "</ErrorMsg>\n</Fault>\n")},
        {oidToWwn("000010000060690000a1"), false, reply("OIDtoWWN", bad)},
        {oidToWwn("zz0210000060690000a1"), false, reply("OIDtoWWN", bad)},
        {request("OIDtoWWN"), false, reply("OIDtoWWN", bad)},
        // Domain and port references.
        {request("EncodeDomainPortRef", "<Domain>239</Domain><Port> 255</Port>"), true,
         object("EncodeDomainPortRef", "f000efff000000000000")},
        {request("EncodeDomainPortRef", "<Domain>240</Domain><Port>1</Port>"), false,
         reply("EncodeDomainPortRef", bad)},
        {request("EncodeDomainPortRef", "<Domain>99999999999999</Domain><Port>1</Port>"), false,
         reply("EncodeDomainPortRef", bad)},
        {request("EncodeDomainPortRef", "<Domain>1</Domain><Port/>"), false,
         reply("EncodeDomainPortRef", bad)},
        {request("DecodeDomainPortRef", "<ObjectReference>f000efff000000000000</ObjectReference>"),
         true, reply("DecodeDomainPortRef", "<Domain>239</Domain>\n<Port>255</Port>\n")},
        {request("DecodeDomainPortRef", "<ObjectReference>000210000060690000a1</ObjectReference>"),
         false, reply("DecodeDomainPortRef", bad)},
        {request("DecodeDomainPortRef", "<ObjectReference/>"), false,
         reply("DecodeDomainPortRef", bad)},
        // Switch port groups: only the first 20 characters of the switch count.
        {request(
             "EncodeSwitchPortGroupOID",
             "<ObjectReference>000210000060690000a1000000000000000000000000000</ObjectReference>"
             "<PortGroup startPort=\"2\" endPort=\"16\"/>"),
         true, object("EncodeSwitchPortGroupOID", "fffa10000060690000a10210")},
        {request("EncodeSwitchPortGroupOID",
                 "<ObjectReference>000210000060690000a1</ObjectReference>"
                 "<PortGroup startPort=\"3\" endPort=\"2\"/>"),
         false, reply("EncodeSwitchPortGroupOID", bad)},
        {request("EncodeSwitchPortGroupOID",
                 "<ObjectReference>000210000060690000a1</ObjectReference>"
                 "<PortGroup startPort=\"3\"/>"),
         false, reply("EncodeSwitchPortGroupOID", bad)},
        {request("EncodeSwitchPortGroupOID",
                 "<ObjectReference>000210000060690000a1</ObjectReference>"),
         false, reply("EncodeSwitchPortGroupOID", bad)},
        {request("DecodeSwitchPortGroupOID",
                 "<ObjectReference>fffa10000060690000a10210</ObjectReference>"),
         true,
         reply("DecodeSwitchPortGroupOID", "<SwitchOID>000210000060690000a1</SwitchOID>\n"
                                           "<StartPort>2</StartPort>\n<EndPort>16</EndPort>\n")},
        {request("DecodeSwitchPortGroupOID",
                 "<ObjectReference>fffa10000060690000a1021</ObjectReference>"),
         false, reply("DecodeSwitchPortGroupOID", bad)},
    };
    expectReplies(cases);
}

TEST_F(FabApiCommandTest, CodecsNeedTheLibraryStarted) {
    const ReplyCase cases[] = {
        {request("EncodeDomainPortRef", "<Domain>1</Domain><Port>1</Port>"), false,
         reply("EncodeDomainPortRef", faultA(FABAPI_ERR_NOT_INITIALIZED))},
        // The name conversions work without it.
        {request("WWNtoOID", "<WWNtoOIDArgs wwn=\"10000060690000a1\" type=\"2\"/>"), true,
         reply("WWNtoOID", "<ObjectReference>000210000060690000a1</ObjectReference>\n")},
    };
    expectReplies(cases);
}

} // namespace
