// ONC RPC call and reply messages (RFC 1831) as byte buffers, and XDR
// encoding and decoding of bodies through libtirpc filters.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include <rpc/rpc.h>

using Bytes = std::vector<char>;

// A decoded call header; `args` points into the record it came from.
struct RpcCall {
    std::uint32_t xid = 0;
    std::uint32_t rpcVersion = 0;
    std::uint32_t program = 0;
    std::uint32_t version = 0;
    std::uint32_t procedure = 0;
    std::span<const char> args;
};

enum class AcceptStatus : std::uint32_t {
    Success = 0,
    ProgramUnavailable = 1,
    ProgramMismatch = 2,
    ProcedureUnavailable = 3,
    GarbageArguments = 4,
    SystemError = 5,
};

// Returns nothing when the record is not an RPC call (or is cut short).
std::optional<RpcCall> decodeCall(std::span<const char> record);

// An accepted reply: header, status and (for Success) the encoded result.
Bytes acceptedReply(std::uint32_t xid, AcceptStatus status, std::span<const char> result = {});
// PROG_MISMATCH with the supported version range.
Bytes programMismatchReply(std::uint32_t xid, std::uint32_t low, std::uint32_t high);
// MSG_DENIED / RPC_MISMATCH for a call of an RPC version other than 2.
Bytes rpcMismatchReply(std::uint32_t xid);
// A reply whose header claims a reply status that does not exist: no
// client can decode it.
Bytes undecodableReply(std::uint32_t xid);

// Encodes `object` with `filter`; nothing when the filter fails.
std::optional<Bytes> encodeXdr(xdrproc_t filter, void* object);
// Decodes `bytes` into `object` (zeroed by the caller); the caller frees
// what was allocated with xdr_free even on failure.
bool decodeXdr(std::span<const char> bytes, xdrproc_t filter, void* object);

// An XDR string of at most `maxLength` bytes; nothing when it does not decode.
std::optional<std::string> decodeString(std::span<const char> bytes, unsigned maxLength);

// The first unit of the arguments (the request code of the generic
// management procedures).
std::optional<std::int32_t> firstUnit(std::span<const char> args);

// Appends a big-endian 32-bit unit.
void appendUnit(Bytes& out, std::uint32_t value);
