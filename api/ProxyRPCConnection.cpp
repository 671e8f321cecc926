#include "api/ProxyRPCConnection.h"

#include "connection/Fabric_Connection_Factory_Impl_RPC.h"
#include "connection/Fabric_Connection_Impl_RPC.h"
#include "foundation/APIException.h"
#include "foundation/InternalStatus.h"

Fabric_Connection_Impl_RPC* getProxyRPCConnection(const FabricProxyEntry& entry, int securityMode) {
    const ConnectionDescriptor descriptor(rpcProtocolKey(), entry, securityMode);
    Fabric_Connection_Factory_Impl_RPC* factory = Fabric_Connection_Factory_Impl_RPC::instance();
    Fabric_Connection_Ifc* connection = factory->createFabricConnection(descriptor);
    auto* rpc = dynamic_cast<Fabric_Connection_Impl_RPC*>(connection);
    if (rpc == nullptr) {
        factory->destroyFabricConnection(connection);
        throw ConnectionException("No RPC connection to the proxy switch.", REQ_ERR_NO_CONNECTION);
    }
    return rpc;
}

void returnProxyRPCConnection(Fabric_Connection_Impl_RPC* connection) {
    if (connection == nullptr) {
        return;
    }
    try {
        Fabric_Connection_Factory_Impl_RPC::instance()->destroyFabricConnection(connection);
    } catch (const ConnectionException&) {
        // The connection is gone either way.
    }
}
