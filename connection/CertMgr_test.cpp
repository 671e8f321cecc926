#include "connection/CertMgr.h"

#include "connection/OpenSslPtr.h"
#include "connection/RootCertificate.h"

#include <gtest/gtest.h>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << path;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string pkiFile(const std::string& name) {
    return readFile(std::string(ORVANE_TEST_PKI_DIR) + "/" + name);
}

// DER bytes of the first certificate in a PEM text; empty when there is none.
std::string certificateDer(const std::string& pem) {
    BioPtr bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    X509Ptr certificate(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
    if (!certificate) {
        return {};
    }
    unsigned char* der = nullptr;
    const int length = i2d_X509(certificate.get(), &der);
    std::string bytes(reinterpret_cast<char*>(der), static_cast<std::size_t>(length));
    OPENSSL_free(der);
    return bytes;
}

std::string pemFromDer(const std::string& der) {
    const unsigned char* in = reinterpret_cast<const unsigned char*>(der.data());
    X509Ptr certificate(d2i_X509(nullptr, &in, static_cast<long>(der.size())));
    BioPtr bio(BIO_new(BIO_s_mem()));
    PEM_write_bio_X509(bio.get(), certificate.get());
    char* text = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &text);
    return std::string(text, static_cast<std::size_t>(length));
}

// Decodes the Base64 cipher text and decrypts it with the switch's private key.
std::string decryptWithSwitchKey(const std::string& keyPem, const std::string& base64) {
    std::vector<unsigned char> cipher(base64.size());
    const int decoded =
        EVP_DecodeBlock(cipher.data(), reinterpret_cast<const unsigned char*>(base64.data()),
                        static_cast<int>(base64.size()));
    if (decoded < 0) {
        return "<bad base64>";
    }
    std::size_t cipherLength = static_cast<std::size_t>(decoded);
    for (auto c = base64.rbegin(); c != base64.rend() && *c == '='; ++c) {
        --cipherLength;
    }

    BioPtr bio(BIO_new_mem_buf(keyPem.data(), static_cast<int>(keyPem.size())));
    PkeyPtr key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    PkeyCtxPtr context(EVP_PKEY_CTX_new(key.get(), nullptr));
    std::size_t plainLength = 0;
    if (!key || !context || EVP_PKEY_decrypt_init(context.get()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_padding(context.get(), RSA_PKCS1_PADDING) <= 0 ||
        EVP_PKEY_decrypt(context.get(), nullptr, &plainLength, cipher.data(), cipherLength) <= 0) {
        return "<no decryption>";
    }
    std::vector<unsigned char> plain(plainLength);
    if (EVP_PKEY_decrypt(context.get(), plain.data(), &plainLength, cipher.data(), cipherLength) <=
        0) {
        return "<decryption failed>";
    }
    return std::string(reinterpret_cast<char*>(plain.data()), plainLength);
}

// The switch certificates of the test PKI are signed by the project's root;
// a build that embeds another root cannot accept them.
bool embedsProjectRoot() {
    return certificateDer(readFile(ORVANE_TEST_EMBEDDED_ROOT_PEM)) ==
           certificateDer(pkiFile("root-ca.pem"));
}

#define REQUIRE_PROJECT_ROOT()                                                                     \
    if (!embedsProjectRoot())                                                                      \
    GTEST_SKIP() << "the build embeds another root certificate"

// An output buffer whose unused bytes and length can be checked afterwards.
struct OutputBuffer {
    explicit OutputBuffer(int size)
        : bytes(static_cast<std::size_t>(size) + 16, '#'), length(size) {}
    std::string bytes;
    int length;

    int encrypt(const CertMgr& manager, const std::string& certificate, const std::string& data) {
        return manager.encryptForSwitch(certificate.data(), static_cast<int>(certificate.size()),
                                        reinterpret_cast<const unsigned char*>(data.data()),
                                        static_cast<int>(data.size()), bytes.data(), &length);
    }
    std::string text() const { return std::string(bytes.c_str()); }
    bool untouched(int size) const {
        return length == size && bytes == std::string(static_cast<std::size_t>(size) + 16, '#');
    }
};

// The login's text: the challenge counter, the user and the password, with its NUL.
const std::string loginText = std::string("4711:admin:secret") + '\0';

TEST(CertMgrRoot, PemFormLinesBreakBeforeEvery64thCharacter) {
    const std::string base64 = rootCertificateBase64;
    const std::string pem = CertMgr().rootCertificatePEM();

    std::vector<std::string> lines;
    std::istringstream in(pem);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.front(), "-----BEGIN CERTIFICATE-----");
    EXPECT_EQ(lines.back(), "-----END CERTIFICATE-----");
    EXPECT_NE(pem.back(), '\n');

    const std::size_t expectedLines = (base64.size() + 63) / 64;
    const std::vector<std::string> body(lines.begin() + 1, lines.end() - 1);
    ASSERT_EQ(body.size(), expectedLines);
    std::string joined;
    for (std::size_t i = 0; i < body.size(); ++i) {
        const std::size_t expectedLength = i + 1 < body.size() ? 64 : base64.size() - 64 * i;
        EXPECT_EQ(body[i].size(), expectedLength) << "line " << i;
        joined += body[i];
    }
    EXPECT_EQ(joined, base64);
}

