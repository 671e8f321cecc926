// The result of one discovery: the fabrics found, ordered by their world
// wide name, and the proxy switches that could not be used.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "api/FabricIdentity.h"

using FabricIdentityMap = std::map<WWNAddress, std::unique_ptr<FabricIdentity>>;

class FabricDiscoveryInfo {
public:
    FabricDiscoveryInfo(FabricIdentityMap identities, std::vector<FabricProxyEntry> unreachable,
                        std::vector<FabricProxyEntry> unstable);
    FabricDiscoveryInfo(const FabricDiscoveryInfo&) = delete;
    FabricDiscoveryInfo& operator=(const FabricDiscoveryInfo&) = delete;
    virtual ~FabricDiscoveryInfo() = default;

    virtual const FabricIdentityMap& getIdentities() const;
    // Proxy switches that could not be connected to or did not answer.
    virtual const std::vector<FabricProxyEntry>& getUnreachableEntries() const;
    // Proxy switches that answered an all-zero fabric name.
    virtual const std::vector<FabricProxyEntry>& getUnstableEntries() const;

private:
    FabricIdentityMap identities;
    std::vector<FabricProxyEntry> unreachableEntries;
    std::vector<FabricProxyEntry> unstableEntries;
};
