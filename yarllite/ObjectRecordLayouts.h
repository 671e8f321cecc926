// The records of the switch inventory objects (switch groups, enclosures,
// control processors, world wide name cards, blades), which the public
// header does not give yet. The records of every other object type are read
// as the public header (orvane/records.h) defines them. Each record is one
// caller block: the 16-bit object type, the object's identifier, then the
// type's own fields in this order. Lists are pointers to runs of fixed-size
// entries inside the same block, each run ended by an entry whose first
// character is NUL.
#pragma once

#include <cstdint>

#include <orvane/oid.h>
#include <orvane/records.h>

namespace object_record {

struct SwitchGroup {
    std::uint16_t objType;
    OID_t oid;
    char physGroupName[33];
    std::int32_t physGroupType;
    char* physGroupSwitchOids;
};

// The seven texts of a field-replaceable unit.
struct FruTexts {
    RecordText serialNumber;
    RecordText partNumber;
    RecordText mfgDate;
    RecordText updateDate;
    RecordText vendorSerialNumber;
    RecordText vendorPartNumber;
    RecordText vendorRevision;
};

struct Blower {
    std::int32_t fanRpm;
    std::int32_t fanIntakeTemp;
    std::int32_t powerConsumeFactor;
    std::int32_t timeAwake;
    std::int32_t timeAlive;
    FruTexts fru;
};

struct TempSensor {
    std::int32_t sensorValue;
    std::uint16_t sensorLocation;
    std::uint16_t sensorSlotNumber;
    std::uint16_t sensorLocationType;
    std::uint16_t sensorState;
};

struct PowerSupply {
    std::int32_t psValue;
    std::int32_t powerConsumeFactor;
    std::int32_t timeAwake;
    std::int32_t timeAlive;
    FruTexts fru;
};

struct Enclosure {
    std::uint16_t objType;
    OID_t oid;
    char* switchOids;
    std::int32_t chassisType;
    unsigned char licenseWwn[8];
    FruTexts chassis;
    std::int32_t numberOfBlowers;
    Blower* blowers;
    std::int32_t numberOfTempSensors;
    TempSensor* tempSensors;
    std::int32_t numberOfPowerSupplies;
    PowerSupply* powerSupplies;
    char* cpOids;
    char* wwnCardOids;
    char* bladeOids;
};

struct ControlProcessor {
    std::uint16_t objType;
    OID_t oid;
    std::int32_t index;
    std::uint16_t cpSlotNumber;
    std::int32_t cpFruState;
    std::int32_t cpHAState;
    std::int32_t cpHAStatus;
    std::int32_t powerConsumeFactor;
    std::int32_t timeAwake;
    std::int32_t timeAlive;
    RecordText cpPartNumber;
    RecordText cpSerialNumber;
    RecordText cpMfgDate;
    RecordText cpUpdateDate;
    RecordText vendorSerialNumber;
    RecordText vendorPartNumber;
    RecordText vendorRevision;
    char ipAddress[16];
    char netmask[16];
    char ipGateway[16];
};

struct WwnCard {
    std::uint16_t objType;
    OID_t oid;
    std::int32_t index;
    std::int32_t powerConsumeFactor;
    std::int32_t timeAwake;
    std::int32_t timeAlive;
    RecordText wwnCardPartNumber;
    RecordText wwnCardSerialNumber;
    RecordText wwnCardMfgDate;
    RecordText wwnCardUpdateDate;
    RecordText vendorSerialNumber;
    RecordText vendorPartNumber;
    RecordText vendorRevision;
};

struct Blade {
    std::uint16_t objType;
    OID_t oid;
    std::int32_t bladeType;
    std::uint16_t bladeSlotNumber;
    std::int32_t bladeState;
    std::int32_t powerConsumeFactor;
    std::int32_t timeAwake;
    std::int32_t timeAlive;
    RecordText bladePartNumber;
    RecordText bladeSerialNumber;
    RecordText bladeMfgDate;
    RecordText bladeUpdateDate;
    RecordText vendorSerialNumber;
    RecordText vendorPartNumber;
    RecordText vendorRevision;
};

} // namespace object_record
