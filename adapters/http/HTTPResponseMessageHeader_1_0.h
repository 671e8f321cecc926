// The header of an HTTP/1.0 response: status line, general, response and
// entity fields. No header field of a received response is parsed.
#pragma once

#include "adapters/http/HTTPHeader.h"
#include "adapters/http/HTTPHeaderFields_1_0.h"
#include "adapters/http/HTTPStatusLine.h"

#include <string>

class HTTPResponseMessageHeader : public HTTPHeader {
public:
    class HTTPResponseHeader;

    virtual std::string getLocation() const = 0;
    virtual std::string getServer() const = 0;
    virtual std::string getWWWAuthenticate() const = 0;
    virtual void setLocation(const std::string& value) = 0;
    virtual void setServer(const std::string& value) = 0;
    virtual void setWWWAuthenticate(const std::string& value) = 0;
};

// "Location", "Server", "WWW-Authenticate".
class HTTPResponseMessageHeader::HTTPResponseHeader {
public:
    virtual ~HTTPResponseHeader() = default;

    HTTPHeaderField location{"Location"};
    HTTPHeaderField server{"Server"};
    HTTPHeaderField wwwAuthenticate{"WWW-Authenticate"};
};

class HTTPResponseMessageHeader_1_0 : public HTTPHeaderFields_1_0<HTTPResponseMessageHeader> {
public:
    std::string getLocation() const override { return response_.location.line(); }
    std::string getServer() const override { return response_.server.line(); }
    std::string getWWWAuthenticate() const override { return response_.wwwAuthenticate.line(); }
    void setLocation(const std::string& value) override { response_.location.set(value); }
    void setServer(const std::string& value) override { response_.server.set(value); }
    void setWWWAuthenticate(const std::string& value) override {
        response_.wwwAuthenticate.set(value);
    }

    HTTPStatusLine& getStatusLine() { return statusLine_; }
    const HTTPStatusLine& getStatusLine() const { return statusLine_; }

private:
    HTTPStatusLine statusLine_;
    HTTPResponseHeader response_;
};
