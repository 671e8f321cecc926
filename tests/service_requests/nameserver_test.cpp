// Name-server and fabric configuration server queries against the
// simulated fabric.
#include <cstring>
#include <vector>

#include "connection/clilib_nameserver.h"
#include "foundation/InternalStatus.h"
#include "tests/service_requests/RequestSession.h"

namespace {

using nlohmann::json;
using Bytes = std::vector<unsigned char>;

const unsigned char kProxy[8] = {0x10, 0, 0, 0x60, 0x69, 0xaa, 0, 0x01};
const unsigned char kEdge[8] = {0x10, 0, 0, 0x60, 0x69, 0xaa, 0, 0x02};
const unsigned char kHostPort[8] = {0x21, 0, 0, 0xe0, 0x8b, 0, 0, 0x01};
const unsigned char kHostNode[8] = {0x20, 0, 0, 0xe0, 0x8b, 0, 0, 0x01};
const unsigned char kDiskPort[8] = {0x50, 0, 0, 0x11, 0x22, 0x33, 0x44, 0x01};
const unsigned char kDiskNode[8] = {0x50, 0, 0, 0x11, 0x22, 0x33, 0x44, 0x00};
const unsigned char kSwitchPort1[8] = {0x20, 0x01, 0, 0x60, 0x69, 0xaa, 0, 0x01};
const unsigned char kSwitchPort2[8] = {0x20, 0x02, 0, 0x60, 0x69, 0xaa, 0, 0x01};
const unsigned char kIpa[8] = {1, 2, 3, 4, 5, 6, 7, 8};
Bytes ip(unsigned char last) {
    Bytes out(16, 0);
    out[10] = out[11] = 0xff;
    out[12] = 10;
    out[15] = last;
    return out;
}

// Three attached ports on two domains; the entries are listed out of order.
json fabric() {
    return json::parse(R"({
      "fabrics": [ { "name": "A", "wwn": "10:00:00:60:69:aa:00:00",
        "switches": [
          { "wwn": "10:00:00:60:69:aa:00:01", "address": "@0",
            "fcs": { "domainId": 1, "managementId": 77, "logicalName": "core-1", "type": 1,
                     "managementAddresses": ["127.0.0.1", "fe80::1"],
                     "elementInfo": { "text": "abc", "value": 4, "data": "xyz!" },
                     "ports": [
                       { "wwn": "20:01:00:60:69:aa:00:01", "type": 2, "physical": 3,
                         "state": [1, 6],
                         "attached": [ { "wwn": "21:00:00:e0:8b:00:00:01", "type": 2,
                                         "flags": 1 } ] },
                       { "wwn": "20:02:00:60:69:aa:00:01", "type": 519, "physical": 4 } ] } },
          { "wwn": "10:00:00:60:69:aa:00:02",
            "fcs": { "domainId": 2, "logicalName": "x", "logicalNameLength": 200 } } ],
        "nameServer": [
          { "portId": "020100", "portType": 2, "portName": "50:00:00:11:22:33:44:01",
            "nodeName": "50:00:00:11:22:33:44:00", "classOfService": 12, "fc4Types": [8],
            "switchPort": "20:02:00:60:69:aa:00:01", "hardAddress": "020100" },
          { "portId": "010200", "portType": 1, "portName": "21:00:00:e0:8b:00:00:01",
            "nodeName": "20:00:00:e0:8b:00:00:01", "symbolicPortName": "hba port 0",
            "symbolicNodeName": "host-a", "classOfService": 8, "fc4Types": [8, 5],
            "switchPort": "20:01:00:60:69:aa:00:01", "hardAddress": "010200",
            "initialProcessAssociator": "0102030405060708",
            "nodeIp": "00000000000000000000ffff0a000001",
            "portIp": "00000000000000000000ffff0a000002" },
          { "portId": 66305, "portType": 1, "portName": "21:00:00:e0:8b:00:00:02",
            "nodeName": "20:00:00:e0:8b:00:00:01", "fc4Types": [5] } ] } ]
    })");
}

