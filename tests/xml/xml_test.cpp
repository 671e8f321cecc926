// The XML command interface as a caller sees it: this program links
// libOrvane_2.so alone and reaches switches only through the simulator.
#include <gtest/gtest.h>

#include <poll.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "orvane/version.h"
#include "orvane/xmlcommand.h"
#include "tests/support/LoopbackListener.h"
#include "tests/support/SwitchSimulator.h"

namespace {

using nlohmann::json;

constexpr char kFabricA[] = "000910000060690000a1";
constexpr char kFabricB[] = "000910000060690000b1";

// Fabric A has two proxy switches (@0, @1), fabric B one (@2); both take
// the login admin/password.
json twoFabrics() {
    return json::parse(R"({
      "fabrics": [
        {"name": "A", "wwn": "10:00:00:60:69:00:00:a1",
         "users": [{"name": "admin", "password": "password"}],
         "switches": [
           {"wwn": "10:00:00:60:69:00:00:a1", "firmware": "v4.1.0", "address": "@0"},
           {"wwn": "10:00:00:60:69:00:00:a2", "firmware": "v4.1.0", "address": "@1"}]},
        {"name": "B", "wwn": "10:00:00:60:69:00:00:b1",
         "users": [{"name": "admin", "password": "password"}],
         "switches": [{"wwn": "10:00:00:60:69:00:00:b1", "address": "@2"}]}]})");
}

std::string request(const std::string& command, const std::string& body = "") {
    return "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n<MsgType>" + command +
           "</MsgType>\n" + body + "</YarlRequest>\n";
}

// The reply expected for `echo` with `body` between header and footer; the
// date is checked on its own and replaced by "DATE".
std::string reply(const std::string& echo, const std::string& body = "") {
    return "<?xml version='1.0' encoding='utf-8'?>\n<YarlResponse>\n<Date>DATE</Date>\n"
           "<EchoMsgType>" +
           echo + "</EchoMsgType>\n" + body + "</YarlResponse>\n";
}

std::string withoutDate(const std::string& text) {
    static const std::regex date(
        "<Date>(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
        "[1-9][0-9]?  [0-9]{1,2}:[0-9]{1,2}:[0-9]{1,2} [0-9]{4}</Date>");
    return std::regex_replace(text, date, "<Date>DATE</Date>",
                              std::regex_constants::format_first_only);
}

const std::string kUnknownFault = "<Fault>\n<YarlErrorCode>-3</YarlErrorCode>\n</Fault>\n";

// The faults of forms A and B with `code`.
std::string faultA(int code) {
    return "<Fault>\n<YarlErrorCode>" + std::to_string(code) + "</YarlErrorCode></Fault>\n";
}
std::string faultB(int code) {
    return "<Fault>\n<YarlErrorCode>" + std::to_string(code) + "</YarlErrorCode>\n</Fault>\n";
}

// The two version lines of the session-closing commands.
std::string versionLines() {
    return std::string("<APIVersion major=\"2\" minor=\"1\" vendor=\"Quillon\" />\n"
                       "<YarlVersion release=\"") +
           getVersion() + "\" />\n";
}

std::string establishRequest(const std::string& fabric, const std::string& login) {
    return request("EstablishFabricSession",
                   "<ObjectReference>" + fabric + "</ObjectReference>\n" + login + "\n");
}

std::string adminLogin(const std::string& password = "password") {
    return "<Login name=\"admin\" password=\"" + password + "\" />";
}

std::string closeRequest(const std::string& fabric) {
    return request("CloseFabricSession", "<ObjectReference>" + fabric + "</ObjectReference>\n");
}

// The identifiers of the open sessions.
std::vector<std::string> openSessions() {
    FabAPI_ClientSessionIDList* list = nullptr;
    EXPECT_EQ(0, FabAPI_ListSessions(&list));
    std::vector<std::string> ids;
    for (int i = 0; list != nullptr && i < list->count; ++i) {
        ids.emplace_back(list->ids[i]->structSessionID);
    }
    EXPECT_EQ(0, falFreeObject(list));
    return ids;
}

