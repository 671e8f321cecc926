// QuillonString: the library's own heap string.
//
// Holds one NUL-terminated buffer on the C heap, always exactly as long as
// the text plus its NUL. The buffer is never null: the empty string owns a
// one-byte buffer. Trace arguments and many names travel in it.
// Allocation failure throws std::bad_alloc, which the exports turn into -2.
#pragma once

#include <cstddef>
#include <string>

class QuillonString {
public:
    QuillonString();
    QuillonString(const char* text); // a null pointer gives the empty string
    QuillonString(const std::string& text);
    QuillonString(const QuillonString& other);
    QuillonString& operator=(const QuillonString& other);
    virtual ~QuillonString();

    virtual void append(const QuillonString& other);
    virtual void append(const char* text);
    virtual std::size_t length() const;
    virtual std::size_t size() const; // same as length()
    // Removes the last character; the empty string stays unchanged.
    virtual void dropLastChar();
    virtual const char* c_str() const;

    QuillonString& operator+=(const QuillonString& other);
    QuillonString& operator+=(const char* text);

    // Byte-for-byte equality.
    friend bool operator==(const QuillonString& a, const QuillonString& b);
    // The order of strcmp: bytes compared as unsigned, a shorter prefix first.
    friend bool operator<(const QuillonString& a, const QuillonString& b);

private:
    // Replaces the buffer by a new one holding `head` (of `headLength`
    // bytes) followed by `tail` (of `tailLength` bytes) and a NUL.
    void rebuild(const char* head, std::size_t headLength, const char* tail,
                 std::size_t tailLength);

    char* buffer_;
};
