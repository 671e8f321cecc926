#include "objects/FabricObjectTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "foundation/OidText.h"
#include "objects/ObjectTypes.h"
#include "objects/ZoningCacheHooks.h"
#include "objects/testing/StoredTree.h"

namespace {

using stored_tree::name;
using stored_tree::oidOf;

// Records what the tree asks of the zoning cache, and whether the database
// named and the zoning capabilities were still stored at that moment.
class RecordingZoningCache : public ZoningCacheHooks {
public:
    void discardActiveZoningCache(const std::string& oid) override { note("active " + oid, oid); }
    void discardFullZoningCache(const std::string& oid) override { note("full " + oid, oid); }
    void releaseFabricTables(const std::string& oid) override { calls.push_back("release " + oid); }
    void note(const std::string& call, const std::string& oid) {
        calls.push_back(call + (findObject(oid) != nullptr ? " stored" : " gone") +
                        (findObject(capabilities) != nullptr ? " under capabilities" : ""));
    }
    std::vector<std::string> calls;
    std::string capabilities;
};

// Fabric 01 with switches 02, 03 and 04 (each with a port module), its
// zoning capabilities and both zoning databases; fabric 11 with switch 12.
class FabricTree : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = installZoningCacheHooks(&cache_);
        fabric_ = make(ObjectType::Fabric, 0x01, nullptr);
        for (unsigned char s : {0x02, 0x03, 0x04}) {
            StoredObject* sw = make(ObjectType::Switch, s, fabric_);
            fabric_->addRelation("setSwitch", oidOf(sw));
            StoredObject* module = getOrCreateIndexedObject(ObjectType::PortModule, name(s), 0);
            module->addRelation("setParent", oidOf(sw));
        }
        caps_ = make(ObjectType::ZoningCapabilities, 0x01, fabric_);
        cache_.capabilities = oidOf(caps_);
        StoredObject* active = make(ObjectType::ActiveZoneDB, 0x01, caps_);
        make(ObjectType::FullZoneDB, 0x01, caps_);
        getOrCreateIndexedObject(ObjectType::Zone, name(0x01), 1)
            ->addRelation("setParent", oidOf(active));
        other_ = make(ObjectType::Fabric, 0x11, nullptr);
        make(ObjectType::Switch, 0x12, other_);
    }
    void TearDown() override {
        eraseMap();
        installZoningCacheHooks(previous_);
    }

    StoredObject* make(unsigned short type, unsigned char last, StoredObject* parent) {
        StoredObject* object = getOrCreateObject(type, name(last));
        if (parent != nullptr) {
            object->addRelation("setParent", oidOf(parent));
        }
        return object;
    }
    bool stored(unsigned short type, unsigned char last) {
        std::string oid;
        formatOidString(type, name(last), oid);
        return findObject(oid) != nullptr;
    }

    RecordingZoningCache cache_;
    ZoningCacheHooks* previous_ = nullptr;
    StoredObject* fabric_ = nullptr;
    StoredObject* caps_ = nullptr;
    StoredObject* other_ = nullptr;
};

TEST_F(FabricTree, RemovingAFabricDiscardsItsZoningCachesFirstAndItsCapabilitiesLast) {
    const std::string fabricOid = oidOf(fabric_);
    const std::string capsOid = oidOf(caps_);
    RemoveFabricObjects(fabricOid);
    EXPECT_EQ(2u, objectMap().size()) << "only the other fabric and its switch remain";
    EXPECT_TRUE(stored(ObjectType::Fabric, 0x11));
    EXPECT_TRUE(stored(ObjectType::Switch, 0x12));
    EXPECT_EQ((std::vector<std::string>{"full 00181000006069000001 stored under capabilities",
                                        "active 00191000006069000001 stored under capabilities",
                                        "release " + fabricOid}),
              cache_.calls);
    EXPECT_EQ(nullptr, findObject(capsOid));
}

TEST_F(FabricTree, RemovingTheSwitchesLeavesTheFabricAndItsOtherObjects) {
    RemoveSwitchObjects(oidOf(getOrCreateObject(ObjectType::Switch, name(0x03))));
    EXPECT_FALSE(stored(ObjectType::Switch, 0x03));
    EXPECT_EQ(nullptr, findObject(indexedObjectOid(ObjectType::PortModule, name(0x03), 0)));
    EXPECT_TRUE(stored(ObjectType::Switch, 0x02));
    EXPECT_NE(nullptr, findObject(indexedObjectOid(ObjectType::PortModule, name(0x02), 0)));

    RemoveFabricSwitchObjects(oidOf(fabric_));
    EXPECT_FALSE(stored(ObjectType::Switch, 0x02));
    EXPECT_FALSE(stored(ObjectType::Switch, 0x04));
    EXPECT_EQ(0u, fabric_->getRelationCount("setSwitch")) << "no link names a removed switch";
    EXPECT_TRUE(stored(ObjectType::Fabric, 0x01));
    EXPECT_TRUE(stored(ObjectType::ZoningCapabilities, 0x01));
    EXPECT_TRUE(stored(ObjectType::Switch, 0x12));
    EXPECT_TRUE(cache_.calls.empty()) << "the zoning cache stays";
}

TEST_F(FabricTree, StaleLinksGoWhenTheFreshListNoLongerNamesThem) {
    dropStaleLinks(fabric_, ObjectType::Switch, {name(0x02), name(0x04)});
    EXPECT_FALSE(stored(ObjectType::Switch, 0x03));
    EXPECT_TRUE(stored(ObjectType::Switch, 0x02));
    EXPECT_EQ(2u, fabric_->getRelationCount("setSwitch"));
    dropStaleLinks(fabric_, ObjectType::Zone, {}); // no relation of that type
    EXPECT_EQ(2u, fabric_->getRelationCount("setSwitch"));
}

} // namespace
