// Switch, platform and inventory records as they stand on the wire: the
// simulator is called with requests written by hand as XDR units and its
// answers are compared unit by unit; the library is fed replies written by
// hand and each value is looked for in the record field it belongs to.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/InternalTiming.h"
#include "foundation/LockGuard.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/records.h"
#include "remote_api.h"
#include "tests/support/FabricSessions.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/XdrUnits.h"

namespace {

using nlohmann::json;

// --- XDR units written by hand ---------------------------------------------

const std::uint8_t kProxy[8] = {0x10, 0, 0, 0x60, 0x69, 0x0e, 0, 0x01};
const std::uint8_t kEdge[8] = {0x10, 0, 0, 0x60, 0x69, 0x0e, 0, 0x02};
const std::uint8_t kPartner[8] = {0x10, 0, 0, 0x60, 0x69, 0x0e, 0, 0x03};
const std::uint8_t kChassis[8] = {0x10, 0, 0, 0x60, 0x69, 0xfe, 0x0e, 0};
const std::uint8_t kNode[8] = {0x20, 0, 0, 0xe0, 0x8b, 0, 0, 0x01};
const std::uint8_t kInvariant[8] = {0x10, 0, 0, 0x60, 0x69, 0xee, 0, 0x81};

constexpr char kFabric[] = "000910000060690e0001";
constexpr char kProxyOid[] = "000210000060690e0001";
constexpr char kEdgeOid[] = "000210000060690e0002";
constexpr char kPartnerOid[] = "000210000060690e0003";
constexpr char kEnclosure[] = "002610000060690e0001";
constexpr char kGroup[] = "002310000060690e0001";
constexpr char kProduct[] = "002710000060690e000100000007";
constexpr char kCp0[] = "00331000006069fe0e0000000000";
constexpr char kCp1[] = "00331000006069fe0e0000000001";
constexpr char kCard0[] = "00341000006069fe0e0000000000";
constexpr char kBlade[] = "003510000060690e000200000005";

// The shared units with platform names and FRU records.
struct Wire : XdrUnitsOf<Wire> {
    // PlatformName: the length word, then char[256].
    Wire& platformName(const std::string& name) {
        return ints({static_cast<std::int32_t>(name.size())}).text(name, 256);
    }

    // FRURecord: part number, serial number, vendor part number, vendor
    // serial number, a 12-character text, vendor revision, power consume
    // factor (base + 1), an unused u_int (base + 2), manufacture date,
    // update date, time awake (base + 3), time alive (base + 4), two
    // unused u_short (base + 5, base + 6).
    Wire& fru(const std::string& p, std::int32_t base) {
        text(p + "P", 16).text(p + "S", 16).text(p + "VP", 24).text(p + "VS", 24);
        text(p + "X", 12).text(p + "R\xc3\xa9", 8).ints({base + 1, base + 2});
        text(p + "MD", 24).text(p + "UD", 24).ints({base + 3, base + 4, base + 5, base + 6});
        return *this;
    }
};

// The seven unit texts that a record copies from fru(p, ...), in the
// record order: serial, part, manufacture date, update date, vendor serial,
// vendor part, vendor revision.
std::vector<std::string> fruTexts(const std::string& p) {
    return {p + "S", p + "P", p + "MD", p + "UD", p + "VS", p + "VP", p + "R\xc3\xa9"};
}

// The fields that SwitchInfoRecord and SwitchInfo2Record share, from the
// switch name to B2; every value different, so that reading one for
// another shows. `firmware` is A4.
Wire sharedSwitchFields(const std::uint8_t (&name)[8], const std::string& firmware) {
    Wire w;
    w.signedName(name).ints({1001, 5, 1});                        // N1, N2 (domain), N3
    w.text("127.0.0.11", 16).text("127.0.0.12", 16);              // T1, T2
    w.text("255.0.0.13", 16).text("255.0.0.14", 16);              // T3, T4
    w.text("127.0.0.15", 16);                                     // T5
    w.ints({1, 3, 7, 0x1234, 8888, 99});                          // N4 to N9
    w.text("Vendor A1", 32).text("Model A2", 32).text("A3", 128); // A1, A2, A3
    w.text(firmware, 32).text("switch-a5", 32);                   // A4, A5
    w.ints({1});                                                  // N10
    w.text("info B1", 32).text(std::string(32, 'b'), 32);         // B1, B2 (whole field)
    return w;
}

std::string text(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

std::string text(const RecordText& field) {
    EXPECT_EQ(std::strlen(field.Text), field.Length) << field.Text;
    return field.Text;
}

std::string oidText(const char* oid) {
    return text(oid, sizeof(OID_t));
}

std::vector<std::string> oidList(const OID_t* list) {
    std::vector<std::string> out;
    for (; list != nullptr && (*list)[0] != '\0'; ++list) {
        out.push_back(oidText(*list));
    }
    return out;
}

std::vector<std::string> fruTextsOf(const FruRecordTexts& fru) {
    return {text(fru.SerialNumber),  text(fru.PartNumber),         text(fru.MfgDate),
            text(fru.UpdateDate),    text(fru.VendorSerialNumber), text(fru.VendorPartNumber),
            text(fru.VendorRevision)};
}

json document() {
    return json::parse(R"({"fabrics": [{"name": "wire",
      "users": [{"name": "admin", "password": "password"}],
      "platformInfo": {"1": 1},
      "platforms": [{"name": "lab hosts", "value1": 3, "members": [{"name": "127.0.0.9"}],
                     "wwns": ["20:00:00:e0:8b:00:00:01"]}],
      "switches": [
        {"wwn": "10:00:00:60:69:0e:00:01", "firmware": "v4.0.1", "address": "@0",
         "fcs": {"domainId": 1},
         "info": {"a4": "v4.0.1", "m5": 1, "q1": 2, "q2": "10:00:00:60:69:0e:00:03",
                  "e1": "10:00:00:60:69:ee:00:81", "q5": "ff:00:80:01"},
         "licensedProducts": [7],
         "products": [{"id": 7, "text": "Fabric Watch", "names": ["key-one"]}],
         "switchGroups": [{"name": "group-a", "value1": 4,
                           "members": ["10:00:00:60:69:0e:00:01", "10:00:00:60:69:0e:00:02"]}],
         "enclosure": {"chassisWwn": "10:00:00:60:69:fe:0e:00", "value2": 1,
                       "wwns": ["10:00:00:60:69:0e:00:01"], "frus": [{"partNumber": "CH"}]}},
        {"wwn": "10:00:00:60:69:0e:00:02", "firmware": "v2.4.1",
         "fcs": {"domainId": 2, "managementAddresses": ["127.0.0.21", "127.0.0.22"]}}]}]})");
}

