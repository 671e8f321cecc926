#include "foundation/QuillonString.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Allocates `length + 1` bytes on the C heap and copies `length` bytes of
// `text` and a NUL into them.
char* copyText(const char* text, std::size_t length) {
    char* buffer = static_cast<char*>(std::malloc(length + 1));
    if (buffer == nullptr) {
        throw std::bad_alloc();
    }
    if (length > 0) {
        std::memcpy(buffer, text, length);
    }
    buffer[length] = '\0';
    return buffer;
}

} // namespace

QuillonString::QuillonString() : buffer_(copyText("", 0)) {}

QuillonString::QuillonString(const char* text)
    : buffer_(text != nullptr ? copyText(text, std::strlen(text)) : copyText("", 0)) {}

QuillonString::QuillonString(const std::string& text)
    : buffer_(copyText(text.c_str(), std::strlen(text.c_str()))) {}

QuillonString::QuillonString(const QuillonString& other)
    : buffer_(copyText(other.buffer_, other.length())) {}

QuillonString& QuillonString::operator=(const QuillonString& other) {
    if (this != &other) {
        char* copy = copyText(other.buffer_, other.length());
        std::free(buffer_);
        buffer_ = copy;
    }
    return *this;
}

QuillonString::~QuillonString() {
    std::free(buffer_);
}

void QuillonString::append(const QuillonString& other) {
    // Appending a string to itself reads the old buffer before it is freed.
    rebuild(buffer_, length(), other.buffer_, other.length());
}

void QuillonString::append(const char* text) {
    if (text != nullptr) {
        rebuild(buffer_, length(), text, std::strlen(text));
    }
}

std::size_t QuillonString::length() const {
    return std::strlen(buffer_);
}

std::size_t QuillonString::size() const {
    return length();
}

void QuillonString::dropLastChar() {
    const std::size_t len = length();
    if (len >= 1) {
        rebuild(buffer_, len - 1, "", 0);
    }
}

const char* QuillonString::c_str() const {
    return buffer_;
}

QuillonString& QuillonString::operator+=(const QuillonString& other) {
    append(other);
    return *this;
}

QuillonString& QuillonString::operator+=(const char* text) {
    append(text);
    return *this;
}

bool operator==(const QuillonString& a, const QuillonString& b) {
    return std::strcmp(a.buffer_, b.buffer_) == 0;
}

bool operator<(const QuillonString& a, const QuillonString& b) {
    // strcmp compares the bytes as unsigned char.
    return std::strcmp(a.buffer_, b.buffer_) < 0;
}

void QuillonString::rebuild(const char* head, std::size_t headLength, const char* tail,
                            std::size_t tailLength) {
    char* buffer = static_cast<char*>(std::malloc(headLength + tailLength + 1));
    if (buffer == nullptr) {
        throw std::bad_alloc();
    }
    std::memcpy(buffer, head, headLength);
    std::memcpy(buffer + headLength, tail, tailLength);
    buffer[headLength + tailLength] = '\0';
    std::free(buffer_);
    buffer_ = buffer;
}
