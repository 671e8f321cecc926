// A switch's hardware and inventory objects (licensed products, switch
// group, enclosure with its fans, sensors and power supplies, control
// processors, name cards and blades) read from the simulated switch through
// the object queries, field by field.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "foundation/InternalTiming.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "tests/transfers/TransferFabrics.h"
#include "tests/support/SwitchSimulator.h"

namespace {

constexpr char kFabric[] = "00091000006069080001";
constexpr char kSwitchA[] = "00021000006069080001";
constexpr char kSwitchB[] = "00021000006069080002";
constexpr char kSwitchC[] = "00021000006069080003";
constexpr char kProduct[] = "0027100000606908000100000007";
constexpr char kProductWithoutKeys[] = "0027100000606908000100000009";
constexpr char kGroup[] = "00231000006069080001";
constexpr char kEnclosure[] = "00261000006069080001";
// Processors and cards carry the chassis's name; blades their switch's.
constexpr char kCp0[] = "00331000006069ff0800"
                        "00000000";
constexpr char kCp1[] = "00331000006069ff0800"
                        "00000001";
constexpr char kCard0[] = "00341000006069ff0800"
                          "00000000";
constexpr char kCard1[] = "00341000006069ff0800"
                          "00000001";
constexpr char kCard2[] = "00341000006069ff0800"
                          "00000002";
constexpr char kBlade[] = "00351000006069080002"
                          "00000003";

constexpr char kSwitchWwn[] = "10:00:00:60:69:08:00:01";

// The switch's inventory as the simulator serves it; tests that change it
// get it back in SetUp.
nlohmann::json inventory() {
    return nlohmann::json::parse(R"({
      "licensedProducts": [7, 9],
      "products": [{"id": 7, "text": "Fabric Watch", "names": ["key-one", "key-two"]},
                   {"id": 9, "text": "Expired", "names": []}],
      "switchGroups": [{"name": "group-a", "value1": 4, "value2": 3,
                        "members": ["10:00:00:60:69:08:00:01", "10:00:00:60:69:08:00:02",
                                    "10:00:00:60:69:08:00:03"]}],
      "controlProcessors": [
        {"value1": 1, "value2": 2, "value3": 3, "value4": 4,
         "text1": "127.0.0.5", "text2": "255.0.0.0", "text3": "127.0.0.1",
         "fru": {"partNumber": "CP-P0", "serialNumber": "CP-S0", "vendorPartNumber": "CP-VP",
                 "vendorSerialNumber": "CP-VS", "text6": "CP-R", "text7": "2001-01-01",
                 "text8": "2002-02-02", "value1": 31, "value2": 99, "value3": 32, "value4": 33}},
        {"value1": 2, "fru": {"partNumber": "CP-P1"}}],
      "replyArms": {},
      "enclosure": {
        "chassisWwn": "10:00:00:60:69:ff:08:00", "value1": 5, "value2": 2,
        "wwns": ["10:00:00:60:69:08:00:01", "10:00:00:60:69:08:00:02"],
        "frus": [
          {"partNumber": "CH-P", "serialNumber": "CH-S", "vendorPartNumber": "CH-VP",
           "vendorSerialNumber": "CH-VS", "text5": "unused", "text6": "R\u00e9v",
           "text7": "2010-10-10", "text8": "2011-11-11", "value1": 11, "value3": 12, "value4": 13},
          {"partNumber": "CARD-P0", "serialNumber": "CARD-S0", "value1": 41, "value3": 42,
           "value4": 43, "text6": "C0", "text7": "2012-01-01", "text8": "2013-01-01",
           "vendorPartNumber": "CARD-VP", "vendorSerialNumber": "CARD-VS"},
          {"partNumber": "CARD-P1"},
          {"partNumber": "CARD-P2", "serialNumber": "CARD-S2"}],
        "blowers": [{"value1": 3000, "value2": 25,
                     "fru": {"serialNumber": "FAN-S", "partNumber": "FAN-P", "text6": "F1",
                             "text7": "2014-01-01", "text8": "2015-01-01",
                             "vendorSerialNumber": "FAN-VS", "vendorPartNumber": "FAN-VP",
                             "value1": 21, "value3": 22, "value4": 23}}],
        "sensors": [{"value1": 40, "value2": 1, "value3": 2, "value4": 3, "value5": 4},
                    {"value1": -5, "value2": 65535, "value3": 0, "value4": 7, "value5": 1}],
        "powerSupplies": [{"value": 1, "fru": {"serialNumber": "PS-S", "partNumber": "PS-P",
                                               "value1": 51, "value3": 52, "value4": 53}}],
        "blades": [{"value1": 3, "value2": 77, "value3": 6, "value4": 1,
                    "fru": {"partNumber": "BL-P", "serialNumber": "BL-S", "text6": "B1",
                            "text7": "2016-01-01", "text8": "2017-01-01",
                            "vendorPartNumber": "BL-VP", "vendorSerialNumber": "BL-VS",
                            "value1": 61, "value3": 62, "value4": 63}},
                   {"value1": 4, "value2": 78, "value4": 2}]}})");
}

