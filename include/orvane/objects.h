/* Releasing what the object functions hand out. */
#ifndef ORVANE_OBJECTS_H
#define ORVANE_OBJECTS_H

#include "orvane/orvane_export.h"
#include "orvane/records.h"

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

/* Threshold objects (orvane/records.h). The identifier of a class and area
 * (type 0x24) or of a threshold entry (0x25) is 32 lower-case digits: the
 * type, the switch's world wide name, then class, area and index in 4
 * digits each (index 0 for a class and area). Class 0 to 6, area 0 to 23,
 * else -102; -3 for a null buffer, an empty switch identifier or one that
 * is not of a switch (type 2). */
ORVANE_EXPORT int EncodeThrexClassAreaOID(const OID_t switchOid, int thrClass, int area,
                                          OID_t oid);
ORVANE_EXPORT int DecodeThrexClassAreaOID(const OID_t oid, OID_t switchOid, int* thrClass,
                                          int* area);
ORVANE_EXPORT int EncodeThrexThresholdEntryOID(const OID_t switchOid, int thrClass, int area,
                                               int index, OID_t oid);
ORVANE_EXPORT int DecodeThrexThresholdEntryOID(const OID_t oid, OID_t switchOid, int* thrClass,
                                               int* area, int* index);
/* Sends the changed fields of a threshold entry to the switch: 0; -3 for a
 * null record or unset class, area or index; -102 for a class and area the
 * switch does not have; -21/-6 for a switch identifier not stored or not of
 * a switch; a refusal's status. Runs also while shutdown has begun. */
ORVANE_EXPORT int ThrexSetThreshold(const OID_t switchOid, ThrexThresholdEntry* entry);
/* A record of a threshold identifier's type with every field unset, to be
 * filled and given to ModifyObject; free it with falFreeObject. -17 for any
 * other type. */
ORVANE_EXPORT int GetObjectTemplate(const OID_t oid, void** record);
/* Sends the changed fields of a threshold record (type 36 or 37) to its
 * switch: 0; -17 for another type; -109 for a custom high boundary below
 * the low one; -104 for a level select other than -1, 1 and 2. */
ORVANE_EXPORT int ModifyObject(void* record);

/* Routes. The ports of the source switch that may carry traffic toward the
 * destination switch (both switch identifiers). 0; -3 for a null or equal
 * identifier, one not stored or not of a switch; -12 no session; -36 a
 * fabric of the oldest firmware level; a refusal's status. */
ORVANE_EXPORT int GetLegalRouteTableEntries(const char* sourceSwitchOid,
                                            const char* destinationSwitchOid,
                                            LegalRouteTable* list);
/* On the source switch, traffic toward the destination switch that arrives
 * on `inputPort` leaves through `outputPort`. 0; -18 when the switch
 * refuses; the other codes as above. */
ORVANE_EXPORT int SetRouteTableEntry(const char* sourceSwitchOid, int inputPort,
                                     const char* destinationSwitchOid, int outputPort);
/* Makes a route object (type 17) from one port to another, reads it once
 * and writes its identifier to `routeOid`; GetSingleObject reads it again
 * as a RouteRecord. 0; -3 for null or equal identifiers, objects not
 * stored, or a route that cannot be read. */
ORVANE_EXPORT int PortPairToRouteOID(const char* sourcePortOid, const char* destinationPortOid,
                                     OID_t routeOid);

/* Deletes the policies of the defined security policy set that `policyList`
 * names (entries up to one that begins with NUL) on the proxy switch, in
 * order, inside the fabric's open security transaction. 0; -98 not
 * initialised; -13 an entry or its policy set not stored; -34 no readable
 * transaction flag or policy name; -40 no security transaction open; -4 no
 * session; -20 not a policy of the defined set; -3 a null list; the
 * translated refusal of the switch. Entries before a failing one stay
 * deleted. */
ORVANE_EXPORT long deleteSecurityObjects(OID_t* policyList);

