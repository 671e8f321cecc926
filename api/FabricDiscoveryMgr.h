// Finds out which fabrics the registered proxy switches reach: asks each
// proxy switch, without logging in, for its fabric's world wide name and
// groups the proxy switches by fabric. Where a proxy entry carries a user
// name and a password it also logs in and reads the fabric's switch list.
// Every discovery replaces the fabric identity registry.
#pragma once

#include <vector>

#include "api/FabricDiscoveryInfo.h"

class Fabric_Connection_Impl_RPC;

class FabricDiscoveryMgr {
public:
    FabricDiscoveryMgr() = default;
    FabricDiscoveryMgr(const FabricDiscoveryMgr&) = delete;
    FabricDiscoveryMgr& operator=(const FabricDiscoveryMgr&) = delete;
    virtual ~FabricDiscoveryMgr() = default;

    // Tries the entries in order, one after another. Never fails for a
    // switch: connection problems make an entry unreachable, an all-zero
    // fabric name makes it unstable, and a failed login or switch list
    // leaves the fabric's identity incomplete. Once shutdown has begun it
    // tries no further entry and returns what it found so far.
    virtual std::unique_ptr<FabricDiscoveryInfo>
    discover(const std::vector<FabricProxyEntry>& entries);
    // discover() over a copy of the whole proxy list.
    virtual std::unique_ptr<FabricDiscoveryInfo> discover();

    // A new RPC connection without login; throws ConnectionException.
    static Fabric_Connection_Impl_RPC* connect(const FabricProxyEntry& entry);
    // Destroys the connection; a ConnectionException is swallowed.
    static void disconnect(Fabric_Connection_Impl_RPC* connection);
    static FabricIdentity* getOrCreateIdentity(const WWNAddress& fabricWWN,
                                               FabricIdentityMap& identities);
    // Logs in (certificate first, then password) and reads the switch list
    // into an incomplete identity; any failure leaves it incomplete.
    static void readSignature(FabricIdentity* identity, Fabric_Connection_Impl_RPC& connection);
};
