/* Object identifier text: 48 characters of hexadecimal text ended by a NUL.
 * The first 4 digits are the object type, the next 16 the world wide name
 * of the object or of its owner; longer forms append an index or a second
 * name. Lists of identifiers are consecutive 48-character entries ended by
 * an entry whose first character is NUL. */
#ifndef ORVANE_OID_H
#define ORVANE_OID_H

typedef char OID_t[48];

#endif