TEST(CertMgrRoot, PemFormIsTheEmbeddedCertificate) {
    const std::string embedded = certificateDer(readFile(ORVANE_TEST_EMBEDDED_ROOT_PEM));
    ASSERT_FALSE(embedded.empty());
    EXPECT_EQ(certificateDer(CertMgr().rootCertificatePEM()), embedded);
}

TEST(CertMgrRoot, ProjectRootHasEighteenFullLines) {
    REQUIRE_PROJECT_ROOT();
    // 1152 Base64 characters: 18 lines of 64, none shorter, no empty line.
    EXPECT_EQ(std::strlen(rootCertificateBase64), 1152u);
    std::string fromFile = pkiFile("root-ca.pem");
    ASSERT_EQ(fromFile.back(), '\n');
    fromFile.pop_back();
    EXPECT_EQ(CertMgr().rootCertificatePEM(), fromFile);
}

struct SignedSwitch {
    const char* name;
    int outputSize;
    int expectedLength; // Base64 length of a cipher as long as the key
};

void PrintTo(const SignedSwitch& param, std::ostream* os) {
    *os << param.name << " into " << param.outputSize << " bytes";
}

class CertMgrSignedSwitch : public testing::TestWithParam<SignedSwitch> {};

TEST_P(CertMgrSignedSwitch, EncryptsForTheSwitchKey) {
    REQUIRE_PROJECT_ROOT();
    const SignedSwitch& param = GetParam();
    OutputBuffer out(param.outputSize);
    ASSERT_EQ(out.encrypt(CertMgr(), pkiFile(std::string(param.name) + ".pem"), loginText), 0);
    EXPECT_EQ(out.length, param.expectedLength);
    EXPECT_EQ(out.text().size(), static_cast<std::size_t>(param.expectedLength));
    EXPECT_EQ(decryptWithSwitchKey(pkiFile(std::string(param.name) + ".key"), out.text()),
              loginText);
}

