// The fabric object tree as a switch sends it: discovery entries and
// attached-port lists played as bytes written by hand from their layouts,
// and a walk of a fabric with port modules that do not start at 0, hosts and
// storage, a healthy and a segmented inter-switch link and a B_Port.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "foundation/InternalTiming.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/records.h"
#include "orvane/xmlcommand.h"
#include "tests/support/FabricSessions.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/XdrUnits.h"

namespace {

using nlohmann::json;

std::vector<std::string> relations(const char* oid, const char* set) {
    std::vector<std::string> out;
    if (StoredObject* object = findObject(oid)) {
        object->getRelations(set, out);
    }
    return out;
}

unsigned short shortAttr(const char* oid, const char* name) {
    unsigned short value = 0xFFFF;
    if (StoredObject* object = findObject(oid)) {
        object->getShortAttr(name, value);
    }
    return value;
}

std::string text(const char* oid) {
    return std::string(oid, strnlen(oid, sizeof(OID_t)));
}

std::vector<std::string> oids(const OID_t* list) {
    std::vector<std::string> out;
    for (; list != nullptr && (*list)[0] != '\0'; ++list) {
        out.push_back(text(*list));
    }
    return out;
}

// --- A discovery reply written by hand ----------------------------------------

const std::uint8_t kDiscProxy[8] = {0x10, 0, 0, 0x60, 0x69, 0x8d, 0, 0x01};
const std::uint8_t kDiscEdge[8] = {0x10, 0, 0, 0x60, 0x69, 0x8d, 0, 0x02};
const char* kDiscFabric = "000910000060698d0001";
const char* kDiscEdgeOid = "000210000060698d0002";

// Port i of the edge switch: 20:0i:00:60:69:8d:00:82.
void discPort(int i, std::uint8_t (&name)[8]) {
    const std::uint8_t bytes[8] = {0x20, static_cast<std::uint8_t>(i), 0, 0x60, 0x69, 0x8d, 0,
                                   0x82};
    std::memcpy(name, bytes, 8);
}

std::string discPortOid(int i) {
    char oid[32];
    std::snprintf(oid, sizeof(oid), "00012%03d0060698d0082", i);
    return oid;
}

std::string discModuleOid(unsigned index) {
    char oid[40];
    std::snprintf(oid, sizeof(oid), "001710000060698d0002%08x", index);
    return oid;
}

// Request 1281 answered with: the proxy (API word of the current level, no
// ports), and an edge switch whose API word (long) names the current level,
// whose first port module (u_int) is 5 and whose port count (int) is 3, with
// the ranges (0, 1) and (2, 4) over five port names. All three words differ,
// so that reading one for another shows.
XdrUnits discoveryReply() {
    XdrUnits body;
    body.reply(1281).ints({256, 2, 0, 0, 0}).unit(2);
    body.signedName(kDiscProxy).ints({0x02000000, 0, 0}).ints({0}).ints({0});
    body.signedName(kDiscEdge).ints({0x02000007, 5, 3});
    body.ints({2, 0, 1, 2, 4});
    body.unit(5);
    for (int i = 0; i < 5; ++i) {
        std::uint8_t name[8];
        discPort(i, name);
        body.unsignedName(name);
    }
    return body;
}

// A simulator of `document` with a session on `fabricOid`, opened through the
// exports, for a whole suite; stopSession ends both.
SwitchSimulator* startSession(const json& document, const char* fabricOid) {
    internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
    auto* sim = new SwitchSimulator(document);
    FabAPI_ShutdownFabricAPI();
    openFabricSessions(*sim, {0}, {fabricOid});
    return sim;
}

void stopSession(SwitchSimulator*& sim) {
    FabAPI_ShutdownFabricAPI();
    delete sim;
    sim = nullptr;
}

class HandWrittenDiscovery : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sim_ = startSession(
            json{{"fabrics",
                  {{{"name", "discovery"},
                    {"users", {{{"name", "admin"}, {"password", "password"}}}},
                    {"switches",
                     {{{"wwn", "10:00:00:60:69:8d:00:01"},
                       {"firmware", "v5.2.0"},
                       {"address", "@0"}},
                      // Its firmware text alone would make it a 2.3 switch: only
                      // the API word of its discovery entry makes it current.
                      {{"wwn", "10:00:00:60:69:8d:00:02"}, {"firmware", "v2.4.1"}}}}}}},
                 {"faults", {playedReply(1281, discoveryReply())}}},
            kDiscFabric);
    }
    static void TearDownTestSuite() { stopSession(sim_); }
    static SwitchSimulator* sim_;
};

