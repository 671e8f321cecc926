#include "api/SessionFactory.h"

#include <optional>
#include <utility>

#include "api/ClientSession.h"
#include "api/FabricIdentity.h"
#include "api/ProxyConnectionInfo.h"
#include "api/ProxyRPCConnection.h"
#include "connection/Fabric_Connection_Impl_RPC.h"
#include "foundation/APIException.h"
#include "foundation/FirmwareVersion.h"
#include "foundation/InternalStatus.h"

namespace {

constexpr const char kNoSession[] = "Unable to establish session.";
// A proxy switch that was reached but answered neither the version query
// nor the fabric name query.
constexpr int kProxyUnanswered = -10029;
// Version given to a switch that names none but answers the fabric name.
constexpr const char kVersionlessProxy[] = "v2.2";

// Codes of a failed signature login after which the password is tried.
bool triesPasswordAfter(int code) {
    return code == -60712 || code == -10301 || code == REQ_ERR_NO_SWITCH_CERTIFICATE ||
           code == REQ_ERR_NO_CONNECTION || code == -1;
}

// The proxy switch chosen so far, with its open connection.
struct Choice {
    ProxyRPCConnection connection;
    std::optional<FabricProxyEntry> entry;

    bool made() const { return connection != nullptr; }
    void take(ProxyRPCConnection&& from, const FabricProxyEntry& of) {
        connection = std::move(from); // closes the connection chosen before
        entry = of;
    }
    std::unique_ptr<ProxyConnectionInfo> result(int errorCode) {
        if (!made()) {
            return std::make_unique<ProxyConnectionInfo>(errorCode);
        }
        // A proxy switch was chosen: what earlier entries left is no error.
        return std::make_unique<ProxyConnectionInfo>(connection.release(), *entry, 0);
    }
};

// Opens a connection without login; null when it cannot be opened.
ProxyRPCConnection openUnlogged(const FabricProxyEntry& entry) {
    try {
        return ProxyRPCConnection(getProxyRPCConnection(entry, CONNECTION_LOGIN_NONE));
    } catch (const ConnectionException&) {
        return nullptr;
    }
}

} // namespace

std::unique_ptr<ClientSession> SessionFactory::establishSession(const FabricIdentity& identity) {
    try {
        return establish(identity, true);
    } catch (const ConnectionException& failure) {
        if (!triesPasswordAfter(failure.getCode())) {
            throw;
        }
    }
    return establish(identity, false);
}

std::unique_ptr<ClientSession> SessionFactory::establish(const FabricIdentity& identity,
                                                         bool signatureLogin) {
    const std::vector<FabricProxyEntry> entries = identity.getProxyEntryList();
    const std::unique_ptr<ProxyConnectionInfo> choice =
        signatureLogin ? chooseProxyBySignature(entries) : chooseProxyConnection(entries);
    if (choice == nullptr) {
        throw ConnectionException(kNoSession, REQ_ERR_NO_CONNECTION);
    }
    // From here on the chosen connection is ours: every way out closes it
    // unless the session takes it.
    ProxyRPCConnection connection(choice->getConnection());
    if (choice->getErrorCode() != 0) {
        throw ConnectionException(kNoSession, choice->getErrorCode());
    }
    if (connection == nullptr || choice->getProxyEntry() == nullptr) {
        throw ConnectionException(kNoSession, REQ_ERR_NO_CONNECTION);
    }
    if (signatureLogin) {
        connection->loginWithSignature();
    } else {
        connection->loginWithPassword();
    }
    auto session =
        std::make_unique<ClientSession>(*choice->getProxyEntry(), connection.get(), signatureLogin);
    connection.release(); // the session owns it now
    return session;
}

std::unique_ptr<ProxyConnectionInfo>
SessionFactory::chooseProxyConnection(const std::vector<FabricProxyEntry>& entries) {
    Choice best;
    std::optional<FirmwareVersion> bestVersion;
    int errorCode = 0;
    for (const FabricProxyEntry& entry : entries) {
        ProxyRPCConnection connection = openUnlogged(entry);
        if (connection == nullptr) {
            continue;
        }
        try {
            const FirmwareVersion version = connection->getProxyVersion();
            if (!best.made() || bestVersion->compare(version) < 0) {
                best.take(std::move(connection), entry);
                bestVersion = version;
            }
            continue; // a connection not chosen closes here
        } catch (const ConnectionException&) {
        }
        // No version: a switch that still names its fabric counts as the
        // oldest firmware.
        try {
            connection->getFabricWWNAddress();
            if (!best.made()) {
                best.take(std::move(connection), entry);
                bestVersion = FirmwareVersion(kVersionlessProxy);
            }
        } catch (const ConnectionException&) {
            if (!best.made()) {
                errorCode = kProxyUnanswered;
            }
        }
    }
    return best.result(errorCode);
}

std::unique_ptr<ProxyConnectionInfo>
SessionFactory::chooseProxyBySignature(const std::vector<FabricProxyEntry>& entries) {
    Choice fallback;
    int errorCode = 0;
    for (const FabricProxyEntry& entry : entries) {
        try {
            ProxyRPCConnection connection(getProxyRPCConnection(entry, CONNECTION_LOGIN_NONE));
            if (connection->queryLoginFlag()) {
                fallback.take(std::move(connection), entry);
                break;
            }
            if (!fallback.made()) {
                fallback.take(std::move(connection), entry);
            }
        } catch (const ConnectionException&) {
            if (!fallback.made()) {
                errorCode = REQ_ERR_NO_CONNECTION;
            }
        }
    }
    return fallback.result(errorCode);
}
