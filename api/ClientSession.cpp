#include "api/ClientSession.h"

#include <cstring>

#include "api/ProxyRPCConnection.h"
#include "connection/ConnectionDescriptor.h"
#include "connection/ConnectionID.h"
#include "connection/Connection_Mgr_Impl_Std.h"
#include "connection/Fabric_Connection_Impl_RPC.h"
#include "foundation/APIException.h"
#include "foundation/LockGuard.h"

ClientSession::ClientSession(const FabricProxyEntry& proxyEntry,
                             Fabric_Connection_Impl_RPC* connection, bool signatureLogin)
    : proxyEntry(proxyEntry), connection(connection), signatureLogin(signatureLogin) {
    keepLoginText(connection);
    if (Connection_Mgr_Ifc* manager = getConnectionManager()) {
        manager->sessionEstablished(this);
    }
}

ClientSession::~ClientSession() {
    if (Connection_Mgr_Ifc* manager = getConnectionManager()) {
        manager->sessionEnded(this);
    }
    returnProxyRPCConnection(connection);
}

int ClientSession::hashCode() const {
    return proxyEntry.hashCode();
}

bool ClientSession::equals(const Quillon_CollectionMember_Ifc& other) const {
    const auto* session = dynamic_cast<const ClientSession*>(&other);
    return session != nullptr && (session == this || proxyEntry.equals(session->proxyEntry));
}

std::string ClientSession::getLoginSignature() {
    Fabric_Connection_Impl_RPC* own = acquireConnection();
    if (own == nullptr) {
        return std::string();
    }
    const char* text = own->getLoginSignature();
    std::string signature = text != nullptr ? text : "";
    releaseConnection(own);
    return signature;
}

FabricProxyEntry ClientSession::getProxyEntry() const {
    return proxyEntry;
}

bool ClientSession::isSignatureLogin() const {
    return signatureLogin;
}

Fabric_Connection_Impl_RPC* ClientSession::acquireConnection() {
    LockGuard guard(&waitMutex);
    while (inUse) {
        waitMutex.wait();
    }
    if (connection == nullptr) {
        return nullptr;
    }
    inUse = true;
    return connection;
}

Fabric_Connection_Ifc* ClientSession::getConnection(const ProtocolKey& key,
                                                    const ConnectionID& id) {
    Connection_Mgr_Ifc* manager = getConnectionManager();
    if (manager == nullptr) {
        return nullptr;
    }
    return manager->getConnection(ConnectionDescriptor(key, proxyEntry, loginMode()), id);
}

Fabric_Connection_Ifc* ClientSession::getConnection(const ProtocolKey& key) {
    Connection_Mgr_Ifc* manager = getConnectionManager();
    if (manager == nullptr) {
        return nullptr;
    }
    return manager->getConnection(ConnectionDescriptor(key, proxyEntry, loginMode()));
}

void ClientSession::releaseConnection(Fabric_Connection_Ifc* lent) {
    if (lent == nullptr) {
        return;
    }
    {
        LockGuard guard(&waitMutex);
        if (connection != nullptr && lent == connection) {
            inUse = false;
            waitMutex.signal();
            return;
        }
    }
    if (Connection_Mgr_Ifc* manager = getConnectionManager()) {
        manager->returnConnection(lent);
    }
}

Fabric_Connection_Ifc* ClientSession::replaceConnection(Fabric_Connection_Ifc* broken,
                                                        const ConnectionID& id) {
    LockGuard guard(&waitMutex);
    if (broken == nullptr || broken != connection) {
        guard.unlock();
        Connection_Mgr_Ifc* manager = getConnectionManager();
        return manager != nullptr ? manager->replaceConnection(broken, id) : nullptr;
    }
    // The caller holds the connection (inUse), so waiters keep waiting
    // while it is replaced.
    returnProxyRPCConnection(connection);
    connection = nullptr;
    try {
        connection = getProxyRPCConnection(proxyEntry, loginMode());
    } catch (const ConnectionException&) {
        // Broken: nobody holds a connection any more, and every waiter
        // learns that there is none.
        inUse = false;
        waitMutex.broadcast();
        throw;
    }
    keepLoginText(connection);
    return connection;
}

bool ClientSession::isConnectionInUse() const {
    LockGuard guard(&waitMutex);
    return inUse;
}

int ClientSession::loginMode() const {
    return signatureLogin ? CONNECTION_LOGIN_SIGNATURE : CONNECTION_LOGIN_PASSWORD;
}

void ClientSession::keepLoginText(const Fabric_Connection_Impl_RPC* from) {
    const char* text = from != nullptr ? from->getLoginSignature() : nullptr;
    std::memset(loginText, 0, sizeof loginText);
    if (text != nullptr) {
        std::memcpy(loginText, text, strnlen(text, sizeof loginText - 1));
    }
}
