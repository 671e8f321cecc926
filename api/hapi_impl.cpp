// The proxy, discovery and tracing exports and their implementations, and
// the fabric identities table of the start-up export GetFabricIdentities.
#include "api/hapi_impl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "api/ExportFrame.h"
#include "api/FabricDiscoveryMgr.h"
#include "api/ProxyEntryList.h"
#include "api/TrackedRecord.h"
#include "connection/clilib_identity.h"
#include "foundation/APIException.h"
#include "foundation/CallerAllocators.h"
#include "foundation/IPAddress.h"
#include "foundation/Logging.h"
#include "foundation/MemoryRegistry.h"
#include "foundation/OidText.h"
#include "foundation/ShutdownLock.h"

namespace {

constexpr unsigned short kFabricObjectType = 9;

// Discovery over the proxy list; null when shutdown began meanwhile and cut
// it short.
std::unique_ptr<FabricDiscoveryInfo> discoverProxyList() {
    FabricDiscoveryMgr* manager = getFabricDiscoveryMgr();
    if (manager == nullptr) {
        throw APIException("No fabric discovery manager.", FABAPI_ERR_NOT_INITIALIZED);
    }
    auto info = manager->discover();
    return IsShuttingDown() ? nullptr : std::move(info);
}

// A heap text, ended by NUL; throws bad_alloc.
char* heapText(const char* text) {
    const std::size_t length = std::strlen(text);
    auto* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(copy, text, length + 1);
    return copy;
}

// One row of the older interface's identities table: the fabric's
// identifier and its proxy addresses, ended by an empty text.
void fillIdentitiesRow(const FabricIdentitiesRecord& fabric, FabricIdentitiesType& row) {
    formatOidBuffer(WWNAddress(fabric.fabricWWN), row.fabricOID, kFabricObjectType);
    const auto rows = static_cast<std::size_t>(fabric.proxyCount) + 1;
    row.proxyAddresses = static_cast<char**>(std::calloc(rows, sizeof(char*)));
    if (row.proxyAddresses == nullptr) {
        throw std::bad_alloc();
    }
    // Each text is in place before the next is made, so a failure leaves a
    // list that the table's allocator can free.
    for (int i = 0; i < fabric.proxyCount; ++i) {
        row.proxyAddresses[i] = heapText(fabric.proxyAddresses[i]);
    }
    row.proxyAddresses[fabric.proxyCount] = heapText("");
}

// The caller's entry, or nothing when it cannot make one.
std::optional<FabricProxyEntry> proxyEntryFrom(const FabAPI_ProxyEntry* record) {
    try {
        return makeFabricProxyEntry(record);
    } catch (const APIException&) {
        return std::nullopt;
    }
}

bool isAllCategories(const char* name) {
    return std::strcmp(name, Vosk_All) == 0;
}

// Whether the file can be opened for appending (it is created when missing,
// as tracing into it would).
bool canAppendTo(const char* fileName) {
    FILE* file = std::fopen(fileName, "a");
    if (file == nullptr) {
        return false;
    }
    std::fclose(file);
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// Implementations

int Int_FabAPI_AppendProxyEntry(FabAPI_ProxyEntry* entry) {
    return gatedCall(InitCheck::Required, [entry] {
        if (entry == nullptr || entry->pcHostName == nullptr || entry->pcPassword == nullptr ||
            entry->pcUser == nullptr || !isHostText(entry->pcHostName)) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        const auto proxy = proxyEntryFrom(entry);
        if (!proxy) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        return getProxyEntryList().appendUnlessListed(*proxy) ? FABAPI_OK
                                                              : FABAPI_ERR_PROXY_ALREADY_LISTED;
    });
}

int Int_FabAPI_RemoveProxyEntry(FabAPI_ProxyEntry* entry) {
    return gatedCall(InitCheck::Required, [entry] {
        if (entry == nullptr || entry->pcHostName == nullptr) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        const auto proxy = proxyEntryFrom(entry);
        if (!proxy) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        return getProxyEntryList().removeIfListed(*proxy) ? FABAPI_OK : FABAPI_ERR_PROXY_NOT_LISTED;
    });
}

int Int_FabAPI_ListProxyEntries(FabAPI_ProxyEntryList** out) {
    return gatedCall(InitCheck::Required, [out] {
        if (out == nullptr) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        TrackedRecord<FabAPI_ProxyEntryList> list(Mem_Alloc_Impl_FabAPI_ProxyEntryList::instance());
        throwIfNoMemory(toProxyEntryRecords(getProxyEntryList().copyEntries(),
                                            &list.record->entries, &list.record->count));
        *out = list.release();
        return FABAPI_OK;
    });
}

int Int_FabAPI_DiscoverFabrics(FabAPI_FabricDiscoveryInfo** out) {
    return gatedCall(InitCheck::Required, [out] {
        if (out == nullptr) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        TrackedRecord<FabAPI_FabricDiscoveryInfo> record(
            Mem_Alloc_Impl_FabAPI_FabricDiscoveryInfo::instance());
        const auto info = discoverProxyList();
        if (!info) {
            return FABAPI_ERR_SHUTTING_DOWN;
        }
        throwIfNoMemory(toFabricDiscoveryInfoRecord(*info, record.record));
        *out = record.release();
        return FABAPI_OK;
    });
}

int collectFabricIdentities(FabricIdentitiesType** out) {
    if (getProxyEntryList().copyEntries().empty()) {
        return FABAPI_ERR_EMPTY_PROXY_LIST;
    }
    const auto info = discoverProxyList();
    if (!info) {
        return FABAPI_ERR_SHUTTING_DOWN;
    }
    FabricIdentitiesRecord* fabrics = nullptr;
    const int count = toFabricIdentitiesRecords(*info, &fabrics);
    throwIfNoMemory(count);
    const auto release = [count](FabricIdentitiesRecord* records) {
        freeFabricIdentitiesRecords(count, records);
    };
    const std::unique_ptr<FabricIdentitiesRecord, decltype(release)> held(fabrics, release);
    TrackedRecord<FabricIdentitiesType> table(Mem_Alloc_Impl_FabricIdentitiesType::instance(),
                                              count);
    for (int i = 0; i < count; ++i) {
        fillIdentitiesRow(fabrics[i], table.record[i]);
    }
    *out = table.release();
    return count == 0 ? FABAPI_ERR_NO_FABRIC_FOUND : FABAPI_OK;
}

int Int_FabAPI_StartTracing(FabAPI_TraceID* traceId, const char* fileName) {
    if (traceId == nullptr || traceId->pcTraceID == nullptr || fileName == nullptr ||
        fileName[0] == '\0') {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const bool all = isAllCategories(traceId->pcTraceID);
    const bool anyToStart = all ? !std::all_of(std::begin(allTraceCategories),
                                               std::end(allTraceCategories), isCategoryEnabled)
                                : !isCategoryEnabled(traceId->pcTraceID);
    if (!anyToStart) {
        return FABAPI_ERR_ALREADY_TRACING;
    }
    // A trace file that cannot be written starts nothing.
    if (!canAppendTo(fileName)) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const bool started = all ? enableCategories(allTraceCategories, fileName)
                             : enableCategory(traceId->pcTraceID, fileName);
    return started ? FABAPI_OK : FABAPI_ERR_ALREADY_TRACING;
}

int Int_FabAPI_StopTracing(FabAPI_TraceID* traceId) {
    if (traceId == nullptr || traceId->pcTraceID == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const bool stopped = isAllCategories(traceId->pcTraceID) ? disableCategories(allTraceCategories)
                                                             : disableCategory(traceId->pcTraceID);
    return stopped ? FABAPI_OK : FABAPI_ERR_NOT_TRACING;
}

int Int_FabAPI_Trace(FabAPI_TraceID* traceId, const char* message) {
    if (traceId == nullptr || traceId->pcTraceID == nullptr || message == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    switch (logToCategory(traceId->pcTraceID, message)) {
    case 0:
        return FABAPI_OK;
    case -2:
        return FABAPI_ERR_NOT_TRACING;
    default:
        return FABAPI_ERR_TRACE_MESSAGE_REFUSED;
    }
}

// ---------------------------------------------------------------------------
// Exports

int FabAPI_AppendProxyEntry(FabAPI_ProxyEntry* entry) {
    return runExport("FabAPI_AppendProxyEntry", [&] { return Int_FabAPI_AppendProxyEntry(entry); });
}

int FabAPI_RemoveProxyEntry(FabAPI_ProxyEntry* entry) {
    return runExport("FabAPI_RemoveProxyEntry", [&] { return Int_FabAPI_RemoveProxyEntry(entry); });
}

int FabAPI_ListProxyEntries(FabAPI_ProxyEntryList** out) {
    return runExport("FabAPI_ListProxyEntries", [&] { return Int_FabAPI_ListProxyEntries(out); });
}

int FabAPI_DiscoverFabrics(FabAPI_FabricDiscoveryInfo** out) {
    return runExport("FabAPI_DiscoverFabrics", [&] { return Int_FabAPI_DiscoverFabrics(out); });
}

int FabAPI_StartTracing(FabAPI_TraceID* traceId, const char* fileName) {
    return runExport("FabAPI_StartTracing",
                     [&] { return Int_FabAPI_StartTracing(traceId, fileName); });
}

int FabAPI_StopTracing(FabAPI_TraceID* traceId) {
    return runExport("FabAPI_StopTracing", [&] { return Int_FabAPI_StopTracing(traceId); });
}

int FabAPI_Trace(FabAPI_TraceID* traceId, const char* message) {
    return runExport("FabAPI_Trace", [&] { return Int_FabAPI_Trace(traceId, message); });
}

int nOrvane = 0;

int fnOrvane(void) {
    return 42;
}

COrvane::COrvane() = default;

COrvane& COrvane::operator=(const COrvane&) {
    return *this;
}
