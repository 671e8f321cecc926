#include "objects/ObjectIdentifiers.h"

#include <cstdio>
#include <cstring>

#include <orvane/status.h>

#include "foundation/HexDigits.h"
#include "foundation/OidText.h"
#include "objects/ObjectTypes.h"

namespace {

constexpr std::size_t kTypeDigits = 4;
constexpr std::size_t kNameDigits = 16;
constexpr std::size_t kPlainLength = kTypeDigits + kNameDigits;
constexpr std::size_t kPortGroupLength = 24;
constexpr std::size_t kWwnTextLength = 23;
constexpr int kMaxPort = 255;
constexpr int kMaxDomain = 239;

// Whether `text` holds `count` hex digits from `start` on, all within the
// identifier field.
bool hexDigitsAt(const char* text, std::size_t start, std::size_t count) {
    const std::size_t end = start + count;
    if (end > OidFieldSize) {
        return false;
    }
    for (std::size_t i = start; i < end; ++i) {
        if (hexDigitValue(text[i]) < 0) {
            return false;
        }
    }
    return true;
}

} // namespace

bool IsValidOidText(const char* text) {
    if (text == nullptr) {
        return false;
    }
    const std::size_t length = strnlen(text, OidFieldSize);
    return length >= kPlainLength && length <= MaxOidDigits && hexDigitsAt(text, 0, length);
}

int hexTextToInt(const char* text, int length) {
    unsigned value = 0;
    bool ended = text == nullptr;
    for (int i = 0; i < length; i += 2) {
        unsigned pair = 0;
        for (int j = i; j < i + 2; ++j) {
            const int digit = (ended || j >= length) ? -1 : hexDigitValue(text[j]);
            ended = ended || (j < length && text[j] == '\0');
            pair = pair * 16 + static_cast<unsigned>(digit < 0 ? 0 : digit);
        }
        value = (value << 8) + pair;
    }
    return static_cast<int>(value);
}

bool parseWwnText(const char* text, unsigned char wwn[8]) {
    if (text == nullptr || wwn == nullptr || strnlen(text, kWwnTextLength) < kWwnTextLength) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        wwn[i] = static_cast<unsigned char>(hexTextToInt(text + 3 * i, 2));
    }
    return true;
}

bool isNonZeroWwn(const unsigned char wwn[8]) {
    for (int i = 0; i < 8; ++i) {
        if (wwn[i] != 0) {
            return true;
        }
    }
    return false;
}

bool readOidType(const char* oid, unsigned short& type) {
    if (oid == nullptr || !hexDigitsAt(oid, 0, kTypeDigits)) {
        return false;
    }
    type = static_cast<unsigned short>(hexTextToInt(oid, kTypeDigits));
    return true;
}

int encodeSwitchPortGroupOid(const char* switchOid, int firstPort, int lastPort, char* groupOid) {
    unsigned short type = 0;
    if (groupOid == nullptr || !readOidType(switchOid, type) || type != ObjectType::Switch ||
        !hexDigitsAt(switchOid, kTypeDigits, kNameDigits) || firstPort < 0 ||
        lastPort < firstPort || lastPort > kMaxPort) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    std::snprintf(groupOid, OidFieldSize, "%04x%.16s%02x%02x", ObjectType::SwitchPortGroup,
                  switchOid + kTypeDigits, static_cast<unsigned>(firstPort),
                  static_cast<unsigned>(lastPort));
    return FABAPI_OK;
}

int decodeSwitchPortGroupOid(const char* groupOid, char* switchOid, int* firstPort, int* lastPort) {
    unsigned short type = 0;
    if (switchOid == nullptr || firstPort == nullptr || lastPort == nullptr ||
        !IsValidOidText(groupOid) || strnlen(groupOid, OidFieldSize) != kPortGroupLength ||
        !readOidType(groupOid, type) || type != ObjectType::SwitchPortGroup) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    std::snprintf(switchOid, OidFieldSize, "%04x%.16s", ObjectType::Switch, groupOid + kTypeDigits);
    *firstPort = hexTextToInt(groupOid + kPlainLength, 2);
    *lastPort = hexTextToInt(groupOid + kPlainLength + 2, 2);
    return FABAPI_OK;
}

int encodeDomainPortRef(int domain, int port, char* ref) {
    if (ref == nullptr || domain < 0 || domain > kMaxDomain || port < 0 || port > kMaxPort) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    std::snprintf(ref, OidFieldSize, "%04x%02x%02x000000000000", ObjectType::DomainPortRef,
                  static_cast<unsigned>(domain), static_cast<unsigned>(port));
    return FABAPI_OK;
}

int decodeDomainPortRef(const char* ref, int* domain, int* port) {
    unsigned short type = 0;
    if (domain == nullptr || port == nullptr || !IsValidOidText(ref) || !readOidType(ref, type) ||
        type != ObjectType::DomainPortRef) {
        return FABAPI_ERR_BAD_ARGUMENT;
    }
    *domain = hexTextToInt(ref + kTypeDigits, 2);
    *port = hexTextToInt(ref + kTypeDigits + 2, 2);
    return FABAPI_OK;
}
