#include "yarllite/ObjectRecordAttributes.h"

#include <cinttypes>
#include <cstddef>
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
#include "foundation/XmlEscape.h"
#include "objects/ObjectTypes.h"
#include "orvane/records.h"

namespace {

// Base64 texts of raw record bytes are cut to this many characters.
constexpr std::size_t kMaxEncodedText = 499;
constexpr std::size_t kOidEntry = sizeof(OID_t);
constexpr std::size_t kLicenseKeyEntry = sizeof(*SwitchRecord{}.LicenseKeys);
// Bit of "VersionMark" that says the newer fields of a record are valid.
constexpr std::uint32_t kNewerFields = 0x2;

// A fixed field's text: up to its first NUL, at most `size` characters.
std::string fieldText(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

template <std::size_t N> std::string fieldText(const char (&field)[N]) {
    return fieldText(field, N);
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

std::vector<std::string> listEntries(const OID_t* list) {
    return listEntries(list != nullptr ? list[0] : nullptr, kOidEntry);
}

std::string base64Text(const void* data, std::size_t count) {
    const auto* bytes = static_cast<const unsigned char*>(data);
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

// One 64-bit counter of a statistics record and its attribute name.
template <class Record> struct CounterField {
    const char* name;
    RecordCounter Record::*field;
};

// The lower word under the name, the upper word under the name with
// "_Top_Int".
template <class Record, std::size_t N>
void storeCounters(Target& target, const Record& r, const CounterField<Record> (&fields)[N]) {
    for (const CounterField<Record>& counter : fields) {
        const RecordCounter& value = r.*counter.field;
        target.intAttr(counter.name, value.Low);
        target.intAttr((std::string(counter.name) + "_Top_Int").c_str(), value.High);
    }
}

void storeZoningCapabilities(Target& t, const ZoningCapabilitiesRecord& r) {
    t.intAttr("VersionMark", r.VersionMark);
    t.text("ValidationZoneSetName", fieldText(r.ValidationZoneSetName));
    t.text("ValidationZoneName", fieldText(r.ValidationZoneName));
    t.text("ValidationZoneMemberName", fieldText(r.ValidationZoneMemberName));
}

void storeSwitch(Target& t, const SwitchRecord& r) {
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
    t.text("MfgSerialNumber", base64Text(r.MfgSerialNumber.Text, r.MfgSerialNumber.Length));
    t.shortAttr("HWZoningCapabilities", r.HWZoningCapabilities);
    t.shortAttr("SWZoningCapabilities", r.SWZoningCapabilities);
    t.shortAttr("CurrentZoningEnforcement", r.CurrentZoningEnforcement);
    t.addRelations("setPhysSwitchGroup", {fieldText(r.PhysSwitchGroupOID)});
    t.addRelations("SetLicenseKey",
                   listEntries(r.LicenseKeys != nullptr ? r.LicenseKeys[0] : nullptr,
                               kLicenseKeyEntry));
    const std::vector<std::string> products = listEntries(r.LicensedProductOIDs);
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

void storePort(Target& t, const PortRecord& r) {
    t.text("OwnerOID", fieldText(r.OwnerOID));
    t.shortAttr("PortState", r.PortState);
    t.shortAttr("PortStatus", r.PortStatus);
    t.shortAttr("PortPhysicalState", r.PortPhysicalState);
    t.intAttr("PortId", r.PortId);
    t.shortAttr("PortType", r.PortType);
    t.shortAttr("PortNumber", r.PortNumber);
    t.shortAttr("PortSpeed", r.PortSpeed);
    t.shortAttr("PortLinkDistance", r.PortLinkDistance);
    t.shortAttr("TxLinkRouteCost", r.TxLinkRouteCost);
    t.shortAttr("GBICType", r.GBICType);
    if (isSwitchPortType(r.PortType)) {
        constexpr std::size_t kGbicText = 17;
        if (r.GBICSerialNumber != nullptr) {
            t.text("GBICSerialNumber", fieldText(r.GBICSerialNumber, kGbicText));
        }
        if (r.GBICMfg != nullptr) {
            t.text("GBICMfg", fieldText(r.GBICMfg, kGbicText));
        }
        t.text("FC4Protocol", base64Text(r.FC4Protocol, sizeof r.FC4Protocol));
    }
    t.shortAttr("ClassOfService", r.ClassOfService);
    t.text("PortStatsOID", fieldText(r.PortStatsOID));
    t.text("PortErrorsOID", fieldText(r.PortErrorsOID));
    if (r.PortSymbolicNameLength != 0) {
        t.text("PortSymbolicName",
               base64Text(r.PortSymbolicName, r.PortSymbolicNameLength));
    }
    t.intAttr("VersionMark", r.VersionMark);
    if ((r.VersionMark & kNewerFields) != 0) {
        t.intAttr("TrunkMasterPortNum", r.TrunkMasterPortNum);
        t.shortAttr("TrunkDisable", r.TrunkDisable);
    }
    t.shortAttr("BraidexPortEnabled", r.BraidexPortEnabled);
    t.shortAttr("PortDeviceType", r.PortDeviceType);
}

void storePortModule(Target& t, const PortModuleRecord& r) {
    t.text("OwnerOID", fieldText(r.OwnerOID));
    t.shortAttr("ModuleSlotNumber", r.ModuleSlotNumber);
    t.shortAttr("ModulePortCount", r.ModulePortCount);
    t.shortAttr("StartSwitchPortIndex", r.StartSwitchPortIndex);
    t.shortAttr("PortModuleState", r.PortModuleState);
    t.shortAttr("PortModuleStatus", r.PortModuleStatus);
    t.intAttr("VersionMark", r.VersionMark);
    t.bytes("PortModuleOEMSN", r.PortModuleOEMSN);
    t.bytes("PortModuleSN", r.PortModuleSN);
    t.bytes("PortModuleMfgDate", r.PortModuleMfgDate);
    t.bytes("PortModulePartNumber", r.PortModulePartNumber);
    t.bytes("PortModuleRevision", r.PortModuleRevision);
    t.shortAttr("PortModuleNumTempSensors", r.PortModuleNumTempSensors);
    // The set holds this reading's values only, not those of earlier ones.
    t.object().clearSet("setPortModuleTempSensorValueSet");
    for (unsigned i = 0; r.TempSensorValues != nullptr && i < r.PortModuleNumTempSensors; ++i) {
        t.addRelations("setPortModuleTempSensorValueSet",
                       {std::to_string(static_cast<long>(r.TempSensorValues[i]))});
    }
}

void storeNode(Target& t, const NodeRecord& r) {
    t.shortAttr("Attached", r.Attached);
    t.bytes("SymbolicName", r.SymbolicName);
}

void storeDevice(Target& t, const DeviceRecord& r) {
    t.shortAttr("DeviceType", r.DeviceType);
    // Stored texts lose their outer blanks, so a failed inquiry's single
    // blank stands as an empty text.
    t.text("SCSIInquiryString",
           r.SCSIInquiryLength == 0
               ? std::string(" ")
               : base64Text(reinterpret_cast<const unsigned char*>(r.SCSIInquiryString),
                            r.SCSIInquiryLength));
}

void storePortStats(Target& t, const PortStatsObjectRecord& r) {
    using R = PortStatsObjectRecord;
    static const CounterField<R> fields[] = {
        {"RateTxFrame", &R::RateTxFrame},
        {"RateRxFrame", &R::RateRxFrame},
        {"RateTxPeakFrame", &R::RateTxPeakFrame},
        {"RateRxPeakFrame", &R::RateRxPeakFrame},
        {"RateTxByte", &R::RateTxByte},
        {"RateRxByte", &R::RateRxByte},
        {"RateTxPeakByte", &R::RateTxPeakByte},
        {"RateRxPeakByte", &R::RateRxPeakByte},
        {"CntTxByte", &R::CntTxByte},
        {"CntRxByte", &R::CntRxByte},
        {"CntTxFrame", &R::CntTxFrame},
        {"CntRxFrame", &R::CntRxFrame},
        {"CntBBCreditZero", &R::CntBBCreditZero},
        {"CntInputBuffersFull", &R::CntInputBuffersFull},
        {"CntFBSYFrames", &R::CntFBSYFrames},
        {"CntPBSYFrames", &R::CntPBSYFrames},
        {"CntFRJTFrames", &R::CntFRJTFrames},
        {"CntPRJTFrames", &R::CntPRJTFrames},
        {"CntRxClass1Frames", &R::CntRxClass1Frames},
        {"CntRxClass2Frames", &R::CntRxClass2Frames},
        {"CntRxClass3Frames", &R::CntRxClass3Frames},
        {"CntRxClass3Discards", &R::CntRxClass3Discards},
        {"CntRxMcastFrames", &R::CntRxMcastFrames},
        {"CntTxMcastFrames", &R::CntTxMcastFrames},
    };
    t.shortAttr("RateSamplePeriod", r.RateSamplePeriod);
    storeCounters(t, r, fields);
}

void storePortErrors(Target& t, const PortErrorsObjectRecord& r) {
    using R = PortErrorsObjectRecord;
    static const CounterField<R> fields[] = {
        {"CntTxLinkResets", &R::CntTxLinkResets},
        {"CntRxLinkResets", &R::CntRxLinkResets},
        {"CntTxOfflineSequences", &R::CntTxOfflineSequences},
        {"CntRxOfflineSequences", &R::CntRxOfflineSequences},
        {"CntLinkFailures", &R::CntLinkFailures},
        {"CntInvalidCRCErrors", &R::CntInvalidCRCErrors},
        {"CntInvalidTxWords", &R::CntInvalidTxWords},
        {"CntPrimeSeqProtoErrors", &R::CntPrimeSeqProtoErrors},
        {"CntSignalLosses", &R::CntSignalLosses},
        {"CntSyncLosses", &R::CntSyncLosses},
        {"CntInvalidOrderedSets", &R::CntInvalidOrderedSets},
        {"CntRxFramesTooLong", &R::CntRxFramesTooLong},
        {"CntRxTruncFrames", &R::CntRxTruncFrames},
        {"CntAddressIdErrors", &R::CntAddressIdErrors},
        {"CntDelimiterErrors", &R::CntDelimiterErrors},
        {"CntRxEncodingDisparityErr", &R::CntRxEncodingDisparityErr},
        {"CntTooManyRdys", &R::CntTooManyRdys},
        {"CntRxEncOutFrames", &R::CntRxEncOutFrames},
        {"CntMcastTimedOuts", &R::CntMcastTimedOuts},
        {"CntRxLCs", &R::CntRxLCs},
    };
    storeCounters(t, r, fields);
}

// The seven unit texts of an enclosure item as `Name="value" ` items, under
// the item's names for its serial, part, manufacture and update texts.
void appendFruItems(std::string& entry, const char* const (&names)[4], const FruRecordTexts& fru) {
    appendItem(entry, names[0], fieldText(fru.SerialNumber));
    appendItem(entry, names[1], fieldText(fru.PartNumber));
    appendItem(entry, names[2], fieldText(fru.MfgDate));
    appendItem(entry, names[3], fieldText(fru.UpdateDate));
    appendItem(entry, "VendorSerialNumber", fieldText(fru.VendorSerialNumber));
    appendItem(entry, "VendorPartNumber", fieldText(fru.VendorPartNumber));
    appendItem(entry, "VendorRevision", fieldText(fru.VendorRevision));
}

std::string blowerEntry(const BlowerItem& b) {
    static const char* const names[4] = {"FanSerialNumber", "FanPartNumber", "FanMfgDate",
                                         "FanUpdateDate"};
    std::string entry;
    appendNumber(entry, "FanRPM", b.FanRPM);
    appendNumber(entry, "FanIntakeTemp", b.FanIntakeTemp);
    appendNumber(entry, "PowerConsumeFactor", b.PowerConsumeFactor);
    appendNumber(entry, "TimeAlive", b.TimeAlive);
    appendNumber(entry, "TimeAwake", b.TimeAwake);
    appendFruItems(entry, names, b.Fru);
    return entry;
}

std::string sensorEntry(const TempSensorItem& s) {
    std::string entry;
    appendNumber(entry, "SensorValue", s.SensorValue);
    appendNumber(entry, "SensorLocation", s.SensorLocation);
    appendNumber(entry, "SensorSlotNumber", s.SensorSlotNumber);
    appendNumber(entry, "SensorLocationType", s.SensorLocationType);
    appendNumber(entry, "SensorState", s.SensorState);
    return entry;
}

std::string powerSupplyEntry(const PowerSupplyItem& p) {
    static const char* const names[4] = {"PSSerialNumber", "PSPartNumber", "PSMfgDate",
                                         "PSUpdateDate"};
    std::string entry;
    appendNumber(entry, "PSValue", p.PSValue);
    appendNumber(entry, "PowerConsumeFactor", p.PowerConsumeFactor);
    appendNumber(entry, "TimeAlive", p.TimeAlive);
    appendNumber(entry, "TimeAwake", p.TimeAwake);
    appendFruItems(entry, names, p.Fru);
    return entry;
}

// The entries of `count` items, none when the items are missing.
template <class Item, class Entry>
std::vector<std::string> itemEntries(const Item* items, int count, Entry&& entryOf) {
    std::vector<std::string> entries;
    for (int i = 0; items != nullptr && i < count; ++i) {
        entries.push_back(entryOf(items[i]));
    }
    return entries;
}

void storeEnclosure(Target& t, const EnclosureObjectRecord& r) {
    t.shortAttr("ChassisType", static_cast<unsigned>(r.ChassisType));
    t.bytes("ChassisSerialNumber", r.Chassis.SerialNumber);
    t.bytes("ChassisPartNumber", r.Chassis.PartNumber);
    t.bytes("ChassisMfgDate", r.Chassis.MfgDate);
    t.bytes("ChassisUpdateDate", r.Chassis.UpdateDate);
    t.bytes("VendorSerialNumber", r.Chassis.VendorSerialNumber);
    t.bytes("VendorPartNumber", r.Chassis.VendorPartNumber);
    t.bytes("VendorRevision", r.Chassis.VendorRevision);
    const WWNAddress license(r.LicenseWWN);
    if (license.isZero()) {
        t.empty("LicenseWWN");
    } else {
        t.text("LicenseWWN", license.toString());
    }
    t.replaceList("setSwitchOID", listEntries(r.setSwitchOID));
    t.replaceList("setCP", listEntries(r.setCP));
    t.replaceList("setWWNCard", listEntries(r.setWWNCard));
    t.replaceList("setBlade", listEntries(r.setBlade));
    t.intAttr("NumberOfBlowers", r.NumberOfBlowers);
    t.replaceList("setSwitchBlower", itemEntries(r.Blowers, r.NumberOfBlowers, blowerEntry));
    t.intAttr("NumberOfTempSensors", r.NumberOfTempSensors);
    t.replaceList("setSwitchTempSensor",
                  itemEntries(r.TempSensors, r.NumberOfTempSensors, sensorEntry));
    t.intAttr("NumberOfPowerSupplies", r.NumberOfPowerSupplies);
    t.replaceList("setSwitchPowerSupply",
                  itemEntries(r.PowerSupplies, r.NumberOfPowerSupplies, powerSupplyEntry));
}

// The vendor's texts every chassis part record ends its unit texts with.
template <class Record> void storeVendorTexts(Target& t, const Record& r) {
    t.bytes("VendorSerialNumber", r.VendorSerialNumber);
    t.bytes("VendorPartNumber", r.VendorPartNumber);
    t.bytes("VendorRevision", r.VendorRevision);
}

// The record's "Index" is the stored one plus 1, and the next fetch reads
// the stored one: it is kept as it is.
void storeControlProcessor(Target& t, const ControlProcessorRecord& r) {
    t.shortAttr("CPSlotNumber", r.CPSlotNumber);
    t.intAttr("CPFruState", r.CPFruState);
    t.intAttr("CPHAState", r.CPHAState);
    t.intAttr("CPHAStatus", r.CPHAStatus);
    t.intAttr("PowerConsumeFactor", r.PowerConsumeFactor);
    t.bytes("CPPartNumber", r.CPPartNumber);
    t.bytes("CPSerialNumber", r.CPSerialNumber);
    t.bytes("CPMfgDate", r.CPMfgDate);
    t.bytes("CPUpdateDate", r.CPUpdateDate);
    storeVendorTexts(t, r);
    t.text("IPAddress", fieldText(r.IPAddress));
    t.text("Netmask", fieldText(r.Netmask));
    t.text("IPGateway", fieldText(r.IPGateway));
}

void storeWwnCard(Target& t, const WWNCardRecord& r) {
    t.intAttr("PowerConsumeFactor", r.PowerConsumeFactor); // "Index" kept, as for CPs
    t.bytes("WWNCardPartNumber", r.WWNCardPartNumber);
    t.bytes("WWNCardSerialNumber", r.WWNCardSerialNumber);
    t.bytes("WWNCardMfgDate", r.WWNCardMfgDate);
    t.bytes("WWNCardUpdateDate", r.WWNCardUpdateDate);
    storeVendorTexts(t, r);
}

void storeBlade(Target& t, const BladeRecord& r) {
    t.intAttr("BladeType", r.BladeType);
    t.shortAttr("BladeSlotNumber", r.BladeSlotNumber);
    t.intAttr("BladeState", r.BladeState);
    t.intAttr("PowerConsumeFactor", r.PowerConsumeFactor);
    t.bytes("BladePartNumber", r.BladePartNumber);
    t.bytes("BladeSerialNumber", r.BladeSerialNumber);
    t.bytes("BladeMfgDate", r.BladeMfgDate);
    t.bytes("BladeUpdateDate", r.BladeUpdateDate);
    storeVendorTexts(t, r);
}

void storeThrexClassArea(Target& t, const ThrexClassArea& r) {
    t.text("SwitchOID", fieldText(r.SwitchOID));
    t.intAttr("ThrexClass", r.ThrexClass);
    t.intAttr("ThrexArea", r.ThrexArea);
    t.shortAttr("DefaultTimeBase", static_cast<unsigned>(r.DefaultTimeBase));
    t.shortAttr("CustomTimeBase", static_cast<unsigned>(r.CustomTimeBase));
    t.bytes("DefaultUnitString", r.DefaultUnitString);
    t.bytes("CustomUnitString", r.CustomUnitString);
    t.intAttr("DefaultLowBoundary", r.DefaultLowBoundary);
    t.intAttr("DefaultHighBoundary", r.DefaultHighBoundary);
    t.intAttr("DefaultBufferSize", r.DefaultBufferSize);
    t.intAttr("CustomLowBoundary", r.CustomLowBoundary);
    t.intAttr("CustomHighBoundary", r.CustomHighBoundary);
    t.intAttr("CustomBufferSize", r.CustomBufferSize);
    t.shortAttr("ApplyBoundaryChanges", static_cast<unsigned>(r.ApplyBoundaryChanges));
    t.shortAttr("CancelBoundaryChanges", static_cast<unsigned>(r.CancelBoundaryChanges));
    t.shortAttr("ApplyAlarmChanges", static_cast<unsigned>(r.ApplyAlarmChanges));
    t.shortAttr("CancelAlarmChanges", static_cast<unsigned>(r.CancelAlarmChanges));
    t.intAttr("DefaultChangedAlarm", r.DefaultChangedAlarm);
    t.intAttr("DefaultInBetweenAlarm", r.DefaultInbetweenAlarm);
    t.intAttr("CustomChangedAlarm", r.CustomChangedAlarm);
    t.intAttr("CustomInBetweenAlarm", r.CustomInbetweenAlarm);
    t.shortAttr("AlarmLevelSelect", static_cast<unsigned>(r.AlarmLevelSelect));
    t.shortAttr("BoundaryLevelSelect", static_cast<unsigned>(r.BoundaryLevelSelect));
}

void storeThrexThresholdEntry(Target& t, const ThrexThresholdEntry& r) {
    t.text("SwitchOID", fieldText(r.SwitchOID));
    t.intAttr("ThrexClass", r.ThrexClass);
    t.intAttr("ThrexArea", r.ThrexArea);
    t.intAttr("ThrexIndex", r.ThrexIndex);
    t.shortAttr("ThreshStatus", static_cast<unsigned>(r.ThreshStatus));
    t.intAttr("ThreshCurrentValue", r.ThreshCurrentValue);
    t.shortAttr("ThreshLastEventType", static_cast<unsigned>(r.ThreshLastEventType));
    t.intAttr("ThreshLastEventValue", r.ThreshLastEventValue);
    t.shortAttr("ThreshLastEventState", static_cast<unsigned>(r.ThreshLastEventState));
    t.shortAttr("ThreshBehaviorType", static_cast<unsigned>(r.ThreshBehaviorType));
    t.intAttr("ThreshBehaviorInterval", r.ThreshBehaviorInterval);
    t.bytes("ThreshName", r.ThreshName);
    t.bytes("ThreshLabel", r.ThreshLabel);
    t.bytes("ThreshLastEventTime", r.ThreshLastEventTime);
}

template <class Record> const Record& as(const void* record) {
    return *static_cast<const Record*>(record);
}

void storeFields(Target& t, std::uint16_t type, const void* record) {
    namespace T = ObjectType;
    switch (type) {
    case T::ZoningCapabilities:
        storeZoningCapabilities(t, as<ZoningCapabilitiesRecord>(record));
        break;
    case T::Fabric:
        t.intAttr("VersionMark", as<FabricRecord>(record).VersionMark);
        break;
    case T::Switch:
        storeSwitch(t, as<SwitchRecord>(record));
        break;
    case T::PhysicalSwitchGroup:
        t.replaceList("setPhysGroupSwitch",
                      listEntries(as<PhysSwitchGroupRecord>(record).setPhysGroupSwitch));
        break;
    case T::PortModule:
        storePortModule(t, as<PortModuleRecord>(record));
        break;
    case T::Port:
        storePort(t, as<PortRecord>(record));
        break;
    case T::Node:
        storeNode(t, as<NodeRecord>(record));
        break;
    case T::Device:
        storeDevice(t, as<DeviceRecord>(record));
        break;
    case T::Route:
        t.replaceList("setTxPortSet", listEntries(as<RouteRecord>(record).setTxPortSet));
        break;
    case T::PortStats:
        storePortStats(t, as<PortStatsObjectRecord>(record));
        break;
    case T::PortErrors:
        storePortErrors(t, as<PortErrorsObjectRecord>(record));
        break;
    case T::FullZoneDB: {
        const auto& r = as<FullZoneDBRecord>(record);
        t.addToList("setZoneSet", listEntries(r.pcZoneSetOids));
        t.addToList("setZoneAlias", listEntries(r.pcZoneAliasOids));
        t.addToList("setZone", listEntries(r.pcZoneOids));
        break;
    }
    case T::ActiveZoneDB: {
        const auto& r = as<ActiveZoneDBRecord>(record);
        t.text("ZoneSetName", r.pcActiveZoneSetName != nullptr ? r.pcActiveZoneSetName : "");
        t.addToList("setMember", listEntries(r.pcMemberOids));
        break;
    }
    case T::EnclosureObject:
        storeEnclosure(t, as<EnclosureObjectRecord>(record));
        break;
    case T::CP:
        storeControlProcessor(t, as<ControlProcessorRecord>(record));
        break;
    case T::WWNCard:
        storeWwnCard(t, as<WWNCardRecord>(record));
        break;
    case T::Blade:
        storeBlade(t, as<BladeRecord>(record));
        break;
    case T::ThrexClassArea:
        storeThrexClassArea(t, as<ThrexClassArea>(record));
        break;
    case T::ThrexThresholdEntry:
        storeThrexThresholdEntry(t, as<ThrexThresholdEntry>(record));
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
    // Every record starts as the error record does: the type, then the
    // identifier.
    std::uint16_t type = 0;
    std::memcpy(&type, record, sizeof type);
    const char* oid = static_cast<const char*>(record) + offsetof(ErrorRecord, OID);
    LockGuard storeGuard(getObjectStoreMutex()); // keeps the object alive while it is set
    if (type == ObjectType::ErrorRecord) {
        const ErrorRecord& error = as<ErrorRecord>(record);
        const std::string requested(error.RequestedOID,
                                    strnlen(error.RequestedOID, sizeof error.RequestedOID));
        if (StoredObject* failed = findObjectByOid(requested.c_str())) {
            failed->setFetchFailed();
        }
        return;
    }
    StoredObject* object = findObjectByOid(std::string(oid, strnlen(oid, sizeof(OID_t))).c_str());
    if (object == nullptr) {
        return;
    }
    Target target(*object);
    storeFields(target, type, record);
}
