#include "editing/ZoningMemberEdits.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "api/ObjectStore.h"
#include "editing/MemberListItems.h"
#include "editing/ZoningTransaction.h"
#include "foundation/APIException.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

using namespace zoning_table;
using Entries = std::vector<std::string>;
using NameVector = std::vector<ZoningNameEntry*>;

constexpr std::size_t kEntrySize = sizeof(OID_t);
constexpr std::size_t kNoPosition = static_cast<std::size_t>(-1);

constexpr int kBadArgument = -3;
constexpr int kNoMemory = -2;
constexpr int kNotFound = -17;
constexpr int kNoType = -20;
constexpr int kMemberNotStored = -21;
constexpr int kOtherFabric = -5;
constexpr int kNoDatabase = -28;
constexpr int kNoCapabilities = -29;
constexpr int kNoTransaction = -40;
constexpr int kMemberElsewhere = -68;
constexpr int kWrongKind = -71;
constexpr int kPortTypeRefused = -72;
constexpr int kActiveDatabase = -75;
constexpr int kTargetPortNotStored = -80;
constexpr int kTargetKindRefused = -81;

// Port types a zone member may designate a port by.
constexpr unsigned short kPortTypeF = 324;
constexpr unsigned short kPortTypeFl = 325;

// What differs between the three member sets.
struct SetRules {
    const char* nameAttribute;
    int noName;
    // The cache table of member maps and the journal verbs for it.
    const char* table;
    const char* memberRemovedVerb; // undoes an added member: erases it from the map
    const char* memberAddedVerb;   // undoes a removed member: puts it back
    const char* mapVerb;           // undoes an emptied object: the map goes back
    const char* databaseList;      // the database's list of such objects
};

const SetRules& rulesOf(ZoningMemberSet set) {
    static const SetRules zone{"ZoneName",
                               -26,
                               FullZones,
                               zoning_verb::ZoneDeleteMember,
                               zoning_verb::ZoneAddMember,
                               zoning_verb::ZoneAddMap,
                               "setZone"};
    static const SetRules alias{"ZoneAliasName",
                                -24,
                                FullAliases,
                                zoning_verb::AliasDeleteMember,
                                zoning_verb::AliasAddMember,
                                zoning_verb::AliasAddMap,
                                "setZoneAlias"};
    static const SetRules zoneSet{"ZoneSetName",
                                  -27,
                                  FullZoneSets,
                                  nullptr,
                                  zoning_verb::ZoneSetAddMember,
                                  zoning_verb::ZoneSetAddMap,
                                  "setZoneSet"};
    switch (set) {
    case ZoningMemberSet::Zone:
        return zone;
    case ZoningMemberSet::Alias:
        return alias;
    case ZoningMemberSet::ZoneSet:
        break;
    }
    return zoneSet;
}

Entries entriesOf(const char* members) {
    Entries entries;
    for (const char* entry = members; *entry != '\0'; entry += kEntrySize) {
        entries.emplace_back(oidFieldText(entry));
    }
    return entries;
}

// The entries again as a list of 48-byte fields ended by an empty one.
std::vector<char> listOf(const Entries& entries) {
    std::vector<char> list((entries.size() + 1) * kEntrySize, '\0');
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::memcpy(list.data() + i * kEntrySize, entries[i].data(),
                    std::min(entries[i].size(), kEntrySize - 1));
    }
    return list;
}

std::string oidOf(const StoredObject& object) {
    std::string oid;
    object.getStringAttr("OID", oid);
    return oid;
}

std::size_t positionIn(const StoredObject& object, const std::string& list,
                       const std::string& value) {
    const std::vector<std::string> values = listValues(object, list);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (values[i] == value) {
            return i;
        }
    }
    return kNoPosition;
}

// Removes `value` from the list and writes the row that puts it back at its
// place; nothing when it is not in the list.
void removeFromList(const std::string& fabricKey, StoredObject& object, const std::string& list,
                    const std::string& value) {
    const std::size_t position = positionIn(object, list, value);
    if (position == kNoPosition) {
        return;
    }
    object.removeListValue(list, value);
    AddZoningJournalListRecord(fabricKey, oidOf(object), list, value, position);
}