SwitchSimulator* HandWrittenDiscovery::sim_ = nullptr;

TEST_F(HandWrittenDiscovery, TheLongIsTheApiVersionWord) {
    StoredObject* edge = findObject(kDiscEdgeOid);
    ASSERT_NE(edge, nullptr);
    std::string version;
    ASSERT_TRUE(edge->getStringAttr("SFVersion", version));
    EXPECT_EQ("2.6", version);
    EXPECT_EQ(2600, shortAttr(kDiscFabric, "fabVersion"));
}

TEST_F(HandWrittenDiscovery, ModulesCountFromTheFirstModuleAndPortsStopAtThePortCount) {
    EXPECT_EQ((std::vector<std::string>{discPortOid(0), discPortOid(1)}),
              relations(discModuleOid(5).c_str(), "setPort"));
    EXPECT_EQ(std::vector<std::string>{discPortOid(2)},
              relations(discModuleOid(6).c_str(), "setPort"))
        << "the range reaches index 4, the port count is 3";
    EXPECT_EQ(nullptr, findObject(discPortOid(3)));
    for (unsigned wrong : {0u, 1u, 3u, 4u}) {
        EXPECT_EQ(nullptr, findObject(discModuleOid(wrong))) << wrong;
    }
    EXPECT_EQ(327, shortAttr(discPortOid(0).c_str(), "PortType"));
}

// --- A fabric of real shape ----------------------------------------------------

const char* kFabric = "000910000060690e0001";
const char* kCore = "000210000060690e0001";
const char* kEdge = "000210000060690e0002";
const char* kCoreModule2 = "001710000060690e000100000002";
const char* kCoreModule3 = "001710000060690e000100000003";
const char* kEdgeModule0 = "001710000060690e000200000000";
const char* kHostPortOfCore = "000120000060690e0001";    // F_Port, a host behind it
const char* kStoragePortOfCore = "000120010060690e0001"; // FL_Port, storage behind it
const char* kLinkPortOfCore = "000120020060690e0001";    // E_Port to the edge switch
const char* kSegmentedPort = "000120030060690e0001";     // E_Port to a switch outside
const char* kBPort = "000120040060690e0001";
const char* kLinkPortOfEdge = "000120000060690e0002";
const char* kFreePortOfEdge = "000120010060690e0002";
const char* kOutsidePort = "000120000060690f0009";
const char* kHostPort = "0001210000e08b0e0001";
const char* kStoragePort = "000122000020370e0001";
const char* kHostNode = "0004200000e08b0e0001";
const char* kStorageNode = "000420000020370e0001";
const char* kHostDevice = "0005200000e08b0e0001";
const char* kStorageDevice = "000520000020370e0001";

