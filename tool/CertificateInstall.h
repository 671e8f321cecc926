// Installing signed certificates: the certificate file is read, each of its
// Switch entries is matched to a switch of the chosen fabrics and its
// certificate sent with InstallCertificate.
#pragma once

#include <string>
#include <vector>

#include "CertificateLibrary.h"
#include "FabricTable.h"

struct ToolContext;

// Longest certificate text a switch takes; a longer one is not sent.
inline constexpr std::size_t MaxCertificateLength = 2048;

// Reads DATA_FILE_NAME whole into `document`: the number of bytes read, 0
// when the file cannot be opened or is empty.
long readSwitchDataFile(ToolContext& context, std::string& document);

// What an installation did with the entries of a certificate file.
struct CertificateLoad {
    long loaded = 0;   // installed, and the switch reports the certificate valid
    long failed = 0;   // refused, not valid on the switch, or too long to send
    long unknown = 0;  // sent and accepted; the switch does not tell whether it is valid
    long unusable = 0; // no certificate to send: no or a bad name, an error entry, empty
    // Some switch of the file did not end with a valid certificate. Entries
    // for switches outside the chosen fabrics count for nothing.
    bool incomplete() const { return failed + unknown + unusable > 0; }
};

// Installs the certificates of `document` on the switches of `fabrics`,
// reading each switch's certificate state back after its installation. A
// task installed nothing when `loaded` is 0 or less.
CertificateLoad loadCertificates(ToolContext& context, const CertificateLibrary& library,
                                 const std::vector<FabricInfo>& fabrics,
                                 const std::string& document);

// The certificate text as it is sent: no blanks or line breaks around it,
// but one line feed after its last line when a line break followed it
// (empty when nothing else is left).
std::string trimmedCertificate(const std::string& text);

// True for an attribute or element text that says nothing: empty, or only
// blanks and line breaks.
bool isBlank(const std::string& text);

// The switch whose switchOID is `switchIdentifier` (letters compared in any
// case), else the switch whose ISN names the same digits: 1 and `found` set,
// or 0.
int findSwitchByWwn(ToolContext& context, const std::vector<FabricInfo>& fabrics,
                    std::string switchIdentifier, const SwitchInfo*& found);

// True for 16 hexadecimal digits once colons are removed; `digits`
// receives them in lower case.
bool switchNameDigits(const std::string& name, std::string& digits);
