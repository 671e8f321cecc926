#include "yarllite/ObjectRecordAttributes.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <xercesc/dom/DOMElement.hpp>

#include "api/ObjectStore.h"
#include "api/StoredObjectXmlWriter.h"
#include "objects/AttributeDictionary.h"
#include "orvane/records.h"
#include "yarllite/DomAccess.h"
#include "yarllite/StoredObjectXml.h"
#include "yarllite/TestDocument.h"

namespace {

constexpr std::size_t kLicenseKeyEntry = 64;

constexpr unsigned char kName[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x00, 0x00, 0x01};

template <std::size_t N> void put(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
}

void put(RecordText& field, const char* text) {
    put(field.Text, text);
    field.Length = static_cast<unsigned char>(std::strlen(text));
}

// Consecutive entries of `stride` characters ended by an empty one.
std::vector<char> entries(std::size_t stride, const std::vector<std::string>& texts) {
    std::vector<char> list((texts.size() + 1) * stride, '\0');
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::strncpy(list.data() + i * stride, texts[i].c_str(), stride - 1);
    }
    return list;
}

template <class Record> std::unique_ptr<Record> record(std::uint16_t type, const std::string& oid) {
    auto made = std::make_unique<Record>();
    std::memset(made.get(), 0, sizeof(Record));
    // Every record starts with the type and the identifier.
    std::memcpy(made.get(), &type, sizeof type);
    std::strncpy(reinterpret_cast<char*>(made.get()) + offsetof(ErrorRecord, OID), oid.c_str(),
                 sizeof(OID_t) - 1);
    return made;
}

std::string text(const StoredObject* object, const char* name) {
    std::string value = "(absent)";
    object->getStringAttr(name, value);
    return value;
}

int number(const StoredObject* object, const char* name) {
    int value = -12345;
    object->getIntAttr(name, value);
    return value;
}

std::vector<std::string> list(const StoredObject* object, const char* name) {
    std::vector<std::string> values;
    StoredObject::ListPosition at;
    std::string value;
    if (object->beginList(name, at)) {
        while (object->nextListValue(name, at, value)) {
            values.push_back(value);
        }
    }
    return values;
}

std::string oidOf(const StoredObject* object) {
    std::string oid;
    object->getStringAttr("OID", oid);
    return oid;
}

class ObjectRecordAttributesTest : public ::testing::Test {
protected:
    void SetUp() override {
        eraseMap();
        installStoredObjectXmlWriter();
    }
    void TearDown() override {
        setStoredObjectXmlWriter(nullptr);
        eraseMap();
    }
};

TEST_F(ObjectRecordAttributesTest, ErrorRecordHidesTheFailedObjectFromTheNextListingOnly) {
    StoredObject* sw = getOrCreateObject(2, WWNAddress(kName));
    auto error = record<ErrorRecord>(0xFF00, "ff0000000000000000000000");
    put(error->RequestedOID, oidOf(sw).c_str());
    error->Status = -21;
    storeObjectRecord(error.get());

    std::string first, second;
    sw->writeXml(first, 0);
    sw->writeXml(second, 0);
    EXPECT_EQ("", first);
    EXPECT_EQ("<Switch OID=\"00021000006069000001\" ObjType=\"0x2\" "
              "WWN=\"10:00:00:60:69:00:00:01\" >\n</Switch>\n",
              second);
}

TEST_F(ObjectRecordAttributesTest, RecordOfAnIdentifierNotStoredChangesNothing) {
    StoredObject* node = getOrCreateObject(4, WWNAddress(kName));
    auto other = record<NodeRecord>(4, "00041000006069000099");
    other->Attached = 1;
    storeObjectRecord(other.get());
    storeObjectRecord(nullptr);
    auto error = record<ErrorRecord>(0xFF00, "ff00");
    put(error->RequestedOID, "00041000006069000099");
    storeObjectRecord(error.get());

    EXPECT_EQ(1u, objectMap().size());
    EXPECT_EQ(-12345, number(node, "Attached"));
    std::string reply;
    node->writeXml(reply, 0);
    EXPECT_NE("", reply) << "no skip mark on another object";
}

