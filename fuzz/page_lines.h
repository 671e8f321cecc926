// The data lines of a page body, as the page adapter gives them.
#pragma once

#include "adapters/http/HTTPAdapter.h"

#include <list>
#include <string>

inline std::list<std::string> pageLines(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::list<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::string_view line = HTTPAdapter::cutPageLine(text, pos);
        if (line.empty()) {
            break;
        }
        if (line.front() != '<') {
            lines.emplace_back(line);
        }
    }
    return lines;
}
