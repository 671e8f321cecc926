// The object queries as a caller sees them: this program links
// libOrvane_2.so alone and reads the fabrics of every firmware generation
// from the switch simulator.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "orvane/records.h"
#include "tests/objects/GenerationFabrics.h"
#include "tests/objects/c_queries.h"

namespace {

using generations::fabrics;
using generations::oidText;

class QueryExports : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        FabAPI_ShutdownFabricAPI();
        sim_ = new SwitchSimulator(generations::document());
        generations::openAll(*sim_);
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    static SwitchSimulator* sim_;
};

SwitchSimulator* QueryExports::sim_ = nullptr;

std::vector<std::string> oidList(const OID_t* list) {
    std::vector<std::string> oids;
    for (; list != nullptr && list[0][0] != '\0'; ++list) {
        oids.push_back(oidText(*list));
    }
    return oids;
}

std::string text(const RecordText& field) {
    EXPECT_EQ(std::strlen(field.Text), field.Length);
    return field.Text;
}

// Fetches one object and hands it over typed; fails the test on error.
template <class Record> Record* fetch(const std::string& oid) {
    void* record = nullptr;
    EXPECT_EQ(0, GetSingleObject(oid.c_str(), &record)) << oid;
    return static_cast<Record*>(record);
}

TEST_F(QueryExports, FabricRecordsOfEveryGeneration) {
    const struct {
        unsigned versionMark;
        unsigned short fabricType;
        const char* security;
    } expected[] = {
        {0, 0, ""}, {0, 0, ""}, {0, 0, ""}, {3, 1, "00201000006069040001"}, {0, 0, ""}, {0, 0, ""},
    };
    for (std::size_t f = 0; f < fabrics().size(); ++f) {
        const auto& fabric = fabrics()[f];
        SCOPED_TRACE(fabric.what);
        auto* record = fetch<FabricRecord>(fabric.fabricOid);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(9, record->ObjType);
        EXPECT_EQ(fabric.fabricOid, oidText(record->OID));
        const std::string name = std::string(fabric.fabricOid).substr(4);
        char wwn[17] = {};
        for (int i = 0; i < 8; ++i) {
            std::snprintf(wwn + 2 * i, 3, "%02x", record->WWN[i]);
        }
        EXPECT_EQ(name, wwn);
        EXPECT_EQ("0015" + name, oidText(record->ZoningCapabilitiesOID));
        EXPECT_EQ(fabric.switchOids, oidList(record->SwitchOIDs));
        EXPECT_TRUE(oidList(record->PlatformOIDs).empty());
        EXPECT_EQ(std::vector<std::string>{"0002" + name}, oidList(record->ProxyOIDs));
        EXPECT_TRUE(oidList(record->ISLOIDs).empty());
        EXPECT_EQ(expected[f].versionMark, record->VersionMark);
        EXPECT_EQ(expected[f].fabricType, record->FabricType);
        EXPECT_EQ(expected[f].security, oidText(record->SecurityCapabilitiesOID));
        EXPECT_EQ(0, record->EnableEventNotifications);
        EXPECT_EQ(static_cast<int>(fabric.switchOids.size()), c_fabricListLength(record, 0));
        EXPECT_EQ(1, c_fabricListLength(record, 2));
        EXPECT_EQ(0, falFreeObject(record));
    }
}

TEST_F(QueryExports, SwitchRecordOfTheOldestGenerationComesFromSingleQueries) {
    auto* proxy = fetch<SwitchRecord>("00021000006069010001");
    ASSERT_NE(proxy, nullptr);
    EXPECT_EQ(2, proxy->ObjType);
    EXPECT_EQ(3, proxy->DomainId);
    EXPECT_EQ(566, proxy->SwitchRole) << "the fabric is named after it";
    EXPECT_EQ(77u, proxy->SwitchID);
    EXPECT_EQ(1u, proxy->IsManageable);
    EXPECT_EQ(560, proxy->SwitchState);
    EXPECT_EQ(1, proxy->SwitchStatus);
    EXPECT_EQ("Vosk", text(proxy->VendorName));
    EXPECT_EQ("old-proxy", text(proxy->SwitchName));
    EXPECT_EQ("", text(proxy->FirmwareVersion));
    EXPECT_EQ(1, proxy->MaxNumberOfModules);
    EXPECT_EQ(std::vector<std::string>{"00171000006069010001"}, oidList(proxy->PortModuleOIDs));
    EXPECT_EQ("00091000006069010001", oidText(proxy->OwnerOID));
    EXPECT_EQ(0u, proxy->VersionMark);
    EXPECT_EQ(0, falFreeObject(proxy));

    auto* other = fetch<SwitchRecord>("00021000006069010002");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(567, other->SwitchRole);
    EXPECT_EQ(0, falFreeObject(other));
}

