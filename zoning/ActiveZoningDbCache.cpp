#include "zoning/ActiveZoningDbCache.h"

#include <memory>
#include <new>

#include "zoning/ZoningCache.h"
#include "zoning/ZoningResultVector.h"

namespace {

using zoning_table::ActiveListing;

} // namespace

std::vector<ZoningObjectEntry*>* GetActiveZoningDbCache(const std::string& fabricKey,
                                                        UDAL_ZoningAccess_Ifc* access) {
    const auto* cached = FindZoningCacheTable<ZoningActiveListing>(fabricKey, ActiveListing);
    if (cached == nullptr || access == nullptr) {
        return nullptr;
    }
    try {
        ZoningResultVector<ZoningObjectEntry*> copies(*access);
        copies->reserve(cached->size());
        for (const auto& entry : *cached) {
            copies.add(std::make_unique<ZoningObjectEntry>(*entry));
        }
        return copies.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    } catch (const UDAL_ZoningException&) {
        return nullptr; // the partial list could not be given back
    }
}

int StoreActiveZoningDbCache(const std::string& fabricKey,
                             const std::vector<ZoningObjectEntry*>* records,
                             UDAL_ZoningAccess_Ifc* access) {
    if (records == nullptr || access == nullptr) {
        return -3;
    }
    try {
        ZoningActiveListing copies;
        copies.reserve(records->size());
        for (const ZoningObjectEntry* record : *records) {
            if (record != nullptr) {
                copies.emplace_back(new ZoningObjectEntry(*record));
            }
        }
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
