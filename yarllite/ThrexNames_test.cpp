#include "yarllite/ThrexNames.h"

#include <string>

#include <gtest/gtest.h>

TEST(ThrexNames, NamesGiveTheirCodes) {
    const struct {
        const char* name;
        int classCode;
        int areaCode;
    } cases[] = {
        {"THREX_CLASS_FABRIC", 0, -1},
        {"THREX_CLASS_MIN", 0, -1},
        {"THREX_CLASS_F_PORT_CU", 5, -1},
        {"THREX_CLASS_GBIC", 6, -1},
        {"THREX_CLASS_MAX", 6, -1},
        {"THREX_CLASS_DEFAULT", -1, -1},
        {"THREX_AREA_TEMP", -1, 0},
        {"THREX_AREA_MIN", -1, 0},
        {"THREX_AREA_CRC", -1, 11},
        {"THREX_AREA_FABRIC_BRAIDEX", -1, 20},
        {"THREX_AREA_VOLTAGE", -1, 23},
        {"THREX_AREA_MAX", -1, 23},
        {"threx_class_fabric", -1, -1},
        {"THREX_AREA_TEMP ", -1, -1},
        {"", -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.classCode, CharToClass(c.name)) << c.name;
        EXPECT_EQ(c.areaCode, CharToArea(c.name)) << c.name;
    }
    EXPECT_EQ(-1, CharToClass(nullptr));
    EXPECT_EQ(-1, CharToArea(nullptr));
}

TEST(ThrexNames, EveryCodeInRangeHasTheNameThatReadsBackToIt) {
    for (int code = -1; code <= 6; ++code) {
        std::string name;
        ASSERT_EQ(0, ThrexClassNaming(code, name)) << code;
        EXPECT_EQ(code, CharToClass(name.c_str())) << name;
    }
    for (int code = -1; code <= 23; ++code) {
        std::string name;
        ASSERT_EQ(0, ThrexAreaNaming(code, name)) << code;
        EXPECT_EQ(code, CharToArea(name.c_str())) << name;
    }
    std::string appended = "<ThrexClass>";
    EXPECT_EQ(0, ThrexClassNaming(4, appended));
    EXPECT_EQ("<ThrexClass>THREX_CLASS_F_PORT_OP", appended) << "the name is appended";
}

TEST(ThrexNames, CodesOutOfRangeHaveNoName) {
    for (int code : {-2, 7, 1000}) {
        std::string name = "kept";
        EXPECT_EQ(-3, ThrexClassNaming(code, name)) << code;
        EXPECT_EQ("kept", name) << code;
    }
    for (int code : {-2, 24, -1000}) {
        std::string name = "kept";
        EXPECT_EQ(-3, ThrexAreaNaming(code, name)) << code;
        EXPECT_EQ("kept", name) << code;
    }
}
