#include "yarllite/RequestParser.h"

#include <chrono>
#include <regex>

#include <gtest/gtest.h>

#include "yarllite/TestDocument.h"

TEST(RequestParser, ReportsTheLastErrorWithLineAndColumn) {
    TestDocument malformed("<?xml version='1.0'?>\n<YarlRequest>\n<MsgType>x</Msg>");
    EXPECT_FALSE(malformed.parsed());
    EXPECT_TRUE(std::regex_match(malformed.errorText(),
                                 std::regex("Fatal error in input XML line [0-9]+ column [0-9]+ "
                                            "error [^\n]+\n")))
        << malformed.errorText();

    const std::string invalid = "<?xml version='1.0'?>\n"
                                "<!DOCTYPE YarlRequest [<!ELEMENT YarlRequest EMPTY>]>\n"
                                "<YarlRequest><MsgType>x</MsgType></YarlRequest>";
    TestDocument validated(invalid, true);
    EXPECT_FALSE(validated.parsed());
    EXPECT_EQ(0u, validated.errorText().rfind("Error in input XML line 3 column ", 0))
        << validated.errorText();
    TestDocument unvalidated(invalid, false);
    EXPECT_TRUE(unvalidated.parsed()) << "validity counts only when validating";
}

TEST(RequestParser, ErrorTextIsBoundedAndEndsWithItsLineBreak) {
    // Undeclared names are quoted in the messages; make them long.
    const std::string name(3000, 'n');
    TestDocument document("<?xml version='1.0'?><!DOCTYPE a []><a><" + name + "/></a>", true);
    EXPECT_FALSE(document.parsed());
    EXPECT_EQ(DOMTreeErrorReporter::kMaxTextLength, document.errorText().size());
    EXPECT_EQ('\n', document.errorText().back());
}

TEST(RequestParser, EndlessReportsStopAtTheBound) {
    // Every one of these elements is an error under validation: the parse
    // stops after the reporter's bound instead of reporting them all.
    std::string body;
    for (int i = 0; i < 20000; ++i) {
        body += "<b/>";
    }
    TestDocument document(
        "<?xml version='1.0'?><!DOCTYPE a [<!ELEMENT a EMPTY>]><a>" + body + "</a>", true);
    EXPECT_FALSE(document.parsed());
    EXPECT_NE(std::string::npos, document.errorText().find("Error in input XML"));
}

TEST(RequestParser, ADocumentWithoutRootIsRefused) {
    TestDocument document("<?xml version='1.0'?>");
    EXPECT_FALSE(document.parsed());
    EXPECT_EQ('\n', document.errorText().back());
}