TEST_F(ObjectRecordAttributesTest, NodeRecordRoundTripsToEscapedXmlInBothEncodings) {
    StoredObject* node = getOrCreateObject(4, WWNAddress(kName));
    auto fresh = record<NodeRecord>(4, oidOf(node));
    fresh->Attached = 1;
    std::memcpy(fresh->SymbolicName.Text, "host <a>&\"b\"\0junk", 18);
    fresh->SymbolicName.Length = 18;
    storeObjectRecord(fresh.get());

    std::string byName;
    node->writeXml(byName, 0);
    EXPECT_EQ("<Node Attached=\"0x1\" OID=\"00041000006069000001\" ObjType=\"0x4\" "
              "SymbolicName=\"host &lt;a&gt;&amp;&quot;b&quot;\" "
              "WWN=\"10:00:00:60:69:00:00:01\" >\n</Node>\n",
              byName);

    std::string byCode;
    node->writeXml(byCode, 1);
    TestDocument parsed("<?xml version='1.0'?>" + byCode);
    ASSERT_TRUE(parsed.parsed()) << parsed.errorText();
    char code[16];
    std::snprintf(code, sizeof code, "_%x", yarlAttrCodeOfName("Attached"));
    ASSERT_STRNE("_0", code);
    EXPECT_EQ("0x1", fetchAttrValue(parsed.root(), code));
    // The dictionary names no "SymbolicName": its code is 0.
    EXPECT_EQ("host <a>&\"b\"", fetchAttrValue(parsed.root(), "_0"));
}

TEST_F(ObjectRecordAttributesTest, SwitchRecordSetsItsFieldsAndTheNewerOnesOnlyWhenMarked) {
    StoredObject* sw = getOrCreateObject(2, WWNAddress(kName));
    auto fresh = record<SwitchRecord>(2, oidOf(sw));
    fresh->DomainId = 7;
    fresh->IsManageable = 0x10001; // a 32-bit field kept as 16 bits
    put(fresh->InBandAddr, "127.1.2.3");
    fresh->SwitchID = 0xfffffffe;
    put(fresh->VendorName, "Vendor & Co");
    put(fresh->MfgName, "MFG");
    put(fresh->SwitchName, "edge<1>");
    put(fresh->OwnerOID, "00091000006069000001");
    fresh->BraidexSwitchEnabled = 1;
    storeObjectRecord(fresh.get());

    unsigned short value = 0;
    ASSERT_TRUE(sw->getShortAttr("DomainId", value));
    EXPECT_EQ(7, value);
    ASSERT_TRUE(sw->getShortAttr("IsManageable", value));
    EXPECT_EQ(1, value);
    EXPECT_EQ("127.1.2.3", text(sw, "InBandAddr"));
    EXPECT_EQ(-2, number(sw, "SwitchID"));
    EXPECT_EQ("Vendor & Co", text(sw, "VendorName"));
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(sw->getBytesAttr("MfgName", bytes));
    EXPECT_EQ(std::vector<unsigned char>({'M', 'F', 'G'}), bytes);
    EXPECT_EQ("00091000006069000001", text(sw, "OwnerOID"));
    EXPECT_EQ(0, number(sw, "VersionMark"));
    EXPECT_FALSE(sw->getShortAttr("BraidexSwitchEnabled", value)) << "VersionMark without 0x2";

    std::vector<char> keys = entries(sizeof *SwitchRecord{}.LicenseKeys, {"KEY-ONE", "KEY-TWO"});
    std::vector<char> products = entries(sizeof(OID_t), {"00272000006069000001"});
    fresh->VersionMark = 3;
    fresh->LicenseKeys = reinterpret_cast<char(*)[sizeof *SwitchRecord{}.LicenseKeys]>(keys.data());
    fresh->LicensedProductOIDs = reinterpret_cast<OID_t*>(products.data());
    put(fresh->PhysSwitchGroupOID, "00231000006069000001");
    put(fresh->MfgSerialNumber, "abc");
    const unsigned char bitmap[16] = {0x01, 0x00, 0xab, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff};
    std::memcpy(fresh->BraidexAlpaBitmap, bitmap, sizeof bitmap);
    sw->addRelation("SetLicenseKey", "KEY-ONE");
    storeObjectRecord(fresh.get());

    ASSERT_TRUE(sw->getShortAttr("BraidexSwitchEnabled", value));
    EXPECT_EQ(1, value);
    EXPECT_EQ("YWJj", text(sw, "MfgSerialNumber"));
    EXPECT_EQ("0100ab000000000000000000000000ff", text(sw, "BraidexAlpaBitmap"));
    EXPECT_EQ("", text(sw, "BraidexPartnerOID"));
    EXPECT_EQ(2u, sw->getRelationCount("SetLicenseKey")) << "a key already there is not added";
    EXPECT_TRUE(sw->hasRelation("setLicensedProduct", "00272000006069000001"));
    EXPECT_TRUE(sw->hasRelation("setPhysSwitchGroup", "00231000006069000001"));

    std::string reply;
    sw->writeXml(reply, 0);
    EXPECT_NE(std::string::npos, reply.find(" SwitchName=\"edge&lt;1&gt;\" "));
    EXPECT_NE(std::string::npos, reply.find(" VendorName=\"Vendor &amp; Co\" "));
    EXPECT_NE(std::string::npos, reply.find("<LicenseKey Key=\"KEY-TWO\" />\n"));
    EXPECT_EQ(std::string::npos, reply.find("ProductLicensed"));
    EXPECT_TRUE(TestDocument("<?xml version='1.0'?>" + reply).parsed());
}

