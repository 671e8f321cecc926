// Argument checks shared by the zoning access levels; each throws its code
// with the operation's name.
#pragma once

#include <cstddef>
#include <cstring>

#include "zoning/UDAL_ZoningAccess_Ifc.h"
#include "zoning/ZoningCodes.h"

// Longest text of a string<255> request field (names of procedures 17, 20
// and 29).
inline constexpr std::size_t ZoningRequestNameMax = 255;

[[noreturn]] inline void throwNoMemory(const char* operation) {
    throw UDAL_ZoningException(ZONING_ERR_NO_MEMORY, operation);
}

inline void requireArgument(bool present, const char* operation) {
    if (!present) {
        throw UDAL_ZoningException(ZONING_ERR_BAD_ARGUMENT, operation);
    }
}

inline void requireFlag(ZoningFlag flag, const char* operation) {
    requireArgument(flag <= 1, operation);
}

inline void requireFlags(ZoningFlag active, ZoningFlag typing, const char* operation) {
    requireArgument(active <= 1 && typing <= 1, operation);
}

// Aliases are not part of the active view: asking for them there throws
// `code`.
inline void refuseActiveAliases(int type, ZoningFlag active, int code, const char* operation) {
    if (active == 1 && type == ZONING_TYPE_ALIAS) {
        throw UDAL_ZoningException(code, operation);
    }
}

// Zone sets, zones, aliases and the two other zone kinds that the editing
// operations take.
inline bool isEditableType(int type) {
    return type == ZONING_TYPE_ZONE_SET || type == ZONING_TYPE_ZONE || type == ZONING_TYPE_ALIAS ||
           type == ZONING_TYPE_QL_ZONE || type == ZONING_TYPE_FA_ZONE;
}

// The types that the listings take: names (17), members (18) and objects
// (19, 20).
inline bool isNameListType(int type) {
    return type == 1 || type == 2 || type == 3 || type == 4 || type == 6 || type == 8;
}
inline bool isMemberListType(int type) {
    return type >= 1 && type <= 7 && type != 5;
}
inline bool isObjectListType(int type) {
    return isMemberListType(type) || type == ZONING_TYPE_ALL;
}
// Zones whose members may name aliases.
inline bool isZoneKind(int type) {
    return type == ZONING_TYPE_ZONE || type == ZONING_TYPE_QL_ZONE || type == ZONING_TYPE_FA_ZONE;
}

inline void requireEditableType(int type, const char* operation) {
    if (!isEditableType(type)) {
        throw UDAL_ZoningException(ZONING_ERR_TYPE_REFUSED, operation);
    }
}

// A name that the request record cannot carry is refused, never cut.
inline void requireNameFits(const char* name, std::size_t bound, const char* operation) {
    if (strnlen(name, bound + 1) > bound) {
        throw UDAL_ZoningException(ZONING_ERR_NAME_TOO_LONG, operation);
    }
}
