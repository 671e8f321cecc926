#include "sim/Base64.h"

#include "foundation/Base64.h"

std::optional<std::string> decodeBase64(const std::string& text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        const int padding = last ? (text[i + 3] == '=') + (text[i + 2] == '=') : 0;
        if (padding == 1 && text[i + 2] == '=') {
            return std::nullopt; // "x=y=" is not padding
        }
        unsigned value = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int bits = k >= 4u - padding ? 0 : Base64SextetOf(text[i + k]);
            if (bits < 0) {
                return std::nullopt;
            }
            value = (value << 6) | static_cast<unsigned>(bits);
        }
        out.push_back(static_cast<char>(value >> 16));
        if (padding < 2) {
            out.push_back(static_cast<char>(value >> 8));
        }
        if (padding < 1) {
            out.push_back(static_cast<char>(value));
        }
    }
    return out;
}
