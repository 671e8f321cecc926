// Makes and destroys the RPC connections to proxy switches. Stateless; one
// process-wide instance.
#pragma once

#include "connection/Fabric_Connection_Factory_Ifc.h"

class Fabric_Connection_Factory_Impl_RPC : public Fabric_Connection_Factory_Ifc {
public:
    // The process-wide instance, made on first use.
    static Fabric_Connection_Factory_Impl_RPC* instance();

    // Opens the management program's client on the descriptor's proxy
    // address and makes a connection on it, which logs in as the descriptor
    // says. Throws ConnectionException("Unable to establish RPC connnection",
    // -10023) when no client can be opened within the connect time-out, or
    // what the login throws; never returns a half-made connection.
    Fabric_Connection_Ifc* createFabricConnection(const ConnectionDescriptor& descriptor) override;
    // Deletes an RPC connection (closing its client); ignores anything else.
    void destroyFabricConnection(Fabric_Connection_Ifc* connection) override;
};
