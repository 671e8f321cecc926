// The session and signature exports that need only the api's own state:
// listing the open sessions, a session's fabric identifier and comparing
// two signatures, and their implementations. Their trace records name
// "hapi_internal" as their source module, as the other session exports do.
#include "api/hapi_sessions.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "api/ApiState.h"
#include "api/ExportFrame.h"
#include "api/TrackedRecord.h"
#include "foundation/CallerAllocators.h"
#include "foundation/OidText.h"

namespace {

constexpr char kSourceFile[] = "hapi_internal";

std::string oidText(const char* field) {
    return std::string(oidFieldText(field));
}

// A 48-character identifier buffer of the C heap, NUL-padded.
char* newSessionIdBuffer(const std::string& sessionId) {
    auto* buffer = static_cast<char*>(std::calloc(OidFieldSize, 1));
    if (buffer == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(buffer, sessionId.data(), std::min(sessionId.size(), OidFieldSize));
    return buffer;
}

FabAPI_ClientSessionIDList* newSessionIdList(const std::vector<std::string>& sessionIds) {
    TrackedRecord<FabAPI_ClientSessionIDList> list(
        Mem_Alloc_Impl_FabAPI_ClientSessionIDList::instance());
    if (sessionIds.empty()) {
        return list.release();
    }
    list.record->ids = static_cast<FabAPI_ClientSessionID**>(
        std::calloc(sessionIds.size(), sizeof(FabAPI_ClientSessionID*)));
    if (list.record->ids == nullptr) {
        throw std::bad_alloc();
    }
    // Each entry is counted as soon as it exists, so a failure part way
    // leaves a list that its allocator frees whole.
    for (const std::string& sessionId : sessionIds) {
        auto* id =
            static_cast<FabAPI_ClientSessionID*>(std::calloc(1, sizeof(FabAPI_ClientSessionID)));
        if (id == nullptr) {
            throw std::bad_alloc();
        }
        list.record->ids[list.record->count++] = id;
        id->structSessionID = newSessionIdBuffer(sessionId);
    }
    return list.release();
}

// The switch identifiers of a signature record, over 48 characters each.
std::set<std::string> switchIdsOf(const FabAPI_FabricSignature& signature) {
    std::set<std::string> ids;
    for (int i = 0; i < signature.count; ++i) {
        ids.insert(oidText(signature.structSwitchOIDs[i]));
    }
    return ids;
}

} // namespace

FabAPI_ClientSessionID* newSessionIdRecord(const std::string& sessionId) {
    TrackedRecord<FabAPI_ClientSessionID> record(Mem_Alloc_Impl_FabAPI_ClientSessionID::instance());
    record.record->structSessionID = newSessionIdBuffer(sessionId);
    return record.release();
}

// ---------------------------------------------------------------------------
// Implementations

int Int_FabAPI_CompareFabricSignatures(FabAPI_FabricSignature* first,
                                       FabAPI_FabricSignature* second, int* result) {
    if (first == nullptr || second == nullptr || result == nullptr || first->count < 0 ||
        second->count < 0 || (first->count > 0 && first->structSwitchOIDs == nullptr) ||
        (second->count > 0 && second->structSwitchOIDs == nullptr)) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    if (CompareName48(first->structFabricOID, second->structFabricOID) != 0) {
        *result = -2;
        return FABAPI_OK;
    }
    const bool firstIsSmaller = first->count <= second->count;
    const FabAPI_FabricSignature& smaller = firstIsSmaller ? *first : *second;
    const FabAPI_FabricSignature& larger = firstIsSmaller ? *second : *first;
    *result = first->count == second->count ? 0 : (first->count < second->count ? -1 : 1);
    const std::set<std::string> largerIds = switchIdsOf(larger);
    for (const std::string& id : switchIdsOf(smaller)) {
        if (largerIds.count(id) == 0) {
            *result = -2;
            break;
        }
    }
    return FABAPI_OK;
}

int Int_FabAPI_ListSessions(FabAPI_ClientSessionIDList** out) {
    return gatedCall(InitCheck::Required, [&]() -> int {
        if (out == nullptr) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        *out = newSessionIdList(getSessionTable()->identifiers());
        return FABAPI_OK;
    });
}

int Int_FabAPI_GetFabricOidFromSession(FabAPI_ClientSessionID* session, char* fabricOid) {
    return gatedCall(InitCheck::Required, [&]() -> int {
        if (session == nullptr || session->structSessionID == nullptr || fabricOid == nullptr) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        std::strncpy(fabricOid, session->structSessionID, OidFieldSize);
        return FABAPI_OK;
    });
}

// ---------------------------------------------------------------------------
// Exports

int FabAPI_CompareFabricSignatures(FabAPI_FabricSignature* first, FabAPI_FabricSignature* second,
                                   int* result) {
    return runExport(
        "FabAPI_CompareFabricSignatures",
        [&] { return Int_FabAPI_CompareFabricSignatures(first, second, result); }, kSourceFile);
}

int FabAPI_ListSessions(FabAPI_ClientSessionIDList** out) {
    return runExport(
        "FabAPI_ListSessions", [&] { return Int_FabAPI_ListSessions(out); }, kSourceFile);
}

int FabAPI_GetFabricOidFromSession(FabAPI_ClientSessionID* session, char* fabricOid) {
    return runExport(
        "FabAPI_GetFabricOidFromSession",
        [&] { return Int_FabAPI_GetFabricOidFromSession(session, fabricOid); }, kSourceFile);
}
