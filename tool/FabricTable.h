// What zettle keeps of each fabric it logged in to and of each of its
// switches: the fabric and switch tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The SwitchRole of a fabric's principal switch.
inline constexpr std::int32_t PrincipalSwitchRole = 566;

struct SwitchInfo {
    std::string ISN; // invariant serial name: the embedded switch's name, else assignedWWN
    std::string switchOID;
    std::string assignedWWN; // the WWN with its colons toggled
    std::string WWN;         // the WWN as the library wrote it
    std::string name;
    std::string firmwareVersion;
    std::string ipAddress;
    std::int32_t domain = 0;
    std::int32_t swRole = 0;
    std::int32_t numPorts = 0;
};

struct FabricInfo {
    std::string fabricId;
    std::string wwn;
    std::string actvZoneDb;
    std::string fullZoneDb;
    std::int32_t numSwitches = 0;
    std::vector<SwitchInfo> switches;
};

// The name of the fabric's first principal switch, else "Unknown".
std::string principalText(const FabricInfo& fabric);
