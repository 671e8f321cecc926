#include "editing/ZoningTransaction.h"

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <orvane/status.h>

#include "api/ObjectStore.h"
#include "editing/AttributeChanges.h"
#include "foundation/APIException.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/StatusTranslation.h"
#include "objects/ObjectTypes.h"
#include "objects/ZoningCacheHooks.h"
#include "zoning/ZoningItems.h"
#include "zoning/ActiveZoningDbCache.h"
#include "zoning/FullZoningDbLoader.h"
#include "zoning/UDAL_ZoningException.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCacheDiscard.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningStoredObjects.h"

namespace {

constexpr int kNoMemory = FABAPI_ERR_OUT_OF_MEMORY;
constexpr int kBadValue = FABAPI_ERR_BAD_ARGUMENT;
constexpr int kNotReadable = -17;
constexpr int kNotZoneSet = -27;
constexpr int kWrongDatabase = -28;
constexpr int kNoCapabilities = -29;
constexpr int kNoTransaction = FABAPI_ERR_NO_ZONE_TRANSACTION;
constexpr int kTransactionOpen = -66;
constexpr int kDefaultZoningRefused = -73;
// The exception code of the switch's "no transaction" status.
constexpr int kSwitchHoldsNoTransaction = 3;

constexpr char kActive[] = "ZoneTransactionActive";
constexpr char kDirty[] = "ZoneTransactionDirty";
constexpr char kCommit[] = "ZoneTransactionCommit";
constexpr char kValidate[] = "ZoneTransactionValidate";

// The codes this file handles.
namespace code {
constexpr unsigned TransactionActive = 0xA0B23;
constexpr unsigned TransactionCommit = 0xA0B24;
constexpr unsigned CommitTransaction = 0xA0B36;
constexpr unsigned TransactionValidate = 0xA0B25;
constexpr unsigned ValidateTransaction = 0xA0B37;
constexpr unsigned MemberTargetTyping = 0xA0B2C;
constexpr unsigned ZoningRefresh = 0xA0B2D;
constexpr unsigned ActivateZoneSet = 0xA0B03;
constexpr unsigned ActiveZoneSet = 0xA0B0D;
constexpr unsigned DeactivateActiveZoneDb = 0xA0B0E;
constexpr unsigned ClearFullZoneDb = 0xA0B0F;
constexpr unsigned DefaultZoningBehavior = 0x40B2A;
} // namespace code

// The switch transaction a fabric has open: the session it was started on
// and the zoning level, so that a session closing with it open can roll it
// back. Guarded by the object-model lock.
struct OpenTransaction {
    SessionContext* session;
    int versionClass;
};
std::map<std::string, OpenTransaction>& openTransactions() {
    static std::map<std::string, OpenTransaction> open;
    return open;
}

// The 16-bit value the pointer points to; false for a null pointer.
bool shortValue(void* value, unsigned short& out) {
    if (value == nullptr) {
        return false;
    }
    out = *static_cast<const unsigned short*>(value);
    return true;
}

int versionClassOf(const AttributeEntry& entry) {
    return GetProxySwitchVersionClass(entry.oid);
}

// Runs one zoning access operation on a fresh access object of the entry's
// level: 0; -2 without an access object; the public code of a
// zoning failure whose code is not in `accepted`, or of a connection
// failure.
template <class Operation>
int onSwitch(SessionContext* session, int versionClass, Operation&& operation,
             std::initializer_list<int> accepted = {}) {
    std::unique_ptr<UDAL_ZoningAccess_Ifc> access;
    try {
        access.reset(getZoningAccess(versionClass, session));
    } catch (const APIException& failure) {
        return MapApiError(failure.getCode());
    }
    if (access == nullptr) {
        return kNoMemory;
    }
    try {
        operation(*access);
    } catch (const UDAL_ZoningException& failure) {
        for (const int code : accepted) {
            if (failure.getCode() == code) {
                return 0;
            }
        }
        return MapZoningError(failure.getCode());
    } catch (const APIException& failure) {
        return MapApiError(failure.getCode());
    }
    return 0;
}

template <class Operation>
int onSwitch(const AttributeEntry& entry, Operation&& operation,
             std::initializer_list<int> accepted = {}) {
    return onSwitch(entry.session, versionClassOf(entry), std::forward<Operation>(operation),
                    accepted);
}

// Forgets the fabric's copy of the active database listing; a failure
// changes nothing that a later read would not mend.
void clearActiveListing(const AttributeEntry& entry, const std::string& fabricKey) {
    onSwitch(entry,
             [&](UDAL_ZoningAccess_Ifc& access) { ClearActiveZoningDbCache(fabricKey, &access); });
}

// The local end of a transaction that the switch kept: the removed objects
// are destroyed, the journal freed, the flags closed.
void endKeepingChanges(StoredObject& capabilities, const std::string& fabricKey) {
    capabilities.setShortAttr(kDirty, 0);
    capabilities.setShortAttr(kActive, 0);
    PurgeRemovedObjects(fabricKey);
    ReleaseZoningJournal(fabricKey);
    openTransactions().erase(fabricKey);
}

// When the fabric's switch transaction is open, commits it: the switch
// keeps what the library keeps. 0 or the commit's code.
int commitIfOpen(const AttributeEntry& entry, const std::string& fabricKey) {
    if (!switchTransactionOpen(fabricKey)) {
        return 0;
    }
    return onSwitch(entry, [](UDAL_ZoningAccess_Ifc& access) { access.TransactionCommit(); });
}

// --- "ZoneTransactionActive" ---------------------------------------------------

// Rollback at the oldest level: the switch took every edit as it was made
// and cannot give them back, so the transaction ends keeping them, and the
// defined database is read again from the switch, which the library's copy
// then matches. -36 tells the caller that nothing was undone; a failed
// re-read gives its own code (the transaction is closed either way).
AttributeOutcome rollBackWithoutSwitchTransaction(AttributeEntry& entry, StoredObject& target,
                                                  const std::string& fabricKey) {
    endKeepingChanges(target, fabricKey);
    clearActiveListing(entry, fabricKey);
    const std::string databaseOid = firstRelation(target, "setFullZoneDB");
    StoredObject* database = findObjectUnlocked(databaseOid);
    if (database == nullptr) {
        return AttributeOutcome::end(kWrongDatabase);
    }
    {
        LockGuard device(getSwitchRequestMutex());
        if (const int loaded = LoadFullZoningDb(database, databaseOid); loaded != 0) {
            return AttributeOutcome::end(loaded);
        }
    }
    return AttributeOutcome::record(MapZoningError(ZONING_ERR_UNSUPPORTED));
}

AttributeOutcome startOrRollBack(AttributeEntry& entry) {
    unsigned short wanted = 0;
    if (!shortValue(entry.value, wanted) || wanted > 1) {
        return AttributeOutcome::end(kBadValue);
    }
    StoredObject& target = *entry.object;
    unsigned short open = 0;
    if (!target.getShortAttr(kActive, open)) {
        return AttributeOutcome::end(kNotReadable);
    }
    const int versionClass = versionClassOf(entry);
    if (wanted == 1 && open == 1) {
        return AttributeOutcome::end(kTransactionOpen);
    }
    if (wanted == 0 && open == 0) {
        return AttributeOutcome::end(kNoTransaction);
    }
    const std::string fabricKey = firstRelation(target, "setParent");
    if (fabricKey.empty()) {
        return AttributeOutcome::end(kNotReadable);
    }
    if (wanted == 1) {
        // The oldest level has no switch transaction (its "not supported"
        // counts as a start): the transaction is the library's own, and
        // every edit reaches the switch as it is made.
        const int status =
            onSwitch(entry, [](UDAL_ZoningAccess_Ifc& access) { access.TransactionStart(); },
                     {ZONING_ERR_UNSUPPORTED});
        if (status != 0) {
            return AttributeOutcome::end(status);
        }
        // Rows and removed objects left from before belong to no
        // transaction any more: nothing can roll them back.
        PurgeRemovedObjects(fabricKey);
        ReleaseZoningJournal(fabricKey);
        target.setShortAttr(kActive, 1);
        if (versionClass != 0) {
            openTransactions()[fabricKey] = {entry.session, versionClass};
        }
        return AttributeOutcome::next();
    }
    if (versionClass == 0) {
        return rollBackWithoutSwitchTransaction(entry, target, fabricKey);
    }
    // A switch that holds no transaction any more (it dropped it, as it
    // does when the connection that started it goes) has its defined
    // database as before the start: the local rollback still applies, and
    // the library does not stay stuck with a transaction nobody can end.
    const int status =
        onSwitch(entry, [](UDAL_ZoningAccess_Ifc& access) { access.TransactionRollback(); },
                 {kSwitchHoldsNoTransaction});
    if (status != 0) {
        return AttributeOutcome::end(status);
    }
    target.setShortAttr(kActive, 0);
    target.setShortAttr(kDirty, 0);
    openTransactions().erase(fabricKey);
    ReplayZoningJournal(fabricKey);
    ClearZoningJournal(fabricKey);
    clearActiveListing(entry, fabricKey);
    return AttributeOutcome::next();
}

// The checks a commit and a validation share, in this order: the value
// reads as a number, the flag and "ZoneTransactionActive" can be read, a
// transaction is open, and the value is 1.
int checkTransactionRequest(const AttributeEntry& entry, const char* flag) {
    unsigned short wanted = 0;
    if (!shortValue(entry.value, wanted)) {
        return kBadValue;
    }
    unsigned short current = 0;
    unsigned short open = 0;
    if (!entry.object->getShortAttr(flag, current) || !entry.object->getShortAttr(kActive, open)) {
        return kNotReadable;
    }
    if (open != 1) {
        return kNoTransaction;
    }
    return wanted == 1 ? 0 : kBadValue;
}

// --- "ZoneTransactionCommit", "CommitZoneTransaction" --------------------------

AttributeOutcome commit(AttributeEntry& entry) {
    if (const int refused = checkTransactionRequest(entry, kCommit); refused != 0) {
        return AttributeOutcome::end(refused);
    }
    StoredObject& target = *entry.object;
    const std::string fabricKey = firstRelation(target, "setParent");
    if (fabricKey.empty()) {
        return AttributeOutcome::end(kNotReadable);
    }
    const int status =
        onSwitch(entry, [](UDAL_ZoningAccess_Ifc& access) { access.TransactionCommit(); });
    if (status != 0) {
        return AttributeOutcome::end(status); // still open: the caller may roll back
    }
    target.setShortAttr(kCommit, 0);
    endKeepingChanges(target, fabricKey);
    clearActiveListing(entry, fabricKey);
    return AttributeOutcome::next();
}

// --- "ZoneTransactionValidate", "ValidateZoneTransaction" ----------------------

AttributeOutcome validate(AttributeEntry& entry) {
    if (const int refused = checkTransactionRequest(entry, kValidate); refused != 0) {
        return AttributeOutcome::end(refused);
    }
    StoredObject& target = *entry.object;
    ZoningTextRecord* raw = nullptr;
    const int status =
        onSwitch(entry, [&](UDAL_ZoningAccess_Ifc& access) { raw = access.DefinedDbValidate(); },
                 {ZONING_ERR_UNSUPPORTED});
    const std::unique_ptr<ZoningTextRecord> result(raw);
    if (status != 0) {
        return AttributeOutcome::end(status);
    }
    if (result == nullptr) {
        return AttributeOutcome::next();
    }
    const auto invalid = reinterpret_cast<std::intptr_t>(result->data);
    const auto text = [](const char* value) { return std::string(value != nullptr ? value : ""); };
    if (invalid == 1) {
        target.setShortAttr("ValidationError", 1);
        target.setStringAttr("ValidationZoneSetName", text(result->text1));
        target.setStringAttr("ValidationZoneName", text(result->text2));
        target.setStringAttr("ValidationZoneMemberName", text(result->text3));
    } else if (invalid == 0) {
        target.setShortAttr("ValidationError", 0);
        target.setStringAttr("ValidationZoneSetName", "");
        target.setStringAttr("ValidationZoneName", "");
        target.setStringAttr("ValidationZoneMemberName", "");
    }
    return AttributeOutcome::next();
}

// --- "ZoneMemberTargetTyping", "ZoningRefresh" ---------------------------------

AttributeOutcome storeFlag(AttributeEntry& entry) {
    unsigned short wanted = 0;
    if (!shortValue(entry.value, wanted)) {
        return AttributeOutcome::end(kBadValue);
    }
    if (wanted > 1) {
        return AttributeOutcome::record(kBadValue);
    }
    entry.object->setShortAttr(entry.code == code::MemberTargetTyping ? "ZoneMemberTargetTyping"
                                                                      : "ZoningRefresh",
                               wanted);
    return AttributeOutcome::next();
}

// --- "DefaultZoningBehavior" ---------------------------------------------------

AttributeOutcome defaultZoning(AttributeEntry& entry) {
    const auto wanted = reinterpret_cast<std::intptr_t>(entry.value);
    if (wanted != 0 && wanted != 1) {
        return AttributeOutcome::end(kBadValue);
    }
    int status =
        AddZoningAttributes(entry.session, versionClassOf(entry), static_cast<int>(wanted));
    if (status != 0) {
        status = MapApiError(status);
        if (status == FABAPI_ERR_REQUEST_FAILED) {
            status = kDefaultZoningRefused;
        }
    }
    return status != 0 ? AttributeOutcome::record(status) : AttributeOutcome::next();
}

// --- "ActivateZoneSet", "ActiveZoneSet" ----------------------------------------

AttributeOutcome activate(AttributeEntry& entry, StoredObject& zoneSet) {
    std::string name;
    if (!zoneSet.getStringAttr("ZoneSetName", name)) {
        return AttributeOutcome::end(kNotReadable);
    }
    if (firstRelation(zoneSet, "setParent").empty()) {
        return AttributeOutcome::end(kNotReadable);
    }
    StoredObject* database = parentObject(zoneSet);
    if (database == nullptr) {
        return AttributeOutcome::end(kWrongDatabase);
    }
    StoredObject* capabilities = parentObject(*database);
    if (capabilities == nullptr) {
        return AttributeOutcome::end(kNoCapabilities);
    }
    const int status = onSwitch(
        entry, [&](UDAL_ZoningAccess_Ifc& access) { access.ZoneSetActivate(name.c_str()); });
    if (status != 0) {
        return AttributeOutcome::end(status);
    }
    // One active zone set: the one marked before loses its mark.
    for (const std::string& oid : listValues(*database, "setZoneSet")) {
        StoredObject* other = findObjectUnlocked(oid);
        unsigned short marked = 0;
        if (other != nullptr && other->getShortAttr("ActivateZoneSet", marked) && marked == 1) {
            other->setShortAttr("ActivateZoneSet", 0);
            break;
        }
    }
    zoneSet.setShortAttr("ActivateZoneSet", 1);
    DiscardActiveZoningCache(firstRelation(*capabilities, "setActiveZoneDB"));
    // The switch commits an open transaction with the activation.
    const std::string fabricKey = firstRelation(*capabilities, "setParent");
    endKeepingChanges(*capabilities, fabricKey);
    clearActiveListing(entry, fabricKey);
    return AttributeOutcome::next();
}

AttributeOutcome deactivate(AttributeEntry& entry, StoredObject& zoneSet) {
    unsigned short marked = 0;
    zoneSet.getShortAttr("ActivateZoneSet", marked);
    if (marked != 1) {
        return AttributeOutcome::end(kNotZoneSet);
    }
    if (firstRelation(zoneSet, "setParent").empty()) {
        return AttributeOutcome::end(kNotZoneSet);
    }
    StoredObject* database = parentObject(zoneSet);
    if (database == nullptr) {
        return AttributeOutcome::end(kWrongDatabase);
    }
    StoredObject* capabilities = parentObject(*database);
    if (capabilities == nullptr) {
        return AttributeOutcome::end(kNoCapabilities);
    }
    int status = onSwitch(entry, [](UDAL_ZoningAccess_Ifc& access) { access.ZoneSetDeactivate(); });
    if (status != 0) {
        return AttributeOutcome::end(status);
    }
    zoneSet.setShortAttr("ActivateZoneSet", 0);
    DiscardActiveZoningCache(firstRelation(*capabilities, "setActiveZoneDB"));
    const std::string fabricKey = firstRelation(*capabilities, "setParent");
    clearActiveListing(entry, fabricKey);
    // The deactivation ends the transaction as a commit does.
    if (status = commitIfOpen(entry, fabricKey); status != 0) {
        return AttributeOutcome::end(status); // still open: the caller may roll back
    }
    endKeepingChanges(*capabilities, fabricKey);
    return AttributeOutcome::next();
}

AttributeOutcome activateOrDeactivate(AttributeEntry& entry) {
    unsigned short wanted = 0;
    if (!shortValue(entry.value, wanted)) {
        return AttributeOutcome::end(kBadValue);
    }
    if (entry.objType != ObjectType::ZoneConfig) {
        return AttributeOutcome::end(kNotZoneSet);
    }
    unsigned short marked = 0;
    if (!entry.object->getShortAttr("ActivateZoneSet", marked)) {
        return AttributeOutcome::end(kNotReadable);
    }
    if (wanted > 1) {
        return AttributeOutcome::end(kBadValue);
    }
    return wanted == 1 ? activate(entry, *entry.object) : deactivate(entry, *entry.object);
}

// --- "DeactivateActiveZoneDb" --------------------------------------------------

// The name of the active zone set as the switch lists it (the last name of
// the listing); empty when none is active. 0 or the listing's code.
int activeZoneSetName(const AttributeEntry& entry, std::string& name) {
    name.clear();
    return onSwitch(entry,
                    [&](UDAL_ZoningAccess_Ifc& access) {
                        std::vector<char*>* names =
                            access.GetZoningObjectNames(ZONING_TYPE_ZONE_SET, 1);
                        if (names != nullptr && !names->empty() && names->back() != nullptr) {
                            name = names->back();
                        }
                        access.ZoningObjectNameVectorDelete(&names);
                    },
                    {ZONING_ERR_NO_REPLY, ZONING_ERR_NOTHING_FOUND, ZONING_ERR_SWITCH_STATUS});
}

// The checks the two database requests share, in this order: the value
// reads as a number, the object is the database the request is for, and
// the value is 1.
int checkDatabaseRequest(const AttributeEntry& entry, unsigned short databaseType) {
    unsigned short wanted = 0;
    if (!shortValue(entry.value, wanted)) {
        return kBadValue;
    }
    if (entry.objType != databaseType) {
        return kWrongDatabase;
    }
    return wanted == 1 ? 0 : kBadValue;
}

AttributeOutcome deactivateActiveDatabase(AttributeEntry& entry) {
    if (const int refused = checkDatabaseRequest(entry, ObjectType::ActiveZoneDB); refused != 0) {
        return AttributeOutcome::end(refused);
    }
    StoredObject& activeDatabase = *entry.object;
    StoredObject* capabilities = parentObject(activeDatabase);
    if (capabilities == nullptr) {
        return AttributeOutcome::end(kWrongDatabase);
    }
    const std::string activeOid = firstRelation(*capabilities, "setActiveZoneDB");
    if (activeOid.empty()) {
        return AttributeOutcome::end(kNotReadable);
    }
    const std::string fullOid = firstRelation(*capabilities, "setFullZoneDB");
    if (fullOid.empty()) {
        return AttributeOutcome::end(kNoCapabilities);
    }
    if (findObjectUnlocked(fullOid) == nullptr) {
        return AttributeOutcome::end(kWrongDatabase);
    }
    std::string wasActive;
    if (const int status = activeZoneSetName(entry, wasActive); status != 0) {
        return AttributeOutcome::end(status);
    }
    int status = onSwitch(entry, [](UDAL_ZoningAccess_Ifc& access) { access.ZoneSetDeactivate(); });
    if (status != 0) {
        return AttributeOutcome::end(status);
    }
    activeDatabase.setShortAttr("DeactivateActiveZoneDb", 0);
    const std::string fabricKey = firstRelation(*capabilities, "setParent");
    clearActiveListing(entry, fabricKey);
    // The deactivation ends the transaction as a commit does.
    if (status = commitIfOpen(entry, fabricKey); status != 0) {
        return AttributeOutcome::end(status);
    }
    endKeepingChanges(*capabilities, fabricKey);
    DiscardActiveZoningCache(activeOid);
    // The defined database is read again: a rolled-back or committed
    // transaction may have changed it on the switch.
    StoredObject* fullDatabase = findObjectUnlocked(fullOid);
    if (fullDatabase == nullptr) {
        return AttributeOutcome::end(kWrongDatabase);
    }
    {
        LockGuard device(getSwitchRequestMutex());
        if (const int loaded = LoadFullZoningDb(fullDatabase, fullOid); loaded != 0) {
            return AttributeOutcome::end(loaded);
        }
    }
    const auto* names = FindZoningCacheTable<ZoningNameTable>(fabricKey, zoning_table::FullNames);
    if (names == nullptr) {
        return AttributeOutcome::end(kNotReadable);
    }
    if (!wasActive.empty()) {
        if (const auto found = names->find(wasActive); found != names->end()) {
            if (StoredObject* zoneSet = findObjectUnlocked(found->second)) {
                zoneSet->setShortAttr("ActivateZoneSet", 0);
            }
        }
    }
    return AttributeOutcome::next();
}

// --- "ClearFullZoneDb" ---------------------------------------------------------

// Journals the string list `name` of the database so that a replay, newest
// row first, appends its values back in their order.
void journalList(const std::string& fabricKey, const std::string& databaseOid,
                 const StoredObject& database, const char* name) {
    const std::vector<std::string> values = listValues(database, name);
    for (auto value = values.rbegin(); value != values.rend(); ++value) {
        AddZoningJournalRecord(fabricKey, zoning_verb::AddToList, databaseOid, name, *value);
    }
}

// Moves every member map of `table` into an "...ADDMAP" row and enters the
// members that go with their owner (those of `memberTypes`; every member
// when empty) in the removal set; the table is left empty.
void journalMemberTable(const std::string& fabricKey, ZoningMemberTable& table, const char* verb,
                        ObjectTypes memberTypes) {
    for (auto& [name, members] : table) {
        if (members != nullptr) {
            for (const auto& [member, oid] : *members) {
                StoredObject* object = findObjectUnlocked(oid);
                if (object == nullptr) {
                    continue;
                }
                bool removed = memberTypes.empty();
                const unsigned short type = storedObjectType(*object);
                for (const unsigned short memberType : memberTypes) {
                    removed = removed || type == memberType;
                }
                if (removed) {
                    RecordRemovedObject(fabricKey, oid);
                }
            }
        }
        AddZoningJournalRecord(fabricKey, verb, "", name, "", std::move(members));
    }
    table.clear();
}

// Members that the owner lists but its member map may not name yet (the
// map is filled when the owner is read): they go with their owner as well,
// so that a commit leaves none behind.
void recordRemovedMembers(const std::string& fabricKey, const StoredObject& owner) {
    const unsigned short ownerType = storedObjectType(owner);
    for (const std::string& oid : listValues(owner, "setMember")) {
        const StoredObject* member = findObjectUnlocked(oid);
        if (member == nullptr) {
            continue;
        }
        const unsigned short type = storedObjectType(*member);
        const bool undefined = type == kUndefinedObjectTypes[0];
        const bool goes =
            ownerType == ObjectType::ZoneAlias ||
            (ownerType == ObjectType::Zone && (type == ObjectType::ZoneMember || undefined)) ||
            (ownerType == ObjectType::ZoneConfig && undefined);
        if (goes) {
            RecordRemovedObject(fabricKey, oid);
        }
    }
}

AttributeOutcome clearDefinedDatabase(AttributeEntry& entry) {
    if (const int refused = checkDatabaseRequest(entry, ObjectType::FullZoneDB); refused != 0) {
        return AttributeOutcome::end(refused);
    }
    StoredObject& database = *entry.object;
    StoredObject* capabilities = parentObject(database);
    unsigned short open = 0;
    if (capabilities == nullptr || !capabilities->getShortAttr(kActive, open)) {
        return AttributeOutcome::end(kNoCapabilities);
    }
    if (open != 1) {
        return AttributeOutcome::end(kNoTransaction);
    }
    const std::string fabricKey = firstRelation(*capabilities, "setParent");
    if (fabricKey.empty()) {
        return AttributeOutcome::end(kNoCapabilities);
    }
    using namespace zoning_table;
    auto* names = FindZoningCacheTable<ZoningNameTable>(fabricKey, FullNames);
    auto* zones = FindZoningCacheTable<ZoningMemberTable>(fabricKey, FullZones);
    auto* aliases = FindZoningCacheTable<ZoningMemberTable>(fabricKey, FullAliases);
    auto* zoneSets = FindZoningCacheTable<ZoningMemberTable>(fabricKey, FullZoneSets);
    if (names == nullptr || zones == nullptr || aliases == nullptr || zoneSets == nullptr) {
        return AttributeOutcome::end(kNotReadable);
    }
    const int status =
        onSwitch(entry, [](UDAL_ZoningAccess_Ifc& access) { access.DefinedDbClear(); });
    if (status != 0) {
        return AttributeOutcome::end(status);
    }
    database.setShortAttr("ClearFullZoneDb", 0);

    // Every entry removed is journaled, children included, so that a
    // rollback restores the whole database.
    const std::string databaseOid = entry.oid;
    for (const char* list : {"setZone", "setZoneAlias", "setZoneSet"}) {
        journalList(fabricKey, databaseOid, database, list);
    }
    journalMemberTable(fabricKey, *zones, zoning_verb::ZoneAddMap, kMemberObjectTypes);
    journalMemberTable(fabricKey, *aliases, zoning_verb::AliasAddMap, ObjectTypes());
    journalMemberTable(fabricKey, *zoneSets, zoning_verb::ZoneSetAddMap, kUndefinedObjectTypes);
    for (const auto& [name, oid] : *names) {
        AddZoningJournalRecord(fabricKey, zoning_verb::FullNameAdd, "", name, oid);
        RecordRemovedObject(fabricKey, oid);
        if (StoredObject* object = findObjectUnlocked(oid)) {
            recordRemovedMembers(fabricKey, *object);
        }
    }
    names->clear();
    for (const char* list : {"setZone", "setZoneAlias", "setZoneSet"}) {
        database.clearList(list);
    }
    capabilities->setShortAttr(kDirty, 1);
    return AttributeOutcome::next();
}

// Session close: the rollback of an open switch transaction, then the
// hooks installed before.
class ClosingTransactionHooks : public ZoningCacheHooks {
public:
    void createFabricTables(const std::string& fabricOid) override {
        inner().createFabricTables(fabricOid);
    }
    void discardActiveZoningCache(const std::string& databaseOid) override {
        inner().discardActiveZoningCache(databaseOid);
    }
    void discardFullZoningCache(const std::string& databaseOid) override {
        inner().discardFullZoningCache(databaseOid);
    }
    void releaseFabricTables(const std::string& fabricOid) override {
        rollBackTransactionAtClose(fabricOid);
        inner().releaseFabricTables(fabricOid);
    }
    void queryWalkBegins() override { inner().queryWalkBegins(); }
    void queryWalkEnds() override { inner().queryWalkEnds(); }

