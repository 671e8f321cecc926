// A load or refresh of a fabric's defined zoning database from its proxy
// switch: the database's stored object, the zoning capabilities object above
// it, the fabric's key, session and zoning version class, the switch reads
// (each on a zoning access object of its own, deleted right after), and the
// steps that bring the database's lists and the fabric's "FZDB" table in
// line with what the switch listed.
//
// A read that fails changes nothing; only a listing that names nothing
// counts as empty. The caller holds the object-model lock (and for the
// reads the device-access lock).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "api/StoredObject.h"
#include "connection/clilib_session.h"
#include "zoning/UDAL_ZoningAccess_Ifc.h"
#include "zoning/ZoningCache.h"
#include "zoning/ZoningStoredObjects.h"

// One object of a defined database listing.
struct ListedZoningObject {
    std::string name;
    int type;
};
using ZoningListing = std::vector<ListedZoningObject>;

class DefinedZoningDatabase {
public:
    // Finds, in this order, the fabric handle of `database` (the code of the
    // walk when it fails), its zoning capabilities object (-29 when not
    // stored), the fabric key and the fabric's "FZDB" table (-17 when
    // either is missing), and the version class. 0 when all are found.
    int open(StoredObject* database);

    StoredObject& database() const { return *database_; }
    StoredObject& capabilities() const { return *capabilities_; }
    const std::string& fabricKey() const { return fabricKey_; }

    // 0 with the objects of zoning type `type` that the defined database
    // lists, in the switch's order, with member typing (none when the
    // switch lists none); -2 without an access object or memory; else the
    // mapped code of the failed read.
    int readObjects(int type, ZoningListing& objects) const;
    // 0 with the name of the active zone set, or none when no zone set is
    // active. While a transaction is open ("ZoneTransactionActive" 1 on the
    // zoning capabilities object) the name comes from the cached active
    // listing, read and cached (above version class 0) when there is none;
    // a switch that reports nothing active there also discards the active
    // database's cache. Otherwise it is the last name of the active zone set
    // names. -2 without an access object or memory, else the mapped code of
    // a failed read.
    int readActiveZoneSetName(std::optional<std::string>& name) const;

    // Lists in "setZoneSet" the zone sets of `listing` (its type-1 records,
    // in order): the known object of each name, or a new zone set object
    // marked active when its name is `activeName`.
    void relistZoneSets(const ZoningListing& listing, const std::optional<std::string>& activeName);
    // The same for aliases (type-3 records) in "setZoneAlias".
    void relistAliases(const ZoningListing& listing);
    // The same in "setZone" for every record of the zone listings, in
    // order; new zones get the zone type of their record's zoning type.
    void relistZones(const std::vector<const ZoningListing*>& listings);
    // Removes the objects of `types` that "FZDB" names but the database
    // lists no more; when `withMembers`, also the zone members they list,
    // and their "FZDBZ" (else "FZDBZALIAS") entries. An object the open
    // transaction still names goes into the removal set instead, and its
    // zone members with it.
    void removeUnlisted(ObjectTypes types, bool withMembers);
    // Refills "FZDB" from the zone sets, aliases and zones the database
    // lists, by their names; of two objects of one name the first wins. The
    // names of a list relisted here come from the relisting, the others
    // from the listed objects.
    void rebuildNames();

private:
    // Empties the database's `list` and lists in it, for every record of
    // `listing` of zoning type `listedType` (any for 0), the known object of
    // its name and type, or `create`s one (`create(record, oid)` returns 0
    // with the new identifier in `oid`). Each name and object placed is
    // kept for rebuildNames().
    template <class Create>
    void relist(const char* list, unsigned short objectType, const ZoningListing& listing,
                int listedType, Create&& create);
    // The known object of `name`: the stored object "FZDB" maps it to, when
    // it is of `type`, with its identifier in `oid`; null otherwise.
    const StoredObject* knownObject(const std::string& name, unsigned short type,
                                    std::string& oid) const;
    int activeNameInTransaction(UDAL_ZoningAccess_Ifc& access,
                                std::optional<std::string>& name) const;

    StoredObject* database_ = nullptr;
    StoredObject* capabilities_ = nullptr;
    std::string fabricKey_;
    SessionContext* session_ = nullptr;
    int versionClass_ = 0;
    ZoningNameTable* names_ = nullptr;
    // The names and objects each relisted list holds, in its order.
    using NamedObjects = std::vector<std::pair<std::string, std::string>>;
    std::map<std::string, NamedObjects, std::less<>> relisted_;
};
