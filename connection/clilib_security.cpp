// Security policy, certificate and security counter requests.
#include "connection/clilib_security.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string.h>

#include "connection/CertMgr.h"
#include "connection/clilib_request.h"

using namespace clilib;

namespace {

struct MPSReplyRelease {
    void operator()(MPSReply* reply) const { freeMPSReply(reply); }
};
using MPSReplyPtr = std::unique_ptr<MPSReply, MPSReplyRelease>;
using MPSArm = decltype(MPSReplyBody::MPSReplyBody_u);

// Size of the login text and cipher buffers of the password requests.
constexpr std::size_t kSecretBufferSize = 512;

MPSRequestArgs newMPSRequest(int type) {
    MPSRequestArgs args;
    std::memset(&args, 0, sizeof(args));
    args.requestType = type;
    return args;
}

// Sends `args`; on success hands the reply's arm to `use`, whose status is
// returned. The reply is freed on every path.
template <class Use> int mpsExchange(SessionContext* ctx, const MPSRequestArgs& args, Use use) {
    if (ctx == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MPSReply* raw = nullptr;
    const int status = sendMPSRequest(ctx, &args, &raw);
    if (status != 0) {
        return status;
    }
    MPSReplyPtr reply(raw);
    return use(reply->body.MPSReplyBody_u);
}

int mpsSimple(SessionContext* ctx, int type) {
    return mpsExchange(ctx, newMPSRequest(type), [](const MPSArm&) { return 0; });
}

int mpsNumber(SessionContext* ctx, int type, int* value) {
    if (value == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    return mpsExchange(ctx, newMPSRequest(type), [&](const MPSArm& arm) {
        *value = static_cast<int>(arm.number);
        return 0;
    });
}

// A heap copy of `text` with its NUL, for a char<> field of the request.
struct RequestText {
    char* data = nullptr;
    unsigned int length = 0;
    ~RequestText() { std::free(data); }
};

bool makeRequestText(const char* text, RequestText& out) {
    const std::size_t length = std::strlen(text) + 1;
    out.data = static_cast<char*>(std::malloc(length));
    if (out.data == nullptr) {
        return false;
    }
    std::memcpy(out.data, text, length);
    out.length = static_cast<unsigned int>(length);
    return true;
}

// Requests 272 to 275: the policy name and the member text, each with its NUL.
int policyRequest(SessionContext* ctx, int type, const char* policyName, const char* members) {
    if (ctx == nullptr || policyName == nullptr || members == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    if (std::strlen(policyName) + 1 > RM_NAME_MAX ||
        std::strlen(members) + 1 > RM_POLICY_TEXT_MAX) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    RequestText name;
    RequestText memberText;
    if (!makeRequestText(policyName, name) || !makeRequestText(members, memberText)) {
        return REQ_ERR_NO_MEMORY;
    }
    MPSRequestArgs args = newMPSRequest(type);
    auto& policy = args.MPSRequestArgs_u.policy;
    policy.policyName = {name.length, name.data};
    policy.kind = 0;
    policy.memberText = {memberText.length, memberText.data};
    return mpsExchange(ctx, args, [](const MPSArm&) { return 0; });
}

// Requests 3 and 4: "counter:first:second" encrypted under the switch
// certificate, sent as Base64 text.
int adminPasswordRequest(SessionContext* ctx, int type, const char* first, const char* second) {
    if (ctx == nullptr || first == nullptr || second == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    SwitchCertificate certificate{};
    if (getSwitchCertificate(ctx, &certificate) != 0) {
        return REQ_ERR_NO_SWITCH_CERTIFICATE;
    }
    char text[kSecretBufferSize];
    char cipher[kSecretBufferSize];
    int status = 0;
    const int written = std::snprintf(text, sizeof(text), "%ld:%s:%s",
                                      static_cast<long>(certificate.counter), first, second);
    if (written < 0 || static_cast<std::size_t>(written) >= sizeof(text)) {
        status = REQ_ERR_BAD_ARGUMENT; // the login text must fit its buffer whole
    } else {
        CertMgr* certificates = createCertificateManager();
        int cipherLength = static_cast<int>(sizeof(cipher));
        status = certificates == nullptr
                     ? REQ_ERR_NO_MEMORY
                     : certificates->encryptForSwitch(certificate.text, certificate.length,
                                                      reinterpret_cast<const unsigned char*>(text),
                                                      written + 1, cipher, &cipherLength);
        if (status == 0) {
            MPSRequestArgs args = newMPSRequest(type);
            args.MPSRequestArgs_u.secret = {static_cast<unsigned int>(cipherLength), cipher};
            status = mpsExchange(ctx, args, [](const MPSArm&) { return 0; });
        }
    }
    explicit_bzero(text, sizeof(text));
    explicit_bzero(cipher, sizeof(cipher));
    freeSwitchCertificate(&certificate);
    return status;
}

} // namespace

int getSwitchCertificate(SessionContext* ctx, SwitchCertificate* certificate) {
    if (certificate == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *certificate = {0, nullptr, 0};
    return mpsExchange(ctx, newMPSRequest(0), [&](const MPSArm& arm) {
        const auto& reply = arm.certificate;
        // The text ends at its first NUL or at the bytes received.
        const std::size_t length =
            reply.certificate.certificate_val == nullptr
                ? 0
                : strnlen(reply.certificate.certificate_val, reply.certificate.certificate_len);
        auto* text = static_cast<char*>(std::malloc(length + 1));
        if (text == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        if (length > 0) {
            std::memcpy(text, reply.certificate.certificate_val, length);
        }
        text[length] = '\0';
        *certificate = {static_cast<int>(length), text, reply.counter};
        return 0;
    });
}

void freeSwitchCertificate(SwitchCertificate* certificate) {
    if (certificate != nullptr) {
        std::free(certificate->text);
        *certificate = {0, nullptr, 0};
    }
}

int mpsQuery2(SessionContext* ctx, int* value) {
    return mpsNumber(ctx, 2, value);
}

int mpsGetSecureMode(SessionContext* ctx, int* secureMode) {
    return mpsNumber(ctx, 256, secureMode);
}

int mpsStartSecurityTransaction(SessionContext* ctx) {
    return mpsSimple(ctx, 257);
}

int mpsCommitSecurityTransaction(SessionContext* ctx) {
    return mpsSimple(ctx, 260);
}

int mpsAbortSecurityTransaction(SessionContext* ctx) {
    return mpsSimple(ctx, 261);
}

int mpsActivatePolicySet(SessionContext* ctx) {
    return mpsSimple(ctx, 262);
}

int mpsGetPolicyVersionStamp(SessionContext* ctx, char* stamp, std::size_t size) {
    if (stamp == nullptr || size == 0) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    stamp[0] = '\0';
    return mpsExchange(ctx, newMPSRequest(263), [&](const MPSArm& arm) {
        const std::size_t length = std::min(strnlen(arm.text, sizeof(arm.text)),
                                            std::min(size - 1, PolicyVersionStampSize));
        std::memcpy(stamp, arm.text, length);
        stamp[length] = '\0';
        return 0;
    });
}

int mpsCreatePolicy(SessionContext* ctx, const char* policyName, const char* members) {
    return policyRequest(ctx, 272, policyName, members);
}

int mpsDeletePolicy(SessionContext* ctx, const char* policyName) {
    return policyRequest(ctx, 273, policyName, "");
}

int mpsAddPolicyMember(SessionContext* ctx, const char* policyName, const char* members) {
    return policyRequest(ctx, 274, policyName, members);
}

int mpsRemovePolicyMember(SessionContext* ctx, const char* policyName, const char* members) {
    return policyRequest(ctx, 275, policyName, members);
}

int mpsGetPolicySetText(SessionContext* ctx, unsigned int selector, char** text) {
    if (text == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *text = nullptr;
    MPSRequestArgs args = newMPSRequest(277);
    args.MPSRequestArgs_u.selector = selector;
    return mpsExchange(ctx, args, [&](const MPSArm& arm) {
        const auto& members = arm.policy.memberText;
        if (members.memberText_val == nullptr) {
            return REQ_ERR_EMPTY_POLICY_TEXT;
        }
        const std::size_t length = members.memberText_len;
        auto* out = static_cast<char*>(allocApiBytes(length + 1));
        if (out == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        // NULs alternate: after a policy name a semicolon, after its
        // members a vertical bar.
        bool afterName = true;
        for (std::size_t i = 0; i < length; ++i) {
            const char c = members.memberText_val[i];
            if (c == '\0') {
                out[i] = afterName ? ';' : '|';
                afterName = !afterName;
            } else {
                out[i] = c;
            }
        }
        out[length] = '\0';
        *text = out;
        return 0;
    });
}

int mpsGetSecDbStatus(SessionContext* ctx, int* first, int* second) {
    if (first == nullptr || second == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    return mpsExchange(ctx, newMPSRequest(278), [&](const MPSArm& arm) {
        *first = arm.pair.first;
        *second = arm.pair.second;
        return 0;
    });
}

int mpsSetFCSAdminPassword(SessionContext* ctx, const char* first, const char* second) {
    return adminPasswordRequest(ctx, 3, first, second);
}

int mpsSetNonFCSAdminPassword(SessionContext* ctx, const char* first, const char* second) {
    return adminPasswordRequest(ctx, 4, first, second);
}

// --- Certificates and security counters (management requests) -------------

int switchGetCertificateSigningRequest(SessionContext* ctx, const unsigned char switchName[8],
                                       CertificateRequestText* request) {
    if (ctx == nullptr || switchName == nullptr || request == nullptr) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    *request = {0, nullptr};
    MSRequestArgs args = newRequest(2064);
    copyName(args.MSRequestArgs_u.certificate.switchName, switchName);
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        const auto& reply = arm.certificate.text;
        // Only the bytes received count, up to the first NUL among them.
        const std::size_t length =
            reply.text_val == nullptr ? 0 : strnlen(reply.text_val, reply.text_len);
        auto* text = static_cast<char*>(allocApiBytes(length + 1));
        if (text == nullptr) {
            return REQ_ERR_NO_MEMORY;
        }
        if (length > 0) {
            std::memcpy(text, reply.text_val, length);
        }
        text[length] = '\0';
        *request = {static_cast<int>(length), text};
        return 0;
    });
}

int installSwitchCertificate(SessionContext* ctx, const unsigned char switchName[8],
                             const char* certificate, int length) {
    if (ctx == nullptr || switchName == nullptr || certificate == nullptr || length < 0 ||
        static_cast<unsigned int>(length) > RM_CERT_TEXT_MAX) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    std::unique_ptr<char, decltype(&std::free)> copy(
        static_cast<char*>(std::malloc(static_cast<std::size_t>(length) + 1)), &std::free);
    if (!copy) {
        return REQ_ERR_NO_MEMORY;
    }
    std::memcpy(copy.get(), certificate, static_cast<std::size_t>(length));
    MSRequestArgs args = newRequest(2065);
    auto& arm = args.MSRequestArgs_u.certificate;
    copyName(arm.switchName, switchName);
    arm.text = {static_cast<unsigned int>(length), copy.get()};
    return exchange(ctx, args);
}

int switchGetSecurityStats(SessionContext* ctx, const unsigned char switchName[8], int reset,
                           SecurityStatsRecord* stats) {
    if (ctx == nullptr || switchName == nullptr || (reset == 0 && stats == nullptr)) {
        return REQ_ERR_BAD_ARGUMENT;
    }
    MSRequestArgs args = newRequest(2067);
    copyName(args.MSRequestArgs_u.switchInt.switchName, switchName);
    args.MSRequestArgs_u.switchInt.value = reset;
    return exchange(ctx, args, [&](const ReplyArm& arm) {
        if (reset == 0) {
            *stats = arm.securityStats;
        }
        return 0;
    });
}
