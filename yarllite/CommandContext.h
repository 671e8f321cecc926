// What a command handler works with: the request's root element, the reply
// text it appends its elements to, and the request head's settings.
#pragma once

#include <string>

#include <xercesc/dom/DOMElement.hpp>

#include <orvane/oid.h>

struct CommandContext {
    const xercesc::DOMElement* root = nullptr;
    std::string& reply;
    int attributeEncoding = 0;
    bool dictionary = false;
    // Set by the handler of "CreateFabricObject": the new object's identifier.
    OID_t newObject{};
};

// A command handler: reads its request elements below the root, calls the
// library's exported functions, appends its reply elements, and returns the
// status the front end writes as the fault.
using CommandHandler = int (*)(CommandContext& context);
