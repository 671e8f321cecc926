// Ports, port modules, nodes, devices and port counters of a fabric of the
// newest generation, read through the query exports from the simulator.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "foundation/InternalTiming.h"
#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/records.h"
#include "tests/support/SwitchSimulator.h"
#include "tests/support/XdrUnits.h"

namespace {

const char* kFabricOid = "000910000060690a0001";
const char* kP0 = "000120000060690a0001";
const char* kP1 = "000120010060690a0001";
const char* kP2 = "000120020060690a0001";
const char* kD1 = "0001210000e08b0a0001";
const char* kD2 = "0001210000e08b0a0002";
const char* kN1 = "0004200000e08b0a0001";
const char* kDev1 = "0005200000e08b0a0001";
const char* kStats0 = "001220000060690a0001";
const char* kErrors0 = "001320000060690a0001";
const char* kModule0 = "001710000060690a000100000000";
const char* kModule1 = "001710000060690a000100000001";

nlohmann::json document() {
    nlohmann::json doc = nlohmann::json::parse(R"({"fabrics": [{"name": "ports",
      "unmarkedPortIdLists": true,
      "users": [{"name": "admin", "password": "password"}],
      "switches": [
        {"wwn": "10:00:00:60:69:0a:00:01", "firmware": "v5.2.0", "address": "@0",
         "info": {"a4": "v5.2.0", "m1": 2, "m4": 0},
         "portModuleRanges": [[0, 1], [2, 3]],
         "ports": [
           {"wwn": "20:00:00:60:69:0a:00:01",
            "info": {"u1": 0, "u3": 1, "u4": 1, "u5": 4, "u6": 2, "u7": 2, "u8": 5, "u9": 500,
                     "u10": 3, "text1": "GBIC-SERIAL-001", "text2": "Maker", "v1": 8,
                     "v2": 65792, "v3": 65535, "v4": 1},
            "statsValue": 30,
            "stats": [4294967303, 2, 3, 4, 1073741824, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                      17, 18, 19, 20, 21, 22, 23, 24],
            "errors": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                       22]},
           {"wwn": "20:01:00:60:69:0a:00:01", "info": {"u1": 1, "u3": 1, "u6": 3}},
           {"wwn": "20:02:00:60:69:0a:00:01", "info": {"u1": 2, "u3": 2, "u4": 3, "u6": 4}},
           {"wwn": "20:03:00:60:69:0a:00:01", "info": {"u1": 3, "u6": 1}}],
         "portModules": [
           {"values": [0, 0, 0, 0, 1], "texts": ["PN-0", "SN-0", "x", "OEM-0", "R1", "y", "2026-01-02"],
            "ports": [31, -2]},
           {"values": [1, 5, 6, 2, 3], "texts": [], "ports": []}],
         "fcs": {"ports": [
           {"wwn": "20:00:00:60:69:0a:00:01", "type": 129,
            "attached": [{"wwn": "21:00:00:e0:8b:0a:00:01", "type": 1}]},
           {"wwn": "20:01:00:60:69:0a:00:01", "type": 130,
            "attached": [{"wwn": "21:00:00:e0:8b:0a:00:02", "type": 2},
                         {"wwn": "00:00:00:00:00:00:00:00", "type": 2}]},
           {"wwn": "20:02:00:60:69:0a:00:01", "type": 132,
            "attached": [{"wwn": "20:00:00:60:69:0a:00:02", "type": 132}]},
           {"wwn": "20:03:00:60:69:0a:00:01", "type": 0}]},
         "flPorts": [{"portId": "010201", "loopMap": "04000000000000000000000000000000"}],
         "devices": [{"portId": "010100", "bytes": [8, 0, 0, 0, 3, 65, 66, 67]}]},
        {"wwn": "10:00:00:60:69:0a:00:02", "firmware": "v5.2.0", "info": {"a4": "v5.2.0"},
         "ports": [{"wwn": "20:00:00:60:69:0a:00:02"}]}],
      "nameServer": [
        {"portId": "010100", "portType": 1, "portName": "21:00:00:e0:8b:0a:00:01",
         "nodeName": "20:00:00:e0:8b:0a:00:01", "switchPort": "20:00:00:60:69:0a:00:01",
         "symbolicPortName": "hba-port", "symbolicNodeName": "host-a", "classOfService": 8,
         "fc4Types": [8]},
        {"portId": "010201", "portType": 2, "portName": "21:00:00:e0:8b:0a:00:02",
         "nodeName": "20:00:00:e0:8b:0a:00:02", "switchPort": "20:01:00:60:69:0a:00:01"},
        {"portId": "010300", "portType": 1, "portName": "21:00:00:e0:8b:0a:00:03",
         "nodeName": "20:00:00:e0:8b:0a:00:01", "switchPort": "20:03:00:60:69:0a:00:01"}]}]})");
    return doc;
}

