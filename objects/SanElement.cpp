#include "objects/SanElement.h"

namespace {

// What BuildObject gives for a class that fetches nothing.
constexpr int kNotBuildable = -36;

} // namespace

int SanElement::BuildObject(const OID_t, void**) {
    return kNotBuildable;
}

int SanElement::CreateZCapsObject(StoredObject*) {
    return 0;
}

int SanElement::CreateActiveZoneDB(StoredObject*) {
    return 0;
}

int SanElement::CreateFullZoneDB(StoredObject*) {
    return 0;
}

int SanElement::CreateSecurityObjects(StoredObject*) {
    return 0;
}
