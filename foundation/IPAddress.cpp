#include "foundation/IPAddress.h"

#include "foundation/Hashing.h"

#include <algorithm>
#include <cstring>

IPAddress::IPAddress(const char* text) : text_(text != nullptr ? text : "") {}

IPAddress::~IPAddress() = default;

std::uint32_t IPAddress::hash() const {
    return HashBytes(text_.data(), static_cast<int>(text_.size()));
}

std::unique_ptr<char[]> IPAddress::newCopy() const {
    auto copy = std::make_unique<char[]>(text_.size() + 1);
    std::memcpy(copy.get(), text_.c_str(), text_.size() + 1);
    return copy;
}

std::size_t IPAddress::copyTo(char* dst, std::size_t dstSize) const {
    if (dst != nullptr && dstSize > 0) {
        const std::size_t n = std::min(text_.size(), dstSize - 1);
        std::memcpy(dst, text_.data(), n);
        dst[n] = '\0';
    }
    return text_.size() + 1;
}

std::size_t IPAddress::length() const {
    return text_.size();
}

bool operator==(const IPAddress& a, const IPAddress& b) {
    return &a == &b || std::strcmp(a.text_.c_str(), b.text_.c_str()) == 0;
}

bool operator<(const IPAddress& a, const IPAddress& b) {
    return &a != &b && std::strcmp(a.text_.c_str(), b.text_.c_str()) < 0;
}

namespace {

bool isHostTextCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.';
}

} // namespace

bool isHostText(const char* text) {
    if (text == nullptr) {
        return false;
    }
    const std::size_t length = strnlen(text, kHostTextMax + 1);
    return length > 0 && length <= kHostTextMax &&
           std::all_of(text, text + length, isHostTextCharacter);
}