const std::string kP0Name("\x20\x00\x00\x60\x69\x0a\x00\x01", 8);
const std::string kSwitchName("\x10\x00\x00\x60\x69\x0a\x00\x01", 8);

std::string text(const char* oid) {
    return std::string(oid, strnlen(oid, 48));
}

std::vector<std::string> oids(const OID_t* list) {
    std::vector<std::string> out;
    for (; list != nullptr && (*list)[0] != '\0'; ++list) {
        out.push_back(text(*list));
    }
    return out;
}

class PortQueries : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        internalTiming().switchBusyRetryPause = std::chrono::milliseconds(10);
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
        std::strncpy(identity.structFabSig.structFabricOID, kFabricOid, 47);
        FabAPI_ClientSessionID* session = nullptr;
        const int opened = FabAPI_EstablishSession(&identity, &session);
        ASSERT_TRUE(opened == 0 || opened == 500) << opened;
        falFreeObject(session);
    }
    static void TearDownTestSuite() {
        FabAPI_ShutdownFabricAPI();
        delete sim_;
        sim_ = nullptr;
    }
    template <class Record> static Record* read(const char* oid, int expected = 0) {
        void* record = nullptr;
        EXPECT_EQ(expected, GetSingleObject(oid, &record)) << oid;
        return static_cast<Record*>(record);
    }
    static SwitchSimulator* sim_;
};

SwitchSimulator* PortQueries::sim_ = nullptr;

TEST_F(PortQueries, SwitchPortFromPortInformation) {
    auto* port = read<PortRecord>(kP0);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(1, port->ObjType);
    EXPECT_EQ(kP0, text(port->OID));
    EXPECT_EQ(kModule0, text(port->OwnerOID));
    EXPECT_EQ(1, port->PortState);
    EXPECT_EQ(4, port->PortPhysicalState);
    EXPECT_EQ(0x010100u, port->PortId);
    EXPECT_EQ(ORVANE_PORT_F, port->PortType);
    EXPECT_EQ(5, port->PortLinkDistance) << "the second port reply passes it unchanged";
    EXPECT_EQ(500, port->TxLinkRouteCost);
    EXPECT_EQ(306, port->GBICType);
    ASSERT_NE(port->GBICSerialNumber, nullptr);
    EXPECT_STREQ("GBIC-SERIAL-001", port->GBICSerialNumber);
    ASSERT_NE(port->GBICMfg, nullptr);
    EXPECT_STREQ("Maker", port->GBICMfg);
    EXPECT_EQ(8, port->ClassOfService);
    EXPECT_EQ(kStats0, text(port->PortStatsOID));
    EXPECT_EQ(kErrors0, text(port->PortErrorsOID));
    EXPECT_EQ(std::vector<std::string>{kD1}, oids(port->AttachedPortOIDs));
    EXPECT_EQ(3u, port->VersionMark);
    EXPECT_EQ(1, port->TrunkDisable);
    EXPECT_EQ(1, port->BraidexPortEnabled);
    EXPECT_EQ(343, port->PortDeviceType);
    EXPECT_EQ(0, falFreeObject(port));

    // An all-zero attached name is skipped; an E_Port whose neighbour does
    // not answer marks the port segmented.
    port = read<PortRecord>(kP1);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(std::vector<std::string>{kD2}, oids(port->AttachedPortOIDs));
    EXPECT_EQ(nullptr, port->GBICSerialNumber);
    falFreeObject(port);
    port = read<PortRecord>(kP2);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(ORVANE_PORT_E, port->PortType);
    EXPECT_EQ(8, port->PortStatus) << "segmented, state 2 and status 3";
    falFreeObject(port);
}