/* Attribute changes. One attribute code of the attribute dictionary and
 * one value, applied to each object of the identifier list in its order
 * (AddObjectAttributes: one identifier, at most 47 characters). The value's
 * meaning follows the code: mostly a pointer to a 16-bit value. The zoning
 * transaction lives on the fabric's zoning capabilities object:
 * "ZoneTransactionActive" 1 starts it (-66 when one is open), 0 rolls it
 * back (-40 when none is open; -36 at the oldest firmware level, whose
 * switch keeps every edit: the transaction closes, nothing is undone and
 * the defined database is read again from the switch);
 * "ZoneTransactionCommit" 1 commits it; activating or deactivating
 * a zone set ends it as a commit does. Returns 0, the last failure of an
 * entry, or the code that ended the call (entries before it stay changed);
 * -98 not initialised, -216 shutting down, -3 a null list, a bad value, a
 * code without a handler or no fabric level for the first identifier, -17
 * an entry not stored or without the attribute, -34 a code refused at the
 * fabric's level. */
ORVANE_EXPORT int AddAttributes(const char* targetOids, unsigned attributeCode, void* value);
ORVANE_EXPORT int AddObjectAttributes(const char* targetOid, unsigned attributeCode, void* value);

/* Creation and deletion of fabric objects. CreateFabricObject creates the
 * object its record describes (an unsigned 16-bit object type, the 48-byte
 * identifier, then the type's own fields) under the fabric and writes the
 * new identifier into the caller's 48-byte buffer: zones (10), zone sets
 * (11), zone aliases (20) and zone members (22) in the fabric's defined
 * zoning database, inside its zoning transaction (members also without
 * one); platforms (15), switch groups (35) and defined security policies
 * (49) on the switch. Returns 0, or:
 *   -98 not initialised, -216 shutting down, -2 out of memory;
 *   -3  a null argument, a type that cannot be created, a record the type
 *       does not take (no or empty member list, a member missing or of a
 *       kind not allowed, a zone type outside 1 to 4, a switch group
 *       member that is not a switch, a policy name not recognised);
 *   -12 the fabric identifier is not stored (FABAPI_ERR_NO_SESSION);
 *   -5  the fabric lacks its session handle or world wide name; a member
 *       of another fabric;
 *   -29 no zoning capabilities object; -28 no defined zoning database;
 *   -40 no zoning transaction open; -17 a member's fabric, a cache table or
 *       the new identifier cannot be read;
 *   -13 the switch already holds an object of the name
 *       (FABAPI_ERR_DUPLICATE_NAME); defined policy: missing fabric data,
 *       security objects or name (FABAPI_ERR_NOT_STORED);
 *   -207 a name longer than 64 characters;
 *   -24, -26, -27 the alias, zone or zone set could not be made;
 *   -25 a member not ready, or of a target kind the alias does not take;
 *   -68 a zone member already inside a zone or alias; -81 zone type 2 with
 *       a member whose target is not a domain and port; -208 a member
 *       without its target, or a zone target not of zone type 2;
 *   -82 a member modifier present for member type 0 or 3 or missing for 1
 *       or 2; -72 a port target that is not an F or FL port; -71 a zone
 *       target with a member type other than 2; -80 a zone target not
 *       stored;
 *   -88 the zone set was made and activated, with a remark of the switch;
 *   another zoning refusal of the switch (-36, -52, -53, -55, -56, -57,
 *   -59, -60, -66, -74, -85, -220, -1000); platforms: -34, -36, -215,
 *   -1507; switch groups: -47; a translated request failure.
 *
 * DeleteObjects deletes the objects of a list of 48-byte identifier entries
 * ended by an entry that begins with NUL, in order, and stops at the first
 * failure (entries before it stay deleted); DeleteSingleObject deletes one.
 * Zones, zone sets and aliases are deleted on the switch inside the zoning
 * transaction; zone members only here. Returns 0, or:
 *   -98, -216, -2 as above; -3 DeleteSingleObject given null (DeleteObjects
 *       given null returns 0);
 *   -17 an entry not stored, of a type that cannot be deleted or without
 *       it, its fabric without "fabVersion", a table or relation missing;
 *   -4  no fabric handle (FABAPI_ERR_NO_FABRIC_HANDLE); -21 a zoning
 *       object without its name; -28 its parent not stored; -29 no zoning
 *       capabilities object; -40 no zoning transaction open;
 *   -75 an object of the active zoning database; -76 a zone member inside
 *       a zone or alias;
 *   -20 the list names a zoning capabilities object (nothing is done for
 *       it; the other entries are deleted);
 *   -47 the switch refused a switch group deletion, -48 a switch group
 *       without its name; a zoning refusal of the switch as above. */
