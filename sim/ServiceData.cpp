#include "sim/ServiceData.h"

#include <cctype>
#include <cstring>
#include <stdexcept>

namespace simdata {

SwitchModel* findSwitch(CallContext& ctx, const unsigned char* name) {
    for (auto& sw : ctx.fabric.switches) {
        if (std::memcmp(sw.wwn.data(), name, sw.wwn.size()) == 0) {
            return &sw;
        }
    }
    return nullptr;
}

void parseHex(const std::string& text, unsigned char* out, std::size_t size) {
    std::string digits;
    for (char c : text) {
        if (c == ':' || c == '.') {
            continue;
        }
        if (!std::isxdigit(static_cast<unsigned char>(c))) {
            throw std::invalid_argument("bad hexadecimal text \"" + text + "\"");
        }
        digits.push_back(c);
    }
    if (digits.size() != 2 * size) {
        throw std::invalid_argument("hexadecimal text of the wrong length \"" + text + "\"");
    }
    for (std::size_t i = 0; i < size; ++i) {
        out[i] = static_cast<unsigned char>(std::stoul(digits.substr(2 * i, 2), nullptr, 16));
    }
}

std::string toHex(const void* data, std::size_t size) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * size);
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 0xF]);
    }
    return out;
}

void wwnField(const nlohmann::json& object, const char* key, unsigned char out[8]) {
    std::memset(out, 0, 8);
    if (object.contains(key)) {
        parseHex(object.at(key).get<std::string>(), out, 8);
    }
}

std::uint32_t portIdField(const nlohmann::json& object, const char* key) {
    if (!object.contains(key)) {
        return 0;
    }
    const auto& value = object.at(key);
    if (value.is_number()) {
        return value.get<std::uint32_t>() & 0xFFFFFF;
    }
    unsigned char bytes[3];
    parseHex(value.get<std::string>(), bytes, 3);
    return (bytes[0] << 16) | (bytes[1] << 8) | bytes[2];
}

} // namespace simdata