TEST_F(PortQueries, DevicePortsNodesAndDevices) {
    auto* port = read<PortRecord>(kD1);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(ORVANE_PORT_N, port->PortType);
    EXPECT_EQ(0x010100u, port->PortId);
    EXPECT_EQ(kN1, text(port->OwnerOID));
    EXPECT_EQ("hba-port", std::string(port->PortSymbolicName, port->PortSymbolicNameLength));
    EXPECT_EQ(8, port->ClassOfService);
    EXPECT_EQ(std::vector<std::string>{kP0}, oids(port->AttachedPortOIDs));
    EXPECT_EQ(343, port->PortDeviceType);
    falFreeObject(port);

    port = read<PortRecord>(kD2);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(ORVANE_PORT_NL, port->PortType);
    EXPECT_EQ(344, port->PortDeviceType) << "its loop position is marked";
    falFreeObject(port);

    // The port identifier list marks no last entry: the walk stops at the
    // reply's count (the sanitizer would catch a read past it).
    auto* node = read<NodeRecord>(kN1);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(4, node->ObjType);
    EXPECT_EQ(kDev1, text(node->OwnerOID));
    EXPECT_EQ(1u, node->Attached);
    EXPECT_EQ("host-a", std::string(node->SymbolicName.Text, node->SymbolicName.Length));
    EXPECT_EQ((std::vector<std::string>{kD1, "0001210000e08b0a0003"}), oids(node->PortOIDs));
    falFreeObject(node);

    auto* device = read<DeviceRecord>(kDev1);
    ASSERT_NE(device, nullptr);
    EXPECT_EQ(5, device->ObjType);
    EXPECT_EQ(1585, device->DeviceType);
    EXPECT_EQ(255, device->SCSIInquiryLength);
    // The reply holds its first n + 4 bytes, n being its fifth byte (3).
    EXPECT_EQ(std::string("AB"), std::string(device->SCSIInquiryString + 5, 2));
    EXPECT_EQ(0, device->SCSIInquiryString[7]);
    EXPECT_STREQ(kN1, device->NodeOID);
    falFreeObject(device);
}

TEST_F(PortQueries, ModulesWithTheirRanges) {
    auto* module = read<PortModuleRecord>(kModule0);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(23, module->ObjType);
    EXPECT_EQ("000210000060690a0001", text(module->OwnerOID));
    EXPECT_EQ(0, module->ModuleSlotNumber);
    EXPECT_EQ(2, module->ModulePortCount);
    EXPECT_EQ(3665, module->PortModuleState);
    EXPECT_EQ(3681, module->PortModuleStatus);
    EXPECT_EQ(3u, module->VersionMark);
    EXPECT_EQ((std::vector<std::string>{kP0, kP1}), oids(module->PortOIDs));
    EXPECT_EQ("OEM-0", std::string(module->PortModuleOEMSN.Text, module->PortModuleOEMSN.Length));
    EXPECT_EQ("SN-0", std::string(module->PortModuleSN.Text, module->PortModuleSN.Length));
    EXPECT_EQ("PN-0",
              std::string(module->PortModulePartNumber.Text, module->PortModulePartNumber.Length));
    EXPECT_EQ("R1",
              std::string(module->PortModuleRevision.Text, module->PortModuleRevision.Length));
    ASSERT_EQ(2, module->PortModuleNumTempSensors);
    EXPECT_EQ(31, module->TempSensorValues[0]);
    EXPECT_EQ(-2, module->TempSensorValues[1]);
    falFreeObject(module);

    module = read<PortModuleRecord>(kModule1);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(2, module->StartSwitchPortIndex);
    EXPECT_EQ(5, module->PortModuleState);
    EXPECT_EQ(6, module->PortModuleStatus);
    EXPECT_EQ(nullptr, module->TempSensorValues);
    falFreeObject(module);
}

