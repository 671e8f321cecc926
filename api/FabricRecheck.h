// The fabric re-check after a failed switch request: a live signature of
// the fabric compared with the session's object tree turns the failure into
// a more telling code. The request layer reaches it through its recovery
// hooks, which start-up installs.
//
// The object tree is read through the reader that the objects floor
// installs at start-up (api/FabricTreeReads.h), under the object-model
// lock. A thread that holds the device-access lock without the object-model
// lock may not wait for it (that would invert the lock order): it only
// tries the lock, and when another thread holds it the request's status
// stands as if the fabric had no stored object.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "connection/RecoveryHooks.h"

class FabricSignature;
struct SessionContext;

// What became of the fabric of the session: 1 it could not be read (the
// failure stands), 2 it still has every stored switch, 3 a stored switch
// left and the fabric is otherwise the same, 4 a stored switch is missing
// and the fabric's name or level changed, 5 the fabric cannot be read any
// more (connection code -86 or an all-zero fabric name).
int classifyFabricChange(SessionContext* ctx, const std::vector<std::string>& storedSwitches);

// 0 for status 0; otherwise -94 (class 3), -95 (4), -209 (5) or `status`
// (1 and 2). Never throws. A re-check that a re-check's own requests start
// returns `status` at once.
int recheckFabricAfterError(SessionContext* ctx, const std::vector<std::string>& storedSwitches,
                            int status);

// Whether the signature names the session's fabric (the name read when the
// session opened) at the level stored as its "fabVersion".
bool sameFabricAndVersion(SessionContext* ctx, const FabricSignature& signature);

class FabricRecheckHooks : public RecoveryHooks {
public:
    std::optional<std::vector<std::string>> fabricSwitches(const std::string& fabricOid) override;
    int recheckFabricAfterError(SessionContext* ctx, const std::vector<std::string>& switches,
                                int mappedCode) override;
};

// Installs the process-wide FabricRecheckHooks (idempotent).
void installFabricRecheckHooks();
