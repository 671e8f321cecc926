// Bringing the defined zoning database's zone sets in line with its proxy
// switch before the active zoning database is rebuilt.
#pragma once

#include <string>

#include "api/StoredObject.h"

// Reads the defined zone sets and lists them in the defined zoning database
// object's "setZoneSet" (type 24), reusing the stored object of every name
// "FZDB" knows and creating one for every new name (marked active when it
// is the active zone set), destroys the zone set objects the switch no
// longer lists, and rebuilds "FZDB". `databaseOid` is not read.
//
// 0; the fabric handle walk's code; -29 when the database has no stored
// parent; -17 without a fabric key or "FZDB"; -2 without an access object
// or memory; the mapped code of a failed read, which leaves the store and
// the cache as they were. The caller holds the object-model lock and the
// device-access lock.
int RefreshZoneSets(StoredObject* database, const std::string& databaseOid);
