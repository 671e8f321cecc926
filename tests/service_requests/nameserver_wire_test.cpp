// Name-server and fabric configuration server records as they stand on the
// wire: the simulator is called with requests written by hand as XDR units
// and its answers are compared unit by unit, and the library is fed
// name-server answers written by hand.
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "connection/clilib_nameserver.h"
#include "objects/NameServerCache.h"
#include "remote_api.h"
#include "tests/service_requests/RequestSession.h"
#include "tests/support/XdrUnits.h"

namespace {

using nlohmann::json;
using Name = std::uint8_t[8];

const Name kSwitch = {0x10, 0, 0, 0x60, 0x69, 0xbb, 0, 0x01};
const Name kSwitchPort = {0x20, 0x01, 0, 0x60, 0x69, 0xbb, 0, 0x01};
const Name kSecondSwitchPort = {0x20, 0x02, 0, 0x60, 0x69, 0xbb, 0, 0x01};
const Name kHostPort = {0x21, 0, 0, 0xe0, 0x8b, 0, 0, 0x01};
const Name kDiskPort = {0x21, 0, 0, 0xe0, 0x8b, 0, 0, 0x02};
const Name kNode = {0x20, 0, 0, 0xe0, 0x8b, 0, 0, 0x01};
const Name kIpa = {1, 2, 3, 4, 5, 6, 7, 8};

// NSRequestArgs: query code, port identifier, node name, port name, node
// and port IP addresses, port type, FC-4 type, scope, symbolic port name
// (length, char[256]), symbolic node name (node name, char[256]).
struct NsRequest {
    std::int32_t code = 0;
    std::uint32_t portId = 0;
    const std::uint8_t* nodeName = nullptr;
    const std::uint8_t* portName = nullptr;
    std::uint8_t fc4Type = 0;
    std::string portSymbol{};
    const std::uint8_t* symbolNode = nullptr;
    std::string nodeSymbol{};

    XdrUnits wire() const {
        static const Name none = {};
        const auto orNone = [](const std::uint8_t* name) -> const Name& {
            return name != nullptr ? *reinterpret_cast<const Name*>(name) : none;
        };
        XdrUnits w;
        w.ints({code}).portId(portId).unsignedName(orNone(nodeName)).unsignedName(orNone(portName));
        w.zeros(32).bytes({0, fc4Type, 0});
        w.unit(static_cast<std::uint32_t>(portSymbol.size())).text(portSymbol, 256);
        w.unsignedName(orNone(symbolNode)).text(nodeSymbol, 256);
        return w;
    }
};

// NSEntry, field after field.
struct Entry {
    std::uint8_t portType = 1;
    std::uint32_t portId = 0;
    const std::uint8_t* portName = kHostPort;
    std::string portSymbol{};
    std::string nodeSymbol{};
    std::uint32_t classOfService = 0;
    std::uint32_t hardAddress = 0;

    void write(XdrUnits& w) const {
        const auto& port = *reinterpret_cast<const Name*>(portName);
        w.bytes({portType}).portId(portId).unsignedName(port);
        w.unit(static_cast<std::uint32_t>(portSymbol.size())).text(portSymbol, 255);
        w.unsignedName(kNode)
            .unit(static_cast<std::uint32_t>(nodeSymbol.size()))
            .text(nodeSymbol, 255);
        w.unsignedName(kIpa).zeros(16).unit(classOfService);
        w.zeros(2).bytes({0x01}).zeros(29); // FC-4 type 8: bit 8 of the first big-endian word
        w.zeros(16).unsignedName(kSwitchPort).unit(0).portId(hardAddress);
    }
};

json fabric() {
    return json::parse(R"({"fabrics": [ { "name": "W", "wwn": "10:00:00:60:69:bb:00:00",
      "switches": [
        { "wwn": "10:00:00:60:69:bb:00:01", "address": "@0",
          "fcs": { "domainId": 200, "logicalName": "core", "managementId": 9, "type": 1,
                   "ports": [
                     { "wwn": "20:01:00:60:69:bb:00:01", "type": 130, "physical": 5,
                       "state": [7, 3] },
                     { "wwn": "20:02:00:60:69:bb:00:01", "type": 132, "physical": 6 } ] } },
        { "wwn": "10:00:00:60:69:bb:00:02",
          "devices": [ { "portId": "020100", "text": "DISK-0" } ],
          "flPorts": [ { "portId": "020101", "loopMap": "04000000000000000000000000000000" } ] } ],
      "nameServer": [
        { "portId": "010200", "portType": 1, "portName": "21:00:00:e0:8b:00:00:01",
          "nodeName": "20:00:00:e0:8b:00:00:01", "symbolicPortName": "hba0",
          "symbolicNodeName": "host", "classOfService": 8, "fc4Types": [8],
          "switchPort": "20:01:00:60:69:bb:00:01", "hardAddress": "010200",
          "initialProcessAssociator": "0102030405060708" },
        { "portId": "0103e8", "portType": 2, "portName": "21:00:00:e0:8b:00:00:02",
          "nodeName": "20:00:00:e0:8b:00:00:01", "fc4Types": [8],
          "switchPort": "20:01:00:60:69:bb:00:01",
          "initialProcessAssociator": "0102030405060708" } ] } ]})");
}

