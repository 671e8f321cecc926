#include "zoning/UndefinedZoningObj.h"

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/ObjectTypes.h"
#include "objects/gorlib.h"
#include "zoning/ZoningObjectRecords.h"
#include "zoning/ZoningTrace.h"

int UndefinedZoningObj::BuildObject(const OID_t oid, void** record) {
    const ZoningTrace trace("BuildObject(UndefinedZoningObject)", "ZoningFunctions");
    const std::string oidText(oidFieldText(oid));
    trace.enter("UndefinedZoningObjectOid=" + oidText);
    const StoredObject* object = findObjectByOid(oid);
    std::string name;
    if (object == nullptr || !object->getStringAttr("UndefinedObjName", name)) {
        return -78;
    }
    auto* out = static_cast<UndefinedZoningObjectRecord*>(
        falAllocObject(sizeof(UndefinedZoningObjectRecord) + name.size() + 1));
    if (out == nullptr) {
        return -2;
    }
    out->ObjType = ObjectType::UndefinedZoningObject;
    CopyName48(out->OID, oidText.c_str());
    char* tail = reinterpret_cast<char*>(out + 1);
    out->pcUndefinedObjName = writeZoningText(tail, name);
    *record = out;
    trace.exit();
    return 0;
}
