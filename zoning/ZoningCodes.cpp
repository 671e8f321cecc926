#include "zoning/ZoningCodes.h"

#include <algorithm>

#include "connection/clilib.h"
#include "foundation/HexDigits.h"

namespace {

struct StatusCode {
    int status;
    int code;
};

// Switch statuses and the exception codes they raise.
constexpr StatusCode kSwitchStatuses[] = {
    {-10117, 1},  {-10050, 3},  {-1, 4},      {-10102, 5},  {-10103, 7},  {-10021, 7},
    {-10200, 8},  {-10027, 8},  {-10100, 9},  {-10101, 11}, {-20011, 12}, {-10003, 12},
    {-10024, 13}, {-60701, 14}, {-10106, 16}, {-10107, 17}, {-10104, 18}, {-10028, 20},
    {-10113, 21}, {-10051, 21}, {-10115, 22}, {-10053, 22}, {-10052, 22}, {-10105, 23},
    {-10116, 24}, {-10114, 25}, {-10054, 25}, {-10108, 28},
};

// Exception codes and the public statuses they become.
constexpr StatusCode kPublicStatuses[] = {
    {1, -66},   {3, -40},  {4, -1000}, {5, -13},     {7, -3},   {8, -56},  {9, -21},
    {10, -21},  {11, -57}, {12, -36},  {13, -2},     {14, -59}, {16, -21}, {17, -85},
    {18, -20},  {20, -49}, {21, -52},  {22, -53},    {23, -32}, {24, -74}, {25, -55},
    {26, -207}, {27, -60}, {28, -220}, {100, -1000},
};

template <std::size_t N> int lookUp(const StatusCode (&table)[N], int key, int otherwise) {
    for (const auto& entry : table) {
        if (entry.status == key) {
            return entry.code;
        }
    }
    return otherwise;
}

} // namespace

int mapSwitchStatus(int switchStatus) {
    return lookUp(kSwitchStatuses, switchStatus, ZONING_ERR_SWITCH_STATUS);
}

int MapZoningError(int code) {
    return lookUp(kPublicStatuses, code, -1000);
}

std::string zoningTypeName(int type) {
    switch (type) {
    case ZONING_TYPE_ZONE_SET:
        return "ZoneSet";
    case ZONING_TYPE_ZONE:
        return "ZoneStd";
    case ZONING_TYPE_ALIAS:
        return "ZoneAlias";
    case ZONING_TYPE_QL_ZONE:
        return "ZoneQl";
    case ZONING_TYPE_FA_ZONE:
        return "ZoneFa";
    case ZONING_TYPE_PRO_ZONE:
        return "ZonePro";
    case ZONING_TYPE_ALL:
        return "All";
    default:
        return "Unknown";
    }
}

int zoneMemberKind(int type) {
    switch (type) {
    case ZONING_TYPE_QL_ZONE:
        return 0x400;
    case ZONING_TYPE_FA_ZONE:
        return 0x800;
    default:
        return 0x200;
    }
}

int MapZoningTypeCode(int type) {
    switch (type) {
    case ZONING_TYPE_ZONE:
        return 1;
    case ZONING_TYPE_QL_ZONE:
        return 2;
    case ZONING_TYPE_FA_ZONE:
        return 3;
    case ZONING_TYPE_PRO_ZONE:
        return 4;
    default:
        return 0;
    }
}

int MapZoneMemberKind(int kind) {
    switch (kind) {
    case 0x200:
        return 1;
    case 0x400:
        return 2;
    case 0x800:
        return 3;
    default:
        return 0;
    }
}

std::string MemberTypeName(int code) {
    static const char* const names[] = {"None", "Lun", "Alpa", "Fahost"};
    return code >= 0 && code <= 3 ? names[code] : "Unknown";
}

int ParseHex4(const OID_t oid, unsigned short* type) {
    std::size_t pos = 0;
    unsigned value = 0;
    const bool read =
        oid != nullptr && readHexDigits(oid, strnlen(oid, sizeof(OID_t)), pos, 4, value);
    if (type != nullptr) {
        *type = static_cast<unsigned short>(read ? value : 0);
    }
    return read ? 1 : 0;
}

std::string RemoveBlanks(std::string& text) {
    std::erase(text, ' ');
    return text;
}

int parseWorldWideName(const char* text, unsigned char wwn[8]) {
    if (wwn == nullptr) {
        return -1;
    }
    return parseWWNText(text, wwn);
}