class NameServerWire : public RequestSession {
protected:
    void SetUp() override { open(fabric()); }
    void TearDown() override {
        clearNameServerCache();
        RequestSession::TearDown();
    }

    // `procedure` with `request` as its argument; the reply's units.
    std::vector<std::uint32_t> call(std::uint32_t procedure, const XdrUnits& request) {
        return callWithUnits(sim().address(0), procedure, request.units);
    }
    std::string nameServer(const NsRequest& request) {
        return hexOf(call(RPC_NS_SVR_REQUEST, request.wire()));
    }
    // FCSQueryArgs: the code, char[8] name, an empty text, an empty list.
    std::string fcs(std::int32_t code, const Name& name) {
        XdrUnits request;
        request.ints({code}).signedName(name).zeros(2);
        return hexOf(call(RPC_MS_SVR_REQUEST, request));
    }
    // The next GA_NXT answers are `entries`, in this order.
    void playNextEntries(std::initializer_list<std::uint32_t> ids) {
        for (std::uint32_t id : ids) {
            XdrUnits reply;
            reply.reply(256);
            Entry{.portId = id}.write(reply);
            sim().injectFault(playedReply(256, reply, 1, 60));
        }
    }
};

// --- The simulator's answers, unit by unit ----------------------------------

TEST_F(NameServerWire, EntryIsWrittenInItsFieldOrder) {
    XdrUnits expected;
    expected.reply(256);
    Entry{.portId = 0x010200,
          .portSymbol = "hba0",
          .nodeSymbol = "host",
          .classOfService = 8,
          .hardAddress = 0x010200}
        .write(expected);
    EXPECT_EQ(expected.hex(), nameServer({.code = 256, .portId = 0x010100}));

    // An identifier byte above 0x7f is a u_char: zero-extended.
    XdrUnits second;
    second.reply(4097);
    Entry{.portType = 2, .portId = 0x0103e8, .portName = kDiskPort}.write(second);
    EXPECT_EQ(second.hex(), nameServer({.code = 4097, .portId = 0x0103e8}));
}

TEST_F(NameServerWire, ListsAreWrittenEntryAfterEntry) {
    // GID_NN: control byte (0x80 on the last) and the identifier.
    XdrUnits ids;
    ids.reply(305).unit(2).bytes({0}).portId(0x010200).bytes({0x80}).portId(0x0103e8);
    EXPECT_EQ(ids.hex(), nameServer({.code = 305, .nodeName = kNode}));

    // GPN_FT: control byte, identifier, the unused u_int, the port name.
    XdrUnits names;
    names.reply(370).unit(2);
    names.bytes({0}).portId(0x010200).unit(0).unsignedName(kHostPort);
    names.bytes({0x80}).portId(0x0103e8).unit(0).unsignedName(kDiskPort);
    EXPECT_EQ(names.hex(), nameServer({.code = 370, .fc4Type = 8}));

    // 768: port type, identifier, port name, node name, switch port.
    XdrUnits ports;
    ports.reply(768).unit(2);
    ports.bytes({1}).portId(0x010200).unsignedName(kHostPort).unsignedName(kNode).unsignedName(
        kSwitchPort);
    ports.bytes({2}).portId(0x0103e8).unsignedName(kDiskPort).unsignedName(kNode).unsignedName(
        kSwitchPort);
    EXPECT_EQ(ports.hex(), nameServer({.code = 768}));
}

