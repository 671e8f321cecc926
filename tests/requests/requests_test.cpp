// The operations of the request layer against the switch simulator: every
// request code there and back, settings read back, argument checks, send
// failures and the recovery of switch statuses.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <rpc/rpc.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "connection/Fabric_Connection_Impl_RPC.h"
#include "connection/RecoveryHooks.h"
#include "connection/SessionHooks.h"
#include "connection/clilib.h"
#include "foundation/APIException.h"
#include "foundation/InternalTiming.h"
#include "foundation/Logging.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/TestSession.h"
#include "tests/support/TraceCapture.h"

namespace {

using nlohmann::json;

constexpr unsigned char kFabric[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x00};
constexpr unsigned char kProxy[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x01};
constexpr unsigned char kEdge[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x02};
constexpr unsigned char kPort[8] = {0x20, 0x01, 0x00, 0x60, 0x69, 0xAA, 0x00, 0x01};
constexpr unsigned char kUnknown[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0xCC, 0x00, 0x01};

// One fabric whose proxy carries what the requests read.
json fabricDocument() {
    json devices = json::array();
    devices.push_back({{"text", "device zero text"}});
    json raw = json::array({'H', 'E', 'A', 'D', 3, 'a', 'b', 'c', 'd', 'e'});
    devices.push_back({{"bytes", raw}});
    json longRecord = json::array();
    for (int i = 0; i < 256; ++i) {
        longRecord.push_back(i == 4 ? 255 : 'x');
    }
    devices.push_back({{"bytes", longRecord}});
    json document = json::parse(R"({
      "fabrics": [
        { "name": "A", "wwn": "10:00:00:60:69:aa:00:00",
          "platforms": [
            { "name": "host-a", "value1": 4,
              "members": [ { "name": "member-1" } ],
              "wwns": [ "20:00:00:00:c9:00:00:01", "20:00:00:00:c9:00:00:02" ] },
            { "name": "host-b" } ],
          "platformInfo": { "7": 77 },
          "switches": [
            { "wwn": "10:00:00:60:69:aa:00:01", "firmware": "v4.1.0", "address": "@0",
              "domain": 1, "portModuleRanges": [ [1, 2] ], "firstPortModule": 4,
              "info": { "t1": "core-1", "n5": 5, "a5": "location", "b1": "contact",
                        "e6": "long text", "q1": 9, "q2": "6e:6d" },
              "apiVersion": 3,
              "licenses": [ "key-one", "key-two" ],
              "licensedProducts": [ 11, 12, 13 ],
              "product": { "text": "products", "value": 2, "names": [ "Zoning", "Trunking" ] },
              "controlProcessors": [ { "value1": 1, "text1": "cp0",
                                       "fru": { "partNumber": "PN-1", "serialNumber": "SN-1" } } ],
              "enclosure": { "value1": 3, "wwns": [ "10:00:00:60:69:aa:ff:01" ],
                             "frus": [ { "partNumber": "FAN" }, { "partNumber": "PSU" } ] },
              "switchGroups": [ { "name": "group-a", "value1": 1,
                                  "members": [ "10:00:00:60:69:aa:00:02" ] } ],
              "ports": [ { "wwn": "20:01:00:60:69:aa:00:01",
                           "info": { "u1": 1, "u3": 3, "u7": 7, "text1": "port-1" },
                           "statsValue": 4, "stats": [ 4294967297, 2 ],
                           "errors": [ 5, 6 ] } ],
              "portModules": [ { "values": [ 1, 2, 3, 4, 5 ], "texts": [ "module" ],
                                 "ports": [ 0, 1, 2 ] },
                               { "values": [ 6 ], "ports": [] } ],
              "flPorts": [ { "text1": "loop-a", "text2": "loop-b" } ] },
            { "wwn": "10:00:00:60:69:aa:00:02", "firmware": "v3.2.1" },
            { "wwn": "10:00:00:60:69:aa:00:09", "address": "@1",
              "replyArms": { "1287": 1285, "1289": 1545 } } ] } ]
    })");
    document["fabrics"][0]["switches"][0]["devices"] = devices;
    return document;
}

// A fabric re-check that always finds a switch gone.
class CountingRecoveryForSenders : public RecoveryHooks {
public:
    std::optional<std::vector<std::string>> fabricSwitches(const std::string&) override {
        return std::vector<std::string>{};
    }
    int recheckFabricAfterError(SessionContext*, const std::vector<std::string>&, int) override {
        ++rechecks;
        return -94;
    }
    int rechecks = 0;
};

