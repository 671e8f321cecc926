// The signing key, certificate signing requests and installed certificate
// of a simulated switch (management requests 2064 and 2065).
//
// Fabric file data, per switch:
//   "csr": "<text>"             answered as it stands (any bytes), or
//   "signingKey": "switch-01"   the key pair of the test PKI (sim/pki/<name>.key), or
//   "signingKey": "generate"    an RSA 2048 key pair made at the first request;
//   "subject": "core-1"         the common name of the request (default: the
//                               switch's world wide name).
// With a signing key, request 2064 answers a PEM certificate signing request
// made for that key and subject, signed with it. A switch with neither
// refuses. As the switch keeps them (read with {"op":"source"}):
//   "signingPublicKey"          PEM of the signing key's public half;
//   "installedCertificate"      hexadecimal bytes of the certificate last
//                               installed, exactly as they arrived;
//   "validCertificate"          whether that certificate is a PEM X.509
//                               certificate for the switch's signing key (for
//                               any key when the switch has none).
#pragma once

#include <optional>
#include <string>

#include "sim/FabricModel.h"

// The PEM signing request of the switch; nothing when it has no signing key
// or the key cannot be read.
std::optional<std::string> makeSigningRequest(SwitchModel& sw);

// Keeps `certificate` as the switch's installed certificate and sets its
// valid-certificate state.
void keepInstalledCertificate(SwitchModel& sw, const std::string& certificate);
