#include "services/ConfigManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace {

TEST(ConfigManagerKeys, KeysAgainstThePrefixList) {
    const std::string list = "[online]\na.\nsys\n[non-supported]\nb.\n[online]\nc.\n";
    struct Case {
        const char* key;
        int expected;
    };
    const Case cases[] = {
        {"a.x", 0},
        {"system.name", 0},
        {"b.y", 2},
        {"c.z", 0}, // a later "[online]" section counts too
        {"d.w", 1},
        {"xa.x", 1}, // prefixes start the key
        {"D_Telnet.TELNET_POLICY", 2},
        {"a.A_Dcc.DCC_POLICY.x", 2}, // a fixed policy key anywhere in the key
        {"", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, ConfigManager::checkKey(c.key, list)) << c.key;
    EXPECT_EQ(0, ConfigManager::checkKey(nullptr, list));
    EXPECT_EQ(1, ConfigManager::checkKey("a.x", ""));
    const std::string longKey = "a." + std::string(4096, 'k');
    EXPECT_EQ(0, ConfigManager::checkKey(longKey.c_str(), list));
}

TEST(ConfigManagerKeys, FixedPolicyKeysInOrder) {
    const std::string keys = ConfigManager::fixedPolicyKeys();
    EXPECT_EQ(0u, keys.find("D_Options.OPTIONS_POLICY\nA_Options.OPTIONS_POLICY\n"));
    EXPECT_EQ(keys.size() - std::string("A_Dcc.DCC_POLICY").size(), keys.rfind("A_Dcc.DCC_POLICY"));
    EXPECT_EQ(23, std::count(keys.begin(), keys.end(), '\n'));
}

std::vector<std::string> tokensOf(std::string text, const char* delimiters) {
    std::vector<std::string> tokens;
    for (char* token = nextToken(text.data(), delimiters); token != nullptr;
         token = nextToken(nullptr, delimiters))
        tokens.emplace_back(token);
    return tokens;
}

TEST(NextToken, SplitsLikeStrtok) {
    EXPECT_EQ((std::vector<std::string>{"a", "b", "c"}), tokensOf("::a:b;;c;", ":;"));
    EXPECT_EQ((std::vector<std::string>{"key"}), tokensOf("key", ":"));
    EXPECT_TRUE(tokensOf("", ":").empty());
    EXPECT_TRUE(tokensOf(":::", ":").empty());
    EXPECT_EQ(nullptr, nextToken(nullptr, ":")); // nothing left after the end

    // The delimiters may change between calls.
    std::string text = "k:v w";
    EXPECT_STREQ("k", nextToken(text.data(), ":"));
    EXPECT_STREQ("v", nextToken(nullptr, " "));
    EXPECT_STREQ("w", nextToken(nullptr, " "));
}

TEST(NextToken, EachThreadKeepsItsOwnPosition) {
    std::string mine = "1 2 3";
    ASSERT_STREQ("1", nextToken(mine.data(), " "));
    std::vector<std::string> other;
    std::thread([&] { other = tokensOf("x y", " "); }).join();
    EXPECT_EQ((std::vector<std::string>{"x", "y"}), other);
    EXPECT_STREQ("2", nextToken(nullptr, " "));

    char* position = nullptr;
    std::string explicitText = "p,q";
    EXPECT_STREQ("p", nextToken(explicitText.data(), ",", &position));
    EXPECT_STREQ("3", nextToken(nullptr, " "));
    EXPECT_STREQ("q", nextToken(nullptr, ",", &position));
    EXPECT_EQ(nullptr, nextToken(nullptr, ",", &position));
}

} // namespace