// The kind in the first four hex digits of the zone member's target.
unsigned short targetKindOf(const StoredObject& member, std::string& target) {
    std::vector<unsigned char> bytes;
    if (member.getBytesAttr("ZoneMemberTarget", bytes)) {
        target.assign(reinterpret_cast<const char*>(bytes.data()),
                      strnlen(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } else {
        member.getStringAttr("ZoneMemberTarget", target);
    }
    return oidObjectType(target);
}

// Whether a zone member may designate what its target names.
int checkMemberTarget(const StoredObject& member) {
    std::string target;
    switch (targetKindOf(member, target)) {
    case ObjectType::DomainPortRef:
    case ObjectType::Node:
    case ObjectType::Zone:
    case 0xFFF7:
    case 0xFFF9:
        return 0;
    case ObjectType::Port: {
        const StoredObject* port = findObjectUnlocked(target);
        if (port == nullptr) {
            return kTargetPortNotStored;
        }
        unsigned short type = 0;
        port->getShortAttr("PortType", type);
        return type == kPortTypeF || type == kPortTypeFl ? 0 : kPortTypeRefused;
    }
    default:
        return kTargetKindRefused;
    }
}

// The fabric of a member. Zone members and undefined objects reach it up
// their "setParent" chain (zone or alias, database, capabilities).
const StoredObject* fabricOfMember(const std::string& entry) {
    if (const StoredObject* fabric = GetFabricEntryOfObject(entry)) {
        return fabric;
    }
    StoredObject* member = findObjectUnlocked(entry);
    if (member == nullptr) {
        return nullptr;
    }
    const unsigned short type = storedObjectType(*member);
    return type == ObjectType::ZoneMember || type == ObjectType::UndefinedZoningObject
               ? fabricOfObject(member)
               : nullptr;
}

bool kindAccepted(ZoningMemberSet set, unsigned short kind) {
    switch (set) {
    case ZoningMemberSet::Zone:
        return kind == ObjectType::ZoneMember || kind == ObjectType::ZoneAlias ||
               kind == ObjectType::Switch;
    case ZoningMemberSet::Alias:
        return kind == ObjectType::ZoneMember;
    case ZoningMemberSet::ZoneSet:
        return kind == ObjectType::Zone;
    }
    return false;
}

// The checks of one member to be added.
int checkAddedMember(ZoningMemberSet set, const std::string& entry,
                     const ZoningEditContext& context) {
    const unsigned short kind = oidObjectType(entry);
    if (!kindAccepted(set, kind)) {
        return kWrongKind;
    }
    const StoredObject* fabric = fabricOfMember(entry);
    if (fabric == nullptr) {
        return kNotFound;
    }
    if (oidOf(*fabric) != context.fabricKey) {
        return kOtherFabric;
    }
    if (set == ZoningMemberSet::ZoneSet || kind != ObjectType::ZoneMember) {
        return 0;
    }
    const StoredObject* member = findObjectUnlocked(entry);
    if (member == nullptr) {
        return kMemberNotStored;
    }
    const StoredObject* parent = parentObject(*member);
    if (parent == nullptr) {
        return kNotFound;
    }
    if (parent != context.database) {
        return kMemberElsewhere;
    }
    return checkMemberTarget(*member);
}

// The zoning type the switch knows the target by.
int zoningTypeOf(ZoningMemberSet set, const StoredObject& target) {
    switch (set) {
    case ZoningMemberSet::Alias:
        return ZONING_TYPE_ALIAS;
    case ZoningMemberSet::ZoneSet:
        return ZONING_TYPE_ZONE_SET;
    case ZoningMemberSet::Zone:
        break;
    }
    unsigned short zoneType = 2;
    target.getShortAttr("ZoneType", zoneType);
    switch (zoneType) {
    case 2:
        return ZONING_TYPE_QL_ZONE;
    case 3:
        return ZONING_TYPE_FA_ZONE;
    default:
        // 1, and any value the switch has no zone kind for: a standard zone.
        return ZONING_TYPE_ZONE;
    }
}

void freeVector(NameVector* vector) {
    if (vector == nullptr) {
        return;
    }
    for (ZoningNameEntry* entry : *vector) {
        delete entry;
    }
    delete vector;
}

// Gives the request's vector back through an access object of its own; a
// failure while only freeing it is ignored (the vector is freed anyway).
void releaseVector(int versionClass, SessionContext* handle, NameVector* vector) {
    try {
        const std::unique_ptr<UDAL_ZoningAccess_Ifc> access(getZoningAccess(versionClass, handle));
        if (access != nullptr) {
            access->ZoningMemberObjectVectorDelete(&vector);
        }
    } catch (...) {
    }
    freeVector(vector);
}

// Sends the member change to the switch: 0, or the code of the refusal.
int sendMemberChange(bool adding, ZoningMemberSet set, const StoredObject& target,
                     const Entries& filtered, const ZoningEditContext& context,
                     SessionContext* handle) {
    const int versionClass = GetProxySwitchVersionClass(context.databaseOid);
    const std::vector<char> list = listOf(filtered);
    int count = 0;
    char** names = nullptr;
    if (const int status = ConvertMemberNames(list.data(), &count, &names); status != 0) {
        return status;
    }
    const auto dropNames = [&] { FreeMemberNames(names, count); };
    if (count == 0) {
        dropNames();
        return kBadArgument;
    }
    const SetRules& rules = rulesOf(set);
    std::string objectName;
    if (!target.getStringAttr(rules.nameAttribute, objectName)) {
        dropNames();
        return rules.noName;
    }
    NameVector* vector = nullptr;
    try {
        vector = new NameVector();
        vector->reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            vector->push_back(new ZoningNameEntry(names[i], 0));
        }
    } catch (const std::bad_alloc&) {
        freeVector(vector);
        dropNames();
        return kNoMemory;
    }
    dropNames();
    int status = 0;
    try {
        const std::unique_ptr<UDAL_ZoningAccess_Ifc> access(getZoningAccess(versionClass, handle));
        if (access == nullptr) {
            status = kNoMemory;
        } else if (adding) {
            access->ZoningObjectAddMembers(objectName.c_str(), zoningTypeOf(set, target), vector);
        } else {
            access->ZoningObjectRemoveMembers(objectName.c_str(), zoningTypeOf(set, target),
                                              vector);
        }
    } catch (const UDAL_ZoningException& e) {
        status = MapZoningError(e.getCode());
    } catch (const APIException& e) {
        status = MapApiError(e.getCode());
    } catch (const std::bad_alloc&) {
        status = kNoMemory;
    }
    releaseVector(versionClass, handle, vector);
    return status;
}

// The member map of the object named `name` in `table`, or null when it
// has no entry or its members were not read yet.
ZoningMemberMap* memberMapOf(ZoningMemberTable* table, const std::string& name) {
    if (table == nullptr) {
        return nullptr;
    }
    const auto entry = table->find(name);
    return entry == table->end() ? nullptr : entry->second.get();
}

// A zone member added to a zone or alias moves from the database to it.
void adoptZoneMember(ZoningMemberSet set, const std::string& targetOid, const std::string& name,
                     const std::string& entry, const ZoningEditContext& context) {
    StoredObject* member = findObjectUnlocked(entry);
    if (member == nullptr || context.database == nullptr) {
        return;
    }
    const std::string& key = context.fabricKey;
    removeFromList(key, *context.database, "setMember", entry);
    member->removeRelation("setParent", context.databaseOid);
    member->addRelation("setParent", targetOid);
    if (set == ZoningMemberSet::Zone) {
        AddZoningJournalRecord(key, zoning_verb::Delete, entry, "setParent", targetOid);
        AddZoningJournalRecord(key, zoning_verb::Add, entry, "setParent", context.databaseOid);
    } else {
        AddZoningJournalRecord(key, zoning_verb::Add, entry, "setParent", context.databaseOid);
        AddZoningJournalRecord(key, zoning_verb::Delete, entry, "setParent", targetOid);
    }
    std::string memberName;
    member->getStringAttr("MemberName", memberName);
    const SetRules& rules = rulesOf(set);
    auto* table = FindZoningCacheTable<ZoningMemberTable>(key, rules.table);
    if (table != nullptr && !table->contains(name)) {
        (*table)[name] = std::make_unique<ZoningMemberMap>();
    }
    ZoningMemberMap* map = memberMapOf(table, name);
    // A name the map holds already stays as it is, so that the row's undo
    // cannot erase it.
    if (map == nullptr || map->emplace(memberName, entry).second) {
        AddZoningJournalRecord(key, rules.memberRemovedVerb, targetOid, memberName, entry);
    }
}

// A removed zone member or undefined object leaves the object's member
// map and is destroyed at commit.
void dropNamedMember(ZoningMemberSet set, const std::string& targetOid, const std::string& name,
                     const std::string& entry, const std::string& memberName,
                     const ZoningEditContext& context) {
    const std::string& key = context.fabricKey;
    const SetRules& rules = rulesOf(set);
    ZoningMemberMap* map =
        memberMapOf(FindZoningCacheTable<ZoningMemberTable>(key, rules.table), name);
    if (map == nullptr || map->erase(memberName) != 0) {
        AddZoningJournalRecord(key, rules.memberAddedVerb, targetOid, memberName, entry);
    }
    RecordRemovedObject(key, entry);
}

// The object lost its last member: it leaves the defined database.
void leaveDatabase(ZoningMemberSet set, const std::string& targetOid, const std::string& name,
                   const ZoningEditContext& context) {
    const std::string& key = context.fabricKey;
    const SetRules& rules = rulesOf(set);
    if (context.database != nullptr) {
        removeFromList(key, *context.database, rules.databaseList, targetOid);
    }
    if (auto* table = FindZoningCacheTable<ZoningMemberTable>(key, rules.table)) {
        if (const auto entry = table->find(name); entry != table->end()) {
            std::unique_ptr<ZoningMemberMap> saved = std::move(entry->second);
            table->erase(entry);
            AddZoningJournalRecord(key, rules.mapVerb, "", name, "", std::move(saved));
        }
    }
    if (auto* names = FindZoningCacheTable<ZoningNameTable>(key, FullNames)) {
        if (const auto entry = names->find(name); entry != names->end()) {
            const std::string oid = entry->second;
            names->erase(entry);
            AddZoningJournalRecord(key, zoning_verb::FullNameAdd, "", name, oid);
        }
    }
    RecordRemovedObject(key, targetOid);
}

bool listExistsEmpty(const StoredObject& object, const char* list) {
    StoredObject::ListPosition position = 0;
    return object.beginList(list, position) && listValues(object, list).empty();
}

} // namespace

