#include "yarllite/XercesText.h"

#include <type_traits>

#include <xercesc/util/TransService.hpp>
#include <xercesc/util/XMLString.hpp>

static_assert(sizeof(XMLCh) == sizeof(char16_t), "the parser's texts are UTF-16");

std::string toUtf8(const XMLCh* text) {
    if (text == nullptr || *text == 0) {
        return {};
    }
    xercesc::TranscodeToStr utf8(text, "UTF-8");
    return std::string(reinterpret_cast<const char*>(utf8.str()), utf8.length());
}

std::u16string toXercesText(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    xercesc::TranscodeFromStr utf16(reinterpret_cast<const XMLByte*>(text.data()), text.size(),
                                    "UTF-8");
    const XMLCh* chars = utf16.str();
    return std::u16string(reinterpret_cast<const char16_t*>(chars), utf16.length());
}
