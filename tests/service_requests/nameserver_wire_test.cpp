// Name-server and fabric configuration server records as they stand on the
// wire: the simulator is called with requests written by hand as XDR units
// and its answers are compared unit by unit, and the library is fed
// name-server answers written by hand.
#include <rpc/rpc.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "connection/clilib_nameserver.h"
#include "objects/NameServerCache.h"
#include "remote_api.h"
#include "tests/service_requests/RequestSession.h"

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

struct Wire {
    std::vector<std::uint32_t> units;

    Wire& unit(std::uint32_t value) {
        units.push_back(value);
        return *this;
    }
    Wire& ints(std::initializer_list<std::int32_t> values) {
        for (std::int32_t value : values) {
            unit(static_cast<std::uint32_t>(value));
        }
        return *this;
    }
    Wire& zeros(std::size_t count) {
        units.insert(units.end(), count, 0);
        return *this;
    }
    // u_char[n]: one zero-extended unit per byte.
    Wire& bytes(std::initializer_list<std::uint8_t> values) {
        for (std::uint8_t byte : values) {
            unit(byte);
        }
        return *this;
    }
    Wire& name(const Name& value) {
        for (std::uint8_t byte : value) {
            unit(byte);
        }
        return *this;
    }
    // char[n]: one sign-extended unit per byte, the rest of the field zero.
    Wire& text(const std::string& value, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            const auto byte = static_cast<std::int8_t>(i < value.size() ? value[i] : 0);
            unit(static_cast<std::uint32_t>(static_cast<std::int32_t>(byte)));
        }
        return *this;
    }
    Wire& signedName(const Name& value) {
        return text(std::string(reinterpret_cast<const char*>(value), 8), 8);
    }
    // Three identifier bytes, domain first.
    Wire& portId(std::uint32_t id) {
        return bytes({std::uint8_t(id >> 16), std::uint8_t(id >> 8), std::uint8_t(id)});
    }
    // A reply envelope: status 0, an empty message, the unused word, the
    // arm's code.
    Wire& reply(std::int32_t code) { return ints({0, 0, 0, code}); }

    std::string hex() const {
        std::string out;
        char digits[10];
        for (std::uint32_t value : units) {
            std::snprintf(digits, sizeof digits, "%08x ", value);
            out += digits;
        }
        return out;
    }
};

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

    Wire wire() const {
        static const Name none = {};
        const auto orNone = [](const std::uint8_t* name) -> const Name& {
            return name != nullptr ? *reinterpret_cast<const Name*>(name) : none;
        };
        Wire w;
        w.ints({code}).portId(portId).name(orNone(nodeName)).name(orNone(portName));
        w.zeros(32).bytes({0, fc4Type, 0});
        w.unit(static_cast<std::uint32_t>(portSymbol.size())).text(portSymbol, 256);
        w.name(orNone(symbolNode)).text(nodeSymbol, 256);
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

    void write(Wire& w) const {
        const auto& port = *reinterpret_cast<const Name*>(portName);
        w.bytes({portType}).portId(portId).name(port);
        w.unit(static_cast<std::uint32_t>(portSymbol.size())).text(portSymbol, 255);
        w.name(kNode).unit(static_cast<std::uint32_t>(nodeSymbol.size())).text(nodeSymbol, 255);
        w.name(kIpa).zeros(16).unit(classOfService);
        w.zeros(2).bytes({0x01}).zeros(29); // FC-4 type 8: bit 8 of the first big-endian word
        w.zeros(16).name(kSwitchPort).unit(0).portId(hardAddress);
    }
};

bool_t putUnits(XDR* xdrs, void* wire) {
    for (std::uint32_t value : static_cast<Wire*>(wire)->units) {
        if (!xdr_u_int(xdrs, &value)) {
            return FALSE;
        }
    }
    return TRUE;
}

bool_t takeUnits(XDR* xdrs, void* out) {
    u_int value = 0;
    while (xdr_u_int(xdrs, &value)) {
        static_cast<std::vector<std::uint32_t>*>(out)->push_back(value);
    }
    return TRUE;
}

