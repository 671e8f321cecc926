#include "yarllite/StoredObjectXml.h"

#include <cstdio>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "api/ObjectStore.h"
#include "api/StoredObjectXmlWriter.h"
#include "objects/AttributeDictionary.h"
#include "yarllite/TestDocument.h"

namespace {

const unsigned char kSwitchName[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x00, 0x00, 0xaa};

// Each test starts with an empty store and this interface's writer.
class StoredObjectXmlTest : public ::testing::Test {
protected:
    void SetUp() override {
        eraseMap();
        installStoredObjectXmlWriter();
    }
    void TearDown() override {
        setStoredObjectXmlWriter(nullptr);
        eraseMap();
    }

    // A stored object of that identifier; type 0xFFFF means none.
    static StoredObject* stored(const std::string& oid, unsigned short type = 0xFFFF) {
        auto& slot = objectMap()[oid];
        slot = std::make_unique<StoredObject>();
        slot->setStringAttr("OID", oid);
        if (type != 0xFFFF) {
            slot->setShortAttr("ObjType", type);
        }
        return slot.get();
    }
};

std::string hexCode(const char* name) {
    char text[16];
    std::snprintf(text, sizeof text, "_%x", yarlAttrCodeOfName(name));
    return text;
}

TEST_F(StoredObjectXmlTest, FlatElementWritesEveryKindRelationAndListEscaped) {
    StoredObject* sw = stored("000210000060690000aa", 2);
    sw->setWwnAttr("WWN", WWNAddress(kSwitchName));
    sw->setShortAttr("DomainId", 5);
    sw->setStringAttr("SwitchName", "a<b>&\"c'");
    sw->setIntAttr("SwitchTime", -1);
    sw->setBytesAttr("MfgName", "Q<\0zz", 5);
    sw->setHandleAttr("Cookie", sw);
    // Kept to the library.
    sw->setIntAttr("FabricCounter", 3);
    sw->setHandleAttr("HDL", sw);
    sw->setShortAttr("SessionEstablished", 1);
    sw->setShortAttr("EnumMemberType", 1);
    sw->addRelation("setLicenseKey", "k&1");
    sw->addRelation("setParent", "00091000006069000001");
    sw->addRelation("setPorts", "00011000006069000002");
    sw->addRelation("setPorts", "00011000006069000001");
    sw->addRelation("setProxy", "000210000060690000bb");
    sw->addRelation("setManagementAddrSet", "127.0.0.1");
    sw->appendListValue("setSwitchBlower", "FanRPM=\"0x5\" ");
    sw->appendListValue("setZone", "z\"1");

    std::string reply;
    sw->writeXml(reply, 0);
    EXPECT_EQ("<Switch Cookie=\"\" DomainId=\"0x5\" MfgName=\"Q&lt;\" "
              "OID=\"000210000060690000aa\" ObjType=\"0x2\" "
              "SwitchName=\"a&lt;b&gt;&amp;&quot;c&apos;\" SwitchTime=\"0xffffffff\" "
              "WWN=\"10:00:00:60:69:00:00:aa\" >\n"
              "<LicenseKey Key=\"k&amp;1\" />\n"
              "<ManagementAddrSet Addr=\"127.0.0.1\" />\n"
              "<Parent OID=\"00091000006069000001\" />\n"
              "<Ports OID=\"00011000006069000001\" />\n"
              "<Ports OID=\"00011000006069000002\" />\n"
              "<Proxy Switch=\"000210000060690000bb\" />\n"
              "<SwitchBlower FanRPM=\"0x5\" />\n"
              "<Zone OID=\"z&quot;1\" />\n"
              "</Switch>\n",
              reply);
    EXPECT_TRUE(TestDocument("<?xml version='1.0'?>" + reply).parsed());
}

TEST_F(StoredObjectXmlTest, EncodingNamesAttributesByDictionaryCode) {
    StoredObject* port = stored("00011000006069000001", 1);
    port->setShortAttr("PortState", 1);
    port->setShortAttr("NoSuchAttribute", 2);
    port->addRelation("setParent", "0017");
    ASSERT_NE(0u, yarlAttrCodeOfName("PortState"));

    std::string byCode;
    writeStoredObjectXml(*port, byCode, 1);
    EXPECT_EQ("<Port _0=\"0x2\" " + hexCode("OID") + "=\"00011000006069000001\" " +
                  hexCode("ObjType") + "=\"0x1\" _40108=\"0x1\" >\n<Parent " + hexCode("OID") +
                  "=\"0017\" />\n</Port>\n",
              byCode);

    std::string none;
    writeStoredObjectXml(*port, none, 7);
    EXPECT_EQ("<Port =\"0x2\" =\"00011000006069000001\" =\"0x1\" =\"0x1\" >\n"
              "<Parent =\"0017\" />\n</Port>\n",
              none)
        << "an encoding other than 0 and 1 writes no names";
}

TEST_F(StoredObjectXmlTest, EachWriterLeavesOutItsOwnAttributes) {
    struct Case {
        unsigned short type;
        bool flatWwn, treeWwn;
    } cases[] = {
        {2, true, true},    // Switch
        {5, false, true},   // Device
        {18, false, true},  // PortStats
        {21, false, true},  // ZoningCapabilities
        {38, false, false}, // EnclosureObject
    };
    for (const Case& c : cases) {
        StoredObject* object = stored("0099", c.type);
        object->setWwnAttr("WWN", WWNAddress(kSwitchName));
        object->setShortAttr("EnumMemberType", 4);
        std::string flat, tree;
        writeStoredObjectXml(*object, flat, 0);
        writeStoredObjectXmlTree(*object, tree, 0);
        EXPECT_EQ(c.flatWwn, flat.find(" WWN=") != std::string::npos) << c.type;
        EXPECT_EQ(c.treeWwn, tree.find(" WWN=") != std::string::npos) << c.type;
        EXPECT_EQ(std::string::npos, flat.find("EnumMemberType")) << c.type;
        EXPECT_NE(std::string::npos, tree.find(" EnumMemberType=\"0x4\"")) << c.type;
    }
}

TEST_F(StoredObjectXmlTest, ObjectWithoutTypeWritesOnlyItsReferences) {
    StoredObject* bare = stored("0002");
    bare->addRelation("setPorts", "0001");
    bare->addRelation("ab", "x"); // too short a name: an empty element name
    bare->appendListValue("setMember", "m1");
    std::string reply;
    writeStoredObjectXml(*bare, reply, 0);
    EXPECT_EQ("< OID=\"x\" />\n<Ports OID=\"0001\" />\n<Member OID=\"m1\" />\n", reply);
}

TEST_F(StoredObjectXmlTest, TreeNestsRelatedObjectsButWritesPortsFlat) {
    StoredObject* fabric = stored("00091000006069000001", 9);
    StoredObject* sw = stored("000210000060690000aa", 2);
    StoredObject* port = stored("00011000006069000001", 1);
    StoredObject* node = stored("00042000006069000001", 4);
    fabric->addRelation("setSwitch", "000210000060690000aa");
    fabric->addRelation("setSwitch", "0002ffffffffffffffff"); // not stored: passed over
    fabric->addRelation("setProxy", "000210000060690000aa");
    sw->addRelation("setParent", "00091000006069000001");
    sw->addRelation("setPorts", "00011000006069000001");
    sw->addRelation("setNode", "00042000006069000001");
    port->addRelation("setParent", "000210000060690000aa");
    port->addRelation("setAttchNode", "00042000006069000001"); // flat: a reference
    node->addRelation("setDevice", "0005");                    // a node's devices: not written
    node->addRelation("setPorts", "00011000006069000001");
    node->appendListValue("setMember", "m");

    std::string reply;
    fabric->writeXmlTree(reply, 0);
    EXPECT_EQ("<Fabric OID=\"00091000006069000001\" ObjType=\"0x9\" >\n"
              "<Proxy Switch=\"000210000060690000aa\" />\n"
              "<Switch OID=\"000210000060690000aa\" ObjType=\"0x2\" >\n"
              "<Node OID=\"00042000006069000001\" ObjType=\"0x4\" >\n"
              "<Port OID=\"00011000006069000001\" ObjType=\"0x1\" >\n"
              "<AttchNode OID=\"00042000006069000001\" />\n"
              "<Parent OID=\"000210000060690000aa\" />\n"
              "</Port>\n"
              "<Member OID=\"m\" />\n"
              "</Node>\n"
              "<Port OID=\"00011000006069000001\" ObjType=\"0x1\" >\n"
              "<AttchNode OID=\"00042000006069000001\" />\n"
              "<Parent OID=\"000210000060690000aa\" />\n"
              "</Port>\n"
              "</Switch>\n"
              "</Fabric>\n",
              reply);
    EXPECT_TRUE(TestDocument("<?xml version='1.0'?>" + reply).parsed());
}

TEST_F(StoredObjectXmlTest, TreePassesOverARelationBackToAnObjectBeingWritten) {
    StoredObject* a = stored("0002a", 2);
    StoredObject* b = stored("0002b", 2);
    a->addRelation("setPeer", "0002b");
    a->addRelation("setSelf", "0002a");
    b->addRelation("setPeer", "0002a");
    std::string reply;
    a->writeXmlTree(reply, 0);
    EXPECT_EQ("<Switch OID=\"0002a\" ObjType=\"0x2\" >\n"
              "<Switch OID=\"0002b\" ObjType=\"0x2\" >\n"
              "</Switch>\n"
              "</Switch>\n",
              reply);
}

TEST_F(StoredObjectXmlTest, SkipMarkHidesAnObjectOnceAlsoInsideATree) {
    StoredObject* sw = stored("0002a", 2);
    StoredObject* module = stored("0017a", 23);
    sw->addRelation("setPortModule", "0017a");
    const std::string withModule = "<Switch OID=\"0002a\" ObjType=\"0x2\" >\n"
                                   "<PortModule OID=\"0017a\" ObjType=\"0x17\" >\n"
                                   "</PortModule>\n"
                                   "</Switch>\n";
    const std::string withoutModule = "<Switch OID=\"0002a\" ObjType=\"0x2\" >\n</Switch>\n";

    module->setFetchFailed();
    std::string first, second;
    sw->writeXmlTree(first, 0);
    sw->writeXmlTree(second, 0);
    EXPECT_EQ(withoutModule, first);
    EXPECT_EQ(withModule, second);

    sw->setFetchFailed();
    std::string third, fourth;
    sw->writeXml(third, 0);
    sw->writeXml(fourth, 0);
    EXPECT_EQ("", third);
    EXPECT_EQ("<Switch OID=\"0002a\" ObjType=\"0x2\" >\n<PortModule OID=\"0017a\" />\n</Switch>\n",
              fourth);
}

} // namespace
