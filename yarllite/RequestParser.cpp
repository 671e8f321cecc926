#include "yarllite/RequestParser.h"

#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/dom/DOMException.hpp>
#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/sax/SAXException.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/XMLException.hpp>

#include "yarllite/XercesText.h"

RequestParser::RequestParser() : parser_(nullptr, &memory_) {
    security_.setEntityExpansionLimit(kEntityExpansionLimit);
    parser_.setDoNamespaces(false);
    parser_.setDoSchema(false);
    parser_.setLoadSchema(false);
    // Going on after a fatal error can make the DOM builder dereference a
    // null parent (mismatched end tags), so the first fatal error ends the
    // parse; errors of validity do not.
    parser_.setExitOnFirstFatalError(true);
    parser_.setCreateEntityReferenceNodes(true);
    parser_.setDisableDefaultEntityResolution(true);
    parser_.setXMLEntityResolver(&resolver_);
    parser_.setSecurityManager(&security_);
    parser_.setErrorHandler(&reporter_);
}

bool RequestParser::parse(std::string_view text, bool validate) {
    parser_.setValidationScheme(validate ? xercesc::XercesDOMParser::Val_Always
                                         : xercesc::XercesDOMParser::Val_Never);
    reporter_.resetErrors();
    try {
        xercesc::MemBufInputSource source(reinterpret_cast<const XMLByte*>(text.data()),
                                          text.size(), kSystemId);
        parser_.parse(source);
    } catch (const DOMTreeErrorReporter::ParseAborted&) {
        // The reporter keeps the text of its last report.
    } catch (const xercesc::OutOfMemoryException&) {
        reporter_.setErrorText("Out of memory");
    } catch (const xercesc::XMLException& exception) {
        reporter_.setErrorText(toUtf8(exception.getMessage()));
    } catch (const xercesc::DOMException& exception) {
        reporter_.setErrorText(toUtf8(exception.getMessage()));
    } catch (const xercesc::SAXException& exception) {
        reporter_.setErrorText(toUtf8(exception.getMessage()));
    }
    if (reporter_.hasErrors()) {
        return false;
    }
    if (root() == nullptr) {
        reporter_.setErrorText("The document has no root element");
        return false;
    }
    return true;
}

xercesc::DOMElement* RequestParser::root() {
    xercesc::DOMDocument* document = parser_.getDocument();
    return document != nullptr ? document->getDocumentElement() : nullptr;
}