    ZoningCacheHooks* innerHooks = nullptr;

private:
    ZoningCacheHooks& inner() {
        static ZoningCacheHooks none;
        return innerHooks != nullptr ? *innerHooks : none;
    }
};

} // namespace

StoredObject* zoningCapabilitiesAbove(StoredObject* object) {
    for (int depth = 0; object != nullptr && depth < 4; ++depth) {
        if (storedObjectType(*object) == ObjectType::ZoningCapabilities) {
            return object;
        }
        object = parentObject(*object);
    }
    return nullptr;
}

int requireOpenZoneTransaction(StoredObject* capabilities, std::string& fabricKey) {
    unsigned short open = 0;
    if (capabilities == nullptr || !capabilities->getShortAttr(kActive, open)) {
        return kNoCapabilities;
    }
    if (open != 1) {
        return kNoTransaction;
    }
    fabricKey = firstRelation(*capabilities, "setParent");
    return fabricKey.empty() ? kNoCapabilities : 0;
}

bool zoneTransactionOpen(const StoredObject& capabilities) {
    unsigned short open = 0;
    return capabilities.getShortAttr(kActive, open) && open == 1;
}

void markZoneTransactionDirty(StoredObject* capabilities) {
    if (capabilities != nullptr) {
        capabilities->setShortAttr(kDirty, 1);
    }
}

