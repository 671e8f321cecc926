#include "api/AttributeValue.h"

#include <cstring>
#include <utility>

void AttributeValue::becomeNumber(AttributeKind kind) {
    kind_ = kind;
    std::memset(number_, 0, sizeof number_);
    text_.clear();
    bytes_.clear();
}

void AttributeValue::setText(std::string text) {
    becomeNumber(AttributeKind::Text);
    text_ = std::move(text);
}

void AttributeValue::setInt64(std::uint32_t low, std::uint32_t high) {
    becomeNumber(AttributeKind::Int64);
    std::memcpy(number_, &low, sizeof low);
    std::memcpy(number_ + sizeof low, &high, sizeof high);
}

void AttributeValue::setWwn(const WWNAddress& wwn) {
    becomeNumber(AttributeKind::Int64);
    wwn.copyOut(number_);
}

void AttributeValue::setShort(std::uint16_t value) {
    becomeNumber(AttributeKind::Short);
    std::memcpy(number_, &value, sizeof value);
}

void AttributeValue::setInt(std::int32_t value) {
    becomeNumber(AttributeKind::Int);
    std::memcpy(number_, &value, sizeof value);
}

void AttributeValue::setHandle(void* handle) {
    static_assert(sizeof handle <= sizeof number_);
    becomeNumber(AttributeKind::Handle);
    std::memcpy(number_, &handle, sizeof handle);
}

bool AttributeValue::setBytes(const void* bytes, int length) {
    if (length < 0 || static_cast<std::size_t>(length) > MaxBytes ||
        (bytes == nullptr && length > 0)) {
        return false;
    }
    std::vector<unsigned char> copy(static_cast<std::size_t>(length));
    if (length > 0) {
        std::memcpy(copy.data(), bytes, copy.size());
    }
    becomeNumber(AttributeKind::Bytes);
    bytes_ = std::move(copy);
    return true;
}

std::uint16_t AttributeValue::shortValue() const {
    std::uint16_t value;
    std::memcpy(&value, number_, sizeof value);
    return value;
}

std::int32_t AttributeValue::intValue() const {
    std::int32_t value;
    std::memcpy(&value, number_, sizeof value);
    return value;
}

void* AttributeValue::handleValue() const {
    void* value;
    std::memcpy(&value, number_, sizeof value);
    return value;
}

WWNAddress AttributeValue::wwnValue() const {
    return WWNAddress(number_);
}
