// Inter-switch links read from the simulated topology pages and platforms
// registered in the simulated switches, through a session's object tree.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "foundation/InternalTiming.h"
#include "objects/IslClasses.h"
#include "objects/ObjectQueries.h"
#include "objects/PlatformClasses.h"
#include "objects/gorlib.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/status.h"
#include "tests/support/SwitchSimulator.h"

namespace {

constexpr char kFabric[] = "00091000006069070001";
constexpr char kLink[] = "004010000060690700011000006069070002" "00010000";
// Link ports: switch 1 port 1 to switch 2 port 0.
constexpr char kPort11[] = "00012001006069070001";
constexpr char kPort20[] = "00012000006069070002";

nlohmann::json document() {
    return nlohmann::json::parse(R"({"fabrics": [{"name": "links",
      "users": [{"name": "admin", "password": "password"}],
      "platformInfo": {"1": 1},
      "platforms": [{"kind": 4, "name": "host", "value1": 3,
                     "members": [{"kind": 9, "name": "127.0.0.9"}],
                     "wwns": ["20:00:00:e0:8b:00:00:01", "20:00:00:e0:8b:00:00:02"]}],
      "isls": [{"from": "10:00:00:60:69:07:00:01", "fromPort": 1,
                "to": "10:00:00:60:69:07:00:02", "toPort": 0,
                "cost": 500, "count": 2, "type": 7}],
      "switches": [
        {"wwn": "10:00:00:60:69:07:00:01", "firmware": "v5.2.0", "address": "@0",
         "fcs": {"domainId": 1, "ports": [{"wwn": "20:00:00:60:69:07:00:01"},
                                          {"wwn": "20:01:00:60:69:07:00:01"}]}},
        {"wwn": "10:00:00:60:69:07:00:02", "firmware": "v5.2.0",
         "fcs": {"domainId": 2, "ports": [{"wwn": "20:00:00:60:69:07:00:02"}]}},
        {"wwn": "10:00:00:60:69:07:00:03", "firmware": "v5.2.0",
         "fcs": {"domainId": 3, "ports": [{"wwn": "20:00:00:60:69:07:00:03"}]}}]}]})");
}

std::string field(const char* text) {
    return std::string(text, strnlen(text, 48));
}

class LinksAndPlatforms : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
        internalTiming().rpcCallTimeout = std::chrono::milliseconds(3000);
        sim_ = new SwitchSimulator(document());
        FabAPI_ShutdownFabricAPI();
        ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
        std::string host = sim_->address(0);
        FabAPI_ProxyEntry entry{host.data(), const_cast<char*>("admin"),
                                const_cast<char*>("password")};
        ASSERT_EQ(0, FabAPI_AppendProxyEntry(&entry));
        FabAPI_FabricDiscoveryInfo* info = nullptr;
        ASSERT_EQ(0, FabAPI_DiscoverFabrics(&info));
        falFreeObject(info);
        FabAPI_FabricIdentity identity{};
        std::strncpy(identity.structFabSig.structFabricOID, kFabric, 47);
        FabAPI_ClientSessionID* session = nullptr;
        ASSERT_EQ(0, FabAPI_EstablishSession(&identity, &session));
        falFreeObject(session);
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    void setIsls(const nlohmann::json& isls) {
        ASSERT_TRUE(sim_->request({{"op", "setIsls"}, {"fabric", 0}, {"isls", isls}})["ok"]);
    }
    std::vector<std::string> fabricLinks() {
        std::vector<std::string> oids;
        findObject(kFabric)->getRelations("setISLSet", oids);
        return oids;
    }
    nlohmann::json platformsOnSwitch() {
        return sim_->request({{"op", "source"}, {"fabric", 0}})["source"]["platforms"];
    }
    static SwitchSimulator* sim_;
};

SwitchSimulator* LinksAndPlatforms::sim_ = nullptr;

nlohmann::json link(int fromPort, int toPort, const char* to = "10:00:00:60:69:07:00:02") {
    return {{"from", "10:00:00:60:69:07:00:01"}, {"fromPort", fromPort}, {"to", to},
            {"toPort", toPort}, {"cost", 500},   {"count", 2},           {"type", 7}};
}

