// The sessions' side of the session hooks: what the request layer and the
// connection manager ask of a session, answered by its ClientSession.
// Start-up installs them.
#pragma once

#include "connection/SessionHooks.h"

class ClientSessionHooks : public SessionHooks {
public:
    // The session's own connection; null when it is broken. Throws
    // ConnectionException("Error session closed.", -202) without a session.
    Fabric_Connection_Impl_RPC* acquireConnection(ClientSession* session) override;
    Fabric_Connection_Ifc* getConnection(ClientSession* session, const ProtocolKey& key) override;
    void releaseConnection(ClientSession* session, Fabric_Connection_Ifc* connection) override;
    const char* loginSignature(ClientSession* session) override;
    IPAddress proxyHost(ClientSession* session) override;
    void deleteSession(ClientSession* session) override;
};

// Installs the process-wide ClientSessionHooks (idempotent).
void installClientSessionHooks();
