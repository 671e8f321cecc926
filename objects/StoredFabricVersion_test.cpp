#include "objects/StoredFabricVersion.h"

#include <gtest/gtest.h>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "objects/ObjectTypes.h"
#include "objects/testing/StoredTree.h"
#include "tests/support/LockHeldElsewhere.h"

namespace {

using stored_tree::name;

TEST(StoredFabricVersion, IsTheVersionOfTheObjectsFabric) {
    StoredObject* fabric = getOrCreateObject(ObjectType::Fabric, name(0x01));
    fabric->setStringAttr("ProxySwitchVersion", "v4.1.0");
    StoredObject* sw = getOrCreateObject(ObjectType::Switch, name(0x02));
    sw->addRelation("setParent", "00091000006069000001");
    StoredFabricVersion stored;
    EXPECT_EQ("v4.1.0", stored.proxySwitchVersion("00091000006069000001"));
    EXPECT_EQ("v4.1.0", stored.proxySwitchVersion("00021000006069000002"));
    EXPECT_EQ(std::nullopt, stored.proxySwitchVersion("00021000006069000009"));

    // Under the device-access lock, with the object-model lock held
    // elsewhere, it answers nothing rather than wait.
    {
        const LockHeldElsewhere model(getObjectStoreMutex());
        LockGuard device(getSwitchRequestMutex());
        EXPECT_EQ(std::nullopt, stored.proxySwitchVersion("00091000006069000001"));
    }
    eraseMap();
}

} // namespace
