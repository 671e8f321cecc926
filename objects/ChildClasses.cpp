#include "objects/ChildClasses.h"

#include <array>
#include <atomic>
#include <string>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/ObjectTypes.h"
#include "objects/SanElement.h"

namespace {

std::array<std::atomic<ChildClassMaker>, static_cast<std::size_t>(ChildClass::Count)> makers{};

int linkZoningCapabilities(StoredObject* fabric, int) {
    if (fabric == nullptr) {
        return -3;
    }
    const std::optional<WWNAddress> wwn = fabric->getWwnAttr("WWN");
    if (!wwn) {
        return -12;
    }
    StoredObject* capabilities = getOrCreateObject(ObjectType::ZoningCapabilities, *wwn);
    capabilities->addRelatedObject("setParent", fabric);
    fabric->addRelatedObject("setZoningCapabilities", capabilities);
    return 0;
}

int noPlatforms(SessionContext*, StoredObject*) {
    return 0;
}

std::atomic<ZoningCapabilitiesCreator> zoningCreator{linkZoningCapabilities};
std::atomic<PlatformLoader> platformLoader{noPlatforms};

} // namespace

ChildClassMaker setChildClassMaker(ChildClass kind, ChildClassMaker maker) {
    return makers[static_cast<std::size_t>(kind)].exchange(maker);
}

void attachChildClass(StoredObject* object, ChildClass kind, int level, int secondary,
                      bool replace) {
    if (object == nullptr || (!replace && object->getElement() != nullptr)) {
        return;
    }
    const ChildClassMaker maker = makers[static_cast<std::size_t>(kind)].load();
    if (maker == nullptr) {
        return;
    }
    if (SanElement* element = maker(level, secondary)) {
        object->setElement(element);
    }
}

ZoningCapabilitiesCreator setZoningCapabilitiesCreator(ZoningCapabilitiesCreator creator) {
    return zoningCreator.exchange(creator != nullptr ? creator : linkZoningCapabilities);
}

int createZoningCapabilities(StoredObject* fabric, int fabricLevel) {
    return zoningCreator.load()(fabric, fabricLevel);
}

PlatformLoader setPlatformLoader(PlatformLoader loader) {
    return platformLoader.exchange(loader != nullptr ? loader : noPlatforms);
}

int loadPlatforms(SessionContext* ctx, StoredObject* fabric) {
    return platformLoader.load()(ctx, fabric);
}