TEST_F(QueryExports, SwitchRecordOfTheMiddleGenerationComesFromItsInformation) {
    auto* sw = fetch<SwitchRecord>("00021000006069020001");
    ASSERT_NE(sw, nullptr);
    const unsigned char wwn[8] = {0x10, 0, 0, 0x60, 0x69, 0x02, 0, 0x01};
    EXPECT_EQ(0, std::memcmp(wwn, sw->WWN, 8));
    EXPECT_EQ(5, sw->DomainId);
    EXPECT_EQ(566, sw->SwitchRole);
    EXPECT_STREQ("127.1.2.3", sw->InBandAddr);
    EXPECT_EQ(1u, sw->IsManageable);
    EXPECT_EQ(561, sw->SwitchState);
    EXPECT_EQ(7, sw->SwitchStatus);
    EXPECT_EQ(99u, sw->SwitchID);
    EXPECT_EQ(1234u, sw->SwitchTime);
    EXPECT_EQ(0u, sw->SwitchTimeZone);
    EXPECT_EQ("Vendor", text(sw->VendorName));
    EXPECT_EQ("Model-24", text(sw->Model));
    EXPECT_EQ("v2.4.1", text(sw->FirmwareVersion));
    EXPECT_EQ("edge-24", text(sw->SwitchName));
    EXPECT_EQ(1u, sw->ZoningInstalled);
    EXPECT_STREQ("info one", sw->InfoText1);
    EXPECT_STREQ("info two", sw->InfoText2);
    EXPECT_EQ(1, sw->MaxNumberOfModules);
    EXPECT_EQ(std::vector<std::string>{"00171000006069020001"}, oidList(sw->PortModuleOIDs));
    EXPECT_EQ("00091000006069020001", oidText(sw->OwnerOID));
    EXPECT_EQ(0u, sw->VersionMark);
    EXPECT_EQ(nullptr, sw->LicenseKeys) << "not a field of this generation";
    EXPECT_EQ(0, falFreeObject(sw));
}

TEST_F(QueryExports, SwitchRecordsOfTheCurrentGenerationCarryTheirChildren) {
    auto* proxy = fetch<SwitchRecord>("00021000006069040001");
    ASSERT_NE(proxy, nullptr);
    EXPECT_EQ(3u, proxy->VersionMark);
    EXPECT_EQ("v5.2.0", text(proxy->FirmwareVersion));
    EXPECT_EQ("core", text(proxy->SwitchName));
    EXPECT_EQ(0u, proxy->SwitchTimeZone) << "only firmware texts holding 2.6 carry it";
    EXPECT_EQ(1, proxy->MaxNumberOfModules);
    EXPECT_EQ(std::vector<std::string>{"0017100000606904000100000000"},
              oidList(proxy->PortModuleOIDs));
    ASSERT_NE(proxy->LicenseKeys, nullptr);
    EXPECT_STREQ("key-a", proxy->LicenseKeys[0]);
    EXPECT_STREQ("key-c", proxy->LicenseKeys[2]);
    EXPECT_EQ('\0', proxy->LicenseKeys[3][0]);
    EXPECT_EQ(std::vector<std::string>{"0027100000606904000100000007"},
              oidList(proxy->LicensedProductOIDs));
    EXPECT_EQ(10, proxy->HWZoningCapabilities);
    EXPECT_EQ(19, proxy->SWZoningCapabilities);
    EXPECT_EQ(0, proxy->CurrentZoningEnforcement);
    EXPECT_EQ(1u, proxy->TrunkingCapable);
    EXPECT_EQ(0u, proxy->EmbSwEportMode) << "not an embedded switch";
    EXPECT_EQ(1u, proxy->ValidCertificateInstalled);
    EXPECT_EQ("SER-1", text(proxy->MfgSerialNumber));
    EXPECT_EQ("Maker", text(proxy->MfgName));
    EXPECT_EQ("M-1", text(proxy->MfgModel));
    EXPECT_EQ(1, proxy->BraidexSwitchEnabled);
    EXPECT_EQ(1, proxy->BraidexPartnerEnabled);
    // The partner's eight-byte name field arrives whole from the switch.
    EXPECT_EQ("00026e6e6e6e6e6e6e6e", oidText(proxy->BraidexPartnerOID));
    EXPECT_EQ(0u, proxy->ThrexEventsEnable);
    EXPECT_EQ("00321000006069040001", oidText(proxy->SecurityStatsOID));
    EXPECT_EQ("", oidText(proxy->EnclosureOID));
    EXPECT_EQ("", oidText(proxy->PhysSwitchGroupOID));
    EXPECT_EQ("00091000006069040001", oidText(proxy->OwnerOID));
    EXPECT_EQ(0, falFreeObject(proxy));

    // Firmware 4.0: an enclosure and no security statistics; two modules
    // and its switch group.
    auto* edge = fetch<SwitchRecord>("00021000006069040002");
    ASSERT_NE(edge, nullptr);
    EXPECT_EQ("00261000006069040002", oidText(edge->EnclosureOID));
    EXPECT_EQ("", oidText(edge->SecurityStatsOID));
    EXPECT_EQ("00231000006069040002", oidText(edge->PhysSwitchGroupOID));
    EXPECT_EQ(
        (std::vector<std::string>{"0017100000606904000200000000", "0017100000606904000200000001"}),
        oidList(edge->PortModuleOIDs));
    EXPECT_EQ('\0', edge->LicenseKeys[0][0]);
    EXPECT_TRUE(oidList(edge->LicensedProductOIDs).empty());
    EXPECT_EQ(0, falFreeObject(edge));
}