class RequestLayer : public ::testing::Test {
protected:
    void SetUp() override {
        internalTiming().rpcCallTimeout = std::chrono::milliseconds(3000);
        ctx_ = session_.context();
        ASSERT_NE(ctx_, nullptr);
        sim_.resetCounters();
    }
    void TearDown() override { session_.close(); }

    std::uint64_t calls(int code) { return sim_.callCount(sim_.address(0), 40, code); }

    SwitchSimulator sim_{fabricDocument()};
    TestSession session_{sim_.address(0)};
    SessionContext* ctx_ = nullptr;
};

TEST_F(RequestLayer, SessionContextHoldsTheConnectionFacts) {
    EXPECT_NE(ctx_->handle, nullptr);
    EXPECT_EQ(ctx_->loginSignature, session_.session()->loginSignatureText());
    EXPECT_EQ(std::memcmp(ctx_->proxyWWN, kProxy, 8), 0);
    EXPECT_EQ(std::memcmp(ctx_->fabricWWN, kFabric, 8), 0);
    EXPECT_FALSE(session_.connectionInUse());
}

TEST_F(RequestLayer, DestroyingTheContextDeletesItsSession) {
    // LeakSanitizer reports a session or connection left behind.
    const std::size_t before = liveApiRecords();
    session_.close();
    EXPECT_EQ(liveApiRecords(), before - 1);
    destroySessionContext(nullptr);
}

TEST_F(RequestLayer, ContextThatCannotReadTheConnectionIsNotMade) {
    const std::size_t before = liveApiRecords();
    sim_.injectFault(
        {{"address", sim_.address(0)}, {"procedure", 2}, {"kind", "noReply"}, {"count", 1}});
    internalTiming().rpcCallTimeout = std::chrono::milliseconds(500);
    try {
        createSessionContext(session_.session());
        ADD_FAILURE() << "no exception";
    } catch (const ConnectionException& failure) {
        EXPECT_EQ(failure.getCode(), -56);
    }
    EXPECT_EQ(liveApiRecords(), before);
    EXPECT_FALSE(session_.connectionInUse()) << "the connection went back";

    // Without an installed session there is nothing to borrow.
    SessionHooks* installed = installSessionHooks(nullptr);
    EXPECT_THROW(createSessionContext(session_.session()), ConnectionException);
    installSessionHooks(installed);
    EXPECT_EQ(liveApiRecords(), before);
}

TEST_F(RequestLayer, NameServerAndPolicySendersReportStatuses) {
    CountingRecoveryForSenders recovery;
    RecoveryHooks* previous = installRecoveryHooks(&recovery);
    NSRequestArgs query{};
    query.queryCode = 256;
    NSReply* nsReply = nullptr;
    sim_.injectFault({{"address", sim_.address(0)},
                      {"procedure", 60},
                      {"kind", "status"},
                      {"status", -20005},
                      {"count", 1}});
    EXPECT_EQ(sendNSSvrRequest(ctx_, &query, &nsReply), -94);
    EXPECT_EQ(nsReply, nullptr);

    MPSRequestArgs policy{};
    policy.requestType = 2;
    MPSReply* mpsReply = nullptr;
    sim_.injectFault({{"address", sim_.address(0)},
                      {"procedure", 125},
                      {"kind", "status"},
                      {"status", -5},
                      {"count", 1}});
    EXPECT_EQ(sendMPSRequest(ctx_, &policy, &mpsReply), -5);
    EXPECT_EQ(mpsReply, nullptr);
    EXPECT_EQ(recovery.rechecks, 1);
    installRecoveryHooks(previous);

    EXPECT_EQ(sendNSSvrRequest(ctx_, nullptr, &nsReply), -10021);
    EXPECT_EQ(sendMPSRequest(nullptr, &policy, &mpsReply), -10021);
    EXPECT_FALSE(session_.connectionInUse());
}

TEST(RequestLayerReplies, AnswerUnderAnotherArmIsRefused) {
    internalTiming().rpcCallTimeout = std::chrono::milliseconds(3000);
    SwitchSimulator sim(fabricDocument());
    TestSession session(sim.address(1));
    SessionContext* ctx = session.context();
    ASSERT_NE(ctx, nullptr);
    const std::size_t before = liveApiRecords();
    // Read as the second information record, the first one's bytes would
    // give list pointers that point nowhere.
    SwitchInfo2Record request{};
    std::memcpy(request.switchName, kProxy, 8);
    SwitchInfo2Record* info = nullptr;
    EXPECT_EQ(switchGetInfo2(ctx, &request, &info), -10200);
    EXPECT_EQ(info, nullptr);
    int version = 0;
    EXPECT_EQ(getAPIversion(ctx, kProxy, &version), -10200);
    EXPECT_EQ(liveApiRecords(), before);
}

