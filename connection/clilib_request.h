// Shared steps of the request operations (internal to the request layer).
#pragma once

#include <cstring>
#include <memory>
#include <new>

#include "connection/clilib.h"
#include "foundation/InternalStatus.h"

namespace clilib {

// The arm of a management reply.
using ReplyArm = decltype(MSReplyBody::MSReplyBody_u);
// The arm of a management request.
using RequestArm = decltype(MSRequestArgs::MSRequestArgs_u);

struct MSReplyRelease {
    void operator()(MSReply* reply) const { freeMSReply(reply); }
};
using MSReplyPtr = std::unique_ptr<MSReply, MSReplyRelease>;

// A management request with `code` and a cleared arm.
inline MSRequestArgs newRequest(int code) {
    MSRequestArgs args;
    std::memset(&args, 0, sizeof(args));
    args.command = code;
    return args;
}

// Sends `args`; on success hands the reply's arm to `copy`, whose status
// is returned. The reply is freed on every path.
template <class Copy> int exchange(SessionContext* ctx, const MSRequestArgs& args, Copy copy) {
    MSReply* raw = nullptr;
    const int status = sendMSSvrRequest(ctx, &args, &raw);
    if (status != 0) {
        return status;
    }
    MSReplyPtr reply(raw);
    return copy(reply->body.MSReplyBody_u);
}

// Sends `args` and keeps nothing of the reply.
inline int exchange(SessionContext* ctx, const MSRequestArgs& args) {
    return exchange(ctx, args, [](const ReplyArm&) { return 0; });
}

// A typed byte block holding a copy of `record`.
template <class T> int copyRecord(const T& record, T** out) {
    auto* block = static_cast<T*>(allocApiBytes(sizeof(T)));
    if (block == nullptr) {
        return REQ_ERR_NO_MEMORY;
    }
    std::memcpy(static_cast<void*>(block), &record, sizeof(T));
    *out = block;
    return 0;
}

// A typed byte block holding a copy of `count` elements (an empty block for
// none); null when it cannot be allocated.
template <class T> T* copyArray(const T* elements, unsigned int count) {
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(static_cast<std::size_t>(count), sizeof(T), &bytes)) {
        return nullptr;
    }
    auto* block = static_cast<T*>(allocApiBytes(bytes));
    if (block != nullptr && bytes > 0) {
        std::memcpy(static_cast<void*>(block), elements, bytes);
    }
    return block;
}

// Frees a block that may be absent.
inline void freeIfAny(void* payload) {
    if (payload != nullptr) {
        freeApiRecord(payload);
    }
}

// Copies a caller's text into a fixed field: at most N - 1 characters, the
// rest of the field zero.
template <std::size_t N> void copyText(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    if (text != nullptr) {
        std::memcpy(field, text, strnlen(text, N - 1));
    }
}

// Copies a caller's text whole into a fixed field that the switch reads
// by its size: up to N characters, a text of exactly N without a NUL, the
// rest of the field zero. False, with the field zero, for a null text or
// one longer than the field.
template <std::size_t N> bool copyWholeText(char (&field)[N], const char* text) {
    std::memset(field, 0, N);
    if (text == nullptr) {
        return false;
    }
    const std::size_t length = strnlen(text, N + 1);
    if (length > N) {
        return false;
    }
    std::memcpy(field, text, length);
    return true;
}

// The last byte of a fixed text field from a reply set to NUL.
template <std::size_t N> void terminate(char (&field)[N]) {
    field[N - 1] = '\0';
}

template <std::size_t N> void copyName(char (&field)[N], const unsigned char* wwn) {
    static_assert(N == 8);
    std::memcpy(field, wwn, N);
}
template <std::size_t N> void copyName(unsigned char (&field)[N], const unsigned char* wwn) {
    static_assert(N == 8);
    std::memcpy(field, wwn, N);
}

} // namespace clilib
