// What the error recovery of the request layer calls upward: the object
// store's fabric entry and the fabric re-check after an error. The object
// store and the fabric signatures install their implementation
// process-wide; the default knows no stored fabric, so every status comes
// back unchanged.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct SessionContext;

class RecoveryHooks {
public:
    virtual ~RecoveryHooks() = default;

    // GetFabricEntryOfObject on the fabric identifier, then the identifiers
    // of the stored fabric's "setSwitch" set in their sorted order; nothing
    // when the fabric has no stored object.
    virtual std::optional<std::vector<std::string>> fabricSwitches(const std::string& fabricOid);
    // recheckFabricAfterError: re-reads the fabric and decides the code the
    // caller sees.
    virtual int recheckFabricAfterError(SessionContext* ctx,
                                        const std::vector<std::string>& switches, int mappedCode);
};

// The installed hooks (a default without stored fabrics until then).
RecoveryHooks& recoveryHooks();
// Installs `hooks` (not owned); null restores the default. Returns the
// previous hooks.
RecoveryHooks* installRecoveryHooks(RecoveryHooks* hooks);