// One case per reading request: the operation, its checks, its release.
struct ReadCase {
    const char* name;
    int code;
    std::function<int(SessionContext*)> run;
};

TEST_F(RequestLayer, EveryReadingRequestGoesToTheSwitchAndBack) {
    const std::size_t before = liveApiRecords();
    const std::vector<ReadCase> cases = {
        {"switchGetInfo", 1285,
         [](SessionContext* ctx) {
             SwitchInfoRecord request{};
             std::memcpy(request.switchName, kProxy, 8);
             SwitchInfoRecord* info = nullptr;
             const int status = switchGetInfo(ctx, &request, &info);
             if (status != 0)
                 return status;
             EXPECT_EQ(std::memcmp(info->switchName, kProxy, 8), 0);
             EXPECT_STREQ(info->t1, "core-1");
             EXPECT_EQ(info->n5, 5u);
             EXPECT_STREQ(info->a5, "location");
             EXPECT_STREQ(info->b1, "contact");
             return freeApiRecord(info);
         }},
        {"switchGetInfo2", 1287,
         [](SessionContext* ctx) {
             SwitchInfo2Record request{};
             std::memcpy(request.switchName, kProxy, 8);
             SwitchInfo2Record* info = nullptr;
             const int status = switchGetInfo2(ctx, &request, &info);
             if (status != 0)
                 return status;
             EXPECT_STREQ(info->t1, "core-1");
             EXPECT_STREQ(info->e6, "long text");
             EXPECT_EQ(info->q1, 9u);
             EXPECT_STREQ(info->q2, "nm");
             EXPECT_EQ(info->licenseKeys.licenseKeys_len, 2u);
             EXPECT_STREQ(info->licenseKeys.licenseKeys_val[1], "key-two");
             EXPECT_EQ(info->licensedProducts.licensedProducts_len, 3u);
             EXPECT_EQ(info->licensedProducts.licensedProducts_val[2], 13);
             freeSwitchInfo2(info);
             return 0;
         }},
        {"getAPIversion", 1289,
         [](SessionContext* ctx) {
             int version = 0;
             const int status = getAPIversion(ctx, kProxy, &version);
             EXPECT_EQ(version, 3);
             return status;
         }},
        {"discoverFabric", 1281,
         [](SessionContext* ctx) {
             DiscoverFabricRecord* fabric = nullptr;
             const int status = discoverFabric(ctx, 6, &fabric);
             if (status != 0)
                 return status;
             EXPECT_EQ(fabric->kind, 6);
             EXPECT_EQ(fabric->value1, 0) << "the four integers stay 0";
             EXPECT_EQ(fabric->switches.switches_len, 3u);
             const DiscoveredSwitch& first = fabric->switches.switches_val[0];
             EXPECT_EQ(std::memcmp(first.switchName, kProxy, 8), 0);
             EXPECT_EQ(first.apiVersion, 3);
             EXPECT_EQ(first.firstPortModule, 4u);
             EXPECT_EQ(first.portCount, 1);
             EXPECT_EQ(first.pairs.pairs_len, 1u);
             EXPECT_EQ(first.pairs.pairs_val[0].second, 2);
             EXPECT_EQ(first.wwns.wwns_len, 1u);
             EXPECT_EQ(std::memcmp(fabric->switches.switches_val[1].switchName, kEdge, 8), 0);
             freeDiscoverFabricResult(fabric);
             return 0;
         }},
        {"cpGetInfo", 1557,
         [](SessionContext* ctx) {
             CPInfoRecord* cp = nullptr;
             const int status = cpGetInfo(ctx, kProxy, 0, &cp);
             if (status != 0)
                 return status;
             EXPECT_EQ(cp->value1, 1);
             EXPECT_STREQ(cp->text1, "cp0");
             EXPECT_STREQ(cp->fru.serialNumber, "SN-1");
             return freeApiRecord(cp);
         }},
        {"switchGetEnclosure2", 1559,
         [](SessionContext* ctx) {
             EnclosureRecord* enclosure = nullptr;
             const int status = switchGetEnclosure2(ctx, kProxy, &enclosure);
             if (status != 0)
                 return status;
             EXPECT_EQ(enclosure->value1, 3);
             EXPECT_EQ(enclosure->wwns.wwns_len, 1u);
             EXPECT_EQ(enclosure->wwns.wwns_val[0][6], 0xFF);
             EXPECT_EQ(enclosure->frus.frus_len, 2u);
             EXPECT_STREQ(enclosure->frus.frus_val[1].partNumber, "PSU");
             EXPECT_EQ(enclosure->slots.slots_len, 0u);
             EXPECT_EQ(enclosure->blades.blades_len, 0u);
             freeSwitchEnclosure2(enclosure);
             return 0;
         }},
        {"productGet", 1830,
         [](SessionContext* ctx) {
             ProductRecord* product = nullptr;
             const int status = productGet(ctx, kProxy, 0, &product);
             if (status != 0)
                 return status;
             EXPECT_STREQ(product->text, "products");
             EXPECT_EQ(product->value, 2);
             EXPECT_EQ(product->names.names_len, 2u);
             EXPECT_STREQ(product->names.names_val[1], "Trunking");
             return freeApiRecord(product);
         }},
        {"switchGetSGroup", 2049,
         [](SessionContext* ctx) {
             SGroupRecord* group = nullptr;
             const int status = switchGetSGroup(ctx, kProxy, &group);
             if (status != 0)
                 return status;
             EXPECT_STREQ(group->groupName, "group-a");
             EXPECT_EQ(group->value1, 1) << "type";
             EXPECT_EQ(group->value2, 1) << "member count";
             EXPECT_EQ(std::memcmp(group->members[0], kEdge, 8), 0);
             return freeApiRecord(group);
         }},
        {"portGetInfo", 1541,
         [](SessionContext* ctx) {
             PortInfoRecord* port = nullptr;
             const int status = portGetInfo(ctx, kPort, &port);
             if (status != 0)
                 return status;
             EXPECT_EQ(std::memcmp(port->portName, kPort, 8), 0);
             EXPECT_EQ(port->u3, 3u);
             EXPECT_EQ(port->u7, 7u);
             EXPECT_STREQ(port->text1, "port-1");
             return freeApiRecord(port);
         }},
        {"portGetInfo2", 1553,
         [](SessionContext* ctx) {
             PortInfo2Record* port = nullptr;
             const int status = portGetInfo2(ctx, kPort, &port);
             if (status != 0)
                 return status;
             EXPECT_EQ(port->u1, 1u);
             EXPECT_STREQ(port->text1, "port-1");
             return freeApiRecord(port);
         }},
        {"flportGetInfo", 1550,
         [](SessionContext* ctx) {
             FLPortInfoRecord* loop = nullptr;
             const int status = flportGetInfo(ctx, 0, &loop);
             if (status != 0)
                 return status;
             EXPECT_STREQ(loop->text1, "loop-a");
             EXPECT_STREQ(loop->text2, "loop-b");
             return freeApiRecord(loop);
         }},
        {"portGetPstats", 1543,
         [](SessionContext* ctx) {
             PortStatsRecord* stats = nullptr;
             const int status = portGetPstats(ctx, kPort, &stats);
             if (status != 0)
                 return status;
             EXPECT_EQ(stats->value, 4);
             EXPECT_EQ(stats->counters[0].high, 1u) << "high word first";
             EXPECT_EQ(stats->counters[0].low, 1u);
             EXPECT_EQ(stats->counters[1].low, 2u);
             return freeApiRecord(stats);
         }},
        {"portGetPerrs", 1547,
         [](SessionContext* ctx) {
             PortErrorsRecord* errors = nullptr;
             const int status = portGetPerrs(ctx, kPort, &errors);
             if (status != 0)
                 return status;
             EXPECT_EQ(errors->counters[1].low, 6u);
             return freeApiRecord(errors);
         }},
        {"deviceGet", 1545,
         [](SessionContext* ctx) {
             char* text = nullptr;
             const int status = deviceGet(ctx, 0, &text);
             if (status != 0)
                 return status;
             EXPECT_STREQ(text, "device zero text");
             return freeApiRecord(text);
         }},
        {"deviceGet2", 1546,
         [](SessionContext* ctx) {
             char* text = nullptr;
             const int status = deviceGet2(ctx, 1, &text);
             if (status != 0)
                 return status;
             // The fifth byte says 3: the head, the length byte and two more.
             EXPECT_EQ(std::string(text, 7), std::string("HEAD\x03"
                                                         "ab",
                                                         7));
             EXPECT_EQ(text[7], '\0');
             return freeApiRecord(text);
         }},
        {"getPortModuleInfo", 1551,
         [](SessionContext* ctx) {
             PortModuleInfo* modules = nullptr;
             const int status = getPortModuleInfo(ctx, kProxy, &modules);
             if (status != 0)
                 return status;
             EXPECT_EQ(std::memcmp(modules->switchName, kProxy, 8), 0);
             EXPECT_EQ(modules->count, 2u);
             EXPECT_EQ(modules->entries[0].value5, 5);
             EXPECT_STREQ(modules->entries[0].text1, "module");
             EXPECT_EQ(modules->entries[0].ports.ports_len, 3u);
             EXPECT_EQ(modules->entries[0].ports.ports_val[2], 2);
             EXPECT_EQ(modules->entries[1].ports.ports_len, 0u);
             freePortModuleInfo(modules);
             return 0;
         }},
        {"platGetNameList", 418,
         [](SessionContext* ctx) {
             PlatformNameList* list = nullptr;
             const int status = platGetNameList(ctx, &list);
             if (status != 0)
                 return status;
             EXPECT_EQ(list->count, 2);
             EXPECT_STREQ(list->entries[1].name, "host-b");
             EXPECT_EQ(list->entries[1].length, 6) << "a name's first word is its length";
             return freeApiRecord(list);
         }},
        {"platGetAttrib", 404,
         [](SessionContext* ctx) {
             PlatformName name{6, "host-a"};
             PlatformAttributes* platform = nullptr;
             const int status = platGetAttrib(ctx, &name, &platform);
             if (status != 0)
                 return status;
             EXPECT_STREQ(platform->platform.name, "host-a");
             EXPECT_EQ(platform->platform.length, 6);
             EXPECT_EQ(platform->value1, 4) << "type";
             EXPECT_EQ(platform->value2, 1) << "address count";
             EXPECT_EQ(platform->value3, 2) << "node count";
             EXPECT_EQ(platform->members.members_val[0].length, 8);
             EXPECT_EQ(platform->members.members_len, 1u);
             EXPECT_STREQ(platform->members.members_val[0].name, "member-1");
             EXPECT_EQ(platform->wwns.wwns_len, 2u);
             EXPECT_EQ(platform->wwns.wwns_val[1][7], 2);
             return freeApiRecord(platform);
         }},
        {"platGetInfo", 1555,
         [](SessionContext* ctx) {
             int value = 0;
             const int status = platGetInfo(ctx, 7, &value);
             EXPECT_EQ(value, 77);
             return status;
         }},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.run(ctx_), 0);
        EXPECT_EQ(calls(c.code), 1u);
    }
    EXPECT_EQ(liveApiRecords(), before);
    EXPECT_FALSE(session_.connectionInUse());
}

