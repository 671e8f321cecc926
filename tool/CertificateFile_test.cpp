#include "CertificateFile.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CertificateFile, ReadsEntriesByNameWhateverTheirOrder) {
    const CertificateDocument d = parseCertificateDocument(
        "<?xml version='1.0'?>\n<Switch_Data Type=\"VOSK_OUT\">\n"
        "  <Switch Name=\"x\" ISN=\"10:00:00:60:69:10:00:01\">"
        "<Certificate>-----BEGIN\r\nA&amp;B\n-----END\n</Certificate></Switch>\n"
        "  <Switch><Certificate>c</Certificate></Switch>\n"
        "  <Switch ISN=\"1\" Status=\"Error\"><Error>refused</Error></Switch>\n"
        "  <Other ISN=\"2\"/>\n"
        "</Switch_Data>\n");
    ASSERT_TRUE(d.parsed) << d.errorText;
    ASSERT_TRUE(d.hasSwitchData);
    ASSERT_EQ(d.entries.size(), 3u);
    EXPECT_EQ(d.entries[0].ISN, "10:00:00:60:69:10:00:01");
    EXPECT_TRUE(d.entries[0].hasCertificate);
    EXPECT_EQ(d.entries[0].certificate, "-----BEGIN\nA&B\n-----END\n");
    EXPECT_FALSE(d.entries[1].hasIsn);
    EXPECT_EQ(d.entries[2].status, "Error");
    EXPECT_EQ(d.entries[2].error, "refused");
    EXPECT_FALSE(d.entries[2].hasCertificate);
}

TEST(CertificateFile, RefusesWhatIsNotASafeSwitchDataDocument) {
    struct Case {
        const char* what;
        std::string text;
        bool parsed;
        bool switchData;
    } cases[] = {
        {"not XML", "<Switch_Data><Switch ISN=\"1\">", false, false},
        {"another root", "<Report><Switch ISN=\"1\"/></Report>", true, false},
        {"external entity",
         "<!DOCTYPE Switch_Data [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
         "<Switch_Data><Switch ISN=\"1\"><Certificate>&x;</Certificate></Switch></Switch_Data>",
         false, false},
        {"external document type",
         "<!DOCTYPE Switch_Data SYSTEM \"http://127.0.0.1:9/x.dtd\"><Switch_Data/>", true, true},
        {"entity expansion",
         "<!DOCTYPE Switch_Data [<!ENTITY a \"aaaaaaaaaa\">"
         "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">"
         "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>"
         "<Switch_Data><Switch ISN=\"1\"><Certificate>&d;</Certificate></Switch></Switch_Data>",
         false, false},
    };
    for (const Case& c : cases) {
        const CertificateDocument d = parseCertificateDocument(c.text);
        EXPECT_EQ(d.parsed, c.parsed) << c.what << ": " << d.errorText;
        EXPECT_EQ(d.hasSwitchData, c.switchData) << c.what;
        for (const CertificateEntry& entry : d.entries)
            EXPECT_EQ(entry.certificate.find("root:"), std::string::npos) << c.what;
    }
}

} // namespace
