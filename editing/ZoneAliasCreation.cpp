#include <memory>
#include <new>

#include <orvane/records.h>
#include <orvane/status.h>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "editing/ZoneCreation.h"
#include "objects/ChildClasses.h"
#include "objects/ObjectTypes.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

using namespace zoning_creation;

constexpr int kBadArgument = FABAPI_ERR_BAD_ARGUMENT;
constexpr int kNotUsable = -25;

bool isDevicePort(const StoredObject& port) {
    unsigned short type = 0;
    return port.getShortAttr("PortType", type) && (type == PORT_TYPE_N || type == PORT_TYPE_NL);
}

// Whether an alias may hold a member of this target: a domain and port
// reference, a node, a world wide name, a zone, or a device port (also a
// port the store does not hold).
bool targetAccepted(const std::string& target) {
    OID_t field = {};
    CopyName48(field, target.c_str());
    unsigned short kind = 0;
    ParseHex4(field, &kind);
    switch (kind) {
    case 0xF000:
    case ObjectType::Node:
    case 0xFFF9:
    case 0xFFF7:
    case ObjectType::Zone:
        return true;
    case ObjectType::Port: {
        const StoredObject* port = findObjectUnlocked(target);
        return port == nullptr || isDevicePort(*port);
    }
    default:
        return false;
    }
}

int checkAliasMember(const Context& context, const std::string& oid, StoredObject*& member) {
    member = findObjectUnlocked(oid);
    if (member == nullptr || storedObjectType(*member) != ObjectType::ZoneMember) {
        return kBadArgument;
    }
    if (const int status = checkMemberFabric(oid, context); status != 0) {
        return status;
    }
    if (parentObject(*member) != context.database) {
        return -68;
    }
    unsigned short ready = 1;
    if (member->getShortAttr("ZMReady", ready) && ready == 0) {
        return kNotUsable;
    }
    std::string target;
    if (!memberTarget(*member, target)) {
        return -208;
    }
    if (!targetAccepted(target)) {
        return kNotUsable;
    }
    return 0;
}

} // namespace

int createZoneAliasFromInput(StoredObject* database, SessionContext* fabricHandle,
                             const void* input, char* createdOid) try {
    if (input == nullptr) {
        return kBadArgument;
    }
    const auto* record = static_cast<const ZoneAliasRecord*>(input);
    const ZoningTrace trace("Creating ZoneAlias", "ZoningFunctions");
    std::string name;
    if (!readRecordText(record->pcZoneAliasName, name)) {
        return kBadArgument;
    }
    trace.enter("InputObject:Name=" + name);
    std::vector<std::string> oids;
    if (const int status = readMemberList(record->pcMemberOids, oids); status != 0) {
        return status;
    }
    Context context;
    if (const int status = resolveContext(database, context); status != 0) {
        return status;
    }
    std::vector<StoredObject*> members(oids.size());
    std::vector<std::string> memberNames(oids.size());
    for (std::size_t i = 0; i < oids.size(); ++i) {
        if (const int status = checkAliasMember(context, oids[i], members[i]);
            status != 0) {
            return status;
        }
    }
    for (std::size_t i = 0; i < oids.size(); ++i) {
        if (!members[i]->getStringAttr("MemberName", memberNames[i]) || memberNames[i].empty()) {
            return kNotUsable;
        }
    }
    RemoveBlanks(name);
    if (name.empty()) {
        return kBadArgument;
    }
    auto* names = FindZoningCacheTable<ZoningNameTable>(context.fabricKey, zoning_table::FullNames);
    auto* aliases =
        FindZoningCacheTable<ZoningMemberTable>(context.fabricKey, zoning_table::FullAliases);
    if (names == nullptr || aliases == nullptr) {
        return -17;
    }
    auto memberMap = std::make_unique<ZoningMemberMap>();

    if (const int status =
            createOnSwitch(context, fabricHandle, name, ZONING_TYPE_ALIAS, memberNames);
        status != 0) {
        return status;
    }

    if (CreateZoneAliasObject(database, name) != 0) {
        markForRefresh(context);
        return -24;
    }
    const std::string aliasOid = listValues(*database, "setZoneAlias").back();
    StoredObject* alias = findObjectUnlocked(aliasOid);
    journalFreeMemberOrder(context, oids);
    for (std::size_t i = 0; i < oids.size(); ++i) {
        takeFreeMember(context, *members[i], oids[i], *alias, aliasOid);
        (*memberMap)[memberNames[i]] = oids[i];
    }
    const std::string& key = context.fabricKey;
    (*aliases)[name] = std::move(memberMap);
    (*names)[name] = aliasOid;
    AddZoningJournalRecord(key, zoning_verb::FullNameDelete, "", name, aliasOid);
    AddZoningJournalRecord(key, zoning_verb::AliasDelete, "", name, "");
    AddZoningJournalRecord(key, zoning_verb::DeleteFromList, shortOid(context.databaseOid),
                           "setZoneAlias", shortOid(aliasOid));
    AddZoningJournalRecord(key, zoning_verb::Delete, shortOid(aliasOid), "setParent",
                           shortOid(context.databaseOid));
    context.capabilities->setShortAttr("ZoneTransactionDirty", 1);
    copyCreatedOid(aliasOid, createdOid);
    trace.exit("CreatedZoneAliasOid=" + aliasOid);
    return 0;
} catch (const std::bad_alloc&) {
    return FABAPI_ERR_OUT_OF_MEMORY;
}
