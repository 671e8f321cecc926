#include "yarllite/DomAccess.h"

#include <gtest/gtest.h>

#include "yarllite/TestDocument.h"
#include "yarllite/XercesText.h"

namespace {

const char kRequest[] = "<?xml version='1.0'?>\n"
                        "<YarlRequest>"
                        "<Name>  padded &#13;\n</Name>"
                        "<Empty/><Late/><Late>second</Late>"
                        "<Mixed><!--c--><![CDATA[cdata]]>text<b/></Mixed>"
                        "<Outer><Inner id='1'/></Outer><Inner id='2'/>"
                        "<Login name='admin ' password='' />"
                        "</YarlRequest>";

} // namespace

TEST(DomAccess, ElementTextLosesOnlyItsTrailingWhiteSpace) {
    TestDocument document(kRequest);
    ASSERT_TRUE(document.parsed()) << document.errorText();
    const xercesc::DOMNode* name = fetchNodeByName(document.root(), "Name");
    ASSERT_NE(nullptr, name);
    EXPECT_EQ("  padded", extractText(name));
    EXPECT_EQ("  padded \r\n", extractText(document.root(), "Name")) << "the by-name form keeps it";
    EXPECT_EQ("", extractText(fetchNodeByName(document.root(), "Empty")));
    EXPECT_EQ("", extractText(nullptr));
}

TEST(DomAccess, ByNameFormTakesTheFirstElementThatHasText) {
    TestDocument document(kRequest);
    ASSERT_TRUE(document.parsed());
    EXPECT_EQ("second", extractText(document.root(), "Late"));
    EXPECT_EQ("text", extractText(document.root(), "Mixed"))
        << "comments and CDATA sections are not text nodes";
    EXPECT_EQ("", extractText(document.root(), "Missing"));
}

TEST(DomAccess, AttributesAreTrimmedAndMissingOnesEmpty) {
    TestDocument document(kRequest);
    ASSERT_TRUE(document.parsed());
    const xercesc::DOMNode* login = fetchNodeByName(document.root(), "Login");
    ASSERT_NE(nullptr, login);
    EXPECT_EQ("admin", fetchAttrValue(login, "name"));
    const std::string password = fetchAttrValue(login, "password");
    const std::string missing = fetchAttrValue(login, "other");
    EXPECT_TRUE(isEmptyText(password.c_str()));
    EXPECT_TRUE(isEmptyText(missing.c_str()));
    EXPECT_EQ("", fetchAttrValue(fetchNodeByName(document.root(), "Empty"), "x"))
        << "a node without attributes";
    EXPECT_EQ("admin ", fetchAttrText(login, "name")) << "the unchanged form keeps it";
    EXPECT_EQ("", fetchAttrText(login, "other"));
    EXPECT_FALSE(isEmptyText("x"));
    EXPECT_TRUE(isEmptyText(nullptr));
}

TEST(DomAccess, ElementsAreFoundAtAnyDepthInDocumentOrder) {
    TestDocument document(kRequest);
    ASSERT_TRUE(document.parsed());
    EXPECT_EQ("1", fetchAttrValue(fetchNodeByName(document.root(), "Inner"), "id"))
        << "a grandchild comes before a later child";
    const auto all = elementsNamed(document.root(), "Inner");
    ASSERT_EQ(2u, all.size());
    EXPECT_EQ("2", fetchAttrValue(all[1], "id"));
    EXPECT_EQ(nullptr, fetchNodeByName(document.root(), "Missing"));
    EXPECT_EQ(nullptr, fetchNodeByName(nullptr, "Inner"));
}
