#include "connection/CertMgr.h"

#include "connection/OpenSslPtr.h"
#include "connection/RootCertificate.h"

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

namespace {

std::atomic<CertMgr*> certificateManager{nullptr};

constexpr std::size_t pemLineLength = 64;

// Clears the calling thread's OpenSSL error queue on every way out, so that a
// failed check leaves nothing behind for the next caller on this thread.
struct ErrorQueueReset {
    ~ErrorQueueReset() { ERR_clear_error(); }
};

// Length of the Base64 text of n bytes, without line breaks or NUL.
std::size_t base64Length(std::size_t n) {
    return 4 * ((n + 2) / 3);
}

X509Ptr readCertificate(const char* pem, int length) {
    BioPtr bio(BIO_new_mem_buf(pem, length));
    if (!bio) {
        return nullptr;
    }
    return X509Ptr(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
}

// Encrypts data under key with PKCS#1 v1.5 padding; empty on failure.
std::vector<unsigned char> encryptPkcs1(EVP_PKEY* key, const unsigned char* data,
                                        std::size_t dataLength) {
    PkeyCtxPtr context(EVP_PKEY_CTX_new(key, nullptr));
    if (!context || EVP_PKEY_encrypt_init(context.get()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) <= 0) {
        return {};
    }
    std::size_t cipherLength = 0;
    if (EVP_PKEY_encrypt(context.get(), nullptr, &cipherLength, data, dataLength) <= 0) {
        return {};
    }
    std::vector<unsigned char> cipher(cipherLength);
    if (EVP_PKEY_encrypt(context.get(), cipher.data(), &cipherLength, data, dataLength) <= 0) {
        return {};
    }
    cipher.resize(cipherLength);
    return cipher;
}

} // namespace

std::string CertMgr::rootCertificatePEM() const {
    const std::size_t length = std::strlen(rootCertificateBase64);
    std::string pem = "-----BEGIN CERTIFICATE-----";
    pem.reserve(pem.size() + length + length / pemLineLength + 32);
    for (std::size_t i = 0; i < length; i += pemLineLength) {
        pem += '\n';
        pem.append(rootCertificateBase64 + i, std::min(pemLineLength, length - i));
    }
    pem += "\n-----END CERTIFICATE-----";
    return pem;
}

int CertMgr::encryptForSwitch(const char* switchCertificate, int certificateLength,
                              const unsigned char* data, int dataLength, char* out,
                              int* outLength) const {
    ErrorQueueReset resetErrors;
    if (switchCertificate == nullptr || certificateLength <= 0 || data == nullptr ||
        dataLength < 0 || out == nullptr || outLength == nullptr || *outLength <= 0) {
        return -1;
    }

    const std::string rootPem = rootCertificatePEM();
    X509Ptr root = readCertificate(rootPem.data(), static_cast<int>(rootPem.size()));
    if (!root) {
        return -1;
    }
    PkeyPtr rootKey(X509_get_pubkey(root.get()));
    X509Ptr certificate = readCertificate(switchCertificate, certificateLength);
    if (!rootKey || !certificate) {
        return -1;
    }
    // Only the signature is checked: no validity dates, names or chain.
    if (X509_verify(certificate.get(), rootKey.get()) != 1) {
        return -1;
    }

    PkeyPtr switchKey(X509_get_pubkey(certificate.get()));
    if (!switchKey || EVP_PKEY_base_id(switchKey.get()) != EVP_PKEY_RSA) {
        return -1;
    }
    // The cipher is as long as the key; its Base64 text and the NUL must fit.
    const int keySize = EVP_PKEY_get_size(switchKey.get());
    if (keySize <= 0 || base64Length(static_cast<std::size_t>(keySize)) + 1 >
                            static_cast<std::size_t>(*outLength)) {
        return -1;
    }

    const std::vector<unsigned char> cipher =
        encryptPkcs1(switchKey.get(), data, static_cast<std::size_t>(dataLength));
    if (cipher.empty() || cipher.size() > static_cast<std::size_t>(keySize)) {
        return -1;
    }
    const int textLength = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out), cipher.data(),
                                           static_cast<int>(cipher.size()));
    *outLength = textLength;
    return 0;
}

CertMgr* createCertificateManager() {
    CertMgr* existing = certificateManager.load();
    if (existing != nullptr) {
        return existing;
    }
    CertMgr* made = new (std::nothrow) CertMgr();
    if (made == nullptr) {
        return nullptr;
    }
    if (!certificateManager.compare_exchange_strong(existing, made)) {
        delete made; // another thread made it first
        return existing;
    }
    return made;
}

CertMgr* getCertificateManager() {
    return certificateManager.load();
}

void deleteCertificateManager() {
    delete certificateManager.exchange(nullptr);
}
