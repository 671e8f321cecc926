#include "api/FabricIdentity.h"

#include <memory>

FabricIdentity::FabricIdentity(const FabricSignature& signature) : signature(signature) {}

FabricIdentity::FabricIdentity(const FabricIdentity& other) : signature(other.signature) {
    proxyEntries.reserve(other.proxyEntries.size());
    try {
        for (const FabricProxyEntry* entry : other.proxyEntries) {
            addProxyEntry(*entry);
        }
    } catch (...) {
        for (FabricProxyEntry* entry : proxyEntries) {
            delete entry;
        }
        throw;
    }
}

FabricIdentity::~FabricIdentity() {
    for (FabricProxyEntry* entry : proxyEntries) {
        delete entry;
    }
}

void FabricIdentity::addProxyEntry(const FabricProxyEntry& entry) {
    auto copy = std::make_unique<FabricProxyEntry>(entry);
    proxyEntries.push_back(copy.get());
    copy.release();
}

const std::vector<FabricProxyEntry*>& FabricIdentity::getProxyEntries() const {
    return proxyEntries;
}

const FabricSignature& FabricIdentity::getSignature() const {
    return signature;
}

std::vector<FabricProxyEntry> FabricIdentity::getProxyEntryList() const {
    std::vector<FabricProxyEntry> copies;
    copies.reserve(proxyEntries.size());
    for (const FabricProxyEntry* entry : proxyEntries) {
        copies.push_back(*entry);
    }
    return copies;
}

WWNAddress FabricIdentity::getFabricWWN() const {
    return signature.getFabricWWN();
}

void FabricIdentity::setCredentials(const std::string& user, const std::string& password) {
    for (FabricProxyEntry* entry : proxyEntries) {
        entry->setUser(user);
        entry->setPassword(password);
    }
}

bool FabricIdentity::isComplete() const {
    return signature.isComplete();
}

void FabricIdentity::setComplete(bool complete) {
    signature.setComplete(complete);
}

void FabricIdentity::setSwitches(const std::set<WWNAddress>& switches) {
    signature.setSwitches(switches);
}
