#include "api/ProxyConnectionInfo.h"

ProxyConnectionInfo::ProxyConnectionInfo(Fabric_Connection_Impl_RPC* connection,
                                         const FabricProxyEntry& entry, int errorCode)
    : connection(connection), proxyEntry(std::make_unique<FabricProxyEntry>(entry)),
      errorCode(errorCode) {}

ProxyConnectionInfo::ProxyConnectionInfo(int errorCode)
    : connection(nullptr), errorCode(errorCode) {}
