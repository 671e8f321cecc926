#include "zoning/ActiveZoneDB.h"

#include <memory>
#include <new>
#include <optional>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "objects/gorlib.h"
#include "zoning/ActiveZoningDbCache.h"
#include "zoning/ZoneSetRefresh.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCacheDiscard.h"
#include "zoning/ZoningCodes.h"
#include "zoning/ZoningMemberRefresh.h"
#include "zoning/ZoningObjectCreators.h"
#include "zoning/ZoningObjectRecords.h"
#include "zoning/ZoningResultVector.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

using namespace zoning_table;

constexpr int kMissing = -28;
constexpr int kNoCapabilities = -29;
constexpr int kNoTable = -17;
constexpr int kNoMemory = -2;

// The codes with which a level says that no zone set is active.
bool meansNothingActive(int code) {
    return code == ZONING_ERR_NOTHING_FOUND || code == ZONING_ERR_NOT_ACTIVE ||
           code == ZONING_ERR_NO_ACTIVE_CONFIG;
}

// The active zone set and the zones it lists, copied out of a listing.
struct ActiveZoneSet {
    std::string name;
    std::vector<std::pair<std::string, int>> zones; // name, member kind
};

// The first zone set record of the listing with a name and members.
std::optional<ActiveZoneSet> activeZoneSet(const std::vector<ZoningObjectEntry*>& listing) {
    for (const ZoningObjectEntry* entry : listing) {
        if (entry == nullptr || entry->type != ZONING_TYPE_ZONE_SET) {
            continue;
        }
        if (entry->name == nullptr || entry->name[0] == '\0' || entry->members == nullptr) {
            return std::nullopt;
        }
        ActiveZoneSet set{entry->name, {}};
        for (const ZoningNameEntry* zone : *entry->members) {
            if (zone != nullptr && zone->name != nullptr) {
                set.zones.emplace_back(zone->name, zone->type);
            }
        }
        return set;
    }
    return std::nullopt;
}

// Reads the active listing: while a transaction is open from the
// transaction's copy, read and kept when there is none. 0 with the active
// zone set, or none when nothing is active; else a status.
int readActive(const std::string& fabricKey, int versionClass, SessionContext* session,
               bool inTransaction, std::optional<ActiveZoneSet>& active) {
    const std::unique_ptr<UDAL_ZoningAccess_Ifc> access(getZoningAccess(versionClass, session));
    if (access == nullptr) {
        return kNoMemory;
    }
    std::vector<ZoningObjectEntry*>* listing = nullptr;
    try {
        listing = ReadActiveZoningListing(fabricKey, *access, inTransaction, true);
    } catch (const UDAL_ZoningException& e) {
        return meansNothingActive(e.getCode()) ? 0 : MapZoningError(e.getCode());
    }
    const ZoningResultVector<ZoningObjectEntry*> owned(*access, listing);
    active = activeZoneSet(*owned);
    return 0;
}

// Marks the defined zone sets for a change of the active zone set from
// `oldName` to `newName`.
void markActiveZoneSet(StoredObject& active, const StoredObject& defined,
                       const std::string& oldName, const std::string& newName) {
    if (oldName == newName) {
        return;
    }
    for (const std::string& oid : listValues(defined, "setZoneSet")) {
        StoredObject* zoneSet = findObjectUnlocked(oid);
        std::string name;
        if (zoneSet == nullptr || !zoneSet->getStringAttr("ZoneSetName", name)) {
            continue;
        }
        if (oldName.empty()) {
            zoneSet->setShortAttr("ActivateZoneSet", name == newName ? 1 : 0);
        } else if (name == oldName) {
            zoneSet->setShortAttr("ActivateZoneSet", 0);
            break;
        }
    }
    if (!oldName.empty()) {
        std::string oid;
        active.getStringAttr("OID", oid);
        DiscardActiveZoningCache(oid);
    }
}

} // namespace

