#include "objects/InventoryClasses.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/StatusTranslation.h"
#include "objects/ChildClasses.h"
#include "objects/FabApiUtil.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectIdentifiers.h"
#include "objects/ObjectQueries.h"
#include "objects/ObjectTypes.h"
#include "objects/RequestRetry.h"
#include "objects/StoredRelations.h"
#include "objects/gorlib.h"

namespace {

constexpr int kNoMemory = -2;
constexpr int kBadArgument = -3;
constexpr int kNoEnclosure = -6;
constexpr int kNoList = -21;
constexpr int kNoProduct = -45;
constexpr int kNoGroup = -47;
constexpr int kNoParent = -51;
constexpr std::size_t kKeyEntry = 64;
constexpr std::size_t kGroupMembers = 128;
// Control processors a chassis may report: the bound of the protocol's
// record lists, so that a corrupt count cannot make objects without end.
constexpr int kMaxProcessors = 1024;

template <std::size_t N> void setText(RecordText& to, const char (&text)[N]) {
    to.Length = static_cast<unsigned char>(copyBoundedText(to.Text, sizeof to.Text, text, N));
}

template <std::size_t M, std::size_t N> void setPlain(char (&to)[M], const char (&text)[N]) {
    copyBoundedText(to, M, text, N);
}

// The seven unit texts in the record order: serial, part, manufacture
// date, update date, vendor serial, vendor part, vendor revision.
void setFruTexts(FruRecordTexts& to, const FRURecord& fru) {
    setText(to.SerialNumber, fru.serialNumber);
    setText(to.PartNumber, fru.partNumber);
    setText(to.MfgDate, fru.text7);
    setText(to.UpdateDate, fru.text8);
    setText(to.VendorSerialNumber, fru.vendorSerialNumber);
    setText(to.VendorPartNumber, fru.vendorPartNumber);
    setText(to.VendorRevision, fru.text6);
}

struct FruNumbers {
    int powerConsumeFactor;
    int timeAwake;
    int timeAlive;
};

FruNumbers fruNumbers(const FRURecord& fru) {
    return {fru.value1, fru.value3, fru.value4};
}

template <class Record> Record* allocRecord(unsigned short type, const OID_t oid,
                                            std::size_t extra = 0) {
    auto* record = static_cast<Record*>(falAllocObject(sizeof(Record) + extra));
    if (record != nullptr) {
        record->ObjType = type;
        CopyName48(record->OID, oid);
    }
    return record;
}

std::string oidOf(const StoredObject* object) {
    std::string oid;
    if (object != nullptr) {
        object->getStringAttr("OID", oid);
    }
    return oid;
}

// Writes `oids` and the end entry at `at`; the list's start.
OID_t* writeOids(char*& at, const std::vector<std::string>& oids) {
    auto* list = reinterpret_cast<OID_t*>(at);
    for (std::size_t i = 0; i < oids.size(); ++i) {
        CopyName48(list[i], oids[i].c_str());
    }
    list[oids.size()][0] = '\0';
    at += sizeof(OID_t) * (oids.size() + 1);
    return list;
}

int fabricHandle(StoredObject* object, SessionContext*& ctx) {
    void* handle = nullptr;
    if (const int found = GetFabricHandleOfObject(object, handle); found != 0) {
        return found;
    }
    ctx = static_cast<SessionContext*>(handle);
    return 0;
}

// A stored object read from its own switch: the object, its session and
// the switch name it was read from.
struct SwitchTarget {
    StoredObject* object = nullptr;
    SessionContext* ctx = nullptr;
    WWNAddress wwn;
};

// notFound when the object or its switch name is missing.
int findSwitchTarget(const OID_t oid, int notFound, SwitchTarget& at) {
    at.object = findObjectByOid(oid);
    if (at.object == nullptr) {
        return notFound;
    }
    if (const int found = fabricHandle(at.object, at.ctx); found != 0) {
        return found;
    }
    const std::optional<WWNAddress> wwn = at.object->getWwnAttr("WWN");
    if (!wwn) {
        return notFound;
    }
    at.wwn = *wwn;
    return 0;
}

// A chassis part (processor, card, blade): its enclosure, the session and
// the switch name the enclosure was read from.
struct PartContext {
    StoredObject* part = nullptr;
    StoredObject* enclosure = nullptr;
    SessionContext* ctx = nullptr;
    WWNAddress wwn;
};

int findPart(const OID_t oid, PartContext& at) {
    at.part = findObjectByOid(oid);
    if (at.part == nullptr) {
        return kNoParent;
    }
    at.enclosure = findObject(firstRelation(at.part, "setParent"));
    if (at.enclosure == nullptr) {
        return kNoParent;
    }
    if (const int found = fabricHandle(at.enclosure, at.ctx); found != 0) {
        return found;
    }
    const std::optional<WWNAddress> wwn = at.enclosure->getWwnAttr("WWN");
    if (!wwn) {
        return kBadArgument;
    }
    at.wwn = *wwn;
    return 0;
}

int partIndex(const PartContext& at, int& index) {
    return at.part->getIntAttr("Index", index) ? 0 : kBadArgument;
}

// What the record of an indexed chassis part starts with: the caller's
// record cleared, the part found with its enclosure, and its index.
int startPartRecord(const OID_t oid, void** record, PartContext& at, int& index) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    if (const int found = findPart(oid, at); found != 0) {
        return found;
    }
    return partIndex(at, index);
}

