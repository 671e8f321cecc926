// The per-type handlers behind CreateFabricObject and the deletion walk
// (DeleteSingleObject, DeleteObjects). Each creatable or deletable kind of
// object registers its row once at start-up; the exports look the row up
// by the object type, so the kinds live in their own files.
#pragma once

class StoredObject;
struct SessionContext;

// Creates the object that `record` describes and writes its identifier
// into the caller's 48-byte `createdOid`; returns 0 or a status.
// For the zoning types (10 zone, 11 zone set, 20 alias, 22 member) `owner`
// is the fabric's defined zoning database and the creator runs under the
// object-model lock; for the others `owner` is the fabric and the lock is
// released before the call.
using ObjectCreator = int (*)(StoredObject* owner, SessionContext* fabricHandle, const void* record,
                              char* createdOid);

struct ObjectDeleter {
    // Before the fabric handle is looked up: 0, or the walk's failure code.
    int (*check)(StoredObject* object) = nullptr;
    // Deletes the object, under the object-model lock: 0, or the walk's
    // failure code, which ends the walk.
    int (*remove)(StoredObject* object, SessionContext* fabricHandle) = nullptr;
};

void registerObjectCreator(unsigned short type, ObjectCreator creator);
// Null when no creator is registered for the type.
ObjectCreator objectCreatorFor(unsigned short type);

void registerObjectDeleter(unsigned short type, const ObjectDeleter& deleter);
// Null when no deleter is registered for the type.
const ObjectDeleter* objectDeleterFor(unsigned short type);
