// The implementations behind the proxy, discovery and tracing exports (the
// start-up exports are in composition/hapi_startup, the shutdown export is
// with the session exports). Each export runs its Int_ function inside the
// export frame (api/ExportFrame.h).
#pragma once

#include <orvane/fabapi.h>

int Int_FabAPI_AppendProxyEntry(FabAPI_ProxyEntry* entry);
int Int_FabAPI_RemoveProxyEntry(FabAPI_ProxyEntry* entry);
int Int_FabAPI_ListProxyEntries(FabAPI_ProxyEntryList** out);
int Int_FabAPI_DiscoverFabrics(FabAPI_FabricDiscoveryInfo** out);
int Int_FabAPI_StartTracing(FabAPI_TraceID* traceId, const char* fileName);
int Int_FabAPI_StopTracing(FabAPI_TraceID* traceId);
int Int_FabAPI_Trace(FabAPI_TraceID* traceId, const char* message);

// What GetFabricIdentities returns once the library is up, for a non-null
// `out`: -12 for an empty proxy list; else discovers the proxy list's
// fabrics (-216 when shutdown cut discovery short) and stores in `*out` a
// table with one row per fabric: 0, or -4 when the table is empty. Throws
// bad_alloc when memory runs out. The caller holds the shutdown gate in
// shared mode.
int collectFabricIdentities(FabricIdentitiesType** out);
