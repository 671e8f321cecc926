#include "objects/AttributeDictionary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

namespace {

// Every row as its name (or "(empty name)") and code, in table order.
const char* const kListing =
    "-Unnamed- 0x00000000; (empty name) 0x00040001; OID 0x000b0002; ObjType 0x00040003; "
    "DisplayName 0x00080004; WWN 0x00090005; HardwareInfo 0x00080006; Creator 0x00070007; "
    "FabricOID 0x000b0008; ExplorerCount 0x00060009; PortCount 0x0004000a; "
    "NodeName 0x0009000b; PortName 0x0009000c; FabricName 0x0009000d; "
    "ObjectSubtype 0x0007000e; SwitchWWN 0x0009000f; OwnerNodeOID 0x000b0010; "
    "OwnerFabricOID 0x000b0011; OwnerHbaOID 0x000b0012; OwnerDeviceOID 0x000b0013; "
    "OwnerHostOID 0x000b0014; OwnerSwitchOID 0x000b0015; ObjectIndex 0x00060016; "
    "Update 0x00070021; CreateTime 0x00070022; UpdateTime 0x00070023; "
    "DiscoveryState 0x00060024; PortStatus 0x00040102; PortId 0x00060103; "
    "PortNumber 0x00040104; PortType 0x00040105; GBICType 0x00040106; PortState 0x00040108; "
    "FC4Protocol 0x000b010b; ClassOfService 0x000b010c; IsSwitchPort 0x0004010d; "
    "PortPhysicalState 0x00040110; PortSpeed 0x00040111; PortLinkDistance 0x00040112; "
    "PortLinkDistance 0x00040112; TxLinkRouteCost 0x00040113; GBICSerialNumber 0x00070114; "
    "GBICMfg 0x00070115; PortStatsOID 0x00060116; PortErrorsOID 0x00060117; "
    "PortSymbolicName 0x00110118; ConnectedPortSet 0x00100119; Portwwn 0x0006011a; "
    "PortOwnerOID 0x000b011b; TrunkDisable 0x0004011c; TrunkMasterPortNum 0x0004011d; "
    "BraidexPortEnabled 0x00040120; PortDeviceType 0x00060121; DomainId 0x00040201; "
    "InBandAddr 0x000f0202; OutBandAddr 0x000f0203; SwitchStatus 0x00040204; "
    "SwitchID 0x00060205; VendorName 0x00070207; Model 0x00070208; "
    "FirmwareVersion 0x00070209; SwitchRole 0x0004020a; SwitchName 0x0011020b; "
    "NumberOfModules 0x0004020c; PortsPerModule 0x0004020d; LoginName 0x0007020e; "
    "LoginPassword 0x0007020f; ZoningLicense 0x000a0210; SwitchState 0x00040212; "
    "SwitchTime 0x00050213; SwitchTimeZone 0x00050214; InBandNetMask 0x000f0216; "
    "OutBandNetMask 0x000f0217; IPGateway 0x000f0218; IsManageable 0x000a0219; "
    "MfgName 0x0007021a; MfgModel 0x0007021b; ZoningInstalled 0x000a021c; "
    "MaxNumberOfModules 0x0006021d; PortModuleSet 0x0010021e; LicenseKeySet 0x0010021f; "
    "HWZoningCapabilities 0x00040220; SWZoningCapabilities 0x00040221; "
    "CurrentZoningEnforcement 0x00040222; TrunkingCapable 0x00040223; "
    "ThrexEventsEnable 0x00040224; PhysSwitchGroupOID 0x000b0225; "
    "EmbeddedSwitchType 0x00040226; EmbSwInvariantName 0x00070227; EmbSwSlotId 0x00040228; "
    "EmbSwBaseIPAddr 0x000f0229; EmbSwBaseDomainId 0x0004022a; EmbSwEportMode 0x0006022b; "
    "EmbSwBoxSerialNumber 0x0007022c; ValidCertificateInstalled 0x0004022d; "
    "MfgSerialNumber 0x0007022e; PhysGroupName 0x0007022f; BraidexSwitchEnabled 0x00040230; "
    "BraidexPartnerOID 0x00060231; BraidexPartnerEnabled 0x00040232; "
    "BraidexAlpaBitmap 0x00070233; PhysGroupType 0x00060234; OwnerOID 0x000b0235; "
    "ProductID 0x00060236; PhysGroupSwitch 0x000b0237; SecurityStats 0x000b0238; "
    "Switch 0x000b0239; ChassisSerialNumber 0x00070240; ChassisType 0x00070241; "
    "ChassisPartNumber 0x00070242; ChassisMfgDate 0x00070243; ChassisUpdateDate 0x00070244; "
    "VendorSerialNumber 0x00070245; VendorPartNumber 0x00070246; VendorRevision 0x00070247; "
    "FanRPM 0x00060248; FanIntakeTemp 0x00060249; PowerConsumeFactor 0x0006024a; "
    "TimeAlive 0x0006024b; TimeAwake 0x0006024c; FanSerialNumber 0x0007024d; "
    "FanPartNumber 0x0007024e; FanMfgDate 0x0007024f; FanUpdateDate 0x00070250; "
    "EnclosureObject 0x00100251; NumberOfBlowers 0x00060252; "
    "NumberOfPowerSupplies 0x00060253; NumberOfTempSensors 0x00060254; "
    "PSSerialNumber 0x00070255; PSValue 0x00060256; PSPartNumber 0x00070257; "
    "PSMfgDate 0x00070258; PSUpdateDate 0x00070259; SwitchOID 0x000b025a; "
    "SensorValue 0x0007025b; SensorLocation 0x0004025c; SensorSlotNumber 0x0004025d; "
    "SensorLocationType 0x0004025e; SensorState 0x0004025f; Index 0x00060260; "
    "CPSlotNumber 0x00040261; CPFruState 0x00060262; CPHAStatus 0x00060263; "
    "CPPartNumber 0x00070264; CPMfgDate 0x00070265; CPUpdateDate 0x00070266; "
    "IPAddress 0x00070267; Netmask 0x00070268; WWNCardPartNumber 0x00070269; "
    "WWNCardSerialNumber 0x0007026a; WWNCardMfgDate 0x0007026b; WWNCardUpdateDate 0x0007026c; "
    "CPSerialNumber 0x0007026d; BladeType 0x0006026e; BladeSlotNumber 0x0004026f; "
    "BladeState 0x00060270; BladePartNumber 0x00070271; BladeSerialNumber 0x00070272; "
    "BladeMfgDate 0x00070273; BladeUpdateDate 0x00070274; CPHAState 0x00060275; "
    "Attached 0x000a0401; NodeOID 0x000b0420; NodeWWN 0x00070421; "
    "NodeSymbolicName 0x00080422; NodePortSet 0x00100433; Hostkey 0x000b0501; "
    "DriverInfo 0x00070502; DevicePath 0x00070503; HBAName 0x00070504; DeviceType 0x00040601; "
    "SCSIInquiryString 0x00070602; DeviceID 0x000b0610; DeviceNodeOID 0x000b0611; "
    "AddrUnitID 0x00060701; ProductName 0x00070702; ProductRevision 0x00070703; "
    "ProductSerialNumber 0x00070704; VMDiskMediaName 0x00070705; VMDiskMediaGroup 0x00070706; "
    "AddrUnitCapacity 0x000d0707; VMDiskMediaHost 0x00070708; VMDiskMediaIoPaths 0x00060709; "
    "VMDiskMediaPublicCapacity 0x000d070a; AddrUnitConfig 0x0007070b; HostInfo 0x00070801; "
    "YarlVersion 0x00070802; HostIPAddress 0x000f0803; HostName 0x00070804; "
    "ZoningModel 0x00060901; ZoneableByYarl 0x000a0902; ZoneConfig 0x800b0903; "
    "IsZoned 0x000a0904; EnableEventNotifications 0x00040905; ZoneConfigName 0x00070a01; "
    "ZoneName 0x00070a02; IsDeleted 0x000a0a03; OwnerZoneConfigOID 0x000b0a05; "
    "ZoneMemberSet 0x800b0a06; ZoneAliasName 0x00070a07; ZoneAliasMemberSet 0x800b0a08; "
    "ZoneType 0x00060a09; ZoneSubType 0x00060a0a; ZoneObjectId 0x000b0a0b; "
    "ZoneAliasId 0x000b0a0c; ZoneEnforcementMode 0x00040a0d; ZoneConfigMemberSet 0x800b0b02; "
    "ActivateZoneSet 0x000a0b03; ZoneSetObjectId 0x000b0b04; ActivateZoneList 0x00100b05; "
    "ZoneConfigOIDSet 0x00100b06; ZoneAliasOIDSet 0x00100b07; ZoneOIDSet 0x00100b08; "
    "ActiveZoneID 0x000b0b09; ActiveZoneSetName 0x00070b0a; ZoneSetMemberOIDSet 0x00100b0b; "
    "DeactivateActiveZoneDb 0x000a0b0e; FullZoneDBId 0x000b0b0c; ClearFullZoneDb 0x000a0b0f; "
    "ZoneSetOIDSet 0x000b0b10; ZoneSetName 0x00070b11; ActiveZoneSet 0x000a0b0d; "
    "CommitZoneTransaction 0x000a0b36; ValidateZoneTransaction 0x000a0b37; "
    "DefaultZoneSetSupported 0x000a0b20; ActiveZoneDBOID 0x000b0b21; "
    "FullZoneDBOID 0x000b0b22; ZoneTransactionActive 0x000a0b23; "
    "ZoneTransactionCommit 0x000a0b24; ZoneTransactionValidate 0x000a0b25; "
    "ValidationErrorObject 0x000b0b26; ValidationErrorMember 0x000b0b27; "
    "ValidationError 0x00040b28; ZoneTransactionDirty 0x000a0b29; "
    "DefaultZoningBehavior 0x00040b2a; ZoningEnabled 0x000a0b2b; "
    "ZoneMemberTargetTyping 0x000a0b2c; ZoningRefresh 0x000a0b2d; ZoneMemberID 0x000b0b30; "
    "ZoneMemberTarget 0x00070b31; ZoneMemberModifier 0x00070b32; ZMType 0x00040b33; "
    "MemberName 0x00070b34; ValidationZoneSetName 0x00070b35; ValidationZoneName 0x00070b38; "
    "ValidationZoneMemberName 0x00070b39; ZoneMaxSets 0x00040b40; "
    "ZoneMaxZonesPerSet 0x00040b41; ZoneMaxZones 0x00040b42; ZoneMaxMembers 0x00040b43; "
    "ZoneMaxNameLen 0x00040b44; MaxZoneCapabilities 0x00060b47; TargetPortOID 0x000b0c01; "
    "HbaPortKey 0x000b0c02; OSHandleStatus 0x00040c03; AddrUnitOID 0x000b0c04; "
    "TargetDriver 0x00070c05; OSHandleName 0x00070c06; SecName 0x00070d01; "
    "SecPassword 0x00070d02; SecAccount 0x00040d03; SecPermission 0x00040d04; "
    "EventCode 0x00040d40; EventDate 0x00070d41; EventDescription 0x00070d42; "
    "EventFabricOID 0x000b0d43; EventId 0x00040d44; EventTime 0x00070d45; "
    "ObjectOID 0x000b0d46; ThrexClass 0x00060d47; ThrexArea 0x00060d48; "
    "DefaultUnitString 0x00070d49; DefaultTimeBase 0x00060d4a; DefaultBufferSize 0x00060d4b; "
    "CustomUnitString 0x00070d4c; CustomTimeBase 0x00060d4d; CustomLowBoundary 0x00060d4e; "
    "CustomHighBoundary 0x00060d4f; CustomBufferSize 0x00060d50; "
    "BoundaryLevelSelect 0x00060d51; DefaultChangedAlarm 0x00060d52; "
    "DefaultExceededAlarm 0x00060d53; DefaultBelowAlarm 0x00060d54; "
    "DefaultAboveAlarm 0x00060d55; DefaultInbetweenAlarm 0x00060d56; "
    "CustomChangedAlarm 0x00060d57; CustomExceededAlarm 0x00060d58; "
    "CustomBelowAlarm 0x00060d59; CustomAboveAlarm 0x00060d5a; "
    "CustomInbetweenAlarm 0x00060d5b; AlarmLevelSelect 0x00060d5c; "
    "DefaultLowBoundary 0x00060d5d; DefaultHighBoundary 0x00060d5e; ThrexIndex 0x00060d62; "
    "ThreshStatus 0x00060d63; ThreshName 0x00070d64; ThreshLabel 0x00070d65; "
    "ThreshCurrentValue 0x00060d66; ThreshLastEventType 0x00060d67; "
    "ThreshLastEventValue 0x00060d68; ThreshLastEventTime 0x00070d69; "
    "ThreshLastEventState 0x00060d6a; ThreshBehaviorType 0x00060d6b; "
    "ThreshBehaviorInterval 0x00060d6c; ThreshEventType 0x00060d6d; "
    "ThreshEventValue 0x00060d6e; ThreshEventTime 0x00070d6f; ThreshEventState 0x00060d70; "
    "PlatformName 0x00110e01; PlatformNodeSet 0x800b0e02; ManagementAddrSet 0x80110e03; "
    "PlatformType 0x00040e04; PlatformOID 0x000b0e05; SessionEstablished 0x000b0e07; "
    "fabVersion 0x000b0e08; FabricOID 0x000b0e10; Fabricwwn 0x00060e11; "
    "ZoningCapabilities 0x000b0e12; VersionMark 0x00060e13; FabricType 0x00040e14; "
    "PlatformSet 0x00100e15; InterconnectElementSet 0x00100e16; SFVersion 0x00040e17; "
    "SecurityCapabilities 0x000b0e18; PortModuleOID 0x000b0e20; ModuleSlotNumber 0x00060e21; "
    "ModulePortCount 0x00040e22; StartSwitchPortIndex 0x00040e23; PortModuleState 0x00040e24; "
    "PortModuleStatus 0x00040e25; PortSet 0x00100e26; PortModuleNumTempSensors 0x00040e27; "
    "PortModuleOEMSN 0x00070e28; PortModuleSN 0x00070e29; PortModuleMfgDate 0x00070e2a; "
    "PortModuleMfgLocation 0x00070e2b; PortModulePartNumber 0x00070e2c; "
    "PortModuleRevision 0x00070e2d; RouteType 0x00040e30; RouteOID 0x00060e31; "
    "TxPortSet 0x00100e32; PortStatsID 0x000b0e40; PortStatsReset 0x00040e41; "
    "PortSamplePeriod 0x00060e42; PortTxFrame 0x00060e43; PortRxFrame 0x00060e44; "
    "PortTxPeakFrame 0x00060e45; PortRxPeakFrame 0x00060e46; PortTxByte 0x00060e47; "
    "PortRxByte 0x00060e48; PortTxPeakByte 0x00060e49; PortRxPeakByte 0x00060e4a; "
    "CtnTxByte 0x00060e4b; CntRxByte 0x00060e4c; CntTxFrame 0x00060e4d; "
    "CntRxFrame 0x00060e4e; CntBBCreditZero 0x00060e4f; CntInputBuffersFull 0x00060e50; "
    "CntFBSYFrames 0x00060e51; CntPBSYFrames 0x00060e52; CntFRJTFrames 0x00060e53; "
    "CntRxClass1Frames 0x00060e54; CntRxClass2Frames 0x00060e55; "
    "CntRxClass3Frames 0x00060e56; CntClass3Discard 0x00060e57; CntRxMcastFrames 0x00060e58; "
    "CntTxMcastFrames 0x00060e59; CntPRJTFrames 0x00060e5a; PortErrorsId 0x00060e70; "
    "PortErrorsReset 0x00040e71; CntRxLinkReset 0x00060e72; CntTxLinkReset 0x00060e73; "
    "CntRxOfflineSequences 0x00060e74; CntTxOfflineSequences 0x00060e75; "
    "CntLinkFailures 0x00060e76; CntInvalidCRCErrors 0x00060e77; "
    "CntInvalidTxWords 0x00060e78; CntPrimSeqProtoErrors 0x00060e79; "
    "CntSignalLosses 0x00060e7a; CntSyncLosses 0x00060e7b; CntInvalidOrderedSet 0x00060e7c; "
    "CntRxFrameTooLong 0x00060e7d; CntRxTruncFrames 0x00060e7e; "
    "CntAddressIdErorrs 0x00060e7f; CntDelimiterErrors 0x00060e80; "
    "CntRxEncodingDisparit 0x00060e81; yErr 0x00060e82; CntTooManyRdys 0x00060e83; "
    "CntRxEncOutFrames 0x00060e84; CntMcastTimeout 0x00060e85; CntRxLCs 0x00060e86; "
    "SecureModeEnabled 0x00040e90; ActivePolicySet 0x000b0e91; DefinedPolicySet 0x000b0e92; "
    "SecurityTransactionActive 0x000a0e93; CommitSecurityTransaction 0x000a0e94; "
    "SecurityTransactionDirty 0x00040e95; FCSAdminPassword 0x00070e96; "
    "NonFCSAdminPassword 0x00070e97; ActivatePolicySet 0x000b0e98; "
    "PolicySetOIDSet 0x800b0e99; PolicyName 0x00070e9a; PolicyMemberSet 0x800b0e9b; "
    "PolicyVersionStamp 0x00070e9c; SecurityStatsReset 0x00040e9d; PrimaryFCS 0x000b0e9e; "
    "SecurityTransactionDirty 0x00040e9f; ApplyBoundaryChanges 0x00040ea0; "
    "CancelBoundaryChanges 0x00040ea1; ApplyAlarmChanges 0x00040ea2; "
    "CancelAlarmChanges 0x00040ea3; TelnetPolicyViolations 0x00060eb0; "
    "HTTPPolicyViolations 0x00060eb1; APIPolicyViolations 0x00060eb2; "
    "SNMPReadPolicyViolations 0x00060eb3; SNMPWritePolicyViolations 0x00060eb4; "
    "SESPolicyViolations 0x00060eb5; MSPolicyViolations 0x00060eb6; "
    "SerialPolicyViolations 0x00060eb7; FrontPanelPolicyViolations 0x00060eb8; "
    "SCCPolicyViolations 0x00060eb9; DCCPolicyViolations 0x00060eba; "
    "NextDeviceIndex 0x00067ffc; StoreAddress 0x00067ffd; DebugString 0x00077ffe; "
    "ErrorCode 0x06667fff; ";

std::string listingOfTable() {
    std::string listing;
    for (const AttributeDictionaryEntry& row : attributeDictionary()) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%08x", static_cast<unsigned>(row.code));
        listing += std::string(row.name[0] == '\0' ? "(empty name)" : row.name) + " " + code + "; ";
    }
    return listing;
}

