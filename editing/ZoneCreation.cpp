#include "editing/ZoneCreation.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <set>

#include <orvane/records.h>
#include <orvane/status.h>

#include "api/ObjectStore.h"
#include "editing/ObjectEditTable.h"
#include "foundation/APIException.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "zoning/UDAL_ZoningException.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace zoning_creation {

namespace {
constexpr int kNotReadable = -17;
constexpr std::size_t kShortOidLength = 20;
} // namespace

int resolveContext(StoredObject* database, Context& context) {
    if (database == nullptr) {
        return kNotReadable;
    }
    context.database = database;
    database->getStringAttr("OID", context.databaseOid);
    context.capabilities = parentObject(*database);
    if (context.capabilities == nullptr || context.databaseOid.empty()) {
        return kNotReadable;
    }
    context.fabricKey = firstRelation(*context.capabilities, "setParent");
    if (context.fabricKey.empty()) {
        return kNotReadable;
    }
    context.versionClass = GetProxySwitchVersionClass(context.fabricKey);
    return 0;
}

bool readRecordText(const char* text, std::string& out) {
    if (text == nullptr) {
        return false;
    }
    const std::size_t length = strnlen(text, kRecordTextMax);
    if (length == kRecordTextMax) {
        return false;
    }
    out.assign(text, length);
    return true;
}

int readMemberList(const char* list, std::vector<std::string>& oids) {
    oids.clear();
    if (list == nullptr || list[0] == '\0') {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    std::set<std::string> seen;
    for (const char* entry = list; entry[0] != '\0'; entry += sizeof(OID_t)) {
        const std::size_t length = strnlen(entry, sizeof(OID_t));
        if (length == sizeof(OID_t)) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        std::string oid(entry, length);
        if (!seen.insert(oid).second) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        oids.push_back(std::move(oid));
    }
    return 0;
}

int checkMemberFabric(const std::string& memberOid, const Context& context) {
    // Zone members have no path of their own: their parents lead up to the
    // fabric.
    const StoredObject* fabric = GetFabricEntryOfObject(memberOid);
    if (fabric == nullptr) {
        fabric = fabricOfObject(findObjectUnlocked(memberOid));
    }
    if (fabric == nullptr) {
        return kNotReadable;
    }
    std::string fabricOid;
    fabric->getStringAttr("OID", fabricOid);
    return fabricOid == context.fabricKey ? 0 : -5;
}

int createOnSwitch(const Context& context, SessionContext* fabricHandle, const std::string& name,
                   int zoningType, const std::vector<std::string>& memberNames) {
    std::vector<std::unique_ptr<ZoningNameEntry>> entries;
    std::vector<ZoningNameEntry*> members;
    for (const std::string& member : memberNames) {
        entries.push_back(std::make_unique<ZoningNameEntry>(member.c_str(), 0));
        members.push_back(entries.back().get());
    }
    std::unique_ptr<UDAL_ZoningAccess_Ifc> access;
    try {
        access.reset(getZoningAccess(context.versionClass, fabricHandle));
        if (access == nullptr) {
            return FABAPI_ERR_OUT_OF_MEMORY;
        }
        access->ZoningObjectCreate(name.c_str(), zoningType, &members);
    } catch (const UDAL_ZoningException& failure) {
        return MapZoningError(failure.getCode());
    } catch (const APIException& failure) {
        return MapApiError(failure.getCode());
    }
    return 0;
}

std::string shortOid(const std::string& oid) {
    return oid.substr(0, kShortOidLength);
}

void journalFreeMemberOrder(const Context& context, const std::vector<std::string>& taken) {
    const std::vector<std::string> free = listValues(*context.database, "setMember");
    // Members before the first taken one keep their places; from there on
    // the rollback appends the taken members back in the reverse order of
    // taking. Compute that order and journal the tail only when it differs.
    std::size_t first = free.size();
    for (std::size_t i = 0; i < free.size(); ++i) {
        if (std::find(taken.begin(), taken.end(), free[i]) != taken.end()) {
            first = i;
            break;
        }
    }
    if (first == free.size()) {
        return;
    }
    std::vector<std::string> afterRollback;
    for (std::size_t i = first; i < free.size(); ++i) {
        if (std::find(taken.begin(), taken.end(), free[i]) == taken.end()) {
            afterRollback.push_back(free[i]);
        }
    }
    for (auto member = taken.rbegin(); member != taken.rend(); ++member) {
        if (std::find(free.begin() + first, free.end(), *member) != free.end()) {
            afterRollback.push_back(*member);
        }
    }
    if (std::equal(afterRollback.begin(), afterRollback.end(), free.begin() + first)) {
        return;
    }
    // Replayed newest first, these rows move each member of the tail to the
    // end of the list in its order of now.
    const std::string database = shortOid(context.databaseOid);
    for (std::size_t i = free.size(); i-- > first;) {
        AddZoningJournalRecord(context.fabricKey, zoning_verb::AddToList, database, "setMember",
                               free[i]);
        AddZoningJournalRecord(context.fabricKey, zoning_verb::DeleteFromList, database,
                               "setMember", free[i]);
    }
}

void takeFreeMember(const Context& context, StoredObject& member, const std::string& memberOid,
                    StoredObject& owner, const std::string& ownerOid) {
    const std::string& key = context.fabricKey;
    const std::string database = shortOid(context.databaseOid);
    const std::string ownerShort = shortOid(ownerOid);
    owner.appendListValue("setMember", memberOid);
    AddZoningJournalRecord(key, zoning_verb::DeleteFromList, ownerShort, "setMember", memberOid);
    context.database->removeListValue("setMember", memberOid);
    AddZoningJournalRecord(key, zoning_verb::AddToList, database, "setMember", memberOid);
    member.removeRelation("setParent", context.databaseOid);
    AddZoningJournalRecord(key, zoning_verb::Add, memberOid, "setParent", database);
    member.addRelation("setParent", ownerOid);
    AddZoningJournalRecord(key, zoning_verb::Delete, memberOid, "setParent", ownerShort);
}

void markForRefresh(const Context& context) {
    if (context.capabilities != nullptr) {
        context.capabilities->setShortAttr("ZoningRefresh", 1);
    }
}

void copyCreatedOid(const std::string& oid, char* createdOid) {
    if (createdOid != nullptr) {
        std::memset(createdOid, 0, sizeof(OID_t));
        CopyName48(createdOid, oid.c_str());
    }
}

bool memberTarget(const StoredObject& member, std::string& target) {
    target.clear();
    if (!member.getStringAttr("ZoneMemberTarget", target)) {
        return false;
    }
    if (target.empty()) {
        std::vector<unsigned char> bytes;
        if (member.getBytesAttr("ZoneMemberTarget", bytes) && !bytes.empty()) {
            const auto* text = reinterpret_cast<const char*>(bytes.data());
            target.assign(text, strnlen(text, bytes.size()));
        }
    }
    return !target.empty();
}

} // namespace zoning_creation

