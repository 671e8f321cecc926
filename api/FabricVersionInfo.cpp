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

FabricVersionInfo ComputeFabricVersionInfo(SessionContext* ctx, const FabricSignature& signature) {
    FabricVersionInfo info;
    for (const WWNAddress& wwn : signature.getSwitches()) {
        const bool isProxy =
            ctx != nullptr && std::memcmp(wwn.bytes(), ctx->proxyWWN, sizeof ctx->proxyWWN) == 0;
        char* version = nullptr;
        if (getSwitchFirmwareVersion(ctx, wwn.bytes(), &version) != 0 || version == nullptr) {
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
        const std::uint16_t level =
            ClassifyVersionString(version) != 0 ? FABRIC_LEVEL_2_3 : FABRIC_LEVEL_CURRENT;
        freeApiRecord(version);
        info.lowerFabricLevel(level);
        if (isProxy) {
            info.setProxyLevel(level);
        }
    }
    return info;
}
