// Stored objects as XML elements in object listings.
//
// An object with an "ObjType" becomes one element named after its type,
// whose attributes are the object's attributes in name order (a few internal
// ones left out); its relation sets and string lists follow as child
// elements named after the set or list without its first three characters
// ("setPorts" gives <Ports>). The flat form writes every relation as a
// reference; the tree form nests the related objects, except ports and the
// zoning and security objects, which it writes flat inside the element.
//
// Attributes are named as the request's encoding asks: 0 by name, 1 by "_"
// and the attribute's dictionary code in hexadecimal. Every name, value and
// identifier is escaped; the entries of the blower, sensor and power supply
// lists are attribute text that was escaped when it was made and go out
// unchanged.
#pragma once

#include <string>
#include <string_view>

class StoredObject;

// Encoding 0 appends `name`; 1 appends "_" and its dictionary code in
// lower-case hexadecimal ("_0" for a name the dictionary lacks); any other
// encoding appends nothing.
void appendAttributeName(std::string& reply, int encoding, std::string_view name);

// The flat element of `object`. The object's skip mark is not looked at
// (StoredObject::writeXml takes it first).
void writeStoredObjectXml(const StoredObject& object, std::string& reply, int encoding);

// The element of `object` with the objects it relates to nested inside it,
// found in the object store. Holds the object-model lock for the whole walk.
// An object met again on the way down (a cycle of relations) is passed over.
void writeStoredObjectXmlTree(const StoredObject& object, std::string& reply, int encoding);

// Makes StoredObject::writeXml and StoredObject::writeXmlTree write with the
// functions above. Safe to call more than once.
void installStoredObjectXmlWriter();