// --- The simulator called with raw units ----------------------------------------

constexpr std::size_t kEnvelope = 4;
// Unit positions in a SwitchInfoRecord (after its envelope or code).
constexpr std::size_t kInfoN1 = 8;
constexpr std::size_t kInfoT1 = kInfoN1 + 3;
constexpr std::size_t kInfoN4 = kInfoT1 + 5 * 16;
constexpr std::size_t kInfoA1 = kInfoN4 + 6;
constexpr std::size_t kInfoA5 = kInfoA1 + 32 + 32 + 128 + 32;
constexpr std::size_t kInfoN10 = kInfoA5 + 32;
constexpr std::size_t kInfoB1 = kInfoN10 + 1;
constexpr std::size_t kInfoSize = kInfoB1 + 64 + 3;
// SwitchInfo2Record after its two lists: Z1 to Z6, E1 to E6, C1, S1, Q1 to
// Q5, F1, F2.
constexpr std::size_t kSecondRecordTail = 6 + 8 + 1 + 16 + 2 + 64 + 1 + 32 + 1 + 8 + 64 + 16 + 64;

class InventorySimulatorWire : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sim_ = new SwitchSimulator(document()); }
    static void TearDownTestSuite() {
        delete sim_;
        sim_ = nullptr;
    }

    // Procedure 40 with `request` as its argument; the reply's units.
    static std::vector<std::uint32_t> call(const Wire& request) {
        return callWithUnits(sim_->address(0), RPC_MS_SVR_REQUEST, request.units);
    }
    // A SwitchInfoRecord request: the name, the mask in the first number,
    // `body` the record's units after the mask.
    static Wire switchSetting(std::int32_t code, std::uint32_t mask,
                              const std::vector<std::uint32_t>& body) {
        Wire w;
        w.ints({code});
        if (code == 1288) {
            w.zeros(2); // the two numbers before the name
        }
        w.signedName(kProxy).unit(mask);
        w.units.insert(w.units.end(), body.begin(), body.end());
        return w;
    }
    static json proxySource() {
        return sim_
            ->request({{"op", "source"}, {"fabric", 0}, {"switch", "10:00:00:60:69:0e:00:01"}})
            .at("source");
    }

    static SwitchSimulator* sim_;
};

SwitchSimulator* InventorySimulatorWire::sim_ = nullptr;

