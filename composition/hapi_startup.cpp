// The start-up exports and their implementations. Their trace records name
// "hapi_impl" as their source module, as the other start-up and proxy
// exports do.
#include "composition/hapi_startup.h"

#include "api/ApiState.h"
#include "api/ExportFrame.h"
#include "api/ProxyEntryList.h"
#include "api/hapi_impl.h"
#include "composition/InitializationMgr.h"

// ---------------------------------------------------------------------------
// Implementations

int Int_FabAPI_InitializeFabricAPI(FabAPI_ConfigEntry*) {
    if (isAPIInitialized()) {
        return FABAPI_ERR_ALREADY_INITIALIZED;
    }
    return gatedCall(InitCheck::NotRequired, [] {
        if (isAPIInitialized()) {
            return FABAPI_ERR_ALREADY_INITIALIZED;
        }
        InitializationMgr::initializeAPI(true);
        return FABAPI_OK;
    });
}

int Int_InitializeFabricAccess(char** addresses) {
    return gatedCall(InitCheck::NotRequired, [addresses] {
        if (addresses != nullptr) {
            // The caller's texts are checked before the library starts; the
            // list outlives start-up, so it may be filled first.
            if (getProxyEntryList().fillFromAddresses(addresses) != 0) {
                return FABAPI_ERR_BAD_ARGUMENT;
            }
            InitializationMgr::initializeAPI(false);
            return FABAPI_OK;
        }
        InitializationMgr::initializeAPI(false);
        return getProxyEntryList().fillFromConfigFile() == 0 ? FABAPI_OK : FABAPI_ERR_BAD_ARGUMENT;
    });
}

int Int_GetFabricIdentities(FabricIdentitiesType** out) {
    return gatedCall(InitCheck::NotRequired, [out]() -> int {
        if (out == nullptr) {
            return FABAPI_ERR_BAD_ARGUMENT;
        }
        InitializationMgr::initializeAPI(false);
        return collectFabricIdentities(out);
    });
}

// ---------------------------------------------------------------------------
// Exports

int FabAPI_InitializeFabricAPI(FabAPI_ConfigEntry* config) {
    return runExport("FabAPI_InitializeFabricAPI",
                     [&] { return Int_FabAPI_InitializeFabricAPI(config); });
}

int InitializeFabricAccess(char** addresses) {
    return runExport("InitializeFabricAccess",
                     [&] { return Int_InitializeFabricAccess(addresses); });
}

int GetFabricIdentities(FabricIdentitiesType** out) {
    return runExport("GetFabricIdentities", [&] { return Int_GetFabricIdentities(out); });
}
