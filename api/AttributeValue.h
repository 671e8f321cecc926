// One named attribute of a stored object: a value kind and its value.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/WWNAddress.h"

enum class AttributeKind : int {
    Text = 2002,
    Int64 = 2003, // two 32-bit halves, or the eight bytes of a world wide name
    Short = 2004,
    Int = 2006,
    Handle = 2010, // pointer-sized, owned elsewhere
    Bytes = 2011,
};

class AttributeValue {
public:
    // The most bytes a byte-string value holds.
    static constexpr std::size_t MaxBytes = 256;

    AttributeKind kind() const { return kind_; }

    // Each setter changes the kind to its own and drops the previous value.
    void setText(std::string text);
    void setInt64(std::uint32_t low, std::uint32_t high);
    void setWwn(const WWNAddress& wwn);
    void setShort(std::uint16_t value);
    void setInt(std::int32_t value);
    void setHandle(void* handle);
    // False, with the value unchanged, when `length` is negative or above
    // MaxBytes, or `bytes` is null with a length above 0.
    bool setBytes(const void* bytes, int length);

    // Numbers of every kind share one 8-byte field, each stored from its
    // first byte in the host's order, so a number reads in any width: the
    // getters take their own width from the front of the field. A text or a
    // byte string reads as 0 there.
    std::uint16_t shortValue() const;
    std::int32_t intValue() const;
    void* handleValue() const;
    // The eight bytes of the field: a world wide name in its own order.
    WWNAddress wwnValue() const;

    // Empty unless the value is of that kind.
    const std::string& text() const { return text_; }
    const std::vector<unsigned char>& bytes() const { return bytes_; }

private:
    void becomeNumber(AttributeKind kind);

    AttributeKind kind_ = AttributeKind::Int;
    unsigned char number_[8] = {};
    std::string text_;
    std::vector<unsigned char> bytes_;
};
