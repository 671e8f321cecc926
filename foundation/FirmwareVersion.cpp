#include "foundation/FirmwareVersion.h"

#include <cstring>

namespace {

// Reads a decimal number at `text[*pos]`, within `size` characters.
// Returns false when no digit is there; a number too large for unsigned
// saturates, so that it matches nothing a caller can ask for.
bool readNumber(const char* text, std::size_t size, std::size_t* pos, unsigned long long* value) {
    const std::size_t start = *pos;
    unsigned long long number = 0;
    while (*pos < size && text[*pos] >= '0' && text[*pos] <= '9') {
        if (number <= 0xFFFFFFFFull) {
            number = number * 10 + static_cast<unsigned>(text[*pos] - '0');
        }
        ++*pos;
    }
    *value = number;
    return *pos > start;
}

} // namespace

FirmwareVersion::FirmwareVersion(const char* text) : text_{} {
    if (text != nullptr) {
        // Like strncpy: at most 32 characters, the rest NUL-padded, and no
        // NUL when the text fills the field.
        std::memcpy(text_, text, strnlen(text, TextSize));
    }
}

FirmwareVersion::~FirmwareVersion() = default;

bool FirmwareVersion::matches(unsigned major, unsigned minor) const {
    std::size_t pos = 0;
    if (text_[0] == 'v' || text_[0] == 'V') {
        pos = 1;
    }
    unsigned long long textMajor = 0;
    unsigned long long textMinor = 0;
    if (!readNumber(text_, TextSize, &pos, &textMajor)) {
        return false;
    }
    if (pos >= TextSize || text_[pos] != '.') {
        return false;
    }
    ++pos;
    if (!readNumber(text_, TextSize, &pos, &textMinor)) {
        return false;
    }
    return textMajor == major && textMinor == minor;
}

bool FirmwareVersion::isKnown() const {
    return std::strncmp(text_, UnknownVersionText, TextSize) != 0;
}

std::unique_ptr<char[]> FirmwareVersion::copyText() const {
    auto copy = std::make_unique<char[]>(TextSize + 1); // zero-filled
    std::memcpy(copy.get(), text_, TextSize);
    return copy;
}

bool FirmwareVersion::equals(const FirmwareVersion& other) const {
    return std::strncmp(text_, other.text_, TextSize) == 0;
}

int FirmwareVersion::compare(const FirmwareVersion& other) const {
    const bool slash = text_[0] == '/';
    const bool otherSlash = other.text_[0] == '/';
    if (slash != otherSlash) {
        return slash ? 1 : -1;
    }
    // strncmp compares the bytes as unsigned char. The field is NUL-padded,
    // so the second character exists even for an empty text.
    const int order = std::strncmp(text_ + 1, other.text_ + 1, TextSize - 1);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

std::string FirmwareVersion::toString() const {
    return std::string(text_, strnlen(text_, TextSize));
}
