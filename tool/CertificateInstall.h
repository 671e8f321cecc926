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

// Installs the certificates of `document` on the switches of `fabrics`: the
// number installed (0 or less is a failure).
long loadCertificates(ToolContext& context, const CertificateLibrary& library,
                      const std::vector<FabricInfo>& fabrics, const std::string& document);

// The switch whose switchOID is `switchIdentifier` (letters compared in any
// case), else the switch whose ISN names the same digits: 1 and `found` set,
// or 0.
int findSwitchByWwn(ToolContext& context, const std::vector<FabricInfo>& fabrics,
                    std::string switchIdentifier, const SwitchInfo*& found);

// True for 16 hexadecimal digits once colons are removed; `digits`
// receives them in lower case.
bool switchNameDigits(const std::string& name, std::string& digits);
