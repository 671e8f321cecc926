// The event, firmware and configuration commands of the XML interface
// against the simulated switches, and a walk over the whole command table.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "orvane/xmlcommand.h"
#include "tests/xml/ParsedReply.h"
#include "tests/xml/XmlCommandReply.h"
#include "tests/events/EventCapture.h"
#include "tests/transfers/TransferFabrics.h"
#include "yarllite/CommandTable.h"
#include "yarllite/ServiceCommands.h"

namespace {

using nlohmann::json;
using namespace std::chrono_literals;

using xmlreply::body;
using xmlreply::faultA;
using xmlreply::faultB;
using xmlreply::Outcome;
using xmlreply::request;
using xmlreply::run;

TEST(ConfigurationEscape, ReferencesForMarkupAndControlCharacters) {
    struct Case {
        std::string in;
        std::string out;
    };
    const std::vector<Case> cases = {
        {"a<b & 100%", "a&#x3c;b &#x26; 100&#x25;"},
        {"\"x\" ^ y>", "&#x22;x&#x22; &#x5e; y&#x3e;"},
        {"a\tb\r\nc\n", "a\tb\r\nc\n"},
        // No XML document may hold these, not even as references.
        {"page\fbreak\x01\x1f\x7f", "page?break??&#x7f;"},
        {"caf\xc3\xa9", "caf\xc3\xa9"},           // UTF-8 stays
        {"bad\xe9!", "bad&#xe9;!"},                // a lone Latin-1 byte
        {"cut\xe2\x82", "cut&#xe2;&#x82;"},        // a sequence cut short
        {std::string("nul\0after", 9), "nul"},     // the text ends at its NUL
    };
    for (const Case& c : cases) {
        std::string out;
        XMLstrecpy(out, c.in, "\n\t\r");
        EXPECT_EQ(c.out, out) << c.in;
    }
    // Kept or not, a character XML cannot hold is never copied.
    std::string out;
    XMLstrecpy(out, "a\fb\x7f", "\f\x7f");
    EXPECT_EQ("a?b\x7f", out);
}

class ServiceCommandTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(initializeCommand()); }
};

// Every row with a handler reaches it: the reply echoes the row's own text,
// never the unknown-command reply.
TEST_F(ServiceCommandTest, EveryCommandOfTheTableReachesItsHandler) {
    // Rows whose handlers are still to be built.
    const std::set<std::string> expectedMissing = {};
    std::set<std::string> missing;
    for (const CommandRow& row : commandTable()) {
        if (row.kind == CommandKind::Exit)
            continue;
        if (!row.isAvailable()) {
            missing.insert(row.name);
            continue;
        }
        const Outcome outcome = run(request(row.name));
        EXPECT_NE(std::string::npos,
                  outcome.reply.find(std::string("<EchoMsgType>") + row.echo + "</EchoMsgType>"))
            << row.name << ": " << outcome.reply;
    }
    FabAPI_ShutdownFabricAPI();
    EXPECT_EQ(expectedMissing, missing);
}

// The certificate requests are exports of their own, not commands: their
// names answer as any name the table does not hold.
TEST_F(ServiceCommandTest, CertificateRequestsAreNoCommands) {
    for (const char* name : {"GetCertificateSigningRequest", "InstallCertificate",
                             "CreateCertificateSigningRequest"}) {
        const Outcome outcome = run(request(name, "<ObjectReference>000210000060690000a2"
                                                  "</ObjectReference>"));
        EXPECT_TRUE(outcome.result) << name;
        EXPECT_NE(std::string::npos,
                  outcome.reply.find("<EchoMsgType>Incorrect XML Command</EchoMsgType>"))
            << name;
    }
}

