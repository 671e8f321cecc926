// One switch of a fabric as its topology page lists it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Fabric configuration server roles.
inline constexpr int FCS_ROLE_NONE = 0;
inline constexpr int FCS_ROLE_PRIMARY = 1;
inline constexpr int FCS_ROLE_SECONDARY = 2;

class UDAL_Switch {
public:
    virtual ~UDAL_Switch() = default;

    // Fills a text field with a bounded copy of `value`, cut to the
    // field's size less one and always ended by a zero byte.
    template <std::size_t N> static void setText(char (&field)[N], std::string_view value) {
        const std::size_t length = value.size() < N - 1 ? value.size() : N - 1;
        value.copy(field, length);
        for (std::size_t i = length; i < N; ++i) {
            field[i] = '\0';
        }
    }

    std::uint8_t worldWideName[8] = {};
    char switchName[128] = {};
    char ethernetIP[16] = {};
    char ethernetMask[16] = {};
    char fcIP[16] = {};
    char fcMask[16] = {};
    char gatewayIP[16] = {};
    int switchType = -1;
    int domainID = -1;
    int fcsRole = FCS_ROLE_NONE;
};
