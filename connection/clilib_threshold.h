// Threshold monitoring requests (codes 1797 to 1814) and route requests
// (codes 1029, 1031, 1032).
#pragma once

#include <cstddef>

#include "connection/clilib.h"

// Sends `record` with `code`. 1797 gives a 4-byte block with the reply's
// int, 1798 a copy of ThrexClassAreaRecord, 1799 a copy of
// ThrexThresholdRecord (for these a null result pointer gives -1); other
// codes give no result.
int threxRequest(SessionContext* ctx, int code, const ThrexRequestRecord* record, void** result);

int threxGetClassArea(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                      ThrexClassAreaRecord** result);
int threxGetThresholdEntry(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                           int threshold, ThrexThresholdRecord** result);
int threxApplyAlarmChanges(SessionContext* ctx, const unsigned char switchName[8], int classArea);
int threxApplyBoundaryChanges(SessionContext* ctx, const unsigned char switchName[8],
                              int classArea);
int threxCancelAlarmChanges(SessionContext* ctx, const unsigned char switchName[8], int classArea);
int threxCancelBoundaryChanges(SessionContext* ctx, const unsigned char switchName[8],
                               int classArea);
int threxSetAlarmLevelSelect(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                             int value);
// `alarm` 1 to 5.
int threxSetCustomAlarm(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                        int alarm, int value);
int threxSetBoundaryLevelSelect(SessionContext* ctx, const unsigned char switchName[8],
                                int classArea, int value);
int threxSetCustomBufferSize(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                             int value);
int threxSetCustomHighBoundary(SessionContext* ctx, const unsigned char switchName[8],
                               int classArea, int value);
int threxSetCustomLowBoundary(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                              int value);
int threxSetCustomTimeBase(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                           int value);
// At most 31 characters of `unit` go out (its 32-byte field stays
// NUL-terminated).
int threxSetCustomUnitString(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                             const char* unit);
int threxSetThreshStatus(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                         int threshold, int value);
int threxSetThreshBehaviorInterval(SessionContext* ctx, const unsigned char switchName[8],
                                   int classArea, int threshold, int value);
int threxSetThreshBehaviorType(SessionContext* ctx, const unsigned char switchName[8],
                               int classArea, int threshold, int value);

// --- Routes ---------------------------------------------------------------

// Request 1029: a type-18 block of the route entries from `source` to
// `destination`, two pairs per entry. A reply without entries gives
// -10024; a count beyond the pairs received is cut to them.
int getRouteTableEntries(SessionContext* ctx, const unsigned char source[8],
                         const unsigned char destination[8], ApiRouteEntries** result);

// Result of getLegalRouteTableEntries.
inline constexpr std::size_t LegalRouteMax = 8;
struct LegalRouteEntries {
    int count;
    int ports[LegalRouteMax];
};
// Request 1031: at most eight ports, never more than the reply's list holds.
int getLegalRouteTableEntries(SessionContext* ctx, const unsigned char source[8],
                              const unsigned char destination[8], LegalRouteEntries** result);
// Request 1032 with three 8-byte values.
int setRouteTableEntry(SessionContext* ctx, const unsigned char first[8],
                       const unsigned char second[8], const unsigned char third[8]);
