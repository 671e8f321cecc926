// The zoning access's view of the object store: the proxy switch version
// that an object's stored fabric carries. Start-up installs it.
#pragma once

#include "objects/ZoningFabricHooks.h"

class StoredFabricVersion : public ZoningFabricHooks {
public:
    // The "ProxySwitchVersion" of the fabric of the object stored under
    // `oid`; nothing when there is none, or when the object tree cannot be
    // read without inverting the lock order (objects/ObjectTreeRead.h).
    std::optional<std::string> proxySwitchVersion(const std::string& oid) override;
};

// Installs the process-wide StoredFabricVersion (idempotent).
void installStoredFabricVersion();