TEST_F(InventorySimulatorWire, PlatformNamesGoOutWithTheirLengthWord) {
    Wire names;
    names.reply(418).ints({1}).platformName("lab hosts");
    EXPECT_EQ(names.hex(), hexOf(call(Wire().ints({418}))));

    // The name, the type, the address count and list, the node count and
    // list.
    Wire attributes;
    attributes.reply(404).platformName("lab hosts").ints({3, 1, 1}).platformName("127.0.0.9");
    attributes.ints({1, 1}).unsignedName(kNode);
    EXPECT_EQ(attributes.hex(), hexOf(call(Wire().ints({404}).platformName("lab hosts"))));

    // The length word says how much of the text is the name.
    Wire shorter;
    shorter.ints({404, 4}).text("lab hosts", 256);
    const std::vector<std::uint32_t> answer = call(shorter);
    ASSERT_FALSE(answer.empty());
    EXPECT_NE(0u, answer[0]) << "no platform is called \"lab \"";
}

TEST_F(InventorySimulatorWire, SwitchGroupCarriesItsTypeAndMemberCount) {
    Wire group;
    group.reply(2049).text("group-a", 32).ints({4, 2}).unsignedName(kProxy).unsignedName(kEdge);
    group.zeros(126 * 8);
    Wire request;
    request.ints({2049}).unsignedName(kProxy);
    EXPECT_EQ(group.hex(), hexOf(call(request)));

    // A setting names its members by count; what lies beyond is not a
    // member.
    Wire setting;
    setting.ints({2050}).unsignedName(kProxy).text("group-b", 32).ints({9, 1});
    setting.unsignedName(kEdge).unsignedName(kPartner).zeros(126 * 8);
    ASSERT_EQ(0u, call(setting).at(0));
    const json groups = proxySource().at("switchGroups");
    ASSERT_EQ(2u, groups.size());
    EXPECT_EQ("group-b", groups[1].at("name"));
    EXPECT_EQ(9, groups[1].at("value1"));
    EXPECT_EQ(json::array({"10:00:00:60:69:0e:00:02"}), groups[1].at("members"));
    Wire removal;
    removal.ints({2051}).unsignedName(kProxy).text("group-b", 32);
    ASSERT_EQ(0u, call(removal).at(0));
}

TEST_F(InventorySimulatorWire, SwitchSettingsLandInTheFieldsTheirMasksName) {
    // Field positions among the units after the mask (N2 onwards).
    const std::size_t after = kInfoN1 + 1;
    const struct {
        std::uint32_t mask;
        std::size_t at; // unit of the field in the record, from the name
        std::size_t size;
    } cases[] = {
        {0x1, kInfoT1, 16},        {0x2, kInfoT1 + 16, 16},   {0x80, kInfoT1 + 32, 16},
        {0x100, kInfoT1 + 48, 16}, {0x200, kInfoT1 + 64, 16}, {0x4, kInfoN4 + 1, 1},
        {0x8, kInfoN4 + 4, 1},     {0x10, kInfoN4 + 5, 1},    {0x20, kInfoA5, 32},
        {0x40, kInfoB1, 64},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        std::vector<std::uint32_t> body(kInfoSize - after, 0);
        Wire value;
        if (c.size == 1) {
            value.unit(4000 + c.mask);
        } else if (c.size == 64) {
            value.text("who", 32).text("where", 32);
        } else {
            value.text("m" + std::to_string(c.mask), c.size);
        }
        std::copy(value.units.begin(), value.units.end(),
                  body.begin() + static_cast<std::ptrdiff_t>(c.at - after));
        ASSERT_EQ(0u, call(switchSetting(1286, c.mask, body)).at(0));
        Wire read;
        read.ints({1285}).signedName(kProxy).zeros(kInfoSize - 8);
        const std::vector<std::uint32_t> info = call(read);
        EXPECT_EQ(value.hex(), hexOf(info, kEnvelope + c.at, c.size));
    }
    // The settings of the second record only go with request 1288.
    std::vector<std::uint32_t> body(kInfoSize - after, 0);
    const std::vector<std::uint32_t> refused = call(switchSetting(1286, 0x400, body));
    ASSERT_FALSE(refused.empty());
    EXPECT_NE(0u, refused[0]);
}

// A switch whose fabric file gives no information fields answers its
// firmware (A4), its first management address (T2) and whether the fabric
// is named after it (N3) from the rest of its data.
TEST_F(InventorySimulatorWire, FirstRecordWithoutInformationFieldsComesFromTheSwitchData) {
    const auto read = [](const std::uint8_t (&name)[8]) {
        Wire request;
        request.ints({1285}).signedName(name).zeros(kInfoSize - 8);
        return call(request);
    };
    const std::vector<std::uint32_t> edge = read(kEdge);
    ASSERT_GE(edge.size(), kEnvelope + kInfoSize);
    EXPECT_EQ(0u, edge.at(kEnvelope + kInfoN1 + 2)) << "N3: not the principal switch";
    EXPECT_EQ(Wire().text("127.0.0.21", 16).hex(), hexOf(edge, kEnvelope + kInfoT1 + 16, 16));
    EXPECT_EQ(Wire().text("v2.4.1", 32).hex(),
              hexOf(edge, kEnvelope + kInfoA1 + 32 + 32 + 128, 32));

    const std::vector<std::uint32_t> proxy = read(kProxy);
    ASSERT_GE(proxy.size(), kEnvelope + kInfoSize);
    EXPECT_EQ(1u, proxy.at(kEnvelope + kInfoN1 + 2)) << "N3: the fabric is named after it";
}