template <class T> Bytes bytesOf(const T& value) {
    const auto* p = reinterpret_cast<const unsigned char*>(&value);
    return Bytes(p, p + sizeof(T));
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// The bytes of a typed block.
Bytes blockBytes(const void* block) {
    std::uint32_t type = 0;
    std::uint32_t count = 0;
    EXPECT_TRUE(apiRecordInfo(block, &type, &count));
    const auto* p = static_cast<const unsigned char*>(block);
    return Bytes(p, p + count * apiRecordElementSize(type));
}

class NameServerTest : public RequestSession {
protected:
    void SetUp() override { open(fabric()); }
};

TEST_F(NameServerTest, NextEntryWalksPortIdentifiersInOrderAndWraps) {
    const unsigned int expected[] = {0x010200, 0x010301, 0x020100, 0x010200};
    unsigned int portId = 0;
    for (unsigned int next : expected) {
        NameServerEntry* entry = nullptr;
        ASSERT_EQ(0, snsGetNextEntry(ctx(), portId, &entry));
        ASSERT_NE(nullptr, entry);
        EXPECT_EQ(static_cast<int>(next), entry->portId);
        portId = static_cast<unsigned int>(entry->portId);
        freeApiRecord(entry);
    }
}

TEST_F(NameServerTest, EntryConvertsEveryField) {
    NameServerEntry* entry = nullptr;
    ASSERT_EQ(0, snsGetEntryByPortID(ctx(), 0x010200, &entry));
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(1, entry->portType);
    EXPECT_EQ(0x010200, entry->portId);
    EXPECT_EQ(0, std::memcmp(kHostPort, entry->portName, 8));
    EXPECT_EQ(10, entry->symbolicPortNameLength);
    EXPECT_STREQ("hba port 0", entry->symbolicPortName);
    EXPECT_EQ(0, std::memcmp(kHostNode, entry->nodeName, 8));
    EXPECT_STREQ("host-a", entry->symbolicNodeName);
    EXPECT_EQ(0, std::memcmp(kIpa, entry->initialProcessAssociator, 8));
    EXPECT_EQ(ip(1), Bytes(entry->nodeIpAddress, entry->nodeIpAddress + 16));
    EXPECT_EQ(8, entry->classOfService);
    EXPECT_EQ(0x01, entry->fc4Types[2]); // type 8
    EXPECT_EQ(0x20, entry->fc4Types[3]); // type 5
    EXPECT_EQ(ip(2), Bytes(entry->portIpAddress, entry->portIpAddress + 16));
    EXPECT_EQ(0, std::memcmp(kSwitchPort1, entry->fabricPortName, 8));
    EXPECT_EQ(0x010200, entry->hardAddress);
    freeApiRecord(entry);
}

struct QueryCase {
    int code;
    unsigned int portId;       // for the codes that take one
    const unsigned char* name; // or the bytes sent
    unsigned char byteArgument;
    Bytes expected;
};

TEST_F(NameServerTest, EachQueryConvertsItsReply) {
    const Bytes nodeIp = ip(1);
    const Bytes portIp = ip(2);
    Bytes fc4(32, 0);
    fc4[2] = 0x01;
    fc4[3] = 0x20;
    SymbolicName portSymbol{10, "hba port 0"};
    SymbolicName nodeSymbol{6, "host-a"};
    NameServerPortName byType8[] = {{0, 0x010200, {}}, {0x80, 0x020100, {}}};
    std::memcpy(byType8[0].name, kHostPort, 8);
    std::memcpy(byType8[1].name, kDiskPort, 8);
    NameServerPortName nodesByType8[] = {{0, 0x010200, {}}, {0x80, 0x020100, {}}};
    std::memcpy(nodesByType8[0].name, kHostNode, 8);
    std::memcpy(nodesByType8[1].name, kDiskNode, 8);
    const std::vector<QueryCase> cases = {
        {NS_GPN_ID, 0x010200, nullptr, 0, Bytes(kHostPort, kHostPort + 8)},
        {NS_GNN_ID, 0x020100, nullptr, 0, Bytes(kDiskNode, kDiskNode + 8)},
        {NS_GCS_ID, 0x020100, nullptr, 0, bytesOf(12u)},
        {NS_GFT_ID, 0x010200, nullptr, 0, fc4},
        {NS_GSPN_ID, 0x010200, nullptr, 0, bytesOf(portSymbol)},
        {NS_GPT_ID, 0x020100, nullptr, 0, Bytes{2}},
        {NS_GIPP_ID, 0x010200, nullptr, 0, portIp},
        {NS_GFPN_ID, 0x020100, nullptr, 0, Bytes(kSwitchPort2, kSwitchPort2 + 8)},
        {NS_GHA_ID, 0x020100, nullptr, 0, bytesOf(0x020100)},
        {NS_GID_PN, 0, kDiskPort, 0, bytesOf(0x020100)},
        {NS_GIPP_PN, 0, kHostPort, 0, portIp},
        {NS_GIP_NN, 0, kHostNode, 0, nodeIp},
        {NS_GIPA_NN, 0, kHostNode, 0, Bytes(kIpa, kIpa + 8)},
        {NS_GSNN_NN, 0, kHostNode, 0, bytesOf(nodeSymbol)},
        {NS_GNN_IP, 0, nodeIp.data(), 0, Bytes(kHostNode, kHostNode + 8)},
        {NS_GIPA_IP, 0, nodeIp.data(), 0, Bytes(kIpa, kIpa + 8)},
        {NS_GID_IPP, 0, portIp.data(), 0, bytesOf(0x010200)},
        {NS_GPN_IPP, 0, portIp.data(), 0, Bytes(kHostPort, kHostPort + 8)},
        {NS_GID_A, 0, nullptr, 1, Bytes{1, 2, 0, 1, 3, 1}},
        {NS_GID_NN, 0, kHostNode, 0,
         concat(
             {bytesOf(NameServerPortId{0, 0x010200}), bytesOf(NameServerPortId{0x80, 0x010301})})},
        {NS_GID_FT, 0, nullptr, 5,
         concat(
             {bytesOf(NameServerPortId{0, 0x010200}), bytesOf(NameServerPortId{0x80, 0x010301})})},
        {NS_GID_PT, 0, nullptr, 2, bytesOf(NameServerPortId{0x80, 0x020100})},
        {NS_GPN_FT, 0, nullptr, 8, bytesOf(byType8)},
        {NS_GNN_FT, 0, nullptr, 8, bytesOf(nodesByType8)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        void* result = nullptr;
        ASSERT_EQ(0, NSSvrRequest(ctx(), c.code, {c.portId, c.name}, c.byteArgument, &result));
        ASSERT_NE(nullptr, result);
        EXPECT_EQ(c.expected, blockBytes(result));
        freeApiRecord(result);
    }
}

TEST_F(NameServerTest, ForwardersFindPortsByNameAndNodes) {
    int* portId = nullptr;
    ASSERT_EQ(0, snsGetPortIDByPortName(ctx(), kHostPort, &portId));
    EXPECT_EQ(0x010200, *portId);
    freeApiRecord(portId);

    unsigned char* portName = nullptr;
    ASSERT_EQ(0, snsGetPortName(ctx(), 0x020100, &portName));
    EXPECT_EQ(0, std::memcmp(kDiskPort, portName, 8));
    freeApiRecord(portName);

    NameServerPortId* ids = nullptr;
    ASSERT_EQ(0, snsGetPortIDsByNodeName(ctx(), kDiskNode, &ids));
    EXPECT_EQ(0x020100, ids[0].portId);
    freeApiRecord(ids);

    SymbolicName* name = nullptr;
    ASSERT_EQ(0, snsGetSymbolicNodeName(ctx(), kHostNode, &name));
    EXPECT_STREQ("host-a", name->text);
    freeApiRecord(name);
}

TEST_F(NameServerTest, EntryListHandsOutTheCountAndTheEntries) {
    int count = 0;
    NSPortListEntry* entries = nullptr;
    ASSERT_EQ(0, snsGetEntryList768(ctx(), &count, &entries));
    ASSERT_EQ(3, count);
    EXPECT_EQ(0x01, entries[0].portId[0]);
    EXPECT_EQ(0x02, entries[0].portId[1]);
    EXPECT_EQ(0, std::memcmp(kHostPort, entries[0].portName, 8));
    EXPECT_EQ(0, std::memcmp(kDiskNode, entries[2].nodeName, 8));
    EXPECT_EQ(0, std::memcmp(kSwitchPort2, entries[2].switchPortName, 8));
    freeEntryList768(entries);
}

TEST_F(NameServerTest, EmptySymbolicNameGivesNoResult) {
    void* result = reinterpret_cast<void*>(1);
    EXPECT_EQ(0, NSSvrRequest(ctx(), NS_GSPN_ID, {0x020100, nullptr}, 0, &result));
    EXPECT_EQ(nullptr, result);
}

TEST_F(NameServerTest, RefusedArgumentsSendNothing) {
    void* result = nullptr;
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, NSSvrRequest(ctx(), 300, {}, 0, &result));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, snsRequest(ctx(), NS_GID_PN, nullptr, &result));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, snsRequest(nullptr, NS_GA_NXT, nullptr, &result));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, snsGetNextEntry(ctx(), 0, nullptr));
    const std::string tooLong(256, 'x');
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, snsSetSPN(ctx(), 0x010200, tooLong.data(), tooLong.size()));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, snsSetSNN(ctx(), kHostNode, tooLong.data(), tooLong.size()));
    EXPECT_EQ(0u, calls(60));
}