nlohmann::json document() {
    nlohmann::json doc = nlohmann::json::parse(R"({"fabrics": [{"name": "inventory",
      "users": [{"name": "admin", "password": "password"}],
      "switches": [
        {"wwn": "10:00:00:60:69:08:00:01", "firmware": "v4.0.1", "address": "@0",
         "info": {"a4": "v4.0.1", "m5": 1}},
        {"wwn": "10:00:00:60:69:08:00:02", "firmware": "v4.1.0"},
        {"wwn": "10:00:00:60:69:08:00:03", "firmware": "v4.1.0"}]}]})");
    doc["fabrics"][0]["switches"][0].update(inventory());
    return doc;
}

std::string oidText(const char* oid) {
    return std::string(oid, strnlen(oid, 48));
}

std::vector<std::string> oidList(const OID_t* list) {
    std::vector<std::string> oids;
    for (; list != nullptr && list[0][0] != '\0'; ++list) {
        oids.push_back(oidText(*list));
    }
    return oids;
}

// A text field, after checking that its length byte matches its text.
std::string text(const RecordText& field) {
    EXPECT_EQ(std::strlen(field.Text), field.Length) << field.Text;
    return field.Text;
}

// The seven unit texts in record order.
std::vector<std::string> fruTexts(const FruRecordTexts& fru) {
    return {text(fru.SerialNumber),  text(fru.PartNumber),         text(fru.MfgDate),
            text(fru.UpdateDate),    text(fru.VendorSerialNumber), text(fru.VendorPartNumber),
            text(fru.VendorRevision)};
}

std::string oidListText(std::initializer_list<const char*> oids) {
    std::string list;
    for (const char* oid : oids) {
        std::string entry(oid);
        entry.resize(48, '\0');
        list += entry;
    }
    list.append(48, '\0');
    return list;
}

void freeList(void** records) {
    for (int i = 0; records != nullptr && records[i] != nullptr; ++i) {
        falFreeObject(records[i]);
    }
    falFreeObject(records);
}

class Inventory : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
        internalTiming().rpcCallTimeout = std::chrono::milliseconds(3000);
        sim_ = new SwitchSimulator(document());
        FabAPI_ShutdownFabricAPI();
        openFabricSessions(*sim_, {0}, {kFabric});
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    void SetUp() override {
        setInventory(inventory());
        // The switch's read creates the product, group and enclosure objects;
        // the enclosure's read creates its parts.
        for (const char* oid : {kSwitchA, kEnclosure}) {
            void* record = nullptr;
            ASSERT_EQ(0, GetSingleObject(oid, &record)) << oid;
            falFreeObject(record);
        }
    }
    static void setInventory(const nlohmann::json& fields) {
        sim_->request({{"op", "setSwitchFields"}, {"switch", kSwitchWwn}, {"fields", fields}});
    }
    template <class Record> static Record* fetch(const char* oid) {
        void* record = nullptr;
        EXPECT_EQ(0, GetSingleObject(oid, &record)) << oid;
        if (record != nullptr) {
            EXPECT_EQ(oidText(static_cast<Record*>(record)->OID), oid);
        }
        return static_cast<Record*>(record);
    }
    static SwitchSimulator* sim_;
};

SwitchSimulator* Inventory::sim_ = nullptr;

