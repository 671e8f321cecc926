#include "composition/InitializationMgr.h"

#include "adapters/http/HTTPConnectionFactory.h"
#include "api/ApiState.h"
#include "api/ClientSessionHooks.h"
#include "api/FabricRecheck.h"
#include "api/ObjectStore.h"
#include "api/ProxyEntryList.h"
#include "composition/SessionClosing.h"
#include "connection/CertMgr.h"
#include "connection/Connection_Mgr_Impl_Std.h"
#include "connection/Fabric_Connection_Factory_Impl_RPC.h"
#include "connection/ProtocolKey.h"
#include "connection/SecurityMgr_Impl_Basic.h"
#include "editing/ObjectCreation.h"
#include "editing/SwitchAttributeChanges.h"
#include "editing/SwitchGroupEdits.h"
#include "editing/ZoneCreation.h"
#include "editing/ZoningTransaction.h"
#include "foundation/LockGuard.h"
#include "foundation/Logging.h"
#include "foundation/Mutex.h"
#include "foundation/ShutdownLock.h"
#include "objects/FabricTreeReader.h"
#include "objects/InventoryClasses.h"
#include "objects/IslClasses.h"
#include "objects/PortObjects.h"
#include "objects/RouteTable.h"
#include "objects/StoredFabricVersion.h"
#include "objects/ThrexMngr.h"
#include "platform/voskrpc.h"
#include "services/ConfigManager.h"
#include "services/EventManager.h"
#include "services/SecurityObjects.h"
#include "zoning/SessionZoningCache.h"
#include "zoning/ZoningCapabilities.h"

namespace {

constexpr int kConnectionsPerProxy = 5;
constexpr int kBasicSecurity = 1;

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

} // namespace

void InitializationMgr::initializeAPI(bool clearProxyList) {
    static constexpr const char method[] = "InitializationMgr::initializeAPI()";
    traceState("Attempting to intialize Orvane API", method);
    LockGuard guard(&startupLock());
    if (isAPIInitialized()) {
        traceState("Orvane API already intialized", method);
        return;
    }
    traceState("Initializing Orvane API", method);
    // The request layer and the zoning access reach the sessions and the
    // object tree through these.
    installClientSessionHooks();
    installFabricRecheckHooks();
    installFabricTreeReader();
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
    installSwitchGroupAndPolicyEdits();
    installObjectCreationAndDeletion();
    installZoningCreators();
    installSwitchAttributeChanges();
    createSessionTables();
    createFabricDiscoveryMgr();
    rpc_nt_init();
    createConnectionManager(kConnectionsPerProxy,
                            {{rpcProtocolKey(), Fabric_Connection_Factory_Impl_RPC::instance()},
                             {httpProtocolKey(), getHTTPConnectionFactory()}});
    createSecurityManager(kBasicSecurity);
    createCertificateManager();
    createSessionFactory();
    EventManager::initEventMgr();
    createThrexMngr();
    ConfigManager::initConfigMgr();
    setAPIInitialized(true);
    if (clearProxyList) {
        getProxyEntryList().clear();
    }
    traceState("Orvane API initialized", method);
}

void InitializationMgr::shutdownAPI(bool clearProxyList) {
    static constexpr const char method[] = "InitializationMgr::shutdownAPI()";
    traceState("Attempting to shut down Orvane API", method);
    LockGuard guard(&shutdownLock());
    if (!isAPIInitialized()) {
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
    destroySessionFactory();
    deleteCertificateManager();
    deleteSecurityManager();
    deleteConnectionManager();
    rpc_nt_exit();
    if (clearProxyList) {
        getProxyEntryList().clear();
    }
    destroyFabricDiscoveryMgr();
    destroyThrexMngr();
    ConfigManager::dispose();
    destroySessionTables();
    setAPIInitialized(false);
    EndShutdown();
    traceState("Orvane API shut down", method);
}

bool InitializationMgr::isAPIInitialized() {
    return ::isAPIInitialized();
}

void shutdownAPIAndClearProxies() {
    InitializationMgr::shutdownAPI(true);
}
