#include "yarllite/ObjectRecordAttributes.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "api/ObjectStore.h"
#include "api/StoredObject.h"
#include "foundation/Base64.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "objects/ObjectTypes.h"
#include "yarllite/ObjectRecordLayouts.h"
#include "yarllite/XmlEscape.h"

namespace {

using namespace object_record;

// The layouts read here are those of the public records that the object
// classes fill.
static_assert(sizeof(Port) == sizeof(PortRecord));
static_assert(sizeof(PortModule) == sizeof(PortModuleRecord));
static_assert(sizeof(Node) == sizeof(NodeRecord));
static_assert(sizeof(Device) == sizeof(DeviceRecord));
static_assert(sizeof(PortStats) == sizeof(PortStatsObjectRecord));
static_assert(sizeof(PortErrors) == sizeof(PortErrorsObjectRecord));
static_assert(sizeof(Route) == sizeof(RouteRecord));
static_assert(sizeof(ZoningCapabilities) == sizeof(ZoningCapabilitiesRecord));
static_assert(sizeof(FullZoneDb) == sizeof(FullZoneDBRecord));
static_assert(sizeof(ActiveZoneDb) == sizeof(ActiveZoneDBRecord));
static_assert(sizeof(ThrexClassAreaLayout) == sizeof(ThrexClassArea));
static_assert(sizeof(ThrexThresholdEntryLayout) == sizeof(ThrexThresholdEntry));

// Base64 texts of raw record bytes are cut to this many characters.
constexpr std::size_t kMaxEncodedText = 499;
constexpr std::size_t kOidEntry = sizeof(OID_t);
// Bit of "VersionMark" that says the newer fields of a record are valid.
constexpr std::uint32_t kNewerFields = 0x2;

// A fixed field's text: up to its first NUL, at most `size` characters.
std::string fieldText(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

template <std::size_t N> std::string fieldText(const char (&field)[N]) {
    return fieldText(field, N);
}

std::string fieldText(const TextField& field) {
    return fieldText(field.text);
}

std::string fieldText(const RecordText& field) {
    return fieldText(field.Text);
}

// The entries of a list of `stride`-character entries, up to the entry
// that starts with NUL. A null list has none.
std::vector<std::string> listEntries(const char* list, std::size_t stride) {
    std::vector<std::string> entries;
    for (const char* entry = list; entry != nullptr && *entry != '\0'; entry += stride) {
        entries.push_back(fieldText(entry, stride));
    }
    return entries;
}

std::string base64Text(const unsigned char* bytes, std::size_t count) {
    if (count == 0) {
        return {};
    }
    std::vector<char> encoded(Base64EncodedSize(static_cast<std::uint32_t>(count)) + 1);
    unsigned written = 0;
    if (Base64Encode(reinterpret_cast<const char*>(bytes), encoded.data(), static_cast<int>(count),
                     &written) != 0) {
        return {};
    }
    std::string text(encoded.data());
    if (text.size() > kMaxEncodedText) {
        text.resize(kMaxEncodedText);
    }
    return text;
}

std::string hexNumber(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%" PRIx32, value);
    return text;
}

// One `Name="value" ` item of an enclosure list entry.
void appendItem(std::string& entry, const char* name, std::string_view value) {
    entry += name;
    entry += "=\"";
    appendEscaped(entry, value);
    entry += "\" ";
}

void appendNumber(std::string& entry, const char* name, std::int32_t value) {
    appendItem(entry, name, hexNumber(static_cast<std::uint32_t>(value)));
}

// The typed setters on one stored object.
class Target {
public:
    explicit Target(StoredObject& object) : object_(object) {}

    void shortAttr(const char* name, unsigned value) {
        object_.setShortAttr(name, static_cast<unsigned short>(value));
    }
    void intAttr(const char* name, std::int64_t value) {
        object_.setIntAttr(name, static_cast<std::int32_t>(value));
    }
    void text(const char* name, const std::string& value) { object_.setStringAttr(name, value); }
    void bytes(const char* name, const TextField& field) {
        object_.setBytesAttr(name, field.text, field.length);
    }
    void bytes(const char* name, const RecordText& field) {
        object_.setBytesAttr(name, field.Text, field.Length);
    }
    void wwn(const char* name, const unsigned char (&bytes)[8]) {
        object_.setWwnAttr(name, WWNAddress(bytes));
    }
    void empty(const char* name) { object_.setHandleAttr(name, nullptr); }

    // The list emptied, then filled with `entries` in order.
    void replaceList(const char* name, const std::vector<std::string>& entries) {
        object_.clearList(name);
        for (const std::string& entry : entries) {
            object_.appendListValue(name, entry);
        }
    }
    // Each entry appended unless the list holds it already.
    void addToList(const char* name, const std::vector<std::string>& entries) {
        for (const std::string& entry : entries) {
            if (!object_.listContains(name, entry)) {
                object_.appendListValue(name, entry);
            }
        }
    }
    void addRelations(const char* name, const std::vector<std::string>& entries) {
        for (const std::string& entry : entries) {
            if (!entry.empty()) {
                object_.addRelation(name, entry);
            }
        }
    }

    StoredObject& object() { return object_; }

private:
    StoredObject& object_;
};

// The counters of a statistics record: the lower word under the name, the
// upper word under the name with "_Top_Int".
template <std::size_t N>
void storeCounters(Target& target, const Counter (&counters)[N], const char* const (&names)[N]) {
    for (std::size_t i = 0; i < N; ++i) {
        target.intAttr(names[i], counters[i].lower);
        target.intAttr((std::string(names[i]) + "_Top_Int").c_str(), counters[i].upper);
    }
}

void storeZoningCapabilities(Target& t, const ZoningCapabilities& r) {
    t.intAttr("VersionMark", r.versionMark);
    t.text("ValidationZoneSetName", fieldText(r.validationZoneSetName));
    t.text("ValidationZoneName", fieldText(r.validationZoneName));
    t.text("ValidationZoneMemberName", fieldText(r.validationZoneMemberName));
}

void storeSwitch(Target& t, const Switch& r) {
    t.shortAttr("DomainId", r.DomainId);
    t.shortAttr("SwitchRole", r.SwitchRole);
    t.shortAttr("IsManageable", r.IsManageable);
    t.text("InBandAddr", fieldText(r.InBandAddr));
    t.text("OutBandAddr", fieldText(r.OutBandAddr));
    t.text("InBandNetMask", fieldText(r.InBandNetMask));
    t.text("OutBandNetMask", fieldText(r.OutBandNetMask));
    t.text("IPGateway", fieldText(r.IPGateway));
    t.shortAttr("SwitchState", r.SwitchState);
    t.shortAttr("SwitchStatus", r.SwitchStatus);
    t.intAttr("SwitchID", r.SwitchID);
    t.text("VendorName", fieldText(r.VendorName));
    t.text("Model", fieldText(r.Model));
    t.bytes("MfgName", r.MfgName);
    t.bytes("MfgModel", r.MfgModel);
    t.text("FirmwareVersion", fieldText(r.FirmwareVersion));
    t.text("SwitchName", fieldText(r.SwitchName));
    t.shortAttr("ZoningInstalled", r.ZoningInstalled);
    t.shortAttr("MaxNumberOfModules", r.MaxNumberOfModules);
    t.intAttr("SwitchTime", r.SwitchTime);
    t.intAttr("SwitchTimeZone", r.SwitchTimeZone);
    t.text("OwnerOID", fieldText(r.OwnerOID));
    t.intAttr("VersionMark", r.VersionMark);
    if ((r.VersionMark & kNewerFields) == 0) {
        return;
    }
    t.shortAttr("TrunkingCapable", r.TrunkingCapable);
    t.shortAttr("ThrexEventsEnable", r.ThrexEventsEnable);
    t.intAttr("EmbeddedSwitchType", r.EmbeddedSwitchType);
    t.wwn("EmbSwInvariantName", r.EmbSwInvariantName);
    t.shortAttr("EmbSwSlotId", r.EmbSwSlotId);
    t.text("EmbSwBaseIPAddr", fieldText(r.EmbSwBaseIPAddr));
    t.shortAttr("EmbSwBaseDomainId", r.EmbSwBaseDomainId);
    t.intAttr("EmbSwEportMode", r.EmbSwEportMode);
    t.text("EmbSwBoxSerialNumber", fieldText(r.EmbSwBoxSerialNumber));
    t.intAttr("ValidCertificateInstalled", r.ValidCertificateInstalled);
    t.text("MfgSerialNumber",
           base64Text(reinterpret_cast<const unsigned char*>(r.MfgSerialNumber.Text),
                      r.MfgSerialNumber.Length));
    t.shortAttr("HWZoningCapabilities", r.HWZoningCapabilities);
    t.shortAttr("SWZoningCapabilities", r.SWZoningCapabilities);
    t.shortAttr("CurrentZoningEnforcement", r.CurrentZoningEnforcement);
    t.addRelations("setPhysSwitchGroup", {fieldText(r.PhysSwitchGroupOID)});
    t.addRelations("SetLicenseKey", listEntries(r.LicenseKeys != nullptr ? r.LicenseKeys[0] : nullptr, kLicenseKeyEntry));
    const std::vector<std::string> products = listEntries(r.LicensedProductOIDs != nullptr ? r.LicensedProductOIDs[0] : nullptr, kOidEntry);
    t.addRelations("setLicensedProduct", products);
    t.intAttr("ProductLicensed", products.empty() ? 0 : 1);
    t.shortAttr("BraidexSwitchEnabled", r.BraidexSwitchEnabled);
    t.shortAttr("BraidexPartnerEnabled", r.BraidexPartnerEnabled);
    t.text("BraidexPartnerOID", fieldText(r.BraidexPartnerOID));
    std::string bitmap;
    for (const unsigned char byte : r.BraidexAlpaBitmap) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", byte);
        bitmap += digits;
    }
    t.text("BraidexAlpaBitmap", bitmap);
}

bool isSwitchPortType(unsigned type) {
    return (type >= 320 && type <= 323) || type == 327;
}

void storePort(Target& t, const Port& r) {
    t.text("OwnerOID", fieldText(r.ownerOid));
    t.shortAttr("PortState", r.portState);
    t.shortAttr("PortStatus", r.portStatus);
    t.shortAttr("PortPhysicalState", r.portPhysicalState);
    t.intAttr("PortId", r.portId);
    t.shortAttr("PortType", r.portType);
    t.shortAttr("PortNumber", r.portNumber);
    t.shortAttr("PortSpeed", r.portSpeed);
    t.shortAttr("PortLinkDistance", r.portLinkDistance);
    t.shortAttr("TxLinkRouteCost", r.txLinkRouteCost);
    t.shortAttr("GBICType", r.gbicType);
    if (isSwitchPortType(r.portType)) {
        constexpr std::size_t kGbicText = 17;
        if (r.gbicSerialNumber != nullptr) {
            t.text("GBICSerialNumber", fieldText(r.gbicSerialNumber, kGbicText));
        }
        if (r.gbicMfg != nullptr) {
            t.text("GBICMfg", fieldText(r.gbicMfg, kGbicText));
        }
        t.text("FC4Protocol", base64Text(r.fc4Protocol, sizeof r.fc4Protocol));
    }
    t.shortAttr("ClassOfService", r.classOfService);
    t.text("PortStatsOID", fieldText(r.portStatsOid));
    t.text("PortErrorsOID", fieldText(r.portErrorsOid));
    if (r.portSymbolicNameLength != 0) {
        t.text("PortSymbolicName", base64Text(r.portSymbolicName, r.portSymbolicNameLength));
    }
    t.intAttr("VersionMark", r.versionMark);
    if ((r.versionMark & kNewerFields) != 0) {
        t.intAttr("TrunkMasterPortNum", r.trunkMasterPortNum);
        t.shortAttr("TrunkDisable", r.trunkDisable);
    }
    t.shortAttr("BraidexPortEnabled", r.braidexPortEnabled);
    t.shortAttr("PortDeviceType", r.portDeviceType);
}

void storePortModule(Target& t, const PortModule& r) {
    t.text("OwnerOID", fieldText(r.ownerOid));
    t.shortAttr("ModuleSlotNumber", r.moduleSlotNumber);
    t.shortAttr("ModulePortCount", r.modulePortCount);
    t.shortAttr("StartSwitchPortIndex", r.startSwitchPortIndex);
    t.shortAttr("PortModuleState", r.portModuleState);
    t.shortAttr("PortModuleStatus", r.portModuleStatus);
    t.intAttr("VersionMark", r.versionMark);
    t.bytes("PortModuleOEMSN", r.portModuleOEMSN);
    t.bytes("PortModuleSN", r.portModuleSN);
    t.bytes("PortModuleMfgDate", r.portModuleMfgDate);
    t.bytes("PortModulePartNumber", r.portModulePartNumber);
    t.bytes("PortModuleRevision", r.portModuleRevision);
    t.shortAttr("PortModuleNumTempSensors", r.portModuleNumTempSensors);
    // The set holds this reading's values only, not those of earlier ones.
    t.object().clearSet("setPortModuleTempSensorValueSet");
    for (std::uint16_t i = 0; r.tempSensorValues != nullptr && i < r.portModuleNumTempSensors;
         ++i) {
        t.addRelations("setPortModuleTempSensorValueSet",
                       {std::to_string(static_cast<long>(r.tempSensorValues[i]))});
    }
}

void storeNode(Target& t, const Node& r) {
    t.shortAttr("Attached", r.attached);
    TextField name{};
    std::memcpy(name.text, r.symbolicName, sizeof name.text);
    name.length = r.symbolicNameLength;
    t.bytes("SymbolicName", name);
}

void storeDevice(Target& t, const Device& r) {
    t.shortAttr("DeviceType", r.deviceType);
    // Stored texts lose their outer blanks, so a failed inquiry's single
    // blank stands as an empty text.
    t.text("SCSIInquiryString", r.scsiInquiryStringLength == 0
                                    ? std::string(" ")
                                    : base64Text(r.scsiInquiryString, r.scsiInquiryStringLength));
}

void storePortStats(Target& t, const PortStats& r) {
    static const char* const names[24] = {
        "RateTxFrame",       "RateRxFrame",         "RateTxPeakFrame",   "RateRxPeakFrame",
        "RateTxByte",        "RateRxByte",          "RateTxPeakByte",    "RateRxPeakByte",
        "CntTxByte",         "CntRxByte",           "CntTxFrame",        "CntRxFrame",
        "CntBBCreditZero",   "CntInputBuffersFull", "CntFBSYFrames",     "CntPBSYFrames",
        "CntFRJTFrames",     "CntPRJTFrames",       "CntRxClass1Frames", "CntRxClass2Frames",
        "CntRxClass3Frames", "CntRxClass3Discards", "CntRxMcastFrames",  "CntTxMcastFrames"};
    t.shortAttr("RateSamplePeriod", r.rateSamplePeriod);
    storeCounters(t, r.counters, names);
}

void storePortErrors(Target& t, const PortErrors& r) {
    static const char* const names[20] = {"CntTxLinkResets",       "CntRxLinkResets",
                                          "CntTxOfflineSequences", "CntRxOfflineSequences",
                                          "CntLinkFailures",       "CntInvalidCRCErrors",
                                          "CntInvalidTxWords",     "CntPrimeSeqProtoErrors",
                                          "CntSignalLosses",       "CntSyncLosses",
                                          "CntInvalidOrderedSets", "CntRxFramesTooLong",
                                          "CntRxTruncFrames",      "CntAddressIdErrors",
                                          "CntDelimiterErrors",    "CntRxEncodingDisparityErr",
                                          "CntTooManyRdys",        "CntRxEncOutFrames",
                                          "CntMcastTimedOuts",     "CntRxLCs"};
    storeCounters(t, r.counters, names);
}

std::string blowerEntry(const Blower& b) {
    std::string entry;
    appendNumber(entry, "FanRPM", b.fanRpm);
    appendNumber(entry, "FanIntakeTemp", b.fanIntakeTemp);
    appendNumber(entry, "PowerConsumeFactor", b.powerConsumeFactor);
    appendNumber(entry, "TimeAlive", b.timeAlive);
    appendNumber(entry, "TimeAwake", b.timeAwake);
    appendItem(entry, "FanSerialNumber", fieldText(b.fru.serialNumber));
    appendItem(entry, "FanPartNumber", fieldText(b.fru.partNumber));
    appendItem(entry, "FanMfgDate", fieldText(b.fru.mfgDate));
    appendItem(entry, "FanUpdateDate", fieldText(b.fru.updateDate));
    appendItem(entry, "VendorSerialNumber", fieldText(b.fru.vendorSerialNumber));
    appendItem(entry, "VendorPartNumber", fieldText(b.fru.vendorPartNumber));
    appendItem(entry, "VendorRevision", fieldText(b.fru.vendorRevision));
    return entry;
}

std::string sensorEntry(const TempSensor& s) {
    std::string entry;
    appendNumber(entry, "SensorValue", s.sensorValue);
    appendNumber(entry, "SensorLocation", s.sensorLocation);
    appendNumber(entry, "SensorSlotNumber", s.sensorSlotNumber);
    appendNumber(entry, "SensorLocationType", s.sensorLocationType);
    appendNumber(entry, "SensorState", s.sensorState);
    return entry;
}

std::string powerSupplyEntry(const PowerSupply& p) {
    std::string entry;
    appendNumber(entry, "PSValue", p.psValue);
    appendNumber(entry, "PowerConsumeFactor", p.powerConsumeFactor);
    appendNumber(entry, "TimeAlive", p.timeAlive);
    appendNumber(entry, "TimeAwake", p.timeAwake);
    appendItem(entry, "PSSerialNumber", fieldText(p.fru.serialNumber));
    appendItem(entry, "PSPartNumber", fieldText(p.fru.partNumber));
    appendItem(entry, "PSMfgDate", fieldText(p.fru.mfgDate));
    appendItem(entry, "PSUpdateDate", fieldText(p.fru.updateDate));
    appendItem(entry, "VendorSerialNumber", fieldText(p.fru.vendorSerialNumber));
    appendItem(entry, "VendorPartNumber", fieldText(p.fru.vendorPartNumber));
    appendItem(entry, "VendorRevision", fieldText(p.fru.vendorRevision));
    return entry;
}

// The entries of `count` items, none when the items are missing.
template <class Item, class Entry>
std::vector<std::string> itemEntries(const Item* items, std::int32_t count, Entry&& entryOf) {
    std::vector<std::string> entries;
    for (std::int32_t i = 0; items != nullptr && i < count; ++i) {
        entries.push_back(entryOf(items[i]));
    }
    return entries;
}

void storeEnclosure(Target& t, const Enclosure& r) {
    t.shortAttr("ChassisType", static_cast<unsigned>(r.chassisType));
    t.bytes("ChassisSerialNumber", r.chassis.serialNumber);
    t.bytes("ChassisPartNumber", r.chassis.partNumber);
    t.bytes("ChassisMfgDate", r.chassis.mfgDate);
    t.bytes("ChassisUpdateDate", r.chassis.updateDate);
    t.bytes("VendorSerialNumber", r.chassis.vendorSerialNumber);
    t.bytes("VendorPartNumber", r.chassis.vendorPartNumber);
    t.bytes("VendorRevision", r.chassis.vendorRevision);
    const WWNAddress license(r.licenseWwn);
    if (license.isZero()) {
        t.empty("LicenseWWN");
    } else {
        t.text("LicenseWWN", license.toString());
    }
    t.replaceList("setSwitchOID", listEntries(r.switchOids, kOidEntry));
    t.replaceList("setCP", listEntries(r.cpOids, kOidEntry));
    t.replaceList("setWWNCard", listEntries(r.wwnCardOids, kOidEntry));
    t.replaceList("setBlade", listEntries(r.bladeOids, kOidEntry));
    t.intAttr("NumberOfBlowers", r.numberOfBlowers);
    t.replaceList("setSwitchBlower", itemEntries(r.blowers, r.numberOfBlowers, blowerEntry));
    t.intAttr("NumberOfTempSensors", r.numberOfTempSensors);
    t.replaceList("setSwitchTempSensor",
                  itemEntries(r.tempSensors, r.numberOfTempSensors, sensorEntry));
    t.intAttr("NumberOfPowerSupplies", r.numberOfPowerSupplies);
    t.replaceList("setSwitchPowerSupply",
                  itemEntries(r.powerSupplies, r.numberOfPowerSupplies, powerSupplyEntry));
}

// The record's "Index" is the stored one plus 1, and the next fetch reads
// the stored one: it is kept as it is.
void storeControlProcessor(Target& t, const ControlProcessor& r) {
    t.shortAttr("CPSlotNumber", r.cpSlotNumber);
    t.intAttr("CPFruState", r.cpFruState);
    t.intAttr("CPHAState", r.cpHAState);
    t.intAttr("CPHAStatus", r.cpHAStatus);
    t.intAttr("PowerConsumeFactor", r.powerConsumeFactor);
    t.bytes("CPPartNumber", r.cpPartNumber);
    t.bytes("CPSerialNumber", r.cpSerialNumber);
    t.bytes("CPMfgDate", r.cpMfgDate);
    t.bytes("CPUpdateDate", r.cpUpdateDate);
    t.bytes("VendorSerialNumber", r.vendorSerialNumber);
    t.bytes("VendorPartNumber", r.vendorPartNumber);
    t.bytes("VendorRevision", r.vendorRevision);
    t.text("IPAddress", fieldText(r.ipAddress));
    t.text("Netmask", fieldText(r.netmask));
    t.text("IPGateway", fieldText(r.ipGateway));
}

void storeWwnCard(Target& t, const WwnCard& r) {
    t.intAttr("PowerConsumeFactor", r.powerConsumeFactor); // "Index" kept, as for CPs
    t.bytes("WWNCardPartNumber", r.wwnCardPartNumber);
    t.bytes("WWNCardSerialNumber", r.wwnCardSerialNumber);
    t.bytes("WWNCardMfgDate", r.wwnCardMfgDate);
    t.bytes("WWNCardUpdateDate", r.wwnCardUpdateDate);
    t.bytes("VendorSerialNumber", r.vendorSerialNumber);
    t.bytes("VendorPartNumber", r.vendorPartNumber);
    t.bytes("VendorRevision", r.vendorRevision);
}

void storeBlade(Target& t, const Blade& r) {
    t.intAttr("BladeType", r.bladeType);
    t.shortAttr("BladeSlotNumber", r.bladeSlotNumber);
    t.intAttr("BladeState", r.bladeState);
    t.intAttr("PowerConsumeFactor", r.powerConsumeFactor);
    t.bytes("BladePartNumber", r.bladePartNumber);
    t.bytes("BladeSerialNumber", r.bladeSerialNumber);
    t.bytes("BladeMfgDate", r.bladeMfgDate);
    t.bytes("BladeUpdateDate", r.bladeUpdateDate);
    t.bytes("VendorSerialNumber", r.vendorSerialNumber);
    t.bytes("VendorPartNumber", r.vendorPartNumber);
    t.bytes("VendorRevision", r.vendorRevision);
}

void storeThrexClassArea(Target& t, const ThrexClassAreaLayout& r) {
    t.text("SwitchOID", fieldText(r.switchOid));
    t.intAttr("ThrexClass", r.threxClass);
    t.intAttr("ThrexArea", r.threxArea);
    t.shortAttr("DefaultTimeBase", static_cast<unsigned>(r.defaultTimeBase));
    t.shortAttr("CustomTimeBase", static_cast<unsigned>(r.customTimeBase));
    t.bytes("DefaultUnitString", r.defaultUnitString);
    t.bytes("CustomUnitString", r.customUnitString);
    t.intAttr("DefaultLowBoundary", r.defaultLowBoundary);
    t.intAttr("DefaultHighBoundary", r.defaultHighBoundary);
    t.intAttr("DefaultBufferSize", r.defaultBufferSize);
    t.intAttr("CustomLowBoundary", r.customLowBoundary);
    t.intAttr("CustomHighBoundary", r.customHighBoundary);
    t.intAttr("CustomBufferSize", r.customBufferSize);
    t.shortAttr("ApplyBoundaryChanges", static_cast<unsigned>(r.applyBoundaryChanges));
    t.shortAttr("CancelBoundaryChanges", static_cast<unsigned>(r.cancelBoundaryChanges));
    t.shortAttr("ApplyAlarmChanges", static_cast<unsigned>(r.applyAlarmChanges));
    t.shortAttr("CancelAlarmChanges", static_cast<unsigned>(r.cancelAlarmChanges));
    t.intAttr("DefaultChangedAlarm", r.defaultChangedAlarm);
    t.intAttr("DefaultInBetweenAlarm", r.defaultInbetweenAlarm);
    t.intAttr("CustomChangedAlarm", r.customChangedAlarm);
    t.intAttr("CustomInBetweenAlarm", r.customInbetweenAlarm);
    t.shortAttr("AlarmLevelSelect", static_cast<unsigned>(r.alarmLevelSelect));
    t.shortAttr("BoundaryLevelSelect", static_cast<unsigned>(r.boundaryLevelSelect));
}

void storeThrexThresholdEntry(Target& t, const ThrexThresholdEntryLayout& r) {
    t.text("SwitchOID", fieldText(r.switchOid));
    t.intAttr("ThrexClass", r.threxClass);
    t.intAttr("ThrexArea", r.threxArea);
    t.intAttr("ThrexIndex", r.threxIndex);
    t.shortAttr("ThreshStatus", static_cast<unsigned>(r.threshStatus));
    t.intAttr("ThreshCurrentValue", r.threshCurrentValue);
    t.shortAttr("ThreshLastEventType", static_cast<unsigned>(r.threshLastEventType));
    t.intAttr("ThreshLastEventValue", r.threshLastEventValue);
    t.shortAttr("ThreshLastEventState", static_cast<unsigned>(r.threshLastEventState));
    t.shortAttr("ThreshBehaviorType", static_cast<unsigned>(r.threshBehaviorType));
    t.intAttr("ThreshBehaviorInterval", r.threshBehaviorInterval);
    t.bytes("ThreshName", r.threshName);
    t.bytes("ThreshLabel", r.threshLabel);
    t.bytes("ThreshLastEventTime", r.threshLastEventTime);
}

template <class Record> const Record& as(const void* record) {
    return *static_cast<const Record*>(record);
}

void storeFields(Target& t, std::uint16_t type, const void* record) {
    namespace T = ObjectType;
    switch (type) {
    case T::ZoningCapabilities:
        storeZoningCapabilities(t, as<ZoningCapabilities>(record));
        break;
    case T::Fabric:
        t.intAttr("VersionMark", as<Fabric>(record).VersionMark);
        break;
    case T::Switch:
        storeSwitch(t, as<Switch>(record));
        break;
    case T::PhysicalSwitchGroup:
        t.replaceList("setPhysGroupSwitch",
                      listEntries(as<SwitchGroup>(record).physGroupSwitchOids, kOidEntry));
        break;
    case T::PortModule:
        storePortModule(t, as<PortModule>(record));
        break;
    case T::Port:
        storePort(t, as<Port>(record));
        break;
    case T::Node:
        storeNode(t, as<Node>(record));
        break;
    case T::Device:
        storeDevice(t, as<Device>(record));
        break;
    case T::Route:
        t.replaceList("setTxPortSet", listEntries(as<Route>(record).txPortOids, kOidEntry));
        break;
    case T::PortStats:
        storePortStats(t, as<PortStats>(record));
        break;
    case T::PortErrors:
        storePortErrors(t, as<PortErrors>(record));
        break;
    case T::FullZoneDB: {
        const auto& r = as<FullZoneDb>(record);
        t.addToList("setZoneSet", listEntries(r.zoneSetOids, kOidEntry));
        t.addToList("setZoneAlias", listEntries(r.zoneAliasOids, kOidEntry));
        t.addToList("setZone", listEntries(r.zoneOids, kOidEntry));
        break;
    }
    case T::ActiveZoneDB: {
        const auto& r = as<ActiveZoneDb>(record);
        t.text("ZoneSetName", r.activeZoneSetName != nullptr ? r.activeZoneSetName : "");
        t.addToList("setMember", listEntries(r.memberOids, kOidEntry));
        break;
    }
    case T::EnclosureObject:
        storeEnclosure(t, as<Enclosure>(record));
        break;
    case T::CP:
        storeControlProcessor(t, as<ControlProcessor>(record));
        break;
    case T::WWNCard:
        storeWwnCard(t, as<WwnCard>(record));
        break;
    case T::Blade:
        storeBlade(t, as<Blade>(record));
        break;
    case T::ThrexClassArea:
        storeThrexClassArea(t, as<ThrexClassAreaLayout>(record));
        break;
    case T::ThrexThresholdEntry:
        storeThrexThresholdEntry(t, as<ThrexThresholdEntryLayout>(record));
        break;
    default:
        break;
    }
}

} // namespace

void storeObjectRecord(const void* record) {
    if (record == nullptr) {
        return;
    }
    const auto& header = as<Header>(record);
    LockGuard storeGuard(getObjectStoreMutex()); // keeps the object alive while it is set
    if (header.objType == ObjectType::ErrorRecord) {
        if (StoredObject* failed = findObjectByOid(as<Error>(record).RequestedOID)) {
            failed->setFetchFailed();
        }
        return;
    }
    StoredObject* object = findObjectByOid(header.oid);
    if (object == nullptr) {
        return;
    }
    Target target(*object);
    storeFields(target, header.objType, record);
}
