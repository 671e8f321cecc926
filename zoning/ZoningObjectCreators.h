// The creation of zoning objects in the object store: zone sets, aliases,
// zones, zone members and undefined zoning objects, each under a parent
// whose list then names it.
//
// Each kind numbers its objects with its process-wide counter (from 1, of
// objectCounters(), which the object-creation export shares); the
// identifier is the type (4 hex digits) followed by eight bytes holding the
// counter's decimal digits, least significant first (the third zone set is
// 000b0300000000000000). A counter never goes past eight digits and never
// hands out an identifier that is stored already; a failed creation gives
// its number back. The caller holds the object-model lock, which guards the
// counters too.
//
// The creators of zone sets, aliases and zones also hand the new object's
// identifier to `madeOid` when it is not null.
//
// Each creator returns 0, -3 for a null parent, or -2 when the object, its
// element or its number cannot be had; a failed creation leaves nothing in
// the store.
#pragma once

#include <string>

#include "api/StoredObject.h"

// The highest number a counter hands out.
inline constexpr unsigned kZoningObjectNumberMax = 99'999'999;

// Type 11, element ZoneSet, "ZoneSetName", "ActivateZoneSet"; listed in the
// parent's "setZoneSet".
int CreateZoneSetObject(StoredObject* parent, const std::string& name, unsigned short activate,
                        std::string* madeOid = nullptr);
// Type 20, element ZoneAlias, "ZoneAliasName"; listed in "setZoneAlias".
int CreateZoneAliasObject(StoredObject* parent, const std::string& name,
                          std::string* madeOid = nullptr);
// Type 10, element Zone, "ZoneName", "ZoneType" and "ZoneSubType" from the
// name (0 without "/"; with one 5 for "IP", else 255 for "VI", else 8 for
// "FCP", else none); listed in "setZone" of a defined database (type 24) or
// "setMember" of an active one (25), in no list under another parent.
int CreateZoneObject(StoredObject* parent, const std::string& name, unsigned short zoneType,
                     std::string* madeOid = nullptr);
// Type 22, element ZoneMember, "MemberName", "EnumMemberType", and from the
// member type's form bits "ZoneMemberModifier" and "ZMType": 4 the text in
// "(...)" and 1, else 2 the text in "[...]" and 2, else 1 no text and 3,
// else no text and 0. Listed in "setMember".
int CreateZoneMemberObject(StoredObject* parent, const std::string& memberName, int memberType);
// Type -5, element UndefinedZoningObj, "UndefinedObjName"; listed in
// "setMember".
int CreateUndefinedZoningObject(StoredObject* parent, const std::string& name);
