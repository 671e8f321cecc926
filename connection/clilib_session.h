// The session context that every operation of the request layer takes
// first, and the way a request borrows the session's RPC connection.
#pragma once

#include <rpc/rpc.h>

class ClientSession;
class Fabric_Connection_Ifc;
class Fabric_Connection_Impl_RPC;

// A typed block of type 2, one element. The handle and the credential text
// belong to the session's connection, which lives as long as the session;
// the context owns the session.
struct SessionContext {
    CLIENT* handle;             // the session connection's RPC client handle
    const char* loginSignature; // credential text of that connection's login
    unsigned char proxyWWN[8];  // the proxy switch's world wide name
    unsigned char fabricWWN[8]; // the fabric's world wide name
    ClientSession* session;     // the session that owns the connection
};

// Builds the context of `session` from its RPC connection (borrowed and
// given back). Throws ConnectionException (-10024) when the block cannot be
// allocated; a ConnectionException while the connection is read frees the
// context, gives the connection back and is passed on.
SessionContext* createSessionContext(ClientSession* session);

// Deletes the context's session (when there is one) and frees the block. A
// null context is ignored.
void destroySessionContext(SessionContext* ctx);

// The session's own RPC connection; waits while another request holds it.
// Throws ConnectionException("Error session closed.", -202) without a
// session, or when the session has lost its connection.
Fabric_Connection_Impl_RPC* getSessionRPCConnection(SessionContext* ctx);
// The same connection, as any fabric connection.
Fabric_Connection_Ifc* getSessionConnection(SessionContext* ctx);
// A pooled HTTP connection (protocol key 2, 101) to the session's proxy
// switch, made by the HTTP connection factory; it goes back through
// returnSessionRPCConnection. Throws ConnectionException("Error session
// closed.", -202) without a session or a connection, or the pool's
// ConnectionException.
Fabric_Connection_Ifc* getSessionHTTPConnection(SessionContext* ctx);

// Gives a connection that the session lent (its own or a pooled one) back
// to the session; a ConnectionException raised there is swallowed.
void returnSessionRPCConnection(Fabric_Connection_Ifc* connection, SessionContext* ctx);