TEST_F(PortQueries, CountersReadResetAndReadAgain) {
    auto* stats = read<PortStatsObjectRecord>(kStats0);
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(18, stats->ObjType);
    EXPECT_EQ(30, stats->RateSamplePeriod);
    EXPECT_EQ(1u, stats->RateTxFrame.High);
    EXPECT_EQ(7u, stats->RateTxFrame.Low);
    EXPECT_EQ(1u, stats->RateTxByte.High) << "2^30 words are 2^32 bytes";
    EXPECT_EQ(0u, stats->RateTxByte.Low);
    EXPECT_EQ(24u, stats->RateRxByte.Low);
    EXPECT_EQ(11u, stats->CntTxFrame.Low);
    EXPECT_EQ(24u, stats->CntTxMcastFrames.Low);
    falFreeObject(stats);

    auto* errors = read<PortErrorsObjectRecord>(kErrors0);
    ASSERT_NE(errors, nullptr);
    EXPECT_EQ(19, errors->ObjType);
    EXPECT_EQ(2u, errors->CntTxLinkResets.Low);
    EXPECT_EQ(1u, errors->CntRxLinkResets.Low);
    EXPECT_EQ(4u, errors->CntTxOfflineSequences.Low);
    EXPECT_EQ(3u, errors->CntRxOfflineSequences.Low);
    EXPECT_EQ(17u, errors->CntTooManyRdys.Low);
    EXPECT_EQ(20u, errors->CntRxEncOutFrames.Low);
    EXPECT_EQ(22u, errors->CntRxLCs.Low);
    falFreeObject(errors);

    void* handle = nullptr;
    ASSERT_TRUE(findObject(kFabricOid)->getHandleAttr("HDL", handle));
    const unsigned char wwn[8] = {0x20, 0x00, 0x00, 0x60, 0x69, 0x0a, 0x00, 0x01};
    ASSERT_EQ(0, portSetPstats(static_cast<SessionContext*>(handle), 1, wwn));
    ASSERT_EQ(0, portSetPerrs(static_cast<SessionContext*>(handle), 1, wwn));
    stats = read<PortStatsObjectRecord>(kStats0);
    ASSERT_NE(stats, nullptr);
    EXPECT_EQ(0u, stats->RateTxFrame.High);
    EXPECT_EQ(0u, stats->CntTxFrame.Low);
    falFreeObject(stats);
    errors = read<PortErrorsObjectRecord>(kErrors0);
    ASSERT_NE(errors, nullptr);
    EXPECT_EQ(0u, errors->CntRxLinkResets.Low);
    falFreeObject(errors);
}

TEST_F(PortQueries, AllObjectsDescendToDevices) {
    void** records = nullptr;
    ASSERT_EQ(0, GetAllObjects(&records));
    std::vector<std::string> got;
    for (int i = 0; records[i] != nullptr; ++i) {
        got.push_back(text(static_cast<const ErrorRecord*>(records[i])->OID));
        falFreeObject(records[i]);
    }
    falFreeObject(records);
    const auto has = [&](const char* oid) {
        return std::find(got.begin(), got.end(), oid) != got.end();
    };
    for (const char* oid : {kFabricOid, kModule0, kModule1, kP0, kP1, kP2, kD1, kD2, kN1, kDev1}) {
        EXPECT_TRUE(has(oid)) << oid;
    }
    EXPECT_EQ(1, std::count(got.begin(), got.end(), kN1)) << "a node reached twice stands once";
}

