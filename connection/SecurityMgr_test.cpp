#include "connection/SecurityMgr_Impl_Basic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The password login's text: password, colon, user name and the NUL.
const std::string loginText = std::string("secret:admin") + '\0';

TEST(SecurityMgrBasic, EncodesTheLoginTextAndDecodesItBack) {
    SecurityMgr_Impl_Basic manager;
    EXPECT_EQ(manager.initialize(), 0);
    const int n = static_cast<int>(loginText.size());

    std::vector<char> encoded(manager.encodedSize(n) + 1, '#');
    unsigned encodedCount = 0;
    ASSERT_EQ(manager.encode(loginText.data(), encoded.data(), n, &encodedCount), 0);
    EXPECT_STREQ(encoded.data(), "c2VjcmV0OmFkbWluAA==");
    EXPECT_EQ(encodedCount, 18u); // alphabet characters, without the padding

    const int textLength = 20;
    std::vector<char> decoded(manager.decodedSize(textLength) + 1, '#');
    int decodedCount = 0;
    ASSERT_EQ(manager.decode(encoded.data(), decoded.data(), textLength, &decodedCount), 0);
    EXPECT_EQ(decodedCount, n);
    EXPECT_EQ(std::string(decoded.data(), static_cast<std::size_t>(decodedCount)), loginText);
    EXPECT_EQ(manager.finalize(0), 0);
}

TEST(SecurityMgrBasic, SizeEstimatesAreTheBase64Ones) {
    SecurityMgr_Impl_Basic manager;
    EXPECT_EQ(manager.encodedSize(0), 9u);
    EXPECT_EQ(manager.encodedSize(13), 13u * 8 / 6 + 9);
    EXPECT_EQ(manager.decodedSize(20), 20u * 6 / 8 + 9);
}

TEST(SecurityMgrBasic, NullOrEmptyArgumentsGiveBadArgument) {
    SecurityMgr_Impl_Basic manager;
    char out[64] = "untouched";
    unsigned encodedCount = 7;
    int decodedCount = 7;
    EXPECT_EQ(manager.encode(nullptr, out, 4, &encodedCount), -10021);
    EXPECT_EQ(manager.encode("abcd", nullptr, 4, &encodedCount), -10021);
    EXPECT_EQ(manager.encode("abcd", out, 4, nullptr), -10021);
    EXPECT_EQ(manager.encode("abcd", out, 0, &encodedCount), -10021);
    EXPECT_EQ(manager.decode(nullptr, out, 4, &decodedCount), -10021);
    EXPECT_EQ(manager.decode("YWJj", nullptr, 4, &decodedCount), -10021);
    EXPECT_EQ(manager.decode("YWJj", out, 4, nullptr), -10021);
    EXPECT_EQ(manager.decode("YWJj", out, 0, &decodedCount), -10021);
    EXPECT_STREQ(out, "untouched");
    EXPECT_EQ(encodedCount, 7u);
    EXPECT_EQ(decodedCount, 7);
}

TEST(SecurityMgrInstance, OnlyKindOneMakesAManager) {
    for (int kind : {0, 2, -1, 101}) {
        EXPECT_EQ(createSecurityManager(kind), nullptr) << "kind " << kind;
        EXPECT_EQ(getSecurityManager(), nullptr) << "kind " << kind;
    }
    SecurityMgr_Ifc* made = createSecurityManager(1);
    ASSERT_NE(made, nullptr);
    EXPECT_NE(dynamic_cast<SecurityMgr_Impl_Basic*>(made), nullptr);
    EXPECT_EQ(getSecurityManager(), made);
    EXPECT_EQ(createSecurityManager(1), made) << "a second start keeps the manager";
    EXPECT_EQ(createSecurityManager(2), nullptr);
    EXPECT_EQ(getSecurityManager(), made) << "another kind leaves the manager alone";

    deleteSecurityManager();
    EXPECT_EQ(getSecurityManager(), nullptr);
    deleteSecurityManager();
}

} // namespace
