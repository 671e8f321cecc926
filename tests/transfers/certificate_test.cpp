// Certificate signing requests and certificate installation through the
// exports, against simulated switches with real key pairs. The requests are
// checked and signed with OpenSSL here, as a certificate authority would.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>

#include <openssl/pem.h>
#include <openssl/x509.h>

#include "orvane/transfers.h"
#include "tests/transfers/TransferFabrics.h"

namespace {

using namespace transfers;
using nlohmann::json;

template <class T, void (*Free)(T*)> struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using Bio = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;
using Key = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using Request = std::unique_ptr<X509_REQ, Deleter<X509_REQ, X509_REQ_free>>;
using Certificate = std::unique_ptr<X509, Deleter<X509, X509_free>>;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A memory BIO holding its own copy of `text`.
Bio memory(const std::string& text) {
    Bio bio(BIO_new(BIO_s_mem()));
    EXPECT_EQ(static_cast<int>(text.size()),
              BIO_write(bio.get(), text.data(), static_cast<int>(text.size())));
    return bio;
}

std::string pemOf(int (*write)(BIO*, const void*), const void* object) {
    Bio bio(BIO_new(BIO_s_mem()));
    EXPECT_EQ(1, write(bio.get(), object));
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(size));
}

std::string publicPem(EVP_PKEY* key) {
    return pemOf([](BIO* b, const void* k) { return PEM_write_bio_PUBKEY(b, (EVP_PKEY*)k); }, key);
}

std::string commonName(X509_NAME* name) {
    char text[256] = {};
    X509_NAME_get_text_by_NID(name, NID_commonName, text, sizeof text);
    return text;
}

std::string hexOf(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    for (unsigned char c : bytes) {
        hex += digits[c >> 4];
        hex += digits[c & 0xF];
    }
    return hex;
}

// Signs the request's key and subject with the project's test root.
std::string signWithTestRoot(X509_REQ* request) {
    Bio caPem = memory(readFile(ORVANE_PKI_DIR "/root-ca.pem"));
    Bio caKeyPem = memory(readFile(ORVANE_PKI_DIR "/root-ca.key"));
    Certificate ca(PEM_read_bio_X509(caPem.get(), nullptr, nullptr, nullptr));
    Key caKey(PEM_read_bio_PrivateKey(caKeyPem.get(), nullptr, nullptr, nullptr));
    EXPECT_TRUE(ca && caKey);
    Certificate signed_(X509_new());
    X509_set_version(signed_.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(signed_.get()), 4711);
    X509_gmtime_adj(X509_getm_notBefore(signed_.get()), 0);
    X509_gmtime_adj(X509_getm_notAfter(signed_.get()), 86400L * 365);
    X509_set_subject_name(signed_.get(), X509_REQ_get_subject_name(request));
    X509_set_issuer_name(signed_.get(), X509_get_subject_name(ca.get()));
    X509_set_pubkey(signed_.get(), X509_REQ_get0_pubkey(request));
    EXPECT_GT(X509_sign(signed_.get(), caKey.get(), EVP_sha256()), 0);
    return pemOf([](BIO* b, const void* c) { return PEM_write_bio_X509(b, (X509*)c); },
                 signed_.get());
}

class CertificateTest : public ::testing::Test {
protected:
    void SetUp() override {
        FabAPI_ShutdownFabricAPI();
        openFabricSessions(sim_, {0, 1}, {kFabricA, kFabricB});
    }
    void TearDown() override { FabAPI_ShutdownFabricAPI(); }

    json source(int fabric, const char* wwn) {
        return sim_.request({{"op", "source"}, {"fabric", fabric}, {"switch", wwn}})["source"];
    }
    // The signing request of a switch as text, its block checked.
    std::string signingRequest(const char* oid) {
        char* block = nullptr;
        EXPECT_EQ(0, GetCertificateSigningRequest(oid, &block));
        if (block == nullptr)
            return {};
        const std::string text(block);
        for (std::size_t i = 0; i < 10; ++i)
            EXPECT_EQ('\0', block[text.size() + i]);
        EXPECT_EQ(0, falFreeObject(block));
        return text;
    }

