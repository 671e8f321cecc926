// A connection to one proxy switch over one transport (RPC or HTTP). The
// connection manager pools these; a session holds one RPC connection of its
// own. A connection is used by one thread at a time.
#pragma once

#include "connection/ConnectionDescriptor.h"
#include "connection/ConnectionID.h"
#include "connection/ConnectionStatus.h"
#include "connection/ProtocolKey.h"
#include "connection/Quillon_CollectionMember_Ifc.h"
#include "foundation/FirmwareVersion.h"
#include "foundation/IPAddress.h"
#include "foundation/WWNAddress.h"

#include <string>

class Fabric_Connection_Ifc : public Quillon_CollectionMember_Ifc {
public:
    // Two connections are equal only when they are the same object.
    bool equals(const Quillon_CollectionMember_Ifc& other) const override {
        const auto* connection = dynamic_cast<const Fabric_Connection_Ifc*>(&other);
        return connection != nullptr && ConnectionID(connection) == ConnectionID(this);
    }

    virtual WWNAddress getFabricWWNAddress() = 0;
    virtual FirmwareVersion getProxyVersion() = 0;
    virtual WWNAddress getProxyWWNAddress() = 0;
    virtual IPAddress getProxyIPAddress() = 0;
    virtual ProtocolKey getProtocolDescriptor() = 0;
    virtual std::string getLoginUser() = 0;
    virtual std::string getLoginPassword() = 0;
    virtual ConnectionDescriptor getConnectionDescriptor() = 0;
    // The transport's own handle: the RPC client, or the HTTP connection.
    virtual void* getHandle() = 0;
    virtual ConnectionStatus checkStatus() = 0;
};
