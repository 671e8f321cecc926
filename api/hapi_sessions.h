// The implementations behind the session and signature exports that need
// only the api's own state (the others are in composition/hapi_internal).
// Each export runs its Int_ function inside the export frame
// (api/ExportFrame.h).
#pragma once

#include <string>

#include <orvane/fabapi.h>

int Int_FabAPI_CompareFabricSignatures(FabAPI_FabricSignature* first,
                                       FabAPI_FabricSignature* second, int* result);
int Int_FabAPI_ListSessions(FabAPI_ClientSessionIDList** out);
int Int_FabAPI_GetFabricOidFromSession(FabAPI_ClientSessionID* session, char* fabricOid);

// A session identifier record of the caller-block registry holding
// `sessionId` in a 48-character buffer; throws bad_alloc.
FabAPI_ClientSessionID* newSessionIdRecord(const std::string& sessionId);