namespace {

using namespace zoning_creation;

constexpr int kBadArgument = FABAPI_ERR_BAD_ARGUMENT;
constexpr char kSource[] = "ZoningFunctions";

// The zoning type the switch is asked for, by the record's zone type; 0
// for a zone type it has none for.
int zoningTypeOfZone(unsigned short zoneType, const std::string& name) {
    switch (zoneType) {
    case 1:
        return ZONING_TYPE_ZONE;
    case 2:
        return ZONING_TYPE_QL_ZONE;
    case 3:
        return ZONING_TYPE_FA_ZONE;
    case 4:
        return name.find('/') != std::string::npos ? ZONING_TYPE_ZONE : 0;
    default:
        return 0;
    }
}

bool startsWithUnknownName(const std::string& target) {
    return target.size() >= 4 && strncasecmp(target.c_str(), "fff9", 4) == 0;
}

// One checked member of a zone: its object, type and the name the switch
// knows it by.
struct ZoneMemberEntry {
    StoredObject* object;
    std::string oid;
    unsigned short type;
    std::string name;
};

int checkZoneMember(const Context& context, const std::string& oid, unsigned short zoneType,
                    ZoneMemberEntry& entry) {
    StoredObject* member = findObjectUnlocked(oid);
    const unsigned short type = member != nullptr ? storedObjectType(*member) : 0;
    const bool allowed = type == ObjectType::ZoneMember || type == ObjectType::ZoneAlias ||
                         (type == ObjectType::Switch && zoneType == 2);
    if (!allowed) {
        return kBadArgument;
    }
    if (const int status = checkMemberFabric(oid, context); status != 0) {
        return status;
    }
    if (type == ObjectType::ZoneMember) {
        unsigned short ready = 1;
        if (member->getShortAttr("ZMReady", ready) && ready == 0) {
            return -25;
        }
        if (parentObject(*member) != context.database) {
            return -68;
        }
        std::string target;
        if (zoneType == 2 && (!memberTarget(*member, target) || !startsWithUnknownName(target))) {
            return -81;
        }
    }
    entry = {member, oid, type, ""};
    return 0;
}

// The member's name as the switch knows it: false when unreadable.
bool zoneMemberName(ZoneMemberEntry& entry) {
    switch (entry.type) {
    case ObjectType::Switch: {
        const std::optional<WWNAddress> wwn = entry.object->getWwnAttr("WWN");
        if (!wwn) {
            return false;
        }
        entry.name = wwn->toString();
        return true;
    }
    case ObjectType::ZoneAlias:
        return entry.object->getStringAttr("ZoneAliasName", entry.name) && !entry.name.empty();
    default:
        return entry.object->getStringAttr("MemberName", entry.name) && !entry.name.empty();
    }
}

} // namespace

