#include "editing/SetMemberEdits.h"

#include <cstdio>
#include <cstring>
#include <string>

#include <orvane/objects.h>
#include <orvane/status.h>

#include "api/ExportFrame.h"
#include "api/ObjectStore.h"
#include "connection/clilib.h"
#include "editing/ZoningMemberEdits.h"
#include "editing/ZoningTransaction.h"
#include "foundation/GlobalLocks.h"
#include "foundation/LockGuard.h"
#include "foundation/OidText.h"
#include "objects/FabricNavigation.h"
#include "objects/ObjectTypes.h"
#include "objects/PlatformClasses.h"
#include "services/SecurityMembers.h"
#include "zoning/ZoningStoredObjects.h"
#include "zoning/ZoningTrace.h"

namespace {

constexpr char kSource[] = "zoningObjects";
constexpr unsigned short kFabricLevel2600 = 2600;

constexpr int kBadArgument = -3;
constexpr int kNoHandle = -4;
constexpr int kNotASwitch = -6;
constexpr int kNotFound = -17;
constexpr int kNoType = -20;
constexpr int kNoCapabilities = -29;
constexpr int kUnsupported = -34;
constexpr int kKeyRequestFailed = -46;
// The request layer's answer for a key the switch does not take.
constexpr int kKeyRefused = -56;

bool isOneOf(unsigned tag, std::initializer_list<unsigned> tags) {
    for (const unsigned each : tags) {
        if (tag == each) {
            return true;
        }
    }
    return false;
}

bool isKnownTag(unsigned tag) {
    using namespace set_member_tag;
    return isOneOf(tag, {ZoneMembers, ZoneAliasMembers, ZoneSetMembers, PolicyMembers, LicenseKeys});
}

bool isZoningTarget(unsigned short type) {
    return type == ObjectType::Zone || type == ObjectType::ZoneConfig ||
           type == ObjectType::ZoneAlias;
}

std::string tagText(unsigned tag) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", tag);
    return text;
}

// Sends each 64-byte key entry up to the empty one; stops at the first
// refusal (keys sent before it stay).
int editLicenseKeys(bool adding, const std::string& targetOid, SessionContext* handle,
                    const char* members) {
    LockGuard device(getSwitchRequestMutex());
    OID_t oid{};
    CopyName48(oid, targetOid.c_str());
    unsigned char wwn[8] = {};
    parseOidWwn(oid, wwn);
    for (const char* entry = members; entry[0] != '\0'; entry += kLicenseKeyEntry) {
        // A key may fill its whole entry: it is copied whole and ended here.
        char key[kLicenseKeyEntry + 1] = {};
        std::memcpy(key, entry, strnlen(entry, kLicenseKeyEntry));
        const int status =
            adding ? switchAddLicenseKey(handle, wwn, key) : switchRemoveLicenseKey(handle, wwn, key);
        if (status != 0) {
            return status == kKeyRefused ? kUnsupported : kKeyRequestFailed;
        }
    }
    return 0;
}

int editPolicyMembers(bool adding, StoredObject& target, const std::string& targetOid,
                      SessionContext* handle, const char* members) {
    std::string policyName;
    target.getStringAttr("PolicyName", policyName);
    if (policyName.empty()) {
        return kNotFound;
    }
    // A name longer than the switch's field would reach it cut, naming
    // another policy or none: refused instead.
    if (policyName.size() > kPolicyNameMax) {
        return kBadArgument;
    }
    return adding
               ? addSecurityPolicyMember(targetOid.c_str(), handle, policyName.c_str(), members)
               : removeSecurityPolicyMember(targetOid.c_str(), handle, policyName.c_str(), members);
}

int runZoningPath(bool adding, unsigned tag, StoredObject& target, const char* members,
                  const ZoningEditContext& context, SessionContext* handle) {
    using namespace set_member_tag;
    const ZoningMemberSet set = tag == ZoneMembers        ? ZoningMemberSet::Zone
                                : tag == ZoneAliasMembers ? ZoningMemberSet::Alias
                                                          : ZoningMemberSet::ZoneSet;
    return adding ? addZoningMembers(set, target, members, context, handle)
                  : removeZoningMembers(set, target, members, context, handle);
}

