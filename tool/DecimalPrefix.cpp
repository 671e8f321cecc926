#include "DecimalPrefix.h"

#include <algorithm>
#include <limits>

namespace {

template <typename Number> Number boundedPrefix(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Digits beyond the range cannot bring the value back into it.
    constexpr long long Limit = static_cast<long long>(std::numeric_limits<Number>::max()) + 1;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), Limit);
    if (negative)
        value = -value;
    return static_cast<Number>(std::clamp<long long>(value, std::numeric_limits<Number>::min(),
                                                     std::numeric_limits<Number>::max()));
}

} // namespace

std::int32_t decimalPrefix(std::string_view text) {
    return boundedPrefix<std::int32_t>(text);
}

std::int16_t decimalPrefix16(std::string_view text) {
    return boundedPrefix<std::int16_t>(text);
}
