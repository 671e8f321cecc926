#include "objects/ObjectTypes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ObjectTypes, EveryCodeHasItsNameAndOthersAreInvalid) {
    struct Case {
        unsigned short type;
        const char* name;
    } cases[] = {
        {0, "Unknown"},
        {1, "Port"},
        {9, "Fabric"},
        {11, "ZoneConfig"},
        {25, "ActiveZoneDB"},
        {32, "SecurityCapabilities"},
        {39, "LicensedProduct"},
        {53, "Blade"},
        {64, "ISL"},
        {0xFFFF, "Any"},
        {0xFFFB, "UndefinedZoningObject"},
        {26, "Invalid"},
        {47, "Invalid"},
        {65, "Invalid"},
        {ObjectType::DomainPortRef, "Invalid"},
        {ObjectType::SwitchPortGroup, "Invalid"},
        {ObjectType::ErrorRecord, "Invalid"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(objectTypeName(c.type), c.name) << c.type;
    }
}

TEST(ObjectTypes, FortyNineCodesHaveNames) {
    int named = 0;
    for (unsigned type = 0; type <= 0xFFFF; ++type) {
        named += std::string(objectTypeName(static_cast<unsigned short>(type))) != "Invalid";
    }
    EXPECT_EQ(named, 49);
}

} // namespace
