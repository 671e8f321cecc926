// Handlers of the "FabAPI_" commands: each drives the export of the same
// name through the request's records (elements whose attributes carry the
// exported record's fields) and writes its own faults (appendFault); the
// front end adds none. Every value written is escaped; passwords are
// written as ********.
#pragma once

#include "yarllite/CommandContext.h"

// Start-up and shut-down.
int YarlInitializeFabricAPI(CommandContext& context);
int YarlShutdownFabricAPI(CommandContext& context);
// The proxy list: each FabAPI_ProxyEntry element in turn; a refused entry
// writes a failure element holding its fault, and the command's status is
// that of the last refused entry.
int YarlAppendProxyEntry(CommandContext& context);
int YarlRemoveProxyEntry(CommandContext& context);
int YarlEnumerateProxyEntries(CommandContext& context);
// Discovery: the fabrics, the unreachable and the unstable proxy entries.
int YarlDiscoverReachableFabrics(CommandContext& context);
// Sessions.
int YarlEstablishSession(CommandContext& context);
int YarlGetFabricSignature(CommandContext& context);
int YarlSyncSession(CommandContext& context);
int YarlEnumerateSessions(CommandContext& context);
int YarlCloseSession(CommandContext& context);
int YarlCloseSessions(CommandContext& context);
int YarlCompareFabricSignatures(CommandContext& context);
int YarlGetFabricOidFromSession(CommandContext& context);
// Tracing.
int YarlStartTracing(CommandContext& context);
int YarlStopTracing(CommandContext& context);
int YarlTrace(CommandContext& context);
