#include "yarllite/ObjectQueryCommands.h"

#include <cstring>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <orvane/records.h>

#include "api/ObjectStore.h"
#include "api/StoredObjectXmlWriter.h"
#include "yarllite/CommandFrontEnd.h"
#include "yarllite/StoredObjectXml.h"

namespace {

class ObjectQueryCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        eraseMap();
        installStoredObjectXmlWriter();
    }
    void TearDown() override { eraseMap(); }

    static StoredObject* stored(const std::string& oid, unsigned short type) {
        auto& slot = objectMap()[oid];
        slot = std::make_unique<StoredObject>();
        slot->setStringAttr("OID", oid);
        slot->setShortAttr("ObjType", type);
        return slot.get();
    }
};

TEST_F(ObjectQueryCommandsTest, ObjectsElementWritesStoredObjectsAndErrorsAndSkipsUnknownOnes) {
    stored("00021000006069000001", 2)->setShortAttr("DomainId", 3);
    SwitchRecord sw{};
    sw.ObjType = 2;
    std::strcpy(sw.OID, "00021000006069000001");
    sw.DomainId = 9;
    SwitchRecord gone{};
    gone.ObjType = 2;
    std::strcpy(gone.OID, "00021000006069000002");
    ErrorRecord error{};
    error.ObjType = ORVANE_ERROR_RECORD_TYPE;
    std::strcpy(error.OID, "ff00000000000001");
    std::strcpy(error.RequestedOID, "0002<x>");
    error.Status = -21;
    void* records[] = {&sw, &gone, &error, nullptr};

    std::string reply;
    EXPECT_EQ(0, YarlGetObjectsResponse(reply, records, 0));
    // The record's fields reach the stored object before it is written.
    EXPECT_EQ(0u, reply.find("<Objects>\n<Switch DomainId=\"0x9\" ")) << reply;
    EXPECT_EQ(std::string::npos, reply.find("00021000006069000002")) << "not stored: nothing";
    const std::string tail = "</Switch>\n"
                             "<Error OID=\"ff00000000000001\" OriginalObjectOID=\"0002&lt;x&gt;\" "
                             "ErrorCode=\"-21\" />\n"
                             "</Objects>\n";
    ASSERT_GE(reply.size(), tail.size());
    EXPECT_EQ(tail, reply.substr(reply.size() - tail.size()));
}

TEST_F(ObjectQueryCommandsTest, ListingWritesOnlyFabricsMarkedWithASession) {
    StoredObject* marked = stored("00091000006069000001", 9);
    marked->setShortAttr("SessionEstablished", 1);
    StoredObject* sw = stored("00021000006069000001", 2);
    marked->addRelation("setSwitch", "00021000006069000001");
    sw->addRelation("setParent", "00091000006069000001");
    stored("00091000006069000002", 9); // never marked
    stored("00091000006069000003", 9)->setShortAttr("SessionEstablished", 0);

    std::string reply;
    EXPECT_EQ(0, YarlGetAllObjectsResponse(reply, 0, false));
    EXPECT_EQ("<Objects>\n"
              "<Fabric OID=\"00091000006069000001\" ObjType=\"0x9\" >\n"
              "<Switch OID=\"00021000006069000001\" ObjType=\"0x2\" >\n"
              "</Switch>\n"
              "</Fabric>\n"
              "</Objects>\n",
              reply);

    std::string byType;
    EXPECT_EQ(0, YarlGetObjectsByTypeResponse("00091000006069000002", -1, byType, 0));
    EXPECT_EQ("<Objects>\n</Objects>\n", byType) << "that fabric carries no session mark";
}

TEST_F(ObjectQueryCommandsTest, RequestsWithoutTheirRequiredElementAnswerMinusThree) {
    std::string reply;
    runCommand("<?xml version='1.0'?><YarlRequest><MsgType>GetObjects</MsgType></YarlRequest>",
               reply);
    EXPECT_NE(std::string::npos, reply.find("<YarlErrorCode>-3</YarlErrorCode>")) << reply;

    std::string byType;
    runCommand(
        "<?xml version='1.0'?><YarlRequest><MsgType>GetObjectsByType</MsgType></YarlRequest>",
        byType);
    EXPECT_EQ(std::string::npos, byType.find("<Fault>")) << "no fault for a missing type";
}

} // namespace
