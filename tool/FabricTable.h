// What zettle keeps of each fabric it logged in to and of each of its
// switches: the fabric and switch tables, read from the library's object
// listings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct ToolContext;

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
    // numSwitches entries; one whose switch could not be read stays empty.
    std::vector<SwitchInfo> switches;
};

// What a switch object says of the switch's certificate. Only objects that
// carry ValidCertificateInstalled tell; the objects of switches that report
// no firmware version do not.
enum class CertificateState { Unknown, NotValid, Valid };

// The certificate state written in a GetObjects reply's Switch element.
CertificateState certificateStateOf(std::string_view switchReply);

// Reads the switch object of `switchOID` again: its certificate state now,
// Unknown when the object cannot be read.
CertificateState readCertificateState(ToolContext& context, const std::string& switchOID);

// The name of the fabric's first principal switch, else "Unknown".
std::string principalText(const FabricInfo& fabric);

// GetObjects for one identifier: `reply` receives the reply text. 0 when
// the library answered, else -1; a Fault in the reply is not looked for.
int getObject(ToolContext& context, const std::string& identifier, std::string& reply);

// The table of the fabrics in `identities`, each with its switches; nothing
// when a fabric object cannot be read, lists no switch or none of its
// switches can be read. Raises MAX_N_SWITCHES for large fabrics.
std::optional<std::vector<FabricInfo>> getAllFabrics(ToolContext& context,
                                                     const std::vector<std::string>& identities);

// The switches of `switchIds`, one entry each (empty for a switch that
// cannot be read); `count` receives the number read.
std::vector<SwitchInfo> getSwitches(ToolContext& context, const std::vector<std::string>& switchIds,
                                    int& count);