bool switchTransactionOpen(const std::string& fabricKey) {
    return openTransactions().contains(fabricKey);
}

void rollBackTransactionAtClose(const std::string& fabricKey) {
    const auto found = openTransactions().find(fabricKey);
    if (found == openTransactions().end()) {
        return;
    }
    const OpenTransaction open = found->second;
    openTransactions().erase(found);
    onSwitch(open.session, open.versionClass,
             [](UDAL_ZoningAccess_Ifc& access) { access.TransactionRollback(); });
}

void endZoneTransactionKeepingChanges(StoredObject& capabilities, const std::string& fabricKey) {
    endKeepingChanges(capabilities, fabricKey);
}

void installZoningTransaction() {
    const AttributeHandlerRow rows[] = {{startOrRollBack},
                                        {commit},
                                        {commit},
                                        {validate},
                                        {validate},
                                        {storeFlag},
                                        {storeFlag},
                                        {activateOrDeactivate},
                                        {activateOrDeactivate},
                                        {deactivateActiveDatabase},
                                        {clearDefinedDatabase},
                                        {defaultZoning}};
    const unsigned codes[] = {
        code::TransactionActive,      code::TransactionCommit,   code::CommitTransaction,
        code::TransactionValidate,    code::ValidateTransaction, code::MemberTargetTyping,
        code::ZoningRefresh,          code::ActivateZoneSet,     code::ActiveZoneSet,
        code::DeactivateActiveZoneDb, code::ClearFullZoneDb,     code::DefaultZoningBehavior};
    static_assert(std::size(rows) == std::size(codes));
    for (std::size_t i = 0; i < std::size(codes); ++i) {
        registerAttributeHandler(codes[i], rows[i]);
    }
    static ClosingTransactionHooks hooks;
    ZoningCacheHooks* previous = installZoningCacheHooks(&hooks);
    if (previous != &hooks) {
        hooks.innerHooks = previous;
    }
}
