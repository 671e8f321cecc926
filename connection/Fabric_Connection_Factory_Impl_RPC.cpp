#include "connection/Fabric_Connection_Factory_Impl_RPC.h"

#include "connection/ConnectionDescriptor.h"
#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/ManagementClient.h"
#include "foundation/APIException.h"
#include "foundation/InternalStatus.h"

Fabric_Connection_Factory_Impl_RPC* Fabric_Connection_Factory_Impl_RPC::instance() {
    static Fabric_Connection_Factory_Impl_RPC factory;
    return &factory;
}

Fabric_Connection_Ifc*
Fabric_Connection_Factory_Impl_RPC::createFabricConnection(const ConnectionDescriptor& descriptor) {
    const IPAddress host = descriptor.getProxyEntry().getHost();
    CLIENT* client = openManagementClient(host.c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS);
    if (client == nullptr) {
        throw ConnectionException("Unable to establish RPC connnection", REQ_ERR_NO_CONNECTION);
    }
    // The connection owns the client from here, also when its login throws.
    return new Fabric_Connection_Impl_RPC(client, descriptor);
}

void Fabric_Connection_Factory_Impl_RPC::destroyFabricConnection(
    Fabric_Connection_Ifc* connection) {
    delete dynamic_cast<Fabric_Connection_Impl_RPC*>(connection);
}
