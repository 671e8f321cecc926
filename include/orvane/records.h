/* Object records that the object queries hand out (orvane/objects.h).
 *
 * Every record starts with the unsigned 16-bit object type and the object's
 * identifier; the fields of its type follow. A record and the identifier
 * lists, key lists and texts it points to are one block: free it with
 * falFreeObject. Each identifier list is a run of 48-character entries
 * ended by an entry whose first character is NUL. Texts are NUL-ended; a
 * length byte after a text holds the length of the text before it. */
#ifndef ORVANE_RECORDS_H
#define ORVANE_RECORDS_H

#include "orvane/oid.h"

/* The object type of an error record. */
#define ORVANE_ERROR_RECORD_TYPE 0xFF00

/* Stands in a record list in place of an object that could not be read. */
typedef struct ErrorRecord {
    unsigned short ObjType; /* 0xFF00 */
    OID_t OID;              /* a generated identifier of type 0xFF00 */
    OID_t RequestedOID;     /* the identifier asked for, as given */
    int Status;             /* what the fetch returned */
} ErrorRecord;

/* Object type 9. */
typedef struct FabricRecord {
    unsigned short ObjType;
    OID_t OID;
    unsigned char WWN[8];
    OID_t ZoningCapabilitiesOID;
    OID_t* SwitchOIDs;
    OID_t* PlatformOIDs;
    OID_t* ProxyOIDs; /* at most one: the proxy switch of the session */
    OID_t* ISLOIDs;
    unsigned int VersionMark; /* 3 for fabrics of the current firmware level */
    unsigned short FabricType;
    OID_t SecurityCapabilitiesOID;
    unsigned short EnableEventNotifications;
} FabricRecord;

/* A 256-character text and its length. */
typedef struct RecordText {
    char Text[256];
    unsigned char Length;
} RecordText;

/* Object type 2. Fields a switch's firmware generation does not report
 * stay zero. */
typedef struct SwitchRecord {
    unsigned short ObjType;
    OID_t OID;
    unsigned char WWN[8];
    unsigned short DomainId;
    unsigned short SwitchRole; /* 566 principal, 567 subordinate */
    char InBandAddr[16];
    char OutBandAddr[16];
    char InBandNetMask[16];
    char OutBandNetMask[16];
    char IPGateway[16];
    unsigned int IsManageable;
    unsigned short SwitchState; /* 0, 560 to 563 */
    unsigned short SwitchStatus;
    unsigned int SwitchID;
    unsigned int SwitchTime;
    unsigned int SwitchTimeZone;
    RecordText VendorName;
    RecordText Model;
    RecordText MfgName;
    RecordText MfgModel;
    RecordText FirmwareVersion;
    RecordText SwitchName;
    unsigned int ZoningInstalled;
    char InfoText1[32];
    char InfoText2[32];
    unsigned short MaxNumberOfModules;
    OID_t* PortModuleOIDs;
    OID_t OwnerOID;
    unsigned int VersionMark;
    OID_t EnclosureOID;
    char (*LicenseKeys)[64]; /* 64-character entries, ended by an empty one */
    OID_t* LicensedProductOIDs;
    unsigned short HWZoningCapabilities;
    unsigned short SWZoningCapabilities;
    unsigned short CurrentZoningEnforcement;
    unsigned int TrunkingCapable;
    unsigned int ThrexEventsEnable;
    OID_t SecurityStatsOID;
    OID_t PhysSwitchGroupOID;
    unsigned short EmbeddedSwitchType;
    unsigned char EmbSwInvariantName[8];
    unsigned short EmbSwSlotId;
    char EmbSwBaseIPAddr[16];
    unsigned short EmbSwBaseDomainId;
    unsigned int EmbSwEportMode;
    RecordText EmbSwBoxSerialNumber;
    unsigned int ValidCertificateInstalled;
    RecordText MfgSerialNumber;
    unsigned short BraidexSwitchEnabled;
    OID_t BraidexPartnerOID;
    unsigned short BraidexPartnerEnabled;
    unsigned char BraidexAlpaBitmap[16];
} SwitchRecord;

