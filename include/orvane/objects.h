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

ORVANE_END_DECLS

#endif
