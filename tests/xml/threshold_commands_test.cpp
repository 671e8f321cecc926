// The threshold identifier commands of the XML interface, through
// libOrvane_2.so alone: encoders from class and area names, decoders back
// to names, and their refusals.
#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "orvane/fabapi.h"
#include "orvane/objects.h"
#include "orvane/xmlcommand.h"

namespace {

constexpr char kSwitch[] = "00021000006069070001";

std::string request(const std::string& command, const std::string& body) {
    return "<?xml version='1.0' encoding='utf-8'?>\n<YarlRequest>\n<MsgType>" + command +
           "</MsgType>\n" + body + "</YarlRequest>\n";
}

std::string body(const std::string& reply) {
    static const std::regex head("^[\\s\\S]*</EchoMsgType>\n");
    static const std::regex tail("</YarlResponse>\n$");
    return std::regex_replace(std::regex_replace(reply, head, ""), tail, "");
}

std::string echoOf(const std::string& reply) {
    std::smatch match;
    static const std::regex echo("<EchoMsgType>([^<]*)</EchoMsgType>");
    return std::regex_search(reply, match, echo) ? match[1].str() : "";
}

std::string fault(int code) {
    return "<Fault>\n<YarlErrorCode>" + std::to_string(code) + "</YarlErrorCode></Fault>\n";
}

// The identifier of an "<Object OID=...>" reply, or empty.
std::string objectOid(const std::string& reply) {
    std::smatch match;
    static const std::regex object("<Object OID=\"([^\"]*)\" />");
    return std::regex_search(reply, match, object) ? match[1].str() : "";
}

std::string text(const char* name, const std::string& value) {
    return std::string("<") + name + ">" + value + "</" + name + ">\n";
}

class ThresholdCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        FabAPI_ShutdownFabricAPI();
        ASSERT_EQ(0, FabAPI_InitializeFabricAPI(nullptr));
    }
    static void TearDownTestSuite() { FabAPI_ShutdownFabricAPI(); }
    static std::string run(const std::string& command, const std::string& args, bool& result) {
        std::string reply;
        result = processCommand(request(command, args), reply);
        return reply;
    }
};

TEST_F(ThresholdCommands, EncodersRoundTripThroughTheDecoders) {
    const std::string classArea = text("SwitchOID", kSwitch) +
                                  text("ThrexClass", "THREX_CLASS_F_PORT_CU") +
                                  text("ThrexArea", "THREX_AREA_CRC");
    bool result = false;
    std::string reply = run("EncodeThrexClassAreaOID", classArea, result);
    const std::string areaOid = objectOid(reply);
    ASSERT_FALSE(areaOid.empty()) << reply;
    OID_t expected{};
    ASSERT_EQ(0, EncodeThrexClassAreaOID(kSwitch, 5, 11, expected));
    EXPECT_EQ(std::string(expected), areaOid);

    reply = run("DecodeThrexClassAreaOID", text("ObjectReference", areaOid), result);
    EXPECT_EQ(text("SwitchOID", kSwitch) + text("ThrexClass", "THREX_CLASS_F_PORT_CU") +
                  text("ThrexArea", "THREX_AREA_CRC"),
              body(reply));

    // Both entry encoders answer as the first; a switch identifier longer
    // than 20 characters counts with its first 20.
    const std::string entry = text("SwitchOID", std::string(kSwitch) + "ffff") +
                              text("ThrexClass", "THREX_CLASS_F_PORT_CU") +
                              text("ThrexArea", "THREX_AREA_CRC") + text("Index", "7");
    for (const char* command : {"EncodeThrexThresholdEntryOID", "EncodeThrexThresholdOID"}) {
        reply = run(command, entry, result);
        EXPECT_EQ("EncodeThrexThresholdEntryOID", echoOf(reply)) << command;
        ASSERT_EQ(0, EncodeThrexThresholdEntryOID(kSwitch, 5, 11, 7, expected));
        EXPECT_EQ(std::string(expected), objectOid(reply)) << command;
    }
    reply = run("DecodeThrexThresholdEntryOID", text("ObjectReference", expected), result);
    EXPECT_EQ(text("SwitchOID", kSwitch) + text("ThrexClass", "THREX_CLASS_F_PORT_CU") +
                  text("ThrexArea", "THREX_AREA_CRC") + text("Index", "7"),
              body(reply));
}

TEST_F(ThresholdCommands, BadRequestsGiveFaults) {
    const std::string sw = text("SwitchOID", kSwitch);
    const std::string cls = text("ThrexClass", "THREX_CLASS_GBIC");
    const std::string area = text("ThrexArea", "THREX_AREA_TEMP");
    const struct {
        const char* command;
        std::string args;
        int code;
    } cases[] = {
        {"EncodeThrexClassAreaOID", cls + area, -3},
        {"EncodeThrexClassAreaOID", text("SwitchOID", "0002100000606907000") + cls + area, -3},
        {"EncodeThrexClassAreaOID", sw + area, -3},
        {"EncodeThrexClassAreaOID", sw + cls, -3},
        // Unknown names go to the export as -1, which refuses them.
        {"EncodeThrexClassAreaOID", sw + text("ThrexClass", "GBIC") + area, -102},
        {"EncodeThrexClassAreaOID", sw + cls + text("ThrexArea", "TEMP"), -102},
        {"EncodeThrexThresholdEntryOID", sw + cls + area, -3},
        {"EncodeThrexThresholdEntryOID", sw + cls + area + text("Index", "7x"), -3},
        {"EncodeThrexThresholdEntryOID", sw + cls + area + text("Index", "99999999999"), -3},
        {"DecodeThrexClassAreaOID", "", -3},
        {"DecodeThrexClassAreaOID", text("ObjectReference", "zz"), -3},
        {"DecodeThrexThresholdEntryOID", text("ObjectReference", "zz"), -3},
        // Only threshold identifiers decode, and only hex digits.
        {"DecodeThrexClassAreaOID", text("ObjectReference", kSwitch), -3},
        {"DecodeThrexClassAreaOID", text("ObjectReference", "fffa1000006069070001000f"), -3},
        {"DecodeThrexClassAreaOID", text("ObjectReference", "0024100000606907zz01000200030000"),
         -3},
        {"DecodeThrexThresholdEntryOID", text("ObjectReference", "0025100000606907"), -3},
        {"DecodeThrexThresholdEntryOID",
         text("ObjectReference", "00251000006069070001000200zz0000"), -3},
        {"DecodeThrexThresholdEntryOID",
         text("ObjectReference", "0025100000606907000100020003-001"), -3},
    };
    for (const auto& c : cases) {
        bool result = true;
        const std::string reply = run(c.command, c.args, result);
        EXPECT_FALSE(result) << c.command << " " << c.args;
        EXPECT_EQ(fault(c.code), body(reply)) << c.command << " " << c.args;
    }
}

} // namespace
