// The flat records that the discovery, signature and proxy exports hand to
// callers, built from the library's discovery results. Every text and array
// of a record is a C-heap block of its own, which the caller-block
// allocators (foundation/CallerAllocators.h) release with the record.
//
// The converters of signatures, identities and discovery results read them
// through the operations those classes offer: a signature's getFabricWWN()
// and getSwitches() (an ordered set of WWNAddress), an identity's
// getSignature() and getProxyEntries() (owned FabricProxyEntry pointers),
// a discovery result's getIdentities() (a map from the fabric's WWNAddress
// to owned FabricIdentity pointers, in the name's order),
// getUnreachableEntries() and getUnstableEntries() (FabricProxyEntry
// values).
#pragma once

#include <cstddef>
#include <cstdlib>
#include <vector>

#include <orvane/fabapi.h>

#include "connection/FabricProxyEntry.h"
#include "foundation/InternalStatus.h"
#include "foundation/WWNAddress.h"

// One proxy entry record per entry, in order, with the host's address text,
// the user and an empty password; an empty list gives a null array and count 0.
// -10024 (nothing kept) when memory runs out.
int toProxyEntryRecords(const std::vector<const FabricProxyEntry*>& entries,
                        FabAPI_ProxyEntry** out, int* count);
int toProxyEntryRecords(const std::vector<FabricProxyEntry>& entries, FabAPI_ProxyEntry** out,
                        int* count);
int toProxyEntryRecords(const std::vector<FabricProxyEntry*>& entries, FabAPI_ProxyEntry** out,
                        int* count);
// Releases what toProxyEntryRecords made.
void freeProxyEntryRecords(FabAPI_ProxyEntry* entries, int count);

// The fabric's identifier (type 9) and one identifier (type 2) per switch,
// in the order given.
int makeFabricSignatureRecord(const WWNAddress& fabricWWN, const std::vector<WWNAddress>& switches,
                              FabAPI_FabricSignature* out);
void freeFabricSignatureRecord(FabAPI_FabricSignature* record);
void freeFabricIdentityRecord(FabAPI_FabricIdentity* record);
void freeFabricDiscoveryInfoRecord(FabAPI_FabricDiscoveryInfo* record);

template <class Signature>
int toFabricSignatureRecord(const Signature& signature, FabAPI_FabricSignature* out) {
    const auto switches = signature.getSwitches();
    return makeFabricSignatureRecord(
        signature.getFabricWWN(), std::vector<WWNAddress>(switches.begin(), switches.end()), out);
}

template <class Identity>
int toFabricIdentityRecord(const Identity& identity, FabAPI_FabricIdentity* out) {
    int status = toFabricSignatureRecord(identity.getSignature(), &out->structFabSig);
    if (status == 0) {
        status = toProxyEntryRecords(identity.getProxyEntries(), &out->entries, &out->count);
        if (status != 0) {
            freeFabricSignatureRecord(&out->structFabSig);
        }
    }
    return status;
}

template <class DiscoveryInfo>
int toFabricDiscoveryInfoRecord(const DiscoveryInfo& info, FabAPI_FabricDiscoveryInfo* out) {
    *out = FabAPI_FabricDiscoveryInfo{};
    const auto& identities = info.getIdentities();
    if (!identities.empty()) {
        out->structFabIdentities = static_cast<FabAPI_FabricIdentity*>(
            std::calloc(identities.size(), sizeof(FabAPI_FabricIdentity)));
        if (out->structFabIdentities == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
    }
    for (const auto& [wwn, identity] : identities) {
        const int status =
            toFabricIdentityRecord(*identity, &out->structFabIdentities[out->identityCount]);
        if (status != 0) {
            freeFabricDiscoveryInfoRecord(out);
            return status;
        }
        ++out->identityCount;
    }
    int status = toProxyEntryRecords(info.getUnreachableEntries(), &out->structUnreachableEntries,
                                     &out->unreachableCount);
    if (status == 0) {
        status = toProxyEntryRecords(info.getUnstableEntries(), &out->structUnstableEntries,
                                     &out->unstableCount);
    }
    if (status != 0) {
        freeFabricDiscoveryInfoRecord(out);
    }
    return status;
}

// The older interface's record of a discovered fabric: its position (from
// 0), its world wide name and the address texts of its proxy switches.
struct FabricIdentitiesRecord {
    int position;
    unsigned char fabricWWN[8];
    int proxyCount;
    char** proxyAddresses;
};

// One record per fabric with the address texts of its proxy switches, in
// the order of `fabrics`; `proxies[i]` are the host texts of fabric i.
// The number of records, or -10024 (nothing kept) when memory runs out.
int makeFabricIdentitiesRecords(const std::vector<WWNAddress>& fabrics,
                                const std::vector<std::vector<IPAddress>>& proxies,
                                FabricIdentitiesRecord** out);
void freeFabricIdentitiesRecords(int count, FabricIdentitiesRecord* records);

template <class DiscoveryInfo>
int toFabricIdentitiesRecords(const DiscoveryInfo& info, FabricIdentitiesRecord** out) {
    std::vector<WWNAddress> fabrics;
    std::vector<std::vector<IPAddress>> proxies;
    for (const auto& [wwn, identity] : info.getIdentities()) {
        fabrics.push_back(wwn);
        proxies.emplace_back();
        for (const auto* entry : identity->getProxyEntries()) {
            proxies.back().push_back(entry->getHost());
        }
    }
    return makeFabricIdentitiesRecords(fabrics, proxies, out);
}
