// FirmwareVersion: a switch's firmware version text ("v3.1.0"), kept in a
// 32-character field. A text of 32 characters or more fills the field
// without a NUL, so every read of the field is bounded by its size.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

// The version text of a switch that reports none.
inline constexpr char UnknownVersionText[] = "unknown";

class FirmwareVersion {
public:
    static constexpr std::size_t TextSize = 32;

    explicit FirmwareVersion(const char* text); // a null pointer gives the empty text
    FirmwareVersion(const FirmwareVersion& other) = default;
    FirmwareVersion& operator=(const FirmwareVersion& other) = default;
    virtual ~FirmwareVersion();

    // True when the text, after one optional leading 'v' or 'V', starts
    // with the decimal numbers `major` '.' `minor` ("v2.3.1" and "2.3"
    // match 2 and 3; "10.1" does not match 1 and 0, nor "2.30" 2 and 3).
    virtual bool matches(unsigned major, unsigned minor) const;
    // False for the text "unknown".
    virtual bool isKnown() const;
    // A new NUL-terminated heap copy of the text (at most 32 characters).
    virtual std::unique_ptr<char[]> copyText() const;
    virtual bool equals(const FirmwareVersion& other) const;
    // 1 when only this text begins with '/', -1 when only the other does;
    // otherwise the texts from their second character on, compared as C
    // strings of unsigned bytes: -1, 0 or 1.
    virtual int compare(const FirmwareVersion& other) const;
    virtual std::string toString() const;

private:
    char text_[TextSize]; // NUL-padded; no NUL when the text fills it
};
