// The session factory's choice of a proxy switch: the chosen switch's
// connection (not owned), a copy of its entry, and the error code when
// none was chosen.
#pragma once

#include <memory>

#include "connection/FabricProxyEntry.h"

class Fabric_Connection_Impl_RPC;

class ProxyConnectionInfo {
public:
    // A choice: copies `entry`.
    ProxyConnectionInfo(Fabric_Connection_Impl_RPC* connection, const FabricProxyEntry& entry,
                        int errorCode);
    // No choice: no connection, no entry.
    explicit ProxyConnectionInfo(int errorCode);
    virtual ~ProxyConnectionInfo() = default;
    ProxyConnectionInfo(const ProxyConnectionInfo&) = delete;
    ProxyConnectionInfo& operator=(const ProxyConnectionInfo&) = delete;

    // Null when none was chosen.
    virtual const FabricProxyEntry* getProxyEntry() const { return proxyEntry.get(); }
    virtual Fabric_Connection_Impl_RPC* getConnection() const { return connection; }
    // 0 when a proxy switch was chosen.
    virtual int getErrorCode() const { return errorCode; }

private:
    Fabric_Connection_Impl_RPC* connection;
    std::unique_ptr<FabricProxyEntry> proxyEntry;
    int errorCode;
};