INSTANTIATE_TEST_SUITE_P(Keys, CertMgrSignedSwitch,
                         testing::Values(SignedSwitch{"switch-01", 512, 344},
                                         SignedSwitch{"switch-02", 512, 344},
                                         SignedSwitch{"switch-03", 345, 344},
                                         SignedSwitch{"switch-rsa1024", 256, 172},
                                         SignedSwitch{"switch-rsa1024", 173, 172},
                                         SignedSwitch{"switch-rsa4096", 1024, 684},
                                         SignedSwitch{"switch-rsa4096", 685, 684}),
                         [](const testing::TestParamInfo<SignedSwitch>& info) {
                             std::string name = std::string(info.param.name) + "_out" +
                                                std::to_string(info.param.outputSize);
                             for (char& c : name) {
                                 if (c == '-') {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

struct Refusal {
    const char* why;
    std::string certificate;
    std::string data;
    int outputSize;
};

void PrintTo(const Refusal& param, std::ostream* os) {
    *os << param.why;
}

class CertMgrRefusal : public testing::TestWithParam<Refusal> {};

// Every refusal is -1 and leaves the output buffer and its length as they were.
TEST_P(CertMgrRefusal, FailsAndLeavesTheOutputUnchanged) {
    REQUIRE_PROJECT_ROOT();
    const Refusal& param = GetParam();
    OutputBuffer out(param.outputSize);
    EXPECT_EQ(out.encrypt(CertMgr(), param.certificate, param.data), -1);
    EXPECT_TRUE(out.untouched(param.outputSize));
    EXPECT_EQ(ERR_peek_error(), 0u) << "error queue left behind";
}

// The switch certificate with the last byte of its signature changed.
std::string tamperedSignature(const std::string& pem) {
    std::string der = certificateDer(pem);
    der.back() = static_cast<char>(der.back() ^ 0x01);
    return pemFromDer(der);
}

std::vector<Refusal> refusals() {
    const std::string signed2048 = pkiFile("switch-01.pem");
    return {
        {"signed_by_another_authority", pkiFile("switch-foreign.pem"), loginText, 512},
        {"signature_altered", tamperedSignature(signed2048), loginText, 512},
        {"garbage_text", "this is not a certificate", loginText, 512},
        {"truncated_certificate", signed2048.substr(0, signed2048.size() / 2), loginText, 512},
        {"private_key_instead", pkiFile("switch-01.key"), loginText, 512},
        {"key_1024_output_100", pkiFile("switch-rsa1024.pem"), loginText, 100},
        {"key_1024_no_room_for_nul", pkiFile("switch-rsa1024.pem"), loginText, 172},
        {"key_2048_no_room_for_nul", signed2048, loginText, 344},
        {"key_4096_login_buffer", pkiFile("switch-rsa4096.pem"), loginText, 512},
        {"data_longer_than_key_allows", signed2048, std::string(246, 'x'), 512},
    };
}

INSTANTIATE_TEST_SUITE_P(Cases, CertMgrRefusal, testing::ValuesIn(refusals()),
                         [](const testing::TestParamInfo<Refusal>& info) {
                             return std::string(info.param.why);
                         });

TEST(CertMgrEncrypt, LongestDataTheKeyTakes) {
    REQUIRE_PROJECT_ROOT();
    // PKCS#1 v1.5 padding takes 11 of the key's 256 bytes.
    const std::string data(245, 'd');
    OutputBuffer out(512);
    ASSERT_EQ(out.encrypt(CertMgr(), pkiFile("switch-02.pem"), data), 0);
    EXPECT_EQ(decryptWithSwitchKey(pkiFile("switch-02.key"), out.text()), data);
}

TEST(CertMgrEncrypt, CertificateLengthBoundsTheText) {
    REQUIRE_PROJECT_ROOT();
    const std::string certificate = pkiFile("switch-01.pem");
    char out[512];
    int outLength = sizeof out;
    const auto* data = reinterpret_cast<const unsigned char*>(loginText.data());
    const int dataLength = static_cast<int>(loginText.size());
    // Only the given number of bytes is read: a short length cuts the PEM text.
    EXPECT_EQ(
        CertMgr().encryptForSwitch(certificate.data(), 100, data, dataLength, out, &outLength), -1);
    EXPECT_EQ(outLength, 512);
    EXPECT_EQ(CertMgr().encryptForSwitch(certificate.data(), static_cast<int>(certificate.size()),
                                         data, dataLength, out, &outLength),
              0);
}

TEST(CertMgrEncrypt, RefusesMissingArguments) {
    const std::string certificate = pkiFile("switch-01.pem");
    const int certificateLength = static_cast<int>(certificate.size());
    const auto* data = reinterpret_cast<const unsigned char*>(loginText.data());
    char out[512];
    int size = sizeof out;
    int zero = 0;
    const CertMgr manager;
    EXPECT_EQ(manager.encryptForSwitch(nullptr, certificateLength, data, 4, out, &size), -1);
    EXPECT_EQ(manager.encryptForSwitch(certificate.data(), 0, data, 4, out, &size), -1);
    EXPECT_EQ(manager.encryptForSwitch(certificate.data(), -5, data, 4, out, &size), -1);
    EXPECT_EQ(
        manager.encryptForSwitch(certificate.data(), certificateLength, nullptr, 4, out, &size),
        -1);
    EXPECT_EQ(manager.encryptForSwitch(certificate.data(), certificateLength, data, -1, out, &size),
              -1);
    EXPECT_EQ(
        manager.encryptForSwitch(certificate.data(), certificateLength, data, 4, nullptr, &size),
        -1);
    EXPECT_EQ(
        manager.encryptForSwitch(certificate.data(), certificateLength, data, 4, out, nullptr), -1);
    EXPECT_EQ(manager.encryptForSwitch(certificate.data(), certificateLength, data, 4, out, &zero),
              -1);
    EXPECT_EQ(size, 512);
}

TEST(CertMgrEncrypt, CallsFromSeveralThreadsAtOnce) {
    REQUIRE_PROJECT_ROOT();
    const std::string certificate = pkiFile("switch-03.pem");
    const std::string key = pkiFile("switch-03.key");
    const CertMgr manager;
    std::vector<std::string> ciphers(4);
    std::vector<int> results(4, 1);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < ciphers.size(); ++t) {
        threads.emplace_back([&, t] {
            OutputBuffer out(512);
            results[t] = out.encrypt(manager, certificate, loginText);
            ciphers[t] = out.text();
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    for (std::size_t t = 0; t < ciphers.size(); ++t) {
        EXPECT_EQ(results[t], 0);
        EXPECT_EQ(decryptWithSwitchKey(key, ciphers[t]), loginText);
    }
    // Random padding: the same text never gives the same cipher twice.
    EXPECT_NE(ciphers[0], ciphers[1]);
}

TEST(CertMgrInstance, OneProcessWideInstanceUntilDeleted) {
    ASSERT_EQ(getCertificateManager(), nullptr);
    CertMgr* made = createCertificateManager();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(createCertificateManager(), made);
    EXPECT_EQ(getCertificateManager(), made);
    deleteCertificateManager();
    EXPECT_EQ(getCertificateManager(), nullptr);
    deleteCertificateManager();
}

} // namespace
