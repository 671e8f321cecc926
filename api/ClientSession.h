// The library's live link to one fabric: a copy of the proxy switch entry
// through which the session was opened, the session's own logged-in RPC
// connection to that switch, and a wait mutex that lends the connection to
// one request at a time. Pooled connections to the same switch (the HTTP
// pages) are lent through the connection manager.
//
// The own connection is never pooled; the destructor closes it. When it
// cannot be replaced, the session is broken: it keeps no connection, its
// waiters are woken, and every later borrow gets none (the request layer
// reports -10023).
//
// Locks: the wait mutex guards `connection`, `inUse` and the login text.
// Pooled connections are got and given back with the wait mutex released,
// since the connection manager's locks come before it.
#pragma once

#include <string>

#include "connection/FabricProxyEntry.h"
#include "connection/Quillon_CollectionMember_Ifc.h"
#include "connection/RPCSecureSig.h"
#include "foundation/CVoskWaitMutex.h"

class ConnectionID;
class Fabric_Connection_Ifc;
class Fabric_Connection_Impl_RPC;
class ProtocolKey;

class ClientSession : public Quillon_CollectionMember_Ifc {
public:
    // Takes `connection` (logged in) and tells the connection manager that a
    // session on the proxy switch opened.
    ClientSession(const FabricProxyEntry& proxyEntry, Fabric_Connection_Impl_RPC* connection,
                  bool signatureLogin);
    // Tells the connection manager that the session ended (the switch's last
    // session drops its pools), then closes the own connection.
    ~ClientSession() override;
    ClientSession(const ClientSession&) = delete;
    ClientSession& operator=(const ClientSession&) = delete;

    // The proxy entry's hash.
    int hashCode() const override;
    // The same session, or one with an equal proxy entry.
    bool equals(const Quillon_CollectionMember_Ifc& other) const override;
    // The credential text of the own connection's login, read while the
    // connection is borrowed; empty when the session has no connection.
    virtual std::string getLoginSignature();
    virtual FabricProxyEntry getProxyEntry() const;
    // True for a login by certificate signature, false for the password.
    virtual bool isSignatureLogin() const;

    // The own connection, waiting while another request holds it; null
    // when the session is broken. Give it back with releaseConnection.
    virtual Fabric_Connection_Impl_RPC* acquireConnection();
    // A pooled connection of the protocol to the proxy switch, logging in as
    // the session did: the idle one named `id` (null when the pool does not
    // hold it), or any. Null while the library has no connection manager or
    // when the pool was dropped; throws the pool's ConnectionException.
    virtual Fabric_Connection_Ifc* getConnection(const ProtocolKey& key, const ConnectionID& id);
    virtual Fabric_Connection_Ifc* getConnection(const ProtocolKey& key);
    // The own connection becomes free for the next request; a pooled one
    // goes back to its pool.
    virtual void releaseConnection(Fabric_Connection_Ifc* connection);
    // Closes a broken connection that the caller holds and hands out a new
    // one in its place: for the own connection a new logged-in connection,
    // for a pooled one the pool's replacement. Either way the old
    // connection is gone. A ConnectionException propagates; for the own
    // connection the session is then broken.
    virtual Fabric_Connection_Ifc* replaceConnection(Fabric_Connection_Ifc* connection,
                                                     const ConnectionID& id);

    // The login text for the session context: it lives in the session, so
    // it stays readable for as long as the session does.
    const char* loginSignatureText() const { return loginText; }
    // Whether a request holds the own connection.
    bool isConnectionInUse() const;

private:
    int loginMode() const;
    // Copies the connection's credential into the login text.
    void keepLoginText(const Fabric_Connection_Impl_RPC* from);

    FabricProxyEntry proxyEntry;
    Fabric_Connection_Impl_RPC* connection;
    bool signatureLogin;
    mutable CVoskWaitMutex waitMutex{LockRank::SessionConnection};
    bool inUse = false;
    char loginText[RPCSecureSig::TextSize] = {};
};
