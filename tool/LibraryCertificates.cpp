#include "CertificateLibrary.h"

#include "orvane/transfers.h"

CertificateLibrary libraryCertificates() {
    CertificateLibrary library;
    library.getSigningRequest = &GetCertificateSigningRequest;
    library.installCertificate = &InstallCertificate;
    return library;
}
