// The implementations behind the session and signature exports that reach
// the object tree or the services (the others are in api/hapi_sessions),
// and the shutdown export. Each export runs its Int_ function inside the export
// frame (api/ExportFrame.h).
#pragma once

#include <orvane/fabapi.h>

int Int_FabAPI_EstablishSession(FabAPI_FabricIdentity* identity, FabAPI_ClientSessionID** out);
int Int_FabAPI_GetFabricSignature(FabAPI_ClientSessionID* session, FabAPI_FabricSignature** out);
int Int_FabAPI_SyncSession(FabAPI_ClientSessionID* session, FabAPI_FabricSignature** out);
int Int_FabAPI_CloseSession(FabAPI_ClientSessionID* session);
int Int_FabAPI_CloseSessions();
int Int_FabAPI_ShutdownFabricAPI();
int Int_EstablishFabricSession(const OID_t* fabric, const char* user, const char* password);
int Int_CloseFabricSession(const OID_t* fabric);
int Int_CloseFabricSessions();
