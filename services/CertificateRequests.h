// The switch certificate exports' implementations: the signing request
// that a switch generates, and the installation of a signed certificate.
// The library carries the texts between the caller and the switch and
// never reads them.
#pragma once

// The size of a signing request block for a text of `length` bytes: the
// text and ten NUL bytes.
constexpr int kSigningRequestPadding = 10;

int Int_CreateCertificateSigningRequest(const char* switchOid);
int Int_GetCertificateSigningRequest(const char* switchOid, char** signingRequest);
int Int_InstallCertificate(const char* switchOid, const char* certificate);