TEST_F(NameServerWire, RegistrationsTakeTheirOwnRecords) {
    // RSNN_NN names its node in the symbolic node name record only.
    // The answers carry no arm after their code.
    EXPECT_EQ(XdrUnits().reply(569).hex(),
              nameServer({.code = 569, .symbolNode = kNode, .nodeSymbol = "renamed"}));
    SymbolicName* name = nullptr;
    ASSERT_EQ(0, snsGetSymbolicNodeName(ctx(), kNode, &name));
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(7, name->length);
    EXPECT_STREQ("renamed", name->text);
    freeApiRecord(name);

    // RSPN_ID: the port identifier and the symbolic port name with its length.
    EXPECT_EQ(XdrUnits().reply(536).hex(),
              nameServer({.code = 536, .portId = 0x0103e8, .portSymbol = "disk"}));
    ASSERT_EQ(0, NSSvrRequest(ctx(), NS_GSPN_ID, {.portId = 0x0103e8}, 0,
                              reinterpret_cast<void**>(&name)));
    ASSERT_NE(nullptr, name);
    EXPECT_STREQ("disk", name->text);
    freeApiRecord(name);
}

TEST_F(NameServerWire, ConfigurationServerArmsAreWrittenByTheirLayouts) {
    const struct {
        std::int32_t code;
        const std::uint8_t* name;
        XdrUnits arm;
    } cases[] = {
        // GDID: char[4], the domain in the second byte (a char: sign-extended).
        {274, kSwitch, XdrUnits().text(std::string("\0\xc8\0\0", 4), 4)},
        // GMID, GPT, GPPN: one u_long.
        {275, kSwitch, XdrUnits().unit(9)},
        {289, kSwitchPort, XdrUnits().unit(130)},
        {290, kSwitchPort, XdrUnits().unit(5)},
        // GPS: two u_long, the state second.
        {294, kSwitchPort, XdrUnits().ints({7, 3})},
        // GIELN: char[256], the length byte first.
        {277, kSwitch, XdrUnits().text(std::string("\x04") + "core", 256)},
        // GPL: count, then char[8] name and u_long value for each port.
        {280, kSwitch,
         XdrUnits()
             .unit(2)
             .signedName(kSwitchPort)
             .unit(130)
             .signedName(kSecondSwitchPort)
             .unit(132)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        XdrUnits expected;
        expected.reply(c.code);
        expected.units.insert(expected.units.end(), c.arm.units.begin(), c.arm.units.end());
        EXPECT_EQ(expected.hex(), fcs(c.code, *reinterpret_cast<const Name*>(c.name)));
    }
}

TEST_F(NameServerWire, DevicesAndLoopPortsAreFoundAcrossTheFabric) {
    // Port identifiers are the fabric's: the proxy answers for the ports of
    // every switch.
    XdrUnits device;
    device.reply(1545).text("DISK-0", 36);
    EXPECT_EQ(device.hex(), hexOf(call(RPC_MS_SVR_REQUEST, XdrUnits().ints({1545, 0x020100}))));

    // FLPortInfoRecord: the identifier, then two char[16], the loop map second.
    XdrUnits loop;
    loop.reply(1550).unit(0x020101).zeros(16).text("\x04", 16);
    EXPECT_EQ(loop.hex(),
              hexOf(call(RPC_MS_SVR_REQUEST, XdrUnits().ints({1550, 0x020101}).zeros(32))));

    const std::vector<std::uint32_t> unknown =
        call(RPC_MS_SVR_REQUEST, XdrUnits().ints({1545, 0x030000}));
    ASSERT_FALSE(unknown.empty());
    EXPECT_NE(0u, unknown[0]) << "no such device";
}

// --- The library fed answers written by hand ---------------------------------

TEST_F(NameServerWire, CacheWalkFollowsTheSwitchUntilTheFirstEntryComesBack) {
    // A switch may hand its entries out in an order of its own.
    playNextEntries({0x020000, 0x010000, 0x030000, 0x020000});
    fillNameServerCache(ctx());
    EXPECT_EQ(3u, nameServerCacheSize());
    EXPECT_EQ(4u, calls(60, 256));
    unsigned char port[8] = {};
    EXPECT_EQ(0, nsPortNameByPortId(0x010000, port, ctx()));
    clearNameServerCache();
    sim().clearFaults();

    // A walk that cycles without its first entry ends at the repeat.
    sim().resetCounters();
    playNextEntries({0x010000, 0x020000, 0x030000, 0x020000});
    fillNameServerCache(ctx());
    EXPECT_EQ(3u, nameServerCacheSize());
    EXPECT_EQ(4u, calls(60, 256));
}

} // namespace
