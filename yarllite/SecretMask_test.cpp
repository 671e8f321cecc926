#include "yarllite/SecretMask.h"

#include <gtest/gtest.h>

TEST(SecretMask, MasksPasswordAttributesElementsAndEntityValues) {
    const struct {
        std::string request;
        std::string masked;
    } cases[] = {
        {R"(<Login name="admin" password="topsecret" />)",
         R"(<Login name="admin" password="********" />)"},
        {R"(<Login password = 'top"secret' name='x'/>)",
         R"(<Login password = '********' name='x'/>)"},
        {R"(<P pcPassword="a" PASSWORD="b" user="c">)",
         R"(<P pcPassword="********" PASSWORD="********" user="c">)"},
        {"<hostPassword>pw 1</hostPassword><hostLogin>me</hostLogin>",
         "<hostPassword>********</hostPassword><hostLogin>me</hostLogin>"},
        {"<hostPassword><![CDATA[s<e>cret]]></hostPassword>",
         "<hostPassword>********</hostPassword>"},
        {"<hostPassword/><x>kept</x>", "<hostPassword/><x>kept</x>"},
        {R"(<!DOCTYPE a [<!ENTITY pw "topsecret">]><a/>)",
         R"(<!DOCTYPE a [<!ENTITY pw "********">]><a/>)"},
        {R"(<!ENTITY  % p 'x'><!ENTITY f SYSTEM "file:///f"><!ENTITY g PUBLIC "-//p" 'u'>)",
         R"(<!ENTITY  % p '********'><!ENTITY f SYSTEM "file:///f"><!ENTITY g PUBLIC "-//p" 'u'>)"},
        {R"(<Login password="unterminated)", R"(<Login password="********)"},
        {"<hostPassword>to the end", "<hostPassword>********"},
        {R"(<MsgType>password</MsgType><a b="password"/>)",
         R"(<MsgType>password</MsgType><a b="password"/>)"},
        {"", ""},
        {"<", "<"},
        {R"(<a password=>)", R"(<a password=>)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.masked, SecretMask(c.request).masked()) << c.request;
    }
}

TEST(SecretMask, RedactsEveryOccurrenceOfASecretInAnotherText) {
    const SecretMask mask(R"(<Login name="admin" password="topsecret"/><x password=""/>)");
    EXPECT_EQ("attribute 'password' has value '********', and ******** again",
              mask.redact("attribute 'password' has value 'topsecret', and topsecret again"));
    EXPECT_EQ("admin stays", mask.redact("admin stays"))
        << "only secrets go; empty ones match nothing";
}

TEST(SecretMask, RedactionNeverMatchesItsOwnMasks) {
    // Secrets made of the mask's own character, and secrets inside others:
    // each run of secret text becomes one mask, however many secrets match.
    std::string request = "<!DOCTYPE a [";
    for (int i = 1; i <= 3; ++i) {
        request += "<!ENTITY e" + std::to_string(i) + " \"" + std::string(i, '*') + "\">";
    }
    request += "<!ENTITY k \"key\"><!ENTITY m \"monkey\">]><a/>";
    const SecretMask mask(request);
    EXPECT_EQ("x ******** y ******** z", mask.redact("x * y ** z"));
    EXPECT_EQ("a ******** b", mask.redact("a monkey b")) << "overlapping secrets make one run";
    EXPECT_EQ("********", mask.redact("keykey"));
}
