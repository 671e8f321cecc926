// The first line of a response: protocol, version and status code.
#pragma once

#include "adapters/http/HTTPStatus.h"

#include <string>

class HTTPStatusLine {
public:
    virtual ~HTTPStatusLine() = default;

    // Reads "<protocol>/<major>.<minor> <code>". "HTTP" and "HTTPS" set the
    // protocol identifier, any other word leaves it; a code that cannot be
    // read stays 0.
    void parse(const std::string& line);

    int getStatusCode() const { return statusCode_; }
    int getProtocol() const { return protocol_; }
    const std::string& getLine() const { return line_; }

private:
    std::string line_;
    int protocol_ = HTTP_PROTOCOL_HTTP;
    int statusCode_ = 0;
};