int ActiveZoneDB::BuildObject(const OID_t oid, void** record) try {
    const ZoningTrace trace("BuildObject(ActiveZoneDB)", "ZoningFunctions");
    const std::string oidText(oidFieldText(oid));
    trace.enter("ActiveZoneDBOid=" + oidText);
    StoredObject* active = findObjectByOid(oid);
    if (active == nullptr) {
        return kMissing;
    }
    void* handle = nullptr;
    if (const int status = GetFabricHandleOfObject(active, handle); status != 0) {
        return status;
    }
    const std::string capabilitiesOid = firstRelation(*active, "setParent");
    if (capabilitiesOid.empty()) {
        return kMissing;
    }
    StoredObject* capabilities = findObjectUnlocked(capabilitiesOid);
    if (capabilities == nullptr) {
        return kNoCapabilities;
    }
    const std::string fabricKey = firstRelation(*capabilities, "setParent");
    const std::string definedOid = firstRelation(*capabilities, "setFullZoneDB");
    if (fabricKey.empty() || definedOid.empty()) {
        return kNoCapabilities;
    }
    StoredObject* defined = findObjectUnlocked(definedOid);
    if (defined == nullptr) {
        return kMissing;
    }
    if (FindZoningCacheTable<ZoningNameTable>(fabricKey, ActiveNames) == nullptr) {
        return kNoTable;
    }
    if (const int status = RefreshZoneSets(defined, definedOid); status != 0) {
        return status;
    }
    unsigned short transaction = 0;
    capabilities->getShortAttr("ZoneTransactionActive", transaction);
    std::optional<ActiveZoneSet> read;
    if (const int status = readActive(fabricKey, GetProxySwitchVersionClass(fabricKey),
                                      static_cast<SessionContext*>(handle), transaction == 1, read);
        status != 0) {
        return status;
    }
    std::string oldName;
    active->getStringAttr("ZoneSetName", oldName);
    if (!read) {
        // Nothing active: the zone set that was is no longer marked active,
        // and the active database holds no zones any more.
        markActiveZoneSet(*active, *defined, oldName, "");
        DiscardActiveZoningCache(oidText);
        return kMissing;
    }
    markActiveZoneSet(*active, *defined, oldName, read->name);
    active->setStringAttr("ZoneSetName", read->name);

    active->clearList("setMember");
    for (const auto& [zone, kind] : read->zones) {
        // Looked up afresh: a discard above emptied the table.
        const ZoningNameTable* names =
            FindZoningCacheTable<ZoningNameTable>(fabricKey, ActiveNames);
        const auto known = names != nullptr ? names->find(zone) : ZoningNameTable::const_iterator{};
        if (names != nullptr && known != names->end()) {
            active->appendListValue("setMember", known->second);
        } else {
            CreateZoneObject(active, zone, static_cast<unsigned short>(MapZoneMemberKind(kind)));
        }
    }
    PruneZoningMembers(fabricKey, ActiveNames, "", *active);
    if (const int status = RefreshZoningMembers(fabricKey, ActiveNames, "", *active); status != 0) {
        return status;
    }

    const std::vector<std::string> members = listValues(*active, "setMember");
    const std::size_t size =
        sizeof(ActiveZoneDBRecord) + read->name.size() + 1 + oidListRoom(members.size());
    auto* out = static_cast<ActiveZoneDBRecord*>(falAllocObject(size));
    if (out == nullptr) {
        return kNoMemory;
    }
    out->ObjType = ObjectType::ActiveZoneDB;
    CopyName48(out->OID, oidText.c_str());
    char* tail = reinterpret_cast<char*>(out + 1);
    out->pcActiveZoneSetName = writeZoningText(tail, read->name);
    unsigned short deactivate = 0;
    active->getShortAttr("DeactivateActiveZoneDb", deactivate);
    out->deactivateActiveZoneDb = deactivate;
    out->pcMemberOids = writeZoningOidList(tail, members);
    *record = out;
    trace.exit();
    return 0;
} catch (const std::bad_alloc&) {
    return kNoMemory;
}
