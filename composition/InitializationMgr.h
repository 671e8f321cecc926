// Start-up and shutdown of the library: creates every process-wide manager
// of every subsystem in a fixed order, installs the hooks through which the
// lower floors call up, and deletes the managers again once no call is in
// flight. The api's own state (the initialised flag and its managers) is in
// api/ApiState.h.
#pragma once

class InitializationMgr {
public:
    // Creates the managers unless the library is initialised already;
    // `clearProxyList` also empties the proxy list. Callers hold the
    // shutdown gate in shared mode.
    static void initializeAPI(bool clearProxyList);
    // Turns new calls away, waits until no call is in flight, stops the
    // library's threads, closes the sessions still open, empties the object
    // store and deletes the managers; `clearProxyList` also empties the
    // proxy list.
    static void shutdownAPI(bool clearProxyList);
    // The initialised flag (isAPIInitialized of api/ApiState.h).
    static bool isAPIInitialized();
};

// shutdownAPI(true), for FabAPI_ShutdownFabricAPI.
void shutdownAPIAndClearProxies();
