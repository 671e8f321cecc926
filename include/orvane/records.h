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

#endif