TEST_F(ObjectRecordAttributesTest, CountersKeepTheirLowerWordUnderTheNameAndTheUpperBeside) {
    StoredObject* stats = getOrCreateObject(18, WWNAddress(kName));
    auto counts = record<PortStatsObjectRecord>(18, oidOf(stats));
    counts->RateSamplePeriod = 30;
    counts->RateTxFrame = {5, 7};
    counts->CntTxMcastFrames = {0, 0xffffffff};
    storeObjectRecord(counts.get());
    EXPECT_EQ(7, number(stats, "RateTxFrame"));
    EXPECT_EQ(5, number(stats, "RateTxFrame_Top_Int"));
    EXPECT_EQ(-1, number(stats, "CntTxMcastFrames"));
    EXPECT_EQ(0, number(stats, "CntTxMcastFrames_Top_Int"));

    StoredObject* errors = getOrCreateObject(19, WWNAddress(kName));
    auto failures = record<PortErrorsObjectRecord>(19, oidOf(errors));
    failures->CntTxLinkResets = {1, 2};
    failures->CntRxLCs = {3, 4};
    storeObjectRecord(failures.get());
    EXPECT_EQ(2, number(errors, "CntTxLinkResets"));
    EXPECT_EQ(1, number(errors, "CntTxLinkResets_Top_Int"));
    EXPECT_EQ(4, number(errors, "CntRxLCs"));
    EXPECT_EQ(3, number(errors, "CntRxLCs_Top_Int"));
}

TEST_F(ObjectRecordAttributesTest, PortTextsDependOnThePortKindAndTheRecordGeneration) {
    struct Case {
        std::uint16_t portType;
        std::uint32_t versionMark;
        std::uint8_t symbolicLength;
        bool gbic, trunk, symbolic;
    } cases[] = {
        {321, 3, 4, true, true, true},   // F_Port of the newest generation
        {327, 0, 0, true, false, false}, // switch port, older generation, no name
        {324, 3, 4, false, true, true},  // N_Port: no transceiver texts
    };
    for (const Case& c : cases) {
        eraseMap();
        StoredObject* port = getOrCreateObject(1, WWNAddress(kName));
        auto fresh = record<PortRecord>(1, oidOf(port));
        char serial[17] = "SN0123456789ABCD";
        fresh->PortType = c.portType;
        fresh->VersionMark = c.versionMark;
        fresh->GBICSerialNumber = serial;
        fresh->TrunkMasterPortNum = 9;
        std::memcpy(fresh->PortSymbolicName, "port", 4);
        fresh->PortSymbolicNameLength = c.symbolicLength;
        storeObjectRecord(fresh.get());

        EXPECT_EQ(c.gbic ? "SN0123456789ABCD" : "(absent)", text(port, "GBICSerialNumber"))
            << c.portType;
        EXPECT_EQ("(absent)", text(port, "GBICMfg")) << "no text in the record";
        EXPECT_EQ(c.gbic ? std::string(43, 'A') + "=" : "(absent)", text(port, "FC4Protocol"));
        EXPECT_EQ(c.trunk ? 9 : -12345, number(port, "TrunkMasterPortNum")) << c.portType;
        EXPECT_EQ(c.symbolic ? "cG9ydA==" : "(absent)", text(port, "PortSymbolicName"));
        unsigned short type = 0;
        ASSERT_TRUE(port->getShortAttr("PortType", type));
        EXPECT_EQ(c.portType, type);
    }
}