// The answers below are written by hand from the records' layouts and
// played for one call each; every value is looked for in its own field.

TEST_F(PortQueries, PortInformationFieldsTakeTheirOwnUnits) {
    XdrUnits info;
    info.reply(1553).text(kP0Name, 8);
    // Port number, (mask), state, status, physical state, type, speed, link
    // distance, route cost, transceiver.
    info.ints({7, 99, 3, 4, 5, 4, 8, 9, 11, 2});
    info.text("SN0123456789ABCD", 16).text("", 16);
    // Class of service (low byte), port identifier, trunk master, braided.
    info.ints({0x10C, 0x0A0B0C, 0xFFFF, 6});
    sim_->injectFault(playedReply(1553, info, 1));
    auto* port = read<PortRecord>(kP0);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(7, port->PortNumber);
    EXPECT_EQ(3, port->PortState);
    EXPECT_EQ(4, port->PortStatus);
    EXPECT_EQ(5, port->PortPhysicalState);
    EXPECT_EQ(ORVANE_PORT_E, port->PortType);
    EXPECT_EQ(8, port->PortSpeed);
    EXPECT_EQ(9, port->PortLinkDistance);
    EXPECT_EQ(11, port->TxLinkRouteCost);
    EXPECT_EQ(305, port->GBICType);
    ASSERT_NE(port->GBICSerialNumber, nullptr);
    EXPECT_STREQ("SN0123456789ABCD", port->GBICSerialNumber);
    EXPECT_EQ(nullptr, port->GBICMfg) << "an empty second text";
    EXPECT_EQ(0x0C, port->ClassOfService);
    EXPECT_EQ(0x0A0B0Cu, port->PortId);
    EXPECT_EQ(0xFFFF, port->TrunkMasterPortNum);
    EXPECT_EQ(1, port->TrunkDisable);
    EXPECT_EQ(6, port->BraidexPortEnabled);
    falFreeObject(port);
}

TEST_F(PortQueries, DevicePortFromAHandWrittenNameServerEntry) {
    XdrUnits entry;
    // Port type, identifier (domain first), port name, symbolic port name
    // (a length and char[255]), node name, symbolic node name.
    entry.reply(4097).bytes({1, 0x01, 0x02, 0xE8, 0x21, 0, 0, 0xe0, 0x8b, 0x0a, 0, 0x01});
    entry.unit(5).text("caf\xc3\xa9", 255);
    entry.bytes({0x20, 0, 0, 0xe0, 0x8b, 0x0a, 0, 0x01}).unit(0).text("", 255);
    // Initial process associator, node IP address, classes of service.
    entry.bytes({0, 0, 0, 0, 0, 0, 0, 0}).text("", 16).unit(0x0C);
    // FC-4 types: types 8 and 0x1f set, the rest zero.
    entry.bytes({0x80, 0, 0x01, 0}).text("", 28);
    // Port IP address, fabric port name, reserved, hard address.
    entry.text("", 16).bytes({0x20, 0, 0, 0x60, 0x69, 0x0a, 0, 0x01, 0, 0x01, 0x02, 0xE8});
    sim_->injectFault(playedReply(4097, entry, 1, 60));
    auto* port = read<PortRecord>(kD1);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(ORVANE_PORT_N, port->PortType);
    EXPECT_EQ(0x0102E8u, port->PortId);
    EXPECT_EQ(0x0C, port->ClassOfService);
    EXPECT_EQ(0x80, port->FC4Protocol[0]);
    EXPECT_EQ(0x01, port->FC4Protocol[2]);
    EXPECT_EQ("caf\xc3\xa9", std::string(port->PortSymbolicName, port->PortSymbolicNameLength));
    EXPECT_EQ(kN1, text(port->OwnerOID));
    falFreeObject(port);
}

