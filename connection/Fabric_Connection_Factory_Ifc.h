// Makes and destroys the connections of one protocol. Only the factory of a
// connection's protocol makes or destroys it.
#pragma once

class ConnectionDescriptor;
class Fabric_Connection_Ifc;

class Fabric_Connection_Factory_Ifc {
public:
    virtual ~Fabric_Connection_Factory_Ifc() = default;
    // A new, ready connection; failures are thrown, never half-made.
    virtual Fabric_Connection_Ifc*
    createFabricConnection(const ConnectionDescriptor& descriptor) = 0;
    virtual void destroyFabricConnection(Fabric_Connection_Ifc* connection) = 0;
};
