// Threshold monitoring and route requests.
#include "connection/clilib_threshold.h"

#include <algorithm>
#include <cstring>

#include "connection/clilib_request.h"

using namespace clilib;

namespace {

constexpr int kThrexCount = 1797;
constexpr int kThrexClassArea = 1798;
constexpr int kThrexThreshold = 1799;
constexpr int kNoResultPointer = -1;

// A request record naming the switch with up to three values.
ThrexRequestRecord threxRecord(const unsigned char* switchName, int first, int second = 0,
                               int third = 0) {
    ThrexRequestRecord record;
    std::memset(&record, 0, sizeof(record));
    copyName(record.switchName, switchName);
    record.value1 = first;
    record.value2 = second;
    record.value3 = third;
    return record;
}

int threxSet(SessionContext* ctx, int code, const unsigned char* switchName, int first,
             int second = 0, int third = 0) {
    if (ctx == nullptr || switchName == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    const ThrexRequestRecord record = threxRecord(switchName, first, second, third);
    return threxRequest(ctx, code, &record, nullptr);
}

} // namespace

int threxRequest(SessionContext* ctx, int code, const ThrexRequestRecord* record, void** result) {
    const bool reads = code == kThrexCount || code == kThrexClassArea || code == kThrexThreshold;
    if (reads && result == nullptr) {
        return kNoResultPointer;
    }
    if (ctx == nullptr || record == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    if (result != nullptr) {
        *result = nullptr;
    }
    MSRequestArgs args = newRequest(code);
    args.MSRequestArgs_u.threxRequest = *record;
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        switch (code) {
        case kThrexCount:
            return copyRecord(arm.value, reinterpret_cast<int**>(result));
        case kThrexClassArea:
            return copyRecord(arm.threxClassArea, reinterpret_cast<ThrexClassAreaRecord**>(result));
        case kThrexThreshold:
            return copyRecord(arm.threxThreshold, reinterpret_cast<ThrexThresholdRecord**>(result));
        default:
            return 0;
        }
    });
}

