// A zoning cache test against one simulated proxy switch: the fabric's
// zoning tree in the store on the session of a ZoningFixture, its cache,
// and the load and refresh of its defined database under the locks their
// callers hold.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "tests/support/ZoningSnapshot.h"
#include "tests/support/ZoningTestFabric.h"
#include "tests/zoning/ZoningFixture.h"
#include "zoning/FullZoningDbLoader.h"
#include "zoning/ZoneSetRefresh.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"

namespace zoning_test {

class ZoningCacheFixture : public ZoningFixture {
protected:
    void TearDown() override {
        fabric_.reset();
        ZoningFixture::TearDown();
    }

    void open(const std::string& firmware, const json& zoning = standardZoning()) {
        start(firmware, zoning);
        fabric_ = std::make_unique<ZoningTestFabric>(ctx_, firmware);
    }

    int load() {
        LockGuard model(getObjectStoreMutex());
        LockGuard device(getSwitchRequestMutex());
        return LoadFullZoningDb(fabric_->full, fabric_->fullOid);
    }
    int refresh() {
        LockGuard model(getObjectStoreMutex());
        LockGuard device(getSwitchRequestMutex());
        return RefreshZoneSets(fabric_->full, fabric_->fullOid);
    }
    ZoningSnapshot snapshot() const { return ZoningSnapshot::take(fabric_->key); }

    // The names of the objects in the defined database's `list`, in order.
    std::vector<std::string> listed(const char* list, const char* nameAttribute) const {
        LockGuard model(getObjectStoreMutex());
        std::vector<std::string> names;
        for (const std::string& oid : listValues(*fabric_->full, list)) {
            names.push_back(textOf(findObjectUnlocked(oid), nameAttribute));
        }
        return names;
    }
    std::vector<std::string> zoneSets() const { return listed("setZoneSet", "ZoneSetName"); }
    std::vector<std::string> zones() const { return listed("setZone", "ZoneName"); }
    std::vector<std::string> aliases() const { return listed("setZoneAlias", "ZoneAliasName"); }

    ZoningNameTable& names() { return fabric_->table<ZoningNameTable>(zoning_table::FullNames); }
    // The stored object that "FZDB" maps `name` to, or null.
    StoredObject* named(const std::string& name) {
        LockGuard model(getObjectStoreMutex());
        const auto found = names().find(name);
        return found == names().end() ? nullptr : findObjectUnlocked(found->second);
    }
    std::string oidOf(const std::string& name) {
        const auto found = names().find(name);
        return found == names().end() ? "" : found->second;
    }
    static unsigned short shortOf(const StoredObject* object, const char* name) {
        unsigned short value = 0xDEAD;
        if (object != nullptr) {
            object->getShortAttr(name, value);
        }
        return value;
    }

    std::unique_ptr<ZoningTestFabric> fabric_;
};

} // namespace zoning_test