    SwitchSimulator sim_{[] {
        json fabrics = twoFabrics({{"signingKey", "generate"}});
        fabrics["fabrics"][0]["switches"][0]["signingKey"] = "switch-01";
        fabrics["fabrics"][1]["switches"][1]["subject"] = "edge-b2";
        return fabrics;
    }()};
};

TEST_F(CertificateTest, EverySwitchOfTwoFabricsSignsARequestWithItsOwnKey) {
    struct Switch {
        const char* oid;
        const char* wwn;
        int fabric;
        const char* commonName;
    };
    const Switch switches[] = {{kSwitchA1, kWwnA1, 0, kWwnA1},
                               {kSwitchA2, kWwnA2, 0, kWwnA2},
                               {kSwitchB1, kWwnB1, 1, kWwnB1},
                               {kSwitchB2, kWwnB2, 1, "edge-b2"}};
    std::set<std::string> keys;
    for (const Switch& sw : switches) {
        SCOPED_TRACE(sw.oid);
        EXPECT_EQ(0, CreateCertificateSigningRequest(sw.oid));
        const std::string text = signingRequest(sw.oid);
        EXPECT_EQ(0u, text.find("-----BEGIN CERTIFICATE REQUEST-----\n"));
        Bio bio = memory(text);
        Request request(PEM_read_bio_X509_REQ(bio.get(), nullptr, nullptr, nullptr));
        ASSERT_TRUE(request);
        EVP_PKEY* key = X509_REQ_get0_pubkey(request.get());
        ASSERT_NE(nullptr, key);
        EXPECT_EQ(1, X509_REQ_verify(request.get(), key));
        EXPECT_EQ(sw.commonName, commonName(X509_REQ_get_subject_name(request.get())));
        const std::string pem = publicPem(key);
        EXPECT_EQ(source(sw.fabric, sw.wwn)["signingPublicKey"], pem);
        keys.insert(pem);
    }
    EXPECT_EQ(4u, keys.size()) << "each switch has a key pair of its own";

    // The switch of the test PKI signs with the key of that PKI.
    Bio keyPem = memory(readFile(ORVANE_PKI_DIR "/switch-01.key"));
    Key pkiKey(PEM_read_bio_PrivateKey(keyPem.get(), nullptr, nullptr, nullptr));
    EXPECT_EQ(publicPem(pkiKey.get()), source(0, kWwnA1)["signingPublicKey"]);

    // Creating a request reaches no switch; each fetch is one request 2064.
    EXPECT_EQ(2u, sim_.callCount(sim_.address(0), 40, 2064));
    EXPECT_EQ(2u, sim_.callCount(sim_.address(1), 40, 2064));
}