/* Threshold objects (types 36 and 37) are read from the switch at every
 * fetch and never stored. In a record given to ModifyObject or
 * ThrexSetThreshold, -1 (class, area, time bases, level selects, alarms,
 * ThreshStatus, ThreshBehaviorType), ORVANE_THREX_UNSET (boundaries,
 * buffer sizes, ThrexIndex, ThreshBehaviorInterval), the text "NoNoNoNo"
 * (CustomUnitString) and 0 (the four flags) leave a value unchanged. */
#define ORVANE_THREX_UNSET (-2055889000)

/* Object type 36: one threshold configuration, a class and an area. */
typedef struct ThrexClassArea {
    unsigned short ObjType;
    OID_t OID;
    OID_t SwitchOID;
    int ThrexClass;
    int ThrexArea;
    RecordText DefaultUnitString;
    int DefaultTimeBase;
    int DefaultLowBoundary;
    int DefaultHighBoundary;
    int DefaultBufferSize;
    RecordText CustomUnitString; /* at most 31 characters reach the switch */
    int CustomTimeBase;
    int CustomLowBoundary;
    int CustomHighBoundary;
    int CustomBufferSize;
    int BoundaryLevelSelect; /* 1 or 2 */
    int ApplyBoundaryChanges;
    int CancelBoundaryChanges;
    int DefaultChangedAlarm;
    int DefaultExceededAlarm;
    int DefaultBelowAlarm;
    int DefaultAboveAlarm;
    int DefaultInbetweenAlarm;
    int CustomChangedAlarm;
    int CustomExceededAlarm;
    int CustomBelowAlarm;
    int CustomAboveAlarm;
    int CustomInbetweenAlarm;
    int AlarmLevelSelect; /* 1 or 2 */
    int ApplyAlarmChanges;
    int CancelAlarmChanges;
} ThrexClassArea;

/* Object type 37: one threshold entry of a class and area. */
typedef struct ThrexThresholdEntry {
    unsigned short ObjType;
    OID_t OID;
    OID_t SwitchOID;
    int ThrexClass;
    int ThrexArea;
    int ThrexIndex;
    int ThreshStatus;
    RecordText ThreshName;
    RecordText ThreshLabel;
    int ThreshCurrentValue;
    int ThreshLastEventType;
    int ThreshLastEventValue;
    RecordText ThreshLastEventTime;
    int ThreshLastEventState;
    int ThreshBehaviorType;
    int ThreshBehaviorInterval;
} ThrexThresholdEntry;

/* Object type 17: the ports that frames pass from one port to another, in
 * order; the list lives in the record's own block. */
typedef struct RouteRecord {
    unsigned short ObjType;
    OID_t OID;
    OID_t* setTxPortSet;
} RouteRecord;

/* The ports of a switch that may carry traffic toward another switch:
 * Count port world wide names; free Entries with falFreeObject. */
typedef struct LegalRouteTable {
    int Count;
    unsigned char (*Entries)[8];
} LegalRouteTable;
/* A 64-bit counter as two 32-bit words, the high word first. */
typedef struct RecordCounter {
    unsigned int High;
    unsigned int Low;
} RecordCounter;

/* Port type codes (PortType). 320 to 323 and 327 are switch ports, 324 and
 * 325 device ports. */
#define ORVANE_PORT_OTHER 320
#define ORVANE_PORT_F 321
#define ORVANE_PORT_FL 322
#define ORVANE_PORT_E 323
#define ORVANE_PORT_N 324
#define ORVANE_PORT_NL 325
#define ORVANE_PORT_B 326
#define ORVANE_PORT_TYPE_8 327

/* Object type 1. The GBIC texts (16 characters and a NUL) and the list of
 * attached ports lie behind the fixed fields. */
typedef struct PortRecord {
    unsigned short ObjType;
    OID_t OID;
    unsigned char WWN[8];
    OID_t OwnerOID; /* switch ports: the port module; device ports: the node */
    unsigned short PortState;
    unsigned short PortStatus;
    unsigned short PortPhysicalState;
    unsigned int PortId; /* 24-bit Fibre Channel port identifier */
    unsigned short PortNumber;
    unsigned short PortType;
    unsigned short PortSpeed;
    unsigned short PortLinkDistance;
    unsigned short TxLinkRouteCost;
    unsigned short GBICType;
    char* GBICSerialNumber; /* or null */
    char* GBICMfg;          /* or null */
    unsigned char FC4Protocol[32];
    unsigned char ClassOfService;
    OID_t PortStatsOID;
    OID_t PortErrorsOID;
    char PortSymbolicName[256]; /* not NUL-terminated */
    unsigned char PortSymbolicNameLength;
    OID_t* AttachedPortOIDs;
    unsigned int VersionMark; /* 3: the four fields below are valid */
    unsigned short TrunkMasterPortNum;
    unsigned short TrunkDisable;
    unsigned short BraidexPortEnabled;
    unsigned short PortDeviceType; /* 343, or 344 for a marked loop position */
} PortRecord;

