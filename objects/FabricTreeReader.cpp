#include "objects/FabricTreeReader.h"

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTreeRead.h"
#include "objects/ObjectTypes.h"

std::optional<std::vector<std::string>> FabricTreeReader::fabricSwitches(const std::string& oid) {
    std::optional<std::vector<std::string>> switches;
    readObjectTree([&] {
        if (const StoredObject* fabric = GetFabricEntryOfObject(oid)) {
            switches.emplace();
            fabric->getRelations("setSwitch", *switches);
        }
    });
    return switches;
}

std::optional<unsigned short> FabricTreeReader::storedFabricLevel(const WWNAddress& fabricWWN) {
    std::string fabricOid;
    formatOidString(ObjectType::Fabric, fabricWWN, fabricOid);
    std::optional<unsigned short> stored;
    readObjectTree([&] {
        unsigned short level = 0;
        const StoredObject* fabric = findObject(fabricOid);
        if (fabric != nullptr && fabric->getShortAttr("fabVersion", level)) {
            stored = level;
        }
    });
    return stored;
}

void installFabricTreeReader() {
    static FabricTreeReader reader;
    installFabricTreeReads(&reader);
}
