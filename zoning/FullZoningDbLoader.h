// Loading a fabric's defined zoning database from its proxy switch into the
// object store and the zoning cache.
#pragma once

#include <string>

#include "api/StoredObject.h"

// Reads the defined database's zone sets, zones (of the three kinds) and
// aliases, lists them under the defined zoning database object (type 24)
// in the switch's order, reusing the stored object of every name "FZDB"
// knows and creating one for every new name (a new zone set marked active
// when it is the active one), destroys the objects of names the switch no
// longer lists with their zone members, and rebuilds "FZDB". The member
// maps are left to the builds of the objects. `databaseOid` is not read.
//
// 0; the fabric handle walk's code; -29 when the database has no stored
// parent; -17 without a fabric key or one of "FZDB", "FZDBZ" and
// "FZDBZALIAS"; -2 without an access object or memory; the mapped code of
// a failed read, which leaves the store and the cache as they were. The
// caller holds the object-model lock and the device-access lock.
//
// During a walk of the object queries (between BeginFullZoningDbWalk and
// EndFullZoningDbWalk, on the walking thread) each fabric's database is
// loaded once: every zone of the walk asks for the reload, and a later
// call finds the store as the first one left it.
int LoadFullZoningDb(StoredObject* database, const std::string& databaseOid);

void BeginFullZoningDbWalk();
void EndFullZoningDbWalk();