int threxGetClassArea(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                      ThrexClassAreaRecord** result) {
    if (result == nullptr) {
        return kNoResultPointer;
    }
    if (ctx == nullptr || switchName == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    const ThrexRequestRecord record = threxRecord(switchName, classArea);
    void* block = nullptr;
    const int status = threxRequest(ctx, kThrexClassArea, &record, &block);
    *result = static_cast<ThrexClassAreaRecord*>(block);
    return status;
}

int threxGetThresholdEntry(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                           int threshold, ThrexThresholdRecord** result) {
    if (result == nullptr) {
        return kNoResultPointer;
    }
    if (ctx == nullptr || switchName == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    const ThrexRequestRecord record = threxRecord(switchName, classArea, threshold);
    void* block = nullptr;
    const int status = threxRequest(ctx, kThrexThreshold, &record, &block);
    *result = static_cast<ThrexThresholdRecord*>(block);
    return status;
}

int threxApplyAlarmChanges(SessionContext* ctx, const unsigned char switchName[8], int classArea) {
    return threxSet(ctx, 1800, switchName, classArea);
}

int threxApplyBoundaryChanges(SessionContext* ctx, const unsigned char switchName[8],
                              int classArea) {
    return threxSet(ctx, 1801, switchName, classArea);
}

int threxCancelAlarmChanges(SessionContext* ctx, const unsigned char switchName[8], int classArea) {
    return threxSet(ctx, 1802, switchName, classArea);
}

int threxCancelBoundaryChanges(SessionContext* ctx, const unsigned char switchName[8],
                               int classArea) {
    return threxSet(ctx, 1803, switchName, classArea);
}

int threxSetAlarmLevelSelect(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                             int value) {
    return threxSet(ctx, 1804, switchName, classArea, value);
}

int threxSetCustomAlarm(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                        int alarm, int value) {
    if (alarm < 1 || alarm > 5) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    return threxSet(ctx, 1805, switchName, classArea, alarm, value);
}

int threxSetBoundaryLevelSelect(SessionContext* ctx, const unsigned char switchName[8],
                                int classArea, int value) {
    return threxSet(ctx, 1806, switchName, classArea, value);
}

int threxSetCustomBufferSize(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                             int value) {
    return threxSet(ctx, 1807, switchName, classArea, value);
}

int threxSetCustomHighBoundary(SessionContext* ctx, const unsigned char switchName[8],
                               int classArea, int value) {
    return threxSet(ctx, 1808, switchName, classArea, value);
}

int threxSetCustomLowBoundary(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                              int value) {
    return threxSet(ctx, 1809, switchName, classArea, value);
}

int threxSetCustomTimeBase(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                           int value) {
    return threxSet(ctx, 1810, switchName, classArea, value);
}

int threxSetCustomUnitString(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                             const char* unit) {
    if (ctx == nullptr || switchName == nullptr || unit == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    ThrexRequestRecord record = threxRecord(switchName, classArea);
    copyText(record.text1, unit);
    return threxRequest(ctx, 1811, &record, nullptr);
}

int threxSetThreshStatus(SessionContext* ctx, const unsigned char switchName[8], int classArea,
                         int threshold, int value) {
    return threxSet(ctx, 1812, switchName, classArea, threshold, value);
}

int threxSetThreshBehaviorInterval(SessionContext* ctx, const unsigned char switchName[8],
                                   int classArea, int threshold, int value) {
    return threxSet(ctx, 1813, switchName, classArea, threshold, value);
}

int threxSetThreshBehaviorType(SessionContext* ctx, const unsigned char switchName[8],
                               int classArea, int threshold, int value) {
    return threxSet(ctx, 1814, switchName, classArea, threshold, value);
}

// --- Routes ---------------------------------------------------------------

namespace {

MSRequestArgs routeRequest(int code, const unsigned char* source,
                           const unsigned char* destination) {
    MSRequestArgs args = newRequest(code);
    copyName(args.MSRequestArgs_u.route.sourceSwitch, source);
    copyName(args.MSRequestArgs_u.route.destinationSwitch, destination);
    return args;
}

} // namespace

int getRouteTableEntries(SessionContext* ctx, const unsigned char source[8],
                         const unsigned char destination[8], ApiRouteEntries** result) {
    if (ctx == nullptr || source == nullptr || destination == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    return exchange(ctx, routeRequest(1029, source, destination), [&](const ReplyArm& arm) {
        const auto& routes = arm.routes;
        // Each entry takes two pairs; never more entries than pairs arrived for.
        const unsigned int received = routes.routes.routes_len / 2;
        const unsigned int count =
            routes.value <= 0 ? 0u : std::min(static_cast<unsigned int>(routes.value), received);
        if (count == 0) {
            return REQ_ERR_NO_MEMORY; // no block is made for an empty list
        }
        auto* block = static_cast<ApiRouteEntries*>(allocApiRecord(ApiRecordRouteEntries, count));
        if (block == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        for (unsigned int i = 0; i < count; ++i) {
            const IntPair* pairs = routes.routes.routes_val + 2 * i;
            block->entries[i] = {
                {pairs[0].first, pairs[0].second, pairs[1].first, pairs[1].second}};
        }
        *result = block;
        return 0;
    });
}

int getLegalRouteTableEntries(SessionContext* ctx, const unsigned char source[8],
                              const unsigned char destination[8], LegalRouteEntries** result) {
    if (ctx == nullptr || source == nullptr || destination == nullptr || result == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *result = nullptr;
    return exchange(ctx, routeRequest(1031, source, destination), [&](const ReplyArm& arm) {
        const auto& legal = arm.legalRoutes;
        const std::size_t count =
            legal.value <= 0 ? 0
                             : std::min({static_cast<std::size_t>(legal.value), LegalRouteMax,
                                         static_cast<std::size_t>(legal.ports.ports_len)});
        LegalRouteEntries entries{};
        entries.count = static_cast<int>(count);
        std::copy_n(legal.ports.ports_val, count, entries.ports);
        return copyRecord(entries, result);
    });
}

int setRouteTableEntry(SessionContext* ctx, const unsigned char first[8],
                       const unsigned char second[8], const unsigned char third[8]) {
    if (ctx == nullptr || first == nullptr || second == nullptr || third == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(1032);
    copyName(args.MSRequestArgs_u.routeTriple.name1, first);
    copyName(args.MSRequestArgs_u.routeTriple.name2, second);
    copyName(args.MSRequestArgs_u.routeTriple.name3, third);
    return exchange(ctx, args);
}