TEST_F(RequestLayer, DeviceLengthIsClampedToTheBlock) {
    char* text = nullptr;
    ASSERT_EQ(deviceGet2(ctx_, 2, &text), 0);
    // 255 + 4 would wrap to 3; the whole record is copied instead.
    EXPECT_EQ(text[3], 'x');
    EXPECT_EQ(text[200], 'x');
    EXPECT_EQ(text[255], 'x');
    EXPECT_EQ(freeApiRecord(text), 0);
}

TEST_F(RequestLayer, SwitchSettingsChangeTheNextRead) {
    struct SetCase {
        unsigned int mask;
        SwitchInfoValue value;
        std::function<void(const SwitchInfo2Record&)> check;
    };
    const SwitchInfo2Extra extra{42, "abc", "first", "second"};
    const std::vector<SetCase> cases = {
        {0x1, {.text = "renamed"}, [](auto& r) { EXPECT_STREQ(r.t1, "renamed"); }},
        {0x200, {.text = "t5 text"}, [](auto& r) { EXPECT_STREQ(r.t5, "t5 text"); }},
        {0x4, {.number = 55}, [](auto& r) { EXPECT_EQ(r.n5, 55u); }},
        {0x10, {.number = 99}, [](auto& r) { EXPECT_EQ(r.n9, 99u); }},
        {0x20, {.text = "new place"}, [](auto& r) { EXPECT_STREQ(r.a5, "new place"); }},
        {0x40,
         {.text = "who", .secondText = "where"},
         [](auto& r) {
             EXPECT_STREQ(r.b1, "who");
             EXPECT_STREQ(r.b2, "where");
         }},
        {0x400, {.text = "extra"}, [](auto& r) { EXPECT_STREQ(r.e3, "extra"); }},
        {0x1000, {.number = 12}, [](auto& r) { EXPECT_EQ(r.e5, 12u); }},
        // A text of the field's 64 characters goes out whole, without a NUL.
        {0x2000,
         {.text = "a serial number text that fills all sixty-four of its characters"},
         [](auto& r) {
             EXPECT_EQ(std::string(r.e6, sizeof r.e6),
                       "a serial number text that fills all sixty-four of its characters");
         }},
        {0x4000,
         {.extra = &extra},
         [](auto& r) {
             EXPECT_EQ(r.q1, 42u);
             EXPECT_STREQ(r.q2, "abc");
         }},
        {0x8000,
         {.extra = &extra},
         [](auto& r) {
             EXPECT_STREQ(r.q3, "first");
             EXPECT_STREQ(r.q4, "second");
         }},
    };
    for (const SetCase& c : cases) {
        SCOPED_TRACE(c.mask);
        const bool firstRecord = c.mask <= 0x200;
        ASSERT_EQ(firstRecord ? switchSetInfo(ctx_, c.mask, kProxy, c.value)
                              : switchSetInfo2(ctx_, c.mask, kProxy, c.value),
                  0);
        SwitchInfo2Record request{};
        std::memcpy(request.switchName, kProxy, 8);
        SwitchInfo2Record* info = nullptr;
        ASSERT_EQ(switchGetInfo2(ctx_, &request, &info), 0);
        c.check(*info);
        freeSwitchInfo2(info);
    }
    EXPECT_EQ(calls(1286), 6u);
    EXPECT_EQ(calls(1288), 5u);
}

