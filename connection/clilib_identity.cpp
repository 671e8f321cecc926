// Identity records for callers.
#include "connection/clilib_identity.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/OidText.h"

namespace {

constexpr unsigned short kFabricObjectType = 9;
constexpr unsigned short kSwitchObjectType = 2;

// A C-heap copy of `text`; null when memory runs out.
char* heapText(const std::string& text) {
    auto* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy != nullptr) {
        std::memcpy(copy, text.c_str(), text.size() + 1);
    }
    return copy;
}

template <class Entries>
int proxyRecords(const Entries& entries, FabAPI_ProxyEntry** out, int* count,
                 const FabricProxyEntry& (*entryAt)(const Entries&, std::size_t)) {
    *out = nullptr;
    *count = 0;
    if (entries.empty()) {
        return 0;
    }
    auto* records =
        static_cast<FabAPI_ProxyEntry*>(std::calloc(entries.size(), sizeof(FabAPI_ProxyEntry)));
    if (records == nullptr) {
        return REQ_ERR_NO_MEMORY;
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const FabricProxyEntry& entry = entryAt(entries, i);
        records[i].pcHostName = heapText(entry.getHost().c_str());
        records[i].pcUser = heapText(entry.getUser());
        // The library hands out host addresses and user names, never passwords.
        records[i].pcPassword = heapText("");
        if (records[i].pcHostName == nullptr || records[i].pcUser == nullptr ||
            records[i].pcPassword == nullptr) {
            freeProxyEntryRecords(records, static_cast<int>(i + 1));
            return REQ_ERR_NO_MEMORY;
        }
    }
    *out = records;
    *count = static_cast<int>(entries.size());
    return 0;
}

} // namespace

int toProxyEntryRecords(const std::vector<const FabricProxyEntry*>& entries,
                        FabAPI_ProxyEntry** out, int* count) {
    return proxyRecords<std::vector<const FabricProxyEntry*>>(
        entries, out, count,
        [](const std::vector<const FabricProxyEntry*>& list,
           std::size_t i) -> const FabricProxyEntry& { return *list[i]; });
}

int toProxyEntryRecords(const std::vector<FabricProxyEntry*>& entries, FabAPI_ProxyEntry** out,
                        int* count) {
    return toProxyEntryRecords(std::vector<const FabricProxyEntry*>(entries.begin(), entries.end()),
                               out, count);
}

int toProxyEntryRecords(const std::vector<FabricProxyEntry>& entries, FabAPI_ProxyEntry** out,
                        int* count) {
    return proxyRecords<std::vector<FabricProxyEntry>>(
        entries, out, count,
        [](const std::vector<FabricProxyEntry>& list, std::size_t i) -> const FabricProxyEntry& {
            return list[i];
        });
}

void freeProxyEntryRecords(FabAPI_ProxyEntry* entries, int count) {
    if (entries == nullptr) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        std::free(entries[i].pcHostName);
        std::free(entries[i].pcUser);
        std::free(entries[i].pcPassword);
    }
    std::free(entries);
}

int makeFabricSignatureRecord(const WWNAddress& fabricWWN, const std::vector<WWNAddress>& switches,
                              FabAPI_FabricSignature* out) {
    *out = FabAPI_FabricSignature{};
    formatOidBuffer(fabricWWN, out->structFabricOID, kFabricObjectType);
    if (switches.empty()) {
        return 0;
    }
    out->structSwitchOIDs = static_cast<OID_t*>(std::calloc(switches.size(), sizeof(OID_t)));
    if (out->structSwitchOIDs == nullptr) {
        return REQ_ERR_NO_MEMORY;
    }
    for (std::size_t i = 0; i < switches.size(); ++i) {
        formatOidBuffer(switches[i], out->structSwitchOIDs[i], kSwitchObjectType);
    }
    out->count = static_cast<int>(switches.size());
    return 0;
}

void freeFabricSignatureRecord(FabAPI_FabricSignature* record) {
    std::free(record->structSwitchOIDs);
    record->structSwitchOIDs = nullptr;
    record->count = 0;
}

void freeFabricIdentityRecord(FabAPI_FabricIdentity* record) {
    freeFabricSignatureRecord(&record->structFabSig);
    freeProxyEntryRecords(record->entries, record->count);
    record->entries = nullptr;
    record->count = 0;
}

void freeFabricDiscoveryInfoRecord(FabAPI_FabricDiscoveryInfo* record) {
    if (record->structFabIdentities != nullptr) {
        for (int i = 0; i < record->identityCount; ++i) {
            freeFabricIdentityRecord(&record->structFabIdentities[i]);
        }
        std::free(record->structFabIdentities);
    }
    freeProxyEntryRecords(record->structUnreachableEntries, record->unreachableCount);
    freeProxyEntryRecords(record->structUnstableEntries, record->unstableCount);
    *record = FabAPI_FabricDiscoveryInfo{};
}

int makeFabricIdentitiesRecords(const std::vector<WWNAddress>& fabrics,
                                const std::vector<std::vector<IPAddress>>& proxies,
                                FabricIdentitiesRecord** out) {
    *out = nullptr;
    if (fabrics.empty()) {
        return 0;
    }
    auto* records = static_cast<FabricIdentitiesRecord*>(
        std::calloc(fabrics.size(), sizeof(FabricIdentitiesRecord)));
    if (records == nullptr) {
        return REQ_ERR_NO_MEMORY;
    }
    for (std::size_t i = 0; i < fabrics.size(); ++i) {
        FabricIdentitiesRecord& record = records[i];
        record.position = static_cast<int>(i);
        fabrics[i].copyOut(record.fabricWWN);
        const auto& hosts = i < proxies.size() ? proxies[i] : std::vector<IPAddress>{};
        if (hosts.empty()) {
            continue;
        }
        record.proxyAddresses = static_cast<char**>(std::calloc(hosts.size(), sizeof(char*)));
        bool ok = record.proxyAddresses != nullptr;
        for (std::size_t j = 0; ok && j < hosts.size(); ++j) {
            record.proxyAddresses[j] = heapText(hosts[j].c_str());
            ok = record.proxyAddresses[j] != nullptr;
            record.proxyCount = static_cast<int>(j + 1);
        }
        if (!ok) {
            freeFabricIdentitiesRecords(static_cast<int>(i + 1), records);
            return REQ_ERR_NO_MEMORY;
        }
    }
    *out = records;
    return static_cast<int>(fabrics.size());
}

void freeFabricIdentitiesRecords(int count, FabricIdentitiesRecord* records) {
    if (records == nullptr) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        if (records[i].proxyAddresses != nullptr) {
            for (int j = 0; j < records[i].proxyCount; ++j) {
                std::free(records[i].proxyAddresses[j]);
            }
            std::free(records[i].proxyAddresses);
        }
    }
    std::free(records);
}