TEST_F(QueryExports, AListWithAFailingIdentifierHoldsAnErrorRecordInItsPlace) {
    void** records = nullptr;
    ASSERT_EQ(FABAPI_ERR_SOME_OBJECTS_FAILED,
              c_getTwo("00091000006069030001", "00021000006069ffffff", &records));
    ASSERT_EQ(2, c_listLength(records));
    EXPECT_EQ(9, c_recordType(records[0]));
    const auto* error = static_cast<const ErrorRecord*>(records[1]);
    EXPECT_EQ(ORVANE_ERROR_RECORD_TYPE, error->ObjType);
    EXPECT_EQ("ff000000000000000000", oidText(error->OID)) << "the first error record";
    EXPECT_EQ("00021000006069ffffff", oidText(error->RequestedOID));
    EXPECT_EQ(FABAPI_ERR_OBJECT_NOT_FOUND, error->Status);
    EXPECT_EQ(0, c_freeList(records));

    records = nullptr;
    ASSERT_EQ(FABAPI_ERR_SOME_OBJECTS_FAILED,
              c_getTwo("00021000006069ffffff", "00021000006069fffffe", &records));
    EXPECT_EQ("ff000100000000000000", oidText(static_cast<ErrorRecord*>(records[0])->OID));
    EXPECT_EQ("ff000200000000000000", oidText(static_cast<ErrorRecord*>(records[1])->OID));
    EXPECT_EQ(0, c_freeList(records));
}

TEST_F(QueryExports, BadArgumentsAndUnknownObjects) {
    void* record = nullptr;
    void** records = nullptr;
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, GetSingleObject(nullptr, &record));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, GetSingleObject("00021000006069010001", nullptr));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, GetSingleObject("", &record));
    const char empty[48] = {};
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, GetObjects(empty, &records));
    EXPECT_EQ(nullptr, records);
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, GetAllObjects(nullptr));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, GetObjectsByType("", 3, &records));
    EXPECT_EQ(FABAPI_ERR_BAD_ARGUMENT, GetObjectsByFabrics(nullptr, &records));
    EXPECT_EQ(FABAPI_ERR_UNKNOWN_BLOCK, falFreeObject(nullptr));

    // An unknown switch costs no request; an unknown licensed product first
    // fetches its switch, in case that makes it.
    sim_->resetCounters();
    const std::string proxy = sim_->address(4);
    EXPECT_EQ(FABAPI_ERR_OBJECT_NOT_FOUND, GetSingleObject("00021000006069ffffff", &record));
    EXPECT_EQ(0u, sim_->callCount(proxy, 40));
    EXPECT_EQ(FABAPI_ERR_OBJECT_NOT_FOUND,
              GetSingleObject("0027100000606905000100000009", &record));
    EXPECT_EQ(1u, sim_->callCount(proxy, 40, 1287));
    EXPECT_EQ(nullptr, record);

    // An identifier is read up to 47 characters.
    std::string longOid = "00021000006069040001" + std::string(40, '0');
    EXPECT_EQ(FABAPI_ERR_OBJECT_NOT_FOUND, GetSingleObject(longOid.c_str(), &record));
}