int resolveZoningContext(StoredObject& target, bool adding, ZoningEditContext& context) {
    context = ZoningEditContext();
    const std::string parentOid = firstRelation(target, "setParent");
    if (parentOid.empty()) {
        return kNotFound;
    }
    StoredObject* database = findObjectUnlocked(parentOid);
    if (database == nullptr) {
        return adding ? kNoDatabase : kNotFound;
    }
    if (storedObjectType(*database) == ObjectType::ActiveZoneDB) {
        return kActiveDatabase;
    }
    const std::string capabilitiesOid = firstRelation(*database, "setParent");
    if (capabilitiesOid.empty()) {
        return kNotFound;
    }
    StoredObject* capabilities = findObjectUnlocked(capabilitiesOid);
    if (capabilities == nullptr) {
        return kNoCapabilities;
    }
    if (!zoneTransactionOpen(*capabilities)) {
        return kNoTransaction;
    }
    const std::string fabricKey = firstRelation(*capabilities, "setParent");
    if (fabricKey.empty() || FindZoningCacheTable<ZoningNameTable>(fabricKey, FullNames) == nullptr ||
        FindZoningCacheTable<ZoningMemberTable>(fabricKey, FullZones) == nullptr ||
        FindZoningCacheTable<ZoningMemberTable>(fabricKey, FullAliases) == nullptr ||
        (!adding && FindZoningCacheTable<ZoningMemberTable>(fabricKey, FullZoneSets) == nullptr)) {
        return kNotFound;
    }
    context.database = database;
    context.databaseOid = parentOid;
    context.capabilities = capabilities;
    context.fabricKey = fabricKey;
    return 0;
}

