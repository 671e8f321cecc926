// How any stored object finds its fabric and the fabric's session handle.
// Every step follows the first identifier of a relation and looks it up in
// the object store. Callers hold the object-model lock.
#pragma once

#include <string>

class StoredObject;

// Follows "setParent" from `object` until an object of type 9 (the object
// itself when it is one); null when the chain breaks.
StoredObject* fabricOfObject(StoredObject* object);
// Follows "setParent" from `object` (included) until an object of `type`;
// null when the chain breaks.
StoredObject* ancestorOfType(StoredObject* object, unsigned short type);

// The fabric of the object stored under `oid`, by the path of its type:
// switches and the fabric's own children through "setParent"; ports
// through their port module and switch, or, for the ports that a node
// attaches, through the switch port they are attached to ("setAttchPort");
// port statistics through their port; nodes through the first of their
// ports that is attached; zoning objects through their database and the
// zoning capabilities; switch hardware, policies and security statistics
// upwards to their switch or policy set. Null when a link is missing or the
// type has no path.
StoredObject* GetFabricEntryOfObject(const std::string& oid);

// The fabric's "HDL" (the session context) of `object` by the same paths:
// 0, or the code of where the walk stopped: -3 no "ObjType" (or a type
// without a path), -22 a port or port module without a "setParent", -11 a
// node without an attached port in the store, -5 the fabric above a node's
// switch is not stored, -6 a missing port module, switch, switch "WWN" or
// fabric on the switch path, -12 a fabric without "HDL", -10 a platform,
// -24 a zoning capabilities object, -28 a zoning database, zone, zone set
// or alias, -45 a licensed product, -47 a physical switch group, -51 an
// enclosure object, CP, world wide name card or blade, -17 a security
// statistics object, -13 a defined policy, each without its parent.
int GetFabricHandleOfObject(StoredObject* object, void*& handle);
