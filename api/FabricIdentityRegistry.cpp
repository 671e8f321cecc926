#include "api/FabricIdentityRegistry.h"

#include <utility>

#include "foundation/LockGuard.h"

void FabricIdentityRegistry::find(const WWNAddress& fabricWWN,
                                  const std::function<void(FabricIdentity*)>& visit) const {
    LockGuard guard(&lock);
    const auto it = identities.find(fabricWWN);
    visit(it == identities.end() ? nullptr : it->second.get());
}

void FabricIdentityRegistry::add(std::unique_ptr<FabricIdentity> identity) {
    const WWNAddress key = identity->getFabricWWN();
    LockGuard guard(&lock);
    identities[key] = std::move(identity);
}

void FabricIdentityRegistry::clear() {
    std::map<WWNAddress, std::unique_ptr<FabricIdentity>> old;
    {
        LockGuard guard(&lock);
        old.swap(identities);
    }
}

void FabricIdentityRegistry::replaceAll(
    const std::map<WWNAddress, std::unique_ptr<FabricIdentity>>& fabrics) {
    std::map<WWNAddress, std::unique_ptr<FabricIdentity>> copies;
    for (const auto& [wwn, identity] : fabrics) {
        copies.emplace(wwn, std::make_unique<FabricIdentity>(*identity));
    }
    LockGuard guard(&lock);
    identities.swap(copies);
}

int FabricIdentityRegistry::count() const {
    LockGuard guard(&lock);
    return static_cast<int>(identities.size());
}

FabricIdentityRegistry& getFabricIdentityRegistry() {
    static FabricIdentityRegistry registry;
    return registry;
}