TEST_F(RequestLayer, PortSettingsChangeTheNextRead) {
    ASSERT_EQ(portSetInfo(ctx_, 4, kPort, 44), 0);
    ASSERT_EQ(portSetInfo2(ctx_, 32, kPort, 88), 0);
    ASSERT_EQ(portSetInfo2(ctx_, 16, kPort, 16), 0);
    PortInfo2Record* port = nullptr;
    ASSERT_EQ(portGetInfo2(ctx_, kPort, &port), 0);
    EXPECT_EQ(port->u9, 44u);
    EXPECT_EQ(port->u8, 88u);
    EXPECT_EQ(port->v4, 16u);
    freeApiRecord(port);

    ASSERT_EQ(portSetPstats(ctx_, 1, kPort), 0);
    ASSERT_EQ(portSetPerrs(ctx_, 1, kPort), 0);
    PortStatsRecord* stats = nullptr;
    ASSERT_EQ(portGetPstats(ctx_, kPort, &stats), 0);
    EXPECT_EQ(stats->counters[0].low, 0u);
    freeApiRecord(stats);
    PortErrorsRecord* errors = nullptr;
    ASSERT_EQ(portGetPerrs(ctx_, kPort, &errors), 0);
    EXPECT_EQ(errors->counters[1].low, 0u);
    freeApiRecord(errors);
}

