// What the request layer and the connection manager need of the session
// that owns a session context: its RPC connection, the pooled connections
// it lends, its login credential, its proxy switch, and its deletion. The
// sessions install their implementation process-wide at start-up; until
// then there is no session and every borrow fails.
#pragma once

#include "foundation/IPAddress.h"

class ClientSession;
class Fabric_Connection_Ifc;
class Fabric_Connection_Impl_RPC;
class ProtocolKey;

class SessionHooks {
public:
    virtual ~SessionHooks() = default;

    // ClientSession::acquireConnection: the session's own RPC connection,
    // waiting while another request holds it; null when the session has
    // none. Throws ConnectionException when there is no session.
    virtual Fabric_Connection_Impl_RPC* acquireConnection(ClientSession* session);
    // ClientSession::getConnection: a pooled connection of the protocol to
    // the session's proxy switch; null when the pool was dropped. Throws
    // the connection manager's ConnectionException.
    virtual Fabric_Connection_Ifc* getConnection(ClientSession* session, const ProtocolKey& key);
    // ClientSession::releaseConnection: the session's own connection or a
    // pooled one it lent.
    virtual void releaseConnection(ClientSession* session, Fabric_Connection_Ifc* connection);
    // The credential text of the session's login, readable for as long as
    // the session lives; null when it has none.
    virtual const char* loginSignature(ClientSession* session);
    // The address of the proxy switch through which the session runs.
    virtual IPAddress proxyHost(ClientSession* session);
    // Deletes the session (its destructor gives the connection back).
    virtual void deleteSession(ClientSession* session);
};

// The installed hooks (a default that has no session until then).
SessionHooks& sessionHooks();
// Installs `hooks` (not owned); null restores the default. Returns the
// previous hooks.
SessionHooks* installSessionHooks(SessionHooks* hooks);
