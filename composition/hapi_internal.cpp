// The session and signature exports that reach the object tree or the
// services, the shutdown export, and their implementations. Those that need
// only the api's own state are in api/hapi_sessions.
#include "composition/hapi_internal.h"

#include <memory>
#include <optional>
#include <string>

#include "api/ApiState.h"
#include "api/ClientSession.h"
#include "api/ExportFrame.h"
#include "api/FabricIdentity.h"
#include "api/FabricIdentityRegistry.h"
#include "api/FabricRecheck.h"
#include "api/FabricSignature.h"
#include "api/ObjectStore.h"
#include "api/SessionFactory.h"
#include "api/TrackedRecord.h"
#include "api/hapi_sessions.h"
#include "composition/InitializationMgr.h"
#include "composition/SessionClosing.h"
#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/clilib_identity.h"
#include "connection/clilib_security.h"
#include "connection/clilib_session.h"
#include "foundation/APIException.h"
#include "foundation/CallerAllocators.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "foundation/OidText.h"
#include "foundation/StatusTranslation.h"
#include "objects/FabricObjectTree.h"
#include "objects/ObjectCounters.h"
#include "objects/ObjectTypes.h"
#include "services/FirmwareDownload.h"

namespace {

constexpr char kSourceFile[] = "hapi_internal";
// A fabric identifier: the type and the world wide name.
constexpr std::size_t kFabricOidLength = 20;
constexpr int kBusy = -86;
constexpr int kTreeWithoutLinks = 500;

void traceSession(const char* message, const char* method, int line = __builtin_LINE()) {
    traceRecord(Vosk_Session, message, method, "", kSourceFile, line);
}

// "Entering " and "Exiting " of an implementation, under Vosk_Session.
class SessionTrace : public MethodTrace {
public:
    explicit SessionTrace(const char* method, int line = __builtin_LINE())
        : MethodTrace(Vosk_Session, method, kSourceFile, line) {}
};

std::string oidText(const char* field) {
    return std::string(oidFieldText(field));
}

std::string sessionIdOf(const FabAPI_ClientSessionID* session) {
    return oidText(session->structSessionID);
}

std::string oidOf(unsigned short type, const WWNAddress& wwn) {
    std::string oid;
    formatOidString(type, wwn, oid);
    return oid;
}

WWNAddress wwnOfFabricOid(const OID_t& oid) {
    unsigned char name[WWNAddress::Size] = {};
    parseOidWwn(oid, name);
    return WWNAddress(name);
}

bool isFabricOid(const OID_t& oid) {
    return oid[kFabricOidLength] == '\0';
}

FabAPI_FabricSignature* newSignatureRecord(const FabricSignature& signature) {
    TrackedRecord<FabAPI_FabricSignature> record(Mem_Alloc_Impl_FabAPI_FabricSignature::instance());
    throwIfNoMemory(toFabricSignatureRecord(signature, record.record));
    return record.release();
}

// The session's own connection for one read, given back at the end.
class SessionConnectionLoan {
public:
    explicit SessionConnectionLoan(ClientSession& session)
        : session_(session), connection_(session.acquireConnection()) {
        if (connection_ == nullptr) {
            throw ConnectionException("Error session closed.", REQ_ERR_NO_CONNECTION);
        }
    }
    ~SessionConnectionLoan() { session_.releaseConnection(connection_); }
    SessionConnectionLoan(const SessionConnectionLoan&) = delete;
    SessionConnectionLoan& operator=(const SessionConnectionLoan&) = delete;