int addZoningMembers(ZoningMemberSet set, StoredObject& target, const char* members,
                     const ZoningEditContext& context, SessionContext* handle) {
    if (members == nullptr) {
        return kBadArgument;
    }
    const Entries entries = entriesOf(members);
    Entries filtered;
    if (entries.size() == 1) {
        if (const int status = checkAddedMember(set, entries.front(), context); status != 0) {
            return status;
        }
        filtered = entries;
    } else {
        for (const std::string& entry : entries) {
            if (checkAddedMember(set, entry, context) == 0) {
                filtered.push_back(entry);
            }
        }
    }
    if (const int status = sendMemberChange(true, set, target, filtered, context, handle);
        status != 0) {
        return status;
    }
    const std::string targetOid = oidOf(target);
    std::string name;
    target.getStringAttr(rulesOf(set).nameAttribute, name);
    for (const std::string& entry : filtered) {
        if (target.listContains("setMember", entry)) {
            continue;
        }
        target.appendListValue("setMember", entry);
        AddZoningJournalRecord(context.fabricKey, zoning_verb::DeleteFromList, targetOid,
                               "setMember", entry);
        if (set != ZoningMemberSet::ZoneSet && oidObjectType(entry) == ObjectType::ZoneMember) {
            adoptZoneMember(set, targetOid, name, entry, context);
        }
    }
    return 0;
}

