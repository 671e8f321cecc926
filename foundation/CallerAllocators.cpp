#include "foundation/CallerAllocators.h"

#include <cstdlib>
#include <cstring>

#include "orvane/fabapi.h"

namespace {

// A zero-filled block for one record of type T.
template <typename T> void* allocateRecord() {
    return std::calloc(1, sizeof(T));
}

// Frees the texts of `count` proxy entries and then the entry array, and
// clears the caller's pointer and count. A count is followed only while the
// array it counts exists.
void freeProxyEntries(FabAPI_ProxyEntry*& entries, int& count) {
    if (entries != nullptr) {
        for (int i = 0; i < count; ++i) {
            std::free(entries[i].pcHostName);
            std::free(entries[i].pcUser);
            std::free(entries[i].pcPassword);
        }
        std::free(entries);
    }
    entries = nullptr;
    count = 0;
}

void freeSwitchOIDs(FabAPI_FabricSignature& signature) {
    std::free(signature.structSwitchOIDs);
    signature.structSwitchOIDs = nullptr;
    signature.count = 0;
}

// A row of a fabric identities table ends the table when its list is null
// or its identifier's first four bytes are all zero.
bool isTerminatorRow(const FabricIdentitiesType& row) {
    static const char zeros[4] = {};
    return row.proxyAddresses == nullptr || std::memcmp(row.fabricOID, zeros, sizeof zeros) == 0;
}

// Frees every text of an address list up to and including the empty text
// that ends it (or up to a null entry), then the list.
void freeAddressList(char** list) {
    for (char** text = list; *text != nullptr; ++text) {
        const bool last = (*text)[0] == '\0';
        std::free(*text);
        if (last) {
            break;
        }
    }
    std::free(list);
}

} // namespace

// ---------------------------------------------------------------------------

Mem_Allocator_Impl_Bytes* Mem_Allocator_Impl_Bytes::instance() {
    static auto* const allocator = new Mem_Allocator_Impl_Bytes;
    return allocator;
}

void* Mem_Allocator_Impl_Bytes::allocate(int count) {
    if (count < 0) {
        return nullptr;
    }
    // A block of 0 bytes still gets an address of its own.
    return std::calloc(count > 0 ? static_cast<size_t>(count) : 1, 1);
}

void Mem_Allocator_Impl_Bytes::free(void* block) {
    std::free(block);
}

// ---------------------------------------------------------------------------

Mem_Alloc_Impl_FabAPI_ProxyEntryList* Mem_Alloc_Impl_FabAPI_ProxyEntryList::instance() {
    static auto* const allocator = new Mem_Alloc_Impl_FabAPI_ProxyEntryList;
    return allocator;
}

void* Mem_Alloc_Impl_FabAPI_ProxyEntryList::allocate(int) {
    return allocateRecord<FabAPI_ProxyEntryList>();
}

void Mem_Alloc_Impl_FabAPI_ProxyEntryList::free(void* block) {
    auto* list = static_cast<FabAPI_ProxyEntryList*>(block);
    if (list == nullptr) {
        return;
    }
    freeProxyEntries(list->entries, list->count);
    std::free(list);
}

// ---------------------------------------------------------------------------

Mem_Alloc_Impl_FabAPI_ClientSessionIDList* Mem_Alloc_Impl_FabAPI_ClientSessionIDList::instance() {
    static auto* const allocator = new Mem_Alloc_Impl_FabAPI_ClientSessionIDList;
    return allocator;
}

void* Mem_Alloc_Impl_FabAPI_ClientSessionIDList::allocate(int) {
    return allocateRecord<FabAPI_ClientSessionIDList>();
}

