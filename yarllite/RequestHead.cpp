#include "yarllite/RequestHead.h"

#include "yarllite/DomAccess.h"

std::string getChildText(const xercesc::DOMElement* root, const char* name) {
    std::string text;
    for (const xercesc::DOMElement* element : elementsNamed(root, name)) {
        if (firstTextChild(element, text)) {
            std::erase_if(text, [](char c) { return c == ' ' || c == '\n' || c == '\t'; });
            return text;
        }
    }
    return {};
}

RequestHead RequestHead::read(const xercesc::DOMElement* root) {
    RequestHead head;
    head.command = getChildText(root, "MsgType");
    head.dictionary = getChildText(root, "YarlFormat") == "Dictionary";
    head.attributeEncoding = getChildText(root, "AttributeEncoding") == "yarlattr" ? 1 : 0;
    return head;
}
