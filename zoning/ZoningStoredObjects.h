// What the zoning cache reads and edits of the object store: object types,
// the walk from a zoning database object to its fabric, and the removal of
// zoning objects. The caller holds the object-model lock.
#pragma once

#include <set>
#include <span>
#include <string>
#include <vector>

#include "api/StoredObject.h"
#include "zoning/ZoningCache.h"

using ObjectTypes = std::span<const unsigned short>;
// The object types of the objects that the zoning creators make: zone,
// zone set, zone alias, zone member and the undefined zoning object.
inline constexpr unsigned short kZoningObjectTypes[] = {10, 11, 20, 22, 0xFFFB};
// Zone members and undefined zoning objects.
inline constexpr unsigned short kMemberObjectTypes[] = {22, 0xFFFB};
// Zone sets, zones and aliases: the objects that "FZDB" names.
inline constexpr unsigned short kDatabaseObjectTypes[] = {10, 11, 20};
inline constexpr unsigned short kZoneTypes[] = {10};
inline constexpr unsigned short kZoneSetTypes[] = {11};
inline constexpr unsigned short kZoneMemberTypes[] = {22};
inline constexpr unsigned short kUndefinedObjectTypes[] = {0xFFFB};

// The object's "ObjType"; 0 when it has none.
unsigned short storedObjectType(const StoredObject& object);
// The type in the first four hex digits of an identifier; 0 without any.
unsigned short oidObjectType(const std::string& oid);
// The smallest identifier of the object's relation set `name`; empty when
// the set is missing or empty.
std::string firstRelation(const StoredObject& object, const std::string& name);
// The stored object of the first identifier of "setParent", or null.
StoredObject* parentObject(const StoredObject& object);
// The fabric key of a zoning database object: the first "setParent" of the
// database's parent, the zoning capabilities object. Empty when the parent
// is not stored or names no parent.
std::string fabricKeyOfDatabase(const StoredObject& database);
// The texts of the object's string list `name`, in order (none when absent).
std::vector<std::string> listValues(const StoredObject& object, const std::string& name);

// Destroys the object stored under `oid` and erases its entry when it is
// stored and of one of `types`; whether it did.
bool eraseObjectOfType(const std::string& oid, ObjectTypes types);

// Removes zoning objects from the store while the cache is brought in line
// with the switch. An object that the fabric's open transaction still names
// (a journal row, a member map a row saved, or the removal set) is not
// destroyed but entered in the removal set: a rollback can still link it
// again, and a commit destroys it.
class ZoningObjectRemoval {
public:
    explicit ZoningObjectRemoval(const std::string& fabricKey);

    // Removes the object stored under `oid` when it is of one of `types`;
    // whether it was stored and of such a type.
    bool remove(const std::string& oid, ObjectTypes types);

private:
    ZoningRemovedSet* removed_;
    std::set<std::string> journalNames_;
};
