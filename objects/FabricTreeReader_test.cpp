#include "objects/FabricTreeReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/ObjectStore.h"
#include "foundation/WWNAddress.h"
#include "objects/ObjectTypes.h"
#include "objects/testing/StoredTree.h"

namespace {

using stored_tree::link;
using stored_tree::name;
using stored_tree::oidOf;

// A fabric at level 3 with two switches (listed out of order), and a second
// fabric stored without a level.
class FabricTreeReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        fabric = getOrCreateObject(ObjectType::Fabric, name(0x01));
        fabric->setShortAttr("fabVersion", 3);
        first = getOrCreateObject(ObjectType::Switch, name(0x02));
        second = getOrCreateObject(ObjectType::Switch, name(0x03));
        link(first, fabric);
        link(second, fabric);
        fabric->addRelation("setSwitch", oidOf(second));
        fabric->addRelation("setSwitch", oidOf(first));
        getOrCreateObject(ObjectType::Fabric, name(0x09));
    }
    void TearDown() override { eraseMap(); }

    FabricTreeReader reader;
    StoredObject* fabric = nullptr;
    StoredObject* first = nullptr;
    StoredObject* second = nullptr;
};

TEST_F(FabricTreeReaderTest, StoredLevelOfTheNamedFabricOnly) {
    EXPECT_EQ(3, reader.storedFabricLevel(name(0x01)));
    EXPECT_EQ(std::nullopt, reader.storedFabricLevel(name(0x09))) << "stored without a level";
    EXPECT_EQ(std::nullopt, reader.storedFabricLevel(name(0x02))) << "a switch's name";
    EXPECT_EQ(std::nullopt, reader.storedFabricLevel(name(0x7f))) << "not stored";
}

TEST_F(FabricTreeReaderTest, SwitchesOfTheFabricThatHoldsTheObject) {
    const std::vector<std::string> sorted = {oidOf(first), oidOf(second)};
    for (const StoredObject* object : {fabric, first, second}) {
        SCOPED_TRACE(oidOf(object));
        EXPECT_EQ(sorted, reader.fabricSwitches(oidOf(object)));
    }
    EXPECT_EQ(std::nullopt, reader.fabricSwitches("000910000060690000ff"));
}

} // namespace