// Everything after the trace, under the object-model lock.
// `platform` is set when the platform operations answered.
int editUnderLock(bool adding, const std::string& targetOid, const char* targetField,
                  unsigned tag, const char* members, bool& platform) {
    using namespace set_member_tag;
    StoredObject* fabric = GetFabricEntryOfObject(targetOid);
    unsigned short level = 0;
    if (fabric == nullptr || !fabric->getShortAttr("fabVersion", level)) {
        return kBadArgument;
    }
    if (level < kFabricLevel2600 && isOneOf(tag, {PolicyMembers, PolicySetOids, PhysSwitchGroupOid})) {
        return kUnsupported;
    }
    StoredObject* target = findObjectByOid(targetField);
    if (target == nullptr) {
        return kNotFound;
    }
    unsigned short type = 0;
    if (!target->getShortAttr("ObjType", type)) {
        return kNoType;
    }
    if (type == ObjectType::Platform) {
        platform = true;
        void* list = const_cast<char*>(members);
        return adding ? addPlatformMember(target, tag, list) : removePlatformMember(target, tag, list);
    }

    ZoningEditContext context;
    StoredObject* capabilities = nullptr;
    if (isZoningTarget(type)) {
        if (const int status = resolveZoningContext(*target, adding, context); status != 0) {
            return status;
        }
        capabilities = context.capabilities;
    } else {
        const std::string capabilitiesOid = firstRelation(*fabric, "setZoningCapabilities");
        if (capabilitiesOid.empty()) {
            return adding ? kNotFound : kNoCapabilities;
        }
        capabilities = findObjectUnlocked(capabilitiesOid);
        if (capabilities == nullptr) {
            return kNoCapabilities;
        }
    }

    void* handle = nullptr;
    if (GetFabricHandleOfObject(target, handle) != 0) {
        return kNoHandle;
    }
    SessionContext* session = static_cast<SessionContext*>(handle);
    if (tag == PolicyMembers) {
        if (const int status = editPolicyMembers(adding, *target, targetOid, session, members);
            status != 0) {
            return status;
        }
    }
    if (isOneOf(tag, {ZoneMembers, ZoneAliasMembers, ZoneSetMembers})) {
        if (const int status = runZoningPath(adding, tag, *target, members, context, session);
            status != 0) {
            return status;
        }
    }
    markZoneTransactionDirty(capabilities);
    if (tag == LicenseKeys) {
        unsigned short switchType = 0;
        if (!target->getShortAttr("ObjType", switchType) || switchType != ObjectType::Switch) {
            return kNotASwitch;
        }
        if (const int status = editLicenseKeys(adding, targetOid, session, members);
            status != 0) {
            return status;
        }
    }
    return 0;
}

} // namespace

int Int_SetMemberEdit(bool adding, const char* targetOid, unsigned attributeTag,
                      const char* members) {
    if (targetOid == nullptr || members == nullptr) {
        return kBadArgument;
    }
    const ZoningTrace trace(adding ? "AddSetMember" : "RemoveSetMember", kSource);
    const std::string oid(oidFieldText(targetOid));
    trace.enter("TargetOid=" + oid + "AttributeTag=" + tagText(attributeTag));
    int status = 0;
    bool platform = false;
    {
        LockGuard model(getObjectStoreMutex());
        status = editUnderLock(adding, oid, targetOid, attributeTag, members, platform);
    }
    // The platform operations answer for themselves, tags included.
    if (status != 0 || platform) {
        return status;
    }
    if (!isKnownTag(attributeTag)) {
        return kUnsupported;
    }
    trace.exit();
    return 0;
}

int AddSetMember(const char* targetOid, unsigned attributeTag, const char* members) {
    return runExport(
        "AddSetMember",
        [&] {
            return gatedCall(InitCheck::Required, [&] {
                return Int_SetMemberEdit(true, targetOid, attributeTag, members);
            });
        },
        kSource);
}

int RemoveSetMember(const char* targetOid, unsigned attributeTag, const char* members) {
    return runExport(
        "RemoveSetMember",
        [&] {
            return gatedCall(InitCheck::Required, [&] {
                return Int_SetMemberEdit(false, targetOid, attributeTag, members);
            });
        },
        kSource);
}
