#include "objects/StoredFabricVersion.h"

#include "api/ObjectStore.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTreeRead.h"

std::optional<std::string> StoredFabricVersion::proxySwitchVersion(const std::string& oid) {
    std::optional<std::string> version;
    readObjectTree([&] {
        const StoredObject* fabric = GetFabricEntryOfObject(oid);
        std::string text;
        if (fabric != nullptr && fabric->getStringAttr("ProxySwitchVersion", text)) {
            version = text;
        }
    });
    return version;
}

void installStoredFabricVersion() {
    static StoredFabricVersion hooks;
    installZoningFabricHooks(&hooks);
}