TEST_F(InventorySimulatorWire, NamesAndBitmapOfTheSecondRecordKeepTheirBytes) {
    // SwitchInfo2Record after the two lists: Z1 to Z6, E1 char[8], E2,
    // E3 char[16], E4, E5, E6 char[64], C1, S1 char[32], Q1, Q2 char[8],
    // Q3, Q4 char[32], Q5 char[16], F1, F2.
    const std::size_t lists = kEnvelope + 2 + kInfoB1 + 64 + 5;
    Wire request;
    request.ints({1287}).zeros(2).signedName(kProxy).zeros(kInfoSize - 8 - 3 + 5).zeros(2);
    request.zeros(kSecondRecordTail);
    std::vector<std::uint32_t> info = call(request);
    ASSERT_GT(info.size(), lists + 2);
    // No licence key, one licensed product.
    const std::size_t z1 = lists + 1 + 1 + 1;
    const std::size_t e1 = z1 + 6;
    const std::size_t q1 = e1 + 8 + 1 + 16 + 2 + 64 + 1 + 32;
    EXPECT_EQ(Wire().signedName(kInvariant).hex(), hexOf(info, e1, 8));
    EXPECT_EQ(2u, info.at(q1));
    EXPECT_EQ(Wire().signedName(kPartner).hex(), hexOf(info, q1 + 1, 8));
    EXPECT_EQ(Wire().text(std::string("\xff\x00\x80\x01", 4), 16).hex(),
              hexOf(info, q1 + 1 + 8 + 64, 16));

    // Mask 0x4000 sets Q1 and Q2: a name with zero bytes comes back whole.
    // The fields of request 1288 after the mask: N2 .. B2, M1 to M5, two
    // empty lists, Z1 ..
    std::vector<std::uint32_t> body(kInfoSize - (kInfoN1 + 1) - 3 + 5 + 2, 0);
    Wire tail;
    tail.zeros(6).zeros(8).zeros(1).zeros(16).zeros(2).zeros(64).zeros(1).zeros(32);
    tail.unit(1).signedName(kEdge).zeros(32 + 32 + 16 + 32 + 32);
    body.insert(body.end(), tail.units.begin(), tail.units.end());
    ASSERT_EQ(0u, call(switchSetting(1288, 0x4000, body)).at(0));
    info = call(request);
    ASSERT_GT(info.size(), q1 + 9);
    EXPECT_EQ(1u, info.at(q1));
    EXPECT_EQ(Wire().signedName(kEdge).hex(), hexOf(info, q1 + 1, 8));
}

// --- The library fed replies written by hand ---------------------------------------

class InventoryLibraryWire : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
        internalTiming().rpcCallTimeout = std::chrono::milliseconds(3000);
        sim_ = new SwitchSimulator(document());
        FabAPI_ShutdownFabricAPI();
        openFabricSessions(*sim_, {0}, {kFabric});
        // The proxy's read makes its product, group and enclosure objects.
        void* record = nullptr;
        ASSERT_EQ(0, GetSingleObject(kProxyOid, &record));
        falFreeObject(record);
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    void TearDown() override { sim_->clearFaults(); }

    template <class Record>
    static Record* fetch(const char* oid, std::int32_t code, const Wire& body) {
        sim_->injectFault(playedReply(code, body, 1));
        void* record = nullptr;
        EXPECT_EQ(0, GetSingleObject(oid, &record)) << oid;
        return static_cast<Record*>(record);
    }

    // An enclosure reply: the switch's name (not used), the chassis name,
    // chassis type 21, two control processors, two switches; a fan, a
    // sensor and a power supply; the chassis's unit and one name card; a
    // blade in slot 5 of the second switch and one naming a third switch
    // that the list does not hold.
    static Wire enclosureReply() {
        Wire w;
        w.reply(1559).signedName(kProxy).signedName(kChassis).ints({21, 2});
        w.ints({2}).unsignedName(kProxy).unsignedName(kEdge);
        w.ints({1, 3000, 25}).fru("FAN", 100);
        w.ints({1, 40, 2, 3, 4, 6});
        w.ints({1, 77}).fru("PS", 200);
        w.ints({2}).fru("CH", 300).fru("CARD", 400);
        w.ints({2, 5, 31, 32, 1, 0, 0}).fru("BL", 500);
        w.ints({6, 33, 34, 2, 0, 0}).fru("BX", 600);
        return w;
    }

    static SwitchSimulator* sim_;
};

