// The general and entity fields that HTTP/1.0 request and response headers
// share, kept once for both: `Base` is the message header interface whose
// accessors of those fields this class implements.
#pragma once

#include "adapters/http/HTTPHeader.h"

#include <string>

template <class Base> class HTTPHeaderFields_1_0 : public Base {
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

protected:
    HTTPHeader::HTTPGeneralHeader general_;
    HTTPHeader::HTTPEntityHeader entity_;
};
