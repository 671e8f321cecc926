// Typed reply blocks of the request layer.
//
// Every record that the request layer hands out lives in one heap block: a
// header (marker, type, element count) followed by the payload. Callers hold
// the payload address and give it back with freeApiRecord, which refuses
// anything that it did not hand out.
#pragma once

#include <cstddef>
#include <cstdint>

// Marker word at the head of every typed block.
inline constexpr std::uint32_t ApiRecordMarker = 0xBCDFAB05u;

// Block types: 1 raw bytes, 2 session context, 3/5/8/12/14 a holder of a
// further block, 18 a count with a pair list, 19 a count with name-server
// port entries; the others are flat element arrays.
enum ApiRecordType : std::uint32_t {
    ApiRecordBytes = 1,
    ApiRecordSessionContext = 2,
    ApiRecordRouteEntries = 18,
    ApiRecordPortList = 19,
    ApiRecordTypeLast = 19,
};

// A holder block (types 3, 5, 8, 12, 14): a count and a further block.
struct ApiBlockHolder {
    std::uint32_t count;
    void* block;
};

// Type 18: the entry count and the address of the entries, which follow in
// the same block (two integer pairs per entry).
struct ApiRouteEntries {
    std::uint32_t count;
    struct RouteEntry {
        int values[4];
    } * entries;
};

// Size in bytes of one element of `type` (a type outside 1 to 19 counts as
// raw bytes).
std::size_t apiRecordElementSize(std::uint32_t type);

// A zero-filled block of `count` elements of `type`; its payload address,
// or null when the size overflows or memory runs out. A count of 0 gives an
// empty block (a valid address). Types 18 and 19 carry their count word
// and, for 18, the entry address.
void* allocApiRecord(std::uint32_t type, std::uint32_t count);

// A raw block of `size` bytes (type 1), zero-filled.
void* allocApiBytes(std::size_t size);

// Releases a block and the further blocks it holds. -10004 for null or an
// address that is not the payload of a live typed block; 0 otherwise.
int freeApiRecord(void* payload);

// The type and count of a live typed block; false for anything else.
bool apiRecordInfo(const void* payload, std::uint32_t* type, std::uint32_t* count);

// Typed blocks currently allocated (for leak checks in tests).
std::size_t liveApiRecords();