/* Object type 23. The port list and then the temperature values lie
 * behind the fixed fields. */
typedef struct PortModuleRecord {
    unsigned short ObjType;
    OID_t OID;
    OID_t OwnerOID; /* the switch */
    unsigned short ModuleSlotNumber;
    unsigned short ModulePortCount;
    unsigned short StartSwitchPortIndex;
    unsigned short PortModuleState;  /* 3665 when the switch reports 0 */
    unsigned short PortModuleStatus; /* 3681 when the switch reports 0 */
    OID_t* PortOIDs;
    unsigned int VersionMark; /* 3: the fields below are valid */
    RecordText PortModuleOEMSN;
    RecordText PortModuleSN;
    RecordText PortModuleMfgDate;
    RecordText PortModulePartNumber;
    RecordText PortModuleRevision;
    unsigned short PortModuleNumTempSensors;
    int* TempSensorValues;
} PortModuleRecord;

/* Object type 4. The port list lies behind the fixed fields. The symbolic
 * name's text is not NUL-terminated. */
typedef struct NodeRecord {
    unsigned short ObjType;
    OID_t OID;
    unsigned char WWN[8];
    OID_t OwnerOID; /* the device, or empty */
    unsigned int Attached;
    RecordText SymbolicName;
    OID_t* PortOIDs;
} NodeRecord;

/* Object type 5. */
typedef struct DeviceRecord {
    unsigned short ObjType;
    OID_t OID;
    unsigned short DeviceType; /* 1584, 1585, or 1 when the inquiry failed */
    char SCSIInquiryString[256];
    unsigned char SCSIInquiryLength; /* 36, 255, or 0 */
    char NodeOID[49];
} DeviceRecord;

/* Object type 18: a port's traffic rates and frame counters. */
typedef struct PortStatsObjectRecord {
    unsigned short ObjType;
    OID_t OID;
    unsigned short Reserved; /* zero */
    unsigned short RateSamplePeriod;
    RecordCounter RateTxFrame;
    RecordCounter RateRxFrame;
    RecordCounter RateTxPeakFrame;
    RecordCounter RateRxPeakFrame;
    RecordCounter RateTxByte;
    RecordCounter RateRxByte;
    RecordCounter RateTxPeakByte;
    RecordCounter RateRxPeakByte;
    RecordCounter CntTxByte;
    RecordCounter CntRxByte;
    RecordCounter CntTxFrame;
    RecordCounter CntRxFrame;
    RecordCounter CntBBCreditZero;
    RecordCounter CntInputBuffersFull;
    RecordCounter CntFBSYFrames;
    RecordCounter CntPBSYFrames;
    RecordCounter CntFRJTFrames;
    RecordCounter CntPRJTFrames;
    RecordCounter CntRxClass1Frames;
    RecordCounter CntRxClass2Frames;
    RecordCounter CntRxClass3Frames;
    RecordCounter CntRxClass3Discards;
    RecordCounter CntRxMcastFrames;
    RecordCounter CntTxMcastFrames;
} PortStatsObjectRecord;

