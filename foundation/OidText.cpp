#include "foundation/OidText.h"

#include <cstring>
#include <span>

#include "foundation/HexDigits.h"

namespace {

// The identifier's text: the type in 4 lowercase hex digits, then each of
// the eight name bytes in 2.
constexpr std::size_t kOidLength = 4 + 2 * WWNAddress::Size;

// Reads consecutive hex fields from a character field of fixed size.
class HexFieldReader {
public:
    HexFieldReader(const char* text, std::size_t size) : text_(text), size_(size) {}

    // Reads up to `width` hex digits into `value`; false when there is none.
    bool read(int width, unsigned* value) {
        return readHexDigits(text_, size_, pos_, width, *value);
    }

private:
    const char* text_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace

void formatOidString(unsigned short type, const WWNAddress& wwn, std::string& out) {
    char text[OidFieldSize];
    formatOidBuffer(wwn, text, type);
    out.assign(text, kOidLength);
}

void formatOidBuffer(const WWNAddress& wwn, char* buffer, unsigned short type) {
    char* at = writeHexDigits(buffer, type, 4);
    for (const unsigned char byte : std::span(wwn.bytes(), WWNAddress::Size)) {
        at = writeHexDigits(at, byte, 2);
    }
    *at = '\0';
}

int parseOidWwn(const OID_t& text, unsigned char name[8]) {
    // Reads the fields of the format above in order: each takes up to its
    // width in hex digits of either case and needs at least one. Reading
    // stops at the first field that has none, and never leaves the field.
    HexFieldReader reader(text, OidFieldSize);
    unsigned type = 0;
    unsigned part = 0;
    std::memset(name, 0, 8);
    if (!reader.read(4, &type)) {
        return 0;
    }
    for (int i = 0; i < 8 && reader.read(2, &part); ++i) {
        name[i] = static_cast<unsigned char>(part);
    }
    return static_cast<int>(type);
}

void CopyName48(char* dst, const char* src) {
    std::strncpy(dst, src != nullptr ? src : "", OidFieldSize);
    dst[OidFieldSize - 1] = '\0';
}

int CompareName48(const char* a, const char* b) {
    return std::strncmp(a, b, OidFieldSize);
}
