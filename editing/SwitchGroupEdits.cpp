#include "editing/SwitchGroupEdits.h"

#include <cstring>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "editing/DefinedPolicyEdits.h"
#include "editing/ObjectEditTable.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/InventoryClasses.h"
#include "objects/ObjectTypes.h"
#include "objects/StoredRelations.h"

namespace {

constexpr int kBadArgument = -3;
constexpr int kNoMemory = -2;
constexpr int kNotFound = -17;
constexpr int kGroupRefused = -47;
constexpr int kNoGroupName = -48;

// The checked content of a group definition.
struct GroupDefinition {
    std::string name;
    std::vector<std::string> memberOids;
    WWNBytes members[kSwitchGroupMaxMembers] = {};
};

// Reads and checks the definition; the caller holds the object-model lock.
int readDefinition(const PhysSwitchGroupDefinition& record, GroupDefinition& out) {
    if (record.ObjType != ObjectType::PhysicalSwitchGroup || record.setPhysGroupSwitch == nullptr) {
        return kBadArgument;
    }
    const std::size_t nameLength = strnlen(record.PhysGroupName, sizeof record.PhysGroupName);
    if (nameLength == 0 || nameLength > static_cast<std::size_t>(kSwitchGroupNameMax)) {
        return kBadArgument;
    }
    out.name.assign(record.PhysGroupName, nameLength);
    for (const OID_t* entry = record.setPhysGroupSwitch; (*entry)[0] != '\0'; ++entry) {
        if (out.memberOids.size() == static_cast<std::size_t>(kSwitchGroupMaxMembers)) {
            return kBadArgument;
        }
        const StoredObject* member = findObjectByOid(*entry);
        unsigned short type = 0;
        if (member == nullptr || !member->getShortAttr("ObjType", type) ||
            type != ObjectType::Switch) {
            return kBadArgument;
        }
        parseOidWwn(*entry, out.members[out.memberOids.size()]);
        out.memberOids.emplace_back(oidFieldText(*entry));
    }
    return out.memberOids.empty() ? kBadArgument : 0;
}

int checkSwitchGroup(StoredObject*) {
    return 0;
}

} // namespace

int createSwitchGroupObject(StoredObject*, SessionContext* fabricHandle, const void* record,
                            char* createdOid) {
    if (fabricHandle == nullptr || record == nullptr || createdOid == nullptr) {
        return kBadArgument;
    }
    try {
        LockGuard model(getObjectStoreMutex());
        GroupDefinition group;
        if (const int status =
                readDefinition(*static_cast<const PhysSwitchGroupDefinition*>(record), group);
            status != 0) {
            return status;
        }
        // The group is known to the switch by its first member's name.
        const unsigned char* groupWwn = group.members[0];
        int status = 0;
        {
            LockGuard device(getSwitchRequestMutex());
            status = switchSetSGroup(
                fabricHandle, groupWwn, group.name.c_str(),
                static_cast<const PhysSwitchGroupDefinition*>(record)->PhysGroupType,
                static_cast<int>(group.memberOids.size()), group.members);
        }
        if (status != 0) {
            return MapApiError(status);
        }
        StoredObject* object =
            getOrCreateObject(ObjectType::PhysicalSwitchGroup, WWNAddress(groupWwn));
        if (object == nullptr) {
            return kBadArgument;
        }
        object->setStringAttr("PhysGroupName", group.name);
        if (object->getElement() == nullptr) {
            object->setElement(new PhysSwitchGroup_2_0());
        }
        std::string groupOid;
        object->getStringAttr("OID", groupOid);
        CopyName48(createdOid, groupOid.c_str());
        for (const std::string& memberOid : group.memberOids) {
            if (StoredObject* member = findObjectUnlocked(memberOid)) {
                member->addRelation("setPhysSwitchGroup", groupOid);
                object->addRelation("setParent", memberOid);
            }
        }
        return 0;
    } catch (const std::bad_alloc&) {
        return kNoMemory;
    }
}

int deleteSwitchGroupObject(StoredObject* group, SessionContext* fabricHandle) {
    if (group == nullptr) {
        return kNotFound;
    }
    LockGuard device(getSwitchRequestMutex());
    std::string name;
    if (!group->getStringAttr("PhysGroupName", name)) {
        return kNoGroupName;
    }
    const std::optional<WWNAddress> wwn = group->getWwnAttr("WWN");
    if (!wwn) {
        return kNotFound;
    }
    if (switchDelSGroup(fabricHandle, wwn->bytes(), name.c_str()) != 0) {
        return kGroupRefused;
    }
    std::string groupOid;
    group->getStringAttr("OID", groupOid);
    for (const std::string& parentOid : relationsOf(group, "setParent")) {
        if (StoredObject* parent = findObjectUnlocked(parentOid)) {
            parent->removeRelation("setPhysSwitchGroup", groupOid);
        }
    }
    eraseObject(groupOid);
    return 0;
}

void installSwitchGroupAndPolicyEdits() {
    registerObjectCreator(ObjectType::PhysicalSwitchGroup, createSwitchGroupObject);
    registerObjectDeleter(ObjectType::PhysicalSwitchGroup,
                          {checkSwitchGroup, deleteSwitchGroupObject});
    registerObjectCreator(ObjectType::DefinedPolicy, createDefinedPolicyObject);
    registerObjectDeleter(ObjectType::DefinedPolicy,
                          {checkDefinedPolicyDeletion, deleteDefinedPolicyObject});
}
