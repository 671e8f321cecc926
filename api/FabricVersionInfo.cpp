#include "api/FabricVersionInfo.h"

#include <cstring>

#include "api/FabricSignature.h"
#include "connection/clilib.h"
#include "connection/clilib_nameserver.h"
#include "connection/clilib_records.h"
#include "connection/clilib_session.h"

int ClassifyVersionString(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    if (*text == 'A' || *text == 'V' || *text == 'a' || *text == 'v') {
        ++text;
    }
    if (std::strncmp(text, "2.3", 3) == 0 || std::strncmp(text, "2.4", 3) == 0 ||
        std::strncmp(text, "2.5", 3) == 0) {
        return 1;
    }
    if (std::strncmp(text, "3.0", 3) == 0) {
        return std::strncmp(text, "3.0.2", 5) == 0 ? 2 : 1;
    }
    return 0;
}

std::uint16_t VersionLevelOfReply(int status, const char* text, int* secondary) {
    if (secondary != nullptr) {
        *secondary = 0;
    }
    if (status != 0) {
        return FABRIC_LEVEL_NO_VERSION;
    }
    if (text == nullptr) {
        return FABRIC_LEVEL_2_3;
    }
    switch (ClassifyVersionString(text)) {
    case 1:
        return FABRIC_LEVEL_2_3;
    case 2:
        if (secondary != nullptr) {
            *secondary = FABRIC_LEVEL_SECONDARY_3_0_2;
        }
        return FABRIC_LEVEL_2_3;
    default:
        return FABRIC_LEVEL_CURRENT;
    }
}

FabricVersionInfo ComputeFabricVersionInfo(SessionContext* ctx, const FabricSignature& signature) {
    FabricVersionInfo info;
    for (const WWNAddress& wwn : signature.getSwitches()) {
        const bool isProxy =
            ctx != nullptr && std::memcmp(wwn.bytes(), ctx->proxyWWN, sizeof ctx->proxyWWN) == 0;
        char* version = nullptr;
        const int status = getSwitchFirmwareVersion(ctx, wwn.bytes(), &version);
        if (status != 0) {
            // Only a switch that still answers counts as naming no version.
            FabricElementList* ports = nullptr;
            if (getPortList(ctx, wwn.bytes(), &ports) == 0 && ports != nullptr) {
                freeApiRecord(ports);
                info.lowerFabricLevel(FABRIC_LEVEL_NO_VERSION);
            }
            if (isProxy) {
                info.setProxyLevel(FABRIC_LEVEL_NO_VERSION);
            }
            continue;
        }
        const std::uint16_t level = VersionLevelOfReply(status, version);
        if (version != nullptr) {
            freeApiRecord(version);
        }
        info.lowerFabricLevel(level);
        if (isProxy) {
            info.setProxyLevel(level);
        }
    }
    return info;
}
