#include "api/InitializationMgr.h"

#include <atomic>

#include "adapters/http/HTTPConnectionFactory.h"
#include "api/ClientSessionHooks.h"
#include "api/FabricDiscoveryMgr.h"
#include "api/FabricRecheck.h"
#include "api/ObjectStore.h"
#include "api/ProxyEntryList.h"
#include "api/SessionClosing.h"
#include "api/SessionFactory.h"
#include "connection/CertMgr.h"
#include "connection/Connection_Mgr_Impl_Std.h"
#include "connection/Fabric_Connection_Factory_Impl_RPC.h"
#include "connection/ProtocolKey.h"
#include "connection/SecurityMgr_Impl_Basic.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/Mutex.h"
#include "foundation/ShutdownLock.h"
#include "objects/PortObjects.h"
#include "objects/StoredFabricVersion.h"
#include "objects/ThrexMngr.h"
#include "platform/voskrpc.h"
#include "services/ConfigManager.h"
#include "services/EventManager.h"
#include "zoning/SessionZoningCache.h"
#include "zoning/ZoningCapabilities.h"
#include "objects/IslClasses.h"
#include "services/SecurityObjects.h"
#include "objects/RouteTable.h"
#include "objects/InventoryClasses.h"
#include "editing/ZoningTransaction.h"
#include "editing/ObjectCreation.h"
#include "editing/ZoneCreation.h"

namespace {

constexpr int kConnectionsPerProxy = 5;
constexpr int kBasicSecurity = 1;

std::atomic<bool> apiInitialized{false};
std::atomic<LegacySessionTable*> legacySessionTable{nullptr};
std::atomic<SessionTable*> sessionTable{nullptr};
std::atomic<FabricDiscoveryMgr*> discoveryMgr{nullptr};
std::atomic<SessionFactory*> sessionFactory{nullptr};

// Two first calls may race to start the library, and two shutdowns to stop
// it: each of these locks lets one of a kind run at a time.
Mutex& startupLock() {
    static Mutex lock("InitializationMgr start-up");
    return lock;
}

Mutex& shutdownLock() {
    static Mutex lock("InitializationMgr shutdown");
    return lock;
}

void traceState(const char* message, const char* method) {
    logTrace(Vosk_API_State, message, QuillonString(method), "", QuillonString("InitializationMgr"),
             -1);
}

// Makes the manager and publishes it, deleting any left from before.
template <class T> void create(std::atomic<T*>& slot) {
    delete slot.exchange(new T);
}

template <class T> void destroy(std::atomic<T*>& slot) {
    delete slot.exchange(nullptr);
}

} // namespace

void InitializationMgr::initializeAPI(bool clearProxyList) {
    static constexpr const char method[] = "InitializationMgr::initializeAPI()";
    traceState("Attempting to intialize Orvane API", method);
    LockGuard guard(&startupLock());
    if (apiInitialized) {
        traceState("Orvane API already intialized", method);
        return;
    }
    traceState("Initializing Orvane API", method);
    // The request layer and the zoning access reach the sessions and the
    // object tree through these.
    installClientSessionHooks();
    installFabricRecheckHooks();
    installStoredFabricVersion();
    installSessionZoningCache();
    installZoningTransaction();
    installSecurityObjects();
    installThresholds();
    installRoutes();
    installPortObjects();
    installZoningObjects();
    installIslClasses();
    installInventoryObjects();
    installObjectCreationAndDeletion();
    installZoningCreators();
    create(legacySessionTable);
    create(sessionTable);
    create(discoveryMgr);
    rpc_nt_init();
    createConnectionManager(kConnectionsPerProxy,
                            {{rpcProtocolKey(), Fabric_Connection_Factory_Impl_RPC::instance()},
                             {httpProtocolKey(), getHTTPConnectionFactory()}});
    createSecurityManager(kBasicSecurity);
    createCertificateManager();
    create(sessionFactory);
    EventManager::initEventMgr();
    createThrexMngr();
    ConfigManager::initConfigMgr();
    apiInitialized = true;
    if (clearProxyList) {
        getProxyEntryList().clear();
    }
    traceState("Orvane API initialized", method);
}

void InitializationMgr::shutdownAPI(bool clearProxyList) {
    static constexpr const char method[] = "InitializationMgr::shutdownAPI()";
    traceState("Attempting to shut down Orvane API", method);
    LockGuard guard(&shutdownLock());
    if (!apiInitialized) {
        traceState("Orvane API already shut down", method);
        return;
    }
    traceState("Shutting down Orvane API", method);
    BeginShutdown();
    // What the sessions started stops before what they use goes: first the
    // event threads, which use the sessions' connections, then the sessions
    // still open, whose connections and pools the connection manager holds,
    // and with them the object store.
    EventManager::dispose();
    closeSessionsLeftOpen();
    eraseMap();
    destroy(sessionFactory);
    deleteCertificateManager();
    deleteSecurityManager();
    deleteConnectionManager();
    rpc_nt_exit();
    if (clearProxyList) {
        getProxyEntryList().clear();
    }
    destroy(discoveryMgr);
    destroyThrexMngr();
    ConfigManager::dispose();
    destroy(sessionTable);
    destroy(legacySessionTable);
    apiInitialized = false;
    EndShutdown();
    traceState("Orvane API shut down", method);
}

bool InitializationMgr::isAPIInitialized() {
    return apiInitialized;
}

void shutdownAPIAndClearProxies() {
    InitializationMgr::shutdownAPI(true);
}

SessionTable* getSessionTable() {
    return sessionTable;
}

LegacySessionTable* getLegacySessionTable() {
    return legacySessionTable;
}

FabricDiscoveryMgr* getFabricDiscoveryMgr() {
    return discoveryMgr;
}

SessionFactory* getSessionFactory() {
    return sessionFactory;
}
