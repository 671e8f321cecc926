#include "adapters/http/HTMLDocument.h"

#include <string_view>

namespace {

// Finds the section from `open` up to and including the first LF at or after
// `close` (or to the end of the text when no LF follows). The closing tag is
// searched only after the opening one. False when either tag is missing.
bool findSection(const std::string& text, const char* open, const char* close, std::size_t& begin,
                 std::size_t& end) {
    begin = text.find(open);
    if (begin == std::string::npos) {
        return false;
    }
    const std::size_t closing = text.find(close, begin);
    if (closing == std::string::npos) {
        return false;
    }
    const std::size_t lf = text.find('\n', closing);
    end = lf == std::string::npos ? text.size() : lf + 1;
    return true;
}

} // namespace

void HTMLBody::setRaw(const std::string& raw) {
    raw_ = raw;
    filtered_.clear();
    std::size_t pos = 0;
    while (pos < raw_.size()) {
        const std::size_t lf = raw_.find('\n', pos);
        const std::size_t end = lf == std::string::npos ? raw_.size() : lf + 1;
        const std::string_view line(raw_.data() + pos, end - pos);
        if (line != "\r\n" && line.front() != '<') {
            filtered_ += line;
        }
        pos = end;
    }
}

void HTMLDocument::split(const std::string& text) {
    preHead_.clear();
    postBody_.clear();
    head_.text.clear();
    std::size_t headBegin = 0;
    std::size_t headEnd = 0;
    const bool hasHead = findSection(text, "<HEAD>", "</HEAD>", headBegin, headEnd);
    if (hasHead) {
        preHead_ = text.substr(0, headBegin);
        head_.text = text.substr(headBegin, headEnd - headBegin);
    }
    std::size_t bodyBegin = 0;
    std::size_t bodyEnd = 0;
    if (findSection(text, "<BODY>", "</BODY>", bodyBegin, bodyEnd)) {
        body_.setRaw(text.substr(bodyBegin, bodyEnd - bodyBegin));
        postBody_ = text.substr(bodyEnd);
    } else {
        body_.setRaw(hasHead ? text.substr(headEnd) : text);
    }
}

std::string HTMLDocument::toString() const {
    return preHead_ + head_.text + body_.getRaw();
}