TEST_F(Inventory, SwitchRecordNamesItsProductsGroupAndEnclosure) {
    auto* sw = fetch<SwitchRecord>(kSwitchA);
    ASSERT_NE(sw, nullptr);
    EXPECT_EQ(oidList(sw->LicensedProductOIDs),
              (std::vector<std::string>{kProduct, kProductWithoutKeys}));
    EXPECT_EQ(oidText(sw->PhysSwitchGroupOID), kGroup);
    EXPECT_EQ(oidText(sw->EnclosureOID), kEnclosure);
    falFreeObject(sw);
}

TEST_F(Inventory, LicensedProductWithItsKeys) {
    auto* product = fetch<LicensedProductRecord>(kProduct);
    ASSERT_NE(product, nullptr);
    EXPECT_EQ(product->ObjType, 39);
    const unsigned char wwn[8] = {0x10, 0, 0, 0x60, 0x69, 0x08, 0, 0x01};
    EXPECT_EQ(0, std::memcmp(product->SwitchWWN, wwn, 8));
    EXPECT_EQ(product->ProductID, 7);
    EXPECT_EQ(text(product->ProductName), "Fabric Watch");
    EXPECT_STREQ(product->setLicenseKey[0], "key-one");
    EXPECT_STREQ(product->setLicenseKey[1], "key-two");
    EXPECT_EQ(product->setLicenseKey[2][0], '\0');
    falFreeObject(product);

    // The stored object keeps the name and the keys.
    StoredObject* stored = findObject(kProduct);
    ASSERT_NE(stored, nullptr);
    std::string name;
    ASSERT_TRUE(stored->getStringAttr("ProductName", name));
    EXPECT_EQ(name, "Fabric Watch");
    std::vector<std::string> keys;
    stored->getRelations("setLicenseKey", keys);
    EXPECT_EQ(keys, (std::vector<std::string>{"key-one", "key-two"}));
}

TEST_F(Inventory, SwitchGroupListsItsThreeMembers) {
    auto* group = fetch<PhysSwitchGroupRecord>(kGroup);
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->ObjType, 35);
    EXPECT_STREQ(group->PhysGroupName, "group-a");
    EXPECT_EQ(group->PhysGroupType, 4);
    EXPECT_EQ(oidList(group->setPhysGroupSwitch),
              (std::vector<std::string>{kSwitchA, kSwitchB, kSwitchC}));
    falFreeObject(group);
}

TEST_F(Inventory, EnclosureWithItsUnitsAndParts) {
    auto* enclosure = fetch<EnclosureObjectRecord>(kEnclosure);
    ASSERT_NE(enclosure, nullptr);
    EXPECT_EQ(enclosure->ObjType, 38);
    EXPECT_EQ(oidList(enclosure->setSwitchOID), (std::vector<std::string>{kSwitchA, kSwitchB}));
    EXPECT_EQ(enclosure->ChassisType, 5);
    // A byte with the top bit set survives the signed units of the name.
    const unsigned char chassis[8] = {0x10, 0, 0, 0x60, 0x69, 0xff, 0x08, 0};
    EXPECT_EQ(0, std::memcmp(enclosure->LicenseWWN, chassis, 8));
    EXPECT_EQ(fruTexts(enclosure->Chassis),
              (std::vector<std::string>{"CH-S", "CH-P", "2010-10-10", "2011-11-11", "CH-VS",
                                        "CH-VP", "R\u00e9v"}));

    ASSERT_EQ(enclosure->NumberOfBlowers, 1);
    const BlowerItem& fan = enclosure->Blowers[0];
    EXPECT_EQ(fan.FanRPM, 3000);
    EXPECT_EQ(fan.FanIntakeTemp, 25);
    EXPECT_EQ(fan.PowerConsumeFactor, 21);
    EXPECT_EQ(fan.TimeAwake, 22);
    EXPECT_EQ(fan.TimeAlive, 23);
    EXPECT_EQ(fruTexts(fan.Fru),
              (std::vector<std::string>{"FAN-S", "FAN-P", "2014-01-01", "2015-01-01", "FAN-VS",
                                        "FAN-VP", "F1"}));

    ASSERT_EQ(enclosure->NumberOfTempSensors, 2);
    const TempSensorItem& first = enclosure->TempSensors[0];
    EXPECT_EQ(first.SensorValue, 40);
    EXPECT_EQ(first.SensorLocation, 1);
    EXPECT_EQ(first.SensorLocationType, 2);
    EXPECT_EQ(first.SensorSlotNumber, 3);
    EXPECT_EQ(first.SensorState, 4);
    const TempSensorItem& second = enclosure->TempSensors[1];
    EXPECT_EQ(second.SensorValue, -5);
    EXPECT_EQ(second.SensorLocation, 65535);
    EXPECT_EQ(second.SensorSlotNumber, 7);

    ASSERT_EQ(enclosure->NumberOfPowerSupplies, 1);
    const PowerSupplyItem& supply = enclosure->PowerSupplies[0];
    EXPECT_EQ(supply.PSValue, 1);
    EXPECT_EQ(supply.PowerConsumeFactor, 51);
    EXPECT_EQ(supply.TimeAwake, 52);
    EXPECT_EQ(supply.TimeAlive, 53);
    EXPECT_EQ(text(supply.Fru.SerialNumber), "PS-S");
    EXPECT_EQ(text(supply.Fru.PartNumber), "PS-P");

    // Two processors, three cards (four units, the first the chassis's), and
    // the blade of switch 1; the blade naming switch 2 of two is passed over.
    EXPECT_EQ(oidList(enclosure->setCP), (std::vector<std::string>{kCp0, kCp1}));
    EXPECT_EQ(oidList(enclosure->setWWNCard), (std::vector<std::string>{kCard0, kCard1, kCard2}));
    EXPECT_EQ(oidList(enclosure->setBlade), (std::vector<std::string>{kBlade}));
    falFreeObject(enclosure);
}

