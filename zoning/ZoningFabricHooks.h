// What zoning access asks of the object model: the firmware version text
// that the stored fabric of an object carries, and the fabric handle of a
// stored object. The object model installs its implementation
// process-wide; the default knows no stored fabric.
#pragma once

#include <optional>
#include <string>

class StoredObject;

class ZoningFabricHooks {
public:
    virtual ~ZoningFabricHooks() = default;

    // GetFabricEntryOfObject on `oid`, then the fabric's text attribute
    // "ProxySwitchVersion"; nothing when the fabric is not stored or has
    // no such attribute.
    virtual std::optional<std::string> proxySwitchVersion(const std::string& oid);
    // GetFabricHandleOfObject: 0 with the "HDL" (the session context) of
    // the object's fabric, or the negative code of the link that is missing;
    // -3 here.
    virtual int fabricHandleOfObject(StoredObject* object, void*& handle);
};

// The installed hooks (a default without stored fabrics until then).
ZoningFabricHooks& zoningFabricHooks();
// Installs `hooks` (not owned); null restores the default. Returns the
// previous hooks.
ZoningFabricHooks* installZoningFabricHooks(ZoningFabricHooks* hooks);
