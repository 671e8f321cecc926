#include "sim/SecureLogin.h"

#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>

#include "connection/OpenSslPtr.h"
#include "remote_api.h"
#include "sim/Base64.h"
#include "sim/Credentials.h"
#include "sim/PkiFolder.h"

namespace {

constexpr int kLoginAnswer = 1;
constexpr int kLoginFlag = 2;
constexpr int kCertificateChallenge = 293;
// Counters a switch remembers while their answers are outstanding.
constexpr std::size_t kOutstandingChallenges = 64;

// Challenges offered and not yet answered, per proxy address. Handlers run
// under the model lock, which guards this too.
std::map<std::string, std::deque<int>>& outstandingChallenges() {
    static std::map<std::string, std::deque<int>> challenges;
    return challenges;
}

int nextCounter() {
    static int counter = 4096;
    return ++counter;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string();
}

// The path stem of the switch's certificate and key, or "" without one.
std::string certificateStem(const SwitchModel& proxy) {
    if (!proxy.source.is_object() || !proxy.source.contains("certificate") ||
        !proxy.source["certificate"].is_string()) {
        return {};
    }
    const std::string name = proxy.source["certificate"].get<std::string>();
    if (name.find('/') != std::string::npos) {
        return name;
    }
    return pkiFolder() + "/" + name;
}

// Decrypts an RSA PKCS#1 v1.5 cipher with the PEM private key; nothing on failure.
std::optional<std::string> decrypt(const std::string& keyPem, const std::string& cipher) {
    BioPtr bio(BIO_new_mem_buf(keyPem.data(), static_cast<int>(keyPem.size())));
    if (!bio) {
        return std::nullopt;
    }
    PkeyPtr key(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, nullptr));
    if (!key) {
        return std::nullopt;
    }
    PkeyCtxPtr ctx(EVP_PKEY_CTX_new(key.get(), nullptr));
    if (!ctx || EVP_PKEY_decrypt_init(ctx.get()) <= 0 ||
        EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) <= 0) {
        return std::nullopt;
    }
    const auto* in = reinterpret_cast<const unsigned char*>(cipher.data());
    std::size_t size = 0;
    if (EVP_PKEY_decrypt(ctx.get(), nullptr, &size, in, cipher.size()) <= 0) {
        return std::nullopt;
    }
    std::string plain(size, '\0');
    if (EVP_PKEY_decrypt(ctx.get(), reinterpret_cast<unsigned char*>(plain.data()), &size, in,
                         cipher.size()) <= 0) {
        return std::nullopt;
    }
    plain.resize(size);
    return plain;
}

ProcedureResult encodeReply(MPSReply& reply) {
    return encodeResult(reinterpret_cast<xdrproc_t>(xdr_MPSReply), &reply);
}

ProcedureResult offerCertificate(CallContext& ctx, MPSReply& reply) {
    reply.body.requestType = kCertificateChallenge;
    const std::string stem = certificateStem(ctx.proxy);
    const std::string pem = stem.empty() ? std::string() : readFile(stem + ".pem");
    if (pem.empty()) {
        reply.status = -1;
        reply.message = ctx.arena.text("no switch certificate");
        return encodeReply(reply);
    }
    const int counter = nextCounter();
    auto& outstanding = outstandingChallenges()[ctx.address];
    outstanding.push_back(counter);
    if (outstanding.size() > kOutstandingChallenges) {
        outstanding.pop_front();
    }
    auto& offer = reply.body.MPSReplyBody_u.certificate;
    offer.certificate.certificate_val = ctx.arena.text(pem);
    offer.certificate.certificate_len = static_cast<u_int>(pem.size());
    offer.counter = counter;
    return encodeReply(reply);
}

bool takeChallenge(const std::string& address, int counter) {
    auto& outstanding = outstandingChallenges()[address];
    for (auto it = outstanding.begin(); it != outstanding.end(); ++it) {
        if (*it == counter) {
            outstanding.erase(it);
            return true;
        }
    }
    return false;
}

// "<counter>:<user>:<password>" and a NUL; the password may hold colons.
struct ChallengeAnswer {
    int counter = 0;
    std::string user;
    std::string password;
};