SwitchSimulator* InventoryLibraryWire::sim_ = nullptr;

// A SwitchInfo2Record reply of the proxy with `modules` port modules from
// index 3; every value different.
Wire secondSwitchReply(std::uint32_t modules) {
    Wire body;
    body.reply(1287).ints({901, 902}).append(sharedSwitchFields(kProxy, "v2.6.2"));
    body.unit(modules).ints({61, 62, 3, 0});                         // M1 to M5
    body.ints({2}).text("key-1", 64).text(std::string(64, 'k'), 64); // licence keys
    body.ints({1, 7});                                               // licensed products
    body.ints({2, 3, 71, 1, 72, 4});                                 // Z1 to Z6
    body.signedName(kInvariant).ints({6}).text("127.0.0.66", 16).ints({12, 13}); // E1 to E5
    body.text("box serial", 64).ints({1}).text("mfg serial", 32);                // E6, C1, S1
    body.ints({2}).signedName(kPartner).text("Q3", 32).text("Q4", 32);           // Q1 to Q4
    body.text("\xff\x80\x01", 16).text("Maker F1", 32).text("Model F2", 32);     // Q5, F1, F2
    return body;
}

TEST_F(InventoryLibraryWire, SecondSwitchRecordValuesLandInTheirRecordFields) {
    const Wire body = secondSwitchReply(2);
    auto* sw = fetch<SwitchRecord>(kProxyOid, 1287, body);
    ASSERT_NE(nullptr, sw);

    EXPECT_EQ(0, std::memcmp(sw->WWN, kProxy, 8));
    EXPECT_EQ(5, sw->DomainId);
    EXPECT_EQ(566, sw->SwitchRole);
    EXPECT_EQ("127.0.0.11", text(sw->InBandAddr, 16));
    EXPECT_EQ("127.0.0.12", text(sw->OutBandAddr, 16));
    EXPECT_EQ("255.0.0.13", text(sw->InBandNetMask, 16));
    EXPECT_EQ("255.0.0.14", text(sw->OutBandNetMask, 16));
    EXPECT_EQ("127.0.0.15", text(sw->IPGateway, 16));
    EXPECT_EQ(1u, sw->IsManageable);
    EXPECT_EQ(562, sw->SwitchState) << "state index 3";
    EXPECT_EQ(7, sw->SwitchStatus);
    EXPECT_EQ(0x1234u, sw->SwitchID);
    EXPECT_EQ(8888u, sw->SwitchTime);
    EXPECT_EQ(99u, sw->SwitchTimeZone) << "firmware text with 2.6";
    EXPECT_EQ("Vendor A1", text(sw->VendorName));
    EXPECT_EQ("Model A2", text(sw->Model));
    EXPECT_EQ("v2.6.2", text(sw->FirmwareVersion));
    EXPECT_EQ("switch-a5", text(sw->SwitchName));
    EXPECT_EQ(1u, sw->ZoningInstalled);
    EXPECT_EQ("info B1", text(sw->InfoText1, 32));
    // Record texts are NUL-ended: a reply text that fills its field whole
    // keeps all but its last character.
    EXPECT_EQ(std::string(31, 'b'), text(sw->InfoText2, 32));
    EXPECT_EQ(2, sw->MaxNumberOfModules);
    EXPECT_EQ(
        (std::vector<std::string>{"001710000060690e000100000003", "001710000060690e000100000004"}),
        oidList(sw->PortModuleOIDs))
        << "modules from M4";
    ASSERT_NE(nullptr, sw->LicenseKeys);
    EXPECT_EQ("key-1", text(sw->LicenseKeys[0], 64));
    EXPECT_EQ(std::string(63, 'k'), text(sw->LicenseKeys[1], 64));
    EXPECT_EQ('\0', sw->LicenseKeys[2][0]);
    EXPECT_EQ((std::vector<std::string>{kProduct}), oidList(sw->LicensedProductOIDs));
    EXPECT_EQ(10, sw->HWZoningCapabilities);
    EXPECT_EQ(19, sw->SWZoningCapabilities);
    EXPECT_EQ(0, sw->CurrentZoningEnforcement);
    EXPECT_EQ(1u, sw->TrunkingCapable);
    EXPECT_EQ(4, sw->EmbeddedSwitchType);
    EXPECT_EQ(0, std::memcmp(sw->EmbSwInvariantName, kInvariant, 8));
    EXPECT_EQ(6, sw->EmbSwSlotId);
    EXPECT_EQ("127.0.0.66", text(sw->EmbSwBaseIPAddr, 16));
    EXPECT_EQ(12, sw->EmbSwBaseDomainId);
    EXPECT_EQ(13u, sw->EmbSwEportMode);
    EXPECT_EQ("box serial", text(sw->EmbSwBoxSerialNumber));
    EXPECT_EQ(1u, sw->ValidCertificateInstalled);
    EXPECT_EQ("mfg serial", text(sw->MfgSerialNumber));
    EXPECT_EQ(1, sw->BraidexSwitchEnabled);
    EXPECT_EQ(kPartnerOid, oidText(sw->BraidexPartnerOID));
    EXPECT_EQ(1, sw->BraidexPartnerEnabled);
    const unsigned char bitmap[16] = {0xff, 0x80, 0x01};
    EXPECT_EQ(0, std::memcmp(sw->BraidexAlpaBitmap, bitmap, 16));
    EXPECT_EQ("Maker F1", text(sw->MfgName));
    EXPECT_EQ("Model F2", text(sw->MfgModel));
    EXPECT_EQ(3u, sw->VersionMark);
    falFreeObject(sw);
}