TEST_F(ObjectRecordAttributesTest, DeviceInquiryIsEncodedAndAFailedOneLeavesNoText) {
    StoredObject* device = getOrCreateObject(5, WWNAddress(kName));
    auto fresh = record<DeviceRecord>(5, oidOf(device));
    fresh->DeviceType = 1584;
    std::memcpy(fresh->SCSIInquiryString, "\x00\x01\xff", 3);
    fresh->SCSIInquiryLength = 3;
    storeObjectRecord(fresh.get());
    EXPECT_EQ("AAH/", text(device, "SCSIInquiryString"));

    fresh->SCSIInquiryLength = 0;
    storeObjectRecord(fresh.get());
    EXPECT_EQ("", text(device, "SCSIInquiryString"));
}

TEST_F(ObjectRecordAttributesTest, ListsAreReplacedOrGrownAsTheirRecordSays) {
    StoredObject* route = getOrCreateObject(17, WWNAddress(kName));
    route->appendListValue("setTxPortSet", "old");
    std::vector<char> ports = entries(sizeof(OID_t), {"p1", "p2"});
    auto routed = record<RouteRecord>(17, oidOf(route));
    routed->setTxPortSet = reinterpret_cast<OID_t*>(ports.data());
    storeObjectRecord(routed.get());
    EXPECT_EQ(std::vector<std::string>({"p1", "p2"}), list(route, "setTxPortSet"));

    StoredObject* defined = getOrCreateObject(24, WWNAddress(kName));
    defined->appendListValue("setZone", "z1");
    std::vector<char> sets = entries(sizeof(OID_t), {"s1"});
    std::vector<char> zones = entries(sizeof(OID_t), {"z1", "z2"});
    auto database = record<FullZoneDBRecord>(24, oidOf(defined));
    database->pcZoneSetOids = reinterpret_cast<OID_t*>(sets.data());
    database->pcZoneOids = reinterpret_cast<OID_t*>(zones.data());
    storeObjectRecord(database.get());
    storeObjectRecord(database.get());
    EXPECT_EQ(std::vector<std::string>({"z1", "z2"}), list(defined, "setZone"));
    EXPECT_EQ(std::vector<std::string>({"s1"}), list(defined, "setZoneSet"));
    EXPECT_TRUE(list(defined, "setZoneAlias").empty());

    StoredObject* module = getOrCreateObject(23, WWNAddress(kName));
    int temperatures[2] = {41, -3};
    auto card = record<PortModuleRecord>(23, oidOf(module));
    card->PortModuleNumTempSensors = 2;
    card->TempSensorValues = temperatures;
    storeObjectRecord(card.get());
    temperatures[0] = 42;
    storeObjectRecord(card.get());
    std::vector<std::string> values;
    module->getRelations("setPortModuleTempSensorValueSet", values);
    EXPECT_EQ(std::vector<std::string>({"-3", "42"}), values) << "only the last reading";
}

