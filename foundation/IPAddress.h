// IPAddress: an IPv4 address held as its dotted text, as given (it is
// neither checked nor normalised). isHostText() is the check that texts
// from callers and files pass before they name a proxy switch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class IPAddress {
public:
    explicit IPAddress(const char* text); // a null pointer gives the empty text
    IPAddress(const IPAddress& other) = default;
    IPAddress& operator=(const IPAddress& other) = default;
    virtual ~IPAddress();

    // HashBytes over the text without its NUL.
    virtual std::uint32_t hash() const;
    // A new heap copy of the text with its NUL.
    virtual std::unique_ptr<char[]> newCopy() const;
    // Copies the text and a NUL into `dst` of `dstSize` bytes, cut short
    // when it does not fit; returns the text length plus one, so a result
    // above `dstSize` tells the caller that the copy was cut.
    virtual std::size_t copyTo(char* dst, std::size_t dstSize) const;
    virtual std::size_t length() const;

    const char* c_str() const { return text_.c_str(); }

    friend bool operator==(const IPAddress& a, const IPAddress& b);
    // strcmp order of the texts.
    friend bool operator<(const IPAddress& a, const IPAddress& b);

private:
    std::string text_;
};

// The longest host text.
constexpr std::size_t kHostTextMax = 255;

// Whether `text` may name a proxy switch: an IPv4 address text or a host
// name, that is 1 to kHostTextMax ASCII letters, digits, '-' and '.'. Null,
// empty and longer texts, blanks, line ends, ports ("host:80") and every
// other character are refused; no more than kHostTextMax + 1 bytes are read.
bool isHostText(const char* text);
