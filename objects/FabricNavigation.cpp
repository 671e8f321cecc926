#include "objects/FabricNavigation.h"

#include "api/ObjectStore.h"
#include "objects/ObjectTypes.h"

namespace {

// Longest "setParent" chain followed: deeper than any tree, so a cycle
// cannot hold a walk.
constexpr int kMaxDepth = 16;

// Ports that a node attaches: without a "setParent" set these go through
// their attached switch port.
bool isLoopPort(unsigned short portType) {
    return portType == 321 || portType == 322 || portType == 323;
}
bool isAttachedPort(unsigned short portType) {
    return portType == 324 || portType == 325;
}

unsigned short typeOf(const StoredObject* object) {
    unsigned short type = ObjectType::Unknown;
    object->getShortAttr("ObjType", type);
    return type;
}

bool firstOf(const StoredObject* object, const char* relation, std::string& oid) {
    oid.clear();
    return object->getNextRelation(relation, oid);
}

StoredObject* firstRelated(const StoredObject* object, const char* relation) {
    std::string oid;
    return firstOf(object, relation, oid) ? findObject(oid) : nullptr;
}

// Where a walk ended: the fabric, or the code of the missing link.
struct Walk {
    StoredObject* fabric = nullptr;
    int code = 0;
};

Walk stopped(int code) {
    return {nullptr, code};
}

// The object's parent, `missing` when it is absent.
Walk parentFabric(const StoredObject* object, int missing) {
    StoredObject* fabric = firstRelated(object, "setParent");
    if (fabric == nullptr || typeOf(fabric) != ObjectType::Fabric) {
        return stopped(missing);
    }
    return {fabric, 0};
}

Walk fromSwitch(const StoredObject* sw, int fabricMissing) {
    if (sw == nullptr || !sw->getWwnAttr("WWN")) {
        return stopped(-6);
    }
    return parentFabric(sw, fabricMissing);
}

Walk fromPortModule(const StoredObject* module, int fabricMissing) {
    std::string parent;
    if (!firstOf(module, "setParent", parent)) {
        return stopped(-22);
    }
    StoredObject* sw = findObject(parent);
    return sw == nullptr ? stopped(-6) : fromSwitch(sw, fabricMissing);
}

Walk fromPort(const StoredObject* port, int fabricMissing, int depth = 0) {
    unsigned short portType = 0;
    port->getShortAttr("PortType", portType);
    const bool viaAttached =
        isAttachedPort(portType) || (isLoopPort(portType) && !port->hasRelationSet("setParent"));
    if (viaAttached) {
        StoredObject* attached = firstRelated(port, "setAttchPort");
        if (attached == nullptr || depth >= 1) {
            return stopped(-22);
        }
        return fromPort(attached, fabricMissing, depth + 1);
    }
    std::string parent;
    if (!firstOf(port, "setParent", parent)) {
        return stopped(-22);
    }
    StoredObject* module = findObject(parent);
    if (module == nullptr) {
        return stopped(-6);
    }
    // A port may hang from its switch directly as well as from a module.
    return typeOf(module) == ObjectType::Switch ? fromSwitch(module, fabricMissing)
                                                : fromPortModule(module, fabricMissing);
}

Walk fromNode(const StoredObject* node) {
    std::string oid;
    while (node->getNextRelation("setPorts", oid)) {
        const StoredObject* port = findObject(oid);
        StoredObject* attached = port != nullptr ? firstRelated(port, "setAttchPort") : nullptr;
        if (attached != nullptr) {
            return fromPort(attached, -5);
        }
    }
    return stopped(-11);
}

// Up "setParent" to the first object of `type`, then on to its fabric.
Walk upTo(const StoredObject* object, unsigned short type, int missing) {
    const StoredObject* at = object;
    for (int depth = 0; depth < kMaxDepth; ++depth) {
        StoredObject* parent = firstRelated(at, "setParent");
        if (parent == nullptr) {
            return stopped(missing);
        }
        if (typeOf(parent) == type) {
            return type == ObjectType::Switch ? fromSwitch(parent, -6) : Walk{parent, 0};
        }
        at = parent;
    }
    return stopped(missing);
}

Walk fromZoningCapabilities(const StoredObject* caps, int capsMissing) {
    return caps == nullptr ? stopped(capsMissing) : parentFabric(caps, -24);
}

Walk fromZoningDatabase(const StoredObject* database) {
    return database == nullptr ? stopped(-28)
                               : fromZoningCapabilities(firstRelated(database, "setParent"), -28);
}

Walk walkToFabric(StoredObject* object) {
    switch (typeOf(object)) {
    case ObjectType::Fabric:
        return {object, 0};
    case ObjectType::Switch:
        return fromSwitch(object, -6);
    case ObjectType::PortModule:
        return fromPortModule(object, -6);
    case ObjectType::Port:
        return fromPort(object, -6);
    case ObjectType::PortStats:
    case ObjectType::PortErrors: {
        StoredObject* port = firstRelated(object, "setParent");
        return port == nullptr ? stopped(-22) : fromPort(port, -6);
    }
    case ObjectType::Node:
        return fromNode(object);
    case ObjectType::Platform:
        return parentFabric(object, -10);
    case ObjectType::ZoningCapabilities:
        return parentFabric(object, -24);
    case ObjectType::FullZoneDB:
    case ObjectType::ActiveZoneDB:
        return fromZoningCapabilities(firstRelated(object, "setParent"), -28);
    case ObjectType::Zone:
    case ObjectType::ZoneConfig:
    case ObjectType::ZoneAlias:
        return fromZoningDatabase(firstRelated(object, "setParent"));
    case ObjectType::PhysicalSwitchGroup:
        return upTo(object, ObjectType::Switch, -47);
    case ObjectType::LicensedProduct:
        return upTo(object, ObjectType::Switch, -45);
    case ObjectType::EnclosureObject:
    case ObjectType::CP:
    case ObjectType::WWNCard:
    case ObjectType::Blade:
        return upTo(object, ObjectType::Switch, -51);
    case ObjectType::SecurityStats:
        return upTo(object, ObjectType::Switch, -17);
    case ObjectType::DefinedPolicy:
    case ObjectType::SecurityCapabilities:
    case ObjectType::ActivePolicySet:
    case ObjectType::ActivePolicy:
    case ObjectType::DefinedPolicySet:
        return upTo(object, ObjectType::Fabric, -13);
    default:
        return stopped(-3);
    }
}

} // namespace

StoredObject* fabricOfObject(StoredObject* object) {
    return ancestorOfType(object, ObjectType::Fabric);
}

StoredObject* ancestorOfType(StoredObject* object, unsigned short type) {
    for (int depth = 0; object != nullptr && depth < kMaxDepth; ++depth) {
        if (typeOf(object) == type) {
            return object;
        }
        object = firstRelated(object, "setParent");
    }
    return nullptr;
}

StoredObject* GetFabricEntryOfObject(const std::string& oid) {
    StoredObject* object = findObject(oid);
    return object == nullptr ? nullptr : walkToFabric(object).fabric;
}

int GetFabricHandleOfObject(StoredObject* object, void*& handle) {
    unsigned short type = 0;
    if (object == nullptr || !object->getShortAttr("ObjType", type)) {
        return -3;
    }
    const Walk walk = walkToFabric(object);
    if (walk.fabric == nullptr) {
        return walk.code;
    }
    void* context = nullptr;
    if (!walk.fabric->getHandleAttr("HDL", context)) {
        return -12;
    }
    handle = context;
    return 0;
}