TEST_F(ServiceCommandTest, RequestsThatLackTheirPartsAndTheStatusCommand) {
    struct Case {
        std::string request;
        bool result;
        std::string body;
    };
    const std::string ref = "<ObjectReference>000210000060690000a2</ObjectReference>";
    const std::vector<Case> cases = {
        {request("GetFirmwareDownloadStatus"), true,
         "<FirmwareDownloadStatus>1</FirmwareDownloadStatus>\n"},
        {request("GetEvents"), false, faultB(2)},
        {request("RegisterForEvents"), false, faultA(-3)},
        {request("RegisterForEvents", "<EventDestination ipAddr=\"127.0.0.1\"/>"), false,
         faultA(-3)},
        {request("RegisterForEvents", "<EventDestination ipAddr=\"127.0.0.1\" port=\"x1\"/>"),
         false, faultA(-3)},
        {request("RegisterForEvents", "<EventDestination ipAddr=\"\" port=\"4000\"/>"), false,
         faultA(-3)},
        {request("ConfigurationDownload", ref), false, faultB(-3)},
        {request("ConfigurationDownload", ref + "<ConfigData value=\"\"/>"), false, faultB(-3)},
        {request("ConfigurationPrefix", "<ObjectReference>0002100000606900001</ObjectReference>"
                                        "<Parameters type=\"ONLINE\"/>"),
         false, faultB(-3)},
        {request("ConfigurationPrefix", ref), false, faultB(-3)},
        {request("FirmwareDownloadDirect", "<ObjectReference OID=\"" + std::string(transfers::kSwitchA2) +
                                               "\"><Firmware firmwarePath=\"/x\" wait=\"2\"/>"
                                               "</ObjectReference>"),
         false, faultA(-3)},
        {request("FirmwareDownloadDirect", "<ObjectReference OID=\"x\"><Firmware wait=\"1\"/>"
                                           "</ObjectReference>"),
         false, faultA(-3)},
        {request("FirmwareDownloadSelf", "<ObjectReference OID=\"x\"/>"), false, faultB(-3)},
    };
    for (const Case& c : cases) {
        const Outcome outcome = run(c.request);
        EXPECT_EQ(c.result, outcome.result) << c.request;
        EXPECT_EQ(c.body, body(outcome.reply)) << c.request;
    }
}

constexpr char kConfig[] = "[system]\nsystem.name:core & <main>\n  a.mode:1\nba.x:1\nb.y:2\n";
constexpr char kPrefixes[] = "[online]\na.\nsys\n[non-supported]\nb.\n";

class ConfigCommandTest : public ServiceCommandTest {
protected:
    void SetUp() override {
        FabAPI_ShutdownFabricAPI();
        setUpload(0, kConfig);
        setUpload(4, kPrefixes);
        openFabricSessions(sim_, {0}, {transfers::kFabricA});
    }
    void TearDown() override { FabAPI_ShutdownFabricAPI(); }
    void setUpload(int selector, const std::string& text) {
        sim_.request({{"op", "setUpload"}, {"address", sim_.address(0)},
                      {"switch", transfers::kWwnA2}, {"value", selector}, {"text", text}});
    }
    SwitchSimulator sim_{transfers::twoFabrics()};
};

TEST_F(ConfigCommandTest, UploadDownloadAndPrefixes) {
    const std::string ref =
        "<ObjectReference>" + std::string(transfers::kSwitchA2) + "</ObjectReference>";
    struct Case {
        std::string request;
        bool result;
        std::string body;
    };
    const std::vector<Case> cases = {
        {request("ConfigurationUpload", ref), true,
         "<ConfigData>[system]\nsystem.name:core &#x26; &#x3c;main&#x3e;\n  a.mode:1\nba.x:1\n"
         "b.y:2\n</ConfigData>\n"},
        {request("ConfigurationUpload",
                 "<ObjectReference>000210000060690000ff</ObjectReference>"),
         false, faultB(-21)},
        {request("ConfigurationPrefix", ref + "<Parameters type=\"ONLINE_X\"/>"), true,
         "<ParameterType>CFG_ONLINE_DOWNLOADABLE</ParameterType>\n<ParameterList>a.\nsys\n"
         "</ParameterList>\n"},
        // A download that changes a line.
        {request("ConfigurationDownload",
                 ref + "<ConfigData value=\"[system]&#10;a.mode:2&#10;\"/>"),
         true, ""},
        // One changed line: its line break reaches the switch.
        {request("ConfigurationDownload", ref + "<ConfigData value=\"a.mode:3&#10;\"/>"), true,
         ""},
        // One line without its line break is no line of a configuration.
        {request("ConfigurationDownload", ref + "<ConfigData value=\"a.mode:4\"/>"), false,
         "<OriginalRequest>\n<DataRequest>\n" + std::string(transfers::kSwitchA2) +
             "\na.mode:4\n</DataRequest>\n</OriginalRequest>\n" + faultB(-3)},
        // A key the prefix list does not name, sent to be applied with a reboot.
        {request("ConfigurationDownload",
                 ref + "<ConfigData value=\"[system]&#10;c.z:1\" allowReboot=\"1\"/>"),
         true, ""},
        // Not sent: a reboot was not allowed.
        {request("ConfigurationDownload",
                 ref + "<ConfigData value=\"[system]&#10;c.z:&lt;1\" allowReboot=\"yes\"/>"),
         false,
         "<OriginalRequest>\n<DataRequest>\n" + std::string(transfers::kSwitchA2) +
             "\n[system]\nc.z:&lt;1\n</DataRequest>\n</OriginalRequest>\n" + faultB(101)},
        {request("ConfigurationDownload", ref + "<ConfigData value=\"[system]&#10;b.y:3\"/>"),
         false,
         "<OriginalRequest>\n<DataRequest>\n" + std::string(transfers::kSwitchA2) +
             "\n[system]\nb.y:3\n</DataRequest>\n</OriginalRequest>\n" + faultB(-50)},
    };
    for (const Case& c : cases) {
        const Outcome outcome = run(c.request);
        EXPECT_EQ(c.result, outcome.result) << c.request;
        EXPECT_EQ(c.body, body(outcome.reply)) << c.request;
    }
    const json state =
        sim_.request({{"op", "configuration"}, {"address", sim_.address(0)},
                      {"switch", transfers::kWwnA2}});
    ASSERT_EQ(3u, state["downloads"].size()) << state.dump();
    EXPECT_EQ("a.mode:2\n", state["downloads"][0]["text"]);
    EXPECT_EQ("a.mode:3\n", state["downloads"][1]["text"]);
    EXPECT_EQ(3, state["downloads"][2]["operation"]);
}