TEST_F(NameServerTest, RegisteredSymbolicNamesAreReadBack) {
    const std::string portName(255, 'p');
    ASSERT_EQ(0, snsSetSPN(ctx(), 0x020100, portName.data(), portName.size()));
    ASSERT_EQ(0, snsSetSNN(ctx(), kDiskNode, "array-7", 7));
    NameServerEntry* entry = nullptr;
    ASSERT_EQ(0, snsGetEntryByPortID(ctx(), 0x020100, &entry));
    EXPECT_EQ(255, entry->symbolicPortNameLength);
    EXPECT_EQ(portName, entry->symbolicPortName);
    EXPECT_STREQ("array-7", entry->symbolicNodeName);
    freeApiRecord(entry);
}

TEST_F(NameServerTest, SwitchStatusAndBrokenRepliesGiveNoResult) {
    NameServerEntry* entry = reinterpret_cast<NameServerEntry*>(1);
    EXPECT_EQ(-1, snsGetEntryByPortID(ctx(), 0x0a0a0a, &entry));
    EXPECT_EQ(nullptr, entry);
    injectMalformed(60, NS_GA_NXT);
    EXPECT_EQ(REQ_ERR_RPC_NO_REPLY, snsGetNextEntry(ctx(), 0, &entry));
    EXPECT_EQ(nullptr, entry);
    // The connection serves the next request.
    ASSERT_EQ(0, snsGetNextEntry(ctx(), 0, &entry));
    freeApiRecord(entry);
}