/* Object type 19: a port's link error counters. */
typedef struct PortErrorsObjectRecord {
    unsigned short ObjType;
    OID_t OID;
    RecordCounter CntTxLinkResets;
    RecordCounter CntRxLinkResets;
    RecordCounter CntTxOfflineSequences;
    RecordCounter CntRxOfflineSequences;
    RecordCounter CntLinkFailures;
    RecordCounter CntInvalidCRCErrors;
    RecordCounter CntInvalidTxWords;
    RecordCounter CntPrimeSeqProtoErrors;
    RecordCounter CntSignalLosses;
    RecordCounter CntSyncLosses;
    RecordCounter CntInvalidOrderedSets;
    RecordCounter CntRxFramesTooLong;
    RecordCounter CntRxTruncFrames;
    RecordCounter CntAddressIdErrors;
    RecordCounter CntDelimiterErrors;
    RecordCounter CntRxEncodingDisparityErr;
    RecordCounter CntTooManyRdys;
    RecordCounter CntRxEncOutFrames;
    RecordCounter CntMcastTimedOuts;
    RecordCounter CntRxLCs;
} PortErrorsObjectRecord;
/* Object type 21: a fabric's zoning capabilities. */
typedef struct ZoningCapabilitiesRecord {
    unsigned short ObjType;
    OID_t OID;
    int ZoningEnabled; /* 1 when the fabric has an active zone set */
    int DefaultZoneSetSupported;
    OID_t ActiveZoneDBOID;
    OID_t FullZoneDBOID;
    unsigned short ZoneTransactionActive;
    unsigned short ZoneTransactionCommit;
    int ZoneTransactionDirty;
    unsigned short ZoneTransactionValidate;
    unsigned short ZoneMemberTargetTyping;
    unsigned short ZoningRefresh;
    unsigned short ValidationError;
    char ValidationZoneSetName[64];
    char ValidationZoneName[64];
    char ValidationZoneMemberName[64];
    unsigned short ZoneMaxSets;
    unsigned short ZoneMaxZonesPerSet;
    unsigned short ZoneMaxZones;
    unsigned short ZoneMaxMembers;
    unsigned short ZoneMaxNameLen;
    int VersionMark; /* 3 for fabrics of the current firmware level */
} ZoningCapabilitiesRecord;

/* Object type 24: the defined zoning database. */
typedef struct FullZoneDBRecord {
    unsigned short ObjType;
    OID_t OID;
    OID_t* pcZoneSetOids;
    OID_t* pcZoneAliasOids;
    OID_t* pcZoneOids;
    unsigned short clearFullZoneDb;
} FullZoneDBRecord;

/* Object type 25: the active zoning database. */
typedef struct ActiveZoneDBRecord {
    unsigned short ObjType;
    OID_t OID;
    char* pcActiveZoneSetName;
    unsigned short deactivateActiveZoneDb;
    OID_t* pcMemberOids; /* the zones of the active zone set */
} ActiveZoneDBRecord;

/* Object type 0xFFFB: a zone member of no recognised kind. */
typedef struct UndefinedZoningObjectRecord {
    unsigned short ObjType;
    OID_t OID;
    char* pcUndefinedObjName;
} UndefinedZoningObjectRecord;
/* Object type 64: one inter-switch link. */
typedef struct ISLRecord {
    unsigned short ObjType;
    OID_t OID;
    OID_t OwnerOID;    /* the fabric */
    OID_t SwitchPort1; /* the port at the first switch of the identifier, or empty */
    OID_t SwitchPort2; /* the port at the second switch, or empty */
    unsigned short ISLLinkType;
    unsigned short ISLLinkCost;
    unsigned short ISLLinkCount;
    unsigned char Gap;
} ISLRecord;

/* Object type 15: a platform. Its node identifiers are listed up to an entry
 * that begins with NUL, its management addresses up to an entry of length
 * 0; both lists lie in the record's own block. The record is also the input
 * of platform creation. */
typedef struct PlatformRecord {
    unsigned short ObjType;
    OID_t OID;
    unsigned short PlatformType;
    unsigned char PlatformName[256];
    unsigned char PlatformNameLength;
    OID_t* PlatformNodeOIDs;
    RecordText* ManagementAddrs;
} PlatformRecord;

/* Object type 32: the security capabilities of a fabric. In secure mode
 * it names the active and the defined policy set; otherwise both are empty
 * and PolicyVersionStamp is "None". */
typedef struct SecurityCapabilitiesRecord {
    unsigned short ObjType;
    OID_t OID;
    unsigned short SecureModeEnabled;
    OID_t ActivePolicySetOID;
    OID_t DefinedPolicySetOID;
    unsigned short SecurityTransactionActive;
    unsigned short CommitSecurityTransaction;
    unsigned short SecurityTransactionDirty;
    OID_t PrimaryFCSOID; /* the proxy switch when it is the primary FCS switch */
    char PolicyVersionStamp[128]; /* at most 127 characters and a NUL */
    short SecDBStatus;            /* 1, -2 or 0 */
} SecurityCapabilitiesRecord;

