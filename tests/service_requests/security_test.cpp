// Security policy, certificate and security counter requests against the
// simulated fabric.
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <openssl/evp.h>
#include <openssl/pem.h>

#include "connection/clilib_security.h"
#include "foundation/InternalStatus.h"
#include "tests/service_requests/RequestSession.h"

namespace {

using nlohmann::json;

const unsigned char kProxy[8] = {0x10, 0, 0, 0x60, 0x69, 0xaa, 0, 0x01};
const unsigned char kEdge[8] = {0x10, 0, 0, 0x60, 0x69, 0xaa, 0, 0x02};
const unsigned char kUnknown[8] = {0x10, 0, 0, 0x60, 0x69, 0xcc, 0, 0x01};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kCsr = "-----BEGIN CERTIFICATE REQUEST-----\n"
                         "MIIBWjCBxAIBADAbMRkwFwYDVQQDDBBzd2l0Y2gtMDEuZmFicmlj\n"
                         "-----END CERTIFICATE REQUEST-----\n";

json fabric() {
    json doc = json::parse(R"({
      "fabrics": [ { "name": "A", "wwn": "10:00:00:60:69:aa:00:00",
        "security": { "secureMode": 1, "query2": 9, "counter": 4711,
                      "secDbStatus": [3, -2],
                      "defined": [ ["DCC_POLICY_A", "1;2"] ] },
        "switches": [
          { "wwn": "10:00:00:60:69:aa:00:01", "address": "@0",
            "securityStats": [1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12] },
          { "wwn": "10:00:00:60:69:aa:00:02" } ] } ]
    })");
    auto& fabricA = doc["fabrics"][0];
    fabricA["switches"][0]["certificate"] = readFile(ORVANE_PKI_DIR "/switch-01.pem");
    fabricA["switches"][0]["csr"] = kCsr;
    fabricA["security"]["versionStamp"] = std::string(127, 'v');
    return doc;
}

// The text that the switch decrypts from a password request.
std::string decryptAtSwitch(const std::string& base64) {
    std::string cipher(base64.size(), '\0');
    const int decoded = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(cipher.data()),
                                        reinterpret_cast<const unsigned char*>(base64.data()),
                                        static_cast<int>(base64.size()));
    if (decoded < 0) {
        return {};
    }
    // EVP_DecodeBlock counts the padding as zero bytes.
    std::size_t length = static_cast<std::size_t>(decoded);
    for (std::size_t i = base64.size(); i > 0 && base64[i - 1] == '='; --i) {
        --length;
    }
    FILE* file = std::fopen(ORVANE_PKI_DIR "/switch-01.key", "r");
    if (file == nullptr) {
        return {};
    }
    EVP_PKEY* key = PEM_read_PrivateKey(file, nullptr, nullptr, nullptr);
    std::fclose(file);
    EVP_PKEY_CTX* ctx = EVP_PKEY_CTX_new(key, nullptr);
    std::string plain(512, '\0');
    std::size_t plainLength = plain.size();
    const bool ok =
        ctx != nullptr && EVP_PKEY_decrypt_init(ctx) == 1 &&
        EVP_PKEY_CTX_set_rsa_padding(ctx, RSA_PKCS1_PADDING) == 1 &&
        EVP_PKEY_decrypt(ctx, reinterpret_cast<unsigned char*>(plain.data()), &plainLength,
                         reinterpret_cast<const unsigned char*>(cipher.data()), length) == 1;
    EVP_PKEY_CTX_free(ctx);
    EVP_PKEY_free(key);
    return ok ? plain.substr(0, plainLength) : std::string();
}

class SecurityTest : public RequestSession {
protected:
    void SetUp() override { open(fabric()); }

    std::string policySet(unsigned int selector) {
        char* text = nullptr;
        EXPECT_EQ(0, mpsGetPolicySetText(ctx(), selector, &text));
        std::string out = text != nullptr ? text : "";
        freeApiRecord(text);
        return out;
    }
};

TEST_F(SecurityTest, NumberQueriesGiveTheSwitchValues) {
    int value = 0;
    ASSERT_EQ(0, mpsGetSecureMode(ctx(), &value));
    EXPECT_EQ(1, value);
    ASSERT_EQ(0, mpsQuery2(ctx(), &value));
    EXPECT_EQ(9, value);
    int first = 0;
    int second = 0;
    ASSERT_EQ(0, mpsGetSecDbStatus(ctx(), &first, &second));
    EXPECT_EQ(3, first);
    EXPECT_EQ(-2, second);
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, mpsGetSecureMode(nullptr, &value));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, mpsGetSecureMode(ctx(), nullptr));
}

