// The requests that open zettle's fabric sessions in the library: start
// fabric access with the switch addresses, list the fabrics, and log in to
// each of them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "FabricLogin.h"

class CommandChannel;
class Console;
struct SystemParameters;

// The head of every request: the XML declaration, "<YarlRequest>", the
// command's MsgType and the version element.
std::string requestHead(std::string_view msgType);
inline constexpr char RequestEnd[] = "</YarlRequest>\n";

// InitializeFabricAccess with the address list as its body: 0, or -1 when
// the library refused it.
int sendInitializeFabricAccess(CommandChannel& channel, Console& console,
                               const std::string& addressList);

// GetFabricIdentities: `identities` receives the identifier of every fabric
// the reply lists. Their number, or -1 when the library refused it.
int sendGetFabricIdentities(CommandChannel& channel, const SystemParameters& parameters,
                            Console& console, std::vector<std::string>& identities);

// The fabric identity list as text: "<FABRICS " and one OID line per
// fabric, ended as GetFabricIdentities ends it (" />\n") or, after the
// logins, as the logins end it (" /> \n").
std::string identityListText(const std::vector<std::string>& identities, bool afterLogin);

// EstablishFabricSession through the channel: a login is accepted when the
// library succeeded and its reply holds no Fault.
class ChannelSessions : public SessionOpener {
public:
    explicit ChannelSessions(CommandChannel& channel) : channel_(channel) {}
    bool establishSession(const std::string& fabricId, const Credentials& login) override;

private:
    CommandChannel& channel_;
};

// Logs in to every fabric of `identities` (FabricLogin), which then keeps
// only the fabrics logged into: their number.
int loginToFabrics(const SystemParameters& parameters, Console& console, SessionOpener& sessions,
                   std::vector<std::string>& identities);
