#include "editing/ZoneMemberAttributeChanges.h"

#include <cstring>
#include <string>

#include <orvane/records.h>
#include <orvane/status.h>

#include "api/ObjectStore.h"
#include "api/StoredObject.h"
#include "editing/AttributeChanges.h"
#include "editing/ObjectEditTable.h"
#include "editing/SwitchAttributeChanges.h"
#include "foundation/OidText.h"
#include "objects/ObjectTypes.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

constexpr int kBadValue = FABAPI_ERR_BAD_ARGUMENT;
constexpr int kInternal = FABAPI_ERR_OUT_OF_MEMORY;
constexpr int kWrongTarget = -17;
constexpr int kNoDatabase = -28;
constexpr int kNotPrepared = -77;

namespace code {
constexpr unsigned ZoneMemberTarget = 0x70B31;
constexpr unsigned ZoneMemberModifier = 0x70B32;
constexpr unsigned ZMType = 0x40B33;
} // namespace code

// The object type text of the defined zoning database: a member whose
// parent identifier begins with it is still being prepared.
constexpr char kDefinedDatabaseType[] = "0018";

struct MemberState {
    unsigned short type = 0;
    std::string target;
    std::string modifier;
    std::string name;
};

MemberState readMember(const StoredObject& member) {
    MemberState state;
    member.getShortAttr("ZMType", state.type);
    member.getStringAttr("ZoneMemberTarget", state.target);
    member.getStringAttr("ZoneMemberModifier", state.modifier);
    member.getStringAttr("MemberName", state.name);
    return state;
}

// The member name of `target` with the member's type and modifier, as the
// zone member creator derives it: a temporary member is made under the
// defined database and removed again. 0 or the creator's code.
int derivedMemberName(const AttributeEntry& entry, StoredObject& database,
                      const MemberState& state, const std::string& target, std::string& name) {
    const ObjectCreator create = objectCreatorFor(ObjectType::ZoneMember);
    const ObjectDeleter* remove = objectDeleterFor(ObjectType::ZoneMember);
    if (create == nullptr || remove == nullptr || remove->remove == nullptr) {
        return kInternal;
    }
    ZoneMemberRecord definition{};
    definition.ObjType = ObjectType::ZoneMember;
    CopyName48(definition.targetOid, target.c_str());
    definition.zmType = state.type;
    std::string modifier = state.modifier;
    definition.pcZoneMemberModifier = modifier.data();
    OID_t created = {};
    if (const int status = create(&database, entry.session, &definition, created); status != 0) {
        return status;
    }
    StoredObject* temporary = findObjectUnlocked(std::string(oidFieldText(created)));
    if (temporary == nullptr) {
        return kInternal;
    }
    temporary->getStringAttr("MemberName", name);
    remove->remove(temporary, entry.session);
    return 0;
}

AttributeOutcome changeMember(AttributeEntry& entry) {
    if (entry.objType != ObjectType::ZoneMember) {
        return AttributeOutcome::record(kWrongTarget);
    }
    const bool byValue = entry.code == code::ZMType;
    if (!byValue && entry.value == nullptr) {
        return AttributeOutcome::end(kBadValue);
    }
    MemberState state = readMember(*entry.object);
    const std::string parentOid = firstRelation(*entry.object, "setParent");
    if (parentOid.compare(0, 4, kDefinedDatabaseType) != 0) {
        return AttributeOutcome::end(kNotPrepared);
    }
    const unsigned oldType = state.type;
    std::string name = state.name;
    if (byValue) {
        const unsigned type = attributeNumber(entry);
        if (type > 3) {
            return AttributeOutcome::end(kBadValue);
        }
        state.type = static_cast<unsigned short>(type);
    } else if (entry.code == code::ZoneMemberModifier) {
        state.modifier = static_cast<const char*>(entry.value);
    } else {
        const char* target = static_cast<const char*>(entry.value);
        // A target identifier must fit its 48-byte field whole.
        if (strnlen(target, sizeof(OID_t)) >= sizeof(OID_t)) {
            return AttributeOutcome::end(kBadValue);
        }
        StoredObject* database = findObjectUnlocked(parentOid);
        if (database == nullptr) {
            return AttributeOutcome::end(kNoDatabase);
        }
        if (const int status = derivedMemberName(entry, *database, state, target, name);
            status != 0) {
            return AttributeOutcome::end(status);
        }
        state.target = target;
    }
    name = rebuildMemberName(name, oldType, state.type, state.modifier);

    // Everything is known: the member changes at once.
    entry.object->setShortAttr("ZMType", state.type);
    entry.object->setStringAttr("ZoneMemberModifier", state.modifier);
    entry.object->setStringAttr("ZoneMemberTarget", state.target);
    entry.object->setStringAttr("MemberName", name);
    const bool plain = state.type == 0 || state.type == 3;
    const bool hasModifier = !state.modifier.empty();
    if (state.type <= 3) {
        entry.object->setShortAttr("ZMReady", plain != hasModifier ? 1 : 0);
    }
    return AttributeOutcome::next();
}

} // namespace

std::string rebuildMemberName(const std::string& name, unsigned oldType, unsigned newType,
                              const std::string& modifier) {
    if (oldType > 3 || newType > 3) {
        return name;
    }
    std::string base = name;
    if (oldType == 1 || oldType == 2) {
        base = name.substr(0, name.find(oldType == 1 ? '(' : '['));
    } else if (oldType == 3) {
        const std::string inner = name.compare(0, 2, "H{") == 0 ? name.substr(2) : name;
        base = inner.substr(0, inner.find('}'));
    }
    switch (newType) {
    case 1:
        return modifier.empty() ? base : base + "(" + modifier + ")";
    case 2:
        return modifier.empty() ? base : base + "[" + modifier + "]";
    case 3:
        return "H{" + base + "}";
    default:
        return base;
    }
}

void installZoneMemberAttributeChanges() {
    for (const unsigned member : {code::ZoneMemberTarget, code::ZoneMemberModifier, code::ZMType}) {
        registerAttributeHandler(member, {changeMember, false, true});
    }
}
