// Common part of HTTP requests and responses: the message body.
#pragma once

#include "adapters/http/HTMLDocument.h"

class HTTPMessageBody {
public:
    virtual ~HTTPMessageBody() = default;
    HTMLDocument document;
};

class HTTPMessage {
public:
    virtual ~HTTPMessage() = default;

    HTTPMessageBody& getBody() { return body_; }
    const HTTPMessageBody& getBody() const { return body_; }

private:
    HTTPMessageBody body_;
};
