#include "FabricTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScriptedChannel.h"
#include "SystemParameters.h"
#include "ToolContext.h"
#include "console_testing.h"

namespace {

const std::string FabricA = "00091000006069100001";
const std::string Core = "00021000006069100001";
const std::string Edge = "00021000006069100002";
const std::string Blade = "00021000006069100003";

class FabricTableTest : public ::testing::Test {
protected:
    FabricTableTest() {
        parameters.operationsMode = BatchMode;
        channel.objects[FabricA] = fabricElement("10:00:00:60:69:10:00:01", {Core, Edge, Blade});
        channel.objects[Core] = switchElement(
            "DomainId=\"0x1\" EmbeddedSwitchType=\"0\" EmbSwInvariantName=\"20:00:00:60:69:10:00:09\" "
            "FirmwareVersion=\"v4.1.0\" OutBandAddr=\"127.0.0.5\" SwitchName=\"core&amp;1\" "
            "SwitchRole=\"0x236\" WWN=\"10:00:00:60:69:10:00:01\"",
            {"0017000000000001", "0017000000000002"});
        channel.objects["0017000000000001"] = portModuleElement(16);
        channel.objects["0017000000000002"] = portModuleElement(16);
        // No WWN attribute: the identifier's tail stands in.
        channel.objects[Edge] = switchElement("DomainId=\"0x2\" SwitchName=\"edge\" "
                                              "SwitchRole=\"0x235\"",
                                              {"0017000000000003"});
        // An embedded switch: its invariant name is its ISN.
        channel.objects[Blade] =
            switchElement("EmbSwInvariantName=\"20:00:00:60:69:10:00:03\" "
                          "EmbeddedSwitchType=\"1\" SwitchName=\"blade\" "
                          "WWN=\"10:00:00:60:69:10:00:03\"");
    }

