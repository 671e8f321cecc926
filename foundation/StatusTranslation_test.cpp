#include "foundation/APIException.h"
#include "foundation/StatusTranslation.h"

#include <gtest/gtest.h>

#include <climits>

TEST(StatusTranslationTest, MapApiError) {
    struct Case {
        int code;
        int expected;
    };
    const Case cases[] = {
        // Codes above -10000 pass unchanged, but 14.
        {0, 0},
        {500, 500},
        {14, -67},
        {13, 13},
        {-2, -2},
        {-9999, -9999},
        // The request layer's table, first and last rows and the shared ones.
        {-10003, -36},
        {-10004, -17},
        {-10021, -3},
        {-10023, -4},
        {-10024, -87},
        {-10051, -52},
        {-10113, -52},
        {-10052, -53},
        {-10115, -53},
        {-10054, -55},
        {-10114, -55},
        {-10100, -21},
        {-10106, -21},
        {-10117, -66},
        {-10200, -56},
        {-10300, -63},
        {-10302, -61},
        {-19979, -218},
        // Passed through unchanged.
        {-10110, -10110},
        {-10111, -10111},
        {-10112, -10112},
        // Between -10000 and -20000 but not listed.
        {-10000, -1000},
        {-10022, -1000},
        {-10109, -1000},
        {-10118, -1000},
        {-19999, -1000},
        {-20000, -1000},
        // Listed codes below -20000 take their row before the module rule.
        {-20005, -86},
        {-20009, -56},
        {-20011, -36},
        {-60501, -44},
        {-60505, -44},
        {-60508, -44},
        {-60506, -58},
        {-60507, -58},
        {-60509, -58},
        {-60511, -58},
        {-60600, -83},
        {-60601, -83},
        {-60602, -87},
        {-60603, -83},
        {-60607, -83},
        {-60608, -43},
        {-60609, -83},
        {-60610, -1000},
        {-60701, -39},
        {-60712, -39},
        {-60702, -31},
        {-60706, -217},
        {-60708, -63},
        {-60710, -63},
        {-60713, -63},
        {-60711, -64},
        {-60715, -67},
        // Unlisted codes below -20000 are classed by module number.
        {-20001, -1000},
        {-20256, -14},
        {-85792, -14},
        {-70441, -101},
        {-60650, -1000},
        {-20512, -1000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MapApiError(c.code), c.expected) << "code " << c.code;
    }
}

// The code whose distance below -20000 has module m in its second byte.
static int codeOfModule(int module, int low = 0) {
    return -20000 - (module << 8) - low;
}

TEST(StatusTranslationTest, MapLowLevelErrorClassesEveryModule) {
    struct Case {
        int module;
        int expected;
    };
    const Case cases[] = {
        {0, -1000},   {1, -14},     {2, -1000},  {15, -1000}, {16, -21},   {23, -21},
        {24, -1000},  {48, -21},    {50, -21},   {51, -1000}, {52, -21},   {53, -1000},
        {54, -21},    {96, -1501},  {97, -1503}, {98, -1502}, {99, -1504}, {100, -1505},
        {101, -1506}, {145, -21},   {146, -21},  {150, -21},  {152, -21},  {165, -21},
        {181, -21},   {196, -1000}, {197, -101}, {198, -102}, {204, -108}, {210, -114},
        {211, -1000}, {218, -49},   {219, -63},  {220, -63},  {240, -14},  {241, -14},
        {255, -1000},
    };
    for (const Case& c : cases) {
        for (int low : {1, 0x80, 0xFF}) {
            const int code = codeOfModule(c.module, low);
            EXPECT_EQ(MapLowLevelError(code), c.expected) << "module " << c.module;
            // The class repeats every 65536 codes; bits above the module byte are ignored.
            EXPECT_EQ(MapLowLevelError(code - 65536), c.expected) << "module " << c.module;
            EXPECT_EQ(MapLowLevelError(code - 7 * 65536), c.expected) << "module " << c.module;
        }
    }
}

TEST(StatusTranslationTest, MapLowLevelErrorOutsideItsRange) {
    EXPECT_EQ(MapLowLevelError(0), 0);
    EXPECT_EQ(MapLowLevelError(-20000), -1000);
    EXPECT_EQ(MapLowLevelError(-19999), -1000);
    EXPECT_EQ(MapLowLevelError(5), -1000);
    // The lowest int: distance 2147463648, module byte 0xFE.
    EXPECT_EQ(MapLowLevelError(INT_MIN), -1000);
    EXPECT_EQ(MapApiError(INT_MIN), -1000);
}

TEST(APIExceptionTest, CarriesMessageAndCode) {
    EXPECT_EQ(APIException("failed").getCode(), 3045);
    EXPECT_EQ(APIException(std::string("failed")).getCode(), 3045);
    EXPECT_EQ(NetworkException("down").getCode(), 3045);

    const APIException e(std::string("Unable to connect."), -10200);
    EXPECT_EQ(e.getMessage(), "Unable to connect.");
    EXPECT_EQ(e.getCode(), -10200);
    EXPECT_STREQ(e.what(), "Unable to connect.");
    const APIException copy(e);
    EXPECT_EQ(copy.getMessage(), "Unable to connect.");
    EXPECT_EQ(copy.getCode(), -10200);
}

TEST(APIExceptionTest, SubclassesAreCaughtAsTheirBases) {
    try {
        throw ConnectionException("reset", -10023);
    } catch (const NetworkException& e) {
        EXPECT_EQ(e.getCode(), -10023);
        EXPECT_EQ(MapApiError(e.getCode()), -4);
    }
    try {
        throw SecurityUtilException(std::string("Unable to get local host address."), -10200);
    } catch (const APIException& e) {
        EXPECT_EQ(e.getMessage(), "Unable to get local host address.");
        EXPECT_EQ(e.getCode(), -10200);
    }
    try {
        throw NetworkException("down", -20256);
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "down");
    }
}