TEST_F(PortQueries, LoopMapIsTheSecondTextOfTheLoopPortReply) {
    // Loop port 0x010201: AL_PA 0x01 stands at loop index 2.
    const struct {
        std::string first;
        std::string second;
        unsigned short expected;
    } cases[] = {
        {std::string(16, '\xff'), std::string(16, '\0'), 343},
        {std::string(16, '\0'), std::string("\x04", 1) + std::string(15, '\0'), 344},
    };
    for (const auto& c : cases) {
        XdrUnits loop;
        loop.reply(1550).unit(0x010201).text(c.first, 16).text(c.second, 16);
        sim_->injectFault(playedReply(1550, loop, 1));
        auto* port = read<PortRecord>(kD2);
        ASSERT_NE(port, nullptr);
        EXPECT_EQ(c.expected, port->PortDeviceType);
        falFreeObject(port);
    }
}

TEST_F(PortQueries, CounterPairsLandInTheirFields) {
    // Counter k is (0, 100 + k); the byte counters are in 4-byte words.
    XdrUnits stats;
    stats.reply(1543).ints({15});
    for (int k = 1; k <= 24; ++k) {
        stats.ints({k == 6 ? 1 : 0, k == 6 ? static_cast<std::int32_t>(0xC0000001) : 100 + k});
    }
    XdrUnits errors;
    errors.reply(1547);
    for (int k = 1; k <= 22; ++k) {
        errors.ints({0, 100 + k});
    }
    sim_->injectFault(playedReply(1543, stats, 1));
    sim_->injectFault(playedReply(1547, errors, 1));

    auto* s = read<PortStatsObjectRecord>(kStats0);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(15, s->RateSamplePeriod);
    const struct {
        const RecordCounter& field;
        unsigned int low;
    } statCases[] = {
        {s->RateTxFrame, 101},         {s->RateRxFrame, 102},       {s->RateTxPeakFrame, 103},
        {s->RateRxPeakFrame, 104},     {s->RateTxByte, 105 * 4},    {s->RateTxPeakByte, 107 * 4},
        {s->RateRxPeakByte, 108 * 4},  {s->CntTxByte, 109 * 4},     {s->CntRxByte, 110 * 4},
        {s->CntTxFrame, 111},          {s->CntRxFrame, 112},        {s->CntBBCreditZero, 113},
        {s->CntInputBuffersFull, 114}, {s->CntFBSYFrames, 115},     {s->CntPBSYFrames, 116},
        {s->CntFRJTFrames, 117},       {s->CntPRJTFrames, 118},     {s->CntRxClass1Frames, 119},
        {s->CntRxClass2Frames, 120},   {s->CntRxClass3Frames, 121}, {s->CntRxClass3Discards, 122},
        {s->CntRxMcastFrames, 123},    {s->CntTxMcastFrames, 124},
    };
    for (const auto& c : statCases) {
        EXPECT_EQ(0u, c.field.High) << c.low;
        EXPECT_EQ(c.low, c.field.Low);
    }
    // (1, 0xC0000001) words: the two top bits of the low word carry over.
    EXPECT_EQ(7u, s->RateRxByte.High);
    EXPECT_EQ(4u, s->RateRxByte.Low);
    falFreeObject(s);

    auto* e = read<PortErrorsObjectRecord>(kErrors0);
    ASSERT_NE(e, nullptr);
    const struct {
        const RecordCounter& field;
        unsigned int k;
    } errorCases[] = {
        {e->CntTxLinkResets, 2},        {e->CntRxLinkResets, 1},
        {e->CntTxOfflineSequences, 4},  {e->CntRxOfflineSequences, 3},
        {e->CntLinkFailures, 5},        {e->CntInvalidCRCErrors, 6},
        {e->CntInvalidTxWords, 7},      {e->CntPrimeSeqProtoErrors, 8},
        {e->CntSignalLosses, 9},        {e->CntSyncLosses, 10},
        {e->CntInvalidOrderedSets, 11}, {e->CntRxFramesTooLong, 12},
        {e->CntRxTruncFrames, 13},      {e->CntAddressIdErrors, 14},
        {e->CntDelimiterErrors, 15},    {e->CntRxEncodingDisparityErr, 16},
        {e->CntTooManyRdys, 17},        {e->CntRxEncOutFrames, 20},
        {e->CntMcastTimedOuts, 21},     {e->CntRxLCs, 22},
    };
    for (const auto& c : errorCases) {
        EXPECT_EQ(100 + c.k, c.field.Low) << "counter " << c.k;
    }
    falFreeObject(e);
}

