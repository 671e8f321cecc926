// The api's process-wide state that start-up builds and shutdown tears
// down: the initialised flag and the managers of sessions and discovery.
// Start-up and shutdown (composition/InitializationMgr) drive it; every
// floor above the api reads it.
#pragma once

#include "api/SessionTable.h"

class FabricDiscoveryMgr;
class SessionFactory;

// The initialised flag: false at load, set by the last step of start-up and
// cleared by a late step of shutdown.
bool isAPIInitialized();
void setAPIInitialized(bool initialized);

// The managers that start-up makes; null while the library is not
// initialised.
SessionTable* getSessionTable();
LegacySessionTable* getLegacySessionTable();
FabricDiscoveryMgr* getFabricDiscoveryMgr();
SessionFactory* getSessionFactory();

// Start-up's and shutdown's steps for those managers. Each create publishes
// a new manager and deletes any left from before; each destroy deletes the
// manager and publishes null.
void createSessionTables();  // the legacy session table, then the session table
void destroySessionTables(); // the session table, then the legacy session table
void createFabricDiscoveryMgr();
void destroyFabricDiscoveryMgr();
void createSessionFactory();
void destroySessionFactory();