void Mem_Alloc_Impl_FabAPI_ClientSessionIDList::free(void* block) {
    auto* list = static_cast<FabAPI_ClientSessionIDList*>(block);
    if (list == nullptr) {
        return;
    }
    if (list->ids != nullptr) {
        for (int i = 0; i < list->count; ++i) {
            FabAPI_ClientSessionID* id = list->ids[i];
            if (id != nullptr) {
                std::free(id->structSessionID);
                std::free(id);
            }
        }
        std::free(list->ids);
    }
    list->ids = nullptr;
    list->count = 0;
    std::free(list);
}

// ---------------------------------------------------------------------------

Mem_Alloc_Impl_FabAPI_ClientSessionID* Mem_Alloc_Impl_FabAPI_ClientSessionID::instance() {
    static auto* const allocator = new Mem_Alloc_Impl_FabAPI_ClientSessionID;
    return allocator;
}

void* Mem_Alloc_Impl_FabAPI_ClientSessionID::allocate(int) {
    return allocateRecord<FabAPI_ClientSessionID>();
}

void Mem_Alloc_Impl_FabAPI_ClientSessionID::free(void* block) {
    auto* id = static_cast<FabAPI_ClientSessionID*>(block);
    if (id == nullptr) {
        return;
    }
    std::free(id->structSessionID);
    id->structSessionID = nullptr;
    std::free(id);
}

// ---------------------------------------------------------------------------

Mem_Alloc_Impl_FabAPI_FabricSignature* Mem_Alloc_Impl_FabAPI_FabricSignature::instance() {
    static auto* const allocator = new Mem_Alloc_Impl_FabAPI_FabricSignature;
    return allocator;
}

void* Mem_Alloc_Impl_FabAPI_FabricSignature::allocate(int) {
    return allocateRecord<FabAPI_FabricSignature>();
}

void Mem_Alloc_Impl_FabAPI_FabricSignature::free(void* block) {
    auto* signature = static_cast<FabAPI_FabricSignature*>(block);
    if (signature == nullptr) {
        return;
    }
    freeSwitchOIDs(*signature);
    std::free(signature);
}

// ---------------------------------------------------------------------------

Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo* Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo::instance() {
    static auto* const allocator = new Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo;
    return allocator;
}

void* Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo::allocate(int) {
    return allocateRecord<FabAPI_FabricDiscoveryInfo>();
}

void Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo::free(void* block) {
    auto* info = static_cast<FabAPI_FabricDiscoveryInfo*>(block);
    if (info == nullptr) {
        return;
    }
    freeProxyEntries(info->structUnreachableEntries, info->unreachableCount);
    freeProxyEntries(info->structUnstableEntries, info->unstableCount);
    if (info->structFabIdentities != nullptr) {
        for (int i = 0; i < info->identityCount; ++i) {
            FabAPI_FabricIdentity& identity = info->structFabIdentities[i];
            freeProxyEntries(identity.entries, identity.count);
            freeSwitchOIDs(identity.structFabSig);
        }
        std::free(info->structFabIdentities);
    }
    info->structFabIdentities = nullptr;
    info->identityCount = 0;
    std::free(info);
}

// ---------------------------------------------------------------------------

Mem_Alloc_Impl_FabricIdentitiesType* Mem_Alloc_Impl_FabricIdentitiesType::instance() {
    static auto* const allocator = new Mem_Alloc_Impl_FabricIdentitiesType;
    return allocator;
}

void* Mem_Alloc_Impl_FabricIdentitiesType::allocate(int count) {
    if (count < 0) {
        return nullptr;
    }
    // Zero-filled, so the row after the last requested one is already the
    // terminator: empty identifier, null list.
    return std::calloc(static_cast<size_t>(count) + 1, sizeof(FabricIdentitiesType));
}

void Mem_Alloc_Impl_FabricIdentitiesType::free(void* block) {
    auto* rows = static_cast<FabricIdentitiesType*>(block);
    if (rows == nullptr) {
        return;
    }
    for (FabricIdentitiesType* row = rows; !isTerminatorRow(*row); ++row) {
        freeAddressList(row->proxyAddresses);
        row->proxyAddresses = nullptr;
    }
    std::free(rows);
}
