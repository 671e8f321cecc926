// The implementations behind the exports that start the library:
// FabAPI_InitializeFabricAPI, InitializeFabricAccess and
// GetFabricIdentities. Each export runs its Int_ function inside the export
// frame (api/ExportFrame.h).
#pragma once

#include <orvane/fabapi.h>

int Int_FabAPI_InitializeFabricAPI(FabAPI_ConfigEntry* config);
int Int_InitializeFabricAccess(char** addresses);
int Int_GetFabricIdentities(FabricIdentitiesType** out);