// The enclosure reply for a part, under the device-access lock.
int readEnclosure(const PartContext& at, EnclosureRecord*& reply) {
    reply = nullptr;
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = switchGetEnclosure2(at.ctx, at.wwn.bytes(), &reply);
    }
    if (status != 0 || reply == nullptr) {
        if (reply != nullptr) {
            freeSwitchEnclosure2(reply);
            reply = nullptr;
        }
        return status != 0 ? MapApiError(status) : kNoList;
    }
    return 0;
}

// A chassis part below `enclosure`: found or created, given the enclosure
// as parent when it has none and a new element of its class when it has
// none.
template <class Element>
StoredObject* chassisPart(StoredObject* enclosure, unsigned short type, const WWNAddress& name,
                          unsigned index) {
    StoredObject* part = getOrCreateIndexedObject(type, name, index);
    if (part->getRelationCount("setParent") == 0) {
        part->addRelatedObject("setParent", enclosure);
    }
    if (part->getElement() == nullptr) {
        part->setElement(new Element());
    }
    return part;
}

SanElement* makeProductClass(int, int) {
    return new LicensedProduct_2_0();
}

SanElement* makeGroupClass(int, int) {
    return new PhysSwitchGroup_2_0();
}

SanElement* makeEnclosureClass(int, int) {
    return new SwitchEnclosure_2_0();
}

void appendList(std::vector<std::string>& oids, const OID_t* list) {
    for (const OID_t* entry = list; entry != nullptr && (*entry)[0] != '\0'; ++entry) {
        oids.emplace_back(*entry, strnlen(*entry, sizeof(OID_t)));
    }
}

void appendOne(std::vector<std::string>& oids, const OID_t oid) {
    if (oid[0] != '\0') {
        oids.emplace_back(oid, strnlen(oid, sizeof(OID_t)));
    }
}

std::vector<std::string> enclosureChildren(const void* record) {
    const auto* enclosure = static_cast<const EnclosureObjectRecord*>(record);
    std::vector<std::string> oids;
    appendList(oids, enclosure->setCP);
    appendList(oids, enclosure->setWWNCard);
    appendList(oids, enclosure->setBlade);
    return oids;
}

} // namespace

bool indexOfIndexedOid(const char* oid, unsigned& index) {
    if (oid == nullptr || strnlen(oid, sizeof(OID_t)) != 28) {
        return false;
    }
    for (std::size_t i = 0; i < 28; ++i) {
        if (std::isxdigit(static_cast<unsigned char>(oid[i])) == 0) {
            return false;
        }
    }
    unsigned type = 0;
    unsigned name[8] = {};
    const int read = std::sscanf(oid, "%04x%02x%02x%02x%02x%02x%02x%02x%02x%08x", &type, &name[0],
                                 &name[1], &name[2], &name[3], &name[4], &name[5], &name[6],
                                 &name[7], &index);
    return read == 10;
}

