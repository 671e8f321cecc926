#include "adapters/http/HTTPStatusLine.h"

#include "adapters/http/ScanText.h"

void HTTPStatusLine::parse(const std::string& line) {
    line_ = line;
    statusCode_ = 0;
    const std::size_t slash = line.find('/');
    if (slash == std::string::npos) {
        return;
    }
    const std::string_view word(line.data(), slash);
    if (word == "HTTP") {
        protocol_ = HTTP_PROTOCOL_HTTP;
    } else if (word == "HTTPS") {
        protocol_ = HTTP_PROTOCOL_HTTPS;
    }
    // "%d.%d %d": major, minor (both dropped), then the status code.
    const std::string_view rest = std::string_view(line).substr(slash + 1);
    std::size_t pos = 0;
    int major = 0;
    int minor = 0;
    int code = 0;
    if (!scanInt(rest, pos, major) || pos >= rest.size() || rest[pos] != '.') {
        return;
    }
    ++pos;
    if (!scanInt(rest, pos, minor) || !scanInt(rest, pos, code)) {
        return;
    }
    statusCode_ = code;
}
