#include "zoning/ZoningAccessFactory.h"

#include <new>

#include "zoning/UDAL_ZoningAccess_2_2_Impl.h"
#include "zoning/UDAL_ZoningAccess_2_3_Impl.h"
#include "zoning/UDAL_ZoningAccess_2_6_Impl.h"
#include "zoning/UDAL_ZoningAccess_4_0_Impl.h"
#include "zoning/UDAL_ZoningAccess_4_1_Impl.h"
#include "objects/ZoningFabricHooks.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "..\\zoning\\UDAL_ZoningAccess_Ifc";

UDAL_ZoningAccess_Ifc* makeAccess(int versionClass, SessionContext* session) {
    switch (versionClass) {
    case 0:
        return new (std::nothrow) UDAL_ZoningAccess_2_2_Impl(session);
    case 1:
        return new (std::nothrow) UDAL_ZoningAccess_2_3_Impl(session);
    case 2:
    case 3:
        return new (std::nothrow) UDAL_ZoningAccess_2_6_Impl(session);
    case 4:
        return new (std::nothrow) UDAL_ZoningAccess_4_0_Impl(session);
    case 5:
        return new (std::nothrow) UDAL_ZoningAccess_4_1_Impl(session);
    default:
        return nullptr;
    }
}

bool holds(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

} // namespace

UDAL_ZoningAccess_Ifc* getZoningAccess(int versionClass, SessionContext* session) {
    const ZoningTrace trace("getZoningAccess", kSource);
    trace.enter("ProxyVersion=" + std::to_string(versionClass));
    UDAL_ZoningAccess_Ifc* access = makeAccess(versionClass, session);
    trace.exit();
    return access;
}

int proxySwitchVersionClass(const std::string& text) {
    if (text.empty() || holds(text, "v2.2")) {
        return 0;
    }
    if (holds(text, "v2.3") || holds(text, "v2.4") || holds(text, "v2.5")) {
        return 1;
    }
    if (holds(text, "v2.6")) {
        return 2;
    }
    if (holds(text, "v3.0")) {
        return holds(text, "v3.0.2") ? 3 : 1;
    }
    if (holds(text, "v4.0")) {
        return 4;
    }
    if (holds(text, "v3.1")) {
        return 2;
    }
    if (holds(text, "v4.1")) {
        return 5;
    }
    return 2;
}

int GetProxySwitchVersionClass(std::string oid) {
    if (oid.empty()) {
        return 0;
    }
    const auto version = zoningFabricHooks().proxySwitchVersion(oid);
    return version ? proxySwitchVersionClass(*version) : 0;
}