TEST_F(LinksAndPlatforms, LinkListedUnderBothDomainsIsOneObjectReadWithItsPorts) {
    setIsls(nlohmann::json::array({link(1, 0)}));
    ASSERT_EQ(0, loadFabricIsls(kFabric));
    ASSERT_EQ(fabricLinks(), std::vector<std::string>{kLink});

    void* record = nullptr;
    ASSERT_EQ(0, querySingleObject(kLink, &record));
    const auto* isl = static_cast<const ISLRecord*>(record);
    EXPECT_EQ(isl->ObjType, 64);
    EXPECT_EQ(field(isl->OID), kLink);
    EXPECT_EQ(field(isl->OwnerOID), kFabric);
    EXPECT_EQ(field(isl->SwitchPort1), kPort11);
    EXPECT_EQ(field(isl->SwitchPort2), kPort20);
    EXPECT_EQ(isl->ISLLinkCost, 500);
    EXPECT_EQ(isl->ISLLinkCount, 2);
    EXPECT_EQ(isl->ISLLinkType, 7);
    falFreeObject(record);
}

TEST_F(LinksAndPlatforms, LinksFollowTheTopologyPagesAsTheyChange) {
    setIsls(nlohmann::json::array({link(1, 0), link(0, 0, "10:00:00:60:69:07:00:03")}));
    ASSERT_EQ(0, loadFabricIsls(kFabric));
    const std::string added = "0040100000606907000110000060690700030000" "0000";
    EXPECT_EQ(fabricLinks(), (std::vector<std::string>{kLink, added}));

    setIsls(nlohmann::json::array({link(0, 0, "10:00:00:60:69:07:00:03")}));
    ASSERT_EQ(0, loadFabricIsls(kFabric));
    EXPECT_EQ(fabricLinks(), std::vector<std::string>{added});
    // A link the topology no longer lists cannot be read.
    void* record = nullptr;
    EXPECT_EQ(-17, querySingleObject(kLink, &record));
    EXPECT_EQ(record, nullptr);
}

TEST_F(LinksAndPlatforms, PortNumberBeyondItsFieldMakesNoLink) {
    setIsls(nlohmann::json::array({link(70000, 0), link(1, 0)}));
    ASSERT_EQ(0, loadFabricIsls(kFabric));
    EXPECT_EQ(fabricLinks(), std::vector<std::string>{kLink});
}

TEST_F(LinksAndPlatforms, UnreadableTopologyKeepsTheLinksBefore) {
    setIsls(nlohmann::json::array({link(1, 0)}));
    ASSERT_EQ(0, loadFabricIsls(kFabric));
    sim_->injectFault({{"address", sim_->address(0)},
                       {"procedure", 80},
                       {"code", 3},
                       {"kind", "status"},
                       {"status", 500},
                       {"count", 1}});
    EXPECT_EQ(-90, loadFabricIsls(kFabric));
    EXPECT_EQ(fabricLinks(), std::vector<std::string>{kLink});
    sim_->clearFaults();
}

TEST_F(LinksAndPlatforms, IdentifierRoutines) {
    const unsigned char wwn[8] = {0x10, 0, 0, 0x60, 0x69, 0x07, 0, 0xab};
    std::string text = "old";
    formatObjectOid(1, wwn, text);
    EXPECT_EQ(text, "000110000060690700ab");
    unsigned char first[8] = {};
    unsigned char second[8] = {};
    ASSERT_TRUE(parseObjectOid(kLink, first, second));
    EXPECT_EQ(first[7], 1);
    EXPECT_EQ(second[7], 2);
    EXPECT_FALSE(parseObjectOid("0040zz", first, second));
}

TEST_F(LinksAndPlatforms, RegisteredPlatformIsReadWithNodesAndAddresses) {
    int count = -1;
    ASSERT_EQ(0, platformObjectsImpl(findObject(kFabric), count));
    EXPECT_EQ(count, 1);
    std::vector<std::string> platforms;
    findObject(kFabric)->getRelations("setPlatform", platforms);
    ASSERT_EQ(platforms.size(), 1u);
    void* out = nullptr;
    ASSERT_EQ(0, querySingleObject(platforms[0].c_str(), &out));
    const auto* record = static_cast<const PlatformRecord*>(out);
    EXPECT_EQ(record->ObjType, 15);
    EXPECT_EQ(record->PlatformType, 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(record->PlatformName),
                          record->PlatformNameLength),
              "host");
    EXPECT_EQ(field(record->PlatformNodeOIDs[0]), "0004200000e08b000001");
    EXPECT_EQ(field(record->PlatformNodeOIDs[1]), "0004200000e08b000002");
    EXPECT_EQ(record->PlatformNodeOIDs[2][0], '\0');
    EXPECT_EQ(std::string(record->ManagementAddrs[0].Text), "127.0.0.9");
    EXPECT_EQ(record->ManagementAddrs[0].Length, 9);
    EXPECT_EQ(record->ManagementAddrs[1].Length, 0);
    falFreeObject(out);
}

