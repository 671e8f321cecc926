// The firmware generation of a proxy switch and of its fabric as level
// codes: 2200 for switches that report no version, 2300 for the 2.3 to 3.0
// generation, 2600 for all later firmware.
#pragma once

#include <cstdint>

class FabricSignature;
struct SessionContext;

constexpr std::uint16_t FABRIC_LEVEL_NO_VERSION = 2200;
constexpr std::uint16_t FABRIC_LEVEL_2_3 = 2300;
constexpr std::uint16_t FABRIC_LEVEL_CURRENT = 2600;
// Secondary code of firmware 3.0.2 (level 2300).
constexpr int FABRIC_LEVEL_SECONDARY_3_0_2 = 3020;

// 1 for versions 2.3 to 3.0 (one leading 'A', 'V', 'a' or 'v' is skipped),
// 2 for 3.0.2, 0 for every other text. A null text counts as empty.
int ClassifyVersionString(const char* text);

// The one reading of a switch's answer to the firmware version question,
// shared by the fabric re-check and the classes of the object tree:
// 2200 when the question failed (`status` not 0), 2300 when it succeeded
// without a text, else the level of the text's class: 2300 for class 1 and
// 2 (class 2 with the secondary code 3020), 2600 for class 0. The secondary
// code goes to `secondary` when given (0 for every other answer).
std::uint16_t VersionLevelOfReply(int status, const char* text, int* secondary = nullptr);

class FabricVersionInfo {
public:
    FabricVersionInfo() = default;
    virtual ~FabricVersionInfo() = default;
    FabricVersionInfo(const FabricVersionInfo&) = default;
    FabricVersionInfo& operator=(const FabricVersionInfo&) = default;

    void setProxyLevel(std::uint16_t level) { proxyLevel = level; }
    // Lowers the fabric level to `level`; a higher level changes nothing.
    void lowerFabricLevel(std::uint16_t level) {
        if (level < fabricLevel) {
            fabricLevel = level;
        }
    }
    std::uint16_t getProxyLevel() const { return proxyLevel; }
    std::uint16_t getFabricLevel() const { return fabricLevel; }

private:
    std::uint16_t proxyLevel = FABRIC_LEVEL_CURRENT;
    std::uint16_t fabricLevel = FABRIC_LEVEL_CURRENT;
};

// Asks every switch of the signature for its firmware version: the fabric
// takes the lowest level. A switch that answers requests but names no
// version counts as the oldest generation; one that answers nothing leaves
// the level as it is.
FabricVersionInfo ComputeFabricVersionInfo(SessionContext* ctx, const FabricSignature& signature);
