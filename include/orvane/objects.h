/* Releasing what the object functions hand out. */
#ifndef ORVANE_OBJECTS_H
#define ORVANE_OBJECTS_H

#include "orvane/orvane_export.h"

ORVANE_BEGIN_DECLS

/* Frees a block the library handed out (a record, a record list, a text)
 * with everything it owns. A record list is freed as the array only: free
 * each record in it with its own call. Returns 0, or -13 for a null pointer
 * or a block the library did not hand out. Works whether or not the library
 * is initialised. */
ORVANE_EXPORT int falFreeObject(const void* block);

/* The object queries. Each object is read fresh from the switches and
 * handed out as a record of orvane/records.h (its type in its first 16
 * bits); free every record, and every record list, with falFreeObject
 * (freeing a list frees the array only). A record list is an array of
 * record pointers ended by a null pointer. An object that cannot be read
 * stands in a list as an ErrorRecord (type 0xFF00) holding the identifier
 * asked for and the status; the list's code is then -221.
 *
 * Identifiers are read up to 47 characters; an identifier list is a run of
 * 48-character entries ended by an entry whose first character is NUL.
 * Every function returns -98 before the library is initialised, -216 once
 * shutdown has begun, -3 for a null pointer or an empty identifier, -2
 * when memory runs out. */

/* One object: 0; -21 when it is not known (or has no class); -86 or -14
 * when the switch stayed busy through five attempts; -56 when the switch
 * did not answer; another negative status of the fetch. */
ORVANE_EXPORT int GetSingleObject(const char* oid, void** record);
/* One record per identifier of the list, in its order: 0, or -221 when
 * some are error records (the list is handed out in both cases). */
ORVANE_EXPORT int GetObjects(const char* oidList, void*** records);
/* Every object reachable from every fabric that has a session, each
 * fabric's record followed by what it leads to: 0 or -221; -12 when the
 * library's store holds an object without a type. No session: 0 and an
 * empty list. */
ORVANE_EXPORT int GetAllObjects(void*** records);
/* The same for the fabrics named in the identifier list (an empty list
 * names none). */
ORVANE_EXPORT int GetObjectsByFabrics(const char* fabricOidList, void*** records);
/* The records of one type (1 port, 2 switch, 4 node, 5 device, 9 fabric,
 * 23 port module, -1 any) from the fabric named (an empty text: every
 * fabric with a session): 0, -221 with error records of that type, -21
 * when none was found (nothing is handed out), -3 for another type. */
ORVANE_EXPORT int GetObjectsByType(const char* fabricOid, short objType, void*** records);

ORVANE_END_DECLS

#endif