    Fabric_Connection_Impl_RPC& connection() { return *connection_; }

private:
    ClientSession& session_;
    Fabric_Connection_Impl_RPC* connection_;
};

// Whether the object store holds the fabric and every switch of `signature`.
bool treeHolds(const std::string& fabricOid, const FabricSignature& signature) {
    LockGuard model(getObjectStoreMutex());
    if (findObjectUnlocked(fabricOid) == nullptr) {
        return false;
    }
    for (const WWNAddress& sw : signature.getSwitches()) {
        if (findObjectUnlocked(oidOf(ObjectType::Switch, sw)) == nullptr) {
            return false;
        }
    }
    return true;
}

SessionContext* contextOf(const StoredObject* fabric) {
    void* handle = nullptr;
    if (fabric == nullptr || !fabric->getHandleAttr("HDL", handle)) {
        return nullptr;
    }
    return static_cast<SessionContext*>(handle);
}

void destroyContext(SessionContext* ctx) {
    LockGuard device(getSwitchRequestMutex());
    destroySessionContext(ctx);
}

bool firmwareDownloadRuns() {
    return firmwareDownloadInProgress.load() != 0;
}

} // namespace

// ---------------------------------------------------------------------------
// Implementations

int Int_FabAPI_EstablishSession(FabAPI_FabricIdentity* identity, FabAPI_ClientSessionID** out) {
    static constexpr const char method[] = "Int_FabAPI_EstablishSession";
    return gatedCall(InitCheck::Required, [&]() -> int {
        if (identity == nullptr || out == nullptr ||
            !isFabricOid(identity->structFabSig.structFabricOID)) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        const SessionTrace trace(method);
        const WWNAddress fabricWWN = wwnOfFabricOid(identity->structFabSig.structFabricOID);
        const std::string sessionId = oidOf(ObjectType::Fabric, fabricWWN);

        LockGuard model(getObjectStoreMutex());
        if (findObjectUnlocked(sessionId) != nullptr) {
            traceSession("Unable to establish session. Session already open.", method);
            return FABAPI_ERR_SESSION_ALREADY_OPEN;
        }
        std::optional<FabricIdentity> discovered;
        getFabricIdentityRegistry().find(fabricWWN, [&](FabricIdentity* found) {
            if (found != nullptr) {
                discovered.emplace(*found);
            }
        });
        if (!discovered) {
            traceSession("Unable to establish session. Session not previously discovered.", method);
            return FABAPI_ERR_FABRIC_NOT_DISCOVERED;
        }
        // Made first, so that running out of memory leaves no session.
        TrackedRecord<FabAPI_ClientSessionID> record(newSessionIdRecord(sessionId));

        std::unique_ptr<ClientSession> session;
        SessionContext* ctx = nullptr;
        try {
            session = getSessionFactory()->establishSession(*discovered);
            LockGuard device(getSwitchRequestMutex());
            ctx = createSessionContext(session.get());
        } catch (const APIException& failure) {
            return MapApiError(failure.getCode());
        }
        ClientSession* client = session.release(); // the context owns it now
        if (!(WWNAddress(ctx->fabricWWN) == fabricWWN)) {
            destroyContext(ctx);
            return FABAPI_ERR_FABRIC_WWN_MISMATCH;
        }
        StoredObject* fabric = getOrCreateObject(ObjectType::Fabric, fabricWWN);
        const int tree = InitFabricObjectTree(ctx, fabric, sessionId);
        if (tree != 0 && tree != kTreeWithoutLinks) {
            RemoveFabricObjects(sessionId);
            destroyContext(ctx);
            return MapApiError(tree);
        }
        getSessionTable()->add(sessionId.c_str(), client);
        *out = record.release();
        return tree;
    });
}

int Int_FabAPI_GetFabricSignature(FabAPI_ClientSessionID* session, FabAPI_FabricSignature** out) {
    return gatedCall(InitCheck::Required, [&]() -> int {
        if (session == nullptr || session->structSessionID == nullptr || out == nullptr) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        const std::string sessionId = sessionIdOf(session);
        ClientSession* client = getSessionTable()->find(sessionId.c_str());
        if (client == nullptr) {
            return FABAPI_ERR_NO_SUCH_SESSION;
        }
        std::optional<FabricSignature> live;
        try {
            SessionConnectionLoan loan(*client);
            live.emplace(makeFabricSignature(loan.connection()));
        } catch (const APIException& failure) {
            return MapApiError(failure.getCode());
        }
        *out = newSignatureRecord(*live);
        return treeHolds(sessionId, *live) ? FABAPI_OK : FABAPI_WARN_SIGNATURE_DIFFERS;
    });
}

