#include "zoning/ActiveZoningDbCache.h"

#include <map>
#include <cstring>
#include <memory>
#include <new>

#include "foundation/WalkingThread.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningResultVector.h"

namespace {

using zoning_table::ActiveListing;

// The listings of the walk in progress, by fabric, and the walking thread.
struct ActiveListingWalk {
    WalkingThread walker;
    std::map<std::string, ZoningActiveListing> listings;
};

ActiveListingWalk& walk() {
    static ActiveListingWalk current;
    return current;
}

bool walking() {
    return walk().walker.here();
}

bool named(const ZoningObjectEntry& entry, const char* name) {
    return name == nullptr || (entry.name != nullptr && std::strcmp(entry.name, name) == 0);
}

// New copies of the records of `listing` (only those named `onlyName`
// when it is not null) that `access` can free, or null.
std::vector<ZoningObjectEntry*>* copiesOf(const ZoningActiveListing& listing,
                                          UDAL_ZoningAccess_Ifc& access,
                                          const char* onlyName = nullptr) {
    try {
        ZoningResultVector<ZoningObjectEntry*> copies(access);
        copies->reserve(onlyName == nullptr ? listing.size() : 1);
        for (const auto& entry : listing) {
            if (named(*entry, onlyName)) {
                copies.add(std::make_unique<ZoningObjectEntry>(*entry));
            }
        }
        return copies.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const UDAL_ZoningException&) {
        return nullptr; // the partial list could not be given back
    }
}

// Owned copies of `records`; throws std::bad_alloc.
ZoningActiveListing ownedCopies(const std::vector<ZoningObjectEntry*>& records) {
    ZoningActiveListing copies;
    copies.reserve(records.size());
    for (const ZoningObjectEntry* record : records) {
        if (record != nullptr) {
            copies.emplace_back(new ZoningObjectEntry(*record));
        }
    }
    return copies;
}

} // namespace

std::vector<ZoningObjectEntry*>* GetActiveZoningDbCache(const std::string& fabricKey,
                                                        UDAL_ZoningAccess_Ifc* access) {
    const auto* cached = FindZoningCacheTable<ZoningActiveListing>(fabricKey, ActiveListing);
    if (cached == nullptr || access == nullptr) {
        return nullptr;
    }
    return copiesOf(*cached, *access);
}

int StoreActiveZoningDbCache(const std::string& fabricKey,
                             const std::vector<ZoningObjectEntry*>* records,
                             UDAL_ZoningAccess_Ifc* access) {
    if (records == nullptr || access == nullptr) {
        return -3;
    }
    try {
        ZoningActiveListing copies = ownedCopies(*records);
        if (ZoningCache* cache = findZoningCache(fabricKey)) {
            cache->setTable(ActiveListing, std::move(copies));
        }
        return 0;
    } catch (const std::bad_alloc&) {
        return -2;
    }
}

int ClearActiveZoningDbCache(const std::string& fabricKey, UDAL_ZoningAccess_Ifc* access) {
    if (access == nullptr) {
        return -3;
    }
    if (ZoningCache* cache = findZoningCache(fabricKey)) {
        cache->eraseTable(ActiveListing);
    }
    return 0;
}

void BeginActiveListingWalk() {
    walk().listings.clear();
    walk().walker.begin();
}

void EndActiveListingWalk() {
    if (walk().walker.end()) {
        walk().listings.clear();
    }
}

std::vector<ZoningObjectEntry*>* ReadActiveZoningListing(const std::string& fabricKey,
                                                         UDAL_ZoningAccess_Ifc& access,
                                                         bool inTransaction,
                                                         bool keepInTransaction,
                                                         const char* onlyName) {
    if (inTransaction) {
        if (std::vector<ZoningObjectEntry*>* cached = GetActiveZoningDbCache(fabricKey, &access)) {
            return cached;
        }
    } else if (walking()) {
        const auto kept = walk().listings.find(fabricKey);
        if (kept != walk().listings.end()) {
            if (std::vector<ZoningObjectEntry*>* copies =
                    copiesOf(kept->second, access, onlyName)) {
                return copies;
            }
        }
    }
    std::vector<ZoningObjectEntry*>* read = access.GetZoningObjects(1, 0);
    if (read == nullptr) {
        return nullptr;
    }
    if (inTransaction) {
        if (keepInTransaction) {
            StoreActiveZoningDbCache(fabricKey, read, &access);
        }
    } else if (walking()) {
        try {
            walk().listings[fabricKey] = ownedCopies(*read);
        } catch (const std::bad_alloc&) {
            walk().listings.erase(fabricKey); // read again at the next zone
        }
    }
    return read;
}
