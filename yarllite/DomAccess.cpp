#include "yarllite/DomAccess.h"

#include <optional>

#include <xercesc/dom/DOMNamedNodeMap.hpp>
#include <xercesc/dom/DOMNodeList.hpp>

#include "foundation/Logging.h"
#include "foundation/MethodTrace.h"
#include "yarllite/XercesText.h"

namespace {

constexpr char kSource[] = "yarldcmd";

void trimTrailingBlanks(std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\n' || text[end - 1] == '\t' ||
                       text[end - 1] == '\r')) {
        --end;
    }
    text.resize(end);
}

// The parser's live list of the elements of that name below `element`.
const xercesc::DOMNodeList* elementList(const xercesc::DOMElement* element, const char* name) {
    if (element == nullptr || name == nullptr) {
        return nullptr;
    }
    return element->getElementsByTagName(xercesChars(toXercesText(name)));
}

} // namespace

std::vector<xercesc::DOMElement*> elementsNamed(const xercesc::DOMElement* element,
                                                const char* name) {
    std::vector<xercesc::DOMElement*> found;
    if (const xercesc::DOMNodeList* list = elementList(element, name)) {
        // The list walks the tree as it is read: item by item, no count first.
        for (XMLSize_t i = 0; xercesc::DOMNode* item = list->item(i); ++i) {
            found.push_back(static_cast<xercesc::DOMElement*>(item));
        }
    }
    return found;
}

bool firstTextChild(const xercesc::DOMNode* node, std::string& text) {
    if (node == nullptr) {
        return false;
    }
    for (const xercesc::DOMNode* child = node->getFirstChild(); child != nullptr;
         child = child->getNextSibling()) {
        if (child->getNodeType() == xercesc::DOMNode::TEXT_NODE) {
            text = toUtf8(child->getNodeValue());
            return true;
        }
    }
    return false;
}

std::string extractText(const xercesc::DOMNode* node) {
    MethodTrace trace(Vosk_API_XML, "extractText", kSource);
    std::string text;
    if (!firstTextChild(node, text)) {
        return {};
    }
    trimTrailingBlanks(text);
    return text;
}

std::string extractText(const xercesc::DOMElement* element, const char* name) {
    MethodTrace trace(Vosk_API_XML, "extractText", kSource);
    std::string text;
    if (const xercesc::DOMNodeList* list = elementList(element, name)) {
        for (XMLSize_t i = 0; const xercesc::DOMNode* item = list->item(i); ++i) {
            if (firstTextChild(item, text)) {
                return text;
            }
        }
    }
    return {};
}

namespace {

// The attribute's value as the parser gives it, or nothing when the node
// has no such attribute.
std::optional<std::string> attributeValue(const xercesc::DOMNode* node, const char* name) {
    if (node == nullptr || name == nullptr) {
        return std::nullopt;
    }
    const xercesc::DOMNamedNodeMap* attributes = node->getAttributes();
    if (attributes == nullptr || attributes->getLength() == 0) {
        return std::nullopt;
    }
    const xercesc::DOMNode* attribute = attributes->getNamedItem(xercesChars(toXercesText(name)));
    if (attribute == nullptr) {
        return std::nullopt;
    }
    return toUtf8(attribute->getNodeValue());
}

} // namespace

std::string fetchAttrValue(const xercesc::DOMNode* node, const char* name) {
    MethodTrace trace(Vosk_API_XML, "fetchAttrValue", kSource);
    // An attribute's value is its text; its trailing white space goes.
    std::string value = attributeValue(node, name).value_or(std::string());
    trimTrailingBlanks(value);
    return value;
}

std::string fetchAttrText(const xercesc::DOMNode* node, const char* name) {
    MethodTrace trace(Vosk_API_XML, "fetchAttrText", kSource);
    return attributeValue(node, name).value_or(std::string());
}

xercesc::DOMNode* fetchNodeByName(const xercesc::DOMElement* element, const char* name) {
    MethodTrace trace(Vosk_API_XML, "fetchNodeByName", kSource);
    const xercesc::DOMNodeList* list = elementList(element, name);
    return list != nullptr ? list->item(0) : nullptr;
}

bool isEmptyText(const char* text) {
    return text == nullptr || text[0] == '\0';
}
