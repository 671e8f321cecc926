// HTTP requests and their HTTP/1.0 form, which renders the exact text that
// goes on the wire.
#pragma once

#include "adapters/http/HTTPMessage.h"
#include "adapters/http/HTTPRequestMessageHeader_1_0.h"

#include <string>

class HTTPRequest : public HTTPMessage {
public:
    // The request text.
    virtual std::string getRequest() = 0;
};

class HTTPRequest_1_0 : public HTTPRequest {
public:
    // The header text, then the body's text.
    std::string getRequest() override;

    HTTPRequestMessageHeader_1_0& getHeader() { return header_; }

private:
    HTTPRequestMessageHeader_1_0 header_;
};