json realShapeFabric() {
    return json::parse(R"({"fabrics": [{"name": "shape",
      "users": [{"name": "admin", "password": "password"}],
      "switches": [
        {"wwn": "10:00:00:60:69:0e:00:01", "firmware": "v5.2.0", "address": "@0",
         "info": {"a4": "v5.2.0", "m1": 2, "m4": 2},
         "firstPortModule": 2, "portModuleRanges": [[0, 2], [3, 4]], "portCount": 5,
         "ports": [
           {"wwn": "20:00:00:60:69:0e:00:01", "info": {"u1": 0, "u3": 1, "u4": 1, "u6": 2}},
           {"wwn": "20:01:00:60:69:0e:00:01", "info": {"u1": 1, "u3": 1, "u4": 1, "u6": 3}},
           {"wwn": "20:02:00:60:69:0e:00:01", "info": {"u1": 2, "u3": 1, "u4": 1, "u6": 4}},
           {"wwn": "20:03:00:60:69:0e:00:01", "info": {"u1": 3, "u3": 2, "u4": 3, "u6": 4}},
           {"wwn": "20:04:00:60:69:0e:00:01", "info": {"u1": 4, "u3": 1, "u4": 1, "u6": 7}}],
         "portModules": [{"values": [2, 1, 1, 0, 2]}, {"values": [3, 1, 1, 3, 4]}],
         "fcs": {"ports": [
           {"wwn": "20:00:00:60:69:0e:00:01", "type": 129,
            "attached": [{"wwn": "21:00:00:e0:8b:0e:00:01", "type": 1}]},
           {"wwn": "20:01:00:60:69:0e:00:01", "type": 130,
            "attached": [{"wwn": "22:00:00:20:37:0e:00:01", "type": 2, "flags": 132}]},
           {"wwn": "20:02:00:60:69:0e:00:01", "type": 132,
            "attached": [{"wwn": "20:00:00:60:69:0e:00:02", "type": 132}]},
           {"wwn": "20:03:00:60:69:0e:00:01", "type": 132,
            "attached": [{"wwn": "20:00:00:60:69:0f:00:09", "type": 132}]},
           {"wwn": "20:04:00:60:69:0e:00:01", "type": 133}]},
         "devices": [{"portId": "010100", "bytes": [0, 0, 0, 0, 3, 72, 79, 83]},
                     {"portId": "0102e8", "bytes": [0, 0, 0, 0, 3, 83, 84, 79]}]},
        {"wwn": "10:00:00:60:69:0e:00:02", "firmware": "v5.2.0",
         "info": {"a4": "v5.2.0", "m1": 1, "m4": 0},
         "ports": [
           {"wwn": "20:00:00:60:69:0e:00:02", "info": {"u1": 0, "u3": 1, "u4": 1, "u6": 4}},
           {"wwn": "20:01:00:60:69:0e:00:02", "info": {"u1": 1, "u3": 1, "u4": 1, "u6": 2}}],
         "portModules": [{"values": [0, 1, 1, 0, 1]}],
         "fcs": {"ports": [
           {"wwn": "20:00:00:60:69:0e:00:02", "type": 132,
            "attached": [{"wwn": "20:02:00:60:69:0e:00:01", "type": 132}]},
           {"wwn": "20:01:00:60:69:0e:00:02", "type": 129}]}}],
      "nameServer": [
        {"portId": "010100", "portType": 1, "portName": "21:00:00:e0:8b:0e:00:01",
         "nodeName": "20:00:00:e0:8b:0e:00:01", "switchPort": "20:00:00:60:69:0e:00:01",
         "symbolicNodeName": "host-1"},
        {"portId": "0102e8", "portType": 2, "portName": "22:00:00:20:37:0e:00:01",
         "nodeName": "20:00:00:20:37:0e:00:01", "switchPort": "20:01:00:60:69:0e:00:01",
         "symbolicNodeName": "storage-1"}]}]})");
}

class RealShapeFabric : public ::testing::Test {
protected:
    static void SetUpTestSuite() { sim_ = startSession(realShapeFabric(), kFabric); }
    static void TearDownTestSuite() { stopSession(sim_); }
    static SwitchSimulator* sim_;
};

SwitchSimulator* RealShapeFabric::sim_ = nullptr;

TEST_F(RealShapeFabric, AllObjectsListsEachObjectOnceWithoutErrors) {
    void** records = nullptr;
    ASSERT_EQ(0, GetAllObjects(&records));
    std::vector<std::string> got;
    for (int i = 0; records[i] != nullptr; ++i) {
        const auto* record = static_cast<const ErrorRecord*>(records[i]);
        EXPECT_NE(ORVANE_ERROR_RECORD_TYPE, record->ObjType)
            << text(record->RequestedOID) << " failed with " << record->Status;
        got.push_back(text(record->OID));
        falFreeObject(records[i]);
    }
    falFreeObject(records);
    for (const char* oid :
         {kFabric, kCore, kEdge, kCoreModule2, kCoreModule3, kEdgeModule0, kHostPortOfCore,
          kStoragePortOfCore, kLinkPortOfCore, kSegmentedPort, kLinkPortOfEdge, kFreePortOfEdge,
          kHostPort, kStoragePort, kHostNode, kStorageNode, kHostDevice, kStorageDevice}) {
        EXPECT_EQ(1, std::count(got.begin(), got.end(), oid)) << oid;
    }
    EXPECT_EQ(0, std::count(got.begin(), got.end(), kBPort)) << "a B_Port hands out no record";
    EXPECT_EQ(0, std::count(got.begin(), got.end(), kOutsidePort));

    EXPECT_EQ(ORVANE_PORT_N, shortAttr(kHostPort, "PortType"));
    EXPECT_EQ(ORVANE_PORT_NL, shortAttr(kStoragePort, "PortType"));
    EXPECT_EQ(ORVANE_PORT_E, shortAttr(kLinkPortOfEdge, "PortType"));
    EXPECT_EQ(ORVANE_PORT_E, shortAttr(kOutsidePort, "PortType"));
    EXPECT_EQ(326, shortAttr(kBPort, "PortType"));
    EXPECT_EQ(0, shortAttr(kLinkPortOfCore, "Segmented"));
    EXPECT_EQ(1, shortAttr(kSegmentedPort, "Segmented"));
}

