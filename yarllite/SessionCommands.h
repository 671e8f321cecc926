// Handlers of the start-up, discovery and session commands: each calls the
// exported function of the same name and returns its status, or -3 for a
// request that lacks what the export needs.
#pragma once

#include "yarllite/CommandContext.h"

// "InitializeFabricAccess": the `value` attribute of every IPAddress element
// as the proxy address list, or no list (the address file) when there is
// none.
int YarlInitializeFabricAccess(CommandContext& context);
// "GetFabricIdentities": one FabricReference element per fabric, with the
// fabric's identifier and the first address of its proxy switches.
int YarlGetFabricIdentities(CommandContext& context);
// "EstablishFabricSession": logs in to the fabric named by the first
// ObjectReference text with the name and password of the first Login
// element, then records on the fabric's stored object whether it worked.
int YarlEstablishFabricSession(CommandContext& context);
// "CloseFabricSession": closes the session of the fabric named by the first
// ObjectReference element (none names no fabric).
int YarlCloseFabricSession(CommandContext& context);
// "CloseFabricSessions": closes every session of EstablishFabricSession and
// shuts fabric access down.
int YarlCloseFabricSessions(CommandContext& context);