std::vector<std::string> switchInventoryChildren(const void* switchRecord) {
    const auto* sw = static_cast<const SwitchRecord*>(switchRecord);
    std::vector<std::string> oids;
    appendList(oids, sw->LicensedProductOIDs);
    appendOne(oids, sw->PhysSwitchGroupOID);
    appendOne(oids, sw->EnclosureOID);
    return oids;
}

void installInventoryObjects() {
    setChildClassMaker(ChildClass::LicensedProduct, makeProductClass);
    setChildClassMaker(ChildClass::PhysSwitchGroup, makeGroupClass);
    setChildClassMaker(ChildClass::SwitchEnclosure, makeEnclosureClass);
    registerDescentStep({ObjectType::EnclosureObject, enclosureChildren});
}

int LicensedProduct_2_0::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    StoredObject* product = findObjectByOid(oid);
    int productId = 0;
    if (product == nullptr || !product->getIntAttr("ProductID", productId) || productId == 0) {
        return kNoProduct;
    }
    SessionContext* ctx = nullptr;
    if (const int found = fabricHandle(product, ctx); found != 0) {
        return found;
    }
    const std::optional<WWNAddress> wwn = product->getWwnAttr("SwitchWWN");
    if (!wwn) {
        return kNoProduct;
    }
    LockGuard device(getSwitchRequestMutex());
    ProductRecord* reply = nullptr;
    const int status = productGet(ctx, wwn->bytes(), productId, &reply);
    if (status != 0 || reply == nullptr) {
        if (reply != nullptr) {
            freeApiRecord(reply);
        }
        return status != 0 ? MapApiError(status) : kNoList;
    }
    const std::size_t keys = reply->names.names_len;
    if (keys < 1) {
        freeApiRecord(reply);
        return kNoList;
    }
    auto* out = allocRecord<LicensedProductRecord>(ObjectType::LicensedProduct, oid,
                                                   kKeyEntry * (keys + 1));
    if (out == nullptr) {
        freeApiRecord(reply);
        return kNoMemory;
    }
    wwn->copyOut(out->SwitchWWN);
    out->ProductID = productId;
    setText(out->ProductName, reply->text);
    product->setStringAttr("ProductName", out->ProductName.Text);
    out->setLicenseKey = reinterpret_cast<char(*)[kKeyEntry]>(out + 1);
    for (std::size_t i = 0; i < keys; ++i) {
        copyBoundedText(out->setLicenseKey[i], kKeyEntry, reply->names.names_val[i],
                        sizeof(Name64));
        product->addRelation("setLicenseKey", out->setLicenseKey[i]);
    }
    out->setLicenseKey[keys][0] = '\0';
    freeApiRecord(reply);
    *record = out;
    return 0;
}

int PhysSwitchGroup_2_0::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    SwitchTarget target;
    if (const int found = findSwitchTarget(oid, kNoGroup, target); found != 0) {
        return found;
    }
    StoredObject* group = target.object;
    LockGuard device(getSwitchRequestMutex());
    SGroupRecord* reply = nullptr;
    const int status = switchGetSGroup(target.ctx, target.wwn.bytes(), &reply);
    if (status != 0 || reply == nullptr) {
        if (reply != nullptr) {
            freeApiRecord(reply);
        }
        return status != 0 ? MapApiError(status) : kNoList;
    }
    // The member count comes from the switch: never past the member array.
    const std::size_t members =
        static_cast<std::size_t>(std::clamp(reply->value2, 0, static_cast<int>(kGroupMembers)));
    auto* out = allocRecord<PhysSwitchGroupRecord>(ObjectType::PhysicalSwitchGroup, oid,
                                                   sizeof(OID_t) * (members + 1));
    if (out == nullptr) {
        freeApiRecord(reply);
        return kNoMemory;
    }
    setPlain(out->PhysGroupName, reply->groupName);
    group->setStringAttr("PhysGroupName", out->PhysGroupName);
    out->PhysGroupType = reply->value1;
    out->setPhysGroupSwitch = reinterpret_cast<OID_t*>(out + 1);
    for (std::size_t i = 0; i < members; ++i) {
        Int_WWNtoOID(reinterpret_cast<const unsigned char*>(reply->members[i]),
                     ObjectType::Switch, out->setPhysGroupSwitch[i]);
    }
    out->setPhysGroupSwitch[members][0] = '\0';
    freeApiRecord(reply);
    *record = out;
    return 0;
}

