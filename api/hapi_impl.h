// The implementations behind the start-up, proxy, discovery and tracing
// exports (the shutdown export is with the session exports). Each export runs its Int_ function
// inside the export frame (api/ExportFrame.h).
#pragma once

#include <orvane/fabapi.h>

int Int_FabAPI_InitializeFabricAPI(FabAPI_ConfigEntry* config);
int Int_FabAPI_AppendProxyEntry(FabAPI_ProxyEntry* entry);
int Int_FabAPI_RemoveProxyEntry(FabAPI_ProxyEntry* entry);
int Int_FabAPI_ListProxyEntries(FabAPI_ProxyEntryList** out);
int Int_FabAPI_DiscoverFabrics(FabAPI_FabricDiscoveryInfo** out);
int Int_InitializeFabricAccess(char** addresses);
int Int_GetFabricIdentities(FabricIdentitiesType** out);
int Int_FabAPI_StartTracing(FabAPI_TraceID* traceId, const char* fileName);
int Int_FabAPI_StopTracing(FabAPI_TraceID* traceId);
int Int_FabAPI_Trace(FabAPI_TraceID* traceId, const char* message);
