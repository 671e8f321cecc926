#include "CertificateFile.h"

#include <memory>

#include <xercesc/dom/DOMAttr.hpp>
#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/dom/DOMException.hpp>
#include <xercesc/dom/DOMNode.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/sax/ErrorHandler.hpp>
#include <xercesc/sax/SAXParseException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>
#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLEntityResolver.hpp>
#include <xercesc/util/XMLException.hpp>
#include <xercesc/util/XMLString.hpp>

namespace {

using namespace xercesc;

// More entity expansions than this end the parse.
constexpr XMLSize_t EntityExpansionLimit = 1000;

std::string toUtf8(const XMLCh* text) {
    if (text == nullptr)
        return {};
    TranscodeToStr utf8(text, "UTF-8");
    return std::string(reinterpret_cast<const char*>(utf8.str()), utf8.length());
}

std::u16string toXml(const char* text) {
    std::u16string out;
    for (; *text != '\0'; ++text)
        out.push_back(static_cast<char16_t>(*text));
    return out;
}

// Resolves nothing: every external entity and external document type is
// refused, so nothing is read from a file or the network.
class RefusingResolver : public XMLEntityResolver {
public:
    InputSource* resolveEntity(XMLResourceIdentifier*) override { return nullptr; }
};

// Any error ends the parse: a file that is not well-formed installs nothing.
class StopOnError : public ErrorHandler {
public:
    struct Stopped {};
    void warning(const SAXParseException&) override {}
    void error(const SAXParseException& exception) override { stop(exception); }
    void fatalError(const SAXParseException& exception) override { stop(exception); }
    void resetErrors() override { text.clear(); }
    std::string text;

private:
    [[noreturn]] void stop(const SAXParseException& exception) {
        text = toUtf8(exception.getMessage()) + " (line " +
               std::to_string(exception.getLineNumber()) + ")";
        throw Stopped{};
    }
};

void initializeParser() {
    static const bool initialized = [] {
        XMLPlatformUtils::Initialize();
        return true;
    }();
    (void)initialized;
}

bool named(const DOMNode* node, const std::u16string& name) {
    return node->getNodeType() == DOMNode::ELEMENT_NODE &&
           XMLString::equals(node->getNodeName(), reinterpret_cast<const XMLCh*>(name.c_str()));
}

const DOMElement* firstChild(const DOMElement* parent, const std::u16string& name) {
    for (const DOMNode* child = parent->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (named(child, name))
            return static_cast<const DOMElement*>(child);
    }
    return nullptr;
}

CertificateEntry readEntry(const DOMElement* element) {
    static const std::u16string isn = toXml("ISN"), status = toXml("Status"),
                                error = toXml("Error"), certificate = toXml("Certificate");
    CertificateEntry entry;
    const auto* isnAttribute = element->getAttributeNode(reinterpret_cast<const XMLCh*>(isn.c_str()));
    entry.hasIsn = isnAttribute != nullptr;
    if (entry.hasIsn)
        entry.ISN = toUtf8(isnAttribute->getValue());
    entry.status = toUtf8(element->getAttribute(reinterpret_cast<const XMLCh*>(status.c_str())));
    if (const DOMElement* text = firstChild(element, error))
        entry.error = toUtf8(text->getTextContent());
    if (const DOMElement* text = firstChild(element, certificate)) {
        entry.hasCertificate = true;
        entry.certificate = toUtf8(text->getTextContent());
    }
    return entry;
}

} // namespace

CertificateDocument parseCertificateDocument(std::string_view text) {
    static const std::u16string switchData = toXml("Switch_Data"), switchName = toXml("Switch");
    initializeParser();
    CertificateDocument document;
    RefusingResolver resolver;
    SecurityManager security;
    security.setEntityExpansionLimit(EntityExpansionLimit);
    StopOnError errors;
    XercesDOMParser parser;
    parser.setValidationScheme(XercesDOMParser::Val_Never);
    parser.setDoNamespaces(false);
    parser.setDoSchema(false);
    parser.setLoadSchema(false);
    parser.setLoadExternalDTD(false);
    parser.setExitOnFirstFatalError(true);
    parser.setCreateEntityReferenceNodes(false);
    parser.setDisableDefaultEntityResolution(true);
    parser.setXMLEntityResolver(&resolver);
    parser.setSecurityManager(&security);
    parser.setErrorHandler(&errors);
    try {
        MemBufInputSource source(reinterpret_cast<const XMLByte*>(text.data()), text.size(),
                                 "certificates");
        parser.parse(source);
    } catch (const StopOnError::Stopped&) {
        document.errorText = errors.text;
        return document;
    } catch (const OutOfMemoryException&) {
        document.errorText = "out of memory";
        return document;
    } catch (const XMLException& exception) {
        document.errorText = toUtf8(exception.getMessage());
        return document;
    } catch (const DOMException& exception) {
        document.errorText = toUtf8(exception.getMessage());
        return document;
    }
    const DOMDocument* dom = parser.getDocument();
    const DOMElement* root = dom != nullptr ? dom->getDocumentElement() : nullptr;
    if (root == nullptr) {
        document.errorText = "no root element";
        return document;
    }
    document.parsed = true;
    document.hasSwitchData = named(root, switchData);
    if (!document.hasSwitchData)
        return document;
    for (const DOMNode* child = root->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (named(child, switchName))
            document.entries.push_back(readEntry(static_cast<const DOMElement*>(child)));
    }
    return document;
}