TEST_F(RequestLayer, LicenceKeysAreAddedAndRemoved) {
    ASSERT_EQ(switchAddLicenseKey(ctx_, kProxy, "key-three"), 0);
    ASSERT_EQ(switchRemoveLicenseKey(ctx_, kProxy, "key-one"), 0);
    EXPECT_EQ(switchRemoveLicenseKey(ctx_, kProxy, "key-one"), -1) << "already gone";
    SwitchInfo2Record request{};
    std::memcpy(request.switchName, kProxy, 8);
    SwitchInfo2Record* info = nullptr;
    ASSERT_EQ(switchGetInfo2(ctx_, &request, &info), 0);
    ASSERT_EQ(info->licenseKeys.licenseKeys_len, 2u);
    EXPECT_STREQ(info->licenseKeys.licenseKeys_val[0], "key-two");
    EXPECT_STREQ(info->licenseKeys.licenseKeys_val[1], "key-three");
    freeSwitchInfo2(info);
}

TEST_F(RequestLayer, SwitchGroupsAreSetRenamedAndDeleted) {
    ASSERT_EQ(switchDelSGroup(ctx_, kProxy, "group-a"), 0);
    WWNBytes members[128] = {};
    std::memcpy(members[0], kProxy, 8);
    std::memcpy(members[1], kEdge, 8);
    ASSERT_EQ(switchSetSGroup(ctx_, kProxy, "group-b", 7, 2, members), 0);
    ASSERT_EQ(switchRenameSGroup(ctx_, kProxy, "group-b", "group-c"), 0);
    SGroupRecord* group = nullptr;
    ASSERT_EQ(switchGetSGroup(ctx_, kProxy, &group), 0);
    EXPECT_STREQ(group->groupName, "group-c");
    EXPECT_EQ(group->value1, 7);
    EXPECT_EQ(group->value2, 2);
    EXPECT_EQ(std::memcmp(group->members[1], kEdge, 8), 0);
    freeApiRecord(group);
    ASSERT_EQ(switchDelSGroup(ctx_, kProxy, "group-c"), 0);
    EXPECT_EQ(switchGetSGroup(ctx_, kProxy, &group), -1);
    EXPECT_EQ(group, nullptr);
}

