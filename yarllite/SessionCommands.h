// Handlers of the start-up and discovery commands: each calls the exported
// function of the same name and returns its status.
#pragma once

#include "yarllite/CommandContext.h"

// "InitializeFabricAccess": the `value` attribute of every IPAddress element
// as the proxy address list, or no list (the address file) when there is
// none.
int YarlInitializeFabricAccess(CommandContext& context);
// "GetFabricIdentities": one FabricReference element per fabric, with the
// fabric's identifier and the first address of its proxy switches.
int YarlGetFabricIdentities(CommandContext& context);
