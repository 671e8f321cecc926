// The certificate file: a Switch_Data document with one Switch element per
// switch, read with a hardened XML parser (no document type or external
// entity is ever loaded, entity expansion is bounded).
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct CertificateEntry {
    bool hasIsn = false;
    std::string ISN;    // as written, its entities decoded
    std::string status; // the Status attribute
    std::string error;  // the Error element's text
    bool hasCertificate = false;
    std::string certificate; // the Certificate element's text, line breaks kept
};

struct CertificateDocument {
    bool parsed = false;     // the text is well-formed XML
    bool hasSwitchData = false; // its root is Switch_Data
    std::string errorText;   // the parser's message when not parsed
    std::vector<CertificateEntry> entries; // the root's Switch children, in order
};

CertificateDocument parseCertificateDocument(std::string_view text);