TEST_F(PortQueries, ModuleEntryFieldsTakeTheirOwnUnits) {
    XdrUnits modules;
    modules.reply(1551).text(kSwitchName, 8).unit(2);
    // Module index, state, status, first and last port index; seven texts;
    // the temperature values.
    modules.ints({7, 1, 1, 0, 0}).text("decoy", 16).text("", 16).text("", 24).text("", 24);
    modules.text("", 8).text("", 24).text("", 24).ints({0});
    modules.ints({1, 0, 9, 2, 3}).text("PART-1", 16).text("SERIAL-1", 16).text("THIRD", 24);
    modules.text("OEM-1", 24).text("REV1", 8).text("SIXTH", 24).text("2026-02-03", 24);
    modules.ints({3, 40, -5, 7});
    sim_->injectFault(playedReply(1551, modules, 1));
    auto* module = read<PortModuleRecord>(kModule1);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(1, module->ModuleSlotNumber);
    EXPECT_EQ(2, module->ModulePortCount);
    EXPECT_EQ(2, module->StartSwitchPortIndex);
    EXPECT_EQ(3665, module->PortModuleState) << "state 0";
    EXPECT_EQ(9, module->PortModuleStatus);
    EXPECT_EQ((std::vector<std::string>{kP2, "000120030060690a0001"}), oids(module->PortOIDs));
    const auto field = [](const RecordText& t) { return std::string(t.Text, t.Length); };
    EXPECT_EQ("PART-1", field(module->PortModulePartNumber));
    EXPECT_EQ("SERIAL-1", field(module->PortModuleSN));
    EXPECT_EQ("OEM-1", field(module->PortModuleOEMSN));
    EXPECT_EQ("REV1", field(module->PortModuleRevision));
    EXPECT_EQ("2026-02-03", field(module->PortModuleMfgDate));
    ASSERT_EQ(3, module->PortModuleNumTempSensors);
    EXPECT_EQ(40, module->TempSensorValues[0]);
    EXPECT_EQ(-5, module->TempSensorValues[1]);
    EXPECT_EQ(7, module->TempSensorValues[2]);
    falFreeObject(module);
}

// Runs last: it changes the switch.
TEST_F(PortQueries, ZZModuleAndPortThatDisappear) {
    nlohmann::json modules = document()["fabrics"][0]["switches"][0]["portModules"];
    modules[1]["values"] = {1, 5, 6, 3, 2}; // first above last: an empty range
    sim_->request({{"op", "setSwitchFields"},
                   {"switch", "10:00:00:60:69:0a:00:01"},
                   {"fields", {{"portModules", modules}}}});
    auto* module = read<PortModuleRecord>(kModule1);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(0, module->ModulePortCount);
    EXPECT_TRUE(oids(module->PortOIDs).empty());
    falFreeObject(module);

    modules.erase(1);
    sim_->request({{"op", "setSwitchFields"},
                   {"switch", "10:00:00:60:69:0a:00:01"},
                   {"fields", {{"portModules", modules}}}});
    EXPECT_EQ(nullptr, read<PortModuleRecord>(kModule1, -21));

    nlohmann::json ports = document()["fabrics"][0]["switches"][0]["ports"];
    ports.erase(2);
    sim_->request({{"op", "setSwitchFields"},
                   {"switch", "10:00:00:60:69:0a:00:01"},
                   {"fields", {{"ports", ports}}}});
    void* record = nullptr;
    EXPECT_NE(0, GetSingleObject(kP2, &record));
    EXPECT_EQ(nullptr, record);
}

} // namespace
