#include "zoning/ZoningItems.h"

#include <memory>

#include "connection/clilib_nameserver.h"
#include "connection/clilib_records.h"
#include "foundation/APIException.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/StatusTranslation.h"
#include "zoning/UDAL_ZoningException.h"
#include "zoning/ZoningAccessFactory.h"
#include "zoning/ZoningCodes.h"

namespace {

constexpr int kNoZoningAccess = -2;
constexpr int kSwitchElement = 1;

struct ReleaseElementList {
    void operator()(FabricElementList* list) const { freeApiRecord(list); }
};

// Under the device-access lock, hands each switch of the fabric's element
// list to `visit` with the zoning access of the version class. The list is
// read before the access is made: the access holds the session's connection
// while it lives.
template <class Visit> int forEachSwitch(SessionContext* ctx, int versionClass, Visit&& visit) {
    LockGuard device(getSwitchRequestMutex());
    FabricElementList* raw = nullptr;
    const int status = getInterconnectElementList(ctx, &raw);
    const std::unique_ptr<FabricElementList, ReleaseElementList> elements(raw);
    if (status != 0) {
        return MapApiError(status);
    }
    std::unique_ptr<UDAL_ZoningAccess_Ifc> access;
    try {
        access.reset(getZoningAccess(versionClass, ctx));
    } catch (const ConnectionException& failure) {
        return MapApiError(failure.getCode());
    }
    if (access == nullptr) {
        return kNoZoningAccess;
    }
    try {
        for (std::uint32_t i = 0; elements != nullptr && i < elements->count; ++i) {
            FabricElement& element = elements->entries[i];
            if ((element.type & 0xFF) == kSwitchElement) {
                visit(*access, element);
            }
        }
    } catch (const UDAL_ZoningException& failure) {
        return MapZoningError(failure.getCode());
    }
    return 0;
}

} // namespace

int CheckZoningItems(SessionContext* ctx, int proxyVersionClass, bool& allPass) {
    return forEachSwitch(ctx, proxyVersionClass,
                         [&](UDAL_ZoningAccess_Ifc& access, FabricElement& element) {
                             allPass = access.checkZoningItem(&element) != 0 && allPass;
                         });
}

int AddZoningAttributes(SessionContext* ctx, int proxyVersionClass, int value) {
    return forEachSwitch(ctx, proxyVersionClass,
                         [&](UDAL_ZoningAccess_Ifc& access, FabricElement& element) {
                             access.applyZoningItem(&element, value);
                         });
}
