// AddAttributes and AddObjectAttributes: one attribute code of the
// attribute dictionary and one value, applied to each object of an
// identifier list in list order.
//
// The frame (initialisation, shutdown gate, object-model lock, the fabric
// level of the first identifier and the refusals by level) and the
// per-entry lookup (stored object, "ObjType", fabric handle, world wide name
// of the identifier) are shared by every code; each code then goes to the
// handler registered for it. A code without a handler records -3.
//
// Results: the call keeps one result word, 0 at the start. A handler either
// records a code there and the loop goes on (a later success does not clear
// it), or ends the call at once with a code; what earlier entries changed
// stays changed.
#pragma once

#include <string>

#include "foundation/WWNAddress.h"

class StoredObject;
struct SessionContext;

// One entry of the list as a handler sees it.
struct AttributeEntry {
    std::string oid;                   // the entry's identifier text
    StoredObject* object = nullptr;    // its stored object (null for codes without lookup)
    unsigned short objType = 0;        // its "ObjType"
    SessionContext* session = nullptr; // the fabric handle the switch requests need
    WWNAddress wwn;                    // the world wide name part of the identifier
    unsigned code = 0;                 // the attribute code
    void* value = nullptr;             // the caller's value, unchecked
    std::string firstOid;              // the first identifier of the list
};

// What a handler does with the call.
struct AttributeOutcome {
    enum class Kind { Next, Record, End };
    Kind kind = Kind::Next;
    int status = 0;

    static AttributeOutcome next() { return {Kind::Next, 0}; }
    static AttributeOutcome record(int status) { return {Kind::Record, status}; }
    static AttributeOutcome end(int status) { return {Kind::End, status}; }
};

// Runs under the object-model lock that the call holds.
using AttributeHandler = AttributeOutcome (*)(AttributeEntry& entry);
// A check of the value made once before any entry is visited: 0 or the
// code that ends the call.
using AttributeValueCheck = int (*)(unsigned code, void* value);

struct AttributeHandlerRow {
    AttributeHandler handler = nullptr;
    // The entry goes to the handler without a store lookup (entry.object
    // stays null, entry.session null).
    bool withoutLookup = false;
    // The call needs no fabric level of the first identifier.
    bool withoutFabricLevel = false;
    AttributeValueCheck valueCheck = nullptr;
};

// Installs the handler of `code`, replacing one installed before. Called
// at start-up, before any call.
void registerAttributeHandler(unsigned code, const AttributeHandlerRow& row);
// Installs the handler that takes every code for objects of `objType`
// (their own setter), before the code's handler is looked at.
void registerObjectTypeAttributeHandler(unsigned short objType, AttributeHandler handler);

// The loop behind AddAttributes, for a caller that ran the frame and holds
// the object-model lock: the fabric level, the refusals by level, the value
// checks, then every entry.
int applyAttributeChange(const char* targetOids, unsigned code, void* value);
