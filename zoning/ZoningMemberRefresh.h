// Bringing one cached member map in line with the "setMember" list of the
// object that owns it (a zone, alias or zone set of the defined database,
// or the active database for "AZDB"). The caller holds the object-model
// lock.
#pragma once

#include <string>

#include "api/StoredObject.h"

// Destroys the stored objects that the cached entry names but the owner's
// "setMember" no longer lists: for "AZDB" the zones of the whole table,
// each with the zone members it owns (its "AZDBZ" entry goes too); for
// "FZDBZ", "FZDBZALIAS" and "AZDBZ" the zone members and undefined objects
// of the entry `key`; for "FZDBZSET" its undefined objects. An object that
// the fabric's open transaction still names goes into the removal set
// instead. The table itself is left for RefreshZoningMembers.
void PruneZoningMembers(const std::string& fabricKey, const std::string& tableName,
                        const std::string& key, const StoredObject& owner);
// Rebuilds the cached entry from the owner's "setMember": for "AZDB" the
// whole table as "ZoneName" -> identifier; for the member tables the entry
// `key` as member name -> identifier ("MemberName" of zone members and
// "UndefinedObjName" of undefined objects for "FZDBZ", "MemberName" for
// "FZDBZALIAS" and "AZDBZ", "UndefinedObjName" of undefined objects for
// "FZDBZSET"). Of two members of one name the first listed wins. 0; -2 when
// memory runs out; -17 when the fabric has no such table.
int RefreshZoningMembers(const std::string& fabricKey, const std::string& tableName,
                         const std::string& key, const StoredObject& owner);
