// Wire encoding of the management protocol records: hand-written XDR byte
// vectors against what the generated routines encode and decode.
#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "connection/XdrFilter.h"
#include "remote_api.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Units are written as 32-bit values, big-endian on the wire.
Bytes units(std::initializer_list<uint32_t> values) {
    Bytes bytes;
    for (uint32_t value : values) {
        bytes.push_back(static_cast<uint8_t>(value >> 24));
        bytes.push_back(static_cast<uint8_t>(value >> 16));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return bytes;
}

Bytes concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

bool encode(xdrproc_t filter, void* record, Bytes& out) {
    std::vector<char> buffer(64 * 1024);
    XDR xdrs;
    xdrmem_create(&xdrs, buffer.data(), static_cast<u_int>(buffer.size()), XDR_ENCODE);
    const bool ok = filter(&xdrs, record, 0) != 0;
    out.assign(buffer.begin(), buffer.begin() + xdr_getpos(&xdrs));
    xdr_destroy(&xdrs);
    return ok;
}

// Decodes into `record` (zeroed by the caller); returns false on failure and
// the number of bytes consumed in `consumed`.
bool decode(xdrproc_t filter, const Bytes& in, void* record, u_int* consumed = nullptr) {
    XDR xdrs;
    xdrmem_create(&xdrs, reinterpret_cast<char*>(const_cast<uint8_t*>(in.data())),
                  static_cast<u_int>(in.size()), XDR_DECODE);
    const bool ok = filter(&xdrs, record, 0) != 0;
    if (consumed != nullptr) {
        *consumed = xdr_getpos(&xdrs);
    }
    xdr_destroy(&xdrs);
    return ok;
}

// A char[8] switch name holding 0x7F and 0x80, and its eight units.
const uint32_t kSwitchNameUnits[8] = {0x20, 0x00, 0x00, 0x11, 0x22, 0x33, 0x7f, 0xffffff80};
const char kSwitchName[8] = {0x20, 0x00, 0x00, 0x11, 0x22, 0x33, 0x7f, static_cast<char>(0x80)};

Bytes switchNameUnits() {
    return units({kSwitchNameUnits[0], kSwitchNameUnits[1], kSwitchNameUnits[2],
                  kSwitchNameUnits[3], kSwitchNameUnits[4], kSwitchNameUnits[5],
                  kSwitchNameUnits[6], kSwitchNameUnits[7]});
}

// One record shape: how to fill it, its bytes, and what a decode must hold.
struct WireCase {
    const char* name;
    xdrproc_t filter;
    size_t size;
    std::function<void(void*)> fill;
    Bytes wire;
    std::function<void(const void*)> check;
};

char emptyText[] = "";
char shortText[] = "abcde";
char certText[] = "ab";

std::vector<WireCase> wireCases() {
    std::vector<WireCase> cases;

    cases.push_back({"char8 sign-extends", asXdrFilter(xdr_AuthReply), sizeof(AuthReply),
                     [](void* r) {
                         auto* reply = static_cast<AuthReply*>(r);
                         reply->accessLevel = -1;
                         std::memcpy(reply->wwn, kSwitchName, 8);
                         reply->number = 42;
                     },
                     concat({units({0xffffffff}), switchNameUnits(), units({42})}),
                     [](const void* r) {
                         auto* reply = static_cast<const AuthReply*>(r);
                         EXPECT_EQ(-1, reply->accessLevel);
                         EXPECT_EQ(0, std::memcmp(reply->wwn, kSwitchName, 8));
                         EXPECT_EQ(42u, reply->number);
                     }});

    cases.push_back({"u_char8 zero-extends", asXdrFilter(xdr_WWNBytes), sizeof(WWNBytes),
                     [](void* r) {
                         const u_char wwn[8] = {0x20, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44, 0xff};
                         std::memcpy(r, wwn, 8);
                     },
                     units({0x20, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44, 0xff}),
                     [](const void* r) { EXPECT_EQ(0xff, static_cast<const u_char*>(r)[7]); }});

    cases.push_back({"char array is a count and one unit per character",
                     asXdrFilter(xdr_CertificateArgs), sizeof(CertificateArgs),
                     [](void* r) {
                         auto* args = static_cast<CertificateArgs*>(r);
                         std::memcpy(args->switchName, kSwitchName, 8);
                         args->text = {2, certText};
                     },
                     concat({switchNameUnits(), units({2, 'a', 'b'})}),
                     [](const void* r) {
                         auto* args = static_cast<const CertificateArgs*>(r);
                         ASSERT_EQ(2u, args->text.text_len);
                         EXPECT_EQ(0, std::memcmp(args->text.text_val, "ab", 2));
                     }});

    cases.push_back({"string is padded to a unit", asXdrFilter(xdr_ZoningStatusReply),
                     sizeof(ZoningStatusReply),
                     [](void* r) {
                         *static_cast<ZoningStatusReply*>(r) = {-5, shortText};
                     },
                     units({0xfffffffb, 5, 0x61626364, 0x65000000}),
                     [](const void* r) {
                         auto* reply = static_cast<const ZoningStatusReply*>(r);
                         EXPECT_EQ(-5, reply->status);
                         EXPECT_STREQ("abcde", reply->message);
                     }});

    cases.push_back({"envelope with a union arm", asXdrFilter(xdr_MSReply), sizeof(MSReply),
                     [](void* r) {
                         auto* reply = static_cast<MSReply*>(r);
                         reply->message = emptyText;
                         reply->body.command = 1545;
                         std::memcpy(reply->body.MSReplyBody_u.text36, "\x80z", 3);
                     },
                     concat({units({0, 0, 0, 1545, 0xffffff80, 'z'}), Bytes(34 * 4, 0)}),
                     [](const void* r) {
                         auto* reply = static_cast<const MSReply*>(r);
                         EXPECT_EQ(1545, reply->body.command);
                         EXPECT_EQ(static_cast<char>(0x80), reply->body.MSReplyBody_u.text36[0]);
                     }});

    cases.push_back(
        {"reply code without an arm carries nothing", asXdrFilter(xdr_NSReply), sizeof(NSReply),
         [](void* r) {
             auto* reply = static_cast<NSReply*>(r);
             reply->status = 3;
             reply->message = emptyText;
             reply->body.queryCode = 999;
         },
         units({3, 0, 0, 999}),
         [](const void* r) { EXPECT_EQ(999, static_cast<const NSReply*>(r)->body.queryCode); }});

    cases.push_back(
        {"request code without a row takes the query arm", asXdrFilter(xdr_MSRequestArgs),
         sizeof(MSRequestArgs),
         [](void* r) {
             auto* args = static_cast<MSRequestArgs*>(r);
             args->command = 257;
             std::memcpy(args->MSRequestArgs_u.fcsQuery.switchName, kSwitchName, 8);
             args->MSRequestArgs_u.fcsQuery.text = shortText;
             args->MSRequestArgs_u.fcsQuery.list = {0, nullptr};
         },
         concat({units({257}), switchNameUnits(), units({5, 0x61626364, 0x65000000, 0})}),
         [](const void* r) {
             auto* args = static_cast<const MSRequestArgs*>(r);
             EXPECT_STREQ("abcde", args->MSRequestArgs_u.fcsQuery.text);
         }});

    cases.push_back(
        {"u_short takes a whole unit", asXdrFilter(xdr_EventListenerArgs),
         sizeof(EventListenerArgs),
         [](void* r) {
             *static_cast<EventListenerArgs*>(r) = {0x7f000001, 0xfffe, 1};
         },
         units({0x7f000001, 0xfffe, 1}),
         [](const void* r) { EXPECT_EQ(0xfffe, static_cast<const EventListenerArgs*>(r)->port); }});
    return cases;
}

TEST(RemoteApiWire, RecordsEncodeAndDecodeAsWritten) {
    for (const WireCase& c : wireCases()) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> record(c.size, 0);
        c.fill(record.data());
        Bytes encoded;
        ASSERT_TRUE(encode(c.filter, record.data(), encoded));
        EXPECT_EQ(c.wire, encoded);

        std::vector<uint8_t> decoded(c.size, 0);
        u_int consumed = 0;
        ASSERT_TRUE(decode(c.filter, c.wire, decoded.data(), &consumed));
        EXPECT_EQ(c.wire.size(), consumed);
        c.check(decoded.data());
        xdr_free(c.filter, reinterpret_cast<char*>(decoded.data()));
    }
}