TEST_F(ObjectRecordAttributesTest, EnclosureItemsBecomeEscapedAttributeTextOfTheirElements) {
    StoredObject* chassis = getOrCreateObject(38, WWNAddress(kName));
    auto fresh = record<EnclosureObjectRecord>(38, oidOf(chassis));
    fresh->ChassisType = 2;
    put(fresh->Chassis.SerialNumber, "CH1");
    BlowerItem blower{};
    blower.FanRPM = 3000;
    blower.TimeAlive = 1;
    blower.TimeAwake = 2;
    put(blower.Fru.SerialNumber, "F\"1");
    TempSensorItem sensor{-5, 1, 2, 3, 4};
    std::vector<char> switches = entries(sizeof(OID_t), {"00021000006069000001"});
    fresh->setSwitchOID = reinterpret_cast<OID_t*>(switches.data());
    fresh->NumberOfBlowers = 1;
    fresh->Blowers = &blower;
    fresh->NumberOfTempSensors = 1;
    fresh->TempSensors = &sensor;
    fresh->NumberOfPowerSupplies = 3; // no items: no entries
    storeObjectRecord(fresh.get());

    EXPECT_EQ("", text(chassis, "LicenseWWN")) << "an all-zero name: an empty value";
    std::string reply;
    chassis->writeXml(reply, 0);
    EXPECT_EQ(0u, reply.find("<EnclosureObject ChassisMfgDate=\"\" ChassisPartNumber=\"\" "
                             "ChassisSerialNumber=\"CH1\" ChassisType=\"0x2\" "
                             "ChassisUpdateDate=\"\" LicenseWWN=\"\" NumberOfBlowers=\"0x1\" "
                             "NumberOfPowerSupplies=\"0x3\" NumberOfTempSensors=\"0x1\" "
                             "OID=\"00261000006069000001\" ObjType=\"0x26\" "
                             "VendorPartNumber=\"\" VendorRevision=\"\" "
                             "VendorSerialNumber=\"\" >\n"))
        << reply;
    EXPECT_NE(std::string::npos,
              reply.find("<SwitchBlower FanRPM=\"0xbb8\" FanIntakeTemp=\"0x0\" "
                         "PowerConsumeFactor=\"0x0\" TimeAlive=\"0x1\" TimeAwake=\"0x2\" "
                         "FanSerialNumber=\"F&quot;1\" FanPartNumber=\"\" FanMfgDate=\"\" "
                         "FanUpdateDate=\"\" VendorSerialNumber=\"\" VendorPartNumber=\"\" "
                         "VendorRevision=\"\" />\n"))
        << reply;
    EXPECT_NE(std::string::npos,
              reply.find("<SwitchTempSensor SensorValue=\"0xfffffffb\" SensorLocation=\"0x1\" "
                         "SensorSlotNumber=\"0x2\" SensorLocationType=\"0x3\" "
                         "SensorState=\"0x4\" />\n"));
    EXPECT_NE(std::string::npos, reply.find("<SwitchOID OID=\"00021000006069000001\" />\n"));
    EXPECT_EQ(std::string::npos, reply.find("SwitchPowerSupply"));
    TestDocument parsed("<?xml version='1.0'?>" + reply);
    ASSERT_TRUE(parsed.parsed()) << parsed.errorText();
    EXPECT_EQ("F\"1",
              fetchAttrValue(fetchNodeByName(parsed.root(), "SwitchBlower"), "FanSerialNumber"));

    fresh->NumberOfBlowers = 0;
    std::memcpy(fresh->LicenseWWN, kName, sizeof kName);
    storeObjectRecord(fresh.get());
    EXPECT_TRUE(list(chassis, "setSwitchBlower").empty()) << "the list is made anew";
    EXPECT_EQ("10:00:00:60:69:00:00:01", text(chassis, "LicenseWWN"));
}

TEST_F(ObjectRecordAttributesTest, ControlProcessorKeepsItsStoredIndex) {
    StoredObject* cp = getOrCreateIndexedObject(51, WWNAddress(kName), 0);
    cp->setIntAttr("Index", 0);
    auto fresh = record<ControlProcessorRecord>(51, oidOf(cp));
    fresh->Index = 1; // the record's index counts from 1
    fresh->CPSlotNumber = 5;
    put(fresh->IPAddress, "127.0.0.9");
    put(fresh->CPSerialNumber, "CP-SN");
    storeObjectRecord(fresh.get());
    storeObjectRecord(fresh.get());
    EXPECT_EQ(0, number(cp, "Index"));
    EXPECT_EQ("127.0.0.9", text(cp, "IPAddress"));
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(cp->getBytesAttr("CPSerialNumber", bytes));
    EXPECT_EQ(5u, bytes.size());
}

} // namespace