class EmptyNameServerTest : public RequestSession {
protected:
    void SetUp() override {
        open(json::parse(R"({"fabrics": [ { "name": "A", "switches": [
            { "wwn": "10:00:00:60:69:aa:00:01", "address": "@0" } ] } ]})"));
    }
};

TEST_F(EmptyNameServerTest, NoEntriesGiveNoResult) {
    NameServerEntry* entry = nullptr;
    EXPECT_EQ(-1, snsGetNextEntry(ctx(), 0, &entry));
    EXPECT_EQ(nullptr, entry);
    int count = -1;
    NSPortListEntry* entries = reinterpret_cast<NSPortListEntry*>(1);
    ASSERT_EQ(0, snsGetEntryList768(ctx(), &count, &entries));
    EXPECT_EQ(0, count);
    EXPECT_EQ(nullptr, entries);
    void* ids = reinterpret_cast<void*>(1);
    EXPECT_EQ(-1, NSSvrRequest(ctx(), NS_GID_A, {}, 1, &ids));
    EXPECT_EQ(nullptr, ids);
}

// --- Fabric configuration server ---

using FabricConfigTest = NameServerTest;

TEST_F(FabricConfigTest, ElementAndPortListsConvertTheirEntries) {
    FabricElementList* elements = nullptr;
    ASSERT_EQ(0, getInterconnectElementList(ctx(), &elements));
    ASSERT_EQ(2u, elements->count);
    EXPECT_EQ(0, std::memcmp(kProxy, elements->entries[0].name, 8));
    EXPECT_EQ(0, std::memcmp(kEdge, elements->entries[1].name, 8));
    EXPECT_EQ(1, elements->entries[1].type);
    freeApiRecord(elements);

    FabricElementList* ports = nullptr;
    ASSERT_EQ(0, getPortList(ctx(), kProxy, &ports));
    ASSERT_EQ(2u, ports->count);
    EXPECT_EQ(0, std::memcmp(kSwitchPort2, ports->entries[1].name, 8));
    EXPECT_EQ(7, ports->entries[1].type); // the low byte of 0x207
    freeApiRecord(ports);

    AttachedPortNameList* attached = nullptr;
    ASSERT_EQ(0, getAttachedPortNameList(ctx(), kSwitchPort1, &attached));
    ASSERT_EQ(1u, attached->count);
    EXPECT_EQ(0, std::memcmp(kHostPort, attached->entries[0].name, 8));
    EXPECT_EQ(1, attached->entries[0].flags);
    EXPECT_EQ(2, attached->entries[0].portType);
    freeApiRecord(attached);
}

