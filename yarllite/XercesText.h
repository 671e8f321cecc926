// Conversions between the parser's UTF-16 texts and the library's UTF-8
// strings.
#pragma once

#include <string>
#include <string_view>

#include <xercesc/util/XercesDefs.hpp>

// The UTF-8 form of a parser text; empty for null.
std::string toUtf8(const XMLCh* text);
// The parser's form of a UTF-8 text (element and attribute names).
std::u16string toXercesText(std::string_view text);
// As toXercesText, as a pointer the parser takes; valid while `text` lives.
inline const XMLCh* xercesChars(const std::u16string& text) {
    return reinterpret_cast<const XMLCh*>(text.c_str());
}
