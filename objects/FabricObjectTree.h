// A fabric's tree of stored objects: built when its session opens, its
// switches' subtrees rebuilt when the session is synchronised, and torn
// down when the session closes.
#pragma once

#include <string>
#include <vector>

#include "foundation/WWNAddress.h"

class StoredObject;
struct SessionContext;

// Builds the tree below the fabric's stored object: its "FabricCounter",
// "HDL" (the session context) and "setProxy" (the proxy switch), the class
// of its firmware level with its switch objects, its inter-switch links and
// its zoning cache tables (kept when it has them). Returns 0; 500 when the
// links could not be loaded; or the attach's failure untranslated. The
// caller holds the object-model lock.
int InitFabricObjectTree(SessionContext* ctx, StoredObject* fabric, const std::string& fabricOid);

// Destroys every stored object of the fabric, its zoning capabilities last
// and its zoning databases after their caches were discarded, and then the
// fabric's zoning cache tables.
void RemoveFabricObjects(const std::string& fabricOid);
// Destroys the stored object named and every object below it.
void RemoveSwitchObjects(const std::string& oid);
// RemoveSwitchObjects for each switch of the fabric's "setSwitch" (in
// identifier order), and empties the set.
void RemoveFabricSwitchObjects(const std::string& fabricOid);

// Destroys the objects that the object's "setAttchPort" (type 1),
// "setSwitch" (2) or "setHub" (3) names but `names` does not (as
// identifiers of that type), and drops them from the set.
void dropStaleLinks(StoredObject* object, unsigned short type,
                    const std::vector<WWNAddress>& names);