TEST_F(FabricConfigTest, PlainRecordsFollowTheReplyArm) {
    FCSQueryArgs args{};
    std::memcpy(args.switchName, kProxy, 8);
    FCSQueryResult result;
    ASSERT_EQ(0, sendFCSQuery(ctx(), FCS_GIET, &args, nullptr, &result));
    EXPECT_EQ(1u, result.value);
    ASSERT_EQ(0, sendFCSQuery(ctx(), FCS_GFN, &args, "", &result));
    const unsigned char fabricName[8] = {0x10, 0, 0, 0x60, 0x69, 0xaa, 0, 0};
    EXPECT_EQ(0, std::memcmp(fabricName, result.bytes, 8));
    ASSERT_EQ(0, sendFCSQuery(ctx(), FCS_GMAL, &args, nullptr, &result));
    EXPECT_EQ(2u, result.value);
    ASSERT_EQ(2u, result.addresses.size());
    EXPECT_EQ(256u, result.addresses[1].size());
    EXPECT_STREQ("fe80::1", result.addresses[1].data());
    ASSERT_EQ(0, sendFCSQuery(ctx(), FCS_GIEIL, &args, nullptr, &result));
    const char firstWord[4] = {'a', 'b', 'c', 4};
    EXPECT_EQ(0, std::memcmp(firstWord, &result.firstWord, 4));
    EXPECT_EQ(std::string("xyz!"), std::string(result.data.begin(), result.data.end()));
    // Without a record the query goes out with an empty name.
    ASSERT_EQ(0, sendFCSQuery(ctx(), 257, nullptr, nullptr, &result));
    EXPECT_EQ(2u, result.elements.size());
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, sendFCSQuery(ctx(), FCS_GIET, &args, nullptr, nullptr));
}

TEST_F(FabricConfigTest, EmptyListGivesCountZeroAndNoEntries) {
    FabricElementList* ports = nullptr;
    ASSERT_EQ(0, getPortList(ctx(), kEdge, &ports));
    EXPECT_EQ(0u, ports->count);
    EXPECT_EQ(nullptr, ports->entries);
    freeApiRecord(ports);
}

TEST_F(FabricConfigTest, ValueQueriesGiveTypedBlocks) {
    struct Case {
        const char* what;
        int (*query)(SessionContext*, const unsigned char*, int**);
        const unsigned char* name;
        int expected;
        std::uint32_t type;
    };
    const Case cases[] = {
        {"domain", getDomainID, kProxy, 1, 1},
        {"management id", getManagementID, kProxy, 77, 1},
        {"port type", getPortType, kSwitchPort1, 2, 10},
        {"physical port", getPhysicalPortNumber, kSwitchPort2, 4, 1},
        {"port state", getPortState, kSwitchPort1, 6, 13},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int* value = nullptr;
        ASSERT_EQ(0, c.query(ctx(), c.name, &value));
        EXPECT_EQ(c.expected, *value);
        std::uint32_t type = 0;
        ASSERT_TRUE(apiRecordInfo(value, &type, nullptr));
        EXPECT_EQ(c.type, type);
        freeApiRecord(value);
    }
}

TEST_F(FabricConfigTest, LogicalNameTakesItsLengthByteUnsigned) {
    char* name = nullptr;
    ASSERT_EQ(0, getInterconnectElementLogicalName(ctx(), kProxy, &name));
    EXPECT_STREQ("core-1", name);
    freeApiRecord(name);
    // A length byte of 200 (negative as a signed char) stays inside the field.
    ASSERT_EQ(0, getInterconnectElementLogicalName(ctx(), kEdge, &name));
    std::uint32_t count = 0;
    ASSERT_TRUE(apiRecordInfo(name, nullptr, &count));
    EXPECT_EQ(201u, count);
    EXPECT_STREQ("x", name);
    freeApiRecord(name);
}

TEST_F(FabricConfigTest, UnknownObjectAndBrokenReplyGiveNoResult) {
    int* value = reinterpret_cast<int*>(1);
    EXPECT_EQ(-1, getPortType(ctx(), kHostNode, &value));
    EXPECT_EQ(nullptr, value);
    injectMalformed(40, FCS_GPL);
    FabricElementList* ports = nullptr;
    EXPECT_EQ(REQ_ERR_RPC_NO_REPLY, getPortList(ctx(), kProxy, &ports));
    EXPECT_EQ(nullptr, ports);
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, getDomainID(ctx(), kProxy, nullptr));
}

} // namespace
