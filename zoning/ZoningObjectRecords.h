// Pieces shared by the builders of the zoning object records: each record
// is one block from the caller-block registry holding the fixed fields and,
// behind them, the texts and identifier lists its pointers point to.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <orvane/oid.h>

#include "objects/RequestRetry.h" // copyBoundedText

// Writes `oids` and their end entry at `tail` as consecutive identifier
// fields and moves `tail` past them; the list's start.
OID_t* writeZoningOidList(char*& tail, const std::vector<std::string>& oids);
// Copies `text` and its NUL to `tail` and moves `tail` past them; the copy.
char* writeZoningText(char*& tail, const std::string& text);
// Room for a list of `count` identifiers and its end entry.
inline std::size_t oidListRoom(std::size_t count) {
    return sizeof(OID_t) * (count + 1);
}
