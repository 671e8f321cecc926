// Makes and destroys the HTTP connections that the connection manager pools
// under the HTTP protocol key.
#pragma once

#include "connection/Fabric_Connection_Factory_Ifc.h"

class HTTPConnectionFactory : public Fabric_Connection_Factory_Ifc {
public:
    // A new connection that has read the proxy switch's "switch.html";
    // null when memory runs out. A switch whose page cannot be read gets no
    // connection: ConnectionException with the fetch's code is thrown.
    Fabric_Connection_Ifc* createFabricConnection(const ConnectionDescriptor& descriptor) override;
    // Deletes the connection; null is ignored.
    void destroyFabricConnection(Fabric_Connection_Ifc* connection) override;
};

// The process-wide instance.
HTTPConnectionFactory* getHTTPConnectionFactory();