    SystemParameters parameters;
    ScriptedConsole console{""};
    ScriptedChannel channel;
    ToolContext context{parameters, console.console(), channel};
};

TEST_F(FabricTableTest, ReadsTheFabricAndEverySwitch) {
    const auto fabrics = getAllFabrics(context, {FabricA});
    ASSERT_TRUE(fabrics);
    ASSERT_EQ(fabrics->size(), 1u);
    const FabricInfo& fabric = fabrics->front();
    EXPECT_EQ(fabric.fabricId, FabricA);
    EXPECT_EQ(fabric.wwn, "10:00:00:60:69:10:00:01");
    EXPECT_EQ(fabric.actvZoneDb, "0019000000000000000A");
    EXPECT_EQ(fabric.fullZoneDb, "0018000000000000000F");
    EXPECT_EQ(fabric.numSwitches, 3);
    ASSERT_EQ(fabric.switches.size(), 3u);

    const SwitchInfo& core = fabric.switches[0];
    EXPECT_EQ(core.switchOID, Core);
    EXPECT_EQ(core.domain, 1);
    EXPECT_EQ(core.swRole, PrincipalSwitchRole);
    EXPECT_EQ(core.WWN, "10:00:00:60:69:10:00:01");
    EXPECT_EQ(core.assignedWWN, "1000006069100001");
    EXPECT_EQ(core.ISN, "1000006069100001"); // type "0": not embedded
    EXPECT_EQ(core.name, "core&1");
    EXPECT_EQ(core.firmwareVersion, "v4.1.0");
    EXPECT_EQ(core.ipAddress, "127.0.0.5");
    EXPECT_EQ(core.numPorts, 32);

    const SwitchInfo& edge = fabric.switches[1];
    EXPECT_EQ(edge.WWN, "");
    EXPECT_EQ(edge.assignedWWN, "1000006069100002");
    EXPECT_EQ(edge.ISN, "1000006069100002");
    EXPECT_EQ(edge.numPorts, 0); // its port module cannot be read

    const SwitchInfo& blade = fabric.switches[2];
    EXPECT_EQ(blade.ISN, "2000006069100003");
    EXPECT_EQ(blade.domain, 0);

    EXPECT_EQ(principalText(fabric), "core&1");
    EXPECT_EQ(parameters.MAX_N_SWITCHES, 10); // 3 switches raise nothing
    EXPECT_EQ(channel.requestsOf("GetObjects")[0],
              "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n"
              "<MsgType>GetObjects</MsgType>\n"
              "<Version major=\"1\" minor=\"0\" vendor=\"Quillon\"/>\n"
              "<AttributeEncoding>en-us</AttributeEncoding>\n"
              "<ObjectReference>00091000006069100001</ObjectReference>\n</YarlRequest>\n");
}

TEST_F(FabricTableTest, ASwitchThatCannotBeReadLeavesAnEmptyEntry) {
    channel.objects.erase(Edge);
    parameters.eventLog.open(testing::TempDir() + "/fabric_table.log", 1);
    const auto fabrics = getAllFabrics(context, {FabricA});
    ASSERT_TRUE(fabrics);
    const FabricInfo& fabric = fabrics->front();
    EXPECT_EQ(fabric.numSwitches, 3);
    EXPECT_EQ(fabric.switches[1].switchOID, "");
    EXPECT_EQ(fabric.switches[2].name, "blade");
}

TEST_F(FabricTableTest, TheTableFailsWithoutFabricObjectSwitchesOrReadableSwitch) {
    EXPECT_FALSE(getAllFabrics(context, {FabricA, "0009ffffffffffffffff"}));

    channel.objects["0009eeeeeeeeeeeeeeee"] = responseOf("x", ""); // no Fabric element
    EXPECT_FALSE(getAllFabrics(context, {"0009eeeeeeeeeeeeeeee"}));

    // A FabricReference is no Fabric element: no switch list is read from it.
    channel.objects["0009dddddddddddddddd"] =
        "<FabricReference WWN=\"1\" >\n<Switch OID=\"" + Core + "\" />\n</Fabric>\n";
    EXPECT_FALSE(getAllFabrics(context, {"0009dddddddddddddddd"}));

    channel.objects["0009cccccccccccccccc"] = fabricElement("20:00", {"0002000000000000dead"});
    EXPECT_FALSE(getAllFabrics(context, {"0009cccccccccccccccc"}));
}

TEST_F(FabricTableTest, ALargeFabricRaisesTheSwitchBound) {
    for (const int listed : {8, 9, 12}) {
        std::vector<std::string> switches;
        for (int i = 0; i < listed; ++i) {
            const std::string id = "000210000060691000" + std::to_string(10 + i);
            switches.push_back(id);
            channel.objects[id] = switchElement("SwitchName=\"s\"");
        }
        const std::string fabric = "0009" + std::to_string(listed);
        channel.objects[fabric] = fabricElement("10:00", switches);
        parameters.MAX_N_SWITCHES = 10;
        ASSERT_TRUE(getAllFabrics(context, {fabric}));
        EXPECT_EQ(parameters.MAX_N_SWITCHES, listed >= 9 ? listed + 2 : 10) << listed;
    }
}

TEST_F(FabricTableTest, AnEmbeddedSwitchWithAZeroInvariantNameKeepsItsWwn) {
    channel.objects[Blade] = switchElement("EmbSwInvariantName=\"00:00:00:00:00:00:00:00\" "
                                           "EmbeddedSwitchType=\"1\" "
                                           "WWN=\"10:00:00:60:69:10:00:03\"");
    const auto fabrics = getAllFabrics(context, {FabricA});
    ASSERT_TRUE(fabrics);
    EXPECT_EQ(fabrics->front().switches[2].ISN, "1000006069100003");
}

TEST_F(FabricTableTest, EverySwitchOfALargeFabricIsRead) {
    std::vector<std::string> switches;
    for (int i = 0; i < 300; ++i) {
        char id[32];
        std::snprintf(id, sizeof id, "00021000006069%06x", i);
        switches.push_back(id);
        channel.objects[id] = switchElement("SwitchName=\"s" + std::to_string(i) + "\"");
    }
    channel.objects["0009300"] = fabricElement("10:00", switches);
    const auto fabrics = getAllFabrics(context, {"0009300"});
    ASSERT_TRUE(fabrics);
    const FabricInfo& fabric = fabrics->front();
    EXPECT_EQ(fabric.numSwitches, 300);
    ASSERT_EQ(fabric.switches.size(), 300u);
    EXPECT_EQ(fabric.switches[299].name, "s299");
    EXPECT_EQ(parameters.MAX_N_SWITCHES, 302);
}

TEST(CertificateState, ReadFromTheSwitchElement) {
    const struct {
        std::string reply;
        CertificateState state;
    } cases[] = {
        {switchElement("SwitchName=\"a\" ValidCertificateInstalled=\"1\""),
         CertificateState::Valid},
        {switchElement("ValidCertificateInstalled=\"0\" SwitchName=\"a\""),
         CertificateState::NotValid},
        // No such attribute: objects of switches without a firmware version.
        {switchElement("SwitchName=\"a\""), CertificateState::Unknown},
        {responseOf("GetObjects", faultOf(-21)), CertificateState::Unknown},
        // Only the switch element counts, not one of its children.
        {"<Switch SwitchName=\"a\" >\n<Port ValidCertificateInstalled=\"1\" >\n</Switch>\n",
         CertificateState::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(certificateStateOf(c.reply), c.state) << c.reply;
}

} // namespace