TEST_F(RequestLayer, PlatformsAreRegisteredChangedAndRemoved) {
    PlatformName member{8, "member-x"};
    WWNBytes wwn = {0x20, 0, 0, 0, 0xC9, 0, 0, 9};
    PlatformAttributes attributes{};
    attributes.platform = {6, "host-c"};
    attributes.value1 = 10;
    attributes.members = {1, &member};
    attributes.wwns = {1, &wwn};
    ASSERT_EQ(platRegister(ctx_, &attributes), 0);

    PlatformSetArgs setting{};
    setting.code = 658;
    setting.PlatformSetArgs_u.platformInt = {{6, "host-c"}, 31};
    ASSERT_EQ(platSetInfo(ctx_, &setting), 0);
    EXPECT_EQ(sim_.callCount(sim_.address(0), 127), 1u);

    PlatformName name{6, "host-c"};
    PlatformAttributes* platform = nullptr;
    ASSERT_EQ(platGetAttrib(ctx_, &name, &platform), 0);
    EXPECT_EQ(platform->value1, 31);
    EXPECT_STREQ(platform->members.members_val[0].name, "member-x");
    EXPECT_EQ(platform->wwns.wwns_val[0][7], 9);
    freeApiRecord(platform);

    ASSERT_EQ(platDeregister(ctx_, &name), 0);
    EXPECT_EQ(platGetAttrib(ctx_, &name, &platform), -1);
    setting.code = 915;
    setting.PlatformSetArgs_u.platform = name;
    EXPECT_EQ(platSetInfo(ctx_, &setting), -1) << "the switch's status as it is";
    setting.code = 700;
    EXPECT_EQ(platSetInfo(ctx_, &setting), -10021);
}

TEST_F(RequestLayer, PortModuleStatesAreSentAndEchoed) {
    IntPair pairs[] = {{1, 0}, {2, 1}};
    PortModuleStateArgs request{};
    std::memcpy(request.name, kProxy, 8);
    request.states = {2, pairs};
    PortModuleStateArgs* answer = nullptr;
    ASSERT_EQ(setPortModuleState(ctx_, &request, &answer), 0);
    EXPECT_EQ(std::memcmp(answer->name, kProxy, 8), 0);
    ASSERT_EQ(answer->states.states_len, 2u);
    EXPECT_EQ(answer->states.states_val[1].second, 1);
    freePortModuleState(answer);
}

TEST_F(RequestLayer, BadArgumentsAreRefusedBeforeAnythingIsSent) {
    SwitchInfoRecord* info = nullptr;
    SwitchInfoRecord request{};
    const std::vector<std::function<int()>> refused = {
        [&] { return switchGetInfo(nullptr, &request, &info); },
        [&] { return switchGetInfo(ctx_, nullptr, &info); },
        [&] { return switchGetInfo(ctx_, &request, nullptr); },
        [&] { return switchSetInfo(ctx_, 3, kProxy, {.text = "x"}); },
        [&] { return switchSetInfo(ctx_, 0x400, kProxy, {.text = "x"}); },
        [&] { return switchSetInfo(ctx_, 0x1, kProxy, {}); },
        [&] { return switchSetInfo2(ctx_, 0x4000, kProxy, {}); },
        [&] { return portSetInfo(ctx_, 8, kPort, 1); },
        [&] { return portSetInfo2(ctx_, 64, kPort, 1); },
        [&] { return portSetPstats(ctx_, 2, kPort); },
        [&] { return portSetPerrs(ctx_, 0, kPort); },
        [&] { return getAPIversion(ctx_, kProxy, nullptr); },
        [&] { return platGetInfo(ctx_, 1, nullptr); },
        [&] { return switchAddLicenseKey(ctx_, kProxy, nullptr); },
        [&] { return platGetAttrib(ctx_, nullptr, nullptr); },
    };
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_EQ(refused[i](), -10021) << "case " << i;
    }
    EXPECT_EQ(sim_.callCount(sim_.address(0), 40), 0u);
}

