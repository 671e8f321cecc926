#include "adapters/http/ProxyInfoPage.h"

#include "adapters/http/ScanText.h"

#include <string_view>

namespace {

// The text at a fixed distance after `key`, when the line reaches that far.
std::optional<std::string_view> valueAt(std::string_view line, std::string_view key,
                                        std::size_t distance) {
    const std::size_t at = line.find(key);
    if (at == std::string_view::npos || at + distance > line.size()) {
        return std::nullopt;
    }
    return line.substr(at + distance);
}

} // namespace

ProxyInfo readProxyInfo(const std::list<std::string>& lines) {
    ProxyInfo info;
    for (const std::string& line : lines) {
        if (const auto value = valueAt(line, "swWwn", 6)) {
            unsigned char bytes[WWNAddress::Size] = {};
            std::uint8_t scanned[8] = {};
            if (scanWorldWideName(*value, scanned) > 0) {
                for (std::size_t i = 0; i < WWNAddress::Size; ++i) {
                    bytes[i] = scanned[i];
                }
                info.wwn = WWNAddress(bytes);
            }
        }
        if (const auto value = valueAt(line, "swFWVersion", 12)) {
            info.version = FirmwareVersion(std::string(*value).c_str());
        }
    }
    return info;
}
