#include <gtest/gtest.h>

#include "sim/Base64.h"

namespace {

TEST(Base64, DecodesPaddedTextAndRefusesTheRest) {
    using namespace std::string_literals;
    struct Case {
        const char* text;
        std::optional<std::string> decoded;
    } cases[] = {
        {"", ""s},
        {"YQ==", "a"s},
        {"YWI=", "ab"s},
        {"YWJj", "abc"s},
        {"cGFzc3dvcmQ6YWRtaW4A", "password:admin\0"s},
        {"+/8=", "\xfb\xff"s},
        {"YWJ", std::nullopt},      // not a multiple of four
        {"YW=j", std::nullopt},     // padding in the middle of a group
        {"Y===", std::nullopt},     // three padding characters
        {"YQ==YQ==", std::nullopt}, // padding before the end
        {"YW*j", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(decodeBase64(c.text), c.decoded) << c.text;
    }
}

} // namespace
