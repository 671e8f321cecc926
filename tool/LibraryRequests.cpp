#include "LibraryRequests.h"

#include "CommandChannel.h"
#include "ReplyText.h"
#include "SystemParameters.h"
#include "console.h"

namespace {

constexpr std::size_t IdentifierLength = 48;
constexpr std::size_t FaultLength = 8;
constexpr std::size_t MaxLineLength = 127;

} // namespace

std::string requestHead(std::string_view msgType) {
    std::string request = "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n<MsgType>";
    request += msgType;
    request += "</MsgType>\n<Version major=\"1\" minor=\"0\" vendor=\"quillon\" />\n";
    return request;
}

int sendInitializeFabricAccess(CommandChannel& channel, Console& console,
                               const std::string& addressList) {
    const std::string request = requestHead("InitializeFabricAccess") + addressList + RequestEnd;
    std::string reply;
    if (!channel.process(request, reply)) {
        console.write("Initialize-Fabric-Access Failed.\n");
        return -1;
    }
    return 0;
}

int sendGetFabricIdentities(CommandChannel& channel, const SystemParameters& parameters,
                            Console& console, std::vector<std::string>& identities) {
    identities.clear();
    const std::string request = requestHead("GetFabricIdentities") + RequestEnd;
    std::string reply;
    if (!channel.process(request, reply)) {
        if (parameters.interactive() && parameters.logLevel >= 3)
            console.write(" Get-Fabric-Identities Failed.\n");
        return -1;
    }
    std::size_t cursor = 0;
    std::string value;
    while (extractXmlValue(value, reply, cursor, "<FabricReference OID=", "</YarlResponse>",
                           IdentifierLength, "", "", MoveCursor) >= 0) {
        // The reply escapes what it writes: the list holds the identifiers.
        identities.push_back(decodeXmlText(value));
    }
    return static_cast<int>(identities.size());
}

std::string identityListText(const std::vector<std::string>& identities, bool afterLogin) {
    std::string text = "<FABRICS ";
    for (const std::string& id : identities) {
        text += "OID=\"";
        appendXmlEscaped(text, id);
        text += "\" \n";
    }
    text += afterLogin ? " /> \n" : " />\n";
    return text;
}

bool ChannelSessions::establishSession(const std::string& fabricId, const Credentials& login) {
    std::string request = requestHead("EstablishFabricSession");
    request += "<ObjectReference>";
    appendXmlEscaped(request, fabricId);
    request += "</ObjectReference>\n<Login name=\"";
    appendXmlEscaped(request, login.user);
    request += "\" password=\"";
    appendXmlEscaped(request, login.password);
    request += "\" />\n";
    request += RequestEnd;
    std::string reply;
    if (!channel_.process(request, reply))
        return false;
    std::size_t cursor = 0;
    std::string fault;
    return extractXmlValue(fault, reply, cursor, "<Fault>", "</YarlResponse>", FaultLength, "", "",
                           KeepCursor) < 0;
}

int loginToFabrics(const SystemParameters& parameters, Console& console, SessionOpener& sessions,
                   std::vector<std::string>& identities) {
    const bool interactive = parameters.interactive();
    if (interactive)
        console.write("\n\n");
    FabricLogin login(parameters, console, sessions);
    std::vector<std::string> loggedIn;
    int number = 0;
    for (const std::string& id : identities) {
        ++number;
        if (id.empty())
            continue; // an identifier that could not be read
        if (login.loginToFabric(number, id))
            loggedIn.push_back(id);
    }
    identities = std::move(loggedIn);
    if (interactive) {
        console.write("\n\n   Press Enter to continue > ");
        console.readLine(MaxLineLength);
    }
    return static_cast<int>(identities.size());
}
