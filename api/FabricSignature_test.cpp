#include "api/FabricSignature.h"

#include <gtest/gtest.h>

namespace {

WWNAddress wwn(unsigned char last) {
    const unsigned char bytes[8] = {0x10, 0, 0, 0x60, 0x69, 0, 0, last};
    return WWNAddress(bytes);
}

TEST(FabricSignature, EqualsComparesTheFabricAndEverySwitch) {
    std::set<WWNAddress> ab;
    ab.insert(wwn(2));
    ab.insert(wwn(1));
    std::set<WWNAddress> ba;
    ba.insert(wwn(1));
    ba.insert(wwn(2));
    const FabricSignature one(wwn(9), ab, true);
    EXPECT_TRUE(one.equals(FabricSignature(wwn(9), ba, false)));
    EXPECT_FALSE(one.equals(FabricSignature(wwn(8), ba, true)));
    EXPECT_FALSE(one.equals(FabricSignature(wwn(9), {wwn(1)}, true)));
    EXPECT_TRUE(FabricSignature(wwn(1), {}, true).lessThan(one));
}

TEST(FabricSignature, SetSwitchesCompletesTheSignature) {
    FabricSignature signature(WWNAddress(), {}, false);
    EXPECT_TRUE(signature.hasZeroFabricWWN());
    EXPECT_FALSE(signature.isComplete());
    signature.setSwitches({wwn(3)});
    EXPECT_TRUE(signature.isComplete());
    EXPECT_TRUE(signature.containsSwitch(wwn(3)));
    const unsigned char raw[8] = {0x10, 0, 0, 0x60, 0x69, 0, 0, 3};
    EXPECT_TRUE(signature.containsSwitch(raw));
    EXPECT_FALSE(signature.containsSwitch(wwn(4)));
}

} // namespace
