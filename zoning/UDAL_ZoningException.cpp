#include "zoning/UDAL_ZoningException.h"

#include <cstring>
#include <new>

namespace {

// An exception is raised also when memory ran out: without a copy of the
// name it still carries its code.
char* copyText(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const std::size_t size = std::strlen(text) + 1;
    char* copy = new (std::nothrow) char[size];
    if (copy != nullptr) {
        std::memcpy(copy, text, size);
    }
    return copy;
}

} // namespace

UDAL_ZoningException::UDAL_ZoningException(int code, const char* operation)
    : code(code), operation(copyText(operation)) {}

UDAL_ZoningException::UDAL_ZoningException(const UDAL_ZoningException& other)
    : code(other.code), operation(copyText(other.operation)) {}

UDAL_ZoningException::~UDAL_ZoningException() {
    delete[] operation;
}
