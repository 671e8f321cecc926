// For unit tests: a request text parsed as the front end parses it.
#pragma once

#include <string>

#include <gtest/gtest.h>

#include "yarllite/RequestParser.h"
#include "yarllite/XmlPlatform.h"

class TestDocument {
public:
    explicit TestDocument(std::string text, bool validate = false) : text_(std::move(text)) {
        parsed_ = parser_.parse(text_, validate);
    }

    bool parsed() const { return parsed_; }
    const std::string& errorText() const { return parser_.errorText(); }
    xercesc::DOMElement* root() { return parser_.root(); }

private:
    static bool readyPlatform() {
        std::string failure;
        EXPECT_TRUE(readyXmlPlatform(failure)) << failure;
        return true;
    }

    bool platformReady_ = readyPlatform(); // before the parser is made
    std::string text_;
    RequestParser parser_;
    bool parsed_ = false;
};