// The three forms of processCommand, each handing back the reply text.
enum class Form { StandardString, CallerBlock, CText };

struct Outcome {
    bool result;
    std::string reply;
};

Outcome run(Form form, const std::string& text) {
    switch (form) {
    case Form::StandardString: {
        std::string answer;
        const bool result = processCommand(text, answer);
        return {result, answer};
    }
    case Form::CallerBlock: {
        char* block = nullptr;
        const bool result = processCommand(text, &block);
        EXPECT_NE(nullptr, block);
        std::string answer = block != nullptr ? block : "";
        EXPECT_EQ(0, falFreeObject(block));
        return {result, answer};
    }
    case Form::CText: {
        void* block = nullptr;
        const bool result = processCommand(text.c_str(), &block);
        EXPECT_NE(nullptr, block);
        std::string answer = block != nullptr ? static_cast<const char*>(block) : "";
        EXPECT_EQ(0, falFreeObject(block));
        return {result, answer};
    }
    }
    return {};
}

Outcome run(const std::string& text) {
    return run(Form::StandardString, text);
}

// A request, the result it gives and its whole reply (date as "DATE").
struct ReplyCase {
    std::string request;
    bool result;
    std::string reply;
};

void expectReplies(std::span<const ReplyCase> cases) {
    for (const ReplyCase& c : cases) {
        const Outcome outcome = run(c.request);
        EXPECT_EQ(c.result, outcome.result) << c.request;
        EXPECT_EQ(c.reply, withoutDate(outcome.reply)) << c.request;
    }
}

