// The header of an HTTP/1.0 response: status line, general, response and
// entity fields. No header field of a received response is parsed.
#pragma once

#include "adapters/http/HTTPHeader.h"
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

class HTTPResponseMessageHeader_1_0 : public HTTPResponseMessageHeader {
public:
    std::string getDate() const override { return general_.date.line(); }
    std::string getPragma() const override { return general_.pragma.line(); }
    std::string getAllow() const override { return entity_.allow.line(); }
    std::string getContentEncoding() const override { return entity_.contentEncoding.line(); }
    std::string getContentLength() const override { return entity_.contentLength.line(); }
    std::string getContentType() const override { return entity_.contentType.line(); }
    std::string getExpires() const override { return entity_.expires.line(); }
    std::string getLastModified() const override { return entity_.lastModified.line(); }
    std::string getExtensionHeader() const override { return entity_.extensionHeader.line(); }
    void setDate(const std::string& value) override { general_.date.set(value); }
    void setPragma(const std::string& value) override { general_.pragma.set(value); }
    void setAllow(const std::string& value) override { entity_.allow.set(value); }
    void setContentEncoding(const std::string& value) override {
        entity_.contentEncoding.set(value);
    }
    void setContentLength(const std::string& value) override { entity_.contentLength.set(value); }
    void setContentType(const std::string& value) override { entity_.contentType.set(value); }
    void setExpires(const std::string& value) override { entity_.expires.set(value); }
    void setLastModified(const std::string& value) override { entity_.lastModified.set(value); }
    void setExtensionHeader(const std::string& value) override {
        entity_.extensionHeader.set(value);
    }
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
    HTTPGeneralHeader general_;
    HTTPResponseHeader response_;
    HTTPEntityHeader entity_;
};
