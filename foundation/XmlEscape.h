// Escaping of values written into XML documents: every value of a library
// reply that came from a caller, a file or a switch goes through
// appendEscaped, so that whatever it holds the reply stays a well-formed
// UTF-8 document. The console program writes its requests with
// appendMarkupEscaped, which keeps every other byte as the user gave it.
#pragma once

#include <string>
#include <string_view>

// Appends `value` to `out` with & < > " ' written as entity references.
// What no XML document may hold (control characters other than tab, line
// feed and carriage return; bytes that are not UTF-8; U+FFFE and U+FFFF)
// is written as '?'.
void appendEscaped(std::string& out, std::string_view value);
// `value` escaped as by appendEscaped.
std::string escapeXml(std::string_view value);
// Appends `value` to `out` with & < > " ' written as entity references and
// every other byte as it is, whether or not XML may hold it.
void appendMarkupEscaped(std::string& out, std::string_view value);
