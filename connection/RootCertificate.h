// The root certificate authority that the library carries: the Base64 text of
// its DER form, without PEM markers or line breaks, NUL-terminated. The build
// generates its definition from a PEM file (connection/certificates.cmake).
#pragma once

extern const char rootCertificateBase64[];
