#include "objects/StoredFabricVersion.h"

#include <gtest/gtest.h>

#include <future>

#include "api/ObjectStore.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "objects/ObjectTypes.h"

namespace {

WWNAddress name(unsigned char last) {
    const unsigned char bytes[8] = {0x10, 0x00, 0x00, 0x60, 0x69, 0x00, 0x00, last};
    return WWNAddress(bytes);
}

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
    std::promise<void> held;
    std::promise<void> release;
    auto holder = std::async(std::launch::async, [&] {
        LockGuard model(getObjectStoreMutex());
        held.set_value();
        release.get_future().wait();
    });
    held.get_future().wait();
    {
        LockGuard device(getSwitchRequestMutex());
        EXPECT_EQ(std::nullopt, stored.proxySwitchVersion("00091000006069000001"));
    }
    release.set_value();
    holder.get();
    eraseMap();
}

} // namespace
