#include "yarllite/HardenedEntityResolver.h"

xercesc::InputSource* HardenedEntityResolver::resolveEntity(xercesc::XMLResourceIdentifier*) {
    // With default resolution disabled, no source means "cannot be opened".
    return nullptr;
}