TEST(AttributeDictionary, EveryRowHasItsNameAndCodeInOrder) {
    ASSERT_EQ(attributeDictionary().size(), 426u);
    EXPECT_EQ(listingOfTable(), kListing);
}

TEST(AttributeDictionary, TellingRowsCarryTheirTraitsAndSymbols) {
    const AttributeDictionaryEntry telling[] = {
        {0x00000000, 0x0, "YARLATTR_INVALID", "-Unnamed-"},
        {0x00040001, 0xa, "YARLATTR_NEWCUSTOMID", ""},
        {0x000b0002, 0x20, "YARLATTR_OBJKEY", "OID"},
        {0x00040003, 0x0, "YARLATTR_OBJTYPE", "ObjType"},
        {0x00080004, 0x1, "YARLATTR_DISPLAY_NAME", "DisplayName"},
        {0x00090005, 0x0, "YARLATTR_WWN", "WWN"},
        {0x000b0008, 0x0, "YARLATTR_FABRIC_KEY", "FabricOID"},
        {0x00060009, 0x2, "YARLATTR_EXPLORER_COUNT", "ExplorerCount"},
        {0x00060024, 0x8, "YARLATTR_DISCOVERY_STATE", "DiscoveryState"},
        {0x0004010d, 0x2, "YARLATTR_IS_SWITCH_PORT", "IsSwitchPort"},
        {0x00040112, 0x1, "YARLATTR_PORT_DISTANCE", "PortLinkDistance"},
        {0x00040112, 0x1, "YARLATTR_LINK_DISTANCE", "PortLinkDistance"},
        {0x000f0202, 0x1, "YARLATTR_IPADDR_INBAND", "InBandAddr"},
        {0x0011020b, 0x1, "YARLATTR_SWITCH_NAME", "SwitchName"},
        {0x00050213, 0x1, "YARLATTR_SWITCH_TIME", "SwitchTime"},
        {0x0010021f, 0x1, "YARLATTR_SWITCH_LICENSE", "LicenseKeySet"},
        {0x000d0707, 0x0, "YARLATTR_LUN_CAPACITY", "AddrUnitCapacity"},
        {0x800b0a06, 0x1, "YARLATTR_ZONE_MEMBERS", "ZoneMemberSet"},
        {0x000a0b23, 0x1, "YARLATTR_ZONE_TR_ACTIVE", "ZoneTransactionActive"},
        {0x00070d02, 0x2, "YARLATTR_SEC_PASSWD", "SecPassword"},
        {0x80110e03, 0x1, "YARLATTR_MGT_ADDRS", "ManagementAddrSet"},
        {0x000b0e10, 0x0, "YARLATTR_FABRIC_OID", "FabricOID"},
        {0x00067ffd, 0x22, "YARLATTR_RDMDBA", "StoreAddress"},
        {0x06667fff, 0x0, "YARLATTR_ERROR", "ErrorCode"},
        // Symbols the XML interface names.
        {0x800b0a08, 0x1, "YARLATTR_ZONE_ALIAS_MEMBERS", "ZoneAliasMemberSet"},
        {0x800b0b02, 0x1, "YARLATTR_ZONE_CFG_MEMBERS", "ZoneConfigMemberSet"},
        {0x800b0e99, 0x1, "YARLATTR_POLICYSET_OIDSET", "PolicySetOIDSet"},
        {0x800b0e9b, 0x1, "YARLATTR_POLICYMEMBER_SET", "PolicyMemberSet"},
        {0x000b0225, 0x1, "YARLATTR_PHYS_SWITCHGROUP_OID", "PhysSwitchGroupOID"},
    };
    for (const AttributeDictionaryEntry& expected : telling) {
        bool found = false;
        for (const AttributeDictionaryEntry& row : attributeDictionary()) {
            if (std::string(row.symbol) == expected.symbol) {
                found = true;
                EXPECT_EQ(row.code, expected.code) << expected.symbol;
                EXPECT_EQ(row.traits, expected.traits) << expected.symbol;
                EXPECT_STREQ(row.name, expected.name) << expected.symbol;
            }
        }
        EXPECT_TRUE(found) << expected.symbol;
    }
    EXPECT_EQ(attributeDictionary().front().code, 0u);
    EXPECT_EQ(attributeDictionary().back().code, 0x06667fffu);
}