/* Object types 33 (active) and 48 (defined): a security policy set and the
 * identifiers of its policies. */
typedef struct PolicySetRecord {
    unsigned short ObjType;
    OID_t OID;
    unsigned short ActivatePolicySet; /* 1 for the active set, 0 for the defined */
    OID_t* PolicyOIDs;
} PolicySetRecord;

/* Object types 34 (active) and 49 (defined): one security policy, its name
 * and its members (identifiers, world wide name texts, addresses or "*"). */
typedef struct SecurityPolicyRecord {
    unsigned short ObjType;
    OID_t OID;
    char* PolicyName;
    OID_t* MemberOIDs;
} SecurityPolicyRecord;

/* Object type 50: the security violation counters of a switch. */
typedef struct SecurityStatsObjectRecord {
    unsigned short ObjType;
    OID_t OID;
    OID_t SwitchOID;
    unsigned int TelnetPolicyViolations;
    unsigned int HTTPPolicyViolations;
    unsigned int APIPolicyViolations;
    unsigned int SNMPReadPolicyViolations;
    unsigned int SNMPWritePolicyViolations;
    unsigned int SESPolicyViolations;
    unsigned int MSPolicyViolations;
    unsigned int SerialPolicyViolations;
    unsigned int FrontPanelPolicyViolations;
    unsigned int SCCPolicyViolations;
    unsigned int DCCPolicyViolations;
    unsigned int LoginViolations;
} SecurityStatsObjectRecord;
/* The seven texts of a field-replaceable unit, in the order the switch
 * hardware records give them. */
typedef struct FruRecordTexts {
    RecordText SerialNumber;
    RecordText PartNumber;
    RecordText MfgDate;
    RecordText UpdateDate;
    RecordText VendorSerialNumber;
    RecordText VendorPartNumber;
    RecordText VendorRevision;
} FruRecordTexts;

/* Object type 39: a product licensed on a switch and its licence keys. */
typedef struct LicensedProductRecord {
    unsigned short ObjType;
    OID_t OID;
    unsigned char SwitchWWN[8];
    int ProductID;
    RecordText ProductName;
    char (*setLicenseKey)[64]; /* 64-character entries, ended by an empty one */
} LicensedProductRecord;

/* Object type 35: the physical switch group a switch belongs to. */
typedef struct PhysSwitchGroupRecord {
    unsigned short ObjType;
    OID_t OID;
    char PhysGroupName[33];
    int PhysGroupType;
    OID_t* setPhysGroupSwitch; /* the member switches */
} PhysSwitchGroupRecord;

/* One fan of an enclosure. */
typedef struct BlowerItem {
    int FanRPM;
    int FanIntakeTemp;
    int PowerConsumeFactor;
    int TimeAwake;
    int TimeAlive;
    FruRecordTexts Fru;
} BlowerItem;

/* One temperature sensor of an enclosure. */
typedef struct TempSensorItem {
    int SensorValue;
    unsigned short SensorLocation;
    unsigned short SensorSlotNumber;
    unsigned short SensorLocationType;
    unsigned short SensorState;
} TempSensorItem;

/* One power supply of an enclosure. */
typedef struct PowerSupplyItem {
    int PSValue;
    int PowerConsumeFactor;
    int TimeAwake;
    int TimeAlive;
    FruRecordTexts Fru; /* PSSerialNumber, PSPartNumber, PSMfgDate, ... */
} PowerSupplyItem;

/* Object type 38: a switch's chassis. The chassis texts are in the order
 * ChassisSerialNumber, ChassisPartNumber, ChassisMfgDate,
 * ChassisUpdateDate, VendorSerialNumber, VendorPartNumber, VendorRevision.
 * The items and lists lie in the record's own block. */
typedef struct EnclosureObjectRecord {
    unsigned short ObjType;
    OID_t OID;
    OID_t* setSwitchOID;
    int ChassisType;
    unsigned char LicenseWWN[8];
    FruRecordTexts Chassis;
    int NumberOfBlowers;
    BlowerItem* Blowers;
    int NumberOfTempSensors;
    TempSensorItem* TempSensors;
    int NumberOfPowerSupplies;
    PowerSupplyItem* PowerSupplies;
    OID_t* setCP;
    OID_t* setWWNCard;
    OID_t* setBlade;
} EnclosureObjectRecord;

