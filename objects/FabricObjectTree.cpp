#include "objects/FabricObjectTree.h"

#include <set>

#include "api/ObjectStore.h"
#include "connection/clilib_session.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "objects/Fabric.h"
#include "objects/FabricLinks.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "objects/ZoningCacheHooks.h"

namespace {

constexpr int kNoLinks = 500;

unsigned short typeOf(const StoredObject& object) {
    unsigned short type = ObjectType::Unknown;
    object.getShortAttr("ObjType", type);
    return type;
}

bool hasOid(const StoredObject* object, const std::string& oid) {
    std::string own;
    return object != nullptr && object->getStringAttr("OID", own) && own == oid;
}

std::string oidOf(unsigned short type, const WWNAddress& wwn) {
    std::string oid;
    formatOidString(type, wwn, oid);
    return oid;
}

// Marks with "REMOVE" every object that `belongs` selects, and returns their
// identifiers. The caller holds the object-model lock.
template <class Belongs> std::vector<std::string> mark(Belongs&& belongs) {
    std::vector<std::string> marked;
    for (auto& [oid, object] : objectMap()) {
        if (belongs(object.get())) {
            object->setShortAttr("REMOVE", 1);
            marked.push_back(oid);
        }
    }
    return marked;
}

} // namespace

int InitFabricObjectTree(SessionContext* ctx, StoredObject* fabric, const std::string& fabricOid) {
    if (fabric == nullptr || ctx == nullptr) {
        return -3;
    }
    assignFabricCounter(fabric);
    fabric->setHandleAttr("HDL", ctx);
    fabric->addRelation("setProxy", oidOf(ObjectType::Switch, WWNAddress(ctx->proxyWWN)));

    // The plain class only receives the classification; the fabric keeps
    // the class of its level.
    Fabric placeholder;
    const int attached = placeholder.AttachFabricImplementation(ctx, fabric);
    if (attached != 0) {
        return attached;
    }
    const int result = loadFabricIsls(ctx, fabric) != 0 ? kNoLinks : 0;
    zoningCacheHooks().createFabricTables(fabricOid);
    return result;
}

void RemoveFabricObjects(const std::string& fabricOid) {
    LockGuard model(getObjectStoreMutex());
    const std::vector<std::string> marked =
        mark([&](StoredObject* object) { return hasOid(fabricOfObject(object), fabricOid); });
    std::vector<std::string> capabilities;
    for (const std::string& oid : marked) {
        StoredObject* object = findObjectUnlocked(oid);
        if (object == nullptr) {
            continue;
        }
        switch (typeOf(*object)) {
        case ObjectType::ZoningCapabilities:
            capabilities.push_back(oid); // destroyed after everything below it
            continue;
        case ObjectType::ActiveZoneDB:
            zoningCacheHooks().discardActiveZoningCache(oid);
            break;
        case ObjectType::FullZoneDB:
            zoningCacheHooks().discardFullZoningCache(oid);
            break;
        default:
            break;
        }
        eraseObject(oid);
    }
    for (const std::string& oid : capabilities) {
        eraseObject(oid);
    }
    zoningCacheHooks().releaseFabricTables(fabricOid);
}

void RemoveSwitchObjects(const std::string& oid) {
    LockGuard model(getObjectStoreMutex());
    StoredObject* top = findObjectUnlocked(oid);
    unsigned short type = 0;
    if (top == nullptr || !top->getShortAttr("ObjType", type)) {
        return;
    }
    const std::vector<std::string> marked =
        mark([&](StoredObject* object) { return hasOid(ancestorOfType(object, type), oid); });
    for (const std::string& each : marked) {
        eraseObject(each);
    }
}

void RemoveFabricSwitchObjects(const std::string& fabricOid) {
    LockGuard model(getObjectStoreMutex());
    StoredObject* fabric = findObjectUnlocked(fabricOid);
    if (fabric == nullptr || typeOf(*fabric) != ObjectType::Fabric) {
        return;
    }
    std::vector<std::string> switches;
    fabric->getRelations("setSwitch", switches);
    for (const std::string& oid : switches) {
        RemoveSwitchObjects(oid);
    }
    // No relation names a destroyed switch; the rebuild fills the set again.
    fabric->clearSet("setSwitch");
}

void dropStaleLinks(StoredObject* object, unsigned short type,
                    const std::vector<WWNAddress>& names) {
    const char* relation = type == ObjectType::Port     ? "setAttchPort"
                           : type == ObjectType::Switch ? "setSwitch"
                           : type == ObjectType::Hub    ? "setHub"
                                                        : nullptr;
    if (object == nullptr || relation == nullptr) {
        return;
    }
    std::set<std::string> current;
    for (const WWNAddress& name : names) {
        current.insert(oidOf(type, name));
    }
    LockGuard model(getObjectStoreMutex());
    std::vector<std::string> linked;
    object->getRelations(relation, linked);
    for (const std::string& oid : linked) {
        if (current.count(oid) == 0) {
            object->removeRelation(relation, oid);
            eraseObject(oid);
        }
    }
}
