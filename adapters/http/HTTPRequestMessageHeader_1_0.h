// The header of an HTTP/1.0 request: request line, general, entity and
// request fields.
#pragma once

#include "adapters/http/HTTPHeader.h"
#include "adapters/http/HTTPHeaderFields_1_0.h"
#include "adapters/http/HTTPRequestLine.h"

#include <string>

class HTTPRequestMessageHeader : public HTTPHeader {
public:
    class HTTPRequestHeader;

    virtual std::string getAuthorization() const = 0;
    virtual std::string getFrom() const = 0;
    virtual std::string getIfModifiedSince() const = 0;
    virtual std::string getReferer() const = 0;
    virtual std::string getUserAgent() const = 0;
    virtual void setAuthorization(const std::string& value) = 0;
    virtual void setFrom(const std::string& value) = 0;
    virtual void setIfModifiedSince(const std::string& value) = 0;
    virtual void setReferer(const std::string& value) = 0;
    virtual void setUserAgent(const std::string& value) = 0;
};

// "Authorization", "From", "If-Modified-Since", "Referer", "User-Agent".
class HTTPRequestMessageHeader::HTTPRequestHeader {
public:
    virtual ~HTTPRequestHeader() = default;
    virtual std::string toString() const;

    HTTPHeaderField authorization{"Authorization"};
    HTTPHeaderField from{"From"};
    HTTPHeaderField ifModifiedSince{"If-Modified-Since"};
    HTTPHeaderField referer{"Referer"};
    HTTPHeaderField userAgent{"User-Agent"};
};

class HTTPRequestMessageHeader_1_0 : public HTTPHeaderFields_1_0<HTTPRequestMessageHeader> {
public:
    std::string getAuthorization() const override { return request_.authorization.line(); }
    std::string getFrom() const override { return request_.from.line(); }
    std::string getIfModifiedSince() const override { return request_.ifModifiedSince.line(); }
    std::string getReferer() const override { return request_.referer.line(); }
    std::string getUserAgent() const override { return request_.userAgent.line(); }
    void setAuthorization(const std::string& value) override { request_.authorization.set(value); }
    void setFrom(const std::string& value) override { request_.from.set(value); }
    void setIfModifiedSince(const std::string& value) override {
        request_.ifModifiedSince.set(value);
    }
    void setReferer(const std::string& value) override { request_.referer.set(value); }
    void setUserAgent(const std::string& value) override { request_.userAgent.set(value); }

    HTTPRequestLine& getRequestLine() { return requestLine_; }

    // The request line, then the present general, entity and request lines
    // (each ended by CR LF), then the CR LF that ends the header.
    std::string toString();

private:
    HTTPRequestLine requestLine_;
    HTTPRequestHeader request_;
};
