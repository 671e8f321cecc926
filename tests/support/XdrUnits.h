// XDR units written by hand: a builder of requests and replies unit by unit,
// the simulator's "bytes" fault that plays such a reply, and a raw RPC call
// of the management program with units as its argument and its result.
#pragma once

#include <rpc/rpc.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "remote_api.h"

// The units of an XDR stream, appended by chaining members that return the
// derived builder `Self`, so that a file's own members chain with these.
template <class Self> struct XdrUnitsOf {
    std::vector<std::uint32_t> units;

    Self& unit(std::uint32_t value) {
        units.push_back(value);
        return self();
    }
    Self& ints(std::initializer_list<std::int32_t> values) {
        for (std::int32_t value : values) {
            unit(static_cast<std::uint32_t>(value));
        }
        return self();
    }
    Self& zeros(std::size_t count) {
        units.insert(units.end(), count, 0);
        return self();
    }
    // u_char[n]: one zero-extended unit per byte.
    Self& bytes(std::initializer_list<std::uint8_t> values) {
        for (std::uint8_t byte : values) {
            unit(byte);
        }
        return self();
    }
    // char[n]: one sign-extended unit per byte, the rest of the field zero.
    Self& text(const std::string& value, std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) {
            const auto byte = static_cast<std::int8_t>(i < value.size() ? value[i] : 0);
            unit(static_cast<std::uint32_t>(static_cast<std::int32_t>(byte)));
        }
        return self();
    }
    // char[8]: one sign-extended unit per byte.
    Self& signedName(const std::uint8_t (&name)[8]) {
        return text(std::string(reinterpret_cast<const char*>(name), 8), 8);
    }
    // u_char[8] (WWNBytes): one zero-extended unit per byte.
    Self& unsignedName(const std::uint8_t (&name)[8]) {
        for (std::uint8_t byte : name) {
            unit(byte);
        }
        return self();
    }
    // A port identifier: three bytes, domain first.
    Self& portId(std::uint32_t id) {
        return bytes({static_cast<std::uint8_t>(id >> 16), static_cast<std::uint8_t>(id >> 8),
                      static_cast<std::uint8_t>(id)});
    }
    // The envelope of a management or name-server reply: status 0, an empty
    // message, the unused word, the arm's code.
    Self& reply(std::int32_t code) { return ints({0, 0, 0, code}); }
    template <class Other> Self& append(const XdrUnitsOf<Other>& other) {
        units.insert(units.end(), other.units.begin(), other.units.end());
        return self();
    }

    // The units as "replyHex" text: eight hexadecimal digits and a blank each.
    std::string hex() const {
        std::string out;
        char digits[10];
        for (std::uint32_t value : units) {
            std::snprintf(digits, sizeof digits, "%08x ", value);
            out += digits;
        }
        return out;
    }

private:
    Self& self() { return static_cast<Self&>(*this); }
};

struct XdrUnits : XdrUnitsOf<XdrUnits> {};

// The "replyHex" text of `units`.
inline std::string hexOf(const std::vector<std::uint32_t>& units) {
    return XdrUnits{{units}}.hex();
}

// The text of `count` units from `from`, or the reply's length if it is
// shorter.
inline std::string hexOf(const std::vector<std::uint32_t>& units, std::size_t from,
                         std::size_t count) {
    if (from + count > units.size()) {
        return "(the reply is " + std::to_string(units.size()) + " units long)";
    }
    return hexOf(
        std::vector<std::uint32_t>(units.begin() + static_cast<std::ptrdiff_t>(from),
                                   units.begin() + static_cast<std::ptrdiff_t>(from + count)));
}

// The simulator's fault answering request `code` of `procedure` with
// `body`'s units as its result; `count` calls, or every call without it.
template <class Self>
nlohmann::json playedReply(std::int32_t code, const XdrUnitsOf<Self>& body,
                           std::optional<int> count = std::nullopt, int procedure = 40) {
    nlohmann::json fault = {
        {"procedure", procedure}, {"code", code}, {"kind", "bytes"}, {"replyHex", body.hex()}};
    if (count) {
        fault["count"] = *count;
    }
    return fault;
}

// --- Raw RPC calls with units as argument and result ------------------------

// Writes the units of a std::vector<std::uint32_t>.
inline bool_t putUnits(XDR* xdrs, void* units) {
    for (std::uint32_t value : *static_cast<const std::vector<std::uint32_t>*>(units)) {
        if (!xdr_u_int(xdrs, &value)) {
            return FALSE;
        }
    }
    return TRUE;
}

// Takes every unit up to the end of the reply into a
// std::vector<std::uint32_t>.
inline bool_t takeUnits(XDR* xdrs, void* out) {
    u_int value = 0;
    while (xdr_u_int(xdrs, &value)) {
        static_cast<std::vector<std::uint32_t>*>(out)->push_back(value);
    }
    return TRUE;
}

struct ClientDeleter {
    void operator()(CLIENT* client) const { clnt_destroy(client); }
};

// Calls `procedure` of the management program at `address` over TCP with
// `request` as its argument, with a 5-second time-out; the reply's units.
// A client that cannot be made or a call that fails is a test failure and
// gives no units, or those taken before the failure.
inline std::vector<std::uint32_t> callWithUnits(const std::string& address, std::uint32_t procedure,
                                                const std::vector<std::uint32_t>& request) {
    std::unique_ptr<CLIENT, ClientDeleter> client(
        clnt_create(address.c_str(), REMOTE_MGMT_PROG, REMOTE_MGMT_VERS, "tcp"));
    EXPECT_TRUE(client) << clnt_spcreateerror(address.c_str());
    std::vector<std::uint32_t> units;
    if (!client) {
        return units;
    }
    const timeval timeout{5, 0};
    EXPECT_EQ(RPC_SUCCESS,
              clnt_call(client.get(), procedure, reinterpret_cast<xdrproc_t>(putUnits),
                        reinterpret_cast<char*>(const_cast<std::vector<std::uint32_t>*>(&request)),
                        reinterpret_cast<xdrproc_t>(takeUnits), reinterpret_cast<char*>(&units),
                        timeout));
    return units;
}