TEST_F(Inventory, EnclosureWithoutUnitsHasEmptyListsAndTexts) {
    setInventory({{"enclosure", {{"value1", 1}, {"wwns", {kSwitchWwn}}}}});
    auto* enclosure = fetch<EnclosureObjectRecord>(kEnclosure);
    ASSERT_NE(enclosure, nullptr);
    EXPECT_EQ(enclosure->ChassisType, 1);
    EXPECT_EQ(text(enclosure->Chassis.SerialNumber), "");
    EXPECT_EQ(enclosure->NumberOfBlowers, 0);
    EXPECT_EQ(enclosure->NumberOfTempSensors, 0);
    EXPECT_EQ(enclosure->NumberOfPowerSupplies, 0);
    EXPECT_EQ(oidList(enclosure->setSwitchOID), (std::vector<std::string>{kSwitchA}));
    EXPECT_TRUE(oidList(enclosure->setCP).empty());
    EXPECT_TRUE(oidList(enclosure->setWWNCard).empty());
    EXPECT_TRUE(oidList(enclosure->setBlade).empty());
    falFreeObject(enclosure);
}

TEST_F(Inventory, ControlProcessorsCountFromOne) {
    auto* cp = fetch<ControlProcessorRecord>(kCp0);
    ASSERT_NE(cp, nullptr);
    EXPECT_EQ(cp->ObjType, 51);
    EXPECT_EQ(cp->Index, 1);
    EXPECT_EQ(cp->CPSlotNumber, 1);
    EXPECT_EQ(cp->CPHAState, 2);
    EXPECT_EQ(cp->CPHAStatus, 3);
    EXPECT_EQ(cp->CPFruState, 4);
    EXPECT_EQ(cp->PowerConsumeFactor, 31);
    EXPECT_EQ(cp->TimeAwake, 32);
    EXPECT_EQ(cp->TimeAlive, 33);
    EXPECT_EQ(text(cp->CPPartNumber), "CP-P0");
    EXPECT_EQ(text(cp->CPSerialNumber), "CP-S0");
    EXPECT_EQ(text(cp->CPMfgDate), "2001-01-01");
    EXPECT_EQ(text(cp->CPUpdateDate), "2002-02-02");
    EXPECT_EQ(text(cp->VendorSerialNumber), "CP-VS");
    EXPECT_EQ(text(cp->VendorPartNumber), "CP-VP");
    EXPECT_EQ(text(cp->VendorRevision), "CP-R");
    EXPECT_STREQ(cp->IPAddress, "127.0.0.5");
    EXPECT_STREQ(cp->Netmask, "255.0.0.0");
    EXPECT_STREQ(cp->IPGateway, "127.0.0.1");
    falFreeObject(cp);

    cp = fetch<ControlProcessorRecord>(kCp1);
    ASSERT_NE(cp, nullptr);
    EXPECT_EQ(cp->Index, 2);
    EXPECT_EQ(cp->CPSlotNumber, 2);
    EXPECT_EQ(text(cp->CPPartNumber), "CP-P1");
    falFreeObject(cp);
}