std::optional<ChallengeAnswer> parseAnswer(std::string text) {
    if (text.empty() || text.back() != '\0') {
        return std::nullopt;
    }
    text.pop_back();
    const auto first = text.find(':');
    const auto second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) {
        return std::nullopt;
    }
    ChallengeAnswer answer;
    try {
        std::size_t used = 0;
        answer.counter = std::stoi(text.substr(0, first), &used);
        if (used != first) {
            return std::nullopt;
        }
    } catch (const std::exception&) {
        return std::nullopt;
    }
    answer.user = text.substr(first + 1, second - first - 1);
    answer.password = text.substr(second + 1);
    return answer;
}

ProcedureResult answerChallenge(CallContext& ctx, const MPSLoginData& login, MPSReply& reply) {
    reply.body.requestType = kLoginAnswer;
    const auto refuse = [&](const char* why) {
        reply.status = -1;
        reply.message = ctx.arena.text(why);
        return encodeReply(reply);
    };
    if (login.length <= 0 || static_cast<std::size_t>(login.length) > sizeof(login.data)) {
        return refuse("bad answer length");
    }
    const std::string text(reinterpret_cast<const char*>(login.data),
                           static_cast<std::size_t>(login.length));
    const auto cipher = decodeBase64(text);
    const std::string stem = certificateStem(ctx.proxy);
    const std::string keyPem = stem.empty() ? std::string() : readFile(stem + ".key");
    if (!cipher || keyPem.empty()) {
        return refuse("answer not readable");
    }
    const auto plain = decrypt(keyPem, *cipher);
    const auto answer = plain ? parseAnswer(*plain) : std::nullopt;
    if (!answer || !takeChallenge(ctx.address, answer->counter)) {
        return refuse("answer does not match a challenge");
    }
    AuthReply& granted = reply.body.MPSReplyBody_u.auth;
    granted.accessLevel = -1;
    for (const auto& account : ctx.fabric.users) {
        if (account.name == answer->user && account.password == answer->password) {
            granted.accessLevel = account.accessLevel;
            std::memcpy(granted.wwn, ctx.proxy.wwn.data(), sizeof(granted.wwn));
            granted.number = grantLogin(ctx.model, ctx.proxy, account.accessLevel);
        }
    }
    return encodeReply(reply);
}

// Frees what decoding the arguments allocated.
class DecodedRequest {
public:
    explicit DecodedRequest(std::span<const char> args)
        : ok_(decodeXdr(args, reinterpret_cast<xdrproc_t>(xdr_MPSRequestArgs), &value_)) {}
    ~DecodedRequest() {
        xdr_free(reinterpret_cast<xdrproc_t>(xdr_MPSRequestArgs), reinterpret_cast<char*>(&value_));
    }
    DecodedRequest(const DecodedRequest&) = delete;
    DecodedRequest& operator=(const DecodedRequest&) = delete;

    bool ok() const { return ok_; }
    const MPSRequestArgs& value() const { return value_; }

private:
    MPSRequestArgs value_{};
    bool ok_;
};

} // namespace

ProcedureResult secureLogin(CallContext& ctx, std::span<const char> args) {
    DecodedRequest request(args);
    if (!request.ok()) {
        return {AcceptStatus::GarbageArguments, {}};
    }
    MPSReply reply{};
    reply.message = ctx.arena.text("");
    switch (request.value().requestType) {
    case kCertificateChallenge:
        return offerCertificate(ctx, reply);
    case kLoginAnswer:
        return answerChallenge(ctx, request.value().MPSRequestArgs_u.login, reply);
    case kLoginFlag: {
        reply.body.requestType = kLoginFlag;
        const bool secure =
            ctx.proxy.source.is_object() && ctx.proxy.source.value("secureLogin", false);
        reply.body.MPSReplyBody_u.number = secure ? 1 : 0;
        return encodeReply(reply);
    }
    default:
        reply.status = -1;
        reply.body.requestType = request.value().requestType;
        reply.message = ctx.arena.text("request not supported");
        return encodeReply(reply);
    }
}