TEST_F(SecurityTest, VersionStampIsCutToTheCallersBuffer) {
    char stamp[PolicyVersionStampSize + 1];
    ASSERT_EQ(0, mpsGetPolicyVersionStamp(ctx(), stamp, sizeof(stamp)));
    EXPECT_EQ(std::string(127, 'v'), stamp);
    char small[8];
    ASSERT_EQ(0, mpsGetPolicyVersionStamp(ctx(), small, sizeof(small)));
    EXPECT_STREQ("vvvvvvv", small);
}

TEST_F(SecurityTest, PolicyEditsInsideATransaction) {
    EXPECT_EQ("DCC_POLICY_A;1;2|", policySet(0));
    // Outside a transaction the switch refuses edits.
    EXPECT_EQ(-1, mpsCreatePolicy(ctx(), "DCC_POLICY_B", "5"));
    ASSERT_EQ(0, mpsStartSecurityTransaction(ctx()));
    EXPECT_EQ(-1, mpsStartSecurityTransaction(ctx()));
    ASSERT_EQ(0, mpsCreatePolicy(ctx(), "DCC_POLICY_B", "5"));
    ASSERT_EQ(0, mpsAddPolicyMember(ctx(), "DCC_POLICY_B", "6;7"));
    ASSERT_EQ(0, mpsRemovePolicyMember(ctx(), "DCC_POLICY_A", "1"));
    EXPECT_EQ("DCC_POLICY_A;2|DCC_POLICY_B;5;6;7|", policySet(0));
    ASSERT_EQ(0, mpsActivatePolicySet(ctx()));
    ASSERT_EQ(0, mpsCommitSecurityTransaction(ctx()));
    EXPECT_EQ("DCC_POLICY_A;2|DCC_POLICY_B;5;6;7|", policySet(1));

    ASSERT_EQ(0, mpsStartSecurityTransaction(ctx()));
    ASSERT_EQ(0, mpsDeletePolicy(ctx(), "DCC_POLICY_A"));
    EXPECT_EQ("DCC_POLICY_B;5;6;7|", policySet(0));
    ASSERT_EQ(0, mpsAbortSecurityTransaction(ctx()));
    EXPECT_EQ("DCC_POLICY_A;2|DCC_POLICY_B;5;6;7|", policySet(0));
    EXPECT_EQ(-1, mpsCommitSecurityTransaction(ctx()));
}

TEST_F(SecurityTest, PolicySetWithoutTextIsRefused) {
    char* text = reinterpret_cast<char*>(1);
    EXPECT_EQ(REQ_ERR_EMPTY_POLICY_TEXT, mpsGetPolicySetText(ctx(), 1, &text));
    EXPECT_EQ(nullptr, text);
}

TEST_F(SecurityTest, PolicyArgumentsAreChecked) {
    const std::string longName(255, 'n');
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, mpsCreatePolicy(ctx(), longName.c_str(), ""));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, mpsCreatePolicy(ctx(), nullptr, ""));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, mpsAddPolicyMember(ctx(), "P", nullptr));
    EXPECT_EQ(0u, calls(125));
}

TEST_F(SecurityTest, SwitchCertificateComesWithItsCounter) {
    SwitchCertificate certificate{};
    ASSERT_EQ(0, getSwitchCertificate(ctx(), &certificate));
    const std::string pem = readFile(ORVANE_PKI_DIR "/switch-01.pem");
    EXPECT_EQ(static_cast<int>(pem.size()), certificate.length);
    EXPECT_EQ(pem, certificate.text);
    EXPECT_EQ(4711, certificate.counter);
    freeSwitchCertificate(&certificate);
    EXPECT_EQ(nullptr, certificate.text);
}

TEST_F(SecurityTest, AdminPasswordsReachTheSwitchEncrypted) {
    ASSERT_EQ(0, mpsSetFCSAdminPassword(ctx(), "admin", "s3cret"));
    ASSERT_EQ(0, mpsSetNonFCSAdminPassword(ctx(), "user", "other"));
    const json sent = fabricSource()["security"]["adminPasswords"];
    const std::string fcs = decryptAtSwitch(sent["3"].get<std::string>());
    EXPECT_EQ(std::string("4711:admin:s3cret", 18), fcs); // with its NUL
    EXPECT_EQ(std::string("4711:user:other", 16), decryptAtSwitch(sent["4"].get<std::string>()));
}