int createZoneFromInput(StoredObject* database, SessionContext* fabricHandle, const void* input,
                        char* createdOid) try {
    if (input == nullptr) {
        return kBadArgument;
    }
    const auto* record = static_cast<const ZoneRecord*>(input);
    const ZoningTrace trace("Creating Zone", kSource);
    std::string name;
    if (!readRecordText(record->pcZoneName, name)) {
        return kBadArgument;
    }
    trace.enter("InputObject:Name=" + name + " Type=" + std::to_string(record->zoneType));
    std::vector<std::string> oids;
    if (const int status = readMemberList(record->pcMemberOids, oids); status != 0) {
        return status;
    }
    Context context;
    if (const int status = resolveContext(database, context); status != 0) {
        return status;
    }
    const unsigned short zoneType = record->zoneType;
    std::vector<ZoneMemberEntry> members(oids.size());
    for (std::size_t i = 0; i < oids.size(); ++i) {
        if (const int status = checkZoneMember(context, oids[i], zoneType, members[i]);
            status != 0) {
            return status;
        }
    }
    std::vector<std::string> memberNames;
    for (ZoneMemberEntry& member : members) {
        if (!zoneMemberName(member)) {
            return kBadArgument;
        }
        memberNames.push_back(member.name);
    }
    RemoveBlanks(name);
    const int zoningType = zoningTypeOfZone(zoneType, name);
    if (zoningType == 0 || name.empty()) {
        return kBadArgument;
    }
    auto* names = FindZoningCacheTable<ZoningNameTable>(context.fabricKey, zoning_table::FullNames);
    auto* zones =
        FindZoningCacheTable<ZoningMemberTable>(context.fabricKey, zoning_table::FullZones);
    if (names == nullptr || zones == nullptr) {
        return -17;
    }
    auto memberMap = std::make_unique<ZoningMemberMap>();

    if (const int status = createOnSwitch(context, fabricHandle, name, zoningType, memberNames);
        status != 0) {
        return status;
    }

    if (CreateZoneObject(database, name, zoneType) != 0) {
        markForRefresh(context);
        return -26;
    }
    const std::string zoneOid = listValues(*database, "setZone").back();
    StoredObject* zone = findObjectUnlocked(zoneOid);
    std::vector<std::string> taken;
    for (const ZoneMemberEntry& member : members) {
        if (member.type == ObjectType::ZoneMember) {
            taken.push_back(member.oid);
        }
    }
    journalFreeMemberOrder(context, taken);
    const std::string& key = context.fabricKey;
    for (const ZoneMemberEntry& member : members) {
        if (member.type == ObjectType::ZoneMember) {
            takeFreeMember(context, *member.object, member.oid, *zone, zoneOid);
            (*memberMap)[member.name] = member.oid;
        } else {
            zone->appendListValue("setMember", member.oid);
            AddZoningJournalRecord(key, zoning_verb::DeleteFromList, shortOid(zoneOid), "setMember",
                                   member.oid);
        }
    }
    (*zones)[name] = std::move(memberMap);
    (*names)[name] = zoneOid;
    AddZoningJournalRecord(key, zoning_verb::DeleteFromList, shortOid(context.databaseOid),
                           "setZone", shortOid(zoneOid));
    AddZoningJournalRecord(key, zoning_verb::Delete, shortOid(zoneOid), "setParent",
                           shortOid(context.databaseOid));
    AddZoningJournalRecord(key, zoning_verb::FullNameDelete, "", name, zoneOid);
    AddZoningJournalRecord(key, zoning_verb::ZoneDelete, "", name, "");
    context.capabilities->setShortAttr("ZoneTransactionDirty", 1);
    copyCreatedOid(zoneOid, createdOid);
    trace.exit("CreatedZoneOid=" + zoneOid);
    return 0;
} catch (const std::bad_alloc&) {
    return FABAPI_ERR_OUT_OF_MEMORY;
}

void installZoningCreators() {
    registerObjectCreator(ObjectType::Zone, createZoneFromInput);
    registerObjectCreator(ObjectType::ZoneConfig, createZoneSetFromInput);
    registerObjectCreator(ObjectType::ZoneAlias, createZoneAliasFromInput);
    registerObjectCreator(ObjectType::ZoneMember, createZoneMemberFromInput);
}