struct ClientDeleter {
    void operator()(CLIENT* client) const { clnt_destroy(client); }
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
    std::vector<std::uint32_t> call(std::uint32_t procedure, Wire request) {
        const std::string address = sim().address(0);
        std::unique_ptr<CLIENT, ClientDeleter> client(
            clnt_create(address.c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp"));
        EXPECT_TRUE(client) << clnt_spcreateerror(address.c_str());
        std::vector<std::uint32_t> units;
        if (!client) {
            return units;
        }
        const timeval timeout{5, 0};
        EXPECT_EQ(RPC_SUCCESS,
                  clnt_call(client.get(), procedure, reinterpret_cast<xdrproc_t>(putUnits),
                            reinterpret_cast<char*>(&request),
                            reinterpret_cast<xdrproc_t>(takeUnits), reinterpret_cast<char*>(&units),
                            timeout));
        return units;
    }
    std::string nameServer(const NsRequest& request) {
        return Wire{call(RPC_NS_SVR_REQUEST, request.wire())}.hex();
    }
    // FCSQueryArgs: the code, char[8] name, an empty text, an empty list.
    std::string fcs(std::int32_t code, const Name& name) {
        Wire request;
        request.ints({code}).signedName(name).zeros(2);
        return Wire{call(RPC_MS_SVR_REQUEST, request)}.hex();
    }
    // The next GA_NXT answers are `entries`, in this order.
    void playNextEntries(std::initializer_list<std::uint32_t> ids) {
        for (std::uint32_t id : ids) {
            Wire reply;
            reply.reply(256);
            Entry{.portId = id}.write(reply);
            sim().injectFault({{"procedure", 60},
                               {"code", 256},
                               {"kind", "bytes"},
                               {"replyHex", reply.hex()},
                               {"count", 1}});
        }
    }
};

// --- The simulator's answers, unit by unit ----------------------------------

TEST_F(NameServerWire, EntryIsWrittenInItsFieldOrder) {
    Wire expected;
    expected.reply(256);
    Entry{.portId = 0x010200,
          .portSymbol = "hba0",
          .nodeSymbol = "host",
          .classOfService = 8,
          .hardAddress = 0x010200}
        .write(expected);
    EXPECT_EQ(expected.hex(), nameServer({.code = 256, .portId = 0x010100}));

    // An identifier byte above 0x7f is a u_char: zero-extended.
    Wire second;
    second.reply(4097);
    Entry{.portType = 2, .portId = 0x0103e8, .portName = kDiskPort}.write(second);
    EXPECT_EQ(second.hex(), nameServer({.code = 4097, .portId = 0x0103e8}));
}

TEST_F(NameServerWire, ListsAreWrittenEntryAfterEntry) {
    // GID_NN: control byte (0x80 on the last) and the identifier.
    Wire ids;
    ids.reply(305).unit(2).bytes({0}).portId(0x010200).bytes({0x80}).portId(0x0103e8);
    EXPECT_EQ(ids.hex(), nameServer({.code = 305, .nodeName = kNode}));

    // GPN_FT: control byte, identifier, the unused u_int, the port name.
    Wire names;
    names.reply(370).unit(2);
    names.bytes({0}).portId(0x010200).unit(0).name(kHostPort);
    names.bytes({0x80}).portId(0x0103e8).unit(0).name(kDiskPort);
    EXPECT_EQ(names.hex(), nameServer({.code = 370, .fc4Type = 8}));

    // 768: port type, identifier, port name, node name, switch port.
    Wire ports;
    ports.reply(768).unit(2);
    ports.bytes({1}).portId(0x010200).name(kHostPort).name(kNode).name(kSwitchPort);
    ports.bytes({2}).portId(0x0103e8).name(kDiskPort).name(kNode).name(kSwitchPort);
    EXPECT_EQ(ports.hex(), nameServer({.code = 768}));
}

TEST_F(NameServerWire, RegistrationsTakeTheirOwnRecords) {
    // RSNN_NN names its node in the symbolic node name record only.
    // The answers carry no arm after their code.
    EXPECT_EQ(Wire().reply(569).hex(),
              nameServer({.code = 569, .symbolNode = kNode, .nodeSymbol = "renamed"}));
    SymbolicName* name = nullptr;
    ASSERT_EQ(0, snsGetSymbolicNodeName(ctx(), kNode, &name));
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(7, name->length);
    EXPECT_STREQ("renamed", name->text);
    freeApiRecord(name);

    // RSPN_ID: the port identifier and the symbolic port name with its length.
    EXPECT_EQ(Wire().reply(536).hex(),
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
        Wire arm;
    } cases[] = {
        // GDID: char[4], the domain in the second byte (a char: sign-extended).
        {274, kSwitch, Wire().text(std::string("\0\xc8\0\0", 4), 4)},
        // GMID, GPT, GPPN: one u_long.
        {275, kSwitch, Wire().unit(9)},
        {289, kSwitchPort, Wire().unit(130)},
        {290, kSwitchPort, Wire().unit(5)},
        // GPS: two u_long, the state second.
        {294, kSwitchPort, Wire().ints({7, 3})},
        // GIELN: char[256], the length byte first.
        {277, kSwitch, Wire().text(std::string("\x04") + "core", 256)},
        // GPL: count, then char[8] name and u_long value for each port.
        {280, kSwitch,
         Wire().unit(2).signedName(kSwitchPort).unit(130).signedName(kSecondSwitchPort).unit(132)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        Wire expected;
        expected.reply(c.code);
        expected.units.insert(expected.units.end(), c.arm.units.begin(), c.arm.units.end());
        EXPECT_EQ(expected.hex(), fcs(c.code, *reinterpret_cast<const Name*>(c.name)));
    }
}

TEST_F(NameServerWire, DevicesAndLoopPortsAreFoundAcrossTheFabric) {
    // Port identifiers are the fabric's: the proxy answers for the ports of
    // every switch.
    Wire device;
    device.reply(1545).text("DISK-0", 36);
    EXPECT_EQ(device.hex(), Wire{call(RPC_MS_SVR_REQUEST, Wire().ints({1545, 0x020100}))}.hex());

    // FLPortInfoRecord: the identifier, then two char[16], the loop map second.
    Wire loop;
    loop.reply(1550).unit(0x020101).zeros(16).text("\x04", 16);
    EXPECT_EQ(loop.hex(),
              Wire{call(RPC_MS_SVR_REQUEST, Wire().ints({1550, 0x020101}).zeros(32))}.hex());

    const std::vector<std::uint32_t> unknown =
        call(RPC_MS_SVR_REQUEST, Wire().ints({1545, 0x030000}));
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
