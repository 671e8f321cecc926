// Header fields of HTTP/1.0 messages. Each field is kept as its whole line
// without the line end ("Date: " and the value); an empty line means the
// field is absent.
#pragma once

#include <string>

// One header field: its name and its current line.
class HTTPHeaderField {
public:
    explicit HTTPHeaderField(const char* name) : name_(name) {}

    const std::string& line() const { return line_; }
    // A non-empty value sets the line to the name, ": " and the value; an
    // empty one clears it.
    void set(const std::string& value) {
        line_ = value.empty() ? std::string() : name_ + ": " + value;
    }
    // Appends the line and CR LF when the field is present.
    void appendTo(std::string& out) const {
        if (!line_.empty()) {
            out += line_;
            out += "\r\n";
        }
    }

private:
    std::string name_;
    std::string line_;
};

// Operations common to request and response headers: the general and the
// entity fields.
class HTTPHeader {
public:
    class HTTPGeneralHeader;
    class HTTPEntityHeader;

    virtual ~HTTPHeader() = default;

    virtual std::string getDate() const = 0;
    virtual std::string getPragma() const = 0;
    virtual std::string getAllow() const = 0;
    virtual std::string getContentEncoding() const = 0;
    virtual std::string getContentLength() const = 0;
    virtual std::string getContentType() const = 0;
    virtual std::string getExpires() const = 0;
    virtual std::string getLastModified() const = 0;
    virtual std::string getExtensionHeader() const = 0;
    virtual void setDate(const std::string& value) = 0;
    virtual void setPragma(const std::string& value) = 0;
    virtual void setAllow(const std::string& value) = 0;
    virtual void setContentEncoding(const std::string& value) = 0;
    virtual void setContentLength(const std::string& value) = 0;
    virtual void setContentType(const std::string& value) = 0;
    virtual void setExpires(const std::string& value) = 0;
    virtual void setLastModified(const std::string& value) = 0;
    virtual void setExtensionHeader(const std::string& value) = 0;
};

// "Date" and "Pragma".
class HTTPHeader::HTTPGeneralHeader {
public:
    virtual ~HTTPGeneralHeader() = default;
    // The present lines, each followed by CR LF.
    virtual std::string toString() const;

    HTTPHeaderField date{"Date"};
    HTTPHeaderField pragma{"Pragma"};
};

// "Allow" to "extension-header".
class HTTPHeader::HTTPEntityHeader {
public:
    virtual ~HTTPEntityHeader() = default;
    virtual std::string toString() const;

    HTTPHeaderField allow{"Allow"};
    HTTPHeaderField contentEncoding{"Content-Encoding"};
    HTTPHeaderField contentLength{"Content-Length"};
    HTTPHeaderField contentType{"Content-Type"};
    HTTPHeaderField expires{"Expires"};
    HTTPHeaderField lastModified{"Last-Modified"};
    HTTPHeaderField extensionHeader{"extension-header"};
};