int SwitchEnclosure_2_0::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    SwitchTarget target;
    if (const int found = findSwitchTarget(oid, kNoEnclosure, target); found != 0) {
        return found;
    }
    StoredObject* enclosure = target.object;
    EnclosureRecord* reply = nullptr;
    int status = 0;
    {
        LockGuard device(getSwitchRequestMutex());
        status = switchGetEnclosure2(target.ctx, target.wwn.bytes(), &reply);
    }
    if (status != 0 || reply == nullptr) {
        if (reply != nullptr) {
            freeSwitchEnclosure2(reply);
        }
        return status != 0 ? MapApiError(status) : kNoList;
    }

    // The chassis's parts, created or found before the record is sized.
    const WWNAddress chassis(reinterpret_cast<const unsigned char*>(reply->name2));
    const std::size_t names = reply->wwns.wwns_len;
    std::vector<std::string> switches;
    for (std::size_t i = 0; i < names; ++i) {
        switches.push_back(oidOf(getOrCreateObject(
            ObjectType::Switch, WWNAddress(reinterpret_cast<const unsigned char*>(
                                    reply->wwns.wwns_val[i])))));
    }
    std::vector<std::string> processors;
    const int processorCount = std::clamp(reply->value2, 0, kMaxProcessors);
    for (int i = 0; i < processorCount; ++i) {
        StoredObject* cp = chassisPart<ControlProcessor_2_0>(enclosure, ObjectType::CP, chassis,
                                                             static_cast<unsigned>(i));
        cp->setIntAttr("Index", i);
        processors.push_back(oidOf(cp));
    }
    std::vector<std::string> cards;
    for (std::size_t i = 0; i + 1 < reply->frus.frus_len; ++i) {
        StoredObject* card = chassisPart<WWNCard_2_0>(enclosure, ObjectType::WWNCard, chassis,
                                                      static_cast<unsigned>(i));
        card->setIntAttr("Index", static_cast<int>(i));
        cards.push_back(oidOf(card));
    }
    std::vector<std::string> blades;
    for (std::size_t i = 0; i < reply->blades.blades_len; ++i) {
        const EnclosureBlade& entry = reply->blades.blades_val[i];
        if (entry.value4 < 0 || static_cast<std::size_t>(entry.value4) >= names) {
            continue;
        }
        const WWNAddress owner(
            reinterpret_cast<const unsigned char*>(reply->wwns.wwns_val[entry.value4]));
        blades.push_back(oidOf(chassisPart<Blade_2_0>(enclosure, ObjectType::Blade, owner,
                                                      static_cast<unsigned>(entry.value1))));
    }

    const std::size_t blowers = reply->slots.slots_len;
    const std::size_t sensors = reply->fives.fives_len;
    const std::size_t supplies = reply->units.units_len;
    const std::size_t size = sizeof(BlowerItem) * blowers + sizeof(TempSensorItem) * sensors +
                             sizeof(PowerSupplyItem) * supplies +
                             sizeof(OID_t) * (switches.size() + processors.size() + cards.size() +
                                              blades.size() + 4);
    auto* out = allocRecord<EnclosureObjectRecord>(ObjectType::EnclosureObject, oid, size);
    if (out == nullptr) {
        freeSwitchEnclosure2(reply);
        return kNoMemory;
    }
    out->ChassisType = reply->value1;
    chassis.copyOut(out->LicenseWWN);
    if (reply->frus.frus_len > 0) {
        setFruTexts(out->Chassis, reply->frus.frus_val[0]);
    }
    // The items first, at the block's alignment; the identifier lists after.
    char* at = reinterpret_cast<char*>(out + 1);
    out->NumberOfBlowers = static_cast<int>(blowers);
    out->Blowers = blowers > 0 ? reinterpret_cast<BlowerItem*>(at) : nullptr;
    at += sizeof(BlowerItem) * blowers;
    for (std::size_t i = 0; i < blowers; ++i) {
        const EnclosureSlot& entry = reply->slots.slots_val[i];
        BlowerItem& item = out->Blowers[i];
        item.FanRPM = entry.value1;
        item.FanIntakeTemp = entry.value2;
        const FruNumbers numbers = fruNumbers(entry.fru);
        item.PowerConsumeFactor = numbers.powerConsumeFactor;
        item.TimeAwake = numbers.timeAwake;
        item.TimeAlive = numbers.timeAlive;
        setFruTexts(item.Fru, entry.fru);
    }
    out->NumberOfTempSensors = static_cast<int>(sensors);
    out->TempSensors = sensors > 0 ? reinterpret_cast<TempSensorItem*>(at) : nullptr;
    at += sizeof(TempSensorItem) * sensors;
    for (std::size_t i = 0; i < sensors; ++i) {
        const EnclosureFive& entry = reply->fives.fives_val[i];
        TempSensorItem& item = out->TempSensors[i];
        item.SensorValue = entry.value1;
        item.SensorLocation = static_cast<unsigned short>(entry.value2);
        item.SensorLocationType = static_cast<unsigned short>(entry.value3);
        item.SensorSlotNumber = static_cast<unsigned short>(entry.value4);
        item.SensorState = static_cast<unsigned short>(entry.value5);
    }
    out->NumberOfPowerSupplies = static_cast<int>(supplies);
    out->PowerSupplies = supplies > 0 ? reinterpret_cast<PowerSupplyItem*>(at) : nullptr;
    at += sizeof(PowerSupplyItem) * supplies;
    for (std::size_t i = 0; i < supplies; ++i) {
        const EnclosureUnit& entry = reply->units.units_val[i];
        PowerSupplyItem& item = out->PowerSupplies[i];
        item.PSValue = entry.value;
        const FruNumbers numbers = fruNumbers(entry.fru);
        item.PowerConsumeFactor = numbers.powerConsumeFactor;
        item.TimeAwake = numbers.timeAwake;
        item.TimeAlive = numbers.timeAlive;
        setFruTexts(item.Fru, entry.fru);
    }
    out->setSwitchOID = writeOids(at, switches);
    out->setCP = writeOids(at, processors);
    out->setWWNCard = writeOids(at, cards);
    out->setBlade = writeOids(at, blades);
    freeSwitchEnclosure2(reply);
    *record = out;
    return 0;
}