TEST_F(Inventory, NameCardsAreTheUnitsAfterTheChassis) {
    auto* card = fetch<WWNCardRecord>(kCard0);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->ObjType, 52);
    EXPECT_EQ(card->Index, 1);
    EXPECT_EQ(card->PowerConsumeFactor, 41);
    EXPECT_EQ(card->TimeAwake, 42);
    EXPECT_EQ(card->TimeAlive, 43);
    EXPECT_EQ(text(card->WWNCardPartNumber), "CARD-P0");
    EXPECT_EQ(text(card->WWNCardSerialNumber), "CARD-S0");
    EXPECT_EQ(text(card->WWNCardMfgDate), "2012-01-01");
    EXPECT_EQ(text(card->WWNCardUpdateDate), "2013-01-01");
    EXPECT_EQ(text(card->VendorSerialNumber), "CARD-VS");
    EXPECT_EQ(text(card->VendorPartNumber), "CARD-VP");
    EXPECT_EQ(text(card->VendorRevision), "C0");
    falFreeObject(card);

    card = fetch<WWNCardRecord>(kCard2);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->Index, 3);
    EXPECT_EQ(text(card->WWNCardPartNumber), "CARD-P2") << "unit 3 of four";
    EXPECT_EQ(text(card->WWNCardSerialNumber), "CARD-S2");
    falFreeObject(card);
}

TEST_F(Inventory, BladeIsFoundByItsSlot) {
    auto* blade = fetch<BladeRecord>(kBlade);
    ASSERT_NE(blade, nullptr);
    EXPECT_EQ(blade->ObjType, 53);
    EXPECT_EQ(blade->BladeType, 77);
    EXPECT_EQ(blade->BladeSlotNumber, 3);
    EXPECT_EQ(blade->BladeState, 6);
    EXPECT_EQ(blade->PowerConsumeFactor, 61);
    EXPECT_EQ(blade->TimeAwake, 62);
    EXPECT_EQ(blade->TimeAlive, 63);
    EXPECT_EQ(text(blade->BladePartNumber), "BL-P");
    EXPECT_EQ(text(blade->BladeSerialNumber), "BL-S");
    EXPECT_EQ(text(blade->BladeMfgDate), "2016-01-01");
    EXPECT_EQ(text(blade->BladeUpdateDate), "2017-01-01");
    EXPECT_EQ(text(blade->VendorSerialNumber), "BL-VS");
    EXPECT_EQ(text(blade->VendorPartNumber), "BL-VP");
    EXPECT_EQ(text(blade->VendorRevision), "B1");
    falFreeObject(blade);
}

TEST_F(Inventory, GetObjectsReadsEveryKindInOrder) {
    const std::vector<const char*> asked = {kProduct, kGroup, kEnclosure, kCp1,
                                            kCard1,   kBlade, kCp0};
    const std::map<std::string, int> types = {{kProduct, 39}, {kGroup, 35}, {kEnclosure, 38},
                                              {kCp0, 51},     {kCp1, 51},   {kCard1, 52},
                                              {kBlade, 53}};
    void** records = nullptr;
    ASSERT_EQ(0, GetObjects(
                     oidListText({kProduct, kGroup, kEnclosure, kCp1, kCard1, kBlade, kCp0}).data(),
                     &records));
    for (std::size_t i = 0; i < asked.size(); ++i) {
        ASSERT_NE(records[i], nullptr) << i;
        const auto* header = static_cast<const ErrorRecord*>(records[i]);
        EXPECT_EQ(oidText(header->OID), asked[i]);
        EXPECT_EQ(header->ObjType, types.at(asked[i]));
    }
    EXPECT_EQ(records[asked.size()], nullptr);
    freeList(records);
}

