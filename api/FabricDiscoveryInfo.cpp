#include "api/FabricDiscoveryInfo.h"

#include <utility>

FabricDiscoveryInfo::FabricDiscoveryInfo(FabricIdentityMap identities,
                                         std::vector<FabricProxyEntry> unreachable,
                                         std::vector<FabricProxyEntry> unstable)
    : identities(std::move(identities)), unreachableEntries(std::move(unreachable)),
      unstableEntries(std::move(unstable)) {}

const FabricIdentityMap& FabricDiscoveryInfo::getIdentities() const {
    return identities;
}

const std::vector<FabricProxyEntry>& FabricDiscoveryInfo::getUnreachableEntries() const {
    return unreachableEntries;
}

const std::vector<FabricProxyEntry>& FabricDiscoveryInfo::getUnstableEntries() const {
    return unstableEntries;
}
