#include "yarllite/AllInfoCommand.h"

#include <array>

#include "api/ObjectStore.h"
#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "yarllite/AttributeDictionaryWriter.h"

namespace {

constexpr std::array<unsigned short, 8> kListedTypes = {
    ObjectType::Fabric, ObjectType::Switch,     ObjectType::Device, ObjectType::Node,
    ObjectType::Port,   ObjectType::ZoneConfig, ObjectType::Zone,   ObjectType::ZoneAlias};

StoredObject* fabricOf(const char* oid) {
    return GetFabricEntryOfObject(oid);
}

} // namespace

int YarlGetAllInfo(CommandContext& context) {
    MethodTrace trace(Vosk_API_XML, "YarlGetAllInfo", "yarldxml");
    writeAttributeDictionary(context.reply);
    for (const unsigned short type : kListedTypes) {
        writeObjectsOfType("", type, context.reply, context.attributeEncoding, fabricOf);
    }
    return 0;
}
