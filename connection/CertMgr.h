// The certificate manager: checks a switch's certificate against the root
// certificate authority that the library carries, and encrypts data for that
// switch under the certificate's public key. It is the library's only user of
// OpenSSL.
#pragma once

#include <string>

class CertMgr {
public:
    // OpenSSL 3 initialises and cleans up after itself, so both are empty.
    CertMgr() = default;
    ~CertMgr() = default;

    CertMgr(const CertMgr&) = delete;
    CertMgr& operator=(const CertMgr&) = delete;

    // The embedded root in PEM form: "-----BEGIN CERTIFICATE-----", the stored
    // Base64 text with a line break before every 64th character (before
    // characters 0, 64, 128, ...), then "\n-----END CERTIFICATE-----".
    std::string rootCertificatePEM() const;

    // Verifies that the root signed switchCertificate (certificateLength bytes
    // of PEM text as the switch sent it), then encrypts dataLength bytes of
    // data under the certificate's RSA public key with PKCS#1 v1.5 padding.
    // On entry *outLength holds the size of out. Returns 0 with the Base64 text
    // of the cipher, NUL-terminated, in out and its length in *outLength; or -1,
    // leaving out and *outLength unchanged. Keeps no state between calls.
    int encryptForSwitch(const char* switchCertificate, int certificateLength,
                         const unsigned char* data, int dataLength, char* out,
                         int* outLength) const;
};

// Returns the process-wide certificate manager, making it first when there is
// none; null when it cannot be allocated.
CertMgr* createCertificateManager();

// The process-wide certificate manager, or null.
CertMgr* getCertificateManager();

// Deletes the process-wide certificate manager (shutdown); no-op without one.
void deleteCertificateManager();
