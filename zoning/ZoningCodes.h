// The codes of zoning access: the exception codes its operations throw, the
// switch statuses they come from, the public statuses they become, and the
// small zoning utilities the zoning code shares.
#pragma once

#include <orvane/oid.h>

#include <string>

// Exception codes of UDAL_ZoningException that zoning access raises itself
// (the others come only from switch statuses; see mapSwitchStatus).
enum ZoningExceptionCode : int {
    ZONING_ERR_BAD_ARGUMENT = 7,        // null argument, flag byte not 0 or 1, type refused
    ZONING_ERR_NO_REPLY = 8,            // the RPC call returned no reply
    ZONING_ERR_NOTHING_FOUND = 9,       // nothing to return
    ZONING_ERR_NOT_ACTIVE = 10,         // the object is not part of the active view
    ZONING_ERR_NO_ACTIVE_CONFIG = 11,   // no active zone set
    ZONING_ERR_UNSUPPORTED = 12,        // not at this firmware level
    ZONING_ERR_NO_MEMORY = 13,          // out of memory
    ZONING_ERR_NOT_PRIMARY_FCS = 14,    // the proxy is not the primary configuration server
    ZONING_ERR_MEMBER_TEXT_LONG = 17,   // joined member list over 256 characters
    ZONING_ERR_TYPE_REFUSED = 18,       // object type not allowed for the operation
    ZONING_ERR_NAME_TOO_LONG = 26,      // object name over 64 characters
    ZONING_ERR_ACTIVATION_REFUSED = 27, // the switch refused a zone set activation
    ZONING_ERR_SWITCH_STATUS = 100,     // any other non-zero switch status
};

// Zoning types (the `type` arguments and results).
enum ZoningType : int {
    ZONING_TYPE_ZONE_SET = 1,
    ZONING_TYPE_ZONE = 2,
    ZONING_TYPE_ALIAS = 3,
    ZONING_TYPE_QL_ZONE = 4,
    ZONING_TYPE_FA_ZONE = 6,
    ZONING_TYPE_PRO_ZONE = 7,
    ZONING_TYPE_ALL = 8,
};

// Longest object name, and longest joined member list of the 2.2 request.
inline constexpr std::size_t ZoningNameMax = 64;
inline constexpr std::size_t ZoningMemberTextMax = 256;

// The exception code of a non-zero zoning status of a switch reply (100
// for a status without its own code, and for 0).
int mapSwitchStatus(int switchStatus);
// The public status of an exception code (-1000 for a code without one).
int MapZoningError(int code);

// "ZoneSet", "ZoneStd", "ZoneAlias", "ZoneQl", "ZoneFa", "ZonePro", "All";
// "Unknown" for any other type.
std::string zoningTypeName(int type);
// The member kind under which a zone of `type` is listed among a zone set's
// members: 0x400 for type 4, 0x800 for type 6, else 0x200.
int zoneMemberKind(int type);
// 1 for type 2, 2 for 4, 3 for 6, 4 for 7, else 0.
int MapZoningTypeCode(int type);
// 1 for kind 0x200, 2 for 0x400, 3 for 0x800, else 0.
int MapZoneMemberKind(int kind);
// "None", "Lun", "Alpa", "Fahost" for codes 0 to 3; "Unknown" otherwise.
std::string MemberTypeName(int code);

// Reads up to four leading hex digits of the identifier (never past its
// 48 characters) into *type: 1 when at least one was read, else 0 with
// *type set to 0.
int ParseHex4(const OID_t oid, unsigned short* type);
// Removes every blank (0x20) from `text` in place; returns a copy.
std::string RemoveBlanks(std::string& text);
// Reads "%x:%x:%x:%x:%x:%x:%x:%x" into `wwn`: the characters read, or -1
// when `wwn` or `text` is null, fewer than eight fields are read, or a
// field lies outside 0 to 255.
int parseWorldWideName(const char* text, unsigned char wwn[8]);
