// Member edits of the zones, aliases and zone sets of a fabric's defined
// zoning database, inside the fabric's open zoning transaction: the members
// are checked, the change goes to the proxy switch, then the stored
// objects, their relations and the zoning cache follow, and the journal
// gets the rows that undo each local change at rollback. Removing the last
// member of a zone, alias or zone set takes that object out of the defined
// database too (recorded as removed: destroyed at commit, kept at
// rollback).
//
// A member list is a run of 48-byte identifier entries ended by one that
// begins with NUL. Every function runs under the object-model lock.
#pragma once

#include <string>

class StoredObject;
struct SessionContext;

// What an edit of a zone, alias or zone set works on. Empty (no database,
// no fabric key) for a target of another type: then every member fails the
// fabric check.
struct ZoningEditContext {
    StoredObject* database = nullptr;     // the defined zoning database (type 24)
    std::string databaseOid;              // its identifier
    StoredObject* capabilities = nullptr; // the zoning capabilities object (type 21)
    std::string fabricKey;                // the fabric identifier above it
};

// The context of a zone, zone set or alias: 0; -17 no parent (or, when
// removing, a parent that is not stored), -28 a parent that is not stored
// (adding), -75 a target of the active database, -17 a database without a
// parent, -29 the capabilities object not stored, -40 no open transaction
// ("ZoneTransactionActive" not 1), -17 no fabric key or a cache table
// missing.
int resolveZoningContext(StoredObject& target, bool adding, ZoningEditContext& context);

// The edited member set.
enum class ZoningMemberSet { Zone, Alias, ZoneSet };

// Adds or removes the listed members. 0, or the first failure: -71 a single
// member of a kind the set does not take, -17 / -5 a single member of no or
// of another fabric, -21 / -17 / -68 / -81 / -80 / -72 a single zone member
// not stored, without a parent, belonging elsewhere, or with a target kind
// that is refused; when removing, -3 a single member that is not in the
// set; -26 / -24 / -27 no name on the zone / alias / zone set; -3 no member
// left to send; -2 no access object or no memory; the mapped code of the
// switch's refusal (nothing local changed then). In a list of several
// entries the failing ones are left out. Members handled before a later
// failure stay changed, with their rows written.
int addZoningMembers(ZoningMemberSet set, StoredObject& target, const char* members,
                     const ZoningEditContext& context, SessionContext* handle);
int removeZoningMembers(ZoningMemberSet set, StoredObject& target, const char* members,
                        const ZoningEditContext& context, SessionContext* handle);
