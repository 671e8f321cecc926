#include "yarllite/RequestHead.h"

#include <gtest/gtest.h>

#include "yarllite/TestDocument.h"

namespace {

RequestHead headOf(const std::string& body) {
    TestDocument document("<?xml version='1.0'?>" + body);
    EXPECT_TRUE(document.parsed()) << document.errorText();
    return document.parsed() ? RequestHead::read(document.root()) : RequestHead{};
}

} // namespace

TEST(RequestHead, CommandNameLosesBlanksLineFeedsAndTabsOnly) {
    const struct {
        std::string body;
        std::string command;
    } cases[] = {
        {"<YarlRequest><MsgType>GetObjects</MsgType></YarlRequest>", "GetObjects"},
        {"<YarlRequest><MsgType>\n\t Get Objects \n</MsgType></YarlRequest>", "GetObjects"},
        // The parser reads a raw carriage return as a line feed; a written one stays.
        {"<YarlRequest><MsgType>Get\rObjects</MsgType></YarlRequest>", "GetObjects"},
        {"<YarlRequest><MsgType>Get&#13;Objects</MsgType></YarlRequest>", "Get\rObjects"},
        {"<YarlRequest><MsgType/><a><MsgType>Exit</MsgType></a></YarlRequest>", "Exit"},
        {"<YarlRequest><MsgType><![CDATA[Exit]]></MsgType></YarlRequest>", ""},
        {"<YarlRequest MsgType='Exit'/>", ""},
        {"<Other><deep><MsgType>FaultResponse</MsgType></deep></Other>", "FaultResponse"},
        {"<MsgType>Exit</MsgType>", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.command, headOf(c.body).command) << c.body;
    }
}

TEST(RequestHead, DictionaryAndEncodingNeedTheirExactWords) {
    const struct {
        std::string body;
        bool dictionary;
        int encoding;
    } cases[] = {
        {"<R/>", false, 0},
        {"<R><YarlFormat>Dictionary</YarlFormat><AttributeEncoding>yarlattr</AttributeEncoding></"
         "R>",
         true, 1},
        {"<R><YarlFormat> "
         "Dictionary\n</YarlFormat><AttributeEncoding>en-us</AttributeEncoding></R>",
         true, 0},
        {"<R><YarlFormat>dictionary</YarlFormat><AttributeEncoding>YarlAttr</AttributeEncoding></"
         "R>",
         false, 0},
    };
    for (const auto& c : cases) {
        const RequestHead head = headOf(c.body);
        EXPECT_EQ(c.dictionary, head.dictionary) << c.body;
        EXPECT_EQ(c.encoding, head.attributeEncoding) << c.body;
    }
}