TEST_F(SecurityTest, AdminPasswordTextThatDoesNotFitIsRefused) {
    // Beyond the 512-byte login text buffer.
    const std::string tooLong(501, 'p');
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, mpsSetFCSAdminPassword(ctx(), "admin", tooLong.c_str()));
    // Fits the buffer, but not one RSA block: the encryption's failure.
    const std::string tooLongToEncrypt(300, 'p');
    EXPECT_EQ(-1, mpsSetFCSAdminPassword(ctx(), "admin", tooLongToEncrypt.c_str()));
    EXPECT_EQ(0u, calls(125, 3));
}

TEST_F(SecurityTest, AdminPasswordWithoutSwitchCertificateFails) {
    sim().injectFault({{"address", sim().address(0)},
                       {"procedure", 125},
                       {"code", 0},
                       {"kind", "status"},
                       {"status", -5}});
    EXPECT_EQ(REQ_ERR_NO_SWITCH_CERTIFICATE, mpsSetFCSAdminPassword(ctx(), "admin", "x"));
    EXPECT_EQ(0u, calls(125, 3));
}

TEST_F(SecurityTest, SigningRequestIsFetchedWhole) {
    CertificateRequestText request{};
    ASSERT_EQ(0, switchGetCertificateSigningRequest(ctx(), kProxy, &request));
    EXPECT_EQ(static_cast<int>(kCsr.size()), request.length);
    EXPECT_EQ(kCsr, request.text);
    std::uint32_t size = 0;
    ASSERT_TRUE(apiRecordInfo(request.text, nullptr, &size));
    EXPECT_EQ(kCsr.size() + 1, size);
    freeApiRecord(request.text);
    // A switch without one refuses.
    EXPECT_EQ(-1, switchGetCertificateSigningRequest(ctx(), kEdge, &request));
    EXPECT_EQ(nullptr, request.text);
}

TEST_F(SecurityTest, InstalledCertificateIsKeptByteForByte) {
    std::string certificate = readFile(ORVANE_PKI_DIR "/switch-02.pem");
    certificate += std::string("\r\n\xff\x01 trailing", 12);
    ASSERT_EQ(0, installSwitchCertificate(ctx(), kEdge, certificate.data(),
                                          static_cast<int>(certificate.size())));
    std::string hex;
    for (unsigned char c : certificate) {
        static const char digits[] = "0123456789abcdef";
        hex += digits[c >> 4];
        hex += digits[c & 0xF];
    }
    EXPECT_EQ(hex, switchSource("10:00:00:60:69:aa:00:02")["installedCertificate"]);
    EXPECT_EQ(-1, installSwitchCertificate(ctx(), kUnknown, "x", 1));
    EXPECT_EQ(REQ_ERR_BAD_ARGUMENT, installSwitchCertificate(ctx(), kEdge, "x", -1));
}

TEST_F(SecurityTest, SecurityStatsAreReadAndReset) {
    SecurityStatsRecord stats{};
    ASSERT_EQ(0, switchGetSecurityStats(ctx(), kProxy, 0, &stats));
    for (unsigned int i = 0; i < 12; ++i) {
        EXPECT_EQ(i + 1, stats.values[i]);
    }
    SecurityStatsRecord untouched;
    std::memset(&untouched, 0xAB, sizeof(untouched));
    ASSERT_EQ(0, switchGetSecurityStats(ctx(), kProxy, 1, &untouched));
    EXPECT_EQ(0xABABABABu, untouched.values[0]);
    ASSERT_EQ(0, switchGetSecurityStats(ctx(), kProxy, 0, &stats));
    EXPECT_EQ(0u, stats.values[11]);
}

TEST_F(SecurityTest, BrokenRepliesGiveNoResult) {
    injectMalformed(40, 2064);
    CertificateRequestText request{};
    EXPECT_EQ(REQ_ERR_RPC_NO_REPLY, switchGetCertificateSigningRequest(ctx(), kProxy, &request));
    EXPECT_EQ(nullptr, request.text);
    injectMalformed(125, 277);
    char* text = nullptr;
    EXPECT_EQ(REQ_ERR_RPC_NO_REPLY, mpsGetPolicySetText(ctx(), 0, &text));
    EXPECT_EQ(nullptr, text);
}

} // namespace
