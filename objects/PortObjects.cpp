#include "objects/PortObjects.h"

#include <cstring>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "objects/ChildClasses.h"
#include "objects/InventoryClasses.h"
#include "objects/NodeDeviceClasses.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectQueries.h"
#include "objects/ObjectTypes.h"
#include "objects/PortClasses.h"
#include "objects/PortModuleClasses.h"
#include "objects/PortStatistics.h"

namespace {

std::string fieldText(const char* oid) {
    return std::string(oid, strnlen(oid, sizeof(OID_t)));
}

std::vector<std::string> listOf(const OID_t* list) {
    std::vector<std::string> oids;
    for (const OID_t* entry = list; entry != nullptr && (*entry)[0] != '\0'; ++entry) {
        oids.push_back(fieldText(*entry));
    }
    return oids;
}

bool ownedByNode(const char* owner) {
    unsigned short type = 0;
    return owner[0] != '\0' && readOidType(owner, type) && type == ObjectType::Node;
}

} // namespace

std::vector<std::string> switchChildren(const void* record) {
    std::vector<std::string> oids = listOf(static_cast<const SwitchRecord*>(record)->PortModuleOIDs);
    std::vector<std::string> inventory = switchInventoryChildren(record);
    oids.insert(oids.end(), inventory.begin(), inventory.end());
    return oids;
}

std::vector<std::string> portModuleChildren(const void* record) {
    return listOf(static_cast<const PortModuleRecord*>(record)->PortOIDs);
}

std::vector<std::string> portChildren(const void* record) {
    const auto* port = static_cast<const PortRecord*>(record);
    if (ownedByNode(port->OwnerOID)) {
        return {fieldText(port->OwnerOID)};
    }
    if (port->PortType == PORT_TYPE_OTHER) {
        return {};
    }
    std::vector<std::string> attached = listOf(port->AttachedPortOIDs);
    if (attached.empty()) {
        return {};
    }
    const StoredObject* first = findObject(attached.front());
    unsigned short type = 0;
    if (first == nullptr || !first->getShortAttr("PortType", type) || type == PORT_TYPE_F ||
        type == PORT_TYPE_FL || type == PORT_TYPE_E) {
        return {};
    }
    return attached;
}

std::vector<std::string> nodeChildren(const void* record) {
    const auto* node = static_cast<const NodeRecord*>(record);
    if (node->OwnerOID[0] == '\0') {
        return {};
    }
    return {fieldText(node->OwnerOID)};
}

void installPortObjects() {
    setChildClassMaker(ChildClass::Port, makePortClass);
    setChildClassMaker(ChildClass::PortModule, makePortModuleClass);
    setChildClassMaker(ChildClass::Node, makeNodeClass);
    setChildClassMaker(ChildClass::Device, makeDeviceClass);
    setChildClassMaker(ChildClass::PortStats, makePortStatsClass);
    setChildClassMaker(ChildClass::PortErrors, makePortErrorsClass);
    registerDescentStep({ObjectType::Switch, switchChildren});
    registerDescentStep({ObjectType::PortModule, portModuleChildren});
    // Several ports lead to one node: a later record replaces the earlier.
    registerDescentStep({ObjectType::Port, portChildren, true});
    registerDescentStep({ObjectType::Node, nodeChildren, true, true});
}