TEST(RemoteApiWire, PlatformUnionRefusesUnknownCode) {
    PlatformSetArgs args{};
    args.code = 5;
    Bytes encoded;
    EXPECT_FALSE(encode(asXdrFilter(xdr_PlatformSetArgs), &args, encoded));

    PlatformSetArgs decoded{};
    EXPECT_FALSE(decode(asXdrFilter(xdr_PlatformSetArgs), units({5}), &decoded));

    args.code = 1; // codes 0 and 1 carry nothing
    ASSERT_TRUE(encode(asXdrFilter(xdr_PlatformSetArgs), &args, encoded));
    EXPECT_EQ(units({1}), encoded);
}

// A reply whose count or length exceeds the bound is refused before the
// client allocates for it; the same count within the bound decodes.
TEST(RemoteApiWire, RepliesOverTheirBoundAreRefused) {
    struct BoundCase {
        const char* name;
        xdrproc_t filter;
        size_t size;
        Bytes prefix;
        uint32_t bound;
        size_t unitsPerElement;
    };
    const BoundCase cases[] = {
        {"message text", asXdrFilter(xdr_ZoningStatusReply), sizeof(ZoningStatusReply), units({0}),
         RM_MESSAGE_MAX, 0},
        {"zoning names", asXdrFilter(xdr_ZoningNamesReply), sizeof(ZoningNamesReply), units({0, 0}),
         RM_ZONING_NAMES_MAX, 1},
        {"element list", asXdrFilter(xdr_MSReply), sizeof(MSReply), units({0, 0, 0, 257}),
         RM_LIST_MAX, 9},
        {"upload chunk", asXdrFilter(xdr_MSReply), sizeof(MSReply),
         units({0, 0, 0, 1837, 0, 0, 0, 0}), RM_UPLOAD_CHUNK_MAX, 1},
        {"certificate text", asXdrFilter(xdr_MPSReply), sizeof(MPSReply), units({0, 0, 0, 293}),
         RM_CERT_TEXT_MAX, 1},
    };
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> record(c.size, 0);
        EXPECT_FALSE(decode(c.filter, concat({c.prefix, units({c.bound + 1})}), record.data()));
        xdr_free(c.filter, reinterpret_cast<char*>(record.data()));

        if (c.unitsPerElement == 0) {
            continue;
        }
        // At the bound: elements of zero units (or zero-length names) decode.
        Bytes atBound = concat({c.prefix, units({c.bound})});
        atBound.resize(atBound.size() + size_t{c.bound} * c.unitsPerElement * 4, 0);
        if (c.filter == asXdrFilter(xdr_MPSReply)) {
            atBound.resize(atBound.size() + 4, 0); // the counter after the text
        }
        std::vector<uint8_t> decoded(c.size, 0);
        EXPECT_TRUE(decode(c.filter, atBound, decoded.data()));
        xdr_free(c.filter, reinterpret_cast<char*>(decoded.data()));
    }
}

} // namespace