TEST(AttributeDictionary, TraitsAndValueTypesCountAsPublished) {
    std::map<std::uint32_t, int> traits;
    std::map<std::uint32_t, int> valueTypes;
    for (const AttributeDictionaryEntry& row : attributeDictionary()) {
        ++traits[row.traits];
        ++valueTypes[row.code >> 16];
    }
    const std::map<std::uint32_t, int> expectedTraits = {{0x0, 320}, {0x1, 96}, {0x2, 6}, {0x8, 1},
                                                         {0xa, 1},   {0x20, 1}, {0x22, 1}};
    EXPECT_EQ(traits, expectedTraits);
    const std::map<std::uint32_t, int> expectedTypes = {
        {0x0000, 1}, {0x0004, 75}, {0x0005, 2},  {0x0006, 132}, {0x0007, 100}, {0x0008, 3},
        {0x0009, 5}, {0x000a, 23}, {0x000b, 50}, {0x000d, 2},   {0x000f, 7},   {0x0010, 14},
        {0x0011, 3}, {0x800b, 7},  {0x8011, 1},  {0x0666, 1}};
    EXPECT_EQ(valueTypes, expectedTypes);
}

TEST(AttributeDictionary, OnlyTheKnownNamesAndCodesStandTwiceAndSymbolsAreUnique) {
    std::map<std::string, int> names;
    std::map<std::uint32_t, int> codes;
    std::set<std::string> symbols;
    for (const AttributeDictionaryEntry& row : attributeDictionary()) {
        ++names[row.name];
        ++codes[row.code];
        EXPECT_TRUE(symbols.insert(row.symbol).second) << "symbol twice: " << row.symbol;
        const std::string symbol = row.symbol;
        EXPECT_EQ(symbol.rfind("YARLATTR_", 0), 0u) << symbol;
        EXPECT_EQ(symbol.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_"),
                  std::string::npos)
            << symbol;
    }
    std::set<std::string> twiceNamed;
    for (const auto& [name, count] : names) {
        if (count > 1) {
            twiceNamed.insert(name);
            EXPECT_EQ(count, 2) << name;
        }
    }
    EXPECT_EQ(twiceNamed,
              (std::set<std::string>{"FabricOID", "PortLinkDistance", "SecurityTransactionDirty"}));
    std::set<std::uint32_t> twiceCoded;
    for (const auto& [code, count] : codes) {
        if (count > 1) {
            twiceCoded.insert(code);
            EXPECT_EQ(count, 2) << code;
        }
    }
    EXPECT_EQ(twiceCoded, (std::set<std::uint32_t>{0x00040112}));
}

TEST(AttributeDictionary, LookUpByNameAndByCode) {
    struct Case {
        const char* name;
        std::uint32_t code;
    } byName[] = {
        {"OID", 0x000b0002},
        {"oid", 0},
        {"PortLinkDistance", 0x00040112},
        {"", 0x00040001},
        {"FabricOID", 0x000b0008},                // the first of two
        {"SecurityTransactionDirty", 0x00040e95}, // the first of two
        {"-Unnamed-", 0},
        {"ErrorCode", 0x06667fff},
        {"NoSuchAttribute", 0},
        {nullptr, 0},
    };
    for (const Case& c : byName) {
        EXPECT_EQ(yarlAttrCodeOfName(c.name), c.code) << (c.name ? c.name : "(null)");
    }

    const AttributeDictionaryEntry* row = attributeOfCode(0x000b0e10);
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->name, "FabricOID");
    EXPECT_STREQ(row->symbol, "YARLATTR_FABRIC_OID");
    row = attributeOfCode(0x00040112);
    ASSERT_NE(row, nullptr);
    EXPECT_STREQ(row->symbol, "YARLATTR_PORT_DISTANCE") << "the first of two";
    EXPECT_EQ(attributeOfCode(0x00040002), nullptr);
}

} // namespace
