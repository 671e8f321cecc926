#include "foundation/WWNAddress.h"

#include "foundation/OidText.h"

#include <cstdio>
#include <cstring>

WWNAddress::WWNAddress() : bytes_{} {}

WWNAddress::WWNAddress(const unsigned char bytes[Size]) {
    std::memcpy(bytes_, bytes, Size);
}

WWNAddress::WWNAddress(const OID_t& oid) : bytes_{} {
    parseOidWwn(oid, bytes_);
}

WWNAddress::~WWNAddress() = default;

std::string WWNAddress::toString() const {
    char text[24];
    const int length =
        std::snprintf(text, sizeof text, "%02x:%02x:%02x:%02x:%02x:%02x:%02x:%02x", bytes_[0],
                      bytes_[1], bytes_[2], bytes_[3], bytes_[4], bytes_[5], bytes_[6], bytes_[7]);
    if (length <= 0) {
        return "Error!";
    }
    return text;
}

int WWNAddress::compare(const WWNAddress& other) const {
    // All eight bytes count: world wide names often hold zero bytes, and
    // names that differ only after one must not compare equal.
    return std::memcmp(bytes_, other.bytes_, Size);
}

std::unique_ptr<unsigned char[]> WWNAddress::newCopy() const {
    auto copy = std::make_unique<unsigned char[]>(Size);
    std::memcpy(copy.get(), bytes_, Size);
    return copy;
}

void WWNAddress::copyOut(unsigned char dst[Size]) const {
    std::memcpy(dst, bytes_, Size);
}

bool WWNAddress::isZero() const {
    for (unsigned char byte : bytes_) {
        if (byte != 0) {
            return false;
        }
    }
    return true;
}

unsigned char WWNAddress::byteAt(std::size_t i) const {
    return i < Size ? bytes_[i] : 0;
}

bool operator==(const WWNAddress& a, const WWNAddress& b) {
    return std::memcmp(a.bytes_, b.bytes_, WWNAddress::Size) == 0;
}

bool operator<(const WWNAddress& a, const WWNAddress& b) {
    // The text form has fixed-width hex pairs, so the byte order is its order.
    return &a != &b && std::memcmp(a.bytes_, b.bytes_, WWNAddress::Size) < 0;
}
