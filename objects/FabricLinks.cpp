#include "objects/FabricLinks.h"

#include <string>

#include "api/StoredObject.h"
#include "objects/IslClasses.h"

int loadFabricIsls(SessionContext*, StoredObject* fabric) {
    std::string oid;
    if (fabric == nullptr || !fabric->getStringAttr("OID", oid)) {
        return -12;
    }
    return loadFabricIsls(oid);
}
