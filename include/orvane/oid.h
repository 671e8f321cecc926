/* Object identifier text: 48 characters of hexadecimal text ended by a NUL.
 * The first 4 digits are the object type, the next 16 the world wide name
 * of the object or of its owner; longer forms append an index or a second
 * name. An identifier holds at most 47 digits, so that its NUL falls within
 * the field. Lists of identifiers are consecutive 48-character entries ended
 * by an entry whose first character is NUL.
 *
 * Passing an identifier: C passes an array by its address, so a parameter
 * declared `const OID_t` receives a pointer to the caller's 48-character
 * field (pass the OID_t variable itself). The library reads at most 48
 * characters of it; an output parameter `OID_t` must point to a whole
 * 48-character field, which the library fills with a NUL-ended text. */
#ifndef ORVANE_OID_H
#define ORVANE_OID_H

#include "orvane/orvane_export.h"

typedef char OID_t[48];

ORVANE_BEGIN_DECLS

/* Writes the 20-character identifier of `type` and the 8-byte world wide
 * name `wwn` ("%04x" of the type and two lower-case digits per byte).
 * Returns 0, or -3 for a null pointer or type 0. Works whether or not the
 * library is initialised. */
ORVANE_EXPORT int WWNtoOID(const unsigned char* wwn, unsigned short type, OID_t oid);

/* Stores through `text` a 24-byte block holding the 8-byte world wide name
 * `wwn` as eight lower-case two-digit numbers joined by ':'; free it with
 * falFreeObject. Returns 0, -2 when no block can be had, or -3 for a null
 * pointer. Works whether or not the library is initialised. */
ORVANE_EXPORT int WWNtoStr(const unsigned char* wwn, char** text);

/* The identifier (type 0xFFFA, 24 characters) of ports `firstPort` to
 * `lastPort` of the switch `switchOid` (type 2). Returns 0; -3 for another
 * type, a name part that is not 16 hexadecimal digits, or ports outside
 * 0 <= firstPort <= lastPort <= 255; -98 when the library is not
 * initialised; -216 once shutdown has begun. */
ORVANE_EXPORT int EncodeSwitchPortGroupOID(const OID_t switchOid, int firstPort, int lastPort,
                                           OID_t groupOid);

/* The switch identifier (20 characters) and the ports of a switch port
 * group identifier. Returns 0; -3 unless `groupOid` is an identifier of
 * type 0xFFFA of exactly 24 hexadecimal digits; -98; -216. A failure leaves
 * the outputs untouched. */
ORVANE_EXPORT int DecodeSwitchPortGroupOID(const OID_t groupOid, OID_t switchOid, int* firstPort,
                                           int* lastPort);

/* The identifier (type 0xF000, 20 characters) of port `port` (0 to 255) of
 * domain `domain` (0 to 239). Returns 0; -3 out of range; -98; -216. */
ORVANE_EXPORT int EncodeDomainPortRef(int domain, int port, OID_t ref);

/* The domain and port of a domain and port reference. Returns 0; -3 unless
 * `ref` is an identifier of type 0xF000 of 20 to 47 hexadecimal digits;
 * -98; -216. A failure leaves the outputs untouched. */
ORVANE_EXPORT int DecodeDomainPortRef(const OID_t ref, int* domain, int* port);

ORVANE_END_DECLS

#endif
