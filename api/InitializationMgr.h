// Start-up and shutdown of the library: creates every process-wide manager
// in a fixed order and deletes them again once no call is in flight.
#pragma once

#include "api/SessionTable.h"

class FabricDiscoveryMgr;
class SessionFactory;

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
    static bool isAPIInitialized();
};

// shutdownAPI(true), for FabAPI_ShutdownFabricAPI.
void shutdownAPIAndClearProxies();

// The managers that start-up makes; null while the library is not
// initialised.
SessionTable* getSessionTable();
LegacySessionTable* getLegacySessionTable();
FabricDiscoveryMgr* getFabricDiscoveryMgr();
SessionFactory* getSessionFactory();
