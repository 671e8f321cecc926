#include <memory>
#include <new>

#include <orvane/records.h>
#include <orvane/status.h>

#include "api/ObjectStore.h"
#include "editing/ZoneCreation.h"
#include "editing/ZoningTransaction.h"
#include "foundation/APIException.h"
#include "foundation/StatusTranslation.h"
#include "objects/ObjectTypes.h"
#include "zoning/ActiveZoningDbCache.h"
#include "zoning/UDAL_ZoningException.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCacheDiscard.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningJournal.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

using namespace zoning_creation;

constexpr int kBadArgument = FABAPI_ERR_BAD_ARGUMENT;
// The switch's code for an activation it completed with a remark: the zone
// set is active, and the caller hears -88.
constexpr int kActivatedWithRemark = 19;
constexpr int kActivatedWithRemarkStatus = -88;

// Checks a member zone and gives its name: 0, -3 or the fabric check's code.
int checkMemberZone(const Context& context, const std::string& oid, std::string& name) {
    const StoredObject* zone = findObjectUnlocked(oid);
    if (zone == nullptr || storedObjectType(*zone) != ObjectType::Zone ||
        !zone->getStringAttr("ZoneName", name) || name.empty()) {
        return kBadArgument;
    }
    return checkMemberFabric(oid, context);
}

// ZoneSetActivate(name) on a fresh access object: 0, the switch's
// exception code in `thrown` with its public code, or -2.
int activateOnSwitch(const Context& context, SessionContext* fabricHandle, const std::string& name,
                     int& thrown) {
    thrown = 0;
    try {
        std::unique_ptr<UDAL_ZoningAccess_Ifc> access(
            getZoningAccess(context.versionClass, fabricHandle));
        if (access == nullptr) {
            return FABAPI_ERR_OUT_OF_MEMORY;
        }
        access->ZoneSetActivate(name.c_str());
    } catch (const UDAL_ZoningException& failure) {
        thrown = failure.getCode();
        return MapZoningError(thrown);
    } catch (const APIException& failure) {
        return MapApiError(failure.getCode());
    }
    return 0;
}

// Forgets the fabric's copy of the active database listing; a failure
// leaves only a copy that the next read replaces.
void clearActiveListing(const Context& context, SessionContext* fabricHandle) {
    try {
        std::unique_ptr<UDAL_ZoningAccess_Ifc> access(
            getZoningAccess(context.versionClass, fabricHandle));
        if (access != nullptr) {
            ClearActiveZoningDbCache(context.fabricKey, access.get());
        }
    } catch (const UDAL_ZoningException&) {
    } catch (const APIException&) {
    }
}

// The activation just made: the new zone set is the one marked active, and
// the transaction, which the switch committed with it, ends locally.
void settleActivation(const Context& context, SessionContext* fabricHandle,
                      StoredObject& zoneSet) {
    for (const std::string& oid : listValues(*context.database, "setZoneSet")) {
        StoredObject* other = findObjectUnlocked(oid);
        unsigned short marked = 0;
        if (other != nullptr && other != &zoneSet && other->getShortAttr("ActivateZoneSet", marked) &&
            marked == 1) {
            other->setShortAttr("ActivateZoneSet", 0);
            break;
        }
    }
    zoneSet.setShortAttr("ActivateZoneSet", 1);
    endZoneTransactionKeepingChanges(*context.capabilities, context.fabricKey);
    clearActiveListing(context, fabricHandle);
    DiscardActiveZoningCache(firstRelation(*context.capabilities, "setActiveZoneDB"));
}

} // namespace

int createZoneSetFromInput(StoredObject* database, SessionContext* fabricHandle, const void* input,
                           char* createdOid) try {
    if (input == nullptr) {
        return kBadArgument;
    }
    const auto* record = static_cast<const ZoneSetObjectRecord*>(input);
    const ZoningTrace trace("Creating ZoneSet", "ZoningFunctions");
    std::string name;
    if (!readRecordText(record->pcZoneSetName, name)) {
        return kBadArgument;
    }
    trace.enter("InputObject:Name=" + name);
    std::vector<std::string> oids;
    if (const int status =
            readMemberList(reinterpret_cast<const char*>(record->pcMemberOids), oids);
        status != 0) {
        return status;
    }
    Context context;
    if (const int status = resolveContext(database, context); status != 0) {
        return status;
    }
    std::vector<std::string> memberNames(oids.size());
    for (std::size_t i = 0; i < oids.size(); ++i) {
        if (const int status = checkMemberZone(context, oids[i], memberNames[i]); status != 0) {
            return status;
        }
    }
    RemoveBlanks(name);
    auto* names = FindZoningCacheTable<ZoningNameTable>(context.fabricKey, zoning_table::FullNames);
    if (name.empty()) {
        return kBadArgument;
    }
    if (names == nullptr) {
        return -17;
    }
    const bool activate = record->activateZoneSet == 1;

    if (const int status =
            createOnSwitch(context, fabricHandle, name, ZONING_TYPE_ZONE_SET, memberNames);
        status != 0) {
        return status;
    }

    if (CreateZoneSetObject(database, name, 0) != 0) {
        markForRefresh(context);
        return -27;
    }
    const std::string zoneSetOid = listValues(*database, "setZoneSet").back();
    StoredObject* zoneSet = findObjectUnlocked(zoneSetOid);
    const std::string& key = context.fabricKey;
    for (const std::string& zone : oids) {
        zoneSet->appendListValue("setMember", zone);
        AddZoningJournalRecord(key, zoning_verb::DeleteFromList, shortOid(zoneSetOid), "setMember",
                               zone);
    }
    (*names)[name] = zoneSetOid;
    AddZoningJournalRecord(key, zoning_verb::FullNameDelete, "", name, zoneSetOid);
    // A read of the new zone set caches its members under its name: a
    // rollback takes that entry away with the zone set.
    AddZoningJournalRecord(key, zoning_verb::ZoneSetDelete, "", name, "");
    AddZoningJournalRecord(key, zoning_verb::DeleteFromList, shortOid(context.databaseOid),
                           "setZoneSet", shortOid(zoneSetOid));
    AddZoningJournalRecord(key, zoning_verb::Delete, shortOid(zoneSetOid), "setParent",
                           shortOid(context.databaseOid));
    context.capabilities->setShortAttr("ZoneTransactionDirty", 1);
    copyCreatedOid(zoneSetOid, createdOid);

    int result = 0;
    if (activate) {
        int thrown = 0;
        if (const int status = activateOnSwitch(context, fabricHandle, name, thrown);
            status != 0 && thrown != kActivatedWithRemark) {
            // The zone set stays, an edit of the still open transaction.
            return status;
        }
        settleActivation(context, fabricHandle, *zoneSet);
        if (thrown == kActivatedWithRemark) {
            result = kActivatedWithRemarkStatus;
        }
    }
    trace.exit("CreatedZoneSetOid=" + zoneSetOid);
    return result;
} catch (const std::bad_alloc&) {
    return FABAPI_ERR_OUT_OF_MEMORY;
}