/* Object type 51: a control processor of a chassis. */
typedef struct ControlProcessorRecord {
    unsigned short ObjType;
    OID_t OID;
    int Index; /* the object's index plus 1 */
    unsigned short CPSlotNumber;
    int CPFruState;
    int CPHAState;
    int CPHAStatus;
    int PowerConsumeFactor;
    int TimeAwake;
    int TimeAlive;
    RecordText CPPartNumber;
    RecordText CPSerialNumber;
    RecordText CPMfgDate;
    RecordText CPUpdateDate;
    RecordText VendorSerialNumber;
    RecordText VendorPartNumber;
    RecordText VendorRevision;
    char IPAddress[16];
    char Netmask[16];
    char IPGateway[16];
} ControlProcessorRecord;

/* Object type 52: a world wide name card of a chassis. */
typedef struct WWNCardRecord {
    unsigned short ObjType;
    OID_t OID;
    int Index; /* the object's index plus 1 */
    int PowerConsumeFactor;
    int TimeAwake;
    int TimeAlive;
    RecordText WWNCardPartNumber;
    RecordText WWNCardSerialNumber;
    RecordText WWNCardMfgDate;
    RecordText WWNCardUpdateDate;
    RecordText VendorSerialNumber;
    RecordText VendorPartNumber;
    RecordText VendorRevision;
} WWNCardRecord;

/* Object type 53: a blade of a chassis. */
typedef struct BladeRecord {
    unsigned short ObjType;
    OID_t OID;
    int BladeType;
    unsigned short BladeSlotNumber;
    int BladeState;
    int PowerConsumeFactor;
    int TimeAwake;
    int TimeAlive;
    RecordText BladePartNumber;
    RecordText BladeSerialNumber;
    RecordText BladeMfgDate;
    RecordText BladeUpdateDate;
    RecordText VendorSerialNumber;
    RecordText VendorPartNumber;
    RecordText VendorRevision;
} BladeRecord;
/* Object type 10: a zone. Its name and member list lie in the record's own
 * block; the member list is consecutive 48-byte identifier entries ended by
 * an entry that begins with NUL. */
typedef struct ZoneRecord {
    unsigned short ObjType;
    OID_t OID;
    char* pcZoneName;
    unsigned short zoneType; /* 1 standard, 2 and 3 other kinds, 4 protocol zones; 0 unknown */
    int zoneSubType;         /* 0 without "/" in the name; 5 "IP", 255 "VI", else 8 */
    char* pcMemberOids;
} ZoneRecord;

/* Object type 20: a zone alias; name and member list as in ZoneRecord. */
typedef struct ZoneAliasRecord {
    unsigned short ObjType;
    OID_t OID;
    char* pcZoneAliasName;
    char* pcMemberOids;
} ZoneAliasRecord;

/* Object type 22: a zone member with the identifier of what it designates:
 * a port (type 1), a node (4), a domain and port reference (0xF000), a
 * defined zoning object, or a world wide name the fabric does not show as
 * such (types 0xFFF7 to 0xFFF9; 0 for a name that resolves to nothing). */
typedef struct ZoneMemberRecord {
    unsigned short ObjType;
    OID_t OID;
    OID_t targetOid;
    unsigned short zmType; /* 0 none, 1 Lun, 2 Alpa, 3 Fahost */
    char* pcZoneMemberModifier;
} ZoneMemberRecord;

/* Object type 11: a zone set of the defined zoning database; name and
 * member list (its zones) lie in the record's own block. */
typedef struct ZoneSetObjectRecord {
    unsigned short ObjType;
    OID_t OID;
    char* pcZoneSetName;
    unsigned short activateZoneSet; /* 1 when it is the active zone set */
    OID_t* pcMemberOids;
} ZoneSetObjectRecord;

/* The definition of a physical switch group (object type 35) that
 * CreateFabricObject takes: the group name, NUL-terminated within its field
 * and of at most 32 characters; a value handed to the switch unchanged; the
 * member switches' identifiers (at most 128 entries of 48 characters, ended
 * by an entry that begins with NUL), the first of which names the group. */
typedef struct PhysSwitchGroupDefinition {
    unsigned short ObjType;
    OID_t OID;
    char PhysGroupName[34];
    int PhysGroupType;
    OID_t* setPhysGroupSwitch;
} PhysSwitchGroupDefinition;

#endif
