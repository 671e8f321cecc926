// The object records that the query exports hand out, as far as the XML
// interface reads them back into stored objects. Every record is one caller
// block: the 16-bit object type, the object's identifier, then the type's
// own fields in this order (the compiler lays them out). Lists are pointers
// to runs of fixed-size entries inside the same block, each run ended by an
// entry whose first character is NUL.
#pragma once

#include <cstdint>

#include <orvane/oid.h>
#include <orvane/records.h>

namespace object_record {

// The records that the public header already gives.
using Error = ::ErrorRecord;
using Fabric = ::FabricRecord;
using Switch = ::SwitchRecord;

// A text or byte string of up to 256 bytes and its length.
struct TextField {
    char text[256];
    std::uint8_t length;
};

// The two 32-bit words of a 64-bit counter, the upper word first.
struct Counter {
    std::uint32_t upper;
    std::uint32_t lower;
};

inline constexpr unsigned kLicenseKeyEntry = 64;

struct Header {
    std::uint16_t objType;
    OID_t oid;
};

struct Port {
    std::uint16_t objType;
    OID_t oid;
    unsigned char wwn[8];
    OID_t ownerOid;
    std::uint16_t portState;
    std::uint16_t portStatus;
    std::uint16_t portPhysicalState;
    std::uint32_t portId;
    std::uint16_t portNumber;
    std::uint16_t portType;
    std::uint16_t portSpeed;
    std::uint16_t portLinkDistance;
    std::uint16_t txLinkRouteCost;
    std::uint16_t gbicType;
    char* gbicSerialNumber; // 16 characters and a NUL, or null
    char* gbicMfg;          // likewise
    unsigned char fc4Protocol[32];
    std::uint8_t classOfService;
    OID_t portStatsOid;
    OID_t portErrorsOid;
    unsigned char portSymbolicName[256];
    std::uint8_t portSymbolicNameLength;
    char* attachedPortOids;
    std::uint32_t versionMark;
    std::uint16_t trunkMasterPortNum;
    std::uint16_t trunkDisable;
    std::uint16_t braidexPortEnabled;
    std::uint16_t portDeviceType;
};

struct PortModule {
    std::uint16_t objType;
    OID_t oid;
    OID_t ownerOid;
    std::uint16_t moduleSlotNumber;
    std::uint16_t modulePortCount;
    std::uint16_t startSwitchPortIndex;
    std::uint16_t portModuleState;
    std::uint16_t portModuleStatus;
    char* portOids;
    std::uint32_t versionMark;
    TextField portModuleOEMSN;
    TextField portModuleSN;
    TextField portModuleMfgDate;
    TextField portModulePartNumber;
    TextField portModuleRevision;
    std::uint16_t portModuleNumTempSensors;
    std::int32_t* tempSensorValues;
};

struct Node {
    std::uint16_t objType;
    OID_t oid;
    unsigned char wwn[8];
    OID_t ownerOid;
    std::uint16_t gap;
    std::int32_t attached;
    unsigned char symbolicName[256];
    std::uint8_t symbolicNameLength;
    char* portOids;
};

struct Device {
    std::uint16_t objType;
    OID_t oid;
    std::uint16_t deviceType;
    unsigned char scsiInquiryString[256];
    std::uint8_t scsiInquiryStringLength;
    char nodeOid[49];
};

struct Route {
    std::uint16_t objType;
    OID_t oid;
    char* txPortOids;
};

struct PortStats {
    std::uint16_t objType;
    OID_t oid;
    std::uint16_t gap;
    std::uint16_t rateSamplePeriod;
    Counter counters[24];
};

struct PortErrors {
    std::uint16_t objType;
    OID_t oid;
    std::uint16_t gap;
    Counter counters[20];
};

struct SwitchGroup {
    std::uint16_t objType;
    OID_t oid;
    char physGroupName[33];
    std::int32_t physGroupType;
    char* physGroupSwitchOids;
};

struct ZoningCapabilities {
    std::uint16_t objType;
    OID_t oid;
    std::int32_t zoningEnabled;
    std::int32_t defaultZoneSetSupported;
    OID_t activeZoneDbOid;
    OID_t fullZoneDbOid;
    std::uint16_t zoneTransactionActive;
    std::uint16_t zoneTransactionCommit;
    std::int32_t zoneTransactionDirty;
    std::uint16_t zoneTransactionValidate;
    std::uint16_t zoneMemberTargetTyping;
    std::uint16_t zoningRefresh;
    std::uint16_t validationError;
    char validationZoneSetName[64];
    char validationZoneName[64];
    char validationZoneMemberName[64];
    std::uint16_t zoneMaxSets;
    std::uint16_t zoneMaxZonesPerSet;
    std::uint16_t zoneMaxZones;
    std::uint16_t zoneMaxMembers;
    std::uint16_t zoneMaxNameLen;
    std::int32_t versionMark;
};

struct FullZoneDb {
    std::uint16_t objType;
    OID_t oid;
    char* zoneSetOids;
    char* zoneAliasOids;
    char* zoneOids;
    std::uint16_t clearFullZoneDb;
};

struct ActiveZoneDb {
    std::uint16_t objType;
    OID_t oid;
    char* activeZoneSetName;
    std::uint16_t deactivateActiveZoneDb;
    char* memberOids;
};

// The seven texts of a field-replaceable unit.
struct FruTexts {
    TextField serialNumber;
    TextField partNumber;
    TextField mfgDate;
    TextField updateDate;
    TextField vendorSerialNumber;
    TextField vendorPartNumber;
    TextField vendorRevision;
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
    TextField cpPartNumber;
    TextField cpSerialNumber;
    TextField cpMfgDate;
    TextField cpUpdateDate;
    TextField vendorSerialNumber;
    TextField vendorPartNumber;
    TextField vendorRevision;
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
    TextField wwnCardPartNumber;
    TextField wwnCardSerialNumber;
    TextField wwnCardMfgDate;
    TextField wwnCardUpdateDate;
    TextField vendorSerialNumber;
    TextField vendorPartNumber;
    TextField vendorRevision;
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
    TextField bladePartNumber;
    TextField bladeSerialNumber;
    TextField bladeMfgDate;
    TextField bladeUpdateDate;
    TextField vendorSerialNumber;
    TextField vendorPartNumber;
    TextField vendorRevision;
};

struct ThrexClassAreaLayout {
    std::uint16_t objType;
    OID_t oid;
    OID_t switchOid;
    std::int32_t threxClass;
    std::int32_t threxArea;
    TextField defaultUnitString;
    std::int32_t defaultTimeBase;
    std::int32_t defaultLowBoundary;
    std::int32_t defaultHighBoundary;
    std::int32_t defaultBufferSize;
    TextField customUnitString;
    std::int32_t customTimeBase;
    std::int32_t customLowBoundary;
    std::int32_t customHighBoundary;
    std::int32_t customBufferSize;
    std::int32_t boundaryLevelSelect;
    std::int32_t applyBoundaryChanges;
    std::int32_t cancelBoundaryChanges;
    std::int32_t defaultChangedAlarm;
    std::int32_t defaultExceededAlarm;
    std::int32_t defaultBelowAlarm;
    std::int32_t defaultAboveAlarm;
    std::int32_t defaultInbetweenAlarm;
    std::int32_t customChangedAlarm;
    std::int32_t customExceededAlarm;
    std::int32_t customBelowAlarm;
    std::int32_t customAboveAlarm;
    std::int32_t customInbetweenAlarm;
    std::int32_t alarmLevelSelect;
    std::int32_t applyAlarmChanges;
    std::int32_t cancelAlarmChanges;
};

struct ThrexThresholdEntryLayout {
    std::uint16_t objType;
    OID_t oid;
    OID_t switchOid;
    std::int32_t threxClass;
    std::int32_t threxArea;
    std::int32_t threxIndex;
    std::int32_t threshStatus;
    TextField threshName;
    TextField threshLabel;
    std::int32_t threshCurrentValue;
    std::int32_t threshLastEventType;
    std::int32_t threshLastEventValue;
    TextField threshLastEventTime;
    std::int32_t threshLastEventState;
    std::int32_t threshBehaviorType;
    std::int32_t threshBehaviorInterval;
};

} // namespace object_record
