// HTTP responses and their HTTP/1.0 form, built from the text received.
#pragma once

#include "adapters/http/HTTPMessage.h"
#include "adapters/http/HTTPResponseMessageHeader_1_0.h"

#include <string>

class HTTPResponse : public HTTPMessage {
public:
    // Analyses a whole response text: 0 for status 200, else -1008.
    virtual int analyseResponse(const std::string& text) = 0;
    // The data lines of the page body, each with its line end.
    virtual std::string getResponseBody() const = 0;
};

class HTTPResponse_1_0 : public HTTPResponse {
public:
    // Reads the status line, skips the header lines up to the first empty
    // one and splits the rest as an HTML page. The body is split whatever
    // the status.
    int analyseResponse(const std::string& text) override;
    std::string getResponseBody() const override;

    const HTTPResponseMessageHeader_1_0& getHeader() const { return header_; }

private:
    HTTPResponseMessageHeader_1_0 header_;
};
