// Escaping of values written into XML replies: every value that came from a
// caller, a file or a switch goes through here, so that a name holding
// markup characters cannot break the document.
#pragma once

#include <string>
#include <string_view>

// Appends `value` to `out` with & < > " ' written as entity references.
void appendEscaped(std::string& out, std::string_view value);
// `value` with & < > " ' written as entity references.
std::string escapeXml(std::string_view value);