int removeZoningMembers(ZoningMemberSet set, StoredObject& target, const char* members,
                        const ZoningEditContext& context, SessionContext* handle) {
    if (members == nullptr) {
        return kBadArgument;
    }
    const Entries entries = entriesOf(members);
    Entries filtered;
    for (const std::string& entry : entries) {
        if (target.listContains("setMember", entry)) {
            filtered.push_back(entry);
        } else if (entries.size() == 1) {
            return kBadArgument;
        }
    }
    if (const int status = sendMemberChange(false, set, target, filtered, context, handle);
        status != 0) {
        return status;
    }
    const std::string targetOid = oidOf(target);
    const std::string& key = context.fabricKey;
    std::string name;
    target.getStringAttr(rulesOf(set).nameAttribute, name);
    for (const std::string& entry : filtered) {
        const StoredObject* member = findObjectUnlocked(entry);
        if (member == nullptr || !target.listContains("setMember", entry)) {
            continue;
        }
        removeFromList(key, target, "setMember", entry);
        std::string memberName;
        if (set == ZoningMemberSet::Alias) {
            member->getStringAttr("MemberName", memberName);
            dropNamedMember(set, targetOid, name, entry, memberName, context);
            continue;
        }
        unsigned short type = 0;
        if (!member->getShortAttr("ObjType", type)) {
            return kNoType;
        }
        if (type == ObjectType::ZoneMember && set == ZoningMemberSet::Zone) {
            member->getStringAttr("MemberName", memberName);
            dropNamedMember(set, targetOid, name, entry, memberName, context);
        } else if (type == ObjectType::UndefinedZoningObject) {
            member->getStringAttr("UndefinedObjName", memberName);
            dropNamedMember(set, targetOid, name, entry, memberName, context);
        }
    }
    if (listExistsEmpty(target, "setMember")) {
        leaveDatabase(set, targetOid, name, context);
    }
    return 0;
}