int Int_FabAPI_SyncSession(FabAPI_ClientSessionID* session, FabAPI_FabricSignature** out) {
    return gatedCall(InitCheck::Required, [&]() -> int {
        if (session == nullptr || session->structSessionID == nullptr || out == nullptr) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        const std::string sessionId = sessionIdOf(session);
        // The whole rebuild runs under the object-model lock, then the
        // device-access lock: no query sees the tree half-made.
        LockGuard model(getObjectStoreMutex());
        LockGuard device(getSwitchRequestMutex());
        StoredObject* fabric = findObjectUnlocked(sessionId);
        SessionContext* ctx = contextOf(fabric);
        if (ctx == nullptr) {
            return FABAPI_ERR_NO_SUCH_SESSION;
        }
        std::optional<FabricSignature> fresh;
        try {
            fresh.emplace(ctx);
        } catch (const APIException& failure) {
            return failure.getCode() == kBusy ? FABAPI_ERR_FABRIC_UNREADABLE
                                              : FABAPI_ERR_SESSION_NOT_SYNCHRONIZABLE;
        }
        if (fresh->hasZeroFabricWWN()) {
            return FABAPI_ERR_FABRIC_UNREADABLE;
        }
        if (!sameFabricAndVersion(ctx, *fresh)) {
            return FABAPI_ERR_SESSION_NOT_SYNCHRONIZABLE;
        }
        RemoveFabricSwitchObjects(sessionId);
        const int tree = InitFabricObjectTree(ctx, fabric, sessionId);
        if (tree != 0 && tree != kTreeWithoutLinks) {
            RemoveFabricSwitchObjects(sessionId);
            fabric->setHandleAttr("HDL", ctx);
            return FABAPI_ERR_SESSION_NOT_SYNCHRONIZABLE;
        }
        *out = newSignatureRecord(*fresh);
        int secureMode = 0;
        if (mpsGetSecureMode(ctx, &secureMode) != 0 || secureMode != 1) {
            return FABAPI_OK;
        }
        int confirmed = 0;
        if (mpsQuery2(ctx, &confirmed) != 0) {
            return FABAPI_ERR_SESSION_NOT_SYNCHRONIZABLE;
        }
        return confirmed == 1 ? FABAPI_OK : FABAPI_WARN_SESSION_UNCONFIRMED;
    });
}