TEST_F(RequestLayer, UnknownObjectsGiveTheSwitchStatus) {
    PortInfoRecord* port = nullptr;
    EXPECT_EQ(portGetInfo(ctx_, kUnknown, &port), -1);
    EXPECT_EQ(port, nullptr);
    int version = 0;
    EXPECT_EQ(getAPIversion(ctx_, kUnknown, &version), -1);
}

TEST_F(RequestLayer, SendFailures) {
    int version = 0;
    sim_.injectFault({{"address", sim_.address(0)},
                      {"procedure", 40},
                      {"code", 1289},
                      {"kind", "noReply"},
                      {"count", 1}});
    EXPECT_EQ(getAPIversion(ctx_, kProxy, &version), -10200);

    // Without a session there is no connection to borrow.
    SessionContext orphan = *ctx_;
    orphan.session = nullptr;
    EXPECT_EQ(getAPIversion(&orphan, kProxy, &version), -10023);
    EXPECT_FALSE(session_.connectionInUse());
}

TEST_F(RequestLayer, FirmwareVersionOfASwitch) {
    char* version = nullptr;
    ASSERT_EQ(getSwitchFirmwareVersion(ctx_, kEdge, &version), 0);
    EXPECT_STREQ(version, "v3.2.1");
    EXPECT_EQ(freeApiRecord(version), 0);
    EXPECT_EQ(getSwitchFirmwareVersion(ctx_, kUnknown, &version), -10023);
    EXPECT_EQ(version, nullptr);
}

TEST_F(RequestLayer, OperationsTraceUnderDiscovery) {
    TraceCapture trace(Vosk_Discovery);
    ASSERT_TRUE(trace.started());
    int version = 0;
    EXPECT_EQ(getAPIversion(ctx_, kProxy, &version), 0);
    const std::string log = trace.finish();
    EXPECT_NE(log.find("Message: Entering "), std::string::npos) << log;
    EXPECT_NE(log.find("Message: Exiting "), std::string::npos) << log;
    EXPECT_NE(log.find("Source Method Name: getAPIversion"), std::string::npos) << log;
    EXPECT_NE(log.find("Source File Name: clilib"), std::string::npos) << log;
}

// Stands in for the object store and the fabric re-check.
class CountingRecovery : public RecoveryHooks {
public:
    std::optional<std::vector<std::string>> fabricSwitches(const std::string& oid) override {
        fabricOid = oid;
        return std::vector<std::string>{"00021000006069aa0001", "00021000006069aa0002"};
    }
    int recheckFabricAfterError(SessionContext*, const std::vector<std::string>& switches,
                                int mappedCode) override {
        ++rechecks;
        switchCount = switches.size();
        code = mappedCode;
        return -94;
    }
    std::string fabricOid;
    int rechecks = 0;
    std::size_t switchCount = 0;
    int code = 0;
};

TEST_F(RequestLayer, InjectedSwitchStatusesGoThroughRecovery) {
    CountingRecovery recovery;
    RecoveryHooks* previous = installRecoveryHooks(&recovery);
    struct Case {
        int injected;
        int reported;
        int mapped;
    };
    const Case cases[] = {{-20005, -94, -86}, {-14, -94, -14}, {-24096, -94, -21},
                          {-20009, -94, -56}, {-5, -5, 0},     {-40, -40, 0}};
    const std::size_t before = liveApiRecords();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.injected);
        recovery.rechecks = 0;
        sim_.injectFault({{"address", sim_.address(0)},
                          {"procedure", 40},
                          {"code", 1541},
                          {"kind", "status"},
                          {"status", c.injected},
                          {"count", 1}});
        PortInfoRecord* port = nullptr;
        EXPECT_EQ(portGetInfo(ctx_, kPort, &port), c.reported);
        EXPECT_EQ(port, nullptr);
        EXPECT_EQ(recovery.rechecks, c.mapped != 0 ? 1 : 0);
        if (c.mapped != 0) {
            EXPECT_EQ(recovery.code, c.mapped);
            EXPECT_EQ(recovery.switchCount, 2u);
        }
    }
    EXPECT_EQ(recovery.fabricOid, "00091000006069aa0000");
    EXPECT_EQ(liveApiRecords(), before);
    installRecoveryHooks(previous);
}

} // namespace
