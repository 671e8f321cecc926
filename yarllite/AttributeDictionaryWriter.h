// The <Dictionary> block of a reply: the name and traits of every attribute
// code, so that a client can read replies that name attributes by code.
#pragma once

#include <span>
#include <string>

#include "objects/AttributeDictionary.h"

// Appends "<Dictionary>\n", one "<Attr Name=... Traits=... YARLATTR=... />"
// line per row in table order (hexadecimal in lower case; rows of code 0 or
// without a name are passed over) and "</Dictionary>\n". Names are escaped.
void writeAttributeDictionary(
    std::string& reply, std::span<const AttributeDictionaryEntry> rows = attributeDictionary());