int Int_FabAPI_CloseSession(FabAPI_ClientSessionID* session) {
    static constexpr const char method[] = "Int_FabAPI_CloseSession";
    if (!InitializationMgr::isAPIInitialized()) {
        return FABAPI_ERR_NOT_INITIALIZED;
    }
    if (session == nullptr || session->structSessionID == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const SessionTrace trace(method);
    // Copied first: closing frees the record of an older-interface session.
    const std::string sessionId = sessionIdOf(session);
    return exclusiveCall([&]() -> int {
        if (firmwareDownloadRuns()) {
            return FABAPI_ERR_FIRMWARE_DOWNLOAD_IN_PROGRESS;
        }
        LockGuard model(getObjectStoreMutex());
        StoredObject* fabric = findObjectUnlocked(sessionId);
        if (fabric == nullptr) {
            traceSession("Session attempting to close not found.", method);
            return FABAPI_ERR_NO_SUCH_SESSION;
        }
        SessionContext* ctx = contextOf(fabric);
        if (ctx == nullptr) {
            return FABAPI_ERR_NO_SUCH_SESSION;
        }
        closeSessionOf(sessionId, ctx);
        return FABAPI_OK;
    });
}

int Int_FabAPI_CloseSessions() {
    static constexpr const char method[] = "Int_FabAPI_CloseSessions";
    if (!InitializationMgr::isAPIInitialized()) {
        return FABAPI_ERR_NOT_INITIALIZED;
    }
    const SessionTrace trace(method);
    // Exclusive throughout, so that no session opens between the list and
    // the emptying of the store.
    return exclusiveCall([&]() -> int {
        if (getLegacySessionTable()->count() > 0) {
            traceSession("Failed to close sessions. Invalid sessions open.", method);
            return FABAPI_ERR_INVALID_OPEN_SESSIONS;
        }
        if (firmwareDownloadRuns()) {
            return FABAPI_ERR_FIRMWARE_DOWNLOAD_IN_PROGRESS;
        }
        FabAPI_ClientSessionIDList* listed = nullptr;
        const int status = Int_FabAPI_ListSessions(&listed);
        if (status != FABAPI_OK) {
            traceSession("Failed to close sessions. Unable to list session IDs.", method);
            return status;
        }
        const TrackedRecord<FabAPI_ClientSessionIDList> list(listed);
        for (int i = 0; i < listed->count; ++i) {
            const int closed = Int_FabAPI_CloseSession(listed->ids[i]);
            if (closed != FABAPI_OK) {
                traceSession("Failed to a close session.", method);
                return closed;
            }
        }
        eraseMap();
        return FABAPI_OK;
    });
}

int Int_FabAPI_ShutdownFabricAPI() {
    static constexpr const char method[] = "Int_FabAPI_ShutdownFabricAPI";
    if (!InitializationMgr::isAPIInitialized()) {
        return FABAPI_ERR_NOT_INITIALIZED;
    }
    // What closing every session refuses, the shutdown refuses, and the
    // library stays up. Otherwise the shutdown closes the sessions itself
    // once the calls in flight have left, so that calls arriving meanwhile
    // are turned away at once rather than wait behind a close.
    LegacySessionTable* legacy = getLegacySessionTable();
    if (legacy == nullptr) {
        return FABAPI_ERR_NOT_INITIALIZED;
    }
    if (legacy->count() > 0) {
        traceSession("Failed to close sessions. Invalid sessions open.", method);
        return FABAPI_ERR_INVALID_OPEN_SESSIONS;
    }
    if (firmwareDownloadRuns()) {
        return FABAPI_ERR_FIRMWARE_DOWNLOAD_IN_PROGRESS;
    }
    shutdownAPIAndClearProxies();
    return FABAPI_OK;
}

int Int_EstablishFabricSession(const OID_t* fabric, const char* user, const char* password) {
    static constexpr const char method[] = "Int_EstablishFabricSession";
    return gatedCall(InitCheck::Required, [&]() -> int {
        if (fabric == nullptr || user == nullptr || password == nullptr || !isFabricOid(*fabric)) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        const SessionTrace trace(method);
        const WWNAddress fabricWWN = wwnOfFabricOid(*fabric);
        bool discovered = false;
        getFabricIdentityRegistry().find(fabricWWN, [&](FabricIdentity* identity) {
            if (identity != nullptr) {
                identity->setCredentials(user, password);
                discovered = true;
            }
        });
        if (!discovered) {
            traceSession("Unable to establish session. Session not previously discovered.", method);
            return FABAPI_ERR_FABRIC_NOT_DISCOVERED;
        }
        FabAPI_FabricIdentity request{};
        formatOidBuffer(fabricWWN, request.structFabSig.structFabricOID, ObjectType::Fabric);
        FabAPI_ClientSessionID* record = nullptr;
        const int status = Int_FabAPI_EstablishSession(&request, &record);
        if (status != FABAPI_OK && status != kTreeWithoutLinks) {
            return status;
        }
        getLegacySessionTable()->add(record->structSessionID, record);
        return FABAPI_OK;
    });
}

int Int_CloseFabricSession(const OID_t* fabric) {
    if (!InitializationMgr::isAPIInitialized()) {
        return FABAPI_ERR_NOT_INITIALIZED;
    }
    if (fabric == nullptr) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    const SessionTrace trace("Int_CloseFabricSession");
    const std::string sessionId = oidText(*fabric);
    // Exclusive, so that no other close frees the record meanwhile; closing
    // takes the record out of the table and frees it.
    return exclusiveCall([&]() -> int {
        FabAPI_ClientSessionID* record = getLegacySessionTable()->find(sessionId.c_str());
        if (record == nullptr) {
            return FABAPI_ERR_NO_SUCH_SESSION;
        }
        return Int_FabAPI_CloseSession(record);
    });
}

int Int_CloseFabricSessions() {
    static constexpr const char method[] = "Int_CloseFabricSessions";
    if (!InitializationMgr::isAPIInitialized()) {
        return FABAPI_ERR_NOT_INITIALIZED;
    }
    const SessionTrace trace(method);
    if (firmwareDownloadRuns()) {
        return FABAPI_ERR_FIRMWARE_DOWNLOAD_IN_PROGRESS;
    }
    const int closed = exclusiveCall([&]() -> int {
        LegacySessionTable* legacy = getLegacySessionTable();
        if (legacy->count() != getSessionTable()->count()) {
            traceSession("Attempting to close invalid open sessions.", method);
            return FABAPI_ERR_INVALID_OPEN_SESSIONS;
        }
        for (const std::string& sessionId : legacy->identifiers()) {
            OID_t fabric = {};
            CopyName48(fabric, sessionId.c_str());
            const int status = Int_CloseFabricSession(&fabric);
            if (status != FABAPI_OK) {
                return status;
            }
        }
        eraseMap();
        resetObjectCounters();
        return FABAPI_OK;
    });
    if (closed != FABAPI_OK) {
        return closed;
    }
    InitializationMgr::shutdownAPI(false);
    return FABAPI_OK;
}

// ---------------------------------------------------------------------------
// Exports

int FabAPI_EstablishSession(FabAPI_FabricIdentity* identity, FabAPI_ClientSessionID** out) {
    return runExport(
        "FabAPI_EstablishSession", [&] { return Int_FabAPI_EstablishSession(identity, out); },
        kSourceFile);
}

int FabAPI_GetFabricSignature(FabAPI_ClientSessionID* session, FabAPI_FabricSignature** out) {
    return runExport(
        "FabAPI_GetFabricSignature", [&] { return Int_FabAPI_GetFabricSignature(session, out); },
        kSourceFile);
}

int FabAPI_SyncSession(FabAPI_ClientSessionID* session, FabAPI_FabricSignature** out) {
    return runExport(
        "FabAPI_SyncSession", [&] { return Int_FabAPI_SyncSession(session, out); }, kSourceFile);
}

int FabAPI_CloseSession(FabAPI_ClientSessionID* session) {
    return runExport(
        "FabAPI_CloseSession", [&] { return Int_FabAPI_CloseSession(session); }, kSourceFile);
}

int FabAPI_CloseSessions(void) {
    return runExport(
        "FabAPI_CloseSessions", [] { return Int_FabAPI_CloseSessions(); }, kSourceFile);
}

int FabAPI_ShutdownFabricAPI(void) {
    return runExport(
        "FabAPI_ShutdownFabricAPI", [] { return Int_FabAPI_ShutdownFabricAPI(); }, kSourceFile);
}

int EstablishFabricSession(const OID_t* fabric, const char* user, const char* password) {
    return runExport(
        "EstablishFabricSession",
        [&] { return Int_EstablishFabricSession(fabric, user, password); }, kSourceFile);
}

int CloseFabricSession(const OID_t* fabric) {
    return runExport(
        "CloseFabricSession", [&] { return Int_CloseFabricSession(fabric); }, kSourceFile);
}

int CloseFabricSessions(void) {
    return runExport(
        "CloseFabricSessions", [] { return Int_CloseFabricSessions(); }, kSourceFile);
}
