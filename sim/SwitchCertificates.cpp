#include "sim/SwitchCertificates.h"

#include <fstream>
#include <sstream>

#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include "connection/OpenSslPtr.h"
#include "sim/PkiFolder.h"
#include "sim/ServiceData.h"

namespace {

struct ReqFree {
    void operator()(X509_REQ* request) const { X509_REQ_free(request); }
};
using ReqPtr = std::unique_ptr<X509_REQ, ReqFree>;

constexpr char kGenerate[] = "generate";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string();
}

std::string bioText(BIO* bio) {
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

PkeyPtr privateKeyOf(const std::string& pem) {
    BioPtr bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    return PkeyPtr(bio ? PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr) : nullptr);
}

std::string privatePem(EVP_PKEY* key) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) != 1)
        return {};
    return bioText(bio.get());
}

std::string publicPem(EVP_PKEY* key) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_PUBKEY(bio.get(), key) != 1)
        return {};
    return bioText(bio.get());
}

// The switch's signing key: read from the test PKI, or made once and kept
// in the switch's data. Null without one.
PkeyPtr signingKeyOf(SwitchModel& sw) {
    if (!sw.source.is_object() || !sw.source.contains("signingKey") ||
        !sw.source["signingKey"].is_string())
        return nullptr;
    const std::string name = sw.source["signingKey"].get<std::string>();
    PkeyPtr key;
    if (name == kGenerate) {
        if (sw.source.contains("generatedSigningKey")) {
            key = privateKeyOf(sw.source["generatedSigningKey"].get<std::string>());
        } else {
            key.reset(EVP_RSA_gen(2048));
            if (key)
                sw.source["generatedSigningKey"] = privatePem(key.get());
        }
    } else if (name.find('/') == std::string::npos) {
        key = privateKeyOf(readFile(pkiFolder() + "/" + name + ".key"));
    }
    if (key)
        sw.source["signingPublicKey"] = publicPem(key.get());
    return key;
}

bool addEntry(X509_NAME* subject, const char* field, const std::string& value) {
    return X509_NAME_add_entry_by_txt(subject, field, MBSTRING_UTF8,
                                      reinterpret_cast<const unsigned char*>(value.c_str()), -1,
                                      -1, 0) == 1;
}

} // namespace

std::optional<std::string> makeSigningRequest(SwitchModel& sw) {
    PkeyPtr key = signingKeyOf(sw);
    if (!key)
        return std::nullopt;
    const std::string commonName = sw.source.value("subject", formatWwn(sw.wwn));
    ReqPtr request(X509_REQ_new());
    if (!request || X509_REQ_set_version(request.get(), 0) != 1)
        return std::nullopt;
    X509_NAME* subject = X509_REQ_get_subject_name(request.get());
    if (!addEntry(subject, "O", "Orvane Project") || !addEntry(subject, "OU", "Simulated switch") ||
        !addEntry(subject, "CN", commonName) || X509_REQ_set_pubkey(request.get(), key.get()) != 1 ||
        X509_REQ_sign(request.get(), key.get(), EVP_sha256()) <= 0)
        return std::nullopt;
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!bio || PEM_write_bio_X509_REQ(bio.get(), request.get()) != 1)
        return std::nullopt;
    return bioText(bio.get());
}

void keepInstalledCertificate(SwitchModel& sw, const std::string& certificate) {
    sw.source["installedCertificate"] = simdata::toHex(certificate.data(), certificate.size());
    BioPtr bio(BIO_new_mem_buf(certificate.data(), static_cast<int>(certificate.size())));
    X509Ptr parsed(bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    bool valid = static_cast<bool>(parsed);
    if (valid) {
        PkeyPtr key = signingKeyOf(sw);
        valid = !key || EVP_PKEY_eq(X509_get0_pubkey(parsed.get()), key.get()) == 1;
    }
    sw.source["validCertificate"] = valid;
}
