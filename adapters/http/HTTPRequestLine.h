// The first line of a request: method, path, protocol and version.
#pragma once

#include <string>

class HTTPRequestLine {
public:
    virtual ~HTTPRequestLine() = default;

    void setMethod(const std::string& method) { method_ = method; }
    void setRequestPath(const std::string& path) { path_ = path; }
    void setProtocol(int protocol) { protocol_ = protocol; }
    void setVersion(int version) { version_ = version; }

    // "<method> /<path> HTTP/<major>.<minor>" and CR LF; the word "HTTP" is
    // written only for the HTTP protocol identifier.
    std::string toString();

private:
    std::string text_;
    std::string method_;
    std::string path_;
    int protocol_ = 0;
    int version_ = 0;
};
