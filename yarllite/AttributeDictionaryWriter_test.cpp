#include "yarllite/AttributeDictionaryWriter.h"

#include <regex>

#include <gtest/gtest.h>

#include "yarllite/TestDocument.h"

TEST(AttributeDictionaryWriter, WritesEveryNamedRowOfTheTableInOrder) {
    std::string block;
    writeAttributeDictionary(block);
    ASSERT_EQ(0u, block.rfind("<Dictionary>\n", 0));
    ASSERT_TRUE(block.ends_with("\" />\n</Dictionary>\n"));
    EXPECT_TRUE(TestDocument(block).parsed()) << "a well-formed element";

    const std::regex line("<Attr Name=\"([^\"]*)\" Traits=\"0x([0-9a-f]+)\" "
                          "YARLATTR=\"0x([1-9a-f][0-9a-f]*)\" />\n");
    std::size_t written = 0;
    auto row = attributeDictionary().begin();
    for (auto it = std::sregex_iterator(block.begin(), block.end(), line);
         it != std::sregex_iterator(); ++it, ++written, ++row) {
        while (row != attributeDictionary().end() && (row->code == 0 || row->name[0] == '\0')) {
            ++row;
        }
        ASSERT_NE(attributeDictionary().end(), row);
        EXPECT_EQ(row->name, (*it)[1].str());
        EXPECT_EQ(row->traits, std::stoul((*it)[2].str(), nullptr, 16)) << row->name;
        EXPECT_EQ(row->code, std::stoul((*it)[3].str(), nullptr, 16)) << row->name;
    }
    EXPECT_EQ(424u, written) << "all rows but the invalid one and the one without a name";
    EXPECT_NE(std::string::npos,
              block.find("\n<Attr Name=\"OID\" Traits=\"0x20\" YARLATTR=\"0xb0002\" />\n"));
    EXPECT_EQ(std::string::npos, block.find("-Unnamed-"));
}

TEST(AttributeDictionaryWriter, PassesOverRowsWithoutCodeOrNameAndEscapesNames) {
    const AttributeDictionaryEntry rows[] = {
        {0x0, 0x0, "YARLATTR_INVALID", "-Unnamed-"},
        {0x40001, 0xa, "YARLATTR_NONAME", ""},
        {0x80004, 0x0, "YARLATTR_ODD", "A<b>&\"c'"},
        {0xffffffff, 0x1, "YARLATTR_WIDE", "Wide"},
    };
    std::string block = "kept\n";
    writeAttributeDictionary(block, rows);
    EXPECT_EQ("kept\n<Dictionary>\n"
              "<Attr Name=\"A&lt;b&gt;&amp;&quot;c&apos;\" Traits=\"0x0\" YARLATTR=\"0x80004\" />\n"
              "<Attr Name=\"Wide\" Traits=\"0x1\" YARLATTR=\"0xffffffff\" />\n"
              "</Dictionary>\n",
              block);
}