TEST_F(InventoryLibraryWire, CorruptModuleCountMakesNoMoreModulesThanAListHolds) {
    auto* sw = fetch<SwitchRecord>(kProxyOid, 1287, secondSwitchReply(0xFFFFFFFFu));
    ASSERT_NE(nullptr, sw);
    EXPECT_EQ(1024u, oidList(sw->PortModuleOIDs).size());
    falFreeObject(sw);
}

TEST_F(InventoryLibraryWire, FirstSwitchRecordValuesLandInTheirRecordFields) {
    Wire body;
    body.reply(1285).append(sharedSwitchFields(kEdge, "v2.6.0")).ints({1, 81, 82}); // N11..N13
    auto* sw = fetch<SwitchRecord>(kEdgeOid, 1285, body);
    ASSERT_NE(nullptr, sw);
    EXPECT_EQ(0, std::memcmp(sw->WWN, kEdge, 8));
    EXPECT_EQ(5, sw->DomainId);
    EXPECT_EQ(566, sw->SwitchRole);
    EXPECT_EQ("127.0.0.11", text(sw->InBandAddr, 16));
    EXPECT_EQ("127.0.0.12", text(sw->OutBandAddr, 16));
    EXPECT_EQ("255.0.0.13", text(sw->InBandNetMask, 16));
    EXPECT_EQ("255.0.0.14", text(sw->OutBandNetMask, 16));
    EXPECT_EQ("127.0.0.15", text(sw->IPGateway, 16));
    EXPECT_EQ(562, sw->SwitchState);
    EXPECT_EQ(7, sw->SwitchStatus);
    EXPECT_EQ(0x1234u, sw->SwitchID);
    EXPECT_EQ(8888u, sw->SwitchTime);
    EXPECT_EQ(0u, sw->SwitchTimeZone) << "never from the first record";
    EXPECT_EQ("Vendor A1", text(sw->VendorName));
    EXPECT_EQ("Model A2", text(sw->Model));
    EXPECT_EQ("v2.6.0", text(sw->FirmwareVersion));
    EXPECT_EQ("switch-a5", text(sw->SwitchName));
    EXPECT_EQ("info B1", text(sw->InfoText1, 32));
    EXPECT_EQ(std::string(31, 'b'), text(sw->InfoText2, 32));
    EXPECT_EQ(1, sw->MaxNumberOfModules) << "N11";
    EXPECT_EQ(0u, sw->VersionMark);
    falFreeObject(sw);
}

