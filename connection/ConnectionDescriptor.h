// What a connection is opened with: the protocol, the proxy switch with the
// user and password to log in with, and how to log in.
#pragma once

#include "connection/FabricProxyEntry.h"
#include "connection/ProtocolKey.h"

// Security modes: how a new RPC connection logs in.
constexpr int CONNECTION_LOGIN_SIGNATURE = 100; // certificate challenge
constexpr int CONNECTION_LOGIN_PASSWORD = 101;  // user name and password
constexpr int CONNECTION_LOGIN_NONE = 102;      // no login (any other value too)

class ConnectionDescriptor {
public:
    ConnectionDescriptor(const ProtocolKey& key, const FabricProxyEntry& proxyEntry,
                         int securityMode);
    virtual ~ConnectionDescriptor() = default;

    virtual ProtocolKey getProtocolKey() const;
    virtual FabricProxyEntry getProxyEntry() const;
    // The key's hash plus the proxy entry's.
    virtual int hashCode() const;
    // Equal keys and equal proxy entries.
    virtual bool equals(const ConnectionDescriptor& other) const;
    virtual int getSecurityMode() const;

private:
    ProtocolKey key;
    FabricProxyEntry proxyEntry;
    int securityMode;
};
