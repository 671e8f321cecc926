#include "foundation/StatusTranslation.h"

#include <orvane/status.h>

#include <cstdint>
#include <iterator>

namespace {

// One row: internal codes from `first` down to `last` give `publicCode`.
struct CodeRange {
    int first;
    int last;
    int publicCode;
};

constexpr CodeRange kApiErrorTable[] = {
    {-10003, -10003, -36},  {-10004, -10004, -17},  {-10005, -10005, -12}, {-10021, -10021, -3},
    {-10023, -10023, -4},   {-10024, -10024, -87},  {-10025, -10025, -14}, {-10026, -10026, -5},
    {-10027, -10027, -56},  {-10028, -10028, -49},  {-10029, -10029, -89}, {-10050, -10050, -40},
    {-10051, -10051, -52},  {-10113, -10113, -52},  {-10052, -10052, -53}, {-10115, -10115, -53},
    {-10053, -10053, -54},  {-10054, -10054, -55},  {-10114, -10114, -55}, {-10100, -10100, -21},
    {-10106, -10106, -21},  {-10101, -10101, -57},  {-10102, -10102, -13}, {-10103, -10103, -25},
    {-10104, -10104, -20},  {-10105, -10105, -32},  {-10107, -10107, -85}, {-10116, -10116, -74},
    {-10117, -10117, -66},  {-10200, -10200, -56},  {-10300, -10300, -63}, {-10301, -10301, -39},
    {-10302, -10302, -61},  {-19979, -19979, -218}, {-20005, -20005, -86}, {-20009, -20009, -56},
    {-20011, -20011, -36},  {-60501, -60505, -44},  {-60508, -60508, -44}, {-60506, -60507, -58},
    {-60509, -60511, -58},  {-60600, -60601, -83},  {-60603, -60607, -83}, {-60609, -60609, -83},
    {-60602, -60602, -87},  {-60608, -60608, -43},  {-60701, -60701, -39}, {-60712, -60712, -39},
    {-60702, -60702, -31},  {-60703, -60703, -55},  {-60704, -60704, -60}, {-60705, -60705, -61},
    {-60706, -60706, -217}, {-60707, -60707, -62},  {-60708, -60710, -63}, {-60713, -60713, -63},
    {-60711, -60711, -64},  {-60714, -60714, -65},  {-60715, -60715, -67},
};

// One row: module numbers from `first` up to `last` give `publicCode`.
struct ModuleRange {
    int first;
    int last;
    int publicCode;
};

constexpr ModuleRange kModuleTable[] = {
    {1, 1, -14},       {240, 241, -14},  {16, 23, -21},    {48, 50, -21},    {52, 52, -21},
    {54, 54, -21},     {145, 146, -21},  {150, 152, -21},  {165, 165, -21},  {181, 181, -21},
    {96, 96, -1501},   {97, 97, -1503},  {98, 98, -1502},  {99, 99, -1504},  {100, 100, -1505},
    {101, 101, -1506}, {197, 197, -101}, {198, 198, -102}, {199, 199, -103}, {200, 200, -104},
    {201, 201, -105},  {202, 202, -106}, {203, 203, -107}, {204, 204, -108}, {205, 205, -109},
    {206, 206, -110},  {207, 207, -111}, {208, 208, -112}, {209, 209, -113}, {210, 210, -114},
    {218, 218, -49},   {219, 220, -63},
};

constexpr int kPassedThroughFirst = -10110;
constexpr int kPassedThroughLast = -10112;
constexpr int kLowLevelBase = -20000;

} // namespace

int MapApiError(int code) {
    if (code == 14) {
        return -67;
    }
    if (code > -10000) {
        return code;
    }
    for (const CodeRange& row : kApiErrorTable) {
        if (code <= row.first && code >= row.last) {
            return row.publicCode;
        }
    }
    if (code <= kPassedThroughFirst && code >= kPassedThroughLast) {
        return code;
    }
    if (code < kLowLevelBase) {
        return MapLowLevelError(code);
    }
    return FABAPI_ERR_UNMAPPED;
}

int MapLowLevelError(int code) {
    if (code == 0) {
        return 0;
    }
    if (code >= kLowLevelBase) {
        return FABAPI_ERR_UNMAPPED;
    }
    // Wide enough for the distance of the lowest int.
    const std::int64_t distance = std::int64_t{kLowLevelBase} - code;
    const int module = static_cast<int>((distance >> 8) & 0xFF);
    for (const ModuleRange& row : kModuleTable) {
        if (module >= row.first && module <= row.last) {
            return row.publicCode;
        }
    }
    return FABAPI_ERR_UNMAPPED;
}
