// An HTML page cut into the text before its head, the head, the body and
// the text after the body, along the upper-case tags "<HEAD>", "</HEAD>",
// "<BODY>" and "</BODY>".
#pragma once

#include <string>

class HTMLHead {
public:
    virtual ~HTMLHead() = default;
    std::string text;
};

class HTMLBody {
public:
    virtual ~HTMLBody() = default;

    // Sets the raw body text and keeps its data lines as the filtered text:
    // every line (with its LF; a last piece without one is a line too)
    // except a line that is exactly CR LF and a line starting with "<".
    void setRaw(const std::string& raw);

    const std::string& getRaw() const { return raw_; }
    const std::string& getFiltered() const { return filtered_; }

private:
    std::string raw_;
    std::string filtered_;
};

class HTMLDocument {
public:
    virtual ~HTMLDocument() = default;

    // Cuts `text` into the document's parts. Missing tags are not an
    // error: without both body tags the body is everything after the head
    // (or the whole text when there is no head).
    void split(const std::string& text);

    // The text before the head, the head and the raw body, joined.
    std::string toString() const;

    const std::string& getPreHead() const { return preHead_; }
    const std::string& getPostBody() const { return postBody_; }
    const HTMLHead& getHead() const { return head_; }
    const HTMLBody& getBody() const { return body_; }

private:
    std::string preHead_;
    std::string postBody_;
    HTMLHead head_;
    HTMLBody body_;
};
