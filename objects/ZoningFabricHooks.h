// What zoning access asks of the object store: the firmware version text
// that the stored fabric of an object carries. StoredFabricVersion, beside
// it, is the implementation start-up installs process-wide; tests install
// their own. The default knows no stored fabric.
#pragma once

#include <optional>
#include <string>

class ZoningFabricHooks {
public:
    virtual ~ZoningFabricHooks() = default;

    // GetFabricEntryOfObject on `oid`, then the fabric's text attribute
    // "ProxySwitchVersion"; nothing when the fabric is not stored or has
    // no such attribute.
    virtual std::optional<std::string> proxySwitchVersion(const std::string& oid);
};

// The installed hooks (a default without stored fabrics until then).
ZoningFabricHooks& zoningFabricHooks();
// Installs `hooks` (not owned); null restores the default. Returns the
// previous hooks.
ZoningFabricHooks* installZoningFabricHooks(ZoningFabricHooks* hooks);
