#include "yarllite/RequestParser.h"

#include <chrono>
#include <regex>

#include <gtest/gtest.h>

#include "yarllite/TestDocument.h"

#include <xercesc/util/PlatformUtils.hpp>

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

TEST(RequestParser, AFatalErrorInAContentModelLeavesNoMemoryBehind) {
    // The parser drops the nodes of a half-read content model when a fatal
    // error ends the parse there; the parse's own memory frees them (the
    // leak checker of a sanitized build fails the run otherwise).
    for (const char* model : {"(b, c?%", "(b|(c,d*", "((b,c)|d,e?)+|", "(#PCDATA|b"}) {
        const std::string text = std::string("<?xml version='1.0'?>\n<!DOCTYPE a [\n"
                                              "<!ELEMENT a ") +
                                 model + ">\n]>\n<a/>";
        TestDocument document(text, true);
        EXPECT_FALSE(document.parsed()) << model;
        EXPECT_EQ(0u, document.errorText().rfind("Fatal error in input XML line 3 ", 0))
            << model << ": " << document.errorText();
    }
}

TEST(ParseMemory, GivesBackWhatItWasGivenAndFreesTheRestAtItsEnd) {
    ParseMemory memory;
    void* kept = memory.allocate(64);
    void* freed = memory.allocate(16);
    EXPECT_EQ(2u, memory.blocksHeld());
    memory.deallocate(freed);
    EXPECT_EQ(1u, memory.blocksHeld());
    static_cast<char*>(kept)[63] = 'x'; // still usable until the end
    EXPECT_EQ(xercesc::XMLPlatformUtils::fgMemoryManager, memory.getExceptionMemoryManager());
}
