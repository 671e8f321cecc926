// The copy of the fabric's active database listing ("AZDBCACHE") that an
// open zoning transaction keeps, so that the switch is asked once per
// transaction. It lives from StoreActiveZoningDbCache to
// ClearActiveZoningDbCache. The caller holds the object-model lock.
#pragma once

#include <string>
#include <vector>

#include "zoning/UDAL_ZoningAccess_Ifc.h"

// A new list of copies of the cached records, in their order, that the
// caller frees with the access object's ZoningObjectVectorDelete; null when
// nothing is cached, memory runs out, or `access` is null.
std::vector<ZoningObjectEntry*>* GetActiveZoningDbCache(const std::string& fabricKey,
                                                        UDAL_ZoningAccess_Ifc* access);
// Caches copies of the records (in their order) in place of any cached
// before; nothing is cached for a fabric without its cache. 0; -3 for a
// null list or access object; -2 when memory runs out.
int StoreActiveZoningDbCache(const std::string& fabricKey,
                             const std::vector<ZoningObjectEntry*>* records,
                             UDAL_ZoningAccess_Ifc* access);
// Forgets the cached records. 0; -3 for a null access object.
int ClearActiveZoningDbCache(const std::string& fabricKey, UDAL_ZoningAccess_Ifc* access);

// A walk of the object queries reads each zone of the active database, and
// each reads the fabric's whole active listing: between these two calls,
// on the walking thread, the listing is read from the switch once per
// fabric and kept for the rest of the walk.
void BeginActiveListingWalk();
void EndActiveListingWalk();

// The fabric's active database listing (GetZoningObjects of every type,
// active, untyped): in an open zoning transaction the transaction's copy,
// read and, with `keepInTransaction`, kept when there is none; during a
// walk the walk's copy; else read from the switch. With `onlyName`, the
// records of other names may be left out (a walk's copy holds only those
// of that name), so that reading one zone after another does not copy the
// whole listing each time. A new list the caller frees with the access
// object's ZoningObjectVectorDelete; a failed read throws its
// UDAL_ZoningException and keeps nothing.
std::vector<ZoningObjectEntry*>* ReadActiveZoningListing(const std::string& fabricKey,
                                                         UDAL_ZoningAccess_Ifc& access,
                                                         bool inTransaction,
                                                         bool keepInTransaction,
                                                         const char* onlyName = nullptr);
