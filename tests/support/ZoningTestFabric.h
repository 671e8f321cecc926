// A fabric's zoning tree in the object store for a test: the fabric, its
// zoning capabilities object and both zoning databases, linked as the
// object model links them, the fabric's zoning cache, and the zoning fabric
// hooks that start-up installs. Going, it empties the object store and the
// cache and sets the object counters back.
#pragma once

#include <string>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "objects/ObjectCounters.h"
#include "objects/StoredFabricVersion.h"
#include "zoning/ZoningCache.h"

class ZoningTestFabric {
public:
    // `session` becomes the fabric's "HDL"; `firmware` its proxy switch's
    // version text.
    explicit ZoningTestFabric(void* session = nullptr, const std::string& firmware = "v4.1.0",
                              const WWNAddress& wwn = WWNAddress(kWwn)) {
        LockGuard model(getObjectStoreMutex());
        fabric = getOrCreateObject(9, wwn);
        capabilities = getOrCreateObject(21, wwn);
        full = getOrCreateObject(24, wwn);
        active = getOrCreateObject(25, wwn);
        fabric->getStringAttr("OID", key);
        fabric->setHandleAttr("HDL", session);
        fabric->setStringAttr("ProxySwitchVersion", firmware);
        fabric->addRelatedObject("setZoningCapabilities", capabilities);
        capabilities->addRelatedObject("setParent", fabric);
        capabilities->addRelatedObject("setFullZoneDB", full);
        capabilities->addRelatedObject("setActiveZoneDB", active);
        full->addRelatedObject("setParent", capabilities);
        active->addRelatedObject("setParent", capabilities);
        full->getStringAttr("OID", fullOid);
        active->getStringAttr("OID", activeOid);
        CreateZoningCache(key);
        previous_ = installZoningFabricHooks(&versions_);
    }
    ~ZoningTestFabric() {
        installZoningFabricHooks(previous_);
        RemoveZoningCache(key);
        eraseMap();
        resetObjectCounters();
    }
    ZoningTestFabric(const ZoningTestFabric&) = delete;
    ZoningTestFabric& operator=(const ZoningTestFabric&) = delete;

    template <class Kind> Kind& table(const char* name) {
        Kind* found = FindZoningCacheTable<Kind>(key, name);
        if (found == nullptr) {
            throw std::logic_error(std::string("no table ") + name);
        }
        return *found;
    }
    // "ZoneTransactionActive" of the zoning capabilities object.
    void setTransactionOpen(bool open) {
        capabilities->setShortAttr("ZoneTransactionActive", open ? 1 : 0);
    }

    static constexpr unsigned char kWwn[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xaa, 0x00, 0x00};

    StoredObject* fabric = nullptr;
    StoredObject* capabilities = nullptr;
    StoredObject* full = nullptr;
    StoredObject* active = nullptr;
    std::string key;
    std::string fullOid;
    std::string activeOid;

private:
    StoredFabricVersion versions_;
    ZoningFabricHooks* previous_ = nullptr;
};

// The stored object's text attribute, or "<none>".
inline std::string textOf(const StoredObject* object, const std::string& name) {
    std::string value = "<none>";
    if (object != nullptr) {
        object->getStringAttr(name, value);
    }
    return value;
}
