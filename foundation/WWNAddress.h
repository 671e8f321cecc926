// WWNAddress: an 8-byte world wide name, most significant byte first.
#pragma once

#include <orvane/oid.h>

#include <cstddef>
#include <memory>
#include <string>

class WWNAddress {
public:
    static constexpr std::size_t Size = 8;

    WWNAddress(); // the zero name
    explicit WWNAddress(const unsigned char bytes[Size]);
    // The name held in an identifier text; the object type is dropped.
    explicit WWNAddress(const OID_t& oid);
    WWNAddress(const WWNAddress& other) = default;
    WWNAddress& operator=(const WWNAddress& other) = default;
    virtual ~WWNAddress();

    // The eight bytes as lower-case hex pairs separated by colons
    // ("10:00:00:60:69:12:34:56").
    virtual std::string toString() const;
    // Orders the names by all eight bytes (memcmp): <0, 0 or >0.
    virtual int compare(const WWNAddress& other) const;
    // A new heap copy of the eight bytes.
    virtual std::unique_ptr<unsigned char[]> newCopy() const;
    // Copies the eight bytes to `dst`.
    virtual void copyOut(unsigned char dst[Size]) const;
    virtual bool isZero() const;

    // Byte `i` of the name; 0 outside 0 to 7.
    unsigned char byteAt(std::size_t i) const;
    const unsigned char* bytes() const { return bytes_; }

    friend bool operator==(const WWNAddress& a, const WWNAddress& b);
    // The order of the toString texts, which is the order of the bytes.
    friend bool operator<(const WWNAddress& a, const WWNAddress& b);

private:
    unsigned char bytes_[Size];
};
