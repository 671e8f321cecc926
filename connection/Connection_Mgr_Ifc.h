// The connection manager: owns every pooled connection to the proxy
// switches, one pool per proxy switch and protocol, and counts the open
// sessions on each proxy switch to drop its pools when the last one ends.
#pragma once

class ClientSession;
class ConnectionDescriptor;
class ConnectionID;
class Fabric_Connection_Factory_Ifc;
class Fabric_Connection_Ifc;
class ProtocolKey;

class Connection_Mgr_Ifc {
public:
    virtual ~Connection_Mgr_Ifc() = default;

    // The idle pooled connection with this identity, waiting while it is on
    // loan; null when the pool does not hold it.
    virtual Fabric_Connection_Ifc* getConnection(const ConnectionDescriptor& descriptor,
                                                 const ConnectionID& id) = 0;
    // A connection from the descriptor's pool, waiting while the pool is
    // full; null when the pool was dropped meanwhile. Throws the factory's
    // ConnectionException, or one with code 2000 when no factory serves the
    // descriptor's protocol.
    virtual Fabric_Connection_Ifc* getConnection(const ConnectionDescriptor& descriptor) = 0;
    // Destroys a broken connection on loan and hands out another in its place.
    virtual Fabric_Connection_Ifc* replaceConnection(Fabric_Connection_Ifc* connection,
                                                     const ConnectionID& ignored) = 0;
    virtual void returnConnection(Fabric_Connection_Ifc* connection) = 0;
    // A session opened or ended; the manager counts the sessions on each
    // proxy switch (the session's proxy host, asked of the session hooks).
    virtual void sessionEstablished(ClientSession* session) = 0;
    virtual void sessionEnded(ClientSession* session) = 0;
    // Sets the factory of a protocol (not owned), replacing an earlier one.
    virtual void addConnectionFactory(const ProtocolKey& key,
                                      Fabric_Connection_Factory_Ifc* factory) = 0;
};