TEST_F(Inventory, GetAllObjectsReachesEveryInventoryObject) {
    void** records = nullptr;
    ASSERT_EQ(FABAPI_ERR_SOME_OBJECTS_FAILED, GetAllObjects(&records))
        << "the product without keys stands as an error record";
    std::set<std::string> read;
    std::vector<std::string> failed;
    for (int i = 0; records[i] != nullptr; ++i) {
        const auto* header = static_cast<const ErrorRecord*>(records[i]);
        if (header->ObjType == ORVANE_ERROR_RECORD_TYPE) {
            failed.push_back(oidText(header->RequestedOID));
            EXPECT_EQ(header->Status, FABAPI_ERR_OBJECT_NOT_FOUND);
        } else {
            read.insert(oidText(header->OID));
        }
    }
    for (const char* oid :
         {kSwitchA, kProduct, kGroup, kEnclosure, kCp0, kCp1, kCard0, kCard1, kCard2, kBlade}) {
        EXPECT_EQ(read.count(oid), 1u) << oid;
    }
    EXPECT_EQ(failed, std::vector<std::string>{kProductWithoutKeys});
    freeList(records);
}

// Replies that lack what the object needs: GetSingleObject fails with the
// code and hands out nothing; GetObjects puts an error record with that
// code in its place, between good records.
TEST_F(Inventory, RepliesWithoutTheRecordGiveErrorRecords) {
    const struct {
        const char* what;
        const char* fields; // switch fields served for this case
        const char* oid;
        int status;
    } cases[] = {
        {"a product without keys", "{}", kProductWithoutKeys, FABAPI_ERR_OBJECT_NOT_FOUND},
        {"a card the enclosure no longer lists",
         R"({"enclosure": {"frus": [{"partNumber": "CH"}, {}, {}]}})", kCard2,
         FABAPI_ERR_OBJECT_NOT_FOUND},
        {"a blade whose slot is empty now",
         R"({"enclosure": {"wwns": ["10:00:00:60:69:08:00:01", "10:00:00:60:69:08:00:02"],
                           "blades": [{"value1": 5, "value4": 1}]}})",
         kBlade, FABAPI_ERR_OBJECT_NOT_FOUND},
        {"an enclosure answered under another arm", R"({"replyArms": {"1559": 1285}})", kEnclosure,
         -56},
        {"a card whose enclosure is answered under another arm", R"({"replyArms": {"1559": 1285}})",
         kCard0, -56},
        {"a processor answered under another arm", R"({"replyArms": {"1557": 1285}})", kCp0, -56},
        {"a product answered under another arm", R"({"replyArms": {"1830": 1285}})", kProduct, -56},
        {"a group answered under another arm", R"({"replyArms": {"2049": 1285}})", kGroup, -56},
        {"an object the store does not know", "{}", "00331000006069ff080000000009",
         FABAPI_ERR_OBJECT_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        setInventory(inventory());
        setInventory(nlohmann::json::parse(c.fields));
        void* record = reinterpret_cast<void*>(1);
        EXPECT_EQ(c.status, GetSingleObject(c.oid, &record));
        EXPECT_EQ(record, nullptr);

        void** records = nullptr;
        ASSERT_EQ(FABAPI_ERR_SOME_OBJECTS_FAILED,
                  GetObjects(oidListText({kSwitchB, c.oid, kSwitchC}).data(), &records));
        ASSERT_NE(records[0], nullptr);
        ASSERT_NE(records[1], nullptr);
        ASSERT_NE(records[2], nullptr);
        EXPECT_EQ(records[3], nullptr);
        EXPECT_EQ(oidText(static_cast<const SwitchRecord*>(records[0])->OID), kSwitchB);
        const auto* error = static_cast<const ErrorRecord*>(records[1]);
        EXPECT_EQ(error->ObjType, ORVANE_ERROR_RECORD_TYPE);
        EXPECT_EQ(oidText(error->RequestedOID), c.oid);
        EXPECT_EQ(error->Status, c.status);
        EXPECT_EQ(oidText(static_cast<const SwitchRecord*>(records[2])->OID), kSwitchC);
        freeList(records);
    }
}

} // namespace