// Whatever the switch's text holds, the reply is a document a parser
// takes, and it reads back as the text with only what XML cannot hold
// replaced.
TEST_F(ConfigCommandTest, UploadReplyIsWellFormedWhateverTheText) {
    const std::string ref =
        "<ObjectReference>" + std::string(transfers::kSwitchA2) + "</ObjectReference>";
    struct Case {
        std::string text;
        std::string read;
    };
    const std::vector<Case> cases = {
        {"[system]\npage\fbreak:1\n", "[system]\npage?break:1\n"},
        {"a.b:\x01\x02\x1b[0m\x7f\n", "a.b:???[0m\x7f\n"},
        {"x:\"q\" 'a' <&> 50% ^\tc\r\n", "x:\"q\" 'a' <&> 50% ^\tc\n"},
        {"caf\xc3\xa9:\xe9\n", "caf\xc3\xa9:\xc3\xa9\n"}, // a lone byte reads as Latin-1
    };
    for (const Case& c : cases) {
        // As bytes: the text need not be UTF-8.
        std::string hex;
        for (const unsigned char byte : c.text) {
            static constexpr char kDigits[] = "0123456789abcdef";
            hex += kDigits[byte >> 4];
            hex += kDigits[byte & 0xF];
        }
        sim_.request({{"op", "setUpload"}, {"address", sim_.address(0)},
                      {"switch", transfers::kWwnA2}, {"value", 0}, {"hex", hex}});
        const Outcome outcome = run(request("ConfigurationUpload", ref));
        ASSERT_TRUE(outcome.result) << outcome.reply;
        const xmlreply::ParsedReply parsed(outcome.reply);
        EXPECT_TRUE(parsed.wellFormed()) << parsed.error() << "\n" << outcome.reply;
        // The parser turns a carriage return and line feed into a line feed.
        EXPECT_EQ(c.read, parsed.text("ConfigData")) << outcome.reply;
    }
}

class EventCommandTest : public events::EventFabrics {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(initializeCommand()); }
};

TEST_F(EventCommandTest, RegisterReceiveTakeAndUnregister) {
    ASSERT_EQ(0, manager_->enableEventNotification(sessions::kFabricA, 1));
    events::XmlClient client;
    const Outcome registered =
        run(request("RegisterForEvents", "<EventDestination ipAddr=\"127.0.0.1\" port=\"" +
                                             std::to_string(client.port()) + "\"/>"));
    ASSERT_TRUE(registered.result) << registered.reply;
    EXPECT_EQ("", body(registered.reply));

    send({{"type", 131}}, 2);
    ASSERT_TRUE(client.waitForEvents(2));
    EXPECT_NE(std::string::npos, client.text().find("<ID>1</ID>")) << client.text();

    const Outcome taken = run(request(
        "GetEvents", "<EventTarget startEventId=\"1\" endEventId=\"2\" maxEvents=\"10\"/>"));
    ASSERT_TRUE(taken.result) << taken.reply;
    const std::string list = body(taken.reply);
    EXPECT_EQ(0u, list.find("<EventList>\n<Event>\n")) << list;
    EXPECT_NE(std::string::npos, list.find("<ID>2</ID>")) << list;
    EXPECT_EQ(std::string::npos, list.find("<Host>")) << "no client host in polled events";
    EXPECT_EQ(list.size() - 13, list.rfind("</EventList>\n"));

    ASSERT_TRUE(run(request("UnRegisterForEvents")).result);
    send({{"type", 131}});
    ASSERT_EQ(1u, takeUntil(1).size());
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(2u, client.events());
}

} // namespace