TEST_F(RealShapeFabric, ModulesAndTheSegmentedLinkAsRead) {
    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(kCoreModule3, &record));
    auto* module = static_cast<PortModuleRecord*>(record);
    EXPECT_EQ(3, module->ModuleSlotNumber);
    EXPECT_EQ(3, module->StartSwitchPortIndex);
    EXPECT_EQ((std::vector<std::string>{kSegmentedPort, kBPort}), oids(module->PortOIDs));
    falFreeObject(module);

    ASSERT_EQ(0, GetSingleObject(kSegmentedPort, &record));
    auto* port = static_cast<PortRecord*>(record);
    EXPECT_EQ(8, port->PortStatus) << "segmented, state 2 and status 3";
    EXPECT_EQ(std::vector<std::string>{kOutsidePort}, oids(port->AttachedPortOIDs));
    falFreeObject(port);

    record = reinterpret_cast<void*>(1);
    EXPECT_EQ(0, GetSingleObject(kBPort, &record));
    EXPECT_EQ(nullptr, record);

    // A list naming the B_Port among others: no record and no failure for it.
    std::vector<char> list(3 * sizeof(OID_t), '\0');
    std::memcpy(list.data(), kBPort, std::strlen(kBPort));
    std::memcpy(list.data() + sizeof(OID_t), kLinkPortOfCore, std::strlen(kLinkPortOfCore));
    void** records = nullptr;
    ASSERT_EQ(0, GetObjects(list.data(), &records));
    ASSERT_NE(records[0], nullptr);
    EXPECT_EQ(kLinkPortOfCore, text(static_cast<const PortRecord*>(records[0])->OID));
    EXPECT_EQ(nullptr, records[1]);
    falFreeObject(records[0]);
    falFreeObject(records);
}

// A walk reads the defined and active zoning databases and the topology
// pages once, however many zones and links it reads: each takes what it
// needs from what the walk has read.
TEST(ShapedFabricWalk, ReadsTheActiveDatabaseAndTheTopologyOncePerWalk) {
    internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
    SwitchSimulator sim(json::parse(R"({"fabrics": [{"name": "walk",
      "users": [{"name": "admin", "password": "password"}],
      "switches": [
        {"wwn": "10:00:00:60:69:4e:00:01", "firmware": "v5.2.0", "address": "@0"},
        {"wwn": "10:00:00:60:69:4e:00:02", "firmware": "v5.2.0"},
        {"wwn": "10:00:00:60:69:4e:00:03", "firmware": "v5.2.0"}],
      "shape": {"portsPerSwitch": 8, "devicesPerSwitch": 4, "cores": 1}}]})"));
    FabAPI_ShutdownFabricAPI();
    ASSERT_NO_FATAL_FAILURE(openFabricSessions(sim, {0}, {"000910000060694e0001"}));
    for (int walk = 0; walk < 2; ++walk) {
        sim.resetCounters();
        void** records = nullptr;
        ASSERT_EQ(0, GetAllObjects(&records));
        int zones = 0;
        for (int i = 0; records[i] != nullptr; ++i) {
            zones += *static_cast<const unsigned short*>(records[i]) == 10 ? 1 : 0;
            falFreeObject(records[i]);
        }
        falFreeObject(records);
        EXPECT_EQ(12, zones) << "six zones, each in the defined and the active database";
        EXPECT_EQ(1u, sim.callCount(sim.address(0), 27)) << "walk " << walk;
        EXPECT_EQ(6u, sim.callCount(sim.address(0), 29)) << "one type query a zone";
        // Pages 2 and 3 (switches and links) for the fabric and its two links.
        EXPECT_EQ(1u, sim.callCount(sim.address(0), 80, 2)) << "walk " << walk;
        EXPECT_EQ(1u, sim.callCount(sim.address(0), 80, 3)) << "walk " << walk;
        // The defined database is listed once (five kinds of object and the
        // active zone set's name), not again for every zone that reloads it.
        EXPECT_EQ(6u, sim.callCount(sim.address(0), 15)) << "walk " << walk;
    }
    FabAPI_ShutdownFabricAPI();
}

