#include "zoning/ZoningCache.h"

#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "zoning/ZoningJournal.h"

void ZoningObjectEntryDelete::operator()(ZoningObjectEntry* entry) const {
    if (entry == nullptr) {
        return;
    }
    if (entry->members != nullptr) {
        for (ZoningNameEntry* member : *entry->members) {
            delete member;
        }
        delete entry->members;
    }
    delete entry;
}

ZoningCache::ZoningCache() {
    using namespace zoning_table;
    for (const char* name : {FullNames, ActiveNames}) {
        tables_.emplace(name, ZoningNameTable());
    }
    for (const char* name : {FullZones, FullAliases, FullZoneSets, ActiveZones}) {
        tables_.emplace(name, ZoningMemberTable());
    }
    tables_.emplace(Journal, ZoningJournal());
    tables_.emplace(RemovedObjects, ZoningRemovedSet());
}

void ZoningCache::setTable(const std::string& name, Table table) {
    tables_.insert_or_assign(name, std::move(table));
}

void ZoningCache::eraseTable(const std::string& name) {
    tables_.erase(name);
}

ZoningCacheRegistry& zoningCacheRegistry() {
    // Never destroyed: threads still running at exit may reach it.
    static ZoningCacheRegistry* const registry = new ZoningCacheRegistry;
    return *registry;
}

ZoningCache* findZoningCache(const std::string& fabricKey) {
    const ZoningCacheRegistry& registry = zoningCacheRegistry();
    const auto found = registry.find(fabricKey);
    return found == registry.end() ? nullptr : found->second.get();
}

void CreateZoningCache(const std::string& fabricKey) {
    LockGuard model(getObjectStoreMutex());
    ZoningCacheRegistry& registry = zoningCacheRegistry();
    if (!registry.contains(fabricKey)) {
        registry.emplace(fabricKey, std::make_unique<ZoningCache>());
    }
}

void RemoveZoningCache(const std::string& fabricKey) {
    LockGuard model(getObjectStoreMutex());
    ZoningCacheRegistry& registry = zoningCacheRegistry();
    const auto found = registry.find(fabricKey);
    if (found == registry.end()) {
        return;
    }
    ReleaseZoningJournal(fabricKey);
    registry.erase(found); // frees every table with its maps, rows and sets
}
