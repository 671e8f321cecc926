#include "ReplyText.h"

namespace {

constexpr std::size_t MinOutSize = 24;
constexpr std::size_t ColonFormLength = 23;

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace

std::size_t formatWwn(std::string_view in, std::string& out, std::size_t outSize) {
    out.clear();
    if (outSize < MinOutSize)
        return 0;
    const std::size_t limit = outSize - 1;
    if (in.find(':') != std::string_view::npos) {
        for (const char c : in) {
            if (out.size() == limit)
                break;
            if (c != ':')
                out.push_back(c);
        }
        return out.size() + 1;
    }
    std::size_t copied = 0;
    for (const char c : in) {
        if (out.size() == limit)
            break;
        out.push_back(isHexDigit(c) ? c : 'X');
        if (++copied % 2 == 0 && out.size() < ColonFormLength && out.size() < limit)
            out.push_back(':');
    }
    return out.size() + 1;
}
