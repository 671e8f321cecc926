// A discovered fabric: its signature and the proxy switches through which
// it was seen, in the order they were tried.
#pragma once

#include <string>
#include <vector>

#include "api/FabricSignature.h"
#include "connection/FabricProxyEntry.h"

class FabricIdentity {
public:
    // A copy of `signature`, no proxy entries yet.
    explicit FabricIdentity(const FabricSignature& signature);
    // Copies the signature and every proxy entry.
    FabricIdentity(const FabricIdentity& other);
    FabricIdentity& operator=(const FabricIdentity&) = delete;
    virtual ~FabricIdentity();

    // Appends a copy of `entry`.
    virtual void addProxyEntry(const FabricProxyEntry& entry);
    // The owned entries themselves, for the record converters.
    virtual const std::vector<FabricProxyEntry*>& getProxyEntries() const;
    virtual const FabricSignature& getSignature() const;
    // Copies of the entries, in order.
    virtual std::vector<FabricProxyEntry> getProxyEntryList() const;
    virtual WWNAddress getFabricWWN() const;
    // Sets user and password on every proxy entry.
    virtual void setCredentials(const std::string& user, const std::string& password);
    virtual bool isComplete() const;
    virtual void setComplete(bool complete);
    virtual void setSwitches(const std::set<WWNAddress>& switches);

private:
    FabricSignature signature;
    std::vector<FabricProxyEntry*> proxyEntries;
};
