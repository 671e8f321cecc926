// The identities of the last discovery, by fabric world wide name, from
// which sessions are opened. One process-wide registry that outlives a
// shutdown; its own lock makes each operation atomic.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "api/FabricIdentity.h"
#include "foundation/Mutex.h"

class FabricIdentityRegistry {
public:
    FabricIdentityRegistry() = default;
    FabricIdentityRegistry(const FabricIdentityRegistry&) = delete;
    FabricIdentityRegistry& operator=(const FabricIdentityRegistry&) = delete;

    // Runs `visit` on the identity of `fabricWWN` (or null) under the
    // registry's lock: the identity stays valid only for the visit.
    void find(const WWNAddress& fabricWWN, const std::function<void(FabricIdentity*)>& visit) const;
    // Takes `identity`, replacing one of the same fabric.
    void add(std::unique_ptr<FabricIdentity> identity);
    void clear();
    // Replaces every identity by copies of `fabrics`, in one step.
    void replaceAll(const std::map<WWNAddress, std::unique_ptr<FabricIdentity>>& fabrics);
    int count() const;

private:
    mutable Mutex lock{"FabricIdentityRegistry"};
    std::map<WWNAddress, std::unique_ptr<FabricIdentity>> identities;
};

// The process-wide registry, empty on first use.
FabricIdentityRegistry& getFabricIdentityRegistry();
