// Escaping of values written into XML replies: every value that came from a
// caller, a file or a switch goes through here, so that whatever it holds
// the reply stays a well-formed UTF-8 document.
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