int ControlProcessor_2_0::BuildObject(const OID_t oid, void** record) {
    PartContext at;
    int index = 0;
    if (const int found = startPartRecord(oid, record, at, index); found != 0) {
        return found;
    }
    LockGuard device(getSwitchRequestMutex());
    CPInfoRecord* reply = nullptr;
    const int status = cpGetInfo(at.ctx, at.wwn.bytes(), static_cast<unsigned>(index), &reply);
    if (status != 0 || reply == nullptr) {
        if (reply != nullptr) {
            freeApiRecord(reply);
        }
        return status != 0 ? MapApiError(status) : kNoList;
    }
    auto* out = allocRecord<ControlProcessorRecord>(ObjectType::CP, oid);
    if (out == nullptr) {
        freeApiRecord(reply);
        return kNoMemory;
    }
    out->Index = index + 1;
    out->CPSlotNumber = static_cast<unsigned short>(reply->value1);
    out->CPHAState = reply->value2;
    out->CPHAStatus = reply->value3;
    out->CPFruState = reply->value4;
    const FruNumbers numbers = fruNumbers(reply->fru);
    out->PowerConsumeFactor = numbers.powerConsumeFactor;
    out->TimeAwake = numbers.timeAwake;
    out->TimeAlive = numbers.timeAlive;
    setText(out->CPPartNumber, reply->fru.partNumber);
    setText(out->CPSerialNumber, reply->fru.serialNumber);
    setText(out->CPMfgDate, reply->fru.text7);
    setText(out->CPUpdateDate, reply->fru.text8);
    setText(out->VendorSerialNumber, reply->fru.vendorSerialNumber);
    setText(out->VendorPartNumber, reply->fru.vendorPartNumber);
    setText(out->VendorRevision, reply->fru.text6);
    setPlain(out->IPAddress, reply->text1);
    setPlain(out->Netmask, reply->text2);
    setPlain(out->IPGateway, reply->text3);
    freeApiRecord(reply);
    *record = out;
    return 0;
}

