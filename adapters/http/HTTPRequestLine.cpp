#include "adapters/http/HTTPRequestLine.h"

#include "adapters/http/HTTPStatus.h"

std::string HTTPRequestLine::toString() {
    const unsigned version = static_cast<unsigned>(version_);
    text_ = method_ + " /" + path_ + " ";
    if (protocol_ == HTTP_PROTOCOL_HTTP) {
        text_ += "HTTP";
    }
    text_ += '/';
    text_ += std::to_string((version >> 24) & 0xFF);
    text_ += '.';
    text_ += std::to_string((version >> 16) & 0xFF);
    text_ += "\r\n";
    return text_;
}