TEST_F(QueryExports, AllObjectsAreEachFabricThenItsSwitches) {
    void** records = nullptr;
    // The walk reaches ports and their modules too (some of which these
    // fabrics cannot read: -221); the fabrics and switches keep their order.
    const int all = GetAllObjects(&records);
    ASSERT_TRUE(all == 0 || all == FABAPI_ERR_SOME_OBJECTS_FAILED) << all;
    std::vector<std::pair<int, std::string>> got;
    for (int i = 0; records[i] != nullptr; ++i) {
        const int type = c_recordType(records[i]);
        if (type != 9 && type != 2) {
            continue;
        }
        got.emplace_back(c_recordType(records[i]),
                         oidText(static_cast<const ErrorRecord*>(records[i])->OID));
    }
    std::vector<std::pair<int, std::string>> expected;
    for (const auto& fabric : fabrics()) {
        expected.emplace_back(9, fabric.fabricOid);
        for (const auto& sw : fabric.switchOids) {
            expected.emplace_back(2, sw);
        }
    }
    EXPECT_EQ(expected, got);
    EXPECT_EQ(0, c_freeList(records));
}

TEST_F(QueryExports, ObjectsByFabricsAndByType) {
    char list[3 * 48] = {};
    std::strcpy(list, fabrics()[2].fabricOid);
    std::strcpy(list + 48, fabrics()[0].fabricOid);
    void** records = nullptr;
    const int byFabrics = GetObjectsByFabrics(list, &records);
    ASSERT_TRUE(byFabrics == 0 || byFabrics == FABAPI_ERR_SOME_OBJECTS_FAILED) << byFabrics;
    int fabricsAndSwitches = 0;
    for (int i = 0; records[i] != nullptr; ++i) {
        const int type = c_recordType(records[i]);
        fabricsAndSwitches += type == 9 || type == 2 ? 1 : 0;
    }
    ASSERT_EQ(5, fabricsAndSwitches) << "two fabrics and their three switches";
    EXPECT_EQ(fabrics()[0].fabricOid, oidText(static_cast<ErrorRecord*>(records[0])->OID))
        << "in the order of the store";
    EXPECT_EQ(0, c_freeList(records));

    const char none[48] = {};
    records = nullptr;
    ASSERT_EQ(0, GetObjectsByFabrics(none, &records));
    EXPECT_EQ(0, c_listLength(records));
    EXPECT_EQ(0, c_freeList(records));

    records = nullptr;
    ASSERT_EQ(0, GetObjectsByType("", 2, &records));
    EXPECT_EQ(12, c_listLength(records));
    for (int i = 0; records[i] != nullptr; ++i) {
        EXPECT_EQ(2, c_recordType(records[i]));
    }
    EXPECT_EQ(0, c_freeList(records));

    records = nullptr;
    ASSERT_EQ(0, GetObjectsByType(fabrics()[3].fabricOid, 9, &records));
    ASSERT_EQ(1, c_listLength(records));
    EXPECT_EQ(3u, static_cast<FabricRecord*>(records[0])->VersionMark);
    EXPECT_EQ(0, c_freeList(records));

    records = nullptr;
    const int any = GetObjectsByType(fabrics()[4].fabricOid, -1, &records);
    ASSERT_TRUE(any == 0 || any == FABAPI_ERR_SOME_OBJECTS_FAILED) << any;
    int anyFabricsAndSwitches = 0;
    for (int i = 0; records[i] != nullptr; ++i) {
        const int type = c_recordType(records[i]);
        anyFabricsAndSwitches += type == 9 || type == 2 ? 1 : 0;
    }
    EXPECT_EQ(4, anyFabricsAndSwitches) << "the fabric and its switches, beside its ports";
    EXPECT_EQ(0, c_freeList(records));

    records = nullptr;
    EXPECT_EQ(FABAPI_ERR_OBJECT_NOT_FOUND, GetObjectsByType("00091000006069ffffff", 2, &records));
    EXPECT_EQ(nullptr, records);
}

TEST_F(QueryExports, QueriesRefuseBeforeStartAndAfterShutdown) {
    ASSERT_EQ(0, FabAPI_ShutdownFabricAPI());
    void* record = nullptr;
    void** records = nullptr;
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, GetSingleObject(fabrics()[0].fabricOid, &record));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, GetAllObjects(&records));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, GetObjectsByType("", 2, &records));
    EXPECT_EQ(FABAPI_ERR_NOT_INITIALIZED, GetObjectsByFabrics("", &records));
}

} // namespace
