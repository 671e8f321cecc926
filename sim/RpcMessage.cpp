#include "sim/RpcMessage.h"

#include <cstring>

namespace {

constexpr std::uint32_t kCall = 0;
constexpr std::uint32_t kReply = 1;
constexpr std::uint32_t kAccepted = 0;
constexpr std::uint32_t kDenied = 1;
constexpr std::uint32_t kRpcMismatch = 0;
constexpr std::uint32_t kAuthNone = 0;
constexpr std::uint32_t kMaxAuthBytes = 400;

// Reads big-endian units from a byte span, remembering a short read.
class UnitReader {
public:
    explicit UnitReader(std::span<const char> bytes) : bytes_(bytes) {}

    std::uint32_t unit() {
        if (bytes_.size() - offset_ < 4 || failed_) {
            failed_ = true;
            return 0;
        }
        const auto* p = reinterpret_cast<const unsigned char*>(bytes_.data() + offset_);
        offset_ += 4;
        return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
               (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
    }

    // An authenticator: flavour and opaque body of at most 400 bytes.
    void skipAuth() {
        unit();
        const std::uint32_t length = unit();
        const std::size_t padded = (std::size_t{length} + 3) & ~std::size_t{3};
        if (failed_ || length > kMaxAuthBytes || bytes_.size() - offset_ < padded) {
            failed_ = true;
            return;
        }
        offset_ += padded;
    }

    bool failed() const { return failed_; }
    std::span<const char> rest() const { return bytes_.subspan(offset_); }

private:
    std::span<const char> bytes_;
    std::size_t offset_ = 0;
    bool failed_ = false;
};

Bytes replyHeader(std::uint32_t xid, std::uint32_t replyStatus) {
    Bytes out;
    appendUnit(out, xid);
    appendUnit(out, kReply);
    appendUnit(out, replyStatus);
    return out;
}

Bytes acceptedHeader(std::uint32_t xid, AcceptStatus status) {
    Bytes out = replyHeader(xid, kAccepted);
    appendUnit(out, kAuthNone); // verifier: AUTH_NONE, empty body
    appendUnit(out, 0);
    appendUnit(out, static_cast<std::uint32_t>(status));
    return out;
}

} // namespace

void appendUnit(Bytes& out, std::uint32_t value) {
    out.push_back(static_cast<char>(value >> 24));
    out.push_back(static_cast<char>(value >> 16));
    out.push_back(static_cast<char>(value >> 8));
    out.push_back(static_cast<char>(value));
}

std::optional<RpcCall> decodeCall(std::span<const char> record) {
    UnitReader reader(record);
    RpcCall call;
    call.xid = reader.unit();
    if (reader.unit() != kCall) {
        return std::nullopt;
    }
    call.rpcVersion = reader.unit();
    call.program = reader.unit();
    call.version = reader.unit();
    call.procedure = reader.unit();
    reader.skipAuth(); // credential
    reader.skipAuth(); // verifier
    if (reader.failed()) {
        return std::nullopt;
    }
    call.args = reader.rest();
    return call;
}

Bytes acceptedReply(std::uint32_t xid, AcceptStatus status, std::span<const char> result) {
    Bytes out = acceptedHeader(xid, status);
    out.insert(out.end(), result.begin(), result.end());
    return out;
}

Bytes programMismatchReply(std::uint32_t xid, std::uint32_t low, std::uint32_t high) {
    Bytes out = acceptedHeader(xid, AcceptStatus::ProgramMismatch);
    appendUnit(out, low);
    appendUnit(out, high);
    return out;
}

Bytes rpcMismatchReply(std::uint32_t xid) {
    Bytes out = replyHeader(xid, kDenied);
    appendUnit(out, kRpcMismatch);
    appendUnit(out, 2);
    appendUnit(out, 2);
    return out;
}

Bytes undecodableReply(std::uint32_t xid) {
    Bytes out = replyHeader(xid, 0x7FFFFFFF);
    appendUnit(out, 0xFFFFFFFF);
    return out;
}

std::optional<Bytes> encodeXdr(xdrproc_t filter, void* object) {
    const unsigned long size = xdr_sizeof(filter, object);
    Bytes out(size);
    if (size == 0) {
        // Some filters (xdr_void) encode nothing; check the filter still accepts.
        XDR xdrs;
        char scratch[4];
        xdrmem_create(&xdrs, scratch, sizeof scratch, XDR_ENCODE);
        const bool ok = filter(&xdrs, object) != 0;
        xdr_destroy(&xdrs);
        return ok ? std::optional<Bytes>(Bytes{}) : std::nullopt;
    }
    XDR xdrs;
    xdrmem_create(&xdrs, out.data(), static_cast<u_int>(out.size()), XDR_ENCODE);
    const bool ok = filter(&xdrs, object) != 0;
    xdr_destroy(&xdrs);
    if (!ok) {
        return std::nullopt;
    }
    return out;
}

bool decodeXdr(std::span<const char> bytes, xdrproc_t filter, void* object) {
    XDR xdrs;
    // xdrmem never writes when decoding.
    xdrmem_create(&xdrs, const_cast<char*>(bytes.data()), static_cast<u_int>(bytes.size()),
                  XDR_DECODE);
    const bool ok = filter(&xdrs, object) != 0;
    xdr_destroy(&xdrs);
    return ok;
}

std::optional<std::string> decodeString(std::span<const char> bytes, unsigned maxLength) {
    XDR xdrs;
    xdrmem_create(&xdrs, const_cast<char*>(bytes.data()), static_cast<u_int>(bytes.size()),
                  XDR_DECODE);
    char* text = nullptr;
    const bool ok = xdr_string(&xdrs, &text, maxLength) != 0;
    xdr_destroy(&xdrs);
    std::optional<std::string> result;
    if (ok && text != nullptr) {
        result = text;
    }
    xdr_free(reinterpret_cast<xdrproc_t>(xdr_wrapstring), reinterpret_cast<char*>(&text));
    return result;
}

std::optional<std::int32_t> firstUnit(std::span<const char> args) {
    UnitReader reader(args);
    const std::uint32_t value = reader.unit();
    if (reader.failed()) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}