// The same fabric through the XML commands: the B_Port is no fault.
class RealShapeFabricXml : public ::testing::Test {
protected:
    static std::string request(const std::string& command, const std::string& body = "") {
        return "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n<MsgType>" + command +
               "</MsgType>\n" + body + "</YarlRequest>\n";
    }
    static void SetUpTestSuite() {
        internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
        ASSERT_TRUE(initializeCommand());
        sim_ = new SwitchSimulator(realShapeFabric());
        openXmlFabricSessions({sim_->address(0)}, {kFabric});
    }
    static void TearDownTestSuite() {
        CloseFabricSessions();
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    static SwitchSimulator* sim_;
};

SwitchSimulator* RealShapeFabricXml::sim_ = nullptr;

TEST_F(RealShapeFabricXml, TheBPortIsNoFault) {
    std::string reply;
    EXPECT_TRUE(processCommand(request("GetAllObjects"), reply)) << reply;
    EXPECT_EQ(std::string::npos, reply.find("<Fault>")) << reply;
    EXPECT_EQ(std::string::npos, reply.find("<Error ")) << reply;
    EXPECT_NE(std::string::npos, reply.find(std::string("OID=\"") + kSegmentedPort)) << reply;

    // Its module read, the B_Port is known as one: a list naming it answers
    // the other port alone.
    reply.clear();
    EXPECT_TRUE(processCommand(request("GetObjects", std::string("<ObjectReference>") + kBPort +
                                                         "</ObjectReference><ObjectReference>" +
                                                         kLinkPortOfCore + "</ObjectReference>"),
                               reply))
        << reply;
    EXPECT_EQ(std::string::npos, reply.find("<Fault>")) << reply;
    EXPECT_NE(std::string::npos, reply.find(std::string("OID=\"") + kLinkPortOfCore)) << reply;
    EXPECT_EQ(std::string::npos, reply.find(std::string("OID=\"") + kBPort)) << reply;
}

// An attached-port list written by hand: the FC-GS port type is the low byte
// of each value, bits 8 to 15 another byte. Runs last: it relinks a port.
TEST_F(RealShapeFabric, ZZAttachedPortTypesAreTheLowByte) {
    const std::uint8_t device[8] = {0x21, 0, 0, 0xe0, 0x8b, 0x0e, 0, 0x99};
    const std::uint8_t far[8] = {0x20, 0, 0, 0x60, 0x69, 0x0f, 0, 0x88};
    const std::uint8_t none[8] = {};
    XdrUnits body;
    body.reply(292).unit(3);
    body.signedName(device).unit(0x8101); // an N_Port; 0x81 above it
    body.signedName(far).unit(0x0084);    // an E_Port that answers no port type query
    body.signedName(none).unit(0x0002);   // skipped, still counted
    sim_->injectFault(playedReply(292, body, 1));

    void* record = nullptr;
    ASSERT_EQ(0, GetSingleObject(kFreePortOfEdge, &record));
    auto* port = static_cast<PortRecord*>(record);
    const char* deviceOid = "0001210000e08b0e0099";
    const char* farOid = "000120000060690f0088";
    EXPECT_EQ((std::vector<std::string>{farOid, deviceOid}), oids(port->AttachedPortOIDs))
        << "in the set's order";
    falFreeObject(port);
    EXPECT_EQ(ORVANE_PORT_N, shortAttr(deviceOid, "PortType"));
    EXPECT_EQ(ORVANE_PORT_E, shortAttr(farOid, "PortType"));
    EXPECT_EQ(1, shortAttr(kFreePortOfEdge, "Segmented"));
}

} // namespace
