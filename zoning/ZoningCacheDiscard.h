// Emptying a zoning database's part of the fabric's zoning cache, with the
// stored objects it names: at session close before the database object is
// destroyed, and when the switch reports no active zone set any more. The
// caller holds the object-model lock.
#pragma once

#include <string>

// For the defined zoning database object (type 24) stored under `oid`:
// destroys the zone members and undefined objects of every zone of
// "FZDBZ", the members of every alias of "FZDBZALIAS", the undefined
// objects among the zone sets' members of "FZDBZSET", and every object
// "FZDB" names, then empties those four tables and the database's
// "setMember", "setZone", "setZoneAlias" and "setZoneSet" lists. 0; -28
// when the object is not stored; -17 when its fabric key or one of the
// tables is missing. Only zoning objects are ever destroyed.
int DiscardFullZoningCache(const std::string& oid);
// For the active zoning database object (type 25): destroys every object
// "AZDB" names and the zone members and undefined objects of every zone of
// "AZDBZ", empties both tables and the database's "setMember", and sets its
// "ZoneSetName" to the empty text. 0; -30 when the object is not stored;
// -17 when its fabric key or one of the tables is missing.
int DiscardActiveZoningCache(const std::string& oid);
