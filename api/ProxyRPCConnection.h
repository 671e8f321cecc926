// The unpooled RPC connections that discovery and sessions open to a proxy
// switch through the RPC connection factory.
#pragma once

#include <memory>

#include "connection/FabricProxyEntry.h"
#include "connection/ConnectionDescriptor.h"

class Fabric_Connection_Impl_RPC;

// A new RPC connection to the entry's proxy switch, logged in as
// `securityMode` says (100 certificate, 101 password, 102 none). Throws
// ConnectionException when it cannot be opened or the login fails.
Fabric_Connection_Impl_RPC* getProxyRPCConnection(const FabricProxyEntry& entry,
                                                  int securityMode = CONNECTION_LOGIN_NONE);
// Closes a connection that getProxyRPCConnection opened; null is ignored.
void returnProxyRPCConnection(Fabric_Connection_Impl_RPC* connection);

struct ReturnProxyRPCConnection {
    void operator()(Fabric_Connection_Impl_RPC* connection) const {
        returnProxyRPCConnection(connection);
    }
};
// An opened connection that goes back to the factory unless released.
using ProxyRPCConnection = std::unique_ptr<Fabric_Connection_Impl_RPC, ReturnProxyRPCConnection>;
