#include "yarllite/ReplyDocument.h"

#include <regex>

#include <gtest/gtest.h>

#include <orvane/version.h>

TEST(ReplyDocument, DateIsWeekdayMonthDayTwoBlanksTimeAndYearWithoutLeadingZeros) {
    const std::string date = formatResponseDate();
    const std::regex form(
        "(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
        "([1-9]|[12][0-9]|3[01])  ([0-9]|1[0-9]|2[0-3]):([0-9]|[1-5][0-9]):([0-9]|[1-5][0-9]|60) "
        "[1-9][0-9]{3}");
    EXPECT_TRUE(std::regex_match(date, form)) << date;
}

TEST(ReplyDocument, HeaderAndFooterFrameTheReply) {
    std::string reply;
    writeResponseHeader(reply, "GetObjects");
    writeResponseFooter(reply);
    const std::regex form("<\\?xml version='1.0' encoding='utf-8'\\?>\n<YarlResponse>\n"
                          "<Date>[^<\n]+</Date>\n<EchoMsgType>GetObjects</EchoMsgType>\n"
                          "</YarlResponse>\n");
    EXPECT_TRUE(std::regex_match(reply, form)) << reply;
}

TEST(ReplyDocument, VersionBlockHasTwoOrThreeLines) {
    const std::string api = "<APIVersion major=\"2\" minor=\"1\" vendor=\"Quillon\" />\n";
    const std::string yarl = std::string("<YarlVersion release=\"") + getVersion() + "\" />\n";
    const struct {
        VersionBlock lines;
        int encoding;
        std::string text;
    } cases[] = {
        {VersionBlock::None, 1, ""},
        {VersionBlock::TwoLines, 1, api + yarl},
        {VersionBlock::ThreeLines, 1,
         api + yarl + "<AttributeEncoding>yarlattr</AttributeEncoding>\n"},
        {VersionBlock::ThreeLines, 0,
         api + yarl + "<AttributeEncoding>en-us</AttributeEncoding>\n"},
    };
    for (const auto& c : cases) {
        std::string reply = "x";
        writeVersionBlock(reply, c.lines, c.encoding);
        EXPECT_EQ("x" + c.text, reply);
    }
}

TEST(ReplyDocument, EachFaultFormPlacesItsLineBreaksExactly) {
    const struct {
        FaultForm form;
        int code;
        std::string text;
    } cases[] = {
        {FaultForm::A, -93, "<Fault>\n<YarlErrorCode>-93</YarlErrorCode></Fault>\n"},
        {FaultForm::B, -92, "<Fault>\n<YarlErrorCode>-92</YarlErrorCode>\n</Fault>\n"},
        {FaultForm::C, -12, "<Fault>\n<YarlErrorCode>\n-12</YarlErrorCode></Fault>\n"},
        {FaultForm::B, 501, "<Fault>\n<YarlErrorCode>501</YarlErrorCode>\n</Fault>\n"},
        {FaultForm::A, 0, ""},
        {FaultForm::None, -3, ""},
        {FaultForm::Handler, -3, ""},
    };
    for (const auto& c : cases) {
        std::string reply;
        appendFaultForm(reply, c.form, c.code);
        EXPECT_EQ(c.text, reply) << c.code;
    }
    std::string reply;
    appendFault(reply, 0);
    EXPECT_EQ("", reply) << "appendFault with 0 appends nothing";
    appendFault(reply, -56);
    EXPECT_EQ("<Fault>\n<YarlErrorCode>-56</YarlErrorCode>\n</Fault>\n", reply);

    reply.clear();
    appendUnknownCommandFault(reply);
    EXPECT_EQ("<Fault>\n<YarlErrorCode>-3</YarlErrorCode>\n</Fault>\n", reply);
    reply.clear();
    appendDocumentFault(reply, "Error in input XML line 1 column 2 error 'a<b' & more\n");
    EXPECT_EQ("<Fault>\n<YarlErrorCode>-91</YarlErrorCode>\n<DetailString>Error in input XML line "
              "1 column 2 error &apos;a&lt;b&apos; &amp; more\n</DetailString>\n</Fault>\n",
              reply);
}
