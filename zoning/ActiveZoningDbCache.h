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