int WWNCard_2_0::BuildObject(const OID_t oid, void** record) {
    PartContext at;
    int index = 0;
    if (const int found = startPartRecord(oid, record, at, index); found != 0) {
        return found;
    }
    LockGuard device(getSwitchRequestMutex());
    EnclosureRecord* reply = nullptr;
    if (const int status = readEnclosure(at, reply); status != 0) {
        return status;
    }
    // Entry 0 is the chassis's own unit; card i is entry i + 1.
    if (index < 0 || static_cast<std::size_t>(index) + 1 >= reply->frus.frus_len) {
        freeSwitchEnclosure2(reply);
        return kNoList;
    }
    const FRURecord& fru = reply->frus.frus_val[index + 1];
    auto* out = allocRecord<WWNCardRecord>(ObjectType::WWNCard, oid);
    if (out == nullptr) {
        freeSwitchEnclosure2(reply);
        return kNoMemory;
    }
    out->Index = index + 1;
    const FruNumbers numbers = fruNumbers(fru);
    out->PowerConsumeFactor = numbers.powerConsumeFactor;
    out->TimeAwake = numbers.timeAwake;
    out->TimeAlive = numbers.timeAlive;
    setText(out->WWNCardPartNumber, fru.partNumber);
    setText(out->WWNCardSerialNumber, fru.serialNumber);
    setText(out->WWNCardMfgDate, fru.text7);
    setText(out->WWNCardUpdateDate, fru.text8);
    setText(out->VendorSerialNumber, fru.vendorSerialNumber);
    setText(out->VendorPartNumber, fru.vendorPartNumber);
    setText(out->VendorRevision, fru.text6);
    freeSwitchEnclosure2(reply);
    *record = out;
    return 0;
}

int Blade_2_0::BuildObject(const OID_t oid, void** record) {
    if (record == nullptr) {
        return kBadArgument;
    }
    *record = nullptr;
    PartContext at;
    if (const int found = findPart(oid, at); found != 0) {
        return found;
    }
    unsigned slot = 0;
    if (!indexOfIndexedOid(oid, slot)) {
        return kBadArgument;
    }
    LockGuard device(getSwitchRequestMutex());
    EnclosureRecord* reply = nullptr;
    if (const int status = readEnclosure(at, reply); status != 0) {
        return status;
    }
    const EnclosureBlade* entry = nullptr;
    for (std::size_t i = 0; i < reply->blades.blades_len; ++i) {
        if (static_cast<unsigned>(reply->blades.blades_val[i].value1) == slot) {
            entry = &reply->blades.blades_val[i];
            break;
        }
    }
    if (entry == nullptr) {
        freeSwitchEnclosure2(reply);
        return kNoList;
    }
    auto* out = allocRecord<BladeRecord>(ObjectType::Blade, oid);
    if (out == nullptr) {
        freeSwitchEnclosure2(reply);
        return kNoMemory;
    }
    out->BladeType = entry->value2;
    out->BladeSlotNumber = static_cast<unsigned short>(slot);
    out->BladeState = entry->value3;
    const FruNumbers numbers = fruNumbers(entry->fru);
    out->PowerConsumeFactor = numbers.powerConsumeFactor;
    out->TimeAwake = numbers.timeAwake;
    out->TimeAlive = numbers.timeAlive;
    setText(out->BladePartNumber, entry->fru.partNumber);
    setText(out->BladeSerialNumber, entry->fru.serialNumber);
    setText(out->BladeMfgDate, entry->fru.text7);
    setText(out->BladeUpdateDate, entry->fru.text8);
    setText(out->VendorSerialNumber, entry->fru.vendorSerialNumber);
    setText(out->VendorPartNumber, entry->fru.vendorPartNumber);
    setText(out->VendorRevision, entry->fru.text6);
    freeSwitchEnclosure2(reply);
    *record = out;
    return 0;
}
