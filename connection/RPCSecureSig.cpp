#include "connection/RPCSecureSig.h"

#include <cstring>

namespace {

// A new buffer of RPCSecureSig::TextSize bytes holding a bounded copy.
std::unique_ptr<char[]> boundedCopy(const char* text) {
    auto buffer = std::make_unique<char[]>(RPCSecureSig::TextSize);
    if (text != nullptr) {
        const std::size_t length = strnlen(text, RPCSecureSig::TextSize - 1);
        std::memcpy(buffer.get(), text, length);
        buffer[length] = '\0';
    }
    return buffer;
}

} // namespace

RPCSecureSig::RPCSecureSig(const char* text, int number)
    : text_(boundedCopy(text)), number_(number) {}

RPCSecureSig::RPCSecureSig(const RPCSecureSig& other)
    : text_(boundedCopy(other.text_.get())), number_(other.number_) {}

RPCSecureSig& RPCSecureSig::operator=(const RPCSecureSig& other) {
    if (this != &other) {
        text_ = boundedCopy(other.text_.get());
        number_ = other.number_;
    }
    return *this;
}

RPCSecureSig::~RPCSecureSig() = default;
