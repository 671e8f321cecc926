#include "yarllite/AllInfoCommand.h"

#include <string>

#include <gtest/gtest.h>

#include "api/ObjectStore.h"
#include "api/StoredObjectXmlWriter.h"
#include "yarllite/AttributeDictionaryWriter.h"
#include "yarllite/CommandFrontEnd.h"
#include "yarllite/TestDocument.h"

namespace {

WWNAddress nameOf(unsigned char last) {
    const unsigned char bytes[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x00, 0x00, last};
    return WWNAddress(bytes);
}

std::string request(const char* encoding) {
    return std::string("<?xml version='1.0'?><YarlRequest><MsgType>GetAllInfo</MsgType>"
                       "<AttributeEncoding>") +
           encoding + "</AttributeEncoding></YarlRequest>";
}

class AllInfoCommandTest : public ::testing::Test {
protected:
    void SetUp() override { eraseMap(); }
    void TearDown() override {
        setStoredObjectXmlWriter(nullptr);
        eraseMap();
    }
};

TEST_F(AllInfoCommandTest, WritesTheDictionaryThenEachListedKindInItsOrder) {
    // Stored in an order other than the listing's.
    getOrCreateObject(10, nameOf(3))->setStringAttr("ZoneName", "z<1>");
    getOrCreateObject(1, nameOf(2));    // a port: listed after the switch
    getOrCreateObject(1, WWNAddress()); // no name part: left out
    getOrCreateObject(23, nameOf(2));   // a port module: not a listed kind
    getOrCreateObject(2, nameOf(1));
    StoredObject* fabric = getOrCreateObject(9, nameOf(1));
    fabric->setShortAttr("SessionEstablished", 0); // all fabrics, whatever their session

    std::string reply;
    ASSERT_TRUE(runCommand(request("en-us"), reply));
    std::string dictionary;
    writeAttributeDictionary(dictionary);
    const std::string objects =
        "<Fabric OID=\"00091000006069000001\" ObjType=\"0x9\" WWN=\"10:00:00:60:69:00:00:01\" "
        ">\n</Fabric>\n"
        "<Switch OID=\"00021000006069000001\" ObjType=\"0x2\" WWN=\"10:00:00:60:69:00:00:01\" "
        ">\n</Switch>\n"
        "<Port OID=\"00011000006069000002\" ObjType=\"0x1\" WWN=\"10:00:00:60:69:00:00:02\" "
        ">\n</Port>\n"
        "<Zone OID=\"000a1000006069000003\" ObjType=\"0xa\" ZoneName=\"z&lt;1&gt;\" >\n</Zone>\n";
    const std::string echoLine = "<EchoMsgType>GetAllObjects</EchoMsgType>\n";
    const std::size_t echo = reply.find(echoLine);
    ASSERT_NE(std::string::npos, echo) << reply;
    EXPECT_EQ(reply.substr(echo + echoLine.size()), dictionary + objects + "</YarlResponse>\n")
        << "no version block, no fault";
    EXPECT_TRUE(TestDocument(reply).parsed());
}

TEST_F(AllInfoCommandTest, NamesAttributesByCodeWhenAskedAndAnswersAnEmptyStore) {
    getOrCreateObject(2, nameOf(1));
    std::string reply;
    ASSERT_TRUE(runCommand(request("yarlattr"), reply));
    EXPECT_NE(std::string::npos,
              reply.find("<Switch _b0002=\"00021000006069000001\" _40003=\"0x2\" "
                         "_90005=\"10:00:00:60:69:00:00:01\" >\n</Switch>\n"));

    eraseMap();
    std::string empty;
    ASSERT_TRUE(runCommand(request("en-us"), empty));
    EXPECT_TRUE(empty.ends_with("</Dictionary>\n</YarlResponse>\n"));
    EXPECT_EQ(std::string::npos, empty.find("<Fault>"));
}

} // namespace
