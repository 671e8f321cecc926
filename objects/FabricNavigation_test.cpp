#include "objects/FabricNavigation.h"

#include <gtest/gtest.h>

#include <string>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/ObjectTypes.h"
#include "objects/testing/StoredTree.h"

namespace {

using stored_tree::name;
using stored_tree::link;
using stored_tree::oidOf;

// A fabric with a session handle, a switch, a port module and a port; a
// node attached to the port; zoning capabilities, a zoning database and a
// zone.
class FabricPaths : public ::testing::Test {
protected:
    void SetUp() override {
        fabric = getOrCreateObject(ObjectType::Fabric, name(0x01));
        fabric->setHandleAttr("HDL", &handle);
        sw = getOrCreateObject(ObjectType::Switch, name(0x02));
        link(sw, fabric);
        module = getOrCreateIndexedObject(ObjectType::PortModule, name(0x02), 0);
        link(module, sw);
        port = getOrCreateObject(ObjectType::Port, name(0x03));
        link(port, module);
        attached = getOrCreateObject(ObjectType::Port, name(0x04));
        attached->setShortAttr("PortType", 324);
        attached->addRelation("setAttchPort", oidOf(port));
        node = getOrCreateObject(ObjectType::Node, name(0x05));
        node->addRelation("setPorts", oidOf(attached));
        caps = getOrCreateObject(ObjectType::ZoningCapabilities, name(0x01));
        link(caps, fabric);
        database = getOrCreateObject(ObjectType::FullZoneDB, name(0x01));
        link(database, caps);
        zone = getOrCreateIndexedObject(ObjectType::Zone, name(0x01), 1);
        link(zone, database);
    }
    void TearDown() override { eraseMap(); }

    int handleOf(StoredObject* object) {
        void* found = nullptr;
        const int status = GetFabricHandleOfObject(object, found);
        EXPECT_EQ(status == 0 ? &handle : nullptr, found);
        return status;
    }

    int handle = 0;
    StoredObject* fabric = nullptr;
    StoredObject* sw = nullptr;
    StoredObject* module = nullptr;
    StoredObject* port = nullptr;
    StoredObject* attached = nullptr;
    StoredObject* node = nullptr;
    StoredObject* caps = nullptr;
    StoredObject* database = nullptr;
    StoredObject* zone = nullptr;
};

TEST_F(FabricPaths, EveryKindFindsItsFabricAndHandle) {
    for (StoredObject* object : {fabric, sw, module, port, attached, node, caps, database, zone}) {
        SCOPED_TRACE(oidOf(object));
        EXPECT_EQ(fabric, GetFabricEntryOfObject(oidOf(object)));
        EXPECT_EQ(0, handleOf(object));
    }
    EXPECT_EQ(fabric, fabricOfObject(port));
    EXPECT_EQ(sw, ancestorOfType(port, ObjectType::Switch));
    EXPECT_EQ(port, ancestorOfType(port, ObjectType::Port));
    EXPECT_EQ(nullptr, fabricOfObject(node)) << "a node hangs from no parent";
}

TEST_F(FabricPaths, AMissingLinkTellsWhereTheWalkStopped) {
    StoredObject* bare = getOrCreateObject(ObjectType::Fabric, name(0x11));
    StoredObject* switchOfBare = getOrCreateObject(ObjectType::Switch, name(0x12));
    link(switchOfBare, bare);
    StoredObject* orphanPort = getOrCreateObject(ObjectType::Port, name(0x13));
    StoredObject* portOfLostModule = getOrCreateObject(ObjectType::Port, name(0x14));
    portOfLostModule->addRelation("setParent", "00171000006069000000000099");
    StoredObject* lonelyNode = getOrCreateObject(ObjectType::Node, name(0x15));
    lonelyNode->addRelation("setPorts", oidOf(orphanPort));
    StoredObject* lostSwitch = getOrCreateObject(ObjectType::Switch, name(0x16));
    lostSwitch->addRelation("setParent", "00091000006069000000ff");
    StoredObject* lostModule = getOrCreateIndexedObject(ObjectType::PortModule, name(0x16), 0);
    link(lostModule, lostSwitch);
    StoredObject* lostPort = getOrCreateObject(ObjectType::Port, name(0x17));
    link(lostPort, lostModule);
    StoredObject* attachedToLost = getOrCreateObject(ObjectType::Port, name(0x18));
    attachedToLost->setShortAttr("PortType", 325);
    attachedToLost->addRelation("setAttchPort", oidOf(lostPort));
    StoredObject* nodeOfLost = getOrCreateObject(ObjectType::Node, name(0x19));
    nodeOfLost->addRelation("setPorts", oidOf(attachedToLost));
    StoredObject* platform = getOrCreateIndexedObject(ObjectType::Platform, name(0x01), 1);
    StoredObject* orphanZone = getOrCreateIndexedObject(ObjectType::Zone, name(0x01), 2);
    StoredObject* orphanDatabase = getOrCreateObject(ObjectType::ActiveZoneDB, name(0x01));
    StoredObject* orphanCaps = getOrCreateObject(ObjectType::ZoningCapabilities, name(0x21));
    StoredObject* product = getOrCreateIndexedObject(ObjectType::LicensedProduct, name(0x02), 1);
    StoredObject loose;

    struct Case {
        const char* what;
        StoredObject* from;
        int expected;
    };
    const Case cases[] = {
        {"a fabric without handle", switchOfBare, -12},
        {"a port without parent", orphanPort, -22},
        {"a port whose module is not stored", portOfLostModule, -6},
        {"a node without an attached port", lonelyNode, -11},
        {"a node whose switch's fabric is not stored", nodeOfLost, -5},
        {"a switch whose fabric is not stored", lostSwitch, -6},
        {"a platform without its fabric", platform, -10},
        {"a zone without its database", orphanZone, -28},
        {"a zoning database without its capabilities", orphanDatabase, -28},
        {"zoning capabilities without their fabric", orphanCaps, -24},
        {"a licensed product without its switch", product, -45},
        {"an object without a type", &loose, -3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.expected, handleOf(c.from));
        if (c.expected != -12 && c.from != &loose) {
            EXPECT_EQ(nullptr, GetFabricEntryOfObject(oidOf(c.from)));
        }
    }
    EXPECT_EQ(bare, GetFabricEntryOfObject(oidOf(switchOfBare))) << "found, but without handle";
}

} // namespace
