#include "connection/ConnectionDescriptor.h"

ConnectionDescriptor::ConnectionDescriptor(const ProtocolKey& key,
                                           const FabricProxyEntry& proxyEntry, int securityMode)
    : key(key), proxyEntry(proxyEntry), securityMode(securityMode) {}

ProtocolKey ConnectionDescriptor::getProtocolKey() const {
    return key;
}

FabricProxyEntry ConnectionDescriptor::getProxyEntry() const {
    return proxyEntry;
}

int ConnectionDescriptor::hashCode() const {
    return static_cast<int>(static_cast<unsigned>(key.hashCode()) +
                            static_cast<unsigned>(proxyEntry.hashCode()));
}

bool ConnectionDescriptor::equals(const ConnectionDescriptor& other) const {
    return key.equals(other.key) && proxyEntry.equals(other.proxyEntry);
}

int ConnectionDescriptor::getSecurityMode() const {
    return securityMode;
}