// The reply text of a DocumentError: its DetailString, unescaped as given.
std::string detailOf(const std::string& text) {
    const std::string open = "<DetailString>";
    const auto begin = text.find(open);
    const auto end = text.find("</DetailString>");
    if (begin == std::string::npos || end == std::string::npos) {
        return {};
    }
    return text.substr(begin + open.size(), end - begin - open.size());
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// A temporary file holding `text`, removed at the end of its scope.
class TempFile {
public:
    explicit TempFile(const std::string& text) {
        char name[] = "/tmp/xml-test-XXXXXX";
        const int fd = mkstemp(name);
        EXPECT_GE(fd, 0);
        EXPECT_EQ(static_cast<ssize_t>(text.size()), write(fd, text.data(), text.size()));
        close(fd);
        path_ = name;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Each test starts and ends with the library shut down.
class XmlCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(initializeCommand()); }
    void SetUp() override {
        FabAPI_ShutdownFabricAPI();
        unsetenv("FABRIC_CONFIG_FILE");
    }
    void TearDown() override {
        CloseFabricSessions(); // a session of EstablishFabricSession keeps the library up
        FabAPI_ShutdownFabricAPI();
    }
};

class XmlCommandFormTest : public XmlCommandTest, public ::testing::WithParamInterface<Form> {};

TEST_P(XmlCommandFormTest, RunsTheSessionCommandsEndToEnd) {
    SwitchSimulator sim(twoFabrics());
    const Outcome started =
        run(GetParam(),
            request("InitializeFabricAccess",
                    "<IPAddress value=\"" + sim.address(0) + "\" />\n<Proxies><IPAddress value=\"" +
                        sim.address(2) + " \" /></Proxies>\n<IPAddress value=\"" + sim.address(1) +
                        "\" />\n"));
    EXPECT_TRUE(started.result);
    EXPECT_EQ(reply("InitializeFabricAccess"), withoutDate(started.reply));

    const Outcome listed = run(GetParam(), request("GetFabricIdentities"));
    EXPECT_TRUE(listed.result);
    EXPECT_EQ(reply("GetFabricIdentities", std::string("\n<FabricReference OID=\"") + kFabricA +
                                               "\" IPAddress=\"" + sim.address(0) +
                                               "\" />\n\n<FabricReference OID=\"" + kFabricB +
                                               "\" IPAddress=\"" + sim.address(2) + "\" />\n"),
              withoutDate(listed.reply));

    for (const char* fabric : {kFabricA, kFabricB}) {
        const Outcome established = run(GetParam(), establishRequest(fabric, adminLogin()));
        EXPECT_TRUE(established.result) << established.reply;
        EXPECT_EQ(reply("EstablishFabricSession"), withoutDate(established.reply));
    }
    EXPECT_EQ((std::vector<std::string>{kFabricA, kFabricB}), openSessions());

    const Outcome closed = run(GetParam(), closeRequest(kFabricA));
    EXPECT_TRUE(closed.result) << closed.reply;
    EXPECT_EQ(reply("CloseFabricSession", versionLines()), withoutDate(closed.reply));
    EXPECT_EQ(std::vector<std::string>{kFabricB}, openSessions());

    const Outcome closedAll = run(GetParam(), request("CloseFabricSessions"));
    EXPECT_TRUE(closedAll.result) << closedAll.reply;
    EXPECT_EQ(reply("CloseFabricSessions", versionLines()), withoutDate(closedAll.reply));
    // Fabric access is shut down: a session needs InitializeFabricAccess again.
    EXPECT_EQ(reply("EstablishFabricSession", faultB(FABAPI_ERR_NOT_INITIALIZED)),
              withoutDate(run(GetParam(), establishRequest(kFabricB, adminLogin())).reply));
}

INSTANTIATE_TEST_SUITE_P(AllForms, XmlCommandFormTest,
                         ::testing::Values(Form::StandardString, Form::CallerBlock, Form::CText),
                         [](const ::testing::TestParamInfo<Form>& info) {
                             switch (info.param) {
                             case Form::StandardString:
                                 return "StandardString";
                             case Form::CallerBlock:
                                 return "CallerBlock";
                             case Form::CText:
                                 return "CText";
                             }
                             return "Unknown";
                         });

TEST_F(XmlCommandTest, InitializeFabricAccessWithoutAddressesReadsTheAddressFile) {
    SwitchSimulator sim(twoFabrics());
    const TempFile addresses(sim.address(2) + "\n");
    ASSERT_EQ(0, setenv("FABRIC_CONFIG_FILE", addresses.path().c_str(), 1));
    EXPECT_TRUE(run(request("InitializeFabricAccess")).result);
    const Outcome listed = run(request("GetFabricIdentities"));
    EXPECT_TRUE(listed.result);
    EXPECT_EQ(reply("GetFabricIdentities", std::string("\n<FabricReference OID=\"") + kFabricB +
                                               "\" IPAddress=\"" + sim.address(2) + "\" />\n"),
              withoutDate(listed.reply));

    // An element without a value ends the list there.
    EXPECT_TRUE(run(request("InitializeFabricAccess",
                            "<IPAddress/><IPAddress value=\"" + sim.address(0) + "\"/>"))
                    .result);
    FabAPI_ProxyEntryList* list = nullptr;
    ASSERT_EQ(0, FabAPI_ListProxyEntries(&list));
    EXPECT_EQ(0, list->count);
    EXPECT_EQ(0, falFreeObject(list));
}

TEST_F(XmlCommandTest, FaultsHaveTheTextOfTheirForm) {
    const ReplyCase cases[] = {
        // Form A: no address and no address file.
        {request("InitializeFabricAccess"), false,
         reply("InitializeFabricAccess", "<Fault>\n<YarlErrorCode>-3</YarlErrorCode></Fault>\n")},
        // Form C: the proxy list is empty.
        {request("GetFabricIdentities"), false,
         reply("GetFabricIdentities", "<Fault>\n<YarlErrorCode>\n-12</YarlErrorCode></Fault>\n")},
        // Form U.
        {"<YarlRequest><MsgType>GetFabricIdentities</MsgType></YarlRequest>", false,
         reply("DocumentError(missing XML header)", kUnknownFault)},
        {request("NoSuchCommand"), true, reply("Incorrect XML Command", kUnknownFault)},
    };
    expectReplies(cases);
}

TEST_F(XmlCommandTest, DocumentErrorsCarryTheParsersLastMessage) {
    const Outcome malformed = run("<?xml version='1.0'?>\n<YarlRequest>\n<MsgType>Exit</Msg>\n");
    EXPECT_FALSE(malformed.result);
    const std::string detail = detailOf(malformed.reply);
    EXPECT_EQ(reply("DocumentError", "<Fault>\n<YarlErrorCode>-91</YarlErrorCode>\n<DetailString>" +
                                         detail + "</DetailString>\n</Fault>\n"),
              withoutDate(malformed.reply));
    EXPECT_TRUE(std::regex_match(
        detail, std::regex("Fatal error in input XML line [0-9]+ column [0-9]+ error [^\n]+\n")))
        << detail;

    // The parser stops at the first fatal error: going on after mismatched
    // tags would crash it.
    const Outcome mismatched = run("<?xml version='1.0'?>\n<YarlReq#uest><Ms!Type>Exit</MsgType>"
                                   "</YarlRequest>");
    EXPECT_FALSE(mismatched.result);
    EXPECT_EQ(0u, detailOf(mismatched.reply).rfind("Fatal error in input XML line 2 column ", 0))
        << mismatched.reply;

    // With a document type the request is validated.
    const Outcome invalid =
        run("<?xml version='1.0'?>\n<!DOCTYPE YarlRequest [\n"
            "<!ELEMENT YarlRequest (MsgType)><!ELEMENT MsgType (#PCDATA)>]>\n"
            "<YarlRequest><MsgType>FaultResponse</MsgType><Extra/></YarlRequest>");
    EXPECT_FALSE(invalid.result);
    EXPECT_EQ(0u, detailOf(invalid.reply).rfind("Error in input XML line 4 column ", 0))
        << invalid.reply;
    const Outcome valid = run("<?xml version='1.0'?>\n<!DOCTYPE YarlRequest [\n"
                              "<!ELEMENT YarlRequest (MsgType)><!ELEMENT MsgType (#PCDATA)>]>\n"
                              "<YarlRequest><MsgType>FaultResponse</MsgType></YarlRequest>");
    EXPECT_TRUE(valid.result) << valid.reply;
}

TEST_F(XmlCommandTest, SessionCommandFailuresAreFaultsOfTheirForm) {
    SwitchSimulator sim(twoFabrics());
    const ReplyCase notStarted[] = {
        {establishRequest(kFabricA, adminLogin()), false,
         reply("EstablishFabricSession", faultB(FABAPI_ERR_NOT_INITIALIZED))},
        {closeRequest(kFabricA), false,
         reply("CloseFabricSession", versionLines() + faultA(FABAPI_ERR_NOT_INITIALIZED))},
        {request("CloseFabricSessions"), false,
         reply("CloseFabricSessions", versionLines() + faultA(FABAPI_ERR_NOT_INITIALIZED))},
    };
    expectReplies(notStarted);

    ASSERT_TRUE(
        run(request("InitializeFabricAccess", "<IPAddress value=\"" + sim.address(0) + "\"/>"))
            .result);
    const std::string missing = reply("EstablishFabricSession", faultB(FABAPI_ERR_BAD_ARGUMENT));
    const ReplyCase started[] = {
        // A request without identifier or login: -3, the export is not called
        // (it would answer -93 for an empty identifier).
        {request("EstablishFabricSession", adminLogin()), false, missing},
        {request("EstablishFabricSession", "<ObjectReference/>" + adminLogin()), false, missing},
        {request("EstablishFabricSession",
                 std::string("<ObjectReference>") + kFabricA + "</ObjectReference>"),
         false, missing},
        // The identifier is taken as it stands, and cut to 47 characters.
        {establishRequest(std::string(" ") + kFabricA, adminLogin()), false, missing},
        {establishRequest(kFabricA + std::string(40, '0'), adminLogin()), false, missing},
        // Nested at any depth; not discovered yet.
        {request("EstablishFabricSession", std::string("<Fabric><ObjectReference>") + kFabricA +
                                               "</ObjectReference></Fabric><Logins>" +
                                               adminLogin() + "</Logins>"),
         false, reply("EstablishFabricSession", faultB(FABAPI_ERR_FABRIC_NOT_DISCOVERED))},
        // Without an identifier CloseFabricSession still asks the export.
        {request("CloseFabricSession"), false,
         reply("CloseFabricSession", versionLines() + faultA(FABAPI_ERR_NO_SUCH_SESSION))},
    };
    expectReplies(started);

    ASSERT_TRUE(run(request("GetFabricIdentities")).result);
    const std::regex refused(
        "<Fault>\n<YarlErrorCode>-[0-9]+</YarlErrorCode>\n</Fault>\n</YarlResponse>\n$");
    for (const std::string& login :
         {adminLogin("wrong"), std::string("<Login name=\"admin\" />")}) {
        const Outcome outcome = run(establishRequest(kFabricA, login));
        EXPECT_FALSE(outcome.result) << login;
        EXPECT_TRUE(std::regex_search(outcome.reply, refused)) << outcome.reply;
        EXPECT_TRUE(openSessions().empty()) << login;
    }
    EXPECT_TRUE(run(establishRequest(kFabricA, adminLogin())).result);
    EXPECT_EQ(reply("EstablishFabricSession", faultB(FABAPI_ERR_SESSION_ALREADY_OPEN)),
              withoutDate(run(establishRequest(kFabricA, adminLogin())).reply));
    // Trailing white space of the identifier does not count in CloseFabricSession.
    const Outcome closed = run(closeRequest(std::string(kFabricA) + " \n\t"));
    EXPECT_TRUE(closed.result) << closed.reply;
    EXPECT_TRUE(openSessions().empty());
}

TEST_F(XmlCommandTest, ResultsOfTheSpecialCommands) {
    const ReplyCase cases[] = {
        {request("FaultResponse"), true, reply("FaultResponse")},
        {request("GetObjectsResponse"), true, reply("GetObjectsResponse")},
        {request("GetObjectsByTypeResponse"), true, reply("GetObjectsByTypeResponse")},
        {request("CloseFabricSessionResponse"), true, reply("CloseFabricSessionResponse")},
        {request("CloseFabricSessionsResponse"), true, reply("CloseFabricSessionsResponse")},
        {request("Exit"), false, ""},
        // The head's text rules.
        {"\xEF\xBB\xBF  \n" + request("FaultResponse"), true, reply("FaultResponse")},
        {request(" Fault\tResponse\n "), true, reply("FaultResponse")},
        {request("Fault&#13;Response"), true, reply("Incorrect XML Command", kUnknownFault)},
        {request("<![CDATA[FaultResponse]]>"), true, reply("Incorrect XML Command", kUnknownFault)},
        {request("", "<Inner><MsgType>FaultResponse</MsgType></Inner>"), true,
         reply("FaultResponse")},
        {"<?xml version='1.0'?><Other MsgType='Exit'><MsgType>FaultResponse</MsgType></Other>",
         true, reply("FaultResponse")},
        {"<?xml version='1.0'?><YarlRequest MsgType='FaultResponse'/>", true,
         reply("Incorrect XML Command", kUnknownFault)},
        {request("faultresponse"), true, reply("Incorrect XML Command", kUnknownFault)},
    };
    expectReplies(cases);
}

TEST_F(XmlCommandTest, TheBlockFormsHandOutABlockForEveryReply) {
    char* text = nullptr;
    EXPECT_FALSE(processCommand(request("Exit"), &text));
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("", text) << "an empty reply is a one-byte block";
    EXPECT_EQ(0, falFreeObject(text));

    void* block = nullptr;
    EXPECT_FALSE(processCommand(static_cast<const char*>(nullptr), &block));
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(reply("DocumentError(missing XML header)", kUnknownFault),
              withoutDate(static_cast<const char*>(block)));
    EXPECT_EQ(0, falFreeObject(block));
    EXPECT_FALSE(processCommand(request("FaultResponse").c_str(), nullptr));

    std::string appended = "before\n";
    EXPECT_TRUE(processCommand(request("FaultResponse"), appended));
    EXPECT_EQ("before\n" + reply("FaultResponse"), withoutDate(appended));
}

// True when someone connected to the listener.
bool connectionWaiting(const LoopbackListener& listener) {
    pollfd waiting{listener.fd(), POLLIN, 0};
    return poll(&waiting, 1, 0) > 0;
}

TEST_F(XmlCommandTest, ExternalEntitiesAndDocumentTypesAreNeverFetched) {
    LoopbackListener listener;
    const std::string remote = "http://127.0.0.1:" + std::to_string(listener.port());
    const TempFile secret("<!ENTITY leak \"LEAKED-MARKER\"><!ELEMENT YarlRequest ANY>"
                          "<!ELEMENT MsgType (#PCDATA)>");
    const TempFile plain("LEAKED-MARKER");
    const std::string body = "<YarlRequest><MsgType>FaultResponse</MsgType></YarlRequest>";
    const std::string attacks[] = {
        // External general entities.
        "<?xml version='1.0'?><!DOCTYPE YarlRequest [<!ENTITY x SYSTEM 'file://" + plain.path() +
            "'>]><YarlRequest><MsgType>&x;</MsgType></YarlRequest>",
        "<?xml version='1.0'?><!DOCTYPE YarlRequest [<!ENTITY x SYSTEM '" + plain.path() +
            "'>]><YarlRequest><MsgType>FaultResponse</MsgType><a>&x;</a></YarlRequest>",
        "<?xml version='1.0'?><!DOCTYPE YarlRequest [<!ENTITY x SYSTEM '" + remote +
            "/x'>]><YarlRequest><MsgType>&x;</MsgType></YarlRequest>",
        // Parameter entities.
        "<?xml version='1.0'?><!DOCTYPE YarlRequest [<!ENTITY % p SYSTEM '" + remote +
            "/p.dtd'> %p;]>" + body,
        "<?xml version='1.0'?><!DOCTYPE YarlRequest [<!ENTITY % p SYSTEM '" + secret.path() +
            "'> %p;]><YarlRequest><MsgType>&leak;</MsgType></YarlRequest>",
        // Document types named by a local file or a remote address.
        "<?xml version='1.0'?><!DOCTYPE YarlRequest SYSTEM '" + secret.path() +
            "'><YarlRequest><MsgType>&leak;</MsgType></YarlRequest>",
        "<?xml version='1.0'?><!DOCTYPE YarlRequest SYSTEM 'file://" + secret.path() + "'>" + body,
        "<?xml version='1.0'?><!DOCTYPE YarlRequest PUBLIC '-//Test//Request//EN' '" + remote +
            "/r.dtd'>" + body,
    };
    for (const std::string& attack : attacks) {
        const Outcome outcome = run(attack);
        EXPECT_FALSE(outcome.result) << attack;
        EXPECT_NE(std::string::npos, outcome.reply.find("<YarlErrorCode>-91</YarlErrorCode>"))
            << attack << "\n"
            << outcome.reply;
        EXPECT_EQ(std::string::npos, outcome.reply.find("LEAKED-MARKER")) << outcome.reply;
    }
    EXPECT_FALSE(connectionWaiting(listener)) << "nothing reached out to the network";

    // XInclude is not processed: the element is just an element.
    const Outcome included =
        run("<?xml version='1.0'?><YarlRequest xmlns:xi='http://www.w3.org/2001/XInclude'>"
            "<MsgType>FaultResponse</MsgType><xi:include href='" +
            plain.path() + "' parse='text'/></YarlRequest>");
    EXPECT_TRUE(included.result);
    EXPECT_EQ(std::string::npos, included.reply.find("LEAKED-MARKER"));
}

TEST_F(XmlCommandTest, EntityExpansionIsBounded) {
    std::string laughs = "<?xml version='1.0'?><!DOCTYPE YarlRequest [<!ENTITY a0 'ha'>";
    for (int level = 1; level <= 12; ++level) {
        const std::string previous = "&a" + std::to_string(level - 1) + ";";
        std::string value;
        for (int i = 0; i < 10; ++i) {
            value += previous;
        }
        laughs += "<!ENTITY a" + std::to_string(level) + " '" + value + "'>";
    }
    laughs += "]><YarlRequest><MsgType>&a12;</MsgType></YarlRequest>";

    const std::string chunk(10000, 'x');
    std::string wide = "<?xml version='1.0'?><!DOCTYPE YarlRequest [<!ENTITY big '" + chunk +
                       "'>]><YarlRequest><MsgType>FaultResponse</MsgType><a>";
    for (int i = 0; i < 5000; ++i) {
        wide += "&big;";
    }
    wide += "</a></YarlRequest>";

    for (const std::string* attack : {&laughs, &wide}) {
        const Outcome outcome = run(*attack);
        EXPECT_FALSE(outcome.result);
        EXPECT_NE(std::string::npos, detailOf(outcome.reply).find("entity expansions"))
            << outcome.reply.substr(0, 2000);
        EXPECT_LT(outcome.reply.size(), 4096u);
    }

    // A few entities are fine.
    const Outcome few = run("<?xml version='1.0'?><!DOCTYPE YarlRequest [<!ENTITY c 'Response'>"
                            "<!ELEMENT YarlRequest ANY><!ELEMENT MsgType (#PCDATA)>]>"
                            "<YarlRequest><MsgType>Fault&c;</MsgType></YarlRequest>");
    EXPECT_TRUE(few.result) << few.reply;
    EXPECT_EQ(reply("Incorrect XML Command", kUnknownFault), withoutDate(few.reply))
        << "entity references are not text nodes";
}

TEST_F(XmlCommandTest, RequestTextInADetailStringIsEscaped) {
    const Outcome outcome = run("<?xml version='1.0'?><!DOCTYPE YarlRequest SYSTEM 'a\"<&>.dtd'>"
                                "<YarlRequest/>");
    EXPECT_FALSE(outcome.result);
    const std::string detail = detailOf(outcome.reply);
    EXPECT_NE(std::string::npos, detail.find("a&quot;&lt;&amp;&gt;.dtd")) << detail;
    EXPECT_EQ(std::string::npos, detail.find_first_of("<>\"")) << detail;
}

TEST_F(XmlCommandTest, PasswordsStayOutOfTracesAndFaults) {
    const TempFile trace("");
    char category[] = "Vosk_API_XML";
    FabAPI_TraceID traced{category};
    ASSERT_EQ(0, FabAPI_StartTracing(&traced, trace.path().c_str()));
    const Outcome login =
        run(request("EstablishFabricSession", "<ObjectReference>x</ObjectReference>\n"
                                              "<Login name=\"admin\" password=\"topsecret\" />\n"));
    // A validity error that quotes the password's value.
    const Outcome refused =
        run("<?xml version='1.0'?>\n<!DOCTYPE YarlRequest [<!ELEMENT YarlRequest ANY>"
            "<!ELEMENT MsgType (#PCDATA)><!ELEMENT Login EMPTY>"
            "<!ATTLIST Login name CDATA #IMPLIED password (a|b) #IMPLIED>]>\n"
            "<YarlRequest><MsgType>EstablishFabricSession</MsgType>"
            "<Login name='admin' password='hushhush'/></YarlRequest>");
    ASSERT_EQ(0, FabAPI_StopTracing(&traced));

    EXPECT_EQ(std::string::npos, refused.reply.find("hushhush")) << refused.reply;
    EXPECT_NE(std::string::npos, detailOf(refused.reply).find("********")) << refused.reply;
    const std::string written = readFile(trace.path());
    EXPECT_NE(std::string::npos, written.find("input string :")) << written;
    EXPECT_NE(std::string::npos, written.find("password=\"********\"")) << written;
    EXPECT_NE(std::string::npos, written.find("processCommand")) << written;
    EXPECT_EQ(std::string::npos, written.find("topsecret"));
    EXPECT_EQ(std::string::npos, written.find("hushhush"));
}

} // namespace
