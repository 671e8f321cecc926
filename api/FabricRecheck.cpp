#include "api/FabricRecheck.h"

#include <cstring>

#include "api/FabricSignature.h"
#include "api/FabricTreeReads.h"
#include "api/FabricVersionInfo.h"
#include "connection/clilib_session.h"
#include "foundation/APIException.h"
#include "foundation/OidText.h"

namespace {

constexpr int kBusy = -86;
constexpr int kSwitchLeft = -94;
constexpr int kFabricChanged = -95;
constexpr int kFabricUnreadable = -209;

// Set while this thread re-checks, so that the re-check's own requests do
// not start another.
thread_local bool recheckRunning = false;

class RecheckScope {
public:
    RecheckScope() { recheckRunning = true; }
    ~RecheckScope() { recheckRunning = false; }
    RecheckScope(const RecheckScope&) = delete;
    RecheckScope& operator=(const RecheckScope&) = delete;
};

WWNAddress wwnOfOid(const std::string& oid) {
    OID_t field = {};
    CopyName48(field, oid.c_str());
    return WWNAddress(field);
}

} // namespace

int classifyFabricChange(SessionContext* ctx, const std::vector<std::string>& storedSwitches) {
    std::optional<FabricSignature> live;
    try {
        live.emplace(ctx);
    } catch (const ConnectionException& failure) {
        return failure.getCode() == kBusy ? 5 : 1;
    } catch (const APIException&) {
        return 1;
    }
    if (live->hasZeroFabricWWN()) {
        return 5;
    }
    for (const std::string& oid : storedSwitches) {
        if (!live->containsSwitch(wwnOfOid(oid))) {
            return sameFabricAndVersion(ctx, *live) ? 3 : 4;
        }
    }
    return 2;
}

int recheckFabricAfterError(SessionContext* ctx, const std::vector<std::string>& storedSwitches,
                            int status) {
    if (status == 0) {
        return 0;
    }
    if (recheckRunning || ctx == nullptr) {
        return status;
    }
    const RecheckScope scope;
    switch (classifyFabricChange(ctx, storedSwitches)) {
    case 3:
        return kSwitchLeft;
    case 4:
        return kFabricChanged;
    case 5:
        return kFabricUnreadable;
    default:
        return status;
    }
}

bool sameFabricAndVersion(SessionContext* ctx, const FabricSignature& signature) {
    if (ctx == nullptr || !(WWNAddress(ctx->fabricWWN) == signature.getFabricWWN())) {
        return false;
    }
    const std::uint16_t live = ComputeFabricVersionInfo(ctx, signature).getFabricLevel();
    const std::optional<unsigned short> stored =
        fabricTreeReads().storedFabricLevel(WWNAddress(ctx->fabricWWN));
    return stored && *stored == live;
}

std::optional<std::vector<std::string>>
FabricRecheckHooks::fabricSwitches(const std::string& fabricOid) {
    return fabricTreeReads().fabricSwitches(fabricOid);
}

int FabricRecheckHooks::recheckFabricAfterError(SessionContext* ctx,
                                                const std::vector<std::string>& switches,
                                                int mappedCode) {
    return ::recheckFabricAfterError(ctx, switches, mappedCode);
}

void installFabricRecheckHooks() {
    static FabricRecheckHooks hooks;
    installRecoveryHooks(&hooks);
}
