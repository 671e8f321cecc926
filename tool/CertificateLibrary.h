// The library's two certificate commands as zettle calls them: a pair of
// function pointers, so that the certificate tasks can be tried against
// scripted switches. The program uses libraryCertificates().
#pragma once

struct CertificateLibrary {
    // Stores the switch's signing request text (a library block, not freed)
    // through `request`: 0, or the library's status.
    int (*getSigningRequest)(const char* switchOid, char** request) = nullptr;
    // Sends `certificate` to the switch: 0 when it was accepted.
    int (*installCertificate)(const char* switchOid, const char* certificate) = nullptr;
};

// GetCertificateSigningRequest and InstallCertificate of libOrvane_2.so.
CertificateLibrary libraryCertificates();
