#include "foundation/APIException.h"

APIException::APIException(const std::string& message, int code) : message_(message), code_(code) {}

APIException::APIException(const char* message, int code)
    : message_(message != nullptr ? message : ""), code_(code) {}

APIException::~APIException() = default;

std::string APIException::getMessage() const {
    return message_;
}

int APIException::getCode() const {
    return code_;
}

const char* APIException::what() const noexcept {
    return message_.c_str();
}
