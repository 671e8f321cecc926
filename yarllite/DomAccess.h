// How the command handlers read a parsed request: element texts,
// attribute values and elements by name. They differ in how they treat
// white space, and the handlers rely on it. Every lookup by name searches all
// elements below the given one, at any depth, in document order. All texts
// are UTF-8.
#pragma once

#include <string>
#include <vector>

#include <xercesc/dom/DOMElement.hpp>
#include <xercesc/dom/DOMNode.hpp>

// The node's first text child with its trailing blanks, tabs, carriage
// returns and line feeds removed; empty when it has none (or for null).
std::string extractText(const xercesc::DOMNode* node);
// The unchanged text of the first element of that name below `element`
// that has a text child; empty when none has.
std::string extractText(const xercesc::DOMElement* element, const char* name);
// The attribute's value with trailing white space removed; empty when the
// node has no such attribute.
std::string fetchAttrValue(const xercesc::DOMNode* node, const char* name);
// The attribute's value unchanged, trailing white space included; empty
// when the node has no such attribute. For values whose line breaks carry
// meaning, such as configuration lines.
std::string fetchAttrText(const xercesc::DOMNode* node, const char* name);
// The first element of that name below `element`, or null.
xercesc::DOMNode* fetchNodeByName(const xercesc::DOMElement* element, const char* name);
// True when the text is empty (null counts as empty).
bool isEmptyText(const char* text);

// Every element of that name below `element`, in document order.
std::vector<xercesc::DOMElement*> elementsNamed(const xercesc::DOMElement* element,
                                                const char* name);
// The unchanged text of the node's first text child; false when it has none.
bool firstTextChild(const xercesc::DOMNode* node, std::string& text);