TEST_F(InventoryLibraryWire, EnclosureListsLandInTheirItems) {
    auto* enclosure = fetch<EnclosureObjectRecord>(kEnclosure, 1559, enclosureReply());
    ASSERT_NE(nullptr, enclosure);
    EXPECT_EQ(21, enclosure->ChassisType);
    EXPECT_EQ(0, std::memcmp(enclosure->LicenseWWN, kChassis, 8));
    EXPECT_EQ(fruTexts("CH"), fruTextsOf(enclosure->Chassis));
    EXPECT_EQ((std::vector<std::string>{kProxyOid, kEdgeOid}), oidList(enclosure->setSwitchOID));

    ASSERT_EQ(1, enclosure->NumberOfBlowers);
    const BlowerItem& fan = enclosure->Blowers[0];
    EXPECT_EQ(3000, fan.FanRPM);
    EXPECT_EQ(25, fan.FanIntakeTemp);
    EXPECT_EQ(101, fan.PowerConsumeFactor);
    EXPECT_EQ(103, fan.TimeAwake);
    EXPECT_EQ(104, fan.TimeAlive);
    EXPECT_EQ(fruTexts("FAN"), fruTextsOf(fan.Fru));

    ASSERT_EQ(1, enclosure->NumberOfTempSensors);
    const TempSensorItem& sensor = enclosure->TempSensors[0];
    EXPECT_EQ(40, sensor.SensorValue);
    EXPECT_EQ(2, sensor.SensorLocation) << "second int";
    EXPECT_EQ(3, sensor.SensorLocationType) << "third int";
    EXPECT_EQ(4, sensor.SensorSlotNumber) << "fourth int";
    EXPECT_EQ(6, sensor.SensorState) << "fifth int";

    ASSERT_EQ(1, enclosure->NumberOfPowerSupplies);
    const PowerSupplyItem& supply = enclosure->PowerSupplies[0];
    EXPECT_EQ(77, supply.PSValue);
    EXPECT_EQ(201, supply.PowerConsumeFactor);
    EXPECT_EQ(203, supply.TimeAwake);
    EXPECT_EQ(204, supply.TimeAlive);
    EXPECT_EQ(fruTexts("PS"), fruTextsOf(supply.Fru));

    EXPECT_EQ((std::vector<std::string>{kCp0, kCp1}), oidList(enclosure->setCP));
    EXPECT_EQ((std::vector<std::string>{kCard0}), oidList(enclosure->setWWNCard));
    EXPECT_EQ((std::vector<std::string>{kBlade}), oidList(enclosure->setBlade))
        << "the blade naming switch 2 of two is passed over";
    falFreeObject(enclosure);

    // The card and the blade are read from the same reply.
    auto* card = fetch<WWNCardRecord>(kCard0, 1559, enclosureReply());
    ASSERT_NE(nullptr, card);
    EXPECT_EQ(1, card->Index);
    EXPECT_EQ(401, card->PowerConsumeFactor);
    EXPECT_EQ(403, card->TimeAwake);
    EXPECT_EQ(404, card->TimeAlive);
    EXPECT_EQ("CARDP", text(card->WWNCardPartNumber));
    EXPECT_EQ("CARDS", text(card->WWNCardSerialNumber));
    EXPECT_EQ("CARDMD", text(card->WWNCardMfgDate));
    EXPECT_EQ("CARDUD", text(card->WWNCardUpdateDate));
    EXPECT_EQ("CARDR\xc3\xa9", text(card->VendorRevision));
    falFreeObject(card);

    auto* blade = fetch<BladeRecord>(kBlade, 1559, enclosureReply());
    ASSERT_NE(nullptr, blade);
    EXPECT_EQ(31, blade->BladeType) << "second int";
    EXPECT_EQ(5, blade->BladeSlotNumber) << "first int";
    EXPECT_EQ(32, blade->BladeState) << "third int";
    EXPECT_EQ(501, blade->PowerConsumeFactor);
    EXPECT_EQ(503, blade->TimeAwake);
    EXPECT_EQ(504, blade->TimeAlive);
    EXPECT_EQ("BLP", text(blade->BladePartNumber));
    EXPECT_EQ("BLVS", text(blade->VendorSerialNumber));
    falFreeObject(blade);
}

TEST_F(InventoryLibraryWire, ControlProcessorValuesLandInTheirRecordFields) {
    // The enclosure's read makes the processor objects.
    auto* enclosure = fetch<EnclosureObjectRecord>(kEnclosure, 1559, enclosureReply());
    ASSERT_NE(nullptr, enclosure);
    falFreeObject(enclosure);

    // The switch name, six ints, three char[16], char[32], the unit.
    Wire body;
    body.reply(1557).signedName(kProxy).ints({9, 11, 12, 13, 14, 15});
    body.text("127.0.0.21", 16).text("255.255.0.0", 16).text("127.0.0.1", 16).text("CP", 32);
    body.fru("CP", 700);
    auto* cp = fetch<ControlProcessorRecord>(kCp1, 1557, body);
    ASSERT_NE(nullptr, cp);
    EXPECT_EQ(2, cp->Index) << "index 1 plus 1";
    EXPECT_EQ(9, cp->CPSlotNumber) << "first int";
    EXPECT_EQ(11, cp->CPHAState) << "second int";
    EXPECT_EQ(12, cp->CPHAStatus) << "third int";
    EXPECT_EQ(13, cp->CPFruState) << "fourth int";
    EXPECT_EQ(701, cp->PowerConsumeFactor);
    EXPECT_EQ(703, cp->TimeAwake);
    EXPECT_EQ(704, cp->TimeAlive);
    EXPECT_EQ("CPP", text(cp->CPPartNumber));
    EXPECT_EQ("CPS", text(cp->CPSerialNumber));
    EXPECT_EQ("CPMD", text(cp->CPMfgDate));
    EXPECT_EQ("CPUD", text(cp->CPUpdateDate));
    EXPECT_EQ("CPVS", text(cp->VendorSerialNumber));
    EXPECT_EQ("CPVP", text(cp->VendorPartNumber));
    EXPECT_EQ("CPR\xc3\xa9", text(cp->VendorRevision));
    EXPECT_EQ("127.0.0.21", text(cp->IPAddress, 16));
    EXPECT_EQ("255.255.0.0", text(cp->Netmask, 16));
    EXPECT_EQ("127.0.0.1", text(cp->IPGateway, 16));
    falFreeObject(cp);
}

