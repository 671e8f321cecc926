#include "LibraryRequests.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptedChannel.h"
#include "SystemParameters.h"
#include "console_testing.h"

namespace {

const std::string Head = "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n";
const std::string Version = "<Version major=\"1\" minor=\"0\" vendor=\"quillon\" />\n";

SystemParameters inMode(std::int16_t mode) {
    SystemParameters parameters;
    parameters.operationsMode = mode;
    return parameters;
}

TEST(LibraryRequests, InitializeFabricAccessSendsTheAddressListAsItsBody) {
    ScriptedChannel channel;
    ScriptedConsole console("");
    const std::string addresses =
        "<IPAddress value=\"127.0.0.5\" />\n<IPAddress value=\"127.0.0.6\" />\n";
    EXPECT_EQ(sendInitializeFabricAccess(channel, console.console(), addresses), 0);
    ASSERT_EQ(channel.requests.size(), 1u);
    EXPECT_EQ(channel.requests[0], Head + "<MsgType>InitializeFabricAccess</MsgType>\n" + Version +
                                       addresses + "</YarlRequest>\n");
    EXPECT_EQ(console.output(), "");

    channel.initializeAccessResult = false;
    EXPECT_EQ(sendInitializeFabricAccess(channel, console.console(), ""), -1);
    EXPECT_EQ(console.output(), "Initialize-Fabric-Access Failed.\n");
}

TEST(LibraryRequests, GetFabricIdentitiesListsEveryFabricReference) {
    ScriptedChannel channel;
    channel.fabrics = {"00091000006069100001", "0009a&amp;b", "00091000006069200001"};
    ScriptedConsole console("");
    const SystemParameters batch = inMode(BatchMode);
    std::vector<std::string> identities{"stale"};
    EXPECT_EQ(sendGetFabricIdentities(channel, batch, console.console(), identities), 3);
    EXPECT_EQ(identities,
              (std::vector<std::string>{"00091000006069100001", "0009a&b", "00091000006069200001"}));
    EXPECT_EQ(channel.requests[0], Head + "<MsgType>GetFabricIdentities</MsgType>\n" + Version +
                                       "</YarlRequest>\n");
    EXPECT_EQ(identityListText(identities, false),
              "<FABRICS OID=\"00091000006069100001\" \nOID=\"0009a&amp;b\" \n"
              "OID=\"00091000006069200001\" \n />\n");
    EXPECT_EQ(identityListText({}, true), "<FABRICS  /> \n");

    channel.fabrics.clear();
    EXPECT_EQ(sendGetFabricIdentities(channel, batch, console.console(), identities), 0);
    EXPECT_TRUE(identities.empty());
    channel.identitiesResult = false;
    EXPECT_EQ(sendGetFabricIdentities(channel, batch, console.console(), identities), -1);
}

TEST(LibraryRequests, ALoginIsEscapedAndAcceptedOnlyWithoutFault) {
    ScriptedChannel channel;
    channel.logins["0009f1"] = "joe/a&amp;&quot;&lt;b";
    ChannelSessions sessions(channel);
    EXPECT_TRUE(sessions.establishSession("0009f1", {"joe", "a&\"<b"}));
    EXPECT_EQ(channel.requests[0], Head + "<MsgType>EstablishFabricSession</MsgType>\n" + Version +
                                       "<ObjectReference>0009f1</ObjectReference>\n"
                                       "<Login name=\"joe\" password=\"a&amp;&quot;&lt;b\" />\n"
                                       "</YarlRequest>\n");
    EXPECT_FALSE(sessions.establishSession("0009f1", {"joe", "wrong"}));

    // A reply with a Fault refuses the login even when the library said true.
    class FaultingChannel : public ScriptedChannel {
    public:
        bool process(const std::string&, std::string& reply) override {
            reply = responseOf("EstablishFabricSession", "<Fault></Fault>\n");
            return true;
        }
    } faulting;
    ChannelSessions refused(faulting);
    EXPECT_FALSE(refused.establishSession("0009f1", {"joe", "x"}));
}

TEST(LibraryRequests, LoginToFabricsKeepsOnlyTheFabricsLoggedInto) {
    ScriptedChannel channel;
    channel.logins["00091000006069100001"] = "admin/quorbelt";
    channel.logins["00091000006069300001"] = "admin/quorbelt";
    ChannelSessions sessions(channel);
    ScriptedConsole console("");
    const SystemParameters batch = inMode(BatchMode);
    std::vector<std::string> identities{"00091000006069100001", "00091000006069200001", "",
                                        "00091000006069300001"};
    EXPECT_EQ(loginToFabrics(batch, console.console(), sessions, identities), 2);
    EXPECT_EQ(identities,
              (std::vector<std::string>{"00091000006069100001", "00091000006069300001"}));
    // The refused fabric was tried six times, the unreadable one never.
    EXPECT_EQ(channel.requestsOf("EstablishFabricSession").size(), 1u + 6u + 1u);
    EXPECT_EQ(console.output(),
              "\n  Login Failed: fabric 2. principal switch WWN = 10:00:00:60:69:20:00:01 \n");
}

} // namespace
