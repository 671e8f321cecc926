#include "api/ClientSessionHooks.h"

#include "api/ClientSession.h"
#include "foundation/APIException.h"

namespace {

constexpr int kSessionClosed = -202;

ClientSession& existing(ClientSession* session) {
    if (session == nullptr) {
        throw ConnectionException("Error session closed.", kSessionClosed);
    }
    return *session;
}

} // namespace

Fabric_Connection_Impl_RPC* ClientSessionHooks::acquireConnection(ClientSession* session) {
    return existing(session).acquireConnection();
}

Fabric_Connection_Ifc* ClientSessionHooks::getConnection(ClientSession* session,
                                                         const ProtocolKey& key) {
    return existing(session).getConnection(key);
}

void ClientSessionHooks::releaseConnection(ClientSession* session,
                                           Fabric_Connection_Ifc* connection) {
    if (session != nullptr) {
        session->releaseConnection(connection);
    }
}

const char* ClientSessionHooks::loginSignature(ClientSession* session) {
    return session != nullptr ? session->loginSignatureText() : nullptr;
}

IPAddress ClientSessionHooks::proxyHost(ClientSession* session) {
    return session != nullptr ? session->getProxyEntry().getHost() : IPAddress("");
}

void ClientSessionHooks::deleteSession(ClientSession* session) {
    delete session;
}

void installClientSessionHooks() {
    static ClientSessionHooks hooks;
    installSessionHooks(&hooks);
}
