// DeleteSingleObject and DeleteObjects: one deletion walk over a list of
// identifiers, each object deleted by the row editing/ObjectEditTable.h has
// for its type. Zones, zone sets and aliases are deleted on the proxy
// switch inside the open zoning transaction, with the journal rows that put
// the library's copy back on rollback; the removed objects stay stored
// until commit. Zone members of the defined database and platforms are gone
// at once.
#pragma once

// The walk under the object-model lock over consecutive 48-byte entries
// ended by one that begins with NUL: 0; -20 when a zoning capabilities
// object was listed (nothing is done for it); or the failure that ended the
// walk (what earlier entries did stays done): -17 an object, its type, its
// fabric's "fabVersion", a table or a relation not found (also for an empty
// list), -28 / -29 a zoning object without its stored parent / zoning
// capabilities, -40 no open zoning transaction, -75 an object of the
// active database, -76 a zone member of a zone or alias, -4 no fabric
// handle, -21 no name, -2 no access object or memory, or the switch's
// mapped refusal.
int Int_DeleteObjects(const char* oidList);

// Registers the deleters of zones, zone sets, aliases, zoning capabilities,
// zone members and platforms; called by installObjectCreationAndDeletion.
void installObjectDeletion();