TEST_F(InventoryLibraryWire, SwitchGroupListsAsManyMembersAsItsCountSays) {
    Wire body;
    body.reply(2049).text(std::string(32, 'g'), 32).ints({4, 2});
    body.unsignedName(kEdge).unsignedName(kPartner).unsignedName(kProxy).zeros(125 * 8);
    auto* group = fetch<PhysSwitchGroupRecord>(kGroup, 2049, body);
    ASSERT_NE(nullptr, group);
    EXPECT_EQ(std::string(32, 'g'), std::string(group->PhysGroupName));
    EXPECT_EQ(4, group->PhysGroupType);
    EXPECT_EQ((std::vector<std::string>{kEdgeOid, kPartnerOid}),
              oidList(group->setPhysGroupSwitch));
    falFreeObject(group);
}

TEST_F(InventoryLibraryWire, ProductTextNumberAndKeysLandInTheirRecordFields) {
    Wire body;
    body.reply(1830).text("Extended Fabrics", 255).ints({3});
    body.ints({2}).text("key-a", 64).text(std::string(64, 'z'), 64);
    auto* product = fetch<LicensedProductRecord>(kProduct, 1830, body);
    ASSERT_NE(nullptr, product);
    EXPECT_EQ(0, std::memcmp(product->SwitchWWN, kProxy, 8));
    EXPECT_EQ(7, product->ProductID);
    EXPECT_EQ("Extended Fabrics", text(product->ProductName));
    ASSERT_NE(nullptr, product->setLicenseKey);
    EXPECT_EQ("key-a", text(product->setLicenseKey[0], 64));
    EXPECT_EQ(std::string(63, 'z'), text(product->setLicenseKey[1], 64));
    EXPECT_EQ('\0', product->setLicenseKey[2][0]);
    falFreeObject(product);
}

TEST_F(InventoryLibraryWire, PlatformNamesAreTakenByTheirLengthWord) {
    // A name of six bytes, the fifth of them zero; the text after the
    // length is not part of the name.
    const std::string name("rack\0\x01", 6);
    Wire names;
    names.reply(418).ints({2}).platformName(name);
    names.ints({4}).text("edge-hosts", 256);
    sim_->injectFault(playedReply(418, names, 1));
    void* fabric = nullptr;
    ASSERT_EQ(0, GetSingleObject(kFabric, &fabric));
    falFreeObject(fabric);

    std::vector<std::string> platforms;
    std::string rack;
    {
        LockGuard model(getObjectStoreMutex());
        findObjectUnlocked(kFabric)->getRelations("setPlatform", platforms);
        ASSERT_EQ(2u, platforms.size());
        for (const std::string& oid : platforms) {
            std::vector<unsigned char> bytes;
            ASSERT_TRUE(findObjectUnlocked(oid)->getBytesAttr("PlatformName", bytes));
            const std::string stored(bytes.begin(), bytes.end());
            EXPECT_TRUE(stored == name || stored == "edge") << stored;
            if (stored == name) {
                rack = oid;
            }
        }
    }
    ASSERT_FALSE(rack.empty());

    // Its attributes: the name, type 12, two addresses, one node.
    Wire attributes;
    attributes.reply(404).platformName(name).ints({12, 2, 2});
    attributes.platformName("127.0.0.7").ints({3}).text("127.0.0.8", 256);
    attributes.ints({1, 1}).unsignedName(kNode);
    auto* platform = fetch<PlatformRecord>(rack.c_str(), 404, attributes);
    ASSERT_NE(nullptr, platform);
    EXPECT_EQ(12, platform->PlatformType);
    EXPECT_EQ(6, platform->PlatformNameLength);
    EXPECT_EQ(name, std::string(reinterpret_cast<const char*>(platform->PlatformName), 6));
    EXPECT_EQ((std::vector<std::string>{"0004200000e08b000001"}),
              oidList(platform->PlatformNodeOIDs));
    EXPECT_EQ("127.0.0.7", text(platform->ManagementAddrs[0]));
    EXPECT_EQ("127", text(platform->ManagementAddrs[1]));
    EXPECT_EQ(0, platform->ManagementAddrs[2].Length);
    falFreeObject(platform);
}

} // namespace