ORVANE_EXPORT int CreateFabricObject(const char* fabricOid, const void* objectRecord, char* createdOid);
ORVANE_EXPORT int DeleteSingleObject(const char* oid);
ORVANE_EXPORT int DeleteObjects(const char* oidList);

/* Set member edits: members added to or removed from the set-valued
 * attribute `attributeTag` of one object (zone, alias, zone set, security
 * policy, platform, switch licence keys). `members` is a list of 48-byte
 * identifier entries ended by an empty entry (licence keys: 64-byte key
 * entries). Zoning edits need the zoning transaction; licence keys go to
 * the switch one by one and those sent before a refusal stay. Returns 0,
 * or:
 *   -98 not initialised, -216 shutting down, -2 out of memory;
 *   -3  a null target or member list; no fabric above the target, or its
 *       level unreadable; a zoning edit that leaves no member to send; a
 *       policy name longer than the switch takes;
 *   -34 a tag refused at the fabric's level (policy members, policy sets
 *       and switch groups below level 2600), a tag not known, or a licence
 *       key the switch does not take;
 *   -17 the target not stored; a policy without its name; adding: no
 *       zoning capabilities for the fabric; a member's fabric or a cache
 *       table missing;
 *   -20 the target's type unreadable; -29 the zoning capabilities object
 *       not stored (removing: none named); -4 no fabric handle;
 *   -6  licence keys on a target that is not a switch; -46 a licence key
 *       request that failed otherwise;
 *   zoning edits: -40 no transaction open, -28 no defined database, -75
 *       the target belongs to the active database, -5 a member of another
 *       fabric, -21 a member not stored, -24 / -26 / -27 the alias, zone
 *       or zone set not stored, -68 a zone member already inside a zone or
 *       alias, -71 a member of a kind the set does not take or not in it,
 *       -72 a port member that is not an F or FL port, -80 / -81 a member
 *       target not stored or of a kind refused; a zoning refusal of the
 *       switch (as for CreateFabricObject);
 *   security policy members: -40 no security transaction open, -13 the
 *       policy or its set not stored, -20 not a policy of the defined set,
 *       -34 no security capabilities, -12 / -4 its fabric or session
 *       handle missing, -3 the switch refused the member;
 *   platforms: -215 one member only, -1507 an unknown platform, -34 a tag
 *       the platform does not take; a translated request failure. */
ORVANE_EXPORT int AddSetMember(const char* targetOid, unsigned attributeTag, const char* members);
ORVANE_EXPORT int RemoveSetMember(const char* targetOid, unsigned attributeTag, const char* members);

/* 1 when the defined zoning database holds a zone, alias or zone set of
 * the name, compared exactly (its identifier, with its NUL, then in `oid`,
 * room for 49 characters); 0 when not. A negative status when it cannot be
 * told: -3 a null argument or an identifier that is not of a full zoning
 * database (FABAPI_ERR_BAD_ARGUMENT); -17 the identifier not stored, or no
 * name table for its fabric; -29 no zoning capabilities object; -3 or -12
 * no session handle for its fabric; the reload's failure when the fabric
 * asks for one ("ZoningRefresh" 1); -98 not initialised, -216 shutting
 * down, -2 out of memory. The XML command "ZoningObjectNameExists" reads
 * every answer but 1 as "No". */
ORVANE_EXPORT int ZoningObjectNameExists(const char* fullZoneDbOid, const char* zoningObjectName, char* oid);

ORVANE_END_DECLS

#endif
