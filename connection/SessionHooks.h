// What the request layer needs of the session that owns a session context:
// its RPC connection, the connection's login credential, and the session's
// deletion. Sessions install their implementation process-wide; until one
// is installed there is no session and every borrow fails.
#pragma once

class ClientSession;
class Fabric_Connection_Impl_RPC;

class SessionHooks {
public:
    virtual ~SessionHooks() = default;

    // ClientSession::acquireConnection: the session's own RPC connection,
    // waiting while another request holds it. Throws ConnectionException
    // when the session has none.
    virtual Fabric_Connection_Impl_RPC* acquireConnection(ClientSession* session);
    // ClientSession::releaseConnection.
    virtual void releaseConnection(ClientSession* session, Fabric_Connection_Impl_RPC* connection);
    // The credential text of the connection's login (getLoginSignature);
    // null when it has none.
    virtual const char* loginSignature(Fabric_Connection_Impl_RPC* connection);
    // Deletes the session (its destructor gives the connection back).
    virtual void deleteSession(ClientSession* session);
};

// The installed hooks (a default that has no session until then).
SessionHooks& sessionHooks();
// Installs `hooks` (not owned); null restores the default. Returns the
// previous hooks.
SessionHooks* installSessionHooks(SessionHooks* hooks);
