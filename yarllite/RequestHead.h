// The head of a request: the command name, whether the attribute
// dictionary is asked for, and how attributes are named. Head elements
// are child elements at any depth below the root, never attributes.
#pragma once

#include <string>

#include <xercesc/dom/DOMElement.hpp>

// The first text child of the first element of that name below `root` that
// has one, with every blank, line feed and tab removed; empty when none has.
std::string getChildText(const xercesc::DOMElement* root, const char* name);

struct RequestHead {
    std::string command;       // MsgType
    bool dictionary = false;   // YarlFormat "Dictionary"
    int attributeEncoding = 0; // AttributeEncoding "yarlattr": 1 (codes), else 0 (names)

    static RequestHead read(const xercesc::DOMElement* root);
};
