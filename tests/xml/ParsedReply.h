// A reply read back with the XML parser, as a client of the command
// interface reads it: whether the parser takes it as a well-formed document,
// the parser's first complaint, and the text of an element. Needs Xerces-C
// (the tests that link orvane_core have it) and initializeCommand first.
#pragma once

#include <string>

#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/dom/DOMNodeList.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLString.hpp>

namespace xmlreply {

class ParsedReply {
public:
    explicit ParsedReply(const std::string& reply) : text_(reply) {
        parser_.setDoNamespaces(false);
        parser_.setLoadExternalDTD(false);
        parser_.setValidationScheme(xercesc::XercesDOMParser::Val_Never);
        parser_.setErrorHandler(&errors_);
        xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(text_.data()),
                                          text_.size(), "reply");
        try {
            parser_.parse(source);
        } catch (...) {
            errors_.note("the parser threw");
        }
    }

    bool wellFormed() const {
        return errors_.first.empty() && parser_.getErrorCount() == 0 &&
               parser_.getDocument() != nullptr &&
               parser_.getDocument()->getDocumentElement() != nullptr;
    }
    const std::string& error() const { return errors_.first; }

    // The text of the first element of the name, as UTF-8; empty when there
    // is none.
    std::string text(const char* name) const {
        if (!wellFormed()) {
            return "";
        }
        XMLCh* wanted = xercesc::XMLString::transcode(name);
        xercesc::DOMNodeList* found =
            parser_.getDocument()->getDocumentElement()->getElementsByTagName(wanted);
        xercesc::XMLString::release(&wanted);
        if (found == nullptr || found->getLength() == 0) {
            return "";
        }
        xercesc::TranscodeToStr utf8(found->item(0)->getTextContent(), "UTF-8");
        return std::string(reinterpret_cast<const char*>(utf8.str()), utf8.length());
    }

private:
    struct Errors : xercesc::ErrorHandler {
        std::string first;
        void note(const std::string& message) {
            if (first.empty()) {
                first = message;
            }
        }
        void note(const xercesc::SAXParseException& e) {
            char* message = xercesc::XMLString::transcode(e.getMessage());
            note(std::string(message) + " (line " + std::to_string(e.getLineNumber()) +
                 ", column " + std::to_string(e.getColumnNumber()) + ")");
            xercesc::XMLString::release(&message);
        }
        void warning(const xercesc::SAXParseException&) override {}
        void error(const xercesc::SAXParseException& e) override { note(e); }
        void fatalError(const xercesc::SAXParseException& e) override { note(e); }
        void resetErrors() override {}
    };

    std::string text_;
    Errors errors_;
    mutable xercesc::XercesDOMParser parser_;
};

} // namespace xmlreply