TEST_F(CertificateTest, SignedCertificateIsKeptByteForByte) {
    for (const char* oid : {kSwitchA2, kSwitchB1}) {
        Bio bio = memory(signingRequest(oid));
        Request request(PEM_read_bio_X509_REQ(bio.get(), nullptr, nullptr, nullptr));
        ASSERT_TRUE(request);
        const std::string certificate = signWithTestRoot(request.get());
        EXPECT_EQ(0, InstallCertificate(oid, certificate.c_str()));
    }
    // Each switch now holds a valid certificate for its own key...
    const json a2 = source(0, kWwnA2);
    const json b1 = source(1, kWwnB1);
    EXPECT_TRUE(a2["validCertificate"].get<bool>());
    EXPECT_TRUE(b1["validCertificate"].get<bool>());
    EXPECT_EQ(0u, a2["installedCertificate"].get<std::string>().find(
                      hexOf("-----BEGIN CERTIFICATE-----\n")));

    // ...but not one made for another switch's key, which is kept all the same.
    std::string foreign;
    for (std::size_t i = 0; i < b1["installedCertificate"].get<std::string>().size(); i += 2)
        foreign.push_back(static_cast<char>(
            std::stoi(b1["installedCertificate"].get<std::string>().substr(i, 2), nullptr, 16)));
    EXPECT_EQ(0, InstallCertificate(kSwitchA2, foreign.c_str()));
    EXPECT_EQ(hexOf(foreign), source(0, kWwnA2)["installedCertificate"]);
    EXPECT_FALSE(source(0, kWwnA2)["validCertificate"].get<bool>());

    // Bytes that are no certificate travel unchanged; the empty text too.
    const std::string odd = "not a certificate\r\n\x7f\x01\xff end";
    EXPECT_EQ(0, InstallCertificate(kSwitchA2, odd.c_str()));
    EXPECT_EQ(hexOf(odd), source(0, kWwnA2)["installedCertificate"]);
    EXPECT_EQ(0, InstallCertificate(kSwitchA2, ""));
    EXPECT_EQ("", source(0, kWwnA2)["installedCertificate"]);
}

TEST_F(CertificateTest, IdentifiersThatNameNoSwitch) {
    const std::string unknown = "000210000060690000ff";
    const std::string port = std::string("0003") + (kSwitchA1 + 4);
    for (const std::string& oid : {std::string(kFabricA), unknown, port, std::string("")}) {
        SCOPED_TRACE(oid);
        char* kept = reinterpret_cast<char*>(0x1);
        EXPECT_EQ(-13, CreateCertificateSigningRequest(oid.c_str()));
        EXPECT_EQ(-13, GetCertificateSigningRequest(oid.c_str(), &kept));
        EXPECT_EQ(reinterpret_cast<char*>(0x1), kept);
        EXPECT_EQ(-13, InstallCertificate(oid.c_str(), "x"));
    }
    char* block = nullptr;
    EXPECT_EQ(-3, CreateCertificateSigningRequest(nullptr));
    EXPECT_EQ(-3, GetCertificateSigningRequest(nullptr, &block));
    EXPECT_EQ(-3, GetCertificateSigningRequest(kSwitchA1, nullptr));
    EXPECT_EQ(-3, InstallCertificate(kSwitchA1, nullptr));
    EXPECT_EQ(0u, sim_.callCount(sim_.address(0), 40, 2064));
    EXPECT_EQ(0u, sim_.callCount(sim_.address(0), 40, 2065));
}

TEST_F(CertificateTest, SwitchRefusalKeepsTheCallersPointer) {
    // A switch without a signing key refuses the request.
    sim_.request(
        {{"op", "setSwitchFields"}, {"switch", kWwnA2}, {"fields", {{"signingKey", nullptr}}}});
    char* kept = reinterpret_cast<char*>(0x1);
    const int status = GetCertificateSigningRequest(kSwitchA2, &kept);
    EXPECT_NE(0, status);
    EXPECT_EQ(reinterpret_cast<char*>(0x1), kept);
    EXPECT_EQ(1u, sim_.callCount(sim_.address(0), 40, 2064));
}

TEST_F(CertificateTest, TextOfNBytesWithoutNulGetsTenNulBytes) {
    const std::string text(1500, 'q');
    sim_.request({{"op", "setSwitchFields"}, {"switch", kWwnB2}, {"fields", {{"csr", text}}}});
    EXPECT_EQ(text, signingRequest(kSwitchB2));
}

TEST_F(CertificateTest, RefusedAfterShutdown) {
    FabAPI_ShutdownFabricAPI();
    char* block = nullptr;
    EXPECT_EQ(-98, CreateCertificateSigningRequest(kSwitchA1));
    EXPECT_EQ(-98, GetCertificateSigningRequest(kSwitchA1, &block));
    EXPECT_EQ(-98, InstallCertificate(kSwitchA1, "x"));
}

} // namespace