TEST_F(LinksAndPlatforms, PlatformCreatedEditedAndDeleted) {
    struct {
        PlatformRecord head;
        OID_t nodes[1];
        RecordText addresses[3];
    } input{};
    input.head.ObjType = 15;
    input.head.PlatformType = 5;
    std::memcpy(input.head.PlatformName, "made", 4);
    input.head.PlatformNameLength = 4;
    input.head.PlatformNodeOIDs = input.nodes;
    input.head.ManagementAddrs = input.addresses;
    std::strcpy(input.addresses[0].Text, "127.0.0.1");
    input.addresses[0].Length = 9;
    std::strcpy(input.addresses[1].Text, "127.0.0.2");
    input.addresses[1].Length = 9;
    StoredObject* fabric = findObject(kFabric);
    char oid[48] = {};
    ASSERT_EQ(0, createPlatformObject(fabric, &input.head, oid));
    // Every address entry up to the zero length byte is registered.
    nlohmann::json made = platformsOnSwitch()[1];
    ASSERT_EQ(made["name"], "made");
    EXPECT_EQ(made["members"].size(), 2u);
    EXPECT_EQ(made["value1"], 5);

    StoredObject* platform = findObject(oid);
    ASSERT_NE(platform, nullptr);
    const unsigned short type = 9;
    EXPECT_EQ(0, setPlatformType(platform, PLATFORM_ATTR_TYPE, &type));
    EXPECT_EQ(-34, setPlatformType(platform, PLATFORM_ATTR_NODE_SET, &type));
    EXPECT_EQ(platformsOnSwitch()[1]["value1"], 9);

    RecordText address[2] = {};
    std::strcpy(address[0].Text, "127.0.0.3");
    EXPECT_EQ(0, addPlatformMember(platform, PLATFORM_ATTR_ADDRESS_SET, address));
    EXPECT_EQ(platformsOnSwitch()[1]["members"].size(), 3u);
    EXPECT_EQ(0, removePlatformMember(platform, PLATFORM_ATTR_ADDRESS_SET, address));
    EXPECT_EQ(platformsOnSwitch()[1]["members"].size(), 2u);
    // A text that fills the whole field has no room for its length.
    RecordText tooLong[2] = {};
    std::memset(tooLong[0].Text, 'a', sizeof tooLong[0].Text);
    EXPECT_EQ(-3, addPlatformMember(platform, PLATFORM_ATTR_ADDRESS_SET, tooLong));

    OID_t twoNodes[3] = {};
    std::strcpy(twoNodes[0], "0004200000e08b000001");
    std::strcpy(twoNodes[1], "0004200000e08b000002");
    EXPECT_EQ(-215, addPlatformMember(platform, PLATFORM_ATTR_NODE_SET, twoNodes));
    // A node that is not stored is still removed by the name in its identifier.
    OID_t node[2] = {};
    std::strcpy(node[0], "0004200000e08b000002");
    EXPECT_EQ(0, removePlatformMember(platform, PLATFORM_ATTR_NODE_SET, node));
    EXPECT_EQ(platformsOnSwitch()[0]["wwns"].size(), 1u);

    EXPECT_EQ(0, deletePlatformObject(platform));
    EXPECT_EQ(findObject(oid), nullptr);
    EXPECT_EQ(platformsOnSwitch().size(), 1u);
}

TEST_F(LinksAndPlatforms, GetAllObjectsReachesLinksAndPlatforms) {
    setIsls(nlohmann::json::array({link(1, 0)}));
    ASSERT_EQ(0, loadFabricIsls(kFabric));
    void** records = nullptr;
    const int status = queryAllObjects(&records);
    ASSERT_TRUE(status == 0 || status == FABAPI_ERR_SOME_OBJECTS_FAILED) << status;
    bool sawLink = false;
    bool sawPlatform = false;
    for (void** each = records; each != nullptr && *each != nullptr; ++each) {
        unsigned short type = 0;
        std::memcpy(&type, *each, sizeof type);
        sawLink = sawLink || type == 64;
        sawPlatform = sawPlatform || type == 15;
    }
    EXPECT_TRUE(sawLink);
    EXPECT_TRUE(sawPlatform);
    falFreeObject(records);
}

} // namespace
